// The audio module: c_Sound and the vx_audio_* functions, thin forwards to the
// audio device with file names made absolute by the data-path rule.
//
// Before the game has started there is no device; every call is then a no-op
// (LoadSound gives null, PlayMusic -1) rather than a crash.
// Left out: anything the device does not do itself.
#include "framework/audio.h"

#include "host/services/data.h"

gxtkAudio* vx_audio_device = nullptr;

c_Sound* c_Sound::m_new(gxtkSample* sample) {
  gc_assign(m_sample, sample);
  return this;
}

c_Sound* c_Sound::m_new2() { return this; }

void c_Sound::mark() {
  Object::mark();
  gc_mark_q(m_sample);
}

int vx_audio_SetAudioDevice(gxtkAudio* dev) {
  gc_assign(vx_audio_device, dev);
  return 0;
}

c_Sound* vx_audio_LoadSound(String path) {
  if (!vx_audio_device) return nullptr;
  gxtkSample* sample = vx_audio_device->LoadSample(vx_data_FixDataPath(path));
  if (!sample) return nullptr;
  return (new c_Sound())->m_new(sample);
}

int vx_audio_PlaySound(c_Sound* sound, int channel, int flags) {
  if (vx_audio_device && sound && sound->m_sample) {
    vx_audio_device->PlaySample(sound->m_sample, channel, flags);
  }
  return 0;
}

int vx_audio_StopChannel(int channel) {
  if (vx_audio_device) vx_audio_device->StopChannel(channel);
  return 0;
}

int vx_audio_SetChannelVolume(int channel, float volume) {
  if (vx_audio_device) vx_audio_device->SetVolume(channel, volume);
  return 0;
}

int vx_audio_SetChannelPan(int channel, float pan) {
  if (vx_audio_device) vx_audio_device->SetPan(channel, pan);
  return 0;
}

int vx_audio_SetChannelRate(int channel, float rate) {
  if (vx_audio_device) vx_audio_device->SetRate(channel, rate);
  return 0;
}

int vx_audio_PlayMusic(String path, int flags) {
  if (!vx_audio_device) return -1;
  return vx_audio_device->PlayMusic(vx_data_FixDataPath(path), flags);
}

int vx_audio_StopMusic() {
  if (vx_audio_device) vx_audio_device->StopMusic();
  return 0;
}

int vx_audio_PauseMusic() {
  if (vx_audio_device) vx_audio_device->PauseMusic();
  return 0;
}

int vx_audio_ResumeMusic() {
  if (vx_audio_device) vx_audio_device->ResumeMusic();
  return 0;
}
