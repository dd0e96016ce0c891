// Array<T>: a fixed-length array whose storage is a collected object.
//
// The handle is one pointer to a Rep and is copied by value, sharing the Rep.
// Each element type has one static empty Rep (colour 3, never in any list).
// Elements are zero-filled at creation: numbers 0, booleans false, references
// null, strings empty. Indexing is unchecked, so callers keep indices in range.
// Copying or assigning a handle greys the Rep (the write barrier), so a handle
// stored into a field can never be lost in the middle of a cycle.
#pragma once

#include <new>
#include <type_traits>

#include "runtime/gc.h"
#include "runtime/vxstring.h"

template <class T>
class Array {
 public:
  struct Rep : public gc_object {
    int length;

    // The static empty rep: colour 3, outside every list.
    explicit Rep(int) : gc_object(static_tag()), length(0) {}
    Rep(int n, bool) : length(n) {
      T* d = data();
      for (int i = 0; i < n; ++i) new (&d[i]) T();
    }
    ~Rep() override {
      if constexpr (!std::is_trivially_destructible<T>::value) {
        T* d = data();
        for (int i = 0; i < length; ++i) d[i].~T();
      }
    }
    void mark() override {
      if constexpr (std::is_pointer<T>::value) {
        T* d = data();
        for (int i = 0; i < length; ++i) gc_mark_now(d[i]);
      }
    }
    T* data() { return reinterpret_cast<T*>(reinterpret_cast<char*>(this) + DataOffset()); }

    static Rep* Create(int n) {
      void* mem = gc_object_alloc((int)(DataOffset() + sizeof(T) * n));
      return new (mem) Rep(n, true);
    }
    // Elements start after the header, aligned for T.
    static constexpr size_t DataOffset() {
      return (sizeof(Rep) + alignof(T) - 1) / alignof(T) * alignof(T);
    }
  };

  static Rep nullRep;

  Array() : rep_(&nullRep) {}
  explicit Array(int n) : rep_(n > 0 ? Rep::Create(n) : &nullRep) {}
  Array(const T* p, int n) : Array(n) {
    T* d = rep_->data();
    for (int i = 0; i < n; ++i) {
      if constexpr (std::is_pointer<T>::value) gc_mark_q(p[i]);
      d[i] = p[i];
    }
  }
  Array(const Array& a) : rep_(a.rep_) { gc_mark_q_obj(rep_); }
  Array& operator=(const Array& a) {
    gc_mark_q_obj(a.rep_);
    rep_ = a.rep_;
    return *this;
  }

  int Length() const { return rep_->length; }
  T* Data() const { return rep_->data(); }
  T& operator[](int i) const { return rep_->data()[i]; }
  Rep* GetRep() const { return rep_; }

 private:
  Rep* rep_;
};

template <class T>
typename Array<T>::Rep Array<T>::nullRep(0);

// Collector hooks for array handles held in fields and globals.
template <class T>
inline void gc_mark_q(const Array<T>& a) {
  gc_mark_q_obj(a.GetRep());
}

template <class T>
inline void gc_mark_now(const Array<T>& a) {
  gc_mark_now_obj(a.GetRep());
}

template <class T>
inline Array<T>& gc_assign(Array<T>& field, const Array<T>& value) {
  field = value;
  return field;
}
