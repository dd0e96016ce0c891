// The audio module: sounds loaded from the data folder, played on the device's
// numbered channels, and one music file on the music channel. Everything
// forwards to the audio device in vx_audio_device (set when the game starts).
//
// Left out: channel bookkeeping of its own (the device keeps it) and error
// messages (a sound that cannot be loaded is simply null).
#pragma once

#include "host/audio/gxtk_audio.h"
#include "runtime/runtime.h"

class c_Sound : public Object {
 public:
  gxtkSample* m_sample = nullptr;

  c_Sound() {}
  c_Sound* m_new(gxtkSample* sample);
  c_Sound* m_new2();
  void mark() override;
};

extern gxtkAudio* vx_audio_device;

int vx_audio_SetAudioDevice(gxtkAudio* dev);
c_Sound* vx_audio_LoadSound(String path);
int vx_audio_PlaySound(c_Sound* sound, int channel, int flags);
int vx_audio_StopChannel(int channel);
int vx_audio_SetChannelVolume(int channel, float volume);
int vx_audio_SetChannelPan(int channel, float pan);
int vx_audio_SetChannelRate(int channel, float rate);
int vx_audio_PlayMusic(String path, int flags);
int vx_audio_StopMusic();
int vx_audio_PauseMusic();
int vx_audio_ResumeMusic();
