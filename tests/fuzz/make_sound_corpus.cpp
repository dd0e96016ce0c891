// Writes the sound files of the fuzz corpus: usage make_sound_corpus <dir>,
// filling <dir>/ogg_load and <dir>/wav_load. The Ogg files are a short
// stream the generator's writer encodes and damaged copies of it; the WAV
// files are small headers built field by field, each wrong in one way. No
// sound file is committed.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tools/assetgen/sfx/writers.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Read(const std::string& path) {
  const std::string bytes = test_files::ReadFile(path);
  return Bytes(bytes.begin(), bytes.end());
}

Bytes operator+(Bytes a, const Bytes& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Le(uint32_t v, int bytes) {
  Bytes b;
  for (int i = 0; i < bytes; ++i) b.push_back((unsigned char)(v >> (8 * i)));
  return b;
}

// The Ogg page checksum: CRC-32, polynomial 0x04c11db7, no reflection.
uint32_t OggCrc(const Bytes& page) {
  uint32_t crc = 0;
  for (unsigned char byte : page) {
    crc ^= (uint32_t)byte << 24;
    for (int i = 0; i < 8; ++i) crc = crc & 0x80000000u ? (crc << 1) ^ 0x04c11db7u : crc << 1;
  }
  return crc;
}

// A chunk: its tag, the size it claims and its body, padded to an even length.
Bytes Chunk(const char* tag, const Bytes& body, uint32_t size) {
  Bytes b = Text(tag) + Le(size, 4) + body;
  if (body.size() % 2) b.push_back(0);
  return b;
}
Bytes Chunk(const char* tag, const Bytes& body) { return Chunk(tag, body, (uint32_t)body.size()); }

// The fields of a "fmt " chunk.
Bytes Fmt(int format, int channels, int rate, int bits) {
  const int align = channels * bits / 8;
  return Le(format, 2) + Le(channels, 2) + Le(rate, 4) + Le(rate * align, 4) + Le(align, 2) +
         Le(bits, 2);
}

Bytes Riff(const Bytes& chunks, const char* tag = "RIFF") {
  return Text(tag) + Le((uint32_t)chunks.size() + 4, 4) + Text("WAVE") + chunks;
}

bool Write(const std::string& dir, const char* name, const Bytes& b) {
  return test_files::WriteFile(dir + "/" + name, std::string(b.begin(), b.end()));
}

struct Page {
  size_t start, body, end;  // offsets of the page, its body and the next page
  bool audio;               // a granule position above 0: sound, not headers
};

std::vector<Page> Pages(const Bytes& b) {
  std::vector<Page> pages;
  for (size_t at = 0; at + 27 <= b.size();) {
    const size_t segments = b[at + 26], body = at + 27 + segments;
    size_t size = 0;
    for (size_t i = 0; i < segments && at + 27 + i < b.size(); ++i) size += b[at + 27 + i];
    bool audio = false;
    for (int i = 6; i < 14; ++i) audio |= b[at + i] != 0 && b[at + i] != 0xff;
    pages.push_back({at, body, body + size, audio});
    at = body + size;
  }
  return pages;
}

bool WriteOgg(const std::string& dir) {
  std::vector<float> tone;  // two seconds of a 441 Hz tone, channels in opposite phase
  for (int i = 0; i < 88200; ++i) {
    const float v = 0.5f * (float)std::sin(2 * M_PI * 441 * i / 44100.0);
    tone.push_back(v);
    tone.push_back(-v);
  }
  if (!sfx::WriteOggVorbis(dir + "/good.ogg", tone, 2, 44100, 0.3f)) return false;
  const Bytes good = Read(dir + "/good.ogg");
  const std::vector<Page> pages = Pages(good);
  size_t firstAudio = 0;
  while (firstAudio < pages.size() && !pages[firstAudio].audio) ++firstAudio;
  if (pages.size() < 3 || firstAudio + 1 >= pages.size()) return false;

  Bytes badChecksum = good, damaged = good;
  badChecksum[22] ^= 0x5a;  // the first page's checksum
  const Page& audio = pages[firstAudio];
  damaged[(audio.body + audio.end) / 2] ^= 0x5a;
  const Page& last = pages.back();
  const Bytes cut(good.begin(), good.begin() + (long)((last.body + last.end) / 2));
  // The first page's header over a body that is no Vorbis packet, its checksum right.
  Bytes notVorbis(good.begin(), good.begin() + 26);
  notVorbis = notVorbis + Bytes{1, 30} + Bytes(30, 7);
  for (int i = 22; i < 26; ++i) notVorbis[i] = 0;
  const Bytes crc = Le(OggCrc(notVorbis), 4);
  std::copy(crc.begin(), crc.end(), notVorbis.begin() + 22);
  const Bytes notOgg = Text("RIFF") + Bytes(good.begin() + 4, good.begin() + 64);
  return Write(dir, "bad-checksum.ogg", badChecksum) &&
         Write(dir, "damaged-after-headers.ogg", damaged) && Write(dir, "cut-in-a-page.ogg", cut) &&
         Write(dir, "not-vorbis.ogg", notVorbis) && Write(dir, "not-ogg.ogg", notOgg) &&
         Write(dir, "short-page.ogg", Bytes(good.begin(), good.begin() + 20));
}

bool WriteWav(const std::string& dir) {
  const Bytes pcm8 = Chunk("fmt ", Fmt(1, 1, 8000, 8)), silence8 = Chunk("data", Bytes(8, 0x80));
  const Bytes ramp = {0x78, 0x79, 0x7a, 0x7b, 0x7c, 0x7d, 0x7e, 0x7f};
  const Bytes stereo16 = {0x01, 0x00, 0xff, 0xff, 0xff, 0x7f, 0x00, 0x80};
  const Bytes truncated = Riff(pcm8);
  return Write(dir, "empty.wav", {}) &&
         Write(dir, "pcm8-mono.wav", Riff(pcm8 + Chunk("data", ramp))) &&
         Write(dir, "pcm16-stereo-after-odd-chunk.wav",
               Riff(Chunk("fmt ", Fmt(1, 2, 22050, 16) + Le(0, 2)) + Chunk("LIST", Text("abc")) +
                    Chunk("data", stereo16))) &&
         Write(dir, "4-bit-samples.wav", Riff(Chunk("fmt ", Fmt(1, 1, 8000, 4)) + silence8)) &&
         Write(dir, "float-format.wav",
               Riff(Chunk("fmt ", Fmt(3, 1, 8000, 32)) + Chunk("data", Bytes(16, 0)))) &&
         Write(dir, "zero-channels.wav", Riff(Chunk("fmt ", Fmt(1, 0, 8000, 8)) + silence8)) &&
         Write(dir, "not-riff.wav", Riff(pcm8 + silence8, "RIFX")) &&
         Write(dir, "no-data-chunk.wav", Riff(pcm8 + Chunk("LIST", Text("INFO")))) &&
         Write(dir, "truncated-header.wav", Bytes(truncated.begin(), truncated.begin() + 22)) &&
         Write(dir, "fmt-size-oversized.wav",
               Riff(Chunk("fmt ", Fmt(1, 1, 8000, 8), 0x7ffffff0) + silence8)) &&
         Write(dir, "chunk-size-oversized.wav",
               Riff(pcm8 + Chunk("LIST", Text("INFO"), 0x7fffffff) + silence8)) &&
         Write(dir, "data-size-oversized.wav",
               Riff(Chunk("fmt ", Fmt(1, 1, 8000, 16)) + Chunk("data", Bytes(8, 0), 0xffffff00)));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  return sfx::MakeDirs(dir + "/ogg_load") && sfx::MakeDirs(dir + "/wav_load") &&
                 WriteOgg(dir + "/ogg_load") && WriteWav(dir + "/wav_load")
             ? 0
             : 1;
}
