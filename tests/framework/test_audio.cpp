// The audio module: which device call each vx_audio_* function makes, with file
// names through the data folder, on a recording device; and none before there is one.
#include <gtest/gtest.h>

#include "framework/audio.h"
#include "tests/support/devices.h"

namespace {

TEST(AudioModule, CallsReachTheDeviceWithDataPathsAndWithoutOneNothingHappens) {
  vx_audio_device = nullptr;
  EXPECT_EQ(vx_audio_LoadSound(String("sfx/tone.wav")), nullptr);
  EXPECT_EQ(vx_audio_PlayMusic(String("sfx/tone.wav"), 0), -1);
  vx_audio_PlaySound((new c_Sound())->m_new(new gxtkSample()), 0, 0);  // and nothing crashes
  auto* dev = new test_support::RecordingAudio();
  dev->files = {"zorbel://data/sfx/tone.wav"};
  vx_audio_SetAudioDevice(dev);
  EXPECT_EQ(vx_audio_LoadSound(String("sfx/absent.wav")), nullptr)
      << "no empty sound for a missing file";
  c_Sound* s = vx_audio_LoadSound(String("sfx/tone.wav"));
  vx_audio_PlaySound(s, 7, 1);
  vx_audio_PlaySound(nullptr, 3, 1);
  vx_audio_PlaySound((new c_Sound())->m_new2(), 3, 1);
  vx_audio_SetChannelVolume(4, 0.5f);
  vx_audio_SetChannelPan(4, -1.0f);
  vx_audio_SetChannelRate(4, 1.5f);
  vx_audio_StopChannel(4);
  EXPECT_EQ(vx_audio_PlayMusic(String("sfx/absent.ogg"), 1), -1);
  EXPECT_EQ(vx_audio_PlayMusic(String("sfx/tone.wav"), 0), 0);
  vx_audio_PauseMusic();
  vx_audio_ResumeMusic();
  vx_audio_StopMusic();
  EXPECT_EQ(dev->Calls(),
            "load:zorbel://data/sfx/absent.wav load:zorbel://data/sfx/tone.wav play7:tone.wav,1 "
            "vol4=0.5 pan4=-1 rate4=1.5 stop4 music:zorbel://data/sfx/absent.ogg,1 "
            "music:zorbel://data/sfx/tone.wav,0 pausemusic resumemusic stopmusic");
  vx_audio_device = nullptr;
}

}  // namespace
