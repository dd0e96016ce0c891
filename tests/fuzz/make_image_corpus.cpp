// Writes the picture files of the fuzz corpus into a folder: one good 2 x 2
// picture made by stb's writer, and the known-bad inputs made from it by
// editing its bytes. Pictures are never committed; this is how the corpus
// test and scripts/fuzz.sh get them.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "stb_image_write.h"
#include "tests/support/files.h"

namespace {

using Bytes = std::vector<unsigned char>;

void Append(std::vector<unsigned char>* out, const void* data, int size) {
  const unsigned char* p = static_cast<const unsigned char*>(data);
  out->insert(out->end(), p, p + size);
}

Bytes Png(int w, int h) {
  std::vector<unsigned char> pixels(w * h * 4, 0x80);
  Bytes png;
  stbi_write_png_to_func(
      [](void* out, void* data, int size) { Append(static_cast<Bytes*>(out), data, size); }, &png,
      w, h, 4, pixels.data(), w * 4);
  return png;
}

void Put32(Bytes& b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = (unsigned char)(v >> (24 - 8 * i));
}

// Offsets in a written picture: the header chunk's width, height and bit
// depth, then the first data chunk's length and its compressed bytes.
constexpr size_t kWidth = 16, kHeight = 20, kDepth = 24, kDataLength = 33, kData = 41;

bool Write(const std::string& dir, const char* name, const Bytes& b) {
  return test_files::WriteFile(dir + "/" + name, std::string(b.begin(), b.end()));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  const Bytes good = Png(2, 2);
  Bytes depth = good, huge = good, zero = good, broken = good, short64 = Png(64, 1), asks = good;
  depth[kDepth] = 7;
  Put32(huge, kWidth, 100000), Put32(huge, kHeight, 100000);
  Put32(zero, kWidth, 0), Put32(zero, kHeight, 0);
  for (size_t i = kData + 2; i < kData + 10; ++i) broken[i] = 0xff;  // a reserved block type
  Put32(short64, kHeight, 64);                                       // 64 rows, data for one
  Put32(asks, kDataLength, 0x7fffff00);                              // a data chunk of 2 GB
  const Bytes truncated(good.begin(), good.begin() + 20);
  const Bytes bmp = {
      'B', 'M', 0xe8, 3, 0, 0, 0, 0, 0, 0, 0x36, 0, 0, 0,    0x28,  // a header cut short
      0,   0,   0,    4, 0, 0, 0, 4, 0, 0, 0,    1, 0, 0x18, 0};
  // A BMP header of a 24-bit picture 1028 wide and 589,824 rows tall stored
  // top down (a negative height), found by fuzzing: it once asked for 1.8 GB.
  const Bytes topDown = {'B',  'M',  0xe8, 0x3,  0x0,  0x0,  0x0,  0x0,  0x0,  0x0,  0x36,
                         0x0,  0x0,  0x0,  0x28, 0x0,  0x0,  0x0,  0x4,  0x4,  0x0,  0x0,
                         0x0,  0x0,  0xf7, 0xff, 0x1,  0x0,  0x18, 0x0,  0xce, 0xce, 0xce,
                         0xce, 0xce, 0xce, 0xce, 0x61, 0xce, 0xce, 0xce, 0xce, 0xce, 0xce,
                         0xce, 0xce, 0xce, 0xce, 0xce, 0xe,  0xce, 0xce, 0xce, 0xce, 0xce};
  const std::string text = "hello, not a picture\n";
  bool ok = Write(dir, "not-an-image.png", Bytes(text.begin(), text.end())) &&
            Write(dir, "bmp-top-down-huge.bmp", topDown) && Write(dir, "good-2x2.png", good) &&
            Write(dir, "bad-depth.png", depth) && Write(dir, "huge.png", huge) &&
            Write(dir, "zero-size.png", zero) && Write(dir, "broken-idat.png", broken) &&
            Write(dir, "short-idat.png", short64) && Write(dir, "idat-asks-for-2gb.png", asks) &&
            Write(dir, "truncated.png", truncated) && Write(dir, "bmp-truncated.bmp", bmp);
  return ok ? 0 : 1;
}
