// VxDataBuffer: owned bytes with little-endian peeks and pokes.
#include "host/services/databuffer.h"

#include <cstdlib>
#include <cstring>

#include "host/platform/game.h"
#include "host/services/thread.h"

VxDataBuffer::~VxDataBuffer() { std::free(data); }

bool VxDataBuffer::_New(int size, void* bytes) {
  if (data || size < 0) return false;
  if (bytes) {
    data = static_cast<unsigned char*>(bytes);
  } else {
    data = static_cast<unsigned char*>(std::malloc(size > 0 ? (size_t)size : 1));
    if (!data) return false;
  }
  length = size;
  return true;
}

bool VxDataBuffer::_Load(String path) {
  if (data || !VxGame::_game) return false;
  int n = 0;
  unsigned char* bytes = VxGame::_game->LoadData(path, &n);
  if (!bytes) return false;
  data = bytes;
  length = n;
  return true;
}

void VxDataBuffer::_LoadAsync(String path, VxThread* thread) {
  if (_Load(path) && thread) thread->SetResult(this);
}

void VxDataBuffer::Discard() {
  std::free(data);
  data = nullptr;
  length = 0;
}

// memcpy keeps unaligned offsets legal; the machine order is little-endian.
void VxDataBuffer::PokeByte(int addr, int value) {
  if (InRange(addr, 1)) data[addr] = (unsigned char)value;
}

void VxDataBuffer::PokeShort(int addr, int value) {
  if (!InRange(addr, 2)) return;
  short v = (short)value;
  std::memcpy(data + addr, &v, 2);
}

void VxDataBuffer::PokeInt(int addr, int value) {
  if (InRange(addr, 4)) std::memcpy(data + addr, &value, 4);
}

void VxDataBuffer::PokeFloat(int addr, float value) {
  if (InRange(addr, 4)) std::memcpy(data + addr, &value, 4);
}

int VxDataBuffer::PeekByte(int addr) { return InRange(addr, 1) ? (int)(signed char)data[addr] : 0; }

int VxDataBuffer::PeekShort(int addr) {
  if (!InRange(addr, 2)) return 0;
  short v;
  std::memcpy(&v, data + addr, 2);
  return v;
}

int VxDataBuffer::PeekInt(int addr) {
  if (!InRange(addr, 4)) return 0;
  int v;
  std::memcpy(&v, data + addr, 4);
  return v;
}

float VxDataBuffer::PeekFloat(int addr) {
  if (!InRange(addr, 4)) return 0;
  float v;
  std::memcpy(&v, data + addr, 4);
  return v;
}
