// The asynchronous event pump and its source stack.
//
// Left out: registering sources (no part of this game has one).
#include "framework/asyncevent.h"

c_IAsyncEventSource* c_Stack::m_NIL = nullptr;

c_Stack* vx_asyncevent__sources = nullptr;
c_IAsyncEventSource* vx_asyncevent__current = nullptr;

c_Stack* c_Stack::m_new() { return this; }

c_Stack* c_Stack::m_new2(Array<c_IAsyncEventSource*> data) {
  const int n = data.Length();
  Array<c_IAsyncEventSource*> copy(n);
  for (int i = 0; i < n; ++i) gc_assign(copy[i], data[i]);
  gc_assign(m_data, copy);
  m_length = n;
  return this;
}

int c_Stack::p_Length(int newlength) {
  if (newlength < 0) newlength = 0;  // a negative length would index before the data
  if (newlength < m_length) {
    for (int i = newlength; i < m_length; ++i) gc_assign(m_data[i], m_NIL);
  } else if (newlength > m_data.Length()) {
    int cap = m_length * 2 + 10;
    if (cap < newlength) cap = newlength;
    Array<c_IAsyncEventSource*> grown(cap);
    for (int i = 0; i < m_length; ++i) gc_assign(grown[i], m_data[i]);
    gc_assign(m_data, grown);
  }
  m_length = newlength;
  return 0;
}

int c_Stack::p_Length2() { return m_length; }

c_IAsyncEventSource* c_Stack::p_Get(int index) { return m_data[index]; }

void c_Stack::mark() {
  Object::mark();
  gc_mark_q(m_data);
}

int vx_asyncevent_UpdateAsyncEvents() {
  if (vx_asyncevent__current) return 0;  // re-entered from a source's own update
  int i = 0;
  while (vx_asyncevent__sources && i < vx_asyncevent__sources->p_Length2()) {
    gc_assign(vx_asyncevent__current, vx_asyncevent__sources->p_Get(i));
    vx_asyncevent__current->p_UpdateAsyncEvents();
    // A source that removed itself cleared current; the next one moved into slot i.
    if (vx_asyncevent__current) ++i;
  }
  vx_asyncevent__current = nullptr;
  return 0;
}
