// The collector: allocation with deferred destruction, the write barrier's
// marking, roots, and the paced per-event step with its sweep by list splices.
#include "runtime/gc.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "runtime/vxstring.h"

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define GC_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define GC_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define GC_POISON(p, n) ((void)0)
#define GC_UNPOISON(p, n) ((void)0)
#endif

int gc_markbit = 1;
gc_list gc_queued_list;
gc_list gc_unmarked_list;
gc_list gc_marked_list;
gc_list gc_free_list;
int gc_new_bytes;
int gc_alloced_bytes;
int gc_max_alloced_bytes;
int gc_marked_bytes;
int gc_free_bytes;
gc_object* gc_cache[8];
long long gc_destroyed_count;
long long gc_total_alloc_bytes;

namespace {

// Blocks handed out whose object is not constructed yet, newest last. A
// constructor argument may allocate too (new c_A(new c_B())), so each
// constructor finds its own block's size by address.
struct PendingBlock {
  void* mem;
  int size;
};
constexpr int kMaxPending = 64;
PendingBlock pending[kMaxPending];
int pending_count;

void add_pending(void* mem, int size) {
  if (pending_count == kMaxPending) {  // never seen: forget the oldest
    std::memmove(pending, pending + 1, sizeof(PendingBlock) * (kMaxPending - 1));
    --pending_count;
  }
  pending[pending_count++] = {mem, size};
}

// The size recorded for `mem`, removed from the list; -1 when it is not there.
int take_pending(void* mem) {
  for (int i = pending_count - 1; i >= 0; --i) {
    if (pending[i].mem != mem) continue;
    const int size = pending[i].size;
    std::memmove(pending + i, pending + i + 1, sizeof(PendingBlock) * (pending_count - 1 - i));
    --pending_count;
    return size;
  }
  return -1;
}

void release_block(void* mem, int size) {
  if (size < 64) {
    gc_object** link = static_cast<gc_object**>(mem);
    *link = gc_cache[size >> 3];
    gc_cache[size >> 3] = static_cast<gc_object*>(mem);
    // The link word stays readable so the leak checker can follow the chain.
    GC_POISON(static_cast<char*>(mem) + sizeof(gc_object*), size - (int)sizeof(gc_object*));
  } else {
    std::free(mem);
  }
}

std::vector<gc_root_fn>& roots() {
  static std::vector<gc_root_fn> list;
  return list;
}

void init_list(gc_list& l) { l.succ = l.pred = gc_head(l); }

// Moves every object of `from` to the end of `to`, leaving `from` empty.
void splice_all(gc_list& from, gc_list& to) {
  if (gc_list_empty(from)) return;
  gc_object* first = from.succ;
  gc_object* last = from.pred;
  gc_object* head = gc_head(to);
  first->pred = to.pred;
  to.pred->succ = first;
  last->succ = head;
  to.pred = last;
  init_list(from);
}

void destroy_first_free() {
  gc_object* o = gc_free_list.succ;
  gc_remove(o);
  ++gc_destroyed_count;
  delete o;  // the deleting destructor gives the memory back via gc_object_free
}

void sweep() {
  int garbage = gc_alloced_bytes - gc_marked_bytes;
  if (garbage != 0) {
    gc_free_bytes += garbage;
    splice_all(gc_unmarked_list, gc_free_list);
  }
  gc_alloced_bytes = gc_marked_bytes;
  splice_all(gc_marked_list, gc_unmarked_list);
  gc_marked_bytes = 0;
  gc_markbit ^= 1;
  gc_mark();
  gc_new_bytes = 0;
}

}  // namespace

void gc_init_lists() {
  init_list(gc_queued_list);
  init_list(gc_unmarked_list);
  init_list(gc_marked_list);
  init_list(gc_free_list);
}

void gc_flush_free(int size) {
  int target = gc_free_bytes - size;
  if (target < 0) target = 0;
  while (gc_free_bytes > target) {
    if (gc_list_empty(gc_free_list)) {
      gc_free_bytes = 0;
      break;
    }
    destroy_first_free();
  }
}

void* gc_object_alloc(int size) {
  size = (size + 7) & ~7;
  gc_new_bytes += size;
  gc_total_alloc_bytes += size;
  gc_flush_free(size);

  void* mem;
  if (size < 64 && gc_cache[size >> 3]) {
    gc_object* block = gc_cache[size >> 3];
    GC_UNPOISON(block, size);
    gc_cache[size >> 3] = *reinterpret_cast<gc_object**>(block);
    mem = block;
  } else {
    mem = std::malloc(size);
  }
  add_pending(mem, size);
  return mem;
}

gc_object::gc_object() {
  int size = take_pending(this);
  // Not found only if the object starts elsewhere in its block: the newest.
  if (size < 0) size = pending_count > 0 ? pending[--pending_count].size : 0;
  flags = (unsigned)gc_markbit | (unsigned)size;
  gc_append(this, gc_unmarked_list);
  gc_alloced_bytes += size;
  if (gc_alloced_bytes > gc_max_alloced_bytes) gc_max_alloced_bytes = gc_alloced_bytes;
}

void* gc_object::operator new(size_t size) { return gc_object_alloc((int)size); }

void gc_object::operator delete(void* p) {
  // A block whose construction never started (an argument threw) goes straight back.
  const int size = take_pending(p);
  if (size >= 0) {
    release_block(p, size);
    return;
  }
  gc_object_free(static_cast<gc_object*>(p));
}

void gc_object_free(gc_object* o) {
  // The destructor has run, so read the size from the raw header bytes.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Winvalid-offsetof"
  unsigned flags;
  std::memcpy(&flags, reinterpret_cast<char*>(o) + offsetof(gc_object, flags), sizeof flags);
#pragma GCC diagnostic pop
  int size = (int)(flags & ~7u);
  gc_free_bytes -= size;
#if QUORVEX_GC_STRESS
  std::memset(static_cast<void*>(o), 0xdd, size);
#endif
  release_block(o, size);
}

void gc_add_root(gc_root_fn fn) {
  for (gc_root_fn f : roots())
    if (f == fn) return;
  roots().push_back(fn);
}

void gc_clear_roots() { roots().clear(); }

void gc_mark() {
  for (gc_root_fn f : roots()) f();
}

void gc_mark_queued(int limit) {
  while (gc_marked_bytes < limit && !gc_list_empty(gc_queued_list)) {
    gc_object* o = gc_queued_list.succ;
    gc_remove(o);
    gc_append(o, gc_marked_list);
    gc_marked_bytes += gc_object_size(o);
    o->mark();
  }
}

void gc_collect_step(gc_object* delegate) {
#if QUORVEX_GC_STRESS
  gc_collect_all(delegate);
  return;
#endif
  gc_mark_now_obj(delegate);
  if (gc_new_bytes <= kGcSweepBytes) {
    long long fresh = gc_new_bytes;
    long long target =
        fresh + ((long long)(gc_alloced_bytes - gc_new_bytes) * fresh) / kGcSweepBytes;
    gc_mark_queued(target > 2147483647LL ? 2147483647 : (int)target);
    return;
  }
  gc_mark_queued(2147483647);
  sweep();
}

void gc_collect_all(gc_object* delegate) {
  gc_mark_now_obj(delegate);
  gc_mark_queued(2147483647);
  sweep();
  while (!gc_list_empty(gc_free_list)) destroy_first_free();
  gc_free_bytes = 0;
}

String Object::debug() { return String("+Object\n"); }
