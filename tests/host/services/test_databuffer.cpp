// Byte buffers: little-endian peeks and pokes, accesses outside the buffer refused.
#include "host/services/databuffer.h"

#include <gtest/gtest.h>

namespace {

TEST(HostDataBuffer, PeeksAndPokesAreLittleEndianSignExtendedAndStayInside) {
  VxDataBuffer* b = new VxDataBuffer();
  ASSERT_TRUE(b->_New(16));
  EXPECT_FALSE(b->_New(8)) << "a buffer holding data refuses a second _New";
  std::fill(b->data, b->data + 16, 0x5A);
  b->PokeInt(0, 0x11223344);
  b->PokeShort(5, 0xFFFE);  // odd offset: no alignment needed
  b->PokeByte(9, 200);
  b->PokeFloat(10, 1.5f);
  for (int bad : {-1, 13, 2147483647}) b->PokeInt(bad, -1);
  b->PokeShort(15, -1);
  b->PokeByte(16, 1);
  EXPECT_EQ(std::string((char*)b->data, 16),
            std::string("\x44\x33\x22\x11\x5A\xFE\xFF\x5A\x5A\xC8", 10) +
                std::string("\0\0\xC0\x3F\x5A\x5A", 6));
  EXPECT_EQ(std::vector<int>({b->PeekInt(0), b->PeekShort(5), b->PeekByte(9), b->PeekInt(13),
                              b->PeekShort(-2), b->PeekByte(16)}),
            std::vector<int>({0x11223344, -2, -56, 0, 0, 0}));
  EXPECT_EQ(b->PeekFloat(10), 1.5f);
  EXPECT_EQ(b->PeekInt(12), 0x5A5A3FC0) << "the last whole int";
  b->Discard();
  EXPECT_EQ(b->data, nullptr);
  EXPECT_EQ(b->PeekInt(0) + b->Length(), 0);
  EXPECT_FALSE(b->_New(-1));
}

}  // namespace
