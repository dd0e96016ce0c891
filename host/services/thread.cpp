// VxThread on POSIX threads (CreateThread under _WIN32).
#include "host/services/thread.h"

namespace {

#ifdef _WIN32
DWORD WINAPI Entry(LPVOID p) {
#else
void* Entry(void* p) {
#endif
  VxThread* t = static_cast<VxThread*>(p);
  t->Run__UNSAFE__();
  t->running = 2;
  return 0;
}

}  // namespace

VxThread::~VxThread() { Join(); }

void VxThread::Start() {
  if (running == 1) return;
  if (running == 2) Join();  // the finished thread's handle goes first
  running = 1;
#ifdef _WIN32
  handle = CreateThread(nullptr, 0, Entry, this, 0, &id);
  if (!handle) running = 0;
#else
  if (pthread_create(&handle, nullptr, Entry, this) != 0) running = 0;
#endif
}

bool VxThread::IsRunning() { return running == 1; }

Object* VxThread::Result() { return result; }

void VxThread::SetResult(Object* o) { result = o; }

void VxThread::Wait() { Join(); }

void VxThread::Join() {
  if (running == 0) return;
#ifdef _WIN32
  WaitForSingleObject(handle, INFINITE);
  CloseHandle(handle);
  handle = nullptr;
#else
  pthread_join(handle, nullptr);
#endif
  running = 0;
}
