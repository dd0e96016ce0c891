// A sound loader on any bytes: either no data, or data whose length, channels
// and format describe a buffer that is really there. Built twice, once with
// QUORVEX_FUZZ_LOADER=LoadWAV and once with LoadOGG (through stb_vorbis).
#include <cstdio>
#include <cstdlib>

#include "host/audio_loaders.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  if (size == 0) return 0;
  FILE* f = fmemopen(const_cast<unsigned char*>(data), size, "rb");
  if (!f) return 0;
  int length = 0, channels = 0, format = 0, hertz = 0;
  unsigned char* pcm = QUORVEX_FUZZ_LOADER(f, &length, &channels, &format, &hertz);
  std::fclose(f);
  if (pcm) {
    if (length < 0 || channels < 1 || format < 1) std::abort();
    // Touch every byte: a short buffer shows up under the address sanitizer.
    unsigned sum = 0;
    const long long bytes = (long long)length * channels * format;
    for (long long i = 0; i < bytes; ++i) sum += pcm[i];
    if (sum == 0xffffffffu) std::abort();  // keeps the reads
    std::free(pcm);
  }
  return 0;
}
