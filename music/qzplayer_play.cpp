// Playback: the per-update driver, the row sequencer with its bars, chords and
// re-seeded sections, and the voice engine (drum hits, pitched notes, the
// volume envelope and pitch slides).
#include <algorithm>
#include "framework/app.h"
#include "framework/random.h"

#include "host/audio/gxtk_audio.h"
#include "music/qzplayer.h"

namespace {

// Semitone ratios, step 1 ('z') to 32 (']'); step 13 ('q') is unshifted.
// Fixed constants rather than computed powers of two.
const float kPitch[33] = {
    0.0f,   0.5f,   0.5295f, 0.561f, 0.5945f, 0.63f,  0.6675f, 0.707f, 0.749f, 0.7935f, 0.841f,
    0.891f, 0.944f, 1.0f,    1.059f, 1.122f,  1.189f, 1.26f,   1.335f, 1.414f, 1.498f,  1.587f,
    1.682f, 1.782f, 1.888f,  2.0f,   2.118f,  2.244f, 2.378f,  2.52f,  2.67f,  2.828f,  2.996f};
const char kPitchLetters[] = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";

// Drum notes 13, 15, 17, 18, 20, 22, 24, 25 pick sounds 1 to 8 of a kit.
int DrumSound(int note) {
  switch (note) {
    case 13:
      return 1;
    case 15:
      return 2;
    case 17:
      return 3;
    case 18:
      return 4;
    case 20:
      return 5;
    case 22:
      return 6;
    case 24:
      return 7;
    case 25:
      return 8;
    default:
      return 0;
  }
}

}  // namespace

int c_QZPlayer::p_Rand(float low, float high) { return vx_random_RandInt(low, high); }

float c_QZPlayer::p_GetPitch(int step) { return step >= 1 && step <= 32 ? kPitch[step] : 0.0f; }

float c_QZPlayer::p_GetPitch_Alpha(int code) {
  for (int i = 0; i < 32; ++i) {
    if (kPitchLetters[i] == code) return kPitch[i + 1];
  }
  return 0.0f;
}

String c_QZPlayer::p_QZ_GetChord(int index) {
  switch (index) {
    case 0:
      return String("qqqq");
    case 2:
      return String("qqbb");
    case 3:
      return String("qbqb");
    case 4:
      return String("qqqj");
    case 5:
      return String("qqzz");
    default:
      return String("qqjj");
  }
}

void c_QZPlayer::Silence() {
  for (int v = 0; v < m_voices; ++v) {
    if (m_channel[v] >= 1 && m_sounding[v] == 1) {
      vx_audio_device->StopChannel(m_channel[v]);
      m_sounding[v] = 0;
    }
  }
}

int c_QZPlayer::p_QZ_Stop(int all) {
  Silence();
  if (all == 1) m_state = 0;
  return 0;
}

int c_QZPlayer::p_QZ_Alive_U(int paused, int musicOn) {
  if (m_state == 0) Silence();
  if (m_state == 2 && paused == 0 && m_loadStage == 0) {
    if (musicOn == 1) p_QZ_MusicPlay();
  } else if (paused == 1) {
    m_nextStep = vx_app_Millisecs() + 150;  // resume 150 ms after the pause ends
  }
  if (m_state == 2 && (paused == 1 || musicOn == 0)) Silence();
  return 0;
}

int c_QZPlayer::p_QZ_MusicPlay() {
  const long long now = vx_app_Millisecs();
  // A due time implausibly far ahead (a clock that went back) counts as due.
  if (m_nextStep >= now && m_nextStep <= now + 123456) return 0;

  for (int v = 0; v < m_voices; ++v) {
    int i = (m_pattern[v] * 512 + v * 64 + m_step) * 8;
    if (m_tune[i + 2] == 27) {
      const int a = m_tune[i + 3];
      int pattern = m_pattern[v];
      if (a == 1 && m_sectionBars % 2 != 0) ++pattern;
      if (a == 2 && m_sectionBars % 2 == 0) --pattern;
      // The tune holds patterns 0 to 63; a switch never leaves them.
      if (pattern < 0) pattern = 0;
      if (pattern > 63) pattern = 63;
      if (pattern != m_pattern[v]) {
        m_pattern[v] = pattern;
        i = (pattern * 512 + v * 64 + m_step) * 8;
      }
    }
    p_QZ_PlayNote(v, m_tune[i], m_tune[i + 1], m_tune[i + 2], m_tune[i + 3]);
    if (m_tune[i + 2] == 8) m_step = 63;  // the voices after this one read row 63 too
  }

  // A fixed grid from the previous due time, not from now.
  m_nextStep = (int)((double)m_nextStep + 8000.0 / (double)m_tempo);
  m_step = (m_step + 1) % 64;
  if (m_step != 0) return 0;

  // A new bar: the next chord letter, and every few bars a new section.
  SeedAndAdvance(m_section * 9 + m_tuneSeed, 16);
  if (m_chord.Length() == 1) {
    m_chord = p_QZ_GetChord(p_Rand(0, 4));
  } else if (m_chord.Length() > 1) {
    m_chord = m_chord.Slice(1);
  }
  if (--m_sectionBars >= 1) return 0;

  SeedAndAdvance(m_section * 9 + m_tuneSeed, 11);
  m_sectionBars = p_Rand(1, 2) * 2;
  ++m_section;
  for (int v = 0; v < m_voices; ++v) {
    SeedAndAdvance(v * 7 + m_section * 9 + m_tuneSeed, 11);
    m_pattern[v] = p_Rand(0, (float)m_patternCount[v]);
    m_mute[v] = m_nextMute[v];
    m_nextMute[v] = p_Rand(0, 1);
    m_fill[v] = p_Rand(0, 1);
  }
  if (m_mute[0] == 1 && m_mute[1] == 1) m_mute[0] = 0;
  return 0;
}

int c_QZPlayer::p_QZ_PlayNote(int v, int note, int volume, int effect, int argument) {
  int mute = m_mute[v];
  // In the last 8 rows of a section a voice that plays in the next one may
  // come in early.
  if (m_sectionBars <= 1 && m_step > 55 && m_fill[v] == 1 && m_nextMute[v] == 0) mute = 0;

  m_chordPitch = 1.0f;
  if (!m_chord.IsEmpty()) m_chordPitch = p_GetPitch_Alpha(m_chord[0]);
  for (int u = 0; u < m_voices; ++u) m_channel[u] = m_baseChannel - 1 - u;
  const int channel = m_channel[v];
  gxtkAudio* audio = vx_audio_device;

  if ((v == 0 || v == 1) && note > 0 && mute == 0 && channel >= 1) {
    const Array<c_Sound*>& kit = v == 0 ? m_drumsA : m_drumsB;
    const float pan = v == 0 ? -0.35f : 0.35f;
    audio->StopChannel(channel);
    const int k = DrumSound(note);
    if (k != 0 && kit[k]) {
      m_sounding[v] = 1;
      if (kit[k]->m_sample) audio->PlaySample(kit[k]->m_sample, channel, 0);
      audio->SetPan(channel, pan);
    }
    m_rate[v] = 1.0f;
    m_env[v] = 4.0f;
  }

  float level = (float)(volume - 1) / 29.0f;
  if (level > 1.0f) {  // 31 means silence
    level = 0.0f;
    m_env[v] = 0.0f;
  }
  if (level < 0.0f) level = 0.0f;
  if (volume >= 1 && channel >= 1 && mute == 0) {
    m_env[v] = 1.5f;
    audio->SetVolume(channel, level * m_masterVolume);
    m_vol[v] = level;
  } else {
    level = m_vol[v];
  }

  // The envelope holds for four rows, then fades the volume row by row.
  m_env[v] = m_env[v] - 0.1f;
  if (m_env[v] < 0.0f) m_env[v] = 0.0f;
  if (m_env[v] < 1.0f) {
    level = level * m_env[v];
    if (channel >= 1) {
      audio->SetVolume(channel, level * m_masterVolume);
      m_vol[v] = level;
    }
  }

  if (v >= 2 && v <= 4 && note > 0 && mute == 0 && channel >= 1) {
    audio->StopChannel(channel);
    m_rate[v] = p_GetPitch(note) * m_chordPitch;
    m_env[v] = 1.5f;
    audio->SetRate(channel, m_rate[v]);
    if (m_inst[v]) {
      m_sounding[v] = 1;
      if (m_inst[v]->m_sample) audio->PlaySample(m_inst[v]->m_sample, channel, m_loopFlag);
    }
  }

  if (mute == 1 || channel < 1) return 0;
  float rate = m_rate[v];
  switch (effect) {
    case 1:
      rate = std::min(rate + (float)argument / 180.0f, 4.0f);
      break;
    case 2:
      rate = std::max(rate - (float)argument / 180.0f, 0.25f);
      break;
    case 3:
      rate = std::min(rate + (float)argument / 15.0f, 4.0f);
      break;
    case 4:
      rate = std::max(rate - (float)argument / 15.0f, 0.25f);
      break;
    default:
      return 0;
  }
  m_rate[v] = rate;
  audio->SetRate(channel, rate);
  return 0;
}
