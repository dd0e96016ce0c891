// The sound half of the asset generator: the envelope and the WAV writer with
// exact values, then every file the build wrote into data/ as the game and the
// music player read it (WAVs, Ogg Vorbis through stb_vorbis, tune images with
// the player's rule: blue >> 3). A second run must write the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include <stb_image.h>
#define STB_VORBIS_HEADER_ONLY
#include <stb_vorbis.h>

#include "tests/support/files.h"
#include "tests/support/openal.h"
#include "tools/assetgen/sfx/dsp.h"
#include "tools/assetgen/sfx/sfx.h"
#include "tools/assetgen/sfx/tunes.h"
#include "tools/assetgen/sfx/writers.h"

namespace fs = std::filesystem;

namespace {

const fs::path kData = QUORVEX_DATA_DIR;

TEST(SfxDsp, AdsrRisesDecaysHoldsAndReleasesLinearly) {
  // Attack 0.1 s, decay 0.2 s to 0.5, held 1 s, released over 0.4 s.
  const float at[][2] = {{-0.1f, 0},   {0.05f, 0.5f}, {0.1f, 1}, {0.2f, 0.75f},
                         {0.5f, 0.5f}, {1.2f, 0.25f}, {1.5f, 0}};
  for (const auto& p : at)
    EXPECT_NEAR(sfx::Adsr(p[0], 1.0f, 0.1f, 0.2f, 0.5f, 0.4f), p[1], 1e-5) << p[0];
}

TEST(SfxWriters, Wav16UsesTheFullRangeClipsAndRounds) {
  test_files::ScratchDir dir("quorvex-sfx");
  ASSERT_TRUE(
      sfx::WriteWav16((dir / "a.wav").string(), {1.0f, -1.0f, 0.25f, 2.0f, -0.5f}, 1, 44100));
  const openal_test::Wav w = openal_test::ReadWav(dir / "a.wav");
  const long want[] = {32767, -32767, 8192, 32767, -16384};
  for (int i = 0; i < 5; ++i) EXPECT_EQ(std::lround(w.samples.at(i) * 32768), want[i]) << i;
}

// The WAVs the game and the player load: name pattern, numbers, seconds, and an instrument's
// own pitch (lead, accompaniment and bass sit in octaves, so the player's note 13 agrees).
struct Wavs {
  const char* pattern;
  std::vector<int> numbers;
  double minSeconds, maxSeconds, hz;
};
const std::vector<int> kKit = {1, 2, 3, 4, 5, 6, 7, 8};
const Wavs kWavs[] = {
    {"sfx/%03d.wav", {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 95, 96, 98, 99}, 0.05, 3, 0},
    {"inst/d1-%d.wav", kKit, 0.03, 2, 0},
    {"inst/d2-%d.wav", kKit, 0.03, 2, 0},
    {"inst/d3-%d.wav", kKit, 0.03, 2, 0},
    {"inst/d4-%d.wav", kKit, 0.03, 2, 0},
    {"inst/lead%d.wav", {1, 2, 3}, 1, 1, 524},
    {"inst/accompany%d.wav", {1, 2, 3}, 1, 1, 262},
    {"inst/bass%d.wav", {1, 2, 3, 4}, 2, 2, 65.5},
};

// RMS difference from itself a period later over two periods, wrapping as a loop does.
double PeriodMismatch(const std::vector<float>& s, size_t from, int period) {
  double sum = 0;
  for (size_t j = from; j < from + 2 * period; ++j)
    sum += std::pow(s[j % s.size()] - s[(j + period) % s.size()], 2);
  return std::sqrt(sum / (2 * period));
}

TEST(SfxData, EveryWavIsMonoPcmOfItsLengthAndEffectsAreCleanAndEvenlyLoud) {
  double quietest = 0, loudest = -100;
  for (const Wavs& group : kWavs) {
    for (int n : group.numbers) {
      char name[32];
      std::snprintf(name, sizeof name, group.pattern, n);
      SCOPED_TRACE(name);
      const openal_test::Wav w = openal_test::ReadWav(kData / name);
      ASSERT_EQ(w.problem, "");
      EXPECT_TRUE(w.format == 1 && w.bits == 16 && w.channels == 1 && w.rate == 44100 &&
                  w.block_align == 2);
      EXPECT_TRUE(w.data_at == 44 && w.data_size == w.file_size - 44 &&
                  w.riff_size == w.file_size - 8);
      const double seconds = w.Frames() / 44100.0;
      EXPECT_TRUE(seconds >= group.minSeconds && seconds <= group.maxSeconds) << seconds;
      double peak = 0, sum = 0;
      for (double v : w.samples) peak = std::max(peak, std::fabs(v)), sum += v * v;
      EXPECT_TRUE(peak > 0.3 && peak < 0.95) << peak;
      if (group.hz == 0) {
        EXPECT_LT(std::fabs(w.samples.front()) + std::fabs(w.samples.back()), 0.02f)
            << "a click at an end";
      } else {
        // A loop at its own pitch: a period on fits best, as well across the wrap as inside.
        const int period = (int)std::lround(44100 / group.hz);
        const double inside = PeriodMismatch(w.samples, w.samples.size() / 2, period);
        EXPECT_LE(PeriodMismatch(w.samples, w.samples.size() - period, period), inside * 2 + 0.005);
        for (int off : {-period / 20, period / 20})
          EXPECT_GT(PeriodMismatch(w.samples, 0, period + off), inside * 2);
      }
      const double db = 10 * std::log10(sum / w.samples.size());
      if (&group == &kWavs[0])
        quietest = std::min(quietest, db), loudest = std::max(loudest, db);  // effects
    }
  }
  EXPECT_GT(quietest, -25.0) << "a nearly silent effect";
  EXPECT_LT(loudest - quietest, 6.0) << "effects should sit at a consistent loudness";
}

TEST(SfxData, TracksAreStereoLoopsOfAMinuteOrMoreWithoutAClick) {
  for (const char* t : {"Advocator", "Diagram", "Eccentricity", "Feelings", "Keyboard"}) {
    int channels = 0, rate = 0;
    short* pcm = nullptr;
    const int frames = stb_vorbis_decode_filename(
        (kData / "sfx" / (t + std::string(".ogg"))).c_str(), &channels, &rate, &pcm);
    ASSERT_TRUE(channels == 2 && rate == 44100 && frames >= 60 * 44100 && frames <= 120 * 44100)
        << t << " " << frames;
    // From the end back to the start is a small step (the loudest sounds step by over 6000).
    for (int c = 0; c < 2; ++c)
      EXPECT_LE(std::abs(pcm[c] - pcm[(frames - 1) * 2 + c]), 2000) << t << ": a click";
    std::free(pcm);
  }
}

TEST(SfxData, TuneImagesHoldPlayablePatternsInTheFiveVoices) {
  const std::set<int> drumNotes = {0, 13, 15, 17, 18, 20, 22, 24, 25},
                      effects = {0, 1, 2, 3, 4, 8, 27};
  for (const char* name :
       {"tunes/Pellorin/Tune_12.png", "tunes/Retro/Grimble.png", "tunes/Retro/Snorwick.png"}) {
    SCOPED_TRACE(name);
    int w = 0, h = 0, n = 0;
    unsigned char* px = stbi_load((kData / name).c_str(), &w, &h, &n, 4);
    ASSERT_TRUE(px && w == sfx::kTuneSheet && h == sfx::kTuneSheet);
    auto at = [&](int frame, int voice, int row, int field) {
      const unsigned char* p =
          px + (((frame / 8) * 64 + row) * w + (frame % 8) * 64 + voice * 8 + field) * 4;
      EXPECT_EQ(p[3], 255) << "half-transparent pixels decode differently over black";
      return p[2] >> 3;
    };
    for (int voice = 0; voice < 8; ++voice) {
      SCOPED_TRACE("voice " + std::to_string(voice));
      int count = -1,
          notes[63] = {};  // the player picks from 0 to the last of frames 0-62 with data
      for (int f = 0; f < 63; ++f) {
        for (int row = 0; row < 64; ++row) {
          const int note = at(f, voice, row, 0), volume = at(f, voice, row, 1),
                    effect = at(f, voice, row, 2);
          notes[f] += note > 0;
          if (note + volume + effect + at(f, voice, row, 3) > 0) count = f;
          EXPECT_TRUE(voice >= 2 || drumNotes.count(note))
              << "drum note " << note << " plays nothing";
          EXPECT_TRUE(voice < 2 || !note || volume > 0) << "a note without a volume";
          EXPECT_TRUE(effects.count(effect) && !(effect == 27 && at(f, voice, row, 3) == 2))
              << "effect " << effect;
        }
      }
      EXPECT_TRUE(voice < sfx::kTuneVoices ? count >= 2 : count == -1)
          << "patterns up to " << count;
      for (int f = 0; f <= count; ++f) EXPECT_GE(notes[f], voice < 2 ? 8 : 4) << "pattern " << f;
    }
    stbi_image_free(px);
  }
}

TEST(SfxData, ASecondRunWritesTheSameFilesAndAnUnwritableFolderFails) {
  test_files::ScratchDir again("quorvex-sfx");
  ASSERT_EQ(GenerateSfx(again.path().string()), 0);
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(again.path())) {
    const fs::path rel = fs::relative(e.path(), again.path());
    EXPECT_TRUE(e.is_directory() || test_files::ReadFile(e) == test_files::ReadFile(kData / rel))
        << rel;
    files += e.is_regular_file();
  }
  EXPECT_EQ(files, 16 + 32 + 10 + 5 + 3);
  EXPECT_NE(GenerateSfx("/proc/quorvex-cannot-write-here"), 0);
}

}  // namespace
