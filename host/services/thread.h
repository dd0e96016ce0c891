// A thread object for application code: Start runs Run__UNSAFE__ on a new
// operating-system thread; Wait joins it. The game never starts one.
//
// Nothing synchronises a running thread with the collector: Run__UNSAFE__ must
// not allocate or store collected objects. The result is not marked either.
#pragma once

#include <atomic>

#include "runtime/runtime.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <pthread.h>
#endif

class VxThread : public Object {
 public:
  // 0 idle, 1 running, 2 finished and not yet joined. Atomic because the
  // thread itself writes the 2 that the main thread reads.
  std::atomic<int> running{0};
  Object* result = nullptr;
#ifdef _WIN32
  DWORD id = 0;
  HANDLE handle = nullptr;
#else
  pthread_t handle{};
#endif

  VxThread() {}
  ~VxThread() override;

  virtual void Start();
  virtual bool IsRunning();
  virtual Object* Result();
  virtual void SetResult(Object* o);
  virtual void Run__UNSAFE__() {}
  virtual void Wait();

 private:
  void Join();
};
