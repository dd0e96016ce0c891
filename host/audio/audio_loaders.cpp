// Sound file decoding: the PCM WAV reader, the Ogg Vorbis decoder (the packaged
// stb_vorbis library, linked, not compiled in here) and VxGlfwGame::LoadAudioData,
// which picks one of them by the file ending.
//
// The WAV reader trusts nothing in the header: a zero channel count, samples of
// fewer than 8 bits, a short "fmt " chunk or a chunk that claims more bytes than
// the file still has is refused before anything is divided or allocated.
// Ogg files are read whole and only their run of intact pages is handed to
// stb_vorbis, which can crash on a damaged stream.
// Left out: WAV files that are not seekable, compressed or float WAV data.
#include "host/audio/audio_loaders.h"

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include "host/platform/game.h"

namespace {

constexpr int kOggFrameRoom = 4096;       // samples per channel kept free for one decoded frame
constexpr long kOggMaxBytes = 64L << 20;  // larger files are not music we made

// CRC-32 of Ogg pages: polynomial 0x04c11db7, most significant bit first, no
// inversion.
uint32_t OggCrc(const unsigned char* p, size_t n) {
  static uint32_t table[256];
  if (!table[1]) {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t r = i << 24;
      for (int k = 0; k < 8; ++k) r = (r & 0x80000000u) ? (r << 1) ^ 0x04c11db7u : r << 1;
      table[i] = r;
    }
  }
  uint32_t crc = 0;
  for (size_t i = 0; i < n; ++i) crc = (crc << 8) ^ table[((crc >> 24) ^ p[i]) & 255];
  return crc;
}

// The decoder trusts the stream it is given and can crash on a damaged one,
// so it only sees the run of whole Ogg pages, each with its checksum right,
// from the start of the file: a cut or damaged file plays up to the damage.
// Returns the length of that run.
size_t OggIntactPrefix(const unsigned char* p, size_t n) {
  size_t at = 0;
  std::vector<unsigned char> page;
  while (at < n) {
    if (n - at < 27 || std::memcmp(p + at, "OggS", 4) != 0 || p[at + 4] != 0) break;
    const size_t segments = p[at + 26];
    if (n - at < 27 + segments) break;
    size_t body = 0;
    for (size_t i = 0; i < segments; ++i) body += p[at + 27 + i];
    const size_t size = 27 + segments + body;
    if (n - at < size) break;
    const uint32_t stored = (uint32_t)p[at + 22] | ((uint32_t)p[at + 23] << 8) |
                            ((uint32_t)p[at + 24] << 16) | ((uint32_t)p[at + 25] << 24);
    page.assign(p + at, p + at + size);
    std::memset(&page[22], 0, 4);
    if (OggCrc(page.data(), size) != stored) break;
    at += size;
  }
  return at;
}

bool ReadTag(FILE* f, char tag[4]) { return std::fread(tag, 1, 4, f) == 4; }

bool ReadU16(FILE* f, uint32_t* v) {
  unsigned char b[2];
  if (std::fread(b, 1, 2, f) != 2) return false;
  *v = (uint32_t)b[0] | ((uint32_t)b[1] << 8);
  return true;
}

bool ReadU32(FILE* f, uint32_t* v) {
  unsigned char b[4];
  if (std::fread(b, 1, 4, f) != 4) return false;
  *v = (uint32_t)b[0] | ((uint32_t)b[1] << 8) | ((uint32_t)b[2] << 16) | ((uint32_t)b[3] << 24);
  return true;
}

// Bytes between the read position and the end of the file, or -1 when the file
// cannot seek.
long long Remaining(FILE* f) {
  long pos = std::ftell(f);
  if (pos < 0 || std::fseek(f, 0, SEEK_END) != 0) return -1;
  long end = std::ftell(f);
  if (end < 0 || std::fseek(f, pos, SEEK_SET) != 0) return -1;
  return (long long)end - pos;
}

// Skips `size` bytes that are known to be in the file.
bool Skip(FILE* f, uint32_t size) { return std::fseek(f, (long)size, SEEK_CUR) == 0; }

// A chunk size the file can actually hold (and an int can count).
// Leaves the reason for the caller; always null.
unsigned char* Fail(const char* why) {
  vx_audio_load_err = why;
  return nullptr;
}

bool Fits(FILE* f, uint32_t size) {
  long long left = Remaining(f);
  return left >= 0 && (long long)size <= left && size <= (uint32_t)INT_MAX;
}

}  // namespace

const char* vx_audio_load_err = nullptr;

unsigned char* LoadWAV(FILE* f, int* length, int* channels, int* format, int* hertz) {
  vx_audio_load_err = nullptr;
  if (!f) return Fail("no file");
  char tag[4];
  uint32_t size = 0;
  if (!ReadTag(f, tag) || std::memcmp(tag, "RIFF", 4) != 0) return Fail("not a RIFF file");
  if (!ReadU32(f, &size))
    return Fail("cut short in the header");  // the RIFF size says nothing we need
  if (!ReadTag(f, tag) || std::memcmp(tag, "WAVE", 4) != 0) return Fail("not a WAVE file");
  if (!ReadTag(f, tag) || std::memcmp(tag, "fmt ", 4) != 0) return Fail("no fmt chunk first");
  uint32_t fmtSize = 0;
  if (!ReadU32(f, &fmtSize) || fmtSize < 16 || !Fits(f, fmtSize)) return Fail("bad fmt chunk size");

  uint32_t formatTag, chans, rate, byteRate, align, bits;
  if (!ReadU16(f, &formatTag)) return Fail("cut short in the fmt chunk");
  if (formatTag != 1) return Fail("not integer PCM");
  if (!ReadU16(f, &chans) || !ReadU32(f, &rate) || !ReadU32(f, &byteRate) || !ReadU16(f, &align) ||
      !ReadU16(f, &bits)) {
    return Fail("cut short in the fmt chunk");
  }
  if (chans == 0) return Fail("no channels");
  if (bits < 8) return Fail("fewer than 8 bits a sample");
  const uint32_t bytes = bits / 8;
  if (fmtSize > 16 && !Skip(f, fmtSize - 16)) return Fail("cut short in the fmt chunk");

  // Any chunk before "data" (LIST, fact, cue ...) is passed over.
  for (;;) {
    if (!ReadTag(f, tag)) return Fail("no data chunk");
    if (!ReadU32(f, &size) || !Fits(f, size)) return Fail("a chunk larger than the file");
    if (std::memcmp(tag, "data", 4) == 0) break;
    if (!Skip(f, size)) return Fail("a chunk larger than the file");
    // RIFF pads odd-sized chunks with one zero byte; chunk ids never start with 0.
    if (size & 1) {
      int c = std::fgetc(f);
      if (c != 0 && c != EOF) std::ungetc(c, f);
    }
  }

  unsigned char* data = (unsigned char*)std::malloc(size ? size : 1);
  if (!data) return Fail("out of memory");
  if (std::fread(data, 1, size, f) != size) {
    std::free(data);
    return Fail("cut short in the data chunk");
  }
  *length = (int)(size / (chans * bytes));
  *channels = (int)chans;
  *format = (int)bytes;
  *hertz = (int)rate;
  return data;
}

unsigned char* LoadOGG(FILE* f, int* length, int* channels, int* format, int* hertz) {
  vx_audio_load_err = nullptr;
  if (!f) return Fail("no file");
  std::vector<unsigned char> bytes;
  unsigned char block[16384];
  for (size_t got; (got = std::fread(block, 1, sizeof block, f)) > 0;) {
    if ((long)(bytes.size() + got) > kOggMaxBytes) return Fail("larger than a sound may be");
    bytes.insert(bytes.end(), block, block + got);
  }
  const size_t intact = OggIntactPrefix(bytes.data(), bytes.size());
  if (intact == 0) return Fail("no intact Ogg page");
  int error = 0;
  stb_vorbis* vorbis = stb_vorbis_open_memory(bytes.data(), (int)intact, &error, nullptr);
  if (!vorbis) return Fail("no Vorbis stream");
  stb_vorbis_info info = stb_vorbis_get_info(vorbis);
  const int c = info.channels;
  if (c <= 0) {
    stb_vorbis_close(vorbis);
    return Fail("no channels");
  }
  size_t capacity = (size_t)c * kOggFrameRoom;
  size_t used = 0;
  long long frames = 0;
  short* samples = (short*)std::malloc(capacity * sizeof(short));
  while (samples) {
    int n =
        stb_vorbis_get_frame_short_interleaved(vorbis, c, samples + used, (int)(capacity - used));
    if (n == 0) break;
    frames += n;
    used += (size_t)n * c;
    if (used + (size_t)c * kOggFrameRoom > capacity) {
      // Stop well before the byte count of the buffer would overflow an int.
      if (capacity * 2 * sizeof(short) > (size_t)INT_MAX) {
        std::free(samples);
        samples = nullptr;
        break;
      }
      capacity *= 2;
      short* grown = (short*)std::realloc(samples, capacity * sizeof(short));
      if (!grown) std::free(samples);
      samples = grown;
    }
  }
  stb_vorbis_close(vorbis);
  if (!samples) return Fail("too long or out of memory");
  *length = (int)frames;
  *channels = c;
  *format = 2;
  *hertz = (int)info.sample_rate;
  return (unsigned char*)samples;
}

unsigned char* VxGlfwGame::LoadAudioData(String path, int* length, int* channels, int* format,
                                         int* hertz) {
  FILE* f = OpenFile(path, String("rb"));
  if (!f) return Fail("cannot open the file");
  String lower = path.ToLower();
  unsigned char* data = Fail("neither .wav nor .ogg");
  if (lower.EndsWith(String(".wav"))) {
    data = LoadWAV(f, length, channels, format, hertz);
  } else if (lower.EndsWith(String(".ogg"))) {
    data = LoadOGG(f, length, channels, format, hertz);
  }
  std::fclose(f);
  return data;
}
