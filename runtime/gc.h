// The object model and the incremental collector.
//
// Every framework and game object derives from Object and is allocated through
// the collector (plain `new`; there is no explicit delete). The collector is a
// tri-colour mark-and-sweep collector with a write barrier: every store of an
// object reference goes through gc_assign. It never runs on its own: the host
// calls gc_collect_step after each event it delivers, when no application code
// is on the stack, so only registered global roots are scanned.
//
// Strings are reference-counted, not collected (see vxstring.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

class String;

struct gc_object {
  gc_object* succ;
  gc_object* pred;
  unsigned flags;  // bits 0..1 colour, bit 2 always 0, bits 3..31 allocation size

  // Links the new object into the unmarked list with the size gc_object_alloc
  // recorded for its block.
  gc_object();
  virtual ~gc_object() {}
  virtual void mark() {}

  static void* operator new(size_t size);
  static void* operator new(size_t, void* mem) { return mem; }
  static void operator delete(void* p);
  static void operator delete(void*, void*) {}

 protected:
  // For statics that are never collected: colour 3, outside every list.
  struct static_tag {};
  explicit gc_object(static_tag) : succ(nullptr), pred(nullptr), flags(3) {}
};

// The root class of interfaces; classes implement them virtually beside Object.
// A list head: a static sentinel shaped like an object (colour 3, never
// collected); an empty list's head points at itself.
struct gc_list : public gc_object {
  gc_list() : gc_object(static_tag()) { succ = pred = this; }
};

class gc_interface {
 public:
  virtual ~gc_interface() {}
};

class Object : public gc_object {
 public:
  virtual bool Equals(Object* other) { return this == other; }
  virtual int Compare(Object* other) { return (int)((char*)this - (char*)other); }
  virtual String debug();
};

// Collector state.
extern int gc_markbit;
extern gc_list gc_queued_list;
extern gc_list gc_unmarked_list;
extern gc_list gc_marked_list;
extern gc_list gc_free_list;
extern int gc_new_bytes;
extern int gc_alloced_bytes;
extern int gc_max_alloced_bytes;
extern int gc_marked_bytes;
extern int gc_free_bytes;
extern gc_object* gc_cache[8];

// Allocated bytes since the last sweep that trigger the next one.
constexpr int kGcSweepBytes = 8388608;

void* gc_object_alloc(int size);
void gc_object_free(gc_object* o);
void gc_flush_free(int size);
void gc_init_lists();

inline gc_object* gc_head(gc_list& l) { return &l; }
inline bool gc_list_empty(gc_list& l) { return l.succ == gc_head(l); }
inline int gc_object_size(const gc_object* o) { return (int)(o->flags & ~7u); }

inline void gc_remove(gc_object* o) {
  o->pred->succ = o->succ;
  o->succ->pred = o->pred;
}

inline void gc_append(gc_object* o, gc_list& l) {
  gc_object* head = gc_head(l);
  o->succ = head;
  o->pred = l.pred;
  l.pred->succ = o;
  l.pred = o;
}

inline bool gc_is_white(const gc_object* o) { return (int)(o->flags & 3) == gc_markbit; }

// Queue-marking: a white object turns grey and waits in the queued list.
inline void gc_mark_q_obj(gc_object* o) {
  if (o && gc_is_white(o)) {
    o->flags ^= 1;
    gc_remove(o);
    gc_append(o, gc_queued_list);
  }
}

// Immediate marking: a white object turns black and is scanned at once.
inline void gc_mark_now_obj(gc_object* o) {
  if (o && gc_is_white(o)) {
    o->flags ^= 1;
    gc_marked_bytes += gc_object_size(o);
    gc_remove(o);
    gc_append(o, gc_marked_list);
    o->mark();
  }
}

// Interfaces are not gc_objects themselves; reach the object through RTTI.
template <class T>
inline gc_object* gc_as_object(T* p) {
  if constexpr (std::is_base_of<gc_object, T>::value) {
    return p;
  } else {
    return p ? dynamic_cast<gc_object*>(p) : nullptr;
  }
}

template <class T>
inline void gc_mark_q(T* p) {
  gc_mark_q_obj(gc_as_object(p));
}

template <class T>
inline void gc_mark_now(T* p) {
  gc_mark_now_obj(gc_as_object(p));
}

// The write barrier: the stored object is greyed whatever the colour of the holder.
template <class T, class U>
inline U* gc_assign(T*& field, U* value) {
  gc_mark_q(value);
  field = value;
  return value;
}

// Roots: each function queue-marks one or more globals; they run in
// registration order. Registering the same function twice has no effect.
typedef void (*gc_root_fn)();
void gc_add_root(gc_root_fn fn);
void gc_clear_roots();
void gc_mark();

void gc_mark_queued(int limit);

// One collector step, run by the host after each event: marks the host's
// delegate, then either paces marking by fresh allocation or finishes the
// cycle and sweeps.
void gc_collect_step(gc_object* delegate);

// Drain, sweep and destroy every dead object at once. Used by the stress build
// at every host event and by tests; the normal program never needs it.
void gc_collect_all(gc_object* delegate);

// Objects destroyed so far, and bytes ever allocated (cheap counters for
// tests and the benchmark).
extern long long gc_destroyed_count;
extern long long gc_total_alloc_bytes;
