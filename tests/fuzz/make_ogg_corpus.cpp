// Writes the Ogg files of the fuzz corpus into a folder: a short stream the
// generator's writer encodes, and damaged copies of it (a page checksum
// broken, the first sound page corrupted, the stream cut inside its last
// page). Encoded sound is never committed; the small hand-made files stay in
// corpus/ogg_load.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/assetgen/sfx/writers.h"

namespace {

using Bytes = std::vector<unsigned char>;

Bytes Read(const std::string& path) {
  Bytes b;
  if (FILE* f = std::fopen(path.c_str(), "rb")) {
    for (int c; (c = std::fgetc(f)) != EOF;) b.push_back((unsigned char)c);
    std::fclose(f);
  }
  return b;
}

bool Write(const std::string& dir, const char* name, const Bytes& b) {
  FILE* f = std::fopen((dir + "/" + name).c_str(), "wb");
  const bool ok = f && std::fwrite(b.data(), 1, b.size(), f) == b.size();
  if (f) std::fclose(f);
  return ok;
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

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::string dir = argv[1];
  std::vector<float> tone;  // two seconds of a 441 Hz tone, channels in opposite phase
  for (int i = 0; i < 88200; ++i) {
    const float v = 0.5f * (float)std::sin(2 * M_PI * 441 * i / 44100.0);
    tone.push_back(v);
    tone.push_back(-v);
  }
  if (!sfx::WriteOggVorbis(dir + "/good.ogg", tone, 2, 44100, 0.3f)) return 1;
  const Bytes good = Read(dir + "/good.ogg");
  const std::vector<Page> pages = Pages(good);
  size_t firstAudio = 0;
  while (firstAudio < pages.size() && !pages[firstAudio].audio) ++firstAudio;
  if (pages.size() < 3 || firstAudio + 1 >= pages.size()) return 1;

  Bytes badChecksum = good, damaged = good;
  badChecksum[22] ^= 0x5a;  // the first page's checksum
  const Page& audio = pages[firstAudio];
  damaged[(audio.body + audio.end) / 2] ^= 0x5a;
  const Page& last = pages.back();
  const Bytes cut(good.begin(), good.begin() + (long)((last.body + last.end) / 2));
  return Write(dir, "bad-checksum.ogg", badChecksum) &&
                 Write(dir, "damaged-after-headers.ogg", damaged) &&
                 Write(dir, "cut-in-a-page.ogg", cut)
             ? 0
             : 1;
}
