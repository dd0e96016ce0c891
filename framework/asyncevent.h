// The asynchronous event pump: registered sources get one update call each per
// game update. This game registers none; the pump still runs every update.
//
// Left out: any source of our own (no downloads or sockets are polled).
#pragma once

#include "runtime/runtime.h"

class c_IAsyncEventSource : public virtual gc_interface {
 public:
  virtual int p_UpdateAsyncEvents() = 0;
};

// A growable stack of sources; freed slots hold m_NIL.
class c_Stack : public Object {
 public:
  Array<c_IAsyncEventSource*> m_data;
  int m_length = 0;

  static c_IAsyncEventSource* m_NIL;

  c_Stack() {}
  c_Stack* m_new();
  c_Stack* m_new2(Array<c_IAsyncEventSource*> data);
  int p_Length(int newlength);
  int p_Length2();
  c_IAsyncEventSource* p_Get(int index);
  void mark() override;
};

extern c_Stack* vx_asyncevent__sources;
extern c_IAsyncEventSource* vx_asyncevent__current;

int vx_asyncevent_UpdateAsyncEvents();
