// Sound assets as the game reads them: the generator writes into a fresh folder, and
// every file is checked through its container and content. WAV headers are walked the
// way the game's loader walks them (RIFF, WAVE, "fmt ", chunks up to "data"); tracks
// are decoded with stb_vorbis like the game's music loader; tune images are decoded
// pixel by pixel with the player's rule (blue >> 3, transparent 0).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <stb_image.h>
#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include "tools/assetgen/sfx/sfx.h"
#ifdef QUORVEX_HAVE_HOST_LOADERS  // defined where the test links quorvex_host
#include "host/audio_loaders.h"
#endif

namespace fs = std::filesystem;

namespace {

const int kEffects[] = {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 95, 96, 98, 99};
const char* const kTracks[] = {"Advocator", "Diagram", "Eccentricity", "Feelings", "Keyboard"};
const char* const kTunes[] = {"tunes/Pellorin/Tune_12.png", "tunes/Retro/Grimble.png", "tunes/Retro/Snorwick.png"};

std::vector<unsigned char> ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

uint32_t U16(const std::vector<unsigned char>& b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t U32(const std::vector<unsigned char>& b, size_t at) { return U16(b, at) | (U16(b, at + 2) << 16); }
bool Tag(const std::vector<unsigned char>& b, size_t at, const char* t) {
  return at + 4 <= b.size() && std::equal(t, t + 4, b.begin() + (long)at);
}

struct Wav {
  bool ok = false;
  std::string why;
  int channels = 0, rate = 0, bits = 0;
  std::vector<float> samples;  // first channel, -1..1
};

Wav ReadWav(const fs::path& p) {
  Wav w;
  std::vector<unsigned char> b = ReadBytes(p);
  if (b.size() < 44) { w.why = "too short"; return w; }
  if (!Tag(b, 0, "RIFF") || !Tag(b, 8, "WAVE") || !Tag(b, 12, "fmt ")) { w.why = "not RIFF/WAVE/fmt"; return w; }
  if (U32(b, 4) != b.size() - 8) { w.why = "RIFF size does not match the file"; return w; }
  uint32_t fmtSize = U32(b, 16);
  if (fmtSize < 16 || U16(b, 20) != 1) { w.why = "not integer PCM"; return w; }
  w.channels = (int)U16(b, 22);
  w.rate = (int)U32(b, 24);
  w.bits = (int)U16(b, 34);
  if (U32(b, 28) != (uint32_t)(w.rate * w.channels * w.bits / 8) || U16(b, 32) != (uint32_t)(w.channels * w.bits / 8)) {
    w.why = "byte rate or block alignment inconsistent";
    return w;
  }
  size_t at = 20 + fmtSize;
  while (at + 8 <= b.size()) {
    uint32_t size = U32(b, at + 4);
    if (Tag(b, at, "data")) {
      if (at + 8 + size != b.size()) { w.why = "data chunk does not end the file"; return w; }
      if (w.bits != 16 || w.channels < 1) { w.why = "not 16-bit"; return w; }
      size_t frames = size / (2 * w.channels);
      for (size_t i = 0; i < frames; ++i) w.samples.push_back((int16_t)U16(b, at + 8 + i * 2 * w.channels) / 32768.0f);
      w.ok = true;
      return w;
    }
    at += 8 + size;
  }
  w.why = "no data chunk";
  return w;
}

float Peak(const std::vector<float>& s) {
  float p = 0;
  for (float v : s) p = std::max(p, std::fabs(v));
  return p;
}

double RmsDb(const std::vector<float>& s) {
  double sum = 0;
  for (float v : s) sum += (double)v * v;
  return 10.0 * std::log10(std::max(1e-12, sum / std::max<size_t>(1, s.size())));
}

// Period of the strongest repetition near `expected` samples (normalised autocorrelation).
double BestPeriod(const std::vector<float>& s, double expected, double* strength) {
  int lo = (int)(expected * 0.6), hi = (int)(expected * 1.4);
  int n = std::min<int>((int)s.size() - hi - 1, 16384);
  double best = -2;
  int bestLag = 0;
  for (int lag = lo; lag <= hi; ++lag) {
    double xy = 0, xx = 0, yy = 0;
    for (int i = 0; i < n; ++i) {
      xy += s[i] * s[i + lag];
      xx += s[i] * s[i];
      yy += s[i + lag] * s[i + lag];
    }
    double c = xy / std::sqrt(xx * yy + 1e-20);
    if (c > best) { best = c; bestLag = lag; }
  }
  *strength = best;
  return bestLag;
}

// RMS difference between the sample and itself one period earlier, over two periods
// starting at `from`; positions wrap around, as the sample does when it loops.
double PeriodMismatch(const std::vector<float>& s, int from, double period) {
  const int n = (int)s.size();
  auto at = [&](double pos) {
    pos = std::fmod(pos, (double)n);
    if (pos < 0) pos += n;
    int i = (int)pos;
    double f = pos - i;
    return s[i % n] * (1.0 - f) + s[(i + 1) % n] * f;
  };
  double sum = 0;
  int count = (int)(2 * period);
  for (int j = 0; j < count; ++j) {
    double d = s[(from + j) % n] - at(from + j - period);
    sum += d * d;
  }
  return std::sqrt(sum / count);
}

fs::path MakeTempDir(const char* tag) {
  std::string tmpl = (fs::temp_directory_path() / (std::string("quorvex-") + tag + "-XXXXXX")).string();
  std::vector<char> buf(tmpl.begin(), tmpl.end());
  buf.push_back('\0');
  char* made = mkdtemp(buf.data());
  return made ? fs::path(made) : fs::path();
}

// The checks read the data folder the build wrote, so each test process sees
// the files the game runs with without synthesising them again; only the
// repeat-run check runs the generator, into a scratch folder.
class SoundAssets : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_dir = QUORVEX_DATA_DIR;
    s_result = fs::exists(s_dir / "sfx" / "096.wav") ? 0 : -1;
  }
  void SetUp() override { ASSERT_EQ(s_result, 0) << "the build wrote no sounds into " << s_dir; }
  static fs::path s_dir;
  static int s_result;
};

fs::path SoundAssets::s_dir;
int SoundAssets::s_result = -1;

TEST_F(SoundAssets, EveryEffectIsShortLoudAndCleanMonoPcm) {
  std::vector<double> loudness;
  for (int n : kEffects) {
    char name[32];
    std::snprintf(name, sizeof name, "sfx/%03d.wav", n);
    SCOPED_TRACE(name);
    Wav w = ReadWav(s_dir / name);
    ASSERT_TRUE(w.ok) << w.why;
    EXPECT_EQ(w.channels, 1);
    EXPECT_EQ(w.rate, 44100);
    double seconds = (double)w.samples.size() / w.rate;
    EXPECT_GE(seconds, 0.05);
    EXPECT_LE(seconds, 3.0);
    float peak = Peak(w.samples);
    EXPECT_GT(peak, 0.3f) << "too quiet";
    EXPECT_LT(peak, 0.95f) << "peaks should stay below full scale";
    EXPECT_GT(RmsDb(w.samples), -25.0) << "nearly silent";
    // Starting or stopping away from zero is a click.
    EXPECT_LT(std::fabs(w.samples.front()), 0.01f);
    EXPECT_LT(std::fabs(w.samples.back()), 0.01f);
    loudness.push_back(RmsDb(w.samples));
  }
  auto mm = std::minmax_element(loudness.begin(), loudness.end());
  EXPECT_LT(*mm.second - *mm.first, 6.0) << "effects should sit at a consistent loudness";
}

TEST_F(SoundAssets, DrumKitsHoldEightDistinctHitsEach) {
  std::set<std::vector<unsigned char>> seen;
  for (int kit = 1; kit <= 4; ++kit) {
    for (int k = 1; k <= 8; ++k) {
      std::string name = "inst/d" + std::to_string(kit) + "-" + std::to_string(k) + ".wav";
      SCOPED_TRACE(name);
      Wav w = ReadWav(s_dir / name);
      ASSERT_TRUE(w.ok) << w.why;
      EXPECT_EQ(w.channels, 1);
      EXPECT_EQ(w.rate, 44100);
      double seconds = (double)w.samples.size() / w.rate;
      EXPECT_GE(seconds, 0.03);
      EXPECT_LE(seconds, 2.0);
      EXPECT_GT(Peak(w.samples), 0.3f);
      EXPECT_LT(std::fabs(w.samples.back()), 0.01f);
      EXPECT_TRUE(seen.insert(ReadBytes(s_dir / name)).second) << "same hit twice";
    }
  }
}

TEST_F(SoundAssets, PitchedInstrumentsLoopSeamlesslyAtTheirOwnPitch) {
  struct Family {
    const char* prefix;
    int count;
    double hz;
  };
  // Lead, accompaniment and bass sit in exact octaves, so the player's note 13 agrees across voices.
  const Family families[] = {{"lead", 3, 524.0}, {"accompany", 3, 262.0}, {"bass", 4, 65.5}};
  for (const Family& f : families) {
    for (int i = 1; i <= f.count; ++i) {
      std::string name = std::string("inst/") + f.prefix + std::to_string(i) + ".wav";
      SCOPED_TRACE(name);
      Wav w = ReadWav(s_dir / name);
      ASSERT_TRUE(w.ok) << w.why;
      EXPECT_EQ(w.channels, 1);
      EXPECT_EQ(w.rate, 44100);
      ASSERT_GE(w.samples.size(), 22050u);
      EXPECT_GT(Peak(w.samples), 0.5f);
      // Played as a loop, the start must continue the end: one period across the wrap
      // repeats as closely as one period anywhere inside the sample.
      const double period = 44100.0 / f.hz;
      double acrossWrap = PeriodMismatch(w.samples, 0, period);
      double inside = PeriodMismatch(w.samples, (int)w.samples.size() / 2, period);
      EXPECT_LE(acrossWrap, inside * 2.0 + 0.005) << "the loop point breaks the tone";
      // Steady tone at the expected pitch.
      double strength = 0;
      double measured = BestPeriod(w.samples, period, &strength);
      EXPECT_NEAR(44100.0 / measured, f.hz, f.hz * 0.01);
      EXPECT_GT(strength, 0.9);
    }
  }
}

TEST_F(SoundAssets, MusicTracksAreStereoLoopsOfAMinuteOrMore) {
  uintmax_t total = 0;
  std::vector<std::vector<short>> decoded;
  for (const char* t : kTracks) {
    fs::path p = s_dir / "sfx" / (std::string(t) + ".ogg");
    SCOPED_TRACE(p.string());
    ASSERT_TRUE(fs::exists(p));
    total += fs::file_size(p);
    int channels = 0, rate = 0;
    short* out = nullptr;
    int frames = stb_vorbis_decode_filename(p.string().c_str(), &channels, &rate, &out);
    ASSERT_GT(frames, 0) << "does not decode";
    std::vector<short> pcm(out, out + (size_t)frames * channels);
    std::free(out);
    EXPECT_EQ(channels, 2);
    EXPECT_EQ(rate, 44100);
    double seconds = (double)frames / rate;
    EXPECT_GE(seconds, 60.0);
    EXPECT_LE(seconds, 120.0);
    // Loudness: not silent, not clipping all over.
    double sum = 0;
    int clipped = 0;
    for (short s : pcm) {
      sum += (double)s * s;
      if (s >= 32767 || s <= -32768) ++clipped;
    }
    double rms = std::sqrt(sum / pcm.size()) / 32768.0;
    EXPECT_GT(rms, 0.05);
    EXPECT_LT(clipped, (int)(pcm.size() / 10000));
    // The loop: end to start is no bigger a step than the music takes 99.9% of the time.
    for (int c = 0; c < 2; ++c) {
      std::vector<int> steps;
      for (int i = 1; i < frames; ++i) steps.push_back(std::abs(pcm[(size_t)i * 2 + c] - pcm[(size_t)(i - 1) * 2 + c]));
      std::nth_element(steps.begin(), steps.begin() + (long)(steps.size() * 999 / 1000), steps.end());
      int typical = steps[steps.size() * 999 / 1000];
      int wrap = std::abs(pcm[c] - pcm[(size_t)(frames - 1) * 2 + c]);
      EXPECT_LE(wrap, std::max(typical, 300)) << "click at the loop point, channel " << c;
    }
    // Music, not a drone: the level moves a lot from one sixteenth of a second to the next.
    int window = rate / 16, louder = 0;
    std::vector<double> levels;
    for (int start = 0; start + window <= frames; start += window) {
      double e = 0;
      for (int i = 0; i < window; ++i) e += std::fabs((double)pcm[(size_t)(start + i) * 2]);
      levels.push_back(e / window);
    }
    for (size_t i = 1; i < levels.size(); ++i) if (levels[i] > levels[i - 1] * 1.3) ++louder;
    EXPECT_GT(louder, (int)levels.size() / 20) << "no rhythm to speak of";
    decoded.push_back(std::move(pcm));
  }
  EXPECT_LT(total, 10u * 1024 * 1024);
  for (size_t i = 0; i < decoded.size(); ++i)
    for (size_t j = i + 1; j < decoded.size(); ++j) EXPECT_NE(decoded[i], decoded[j]) << "tracks " << i << " and " << j;
}

// The player's view of a tune image: value[frame][band][row][field].
struct Tune {
  int values[64][8][64][8] = {};
};

TEST_F(SoundAssets, TuneImagesHoldPlayablePatternsInEveryVoice) {
  const std::set<int> drumNotes = {0, 13, 15, 17, 18, 20, 22, 24, 25};
  const std::set<int> effects = {0, 1, 2, 3, 4, 8, 27};
  for (const char* name : kTunes) {
    SCOPED_TRACE(name);
    int w = 0, h = 0, comp = 0;
    unsigned char* px = stbi_load((s_dir / name).string().c_str(), &w, &h, &comp, 4);
    ASSERT_NE(px, nullptr);
    ASSERT_EQ(w % 64, 0);
    ASSERT_EQ(h % 64, 0);
    ASSERT_GE((w / 64) * (h / 64), 64) << "fewer than 64 whole frames";
    auto tune = std::make_unique<Tune>();
    int patternCount[8] = {};
    for (int f = 0; f < 64; ++f) {
      int ox = (f % (w / 64)) * 64, oy = (f / (w / 64)) * 64;
      for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
          const unsigned char* p = px + ((size_t)(oy + y) * w + (size_t)(ox + x)) * 4;
          int value = p[3] == 0 ? 0 : p[2] >> 3;
          EXPECT_TRUE(p[3] == 0 || p[3] == 255) << "half-transparent pixels decode differently over black";
          tune->values[f][x / 8][y][x % 8] = value;
          if (value != 0 && f < 63) patternCount[x / 8] = f;
        }
      }
    }
    stbi_image_free(px);
    for (int band = 0; band < 5; ++band) {
      SCOPED_TRACE("voice " + std::to_string(band));
      EXPECT_GE(patternCount[band], 2) << "a voice needs patterns to choose from";
      // The player picks any pattern from 0 to the count: each must have notes.
      for (int f = 0; f <= patternCount[band]; ++f) {
        int notes = 0;
        for (int y = 0; y < 64; ++y) {
          const int* c = tune->values[f][band][y];
          if (c[0] == 0) continue;
          ++notes;
          if (band < 2) {
            EXPECT_TRUE(drumNotes.count(c[0])) << "drum note " << c[0] << " plays nothing";
          } else {
            EXPECT_GE(c[1], 1) << "a pitched note without a volume keeps the last faded level";
          }
        }
        EXPECT_GE(notes, band < 2 ? 8 : 4) << "pattern " << f;
        for (int y = 0; y < 64; ++y) {
          const int* c = tune->values[f][band][y];
          EXPECT_TRUE(effects.count(c[2])) << "effect " << c[2];
          if (c[2] == 27) {
            EXPECT_NE(c[3], 2) << "a pattern switch down could leave the pattern range";
          }
        }
      }
    }
    for (int band = 5; band < 8; ++band) EXPECT_EQ(patternCount[band], 0) << "voices 5-7 are never played";
    for (int f = 0; f < 64; ++f)
      for (int band = 0; band < 8; ++band)
        for (int y = 0; y < 64; ++y)
          for (int k = 4; k < 8; ++k) EXPECT_EQ(tune->values[f][band][y][k], 0);
  }
}

// The build tree's data folder was written by another run of the same generator; when it
// is there it serves as the second run, otherwise the test makes one.
TEST_F(SoundAssets, TwoRunsWriteIdenticalFiles) {
  const fs::path again = MakeTempDir("sfx-again");
  ASSERT_FALSE(again.empty());
  ASSERT_EQ(GenerateSfx(again.string()), 0);
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(again)) {
    if (!e.is_regular_file()) continue;
    fs::path rel = fs::relative(e.path(), again);
    SCOPED_TRACE(rel.string());
    ASSERT_TRUE(fs::exists(s_dir / rel));
    EXPECT_TRUE(ReadBytes(e.path()) == ReadBytes(s_dir / rel));
    ++files;
  }
  EXPECT_EQ(files, 16 + 32 + 10 + 3 + 5);
  std::error_code ec;
  fs::remove_all(again, ec);
}

#ifdef QUORVEX_HAVE_HOST_LOADERS
// The game's own loaders take every file with the format and length the checks above saw.
TEST_F(SoundAssets, EverySoundLoadsThroughTheGamesLoaders) {
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(s_dir)) {
    std::string ext = e.path().extension().string();
    if (ext != ".wav" && ext != ".ogg") continue;
    SCOPED_TRACE(e.path().string());
    FILE* f = std::fopen(e.path().string().c_str(), "rb");
    ASSERT_NE(f, nullptr);
    int length = 0, channels = 0, format = 0, hertz = 0;
    unsigned char* data = ext == ".wav" ? LoadWAV(f, &length, &channels, &format, &hertz)
                                        : LoadOGG(f, &length, &channels, &format, &hertz);
    std::fclose(f);
    ASSERT_NE(data, nullptr);
    std::free(data);
    EXPECT_EQ(format, 2);
    EXPECT_EQ(hertz, 44100);
    EXPECT_EQ(channels, ext == ".wav" ? 1 : 2);
    EXPECT_GT(length, ext == ".wav" ? 2000 : 44100 * 60);
    ++files;
  }
  EXPECT_EQ(files, 16 + 32 + 10 + 5);
}
#endif

TEST(SoundAssetsFailure, UnwritableFolderIsReportedNotCrashed) {
  EXPECT_NE(GenerateSfx("/proc/quorvex-cannot-write-here"), 0);
}

}  // namespace
