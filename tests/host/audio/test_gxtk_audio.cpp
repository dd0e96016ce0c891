// The audio device on OpenAL Soft's wave output: what is heard (loops, pitch,
// pan side, volume), suspension, music, buffers deleted only when free and the
// collector keeping what plays. The game without a device is the end-to-end
// tests' (they run it with no sound at all).
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "host/audio/gxtk_audio.h"
#include "tests/host/audio/audio_util.h"
#include "tests/support/openal.h"

using namespace audio_test;

namespace {

gxtkAudio* g_audio = nullptr;
void MarkAudio() { gc_mark_q(g_audio); }
void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

ALint Al(int channel, ALenum what) {
  ALint v = 0;
  alGetSourcei(g_audio->channels[channel].source, what, &v);
  return v;
}

std::string ToneFile(double hertz, double seconds) {
  const std::string path =
      Path(std::to_string((int)hertz) + "-" + std::to_string((int)(seconds * 1000)) + ".wav");
  test_files::WriteFile(path, WavBytes(1, 44100, 16, Chunk("data", Sine16(hertz, seconds))));
  return path;
}

// Root-mean-square level of one side (0 left, 1 right) over frames [from, to).
double Rms(const openal_test::Wav& w, size_t from, size_t to, int side) {
  double sum = 0;
  for (size_t i = from; i < to; ++i) sum += w.At(i, side) * w.At(i, side);
  return to > from ? std::sqrt(sum / (double)(to - from)) : 0;
}

// The loud runs, in 10 ms blocks; quiet gaps shorter than 80 ms (a mixer
// period at a switch) do not split a run.
std::vector<std::pair<size_t, size_t>> LoudRuns(const openal_test::Wav& w) {
  std::vector<std::pair<size_t, size_t>> runs;
  const size_t block = 441;
  for (size_t at = 0; at + block <= w.Frames(); at += block) {
    if (Rms(w, at, at + block, 0) + Rms(w, at, at + block, 1) < 0.02) continue;
    if (!runs.empty() && at - runs.back().second < 8 * block) runs.back().second = at + block;
    else runs.push_back({at, at + block});
  }
  return runs;
}

// Rising zero crossings per second of left plus right inside a run (its edges
// hold the switch itself), with a little hysteresis against dither.
double Frequency(const openal_test::Wav& w, std::pair<size_t, size_t> run) {
  const size_t from = run.first + 2205, to = run.second - 2205;
  int crossings = 0;
  bool below = false;
  for (size_t i = from; i < to; ++i) {
    const float v = w.At(i, 0) + w.At(i, 1);
    if (v < -0.01f) below = true;
    if (v > 0.01f && below) below = false, ++crossings;
  }
  return to > from ? crossings * 44100.0 / (double)(to - from) : 0;
}

class AudioDevice : public ::testing::Test {
 protected:
  void SetUp() override {
    Host();
    gc_clear_roots();
    gc_add_root(MarkAudio);
    gc_assign(g_audio, new gxtkAudio());
  }
  void TearDown() override {
    g_audio->Close();
    g_audio = nullptr;
    gc_collect_all(nullptr);
    gc_collect_all(nullptr);
    gc_clear_roots();
  }
  gxtkSample* Tone(double hertz, double seconds) {
    return g_audio->LoadSample(String(ToneFile(hertz, seconds).c_str()));
  }
};

TEST_F(AudioDevice, TonesAreHeardLoopingAtTheirPitchOnTheirSideUntilSilenced) {
  ASSERT_NE(g_audio->alcDevice, nullptr) << "the wave output did not open";
  gxtkSample* tone = Tone(450, 0.2);  // 90 whole periods
  g_audio->SetPan(0, -1.5f);
  g_audio->PlaySample(tone, 0, 1);
  SleepMs(600);  // three times the sample: it loops
  g_audio->SetVolume(0, 0);
  SleepMs(400);
  EXPECT_EQ(g_audio->ChannelState(0), 1) << "silent, still playing";
  g_audio->SetRate(1, 2);  // set before the play: they belong to the channel
  g_audio->SetPan(1, 1.5f);
  g_audio->PlaySample(tone, 1, 1);
  SleepMs(600);
  g_audio->StopChannel(1);
  EXPECT_EQ(g_audio->ChannelState(1), 0);
  SleepMs(300);
  g_audio->Close();  // the output finishes its file
  const openal_test::Wav w = openal_test::ReadWav(Path("out.wav"));
  ASSERT_EQ(w.problem + std::to_string(w.channels) + std::to_string(w.rate), "244100");
  const auto runs = LoudRuns(w);
  ASSERT_EQ(runs.size(), 2u) << "left tone, silence, right tone";
  for (int r = 0; r < 2; ++r) {
    EXPECT_GT(runs[r].second - runs[r].first, 44100u * 45 / 100) << r;
    EXPECT_NEAR(Frequency(w, runs[r]), 450 * (r + 1), 9 * (r + 1)) << r;
    const double left = Rms(w, runs[r].first, runs[r].second, 0),
                 right = Rms(w, runs[r].first, runs[r].second, 1);
    EXPECT_GT(r ? right / left : left / right, 3.0)
        << (r ? "pan +1.5 sounds on the right" : "pan -1.5 on the left");
  }
}

TEST_F(AudioDevice, SuspensionPausesWhatPlaysMusicLoopsAndABusyChannelRestarts) {
  gxtkSample* high = Tone(900, 1.0);
  g_audio->PlaySample(Tone(450, 1.0), 0, 1);
  g_audio->PlaySample(high, 1, 1);
  g_audio->PauseChannel(1);
  g_audio->Suspend();
  EXPECT_EQ(std::vector<int>(
                {Al(0, AL_SOURCE_STATE), g_audio->ChannelState(0), g_audio->ChannelState(1)}),
            std::vector<int>({AL_PAUSED, 1, 2}))
      << "suspended, not paused by the game";
  g_audio->Resume();
  EXPECT_EQ(std::vector<int>({Al(0, AL_SOURCE_STATE), Al(1, AL_SOURCE_STATE)}),
            std::vector<int>({AL_PLAYING, AL_PAUSED}))
      << "the game's pause outlasts a resume";
  g_audio->PlaySample(high, 0, 1);
  EXPECT_EQ((ALuint)Al(0, AL_BUFFER), high->buffer)
      << "a busy channel restarts with the new sample";

  EXPECT_EQ(g_audio->PlayMusic(String(Path("absent.ogg").c_str()), 1), -1);
  EXPECT_EQ(g_audio->PlayMusic(String(ToneFile(450, 1.0).c_str()), 1), 0);
  g_audio->PauseMusic();
  EXPECT_EQ(g_audio->MusicState() * 10 + (Al(gxtkAudio::kMusicChannel, AL_LOOPING) == AL_TRUE), 21);
  g_audio->ResumeMusic();
  EXPECT_EQ(g_audio->MusicState(), 1);
  g_audio->StopMusic();
  EXPECT_EQ(g_audio->MusicState(), 0);
}

TEST_F(AudioDevice, ABufferGoesOnceNoSourceHoldsItAndTheCollectorKeepsWhatPlays) {
  gxtkSample* playing = Tone(450, 1.0);
  const ALuint buffer = playing->buffer;
  g_audio->PlaySample(playing, 0, 1);
  playing->Discard();
  gxtkSample* next = Tone(900, 1.0);  // a load flushes, but the buffer is busy
  EXPECT_TRUE(gxtk_discarded_count() == 1 && alIsBuffer(buffer));
  g_audio->StopChannel(0);
  g_audio->PlaySample(next, 1, 1);  // the next play flushes; only the channel holds this sample
  EXPECT_TRUE(gxtk_discarded_count() == 0 && !alIsBuffer(buffer));
  Tone(900, 1.0);  // held by nothing, never played
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_EQ(gxtk_discarded_count(), 1) << "only the unplayed sample is collected";
  g_audio->StopChannel(1);
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_EQ(gxtk_discarded_count(), 2) << "a stopped sample is no longer kept";
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  gc_init_lists();
  openal_test::UseConfig(openal_test::WaveConfig(Dir() / "alsoft.conf", Dir() / "out.wav"));
  return RUN_ALL_TESTS();
}
