// The WAV and Ogg loaders through the host, which picks one by the file's
// ending: the layouts real tools write, every cut of a valid WAV file, and an
// Ogg file made by the reference encoder. Known-bad files are the fuzz corpus's.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "host/audio/audio_loaders.h"
#include "tests/host/audio/audio_util.h"
#include "tools/assetgen/sfx/writers.h"

using namespace audio_test;

namespace {

struct Loaded {
  unsigned char* data = nullptr;
  int length = -1, channels = -1, format = -1, hertz = -1;
  ~Loaded() { std::free(data); }
  std::string Bytes() const {
    return std::string((const char*)data, (size_t)(length * channels * format));
  }
  std::vector<int> Layout() const { return {length, channels, format, hertz}; }
};

// `bytes` written as `name` (nothing written when empty), then loaded.
void Load(const std::string& name, const std::string& bytes, Loaded* out) {
  if (!bytes.empty()) test_files::WriteFile(Path(name), bytes);
  out->data = Host()->LoadAudioData(String(Path(name).c_str()), &out->length, &out->channels,
                                    &out->format, &out->hertz);
}

TEST(HostAudioLoaders, WavLayoutsThatRealToolsWriteLoadAndEveryCutOfOneGivesNoData) {
  std::string stereo;
  for (int i = 0; i < 1000; ++i) stereo += Le(i * 7 & 0xFFFF, 2) + Le(-i * 5 & 0xFFFF, 2);
  const std::string sine = Sine16(441, 0.1), mono8(301, '\x90');
  const std::string info = Chunk("LIST", std::string("INFOISFT\5\0\0\0gen\0\0\0", 17));
  const struct {
    const char* name;
    std::string bytes, data;
    std::vector<int> layout;  // frames, channels, bytes per sample, hertz
  } files[] = {
      {"list.wav",
       WavBytes(2, 22050, 16, info + Chunk("data", stereo)),
       stereo,
       {1000, 2, 2, 22050}},
      {"fmt18.wav", WavBytes(1, 44100, 16, Chunk("data", sine), 2), sine, {4410, 1, 2, 44100}},
      {"PADDED.WAV",
       WavBytes(1, 8000, 8, Chunk("junk", "abc") + Chunk("data", mono8)),
       mono8,
       {301, 1, 1, 8000}},
  };
  for (const auto& f : files) {
    Loaded w;
    Load(f.name, f.bytes, &w);
    ASSERT_NE(w.data, nullptr) << f.name;
    EXPECT_EQ(w.Layout(), f.layout) << f.name;
    EXPECT_EQ(w.Bytes(), f.data) << f.name;
  }
  const std::string full =
      WavBytes(2, 8000, 16, Chunk("LIST", "abcdef") + Chunk("data", std::string(32, 'x')), 2);
  for (size_t n = 1; n <= full.size(); ++n) {
    Loaded cut;
    Load("cut.wav", full.substr(0, n), &cut);
    EXPECT_EQ(cut.data != nullptr, n == full.size()) << "cut at " << n;
  }
  Loaded other, absent;
  Load("sound.wav.mp3", files[0].bytes, &other);
  EXPECT_STREQ(vx_audio_load_err, "neither .wav nor .ogg");
  Load("absent.wav", "", &absent);
  EXPECT_TRUE(other.data == nullptr && absent.data == nullptr) << "neither .wav nor .ogg; no file";
  EXPECT_STREQ(vx_audio_load_err, "cannot open the file");
}

TEST(HostAudioLoaders, OggDecodesWholeWithItsLengthChannelsRateAndTone) {
  // Encoded here by the generator's writer (libvorbis): 22050 Hz stereo,
  // 22383 frames of 441 Hz, the channels in opposite phase.
  std::vector<float> tone;
  for (int i = 0; i < 22383; ++i) {
    const float v = 0.5f * (float)std::sin(2 * M_PI * 441 * i / 22050.0);
    tone.push_back(v);
    tone.push_back(-v);
  }
  test_files::ScratchDir dir("quorvex-tone");
  ASSERT_TRUE(sfx::WriteOggVorbis((dir / "tone.ogg").string(), tone, 2, 22050, 0.3f));
  Loaded whole;
  Load("tone.OGG", test_files::ReadFile(dir / "tone.ogg"), &whole);
  ASSERT_NE(whole.data, nullptr);
  EXPECT_EQ(whole.Layout(), std::vector<int>({22383, 2, 2, 22050}));
  const short* s = (const short*)whole.data;
  int crossings = 0;
  double dot = 0;
  for (int i = 1; i < whole.length; ++i) {
    crossings += s[2 * (i - 1)] < 0 && s[2 * i] >= 0;
    dot += (double)s[2 * i] * s[2 * i + 1];
  }
  EXPECT_NEAR(crossings * 22050.0 / whole.length, 441, 5);
  EXPECT_LT(dot, 0);
}

}  // namespace
