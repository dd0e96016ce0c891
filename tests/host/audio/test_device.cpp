// The audio device heard through OpenAL's wave output: each test opens a
// device, plays, closes it and analyses the file the output wrote. Pauses are
// generous (hundreds of milliseconds) and the checks look at runs of loud and
// quiet blocks, so scheduling jitter cannot change the outcome.
#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

#include "host/game.h"
#include "host/gxtk_audio.h"
#include "tests/host/audio/audio_test_util.h"

using namespace audio_test;

namespace {

gxtkAudio* g_audio = nullptr;
void MarkAudio() { gc_mark_q(g_audio); }

std::string WriteWav(const std::string& name, const std::string& pcm16mono) {
  std::string path = TempDir() + "/" + name;
  WriteFile(path, WavBytes(1, 44100, 16, Chunk("data", pcm16mono)));
  return path;
}

// Drops leading quiet (the output starts before the first play).
std::string Shape(const Recording& r) {
  std::string p = Pattern(r);
  size_t first = p.find('L');
  return first == std::string::npos ? std::string() : p.substr(first);
}

class AudioDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    Host();
    gc_clear_roots();
    gc_add_root(MarkAudio);
    gc_assign(g_audio, new gxtkAudio());
    ASSERT_NE(g_audio->alcDevice, nullptr) << "the wave output did not open";
    tone441 = WriteWav("tone441.wav", SineData16(441, 44100, 1.0));
    tone882 = WriteWav("tone882.wav", SineData16(882, 44100, 1.0));
  }
  void TearDown() override {
    if (g_audio) g_audio->Close();
    g_audio = nullptr;
    gc_collect_all(nullptr);
    gc_collect_all(nullptr);
    gc_clear_roots();
  }
  gxtkSample* Load(const std::string& path) { return g_audio->LoadSample(String(path.c_str())); }

  std::string tone441, tone882;
};

TEST_F(AudioDevice, LoopingToneIsHeardAtItsPitchUntilStopped) {
  gxtkSample* s = Load(tone441);
  ASSERT_NE(s, nullptr);
  ASSERT_NE(s->buffer, 0u);
  g_audio->PlaySample(s, 0, 1);
  EXPECT_EQ(g_audio->ChannelState(0), 1);
  SleepMs(1300);  // longer than the sample: it must loop
  g_audio->StopChannel(0);
  EXPECT_EQ(g_audio->ChannelState(0), 0);
  SleepMs(400);
  Recording r = Finish(g_audio);
  ASSERT_GT(r.Frames(), 44100u);
  EXPECT_EQ(Shape(r), "LQ");
  size_t from, to;
  LongestLoud(r, &from, &to);
  EXPECT_GT(to - from, (size_t)(44100 * 1.1));
  EXPECT_NEAR(Frequency(r, from, to), 441, 441 * 0.02);
  EXPECT_GT(Rms(r, from, to), 0.05);
}

TEST_F(AudioDevice, RateTwoDoublesTheMeasuredFrequency) {
  g_audio->SetRate(0, 2.0f);  // set before the play: it belongs to the channel
  g_audio->PlaySample(Load(tone441), 0, 1);
  SleepMs(600);
  Recording r = Finish(g_audio);
  size_t from, to;
  LongestLoud(r, &from, &to);
  ASSERT_GT(to - from, 44100u / 4);
  EXPECT_NEAR(Frequency(r, from, to), 882, 882 * 0.02);
}

TEST_F(AudioDevice, VolumeZeroIsSilenceAndPersistsAcrossPlays) {
  g_audio->SetVolume(2, 0.0f);
  g_audio->PlaySample(Load(tone441), 2, 1);
  SleepMs(300);
  g_audio->PlaySample(Load(tone882), 2, 1);
  SleepMs(300);
  Recording r = Finish(g_audio);
  ASSERT_GT(r.Frames(), 44100u / 4);
  EXPECT_LT(Rms(r, 0, r.Frames()), 0.001);
}

TEST_F(AudioDevice, PanAnglesMoveTheEnergyToOppositeSides) {
  double ratio[2];
  for (int side = 0; side < 2; ++side) {
    if (side) {
      gc_assign(g_audio, new gxtkAudio());
      ASSERT_NE(g_audio->alcDevice, nullptr);
    }
    g_audio->SetPan(5, side ? 1.5f : -1.5f);
    g_audio->PlaySample(Load(tone441), 5, 1);
    SleepMs(500);
    Recording r = Finish(g_audio);
    size_t from, to;
    LongestLoud(r, &from, &to);
    ASSERT_GT(to - from, 44100u / 4);
    ratio[side] = Rms(r, from, to, 0) / std::max(Rms(r, from, to, 1), 1e-6);
  }
  EXPECT_GT(ratio[0], 3.0) << "pan -1.5 should sound on the left";
  EXPECT_LT(ratio[1], 1 / 3.0) << "pan +1.5 should sound on the right";
}

TEST_F(AudioDevice, PauseLeavesAGapAndResumeContinues) {
  g_audio->PlaySample(Load(tone441), 1, 1);
  SleepMs(400);
  g_audio->PauseChannel(1);
  EXPECT_EQ(g_audio->ChannelState(1), 2);
  SleepMs(500);
  g_audio->ResumeChannel(1);
  EXPECT_EQ(g_audio->ChannelState(1), 1);
  SleepMs(400);
  g_audio->StopChannel(1);
  SleepMs(300);
  Recording r = Finish(g_audio);
  EXPECT_EQ(Shape(r), "LQLQ");
}

TEST_F(AudioDevice, SuspendAndResumeLeaveAnApplicationPausedChannelPaused) {
  g_audio->PlaySample(Load(tone441), 0, 1);
  g_audio->PlaySample(Load(tone882), 1, 1);
  g_audio->PauseChannel(1);
  auto alState = [](int c) {
    ALint v = 0;
    alGetSourcei(g_audio->channels[c].source, AL_SOURCE_STATE, &v);
    return v;
  };
  g_audio->Suspend();
  EXPECT_EQ(alState(0), AL_PAUSED);
  EXPECT_EQ(g_audio->channels[0].state, 1);
  EXPECT_EQ(g_audio->ChannelState(1), 2);
  g_audio->Resume();
  EXPECT_EQ(alState(0), AL_PLAYING);
  EXPECT_EQ(alState(1), AL_PAUSED);
  EXPECT_EQ(g_audio->ChannelState(0), 1);
  EXPECT_EQ(g_audio->ChannelState(1), 2);
}

TEST_F(AudioDevice, FinishedOneShotReportsStopped) {
  g_audio->PlaySample(Load(WriteWav("blip.wav", SineData16(441, 44100, 0.05))), 3, 0);
  EXPECT_EQ(g_audio->ChannelState(3), 1);
  SleepMs(400);
  EXPECT_EQ(g_audio->ChannelState(3), 0);
  // Pausing a channel that already finished leaves it stopped.
  g_audio->PlaySample(g_audio->channels[3].sample, 3, 0);
  SleepMs(400);
  g_audio->PauseChannel(3);
  EXPECT_EQ(g_audio->ChannelState(3), 0);
}

TEST_F(AudioDevice, PlayingOnABusyChannelRestartsItWithTheNewSample) {
  gxtkSample* low = Load(tone441);
  gxtkSample* high = Load(tone882);
  g_audio->PlaySample(low, 4, 1);
  SleepMs(800);
  g_audio->PlaySample(high, 4, 1);
  EXPECT_EQ(g_audio->channels[4].sample, high);
  SleepMs(800);
  Recording r = Finish(g_audio);
  size_t from, to;
  LongestLoud(r, &from, &to);
  size_t q = (to - from) / 8;
  ASSERT_GT(q, 44100u / 20);
  EXPECT_NEAR(Frequency(r, from + q, from + 3 * q), 441, 441 * 0.03);
  EXPECT_NEAR(Frequency(r, to - 3 * q, to - q), 882, 882 * 0.03);
}

TEST_F(AudioDevice, DiscardedPlayingBufferWaitsForTheChannelToStopAndALaterFlush) {
  gxtkSample* playing = Load(tone441);
  ALuint buffer = playing->buffer;
  g_audio->PlaySample(playing, 0, 1);
  playing->Discard();
  EXPECT_EQ(playing->buffer, 0u);
  EXPECT_EQ(gxtk_discarded_count(), 1);
  gxtkSample* other = Load(tone882);  // a load flushes, but the buffer is busy
  EXPECT_EQ(gxtk_discarded_count(), 1);
  EXPECT_TRUE(alIsBuffer(buffer));
  SleepMs(200);
  g_audio->StopChannel(0);
  EXPECT_EQ(gxtk_discarded_count(), 1) << "stopping alone does not delete";
  g_audio->PlaySample(other, 1, 0);  // the next play flushes
  EXPECT_EQ(gxtk_discarded_count(), 0);
  EXPECT_FALSE(alIsBuffer(buffer));
  EXPECT_TRUE(alIsBuffer(other->buffer));
}

TEST_F(AudioDevice, CollectorKeepsAPlayingSampleThatNothingElseHolds) {
  g_audio->PlaySample(Load(tone441), 0, 1);
  Load(tone882);  // held by nothing, never played
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_EQ(gxtk_discarded_count(), 1) << "only the unplayed sample is collected";
  ASSERT_NE(g_audio->channels[0].sample, nullptr);
  EXPECT_NE(g_audio->channels[0].sample->buffer, 0u);
  g_audio->StopChannel(0);
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_EQ(gxtk_discarded_count(), 2) << "a stopped sample is no longer kept";
}

TEST_F(AudioDevice, MusicPlaysWholeFilesOnTheMusicChannel) {
  EXPECT_EQ(g_audio->PlayMusic(String((TempDir() + "/absent.ogg").c_str()), 1), -1);
  EXPECT_EQ(g_audio->PlayMusic(String(tone441.c_str()), 1), 0);
  EXPECT_EQ(g_audio->MusicState(), 1);
  EXPECT_NE(g_audio->channels[32].sample, nullptr);
  SleepMs(400);
  g_audio->PauseMusic();
  EXPECT_EQ(g_audio->MusicState(), 2);
  SleepMs(400);
  g_audio->ResumeMusic();
  g_audio->SetMusicVolume(0.0f);
  SleepMs(400);
  g_audio->StopMusic();
  EXPECT_EQ(g_audio->MusicState(), 0);
  Recording r = Finish(g_audio);
  EXPECT_EQ(Shape(r), "LQ");
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  gc_init_lists();
  UseWaveOutput();
  return RUN_ALL_TESTS();
}
