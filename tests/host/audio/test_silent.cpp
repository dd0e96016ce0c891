// A machine without sound: the only configured output driver does not exist, so
// the device fails to open. It must say so once and then take every call
// quietly: nothing crashes, nothing waits, nothing reports playing.
#include <string>

#include <gtest/gtest.h>

#include "host/game.h"
#include "host/gxtk_audio.h"
#include "tests/host/audio/audio_test_util.h"

using namespace audio_test;

namespace {

gxtkAudio* g_audio = nullptr;
void MarkAudio() { gc_mark_q(g_audio); }

TEST(SilentAudio, FailedDeviceReportsOnceAndEveryCallIsHarmless) {
  Host();
  gc_clear_roots();
  gc_add_root(MarkAudio);
  ::testing::internal::CaptureStdout();
  gc_assign(g_audio, new gxtkAudio());
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "OpenAl error: alcOpenDevice failed\n");
  EXPECT_EQ(g_audio->alcDevice, nullptr);
  EXPECT_EQ(g_audio->alcContext, nullptr);

  std::string path = TempDir() + "/tone.wav";
  WriteFile(path, WavBytes(1, 44100, 16, Chunk("data", SineData16(441, 44100, 0.2))));
  gxtkSample* s = g_audio->LoadSample(String(path.c_str()));
  ASSERT_NE(s, nullptr) << "the file is fine; only the buffer is missing";
  EXPECT_EQ(s->buffer, 0u);
  EXPECT_EQ(g_audio->LoadSample(String((TempDir() + "/absent.wav").c_str())), nullptr);

  for (int c = 0; c < gxtkAudio::kChannels; ++c) {
    g_audio->SetVolume(c, 0.5f);
    g_audio->SetPan(c, 1.0f);
    g_audio->SetRate(c, 2.0f);
    g_audio->PlaySample(s, c, c & 1);
    EXPECT_EQ(g_audio->ChannelState(c), 0) << "nothing can be playing";
    g_audio->PauseChannel(c);
    g_audio->ResumeChannel(c);
    g_audio->StopChannel(c);
    EXPECT_EQ(g_audio->channels[c].source, 0u);
  }
  g_audio->Suspend();
  g_audio->Resume();
  EXPECT_EQ(g_audio->PlayMusic(String(path.c_str()), 1), 0);
  g_audio->PauseMusic();
  g_audio->ResumeMusic();
  g_audio->SetMusicVolume(0.2f);
  EXPECT_EQ(g_audio->MusicState(), 0);
  g_audio->StopMusic();
  s->Discard();
  EXPECT_EQ(gxtk_discarded_count(), 0);
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  g_audio->Close();
  g_audio->Close();
  g_audio = nullptr;
  gc_collect_all(nullptr);
  gc_clear_roots();
}

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  gc_init_lists();
  UseMissingDriver();
  return RUN_ALL_TESTS();
}
