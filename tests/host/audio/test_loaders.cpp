// The WAV and Ogg loaders on real files written here: the layouts real tools
// write (extra fmt bytes, chunks before the data, odd padding), the file-ending
// rule, an Ogg made by a real encoder, and hostile or cut-off files that must
// give no data without crashing.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include <gtest/gtest.h>
#include <vorbis/vorbisenc.h>

#include "host/audio_loaders.h"
#include "host/game.h"
#include "tests/host/audio/audio_test_util.h"

using namespace audio_test;

namespace {

struct Loaded {
  unsigned char* data = nullptr;
  int length = -1, channels = -1, format = -1, hertz = -1;
  ~Loaded() { std::free(data); }
};

std::string PathFor(const std::string& name) { return TempDir() + "/" + name; }

// Writes the bytes and loads them through the host's extension rule.
void LoadThroughHost(const std::string& name, const std::string& bytes, Loaded* out) {
  WriteFile(PathFor(name), bytes);
  out->data = Host()->LoadAudioData(String(PathFor(name).c_str()), &out->length, &out->channels,
                                    &out->format, &out->hertz);
}

unsigned char* LoadWavBytes(const std::string& bytes, Loaded* out) {
  WriteFile(PathFor("direct.wav"), bytes);
  FILE* f = std::fopen(PathFor("direct.wav").c_str(), "rb");
  out->data = LoadWAV(f, &out->length, &out->channels, &out->format, &out->hertz);
  std::fclose(f);
  return out->data;
}

std::string StereoData16(int frames) {
  std::string s;
  for (int i = 0; i < frames; ++i) {
    PutU16(s, (unsigned)(i * 7) & 0xFFFF);
    PutU16(s, (unsigned)(-i * 5) & 0xFFFF);
  }
  return s;
}

// A real Ogg Vorbis file: `frames` frames of a sine per channel.
std::string EncodeOgg(int channels, int rate, int frames, double hertz) {
  vorbis_info vi;
  vorbis_info_init(&vi);
  EXPECT_EQ(vorbis_encode_init_vbr(&vi, channels, rate, 0.4f), 0);
  vorbis_comment vc;
  vorbis_comment_init(&vc);
  vorbis_dsp_state vd;
  vorbis_block vb;
  vorbis_analysis_init(&vd, &vi);
  vorbis_block_init(&vd, &vb);
  ogg_stream_state os;
  ogg_stream_init(&os, 1234);
  std::string out;
  auto emit = [&](ogg_page& page) {
    out.append((const char*)page.header, page.header_len);
    out.append((const char*)page.body, page.body_len);
  };
  ogg_packet h0, h1, h2;
  vorbis_analysis_headerout(&vd, &vc, &h0, &h1, &h2);
  ogg_stream_packetin(&os, &h0);
  ogg_stream_packetin(&os, &h1);
  ogg_stream_packetin(&os, &h2);
  ogg_page page;
  while (ogg_stream_flush(&os, &page)) emit(page);
  const int kBlock = 1024;
  for (int done = 0; done <= frames;) {
    int n = std::min(kBlock, frames - done);
    if (n > 0) {
      float** buf = vorbis_analysis_buffer(&vd, n);
      for (int i = 0; i < n; ++i) {
        for (int c = 0; c < channels; ++c) {
          buf[c][i] = 0.5f * (float)std::sin(2 * M_PI * hertz * (done + i) / rate) * (c ? -1 : 1);
        }
      }
    }
    vorbis_analysis_wrote(&vd, n);  // 0 marks the end of the stream
    done += n > 0 ? n : 1;
    while (vorbis_analysis_blockout(&vd, &vb) == 1) {
      vorbis_analysis(&vb, nullptr);
      vorbis_bitrate_addblock(&vb);
      ogg_packet op;
      while (vorbis_bitrate_flushpacket(&vd, &op)) {
        ogg_stream_packetin(&os, &op);
        while (ogg_stream_pageout(&os, &page)) emit(page);
      }
    }
  }
  while (ogg_stream_flush(&os, &page)) emit(page);
  ogg_stream_clear(&os);
  vorbis_block_clear(&vb);
  vorbis_dsp_clear(&vd);
  vorbis_comment_clear(&vc);
  vorbis_info_clear(&vi);
  return out;
}

}  // namespace

TEST(WavLoader, StereoWithListChunkBeforeDataGivesFramesOfFourBytes) {
  std::string list = Chunk("LIST", std::string("INFOISFT\x05\0\0\0gen\0\0\0", 17));
  std::string data = StereoData16(1000);
  Loaded w;
  LoadThroughHost("list.wav", WavBytes(2, 22050, 16, list + Chunk("data", data)), &w);
  ASSERT_NE(w.data, nullptr);
  EXPECT_EQ(w.length, (int)data.size() / 4);
  EXPECT_EQ(w.channels, 2);
  EXPECT_EQ(w.format, 2);
  EXPECT_EQ(w.hertz, 22050);
  EXPECT_EQ(std::string((const char*)w.data, data.size()), data);
}

TEST(WavLoader, EighteenByteFmtChunkLoads) {
  std::string data = SineData16(441, 44100, 0.1);
  Loaded w;
  LoadThroughHost("fmt18.wav", WavBytes(1, 44100, 16, Chunk("data", data), 2), &w);
  ASSERT_NE(w.data, nullptr);
  EXPECT_EQ(w.length, 4410);
  EXPECT_EQ(w.channels, 1);
  EXPECT_EQ(std::string((const char*)w.data, data.size()), data);
}

TEST(WavLoader, OddSizedChunkAndItsPadByteAreSkipped) {
  std::string data(300, '\x80');
  Loaded w;
  LoadThroughHost("odd.wav", WavBytes(1, 8000, 8, Chunk("junk", "abc") + Chunk("data", data)), &w);
  ASSERT_NE(w.data, nullptr);
  EXPECT_EQ(w.length, 300);
  EXPECT_EQ(w.format, 1);
  EXPECT_EQ(w.hertz, 8000);
}

TEST(WavLoader, UpperCaseEndingLoadsAsWavAndOtherEndingsGiveNothing) {
  std::string bytes = WavBytes(1, 11025, 8, Chunk("data", std::string(64, '\x80')));
  Loaded upper, other, missing;
  LoadThroughHost("SOUND.WAV", bytes, &upper);
  ASSERT_NE(upper.data, nullptr);
  EXPECT_EQ(upper.length, 64);
  LoadThroughHost("sound.wav.mp3", bytes, &other);
  EXPECT_EQ(other.data, nullptr);
  missing.data = Host()->LoadAudioData(String(PathFor("absent.wav").c_str()), &missing.length,
                                       &missing.channels, &missing.format, &missing.hertz);
  EXPECT_EQ(missing.data, nullptr);
}

TEST(WavLoader, HostileHeadersGiveNoData) {
  std::string data = Chunk("data", std::string(64, '\x10'));
  struct Case {
    const char* what;
    std::string bytes;
  } cases[] = {
      {"zero channels", WavBytes(0, 8000, 16, data)},
      {"four bits", WavBytes(1, 8000, 4, data)},
      {"zero bits", WavBytes(1, 8000, 0, data)},
      {"no data chunk", WavBytes(1, 8000, 16, Chunk("LIST", "abcd"))},
      {"empty after fmt", WavBytes(1, 8000, 16, "")},
      {"not RIFF", "RIFX" + WavBytes(1, 8000, 16, data).substr(4)},
      {"not WAVE", WavBytes(1, 8000, 16, data).replace(8, 4, "AVI ")},
      {"fmt missing", WavBytes(1, 8000, 16, data).replace(12, 4, "fmx ")},
  };
  for (auto& c : cases) {
    Loaded w;
    EXPECT_EQ(LoadWavBytes(c.bytes, &w), nullptr) << c.what;
  }
  // Float samples (format tag 3) are not integer PCM.
  std::string fl = WavBytes(1, 8000, 32, data);
  fl[20] = 3;
  Loaded w;
  EXPECT_EQ(LoadWavBytes(fl, &w), nullptr);
}

TEST(WavLoader, ChunkSizesPastTheEndAreRefusedBeforeAllocating) {
  // A data chunk claiming 4 GB, a skipped chunk claiming 2 GB, a fmt chunk
  // claiming more than the file: all must fail at once, not read or allocate.
  std::string huge = "data";
  PutU32(huge, 0xFFFFFFF0u);
  huge += std::string(16, '\0');
  std::string skip = "LIST";
  PutU32(skip, 0x7FFFFFF0u);
  skip += "abcd";
  std::string fmtHuge = WavBytes(1, 8000, 16, Chunk("data", "abcd"));
  fmtHuge[16] = '\xFF';
  fmtHuge[17] = '\xFF';
  fmtHuge[18] = '\xFF';
  std::string oneShort = WavBytes(1, 8000, 16, Chunk("data", std::string(64, 'x')));
  oneShort.pop_back();
  for (const std::string& bytes :
       {WavBytes(1, 8000, 16, huge), WavBytes(1, 8000, 16, skip), fmtHuge, oneShort}) {
    Loaded w;
    EXPECT_EQ(LoadWavBytes(bytes, &w), nullptr);
  }
}

TEST(WavLoader, EveryTruncationOfAValidFileGivesNoData) {
  std::string full = WavBytes(2, 8000, 16, Chunk("LIST", "abcdef") + Chunk("data", StereoData16(8)), 2);
  for (size_t n = 0; n < full.size(); ++n) {
    Loaded w;
    EXPECT_EQ(LoadWavBytes(full.substr(0, n), &w), nullptr) << "cut at " << n;
  }
  Loaded w;
  EXPECT_NE(LoadWavBytes(full, &w), nullptr);
}

TEST(WavLoader, RandomBytesBehindAValidStartNeverOverrunTheFile) {
  std::mt19937 rng(5);
  std::string head = WavBytes(1, 8000, 16, "").substr(0, 12);
  int accepted = 0;
  for (int i = 0; i < 400; ++i) {
    std::string bytes = i % 2 ? head : std::string();
    int n = (int)(rng() % 120);
    for (int k = 0; k < n; ++k) bytes += (char)(rng() % 256);
    if (i % 3 == 0 && bytes.size() > 16) bytes.replace(12, 4, "fmt ");
    Loaded w;
    if (LoadWavBytes(bytes, &w)) {
      ++accepted;
      EXPECT_GE(w.channels, 1);
      EXPECT_GE(w.format, 1);
      EXPECT_LE((size_t)w.length * w.channels * w.format, bytes.size());
    }
  }
  EXPECT_LT(accepted, 400);
}

TEST(OggLoader, EncodedFileDecodesWithItsLengthChannelsAndRate) {
  const int frames = 22050 + 333;
  Loaded o;
  LoadThroughHost("tone.OGG", EncodeOgg(2, 22050, frames, 441), &o);
  ASSERT_NE(o.data, nullptr);
  EXPECT_EQ(o.channels, 2);
  EXPECT_EQ(o.format, 2);
  EXPECT_EQ(o.hertz, 22050);
  EXPECT_EQ(o.length, frames);
  // The decoded tone is the encoded one: 441 Hz, channels in opposite phase.
  const short* s = (const short*)o.data;
  int crossings = 0;
  double dot = 0;
  for (int i = 1; i < o.length; ++i) {
    if (s[2 * (i - 1)] < 0 && s[2 * i] >= 0) ++crossings;
    dot += (double)s[2 * i] * s[2 * i + 1];
  }
  EXPECT_NEAR(crossings * 22050.0 / o.length, 441, 5);
  EXPECT_LT(dot, 0);
}

TEST(OggLoader, MonoFileDecodes) {
  Loaded o;
  LoadThroughHost("mono.ogg", EncodeOgg(1, 44100, 4410, 882), &o);
  ASSERT_NE(o.data, nullptr);
  EXPECT_EQ(o.channels, 1);
  EXPECT_EQ(o.hertz, 44100);
  EXPECT_EQ(o.length, 4410);
}

TEST(OggLoader, GarbageAndCutFilesGiveNoDataOrAShorterSound) {
  Loaded junk;
  LoadThroughHost("junk.ogg", std::string(5000, 'z'), &junk);
  EXPECT_EQ(junk.data, nullptr);
  Loaded wavNamedOgg;
  LoadThroughHost("w.ogg", WavBytes(1, 8000, 8, Chunk("data", "abcd")), &wavNamedOgg);
  EXPECT_EQ(wavNamedOgg.data, nullptr);
  std::string full = EncodeOgg(1, 22050, 22050, 441);
  for (size_t cut : {(size_t)10, (size_t)100, full.size() / 3, full.size() - 7}) {
    Loaded o;
    LoadThroughHost("cut.ogg", full.substr(0, cut), &o);
    if (o.data) {
      EXPECT_LE(o.length, 22050);
    }
  }
  // A damaged page ends the sound there (the decoder never sees it): damage
  // late in the file leaves most of the sound, damage in the headers none.
  const std::string longer = EncodeOgg(1, 22050, 4 * 22050, 441);
  Loaded whole;
  LoadThroughHost("whole.ogg", longer, &whole);
  ASSERT_NE(whole.data, nullptr);
  for (size_t at : {(size_t)30, longer.size() - 20}) {
    std::string damaged = longer;
    damaged[at] = (char)(damaged[at] ^ 0x5a);
    Loaded o;
    LoadThroughHost("damaged.ogg", damaged, &o);
    if (at == 30) {
      EXPECT_EQ(o.data, nullptr) << "the first page is the stream's header";
    } else {
      ASSERT_NE(o.data, nullptr) << at;
      EXPECT_LT(o.length, whole.length) << at;
      EXPECT_GT(o.length, 0) << at;
    }
  }
}
