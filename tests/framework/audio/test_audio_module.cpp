// The audio module: which device calls each vx_audio_* function makes (a device
// that records its calls), file names through the data folder, and a sound
// played through the module heard in OpenAL's wave output.
#include <string>

#include <unistd.h>

#include <filesystem>
#include <gtest/gtest.h>

#include "framework/audio.h"
#include "host/game.h"
#include "tests/host/audio/audio_test_util.h"

using namespace audio_test;

namespace {

std::string g_calls;

// The real device with every forwarded call written down first.
class RecordingAudio : public gxtkAudio {
 public:
  void Log(const std::string& s) { g_calls += (g_calls.empty() ? "" : " ") + s; }
  gxtkSample* LoadSample(String path) override {
    Log("load:" + path.ToUtf8());
    return gxtkAudio::LoadSample(path);
  }
  int PlaySample(gxtkSample* s, int c, int f) override {
    Log("play" + std::to_string(c) + "," + std::to_string(f));
    return gxtkAudio::PlaySample(s, c, f);
  }
  int StopChannel(int c) override {
    Log("stop" + std::to_string(c));
    return gxtkAudio::StopChannel(c);
  }
  int SetVolume(int c, float v) override {
    Log("vol" + std::to_string(c) + "=" + std::to_string(v).substr(0, 4));
    return gxtkAudio::SetVolume(c, v);
  }
  int SetPan(int c, float v) override {
    Log("pan" + std::to_string(c) + "=" + std::to_string(v).substr(0, 4));
    return gxtkAudio::SetPan(c, v);
  }
  int SetRate(int c, float v) override {
    Log("rate" + std::to_string(c) + "=" + std::to_string(v).substr(0, 4));
    return gxtkAudio::SetRate(c, v);
  }
  int PlayMusic(String p, int f) override {
    Log("music:" + p.ToUtf8() + "," + std::to_string(f));
    return gxtkAudio::PlayMusic(p, f);
  }
  int StopMusic() override {
    Log("stopmusic");
    return gxtkAudio::StopMusic();
  }
  int PauseMusic() override {
    Log("pausemusic");
    return gxtkAudio::PauseMusic();
  }
  int ResumeMusic() override {
    Log("resumemusic");
    return gxtkAudio::ResumeMusic();
  }
};

void MarkDevice() { gc_mark_q(vx_audio_device); }

class AudioModule : public ::testing::Test {
 protected:
  void SetUp() override {
    Host();
    gc_clear_roots();
    gc_add_root(MarkDevice);
    device = new RecordingAudio();
    vx_audio_SetAudioDevice(device);
    ASSERT_NE(device->alcDevice, nullptr);
    g_calls.clear();
    std::filesystem::create_directories("data/sfx");
    WriteFile("data/sfx/tone.wav", WavBytes(1, 44100, 16, Chunk("data", SineData16(441, 44100, 1))));
  }
  void TearDown() override {
    device->Close();
    vx_audio_device = nullptr;
    gc_collect_all(nullptr);
    gc_collect_all(nullptr);
    gc_clear_roots();
  }
  RecordingAudio* device = nullptr;
};

TEST_F(AudioModule, NullSoundOrNullSampleMakesNoDeviceCall) {
  vx_audio_PlaySound(nullptr, 3, 1);
  vx_audio_PlaySound((new c_Sound())->m_new2(), 3, 1);
  vx_audio_PlaySound((new c_Sound())->m_new(nullptr), 3, 0);
  EXPECT_EQ(g_calls, "");
}

TEST_F(AudioModule, MissingFileGivesNullNotAnEmptySound) {
  EXPECT_EQ(vx_audio_LoadSound(String("sfx/absent.wav")), nullptr);
  EXPECT_EQ(g_calls, "load:zorbel://data/sfx/absent.wav");
}

TEST_F(AudioModule, LoadedSoundPlaysOnItsChannelWithTheFlags) {
  c_Sound* s = vx_audio_LoadSound(String("sfx/tone.wav"));
  ASSERT_NE(s, nullptr);
  ASSERT_NE(s->m_sample, nullptr);
  EXPECT_NE(s->m_sample->buffer, 0u);
  vx_audio_PlaySound(s, 7, 1);
  EXPECT_EQ(device->channels[7].sample, s->m_sample);
  EXPECT_EQ(device->ChannelState(7), 1);
  EXPECT_EQ(g_calls, "load:zorbel://data/sfx/tone.wav play7,1");
}

TEST_F(AudioModule, ChannelAndMusicCallsForwardUnchanged) {
  vx_audio_SetChannelVolume(4, 0.5f);
  vx_audio_SetChannelPan(4, -1.0f);
  vx_audio_SetChannelRate(4, 1.5f);
  vx_audio_StopChannel(4);
  EXPECT_EQ(vx_audio_PlayMusic(String("sfx/absent.ogg"), 1), -1);
  EXPECT_EQ(vx_audio_PlayMusic(String("sfx/tone.wav"), 1), 0);
  EXPECT_EQ(device->MusicState(), 1);
  vx_audio_PauseMusic();
  EXPECT_EQ(device->MusicState(), 2);
  vx_audio_ResumeMusic();
  vx_audio_StopMusic();
  EXPECT_EQ(device->MusicState(), 0);
  EXPECT_EQ(g_calls,
            "vol4=0.50 pan4=-1.0 rate4=1.50 stop4 "
            "music:zorbel://data/sfx/absent.ogg,1 stopmusic stop32 load:zorbel://data/sfx/absent.ogg "
            "music:zorbel://data/sfx/tone.wav,1 stopmusic stop32 load:zorbel://data/sfx/tone.wav "
            "play32,1 pausemusic resumemusic stopmusic stop32");
}

TEST_F(AudioModule, SoundPlayedThroughTheModuleIsHeardAtTheChannelRateUntilStopped) {
  c_Sound* s = vx_audio_LoadSound(String("sfx/tone.wav"));
  vx_audio_SetChannelRate(9, 2.0f);
  vx_audio_SetChannelVolume(9, 0.5f);
  vx_audio_PlaySound(s, 9, 1);
  SleepMs(600);
  vx_audio_StopChannel(9);
  SleepMs(300);
  Recording r = Finish(device);
  size_t from, to;
  LongestLoud(r, &from, &to);
  ASSERT_GT(to - from, 44100u / 4);
  EXPECT_NEAR(Frequency(r, from, to), 882, 882 * 0.02);
  EXPECT_LT(Rms(r, r.Frames() - 44100 / 10, r.Frames()), 0.001) << "the end is silent";
}

TEST(AudioModuleWithoutDevice, EveryCallIsANoOp) {
  vx_audio_device = nullptr;
  EXPECT_EQ(vx_audio_LoadSound(String("sfx/tone.wav")), nullptr);
  EXPECT_EQ(vx_audio_PlayMusic(String("sfx/tone.wav"), 0), -1);
  vx_audio_PlaySound((new c_Sound())->m_new2(), 0, 0);
  vx_audio_StopChannel(0);
  vx_audio_SetChannelVolume(0, 1);
  vx_audio_SetChannelPan(0, 1);
  vx_audio_SetChannelRate(0, 1);
  vx_audio_StopMusic();
  vx_audio_PauseMusic();
  vx_audio_ResumeMusic();
  gc_collect_all(nullptr);
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  gc_init_lists();
  UseWaveOutput();
  // The data folder is "./data": work inside the scratch folder.
  if (chdir(TempDir().c_str()) != 0) return 1;
  return RUN_ALL_TESTS();
}
