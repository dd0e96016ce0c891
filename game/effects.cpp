// Sound effects on a small rotating set of audio channels: each effect takes
// the next of 24 slots, so a new effect cuts off only the one played 24
// effects earlier. The sound option decides whether effects play at all.
//
// Left out: music (music/glue.cpp) and any queueing; an effect whose sample
// is missing still takes its slot and only stops and sets up the channel.
#include "framework/audio.h"
#include "game/myapp.h"

namespace {

constexpr int kEffectSlots = 24;

}  // namespace

void c_MyApp::p_PlaySFX(int number, float rate, float volume, float pan) {
  // Off and music only stay silent.
  if (m_opt[kOptSound] != kSoundAll && m_opt[kOptSound] != kSoundEffects) return;
  int slot = (m_sfxNext + 1) % kEffectSlots;
  if (slot < 0) slot = 0;
  m_sfxNext = slot;
  const int channel = m_sfxChannels[slot];
  gxtkAudio* audio = vx_audio_device;
  if (!audio) return;  // no device yet: nothing can sound
  audio->StopChannel(channel);
  c_Sound* sound = (number >= 0 && number < kSoundSlots) ? m_sfx[number] : nullptr;
  if (sound && sound->m_sample) audio->PlaySample(sound->m_sample, channel, 0);
  audio->SetRate(channel, rate);
  audio->SetVolume(channel, volume);
  audio->SetPan(channel, pan);
}
