// A raw byte buffer for application code: little-endian peeks and pokes of
// 8-, 16- and 32-bit integers and 32-bit floats at byte offsets.
//
// Accesses outside the buffer are refused (a poke does nothing, a peek gives 0)
// rather than reaching into the heap. Left out: growing a buffer in place.
#pragma once

#include "runtime/runtime.h"

class VxThread;

class VxDataBuffer : public Object {
 public:
  unsigned char* data = nullptr;  // owned, from malloc; null when empty
  int length = 0;

  VxDataBuffer() {}
  ~VxDataBuffer() override;

  // Takes `bytes` (malloc'd, now owned) or allocates `size` bytes (not cleared).
  // False when the buffer already holds data or the size is negative.
  bool _New(int size, void* bytes = nullptr);
  // Whole file through VxGame::LoadData; false when already holding data or unreadable.
  bool _Load(String path);
  // The same load on the calling thread; on success the thread's result is this buffer.
  void _LoadAsync(String path, VxThread* thread);
  void Discard();

  int Length() { return length; }
  void* ReadPointer(int offset) { return data + offset; }
  void* WritePointer(int offset) { return data + offset; }

  void PokeByte(int addr, int value);
  void PokeShort(int addr, int value);
  void PokeInt(int addr, int value);
  void PokeFloat(int addr, float value);
  int PeekByte(int addr);   // sign-extended
  int PeekShort(int addr);  // sign-extended
  int PeekInt(int addr);
  float PeekFloat(int addr);

 private:
  bool InRange(int addr, int size) const {
    return data && addr >= 0 && size <= length && addr <= length - size;
  }
};
