// The player's record, its set-up, starting a tune and the staged loading of
// the tune image and the instrument samples.
#include "framework/app.h"
#include "framework/random.h"
#include "music/qzplayer.h"

c_QZPlayer* c_QZPlayer::m_new() {
  gc_assign(m_ranges, Array<int>(8));
  gc_assign(m_choice, Array<int>(8));
  gc_assign(m_drumsA, Array<c_Sound*>(9));
  gc_assign(m_drumsB, Array<c_Sound*>(9));
  gc_assign(m_inst, Array<c_Sound*>(8));
  gc_assign(m_tune, Array<int>(64 * 4096 + 1));
  gc_assign(m_patternCount, Array<int>(8));
  gc_assign(m_channel, Array<int>(8));
  gc_assign(m_sounding, Array<int>(8));
  gc_assign(m_pattern, Array<int>(8));
  gc_assign(m_mute, Array<int>(8));
  gc_assign(m_fill, Array<int>(8));
  gc_assign(m_nextMute, Array<int>(8));
  gc_assign(m_rate, Array<float>(8));
  gc_assign(m_env, Array<float>(8));
  gc_assign(m_vol, Array<float>(8));
  return this;
}

void c_QZPlayer::mark() {
  Object::mark();
  gc_mark_q(m_ranges);
  gc_mark_q(m_choice);
  gc_mark_q(m_drumsA);
  gc_mark_q(m_drumsB);
  gc_mark_q(m_inst);
  gc_mark_q(m_tuneImage);
  gc_mark_q(m_tune);
  gc_mark_q(m_patternCount);
  gc_mark_q(m_channel);
  gc_mark_q(m_sounding);
  gc_mark_q(m_pattern);
  gc_mark_q(m_mute);
  gc_mark_q(m_fill);
  gc_mark_q(m_nextMute);
  gc_mark_q(m_rate);
  gc_mark_q(m_env);
  gc_mark_q(m_vol);
}

int c_QZPlayer::p_QZ_Init(int baseChannel, int drumKits, int leads, int accompaniments,
                          int basses) {
  m_baseChannel = baseChannel;
  m_ranges[1] = drumKits;
  m_ranges[2] = leads;
  m_ranges[3] = accompaniments;
  m_ranges[4] = basses;
  return 0;
}

void c_QZPlayer::SeedAndAdvance(int seed, int draws) {
  vx_random_Seed = seed;
  for (int i = 0; i < draws; ++i) vx_random_Rnd();
}

int c_QZPlayer::p_QZ_StartTune(String name, int seed, int tempo) {
  const String path = String("tunes/") + name + String(".png");
  m_section = 0;
  m_tuneSeed = seed;
  m_nextStep = vx_app_Millisecs() + 100;
  m_step = 0;
  m_state = 2;
  m_tempo = tempo;
  // The same tune again keeps its image, patterns and samples.
  if (path != m_tunePath) {
    m_loadStage = 1;
    m_tunePath = path;
    for (int v = 0; v < m_voices; ++v) {
      m_patternCount[v] = 0;
      m_pattern[v] = 0;
    }
  }
  for (int v = 0; v < m_voices; ++v) m_channel[v] = m_baseChannel - v;

  SeedAndAdvance(m_tuneSeed + m_section, 11);
  m_choice[1] = p_Rand(1, (float)m_ranges[1]);
  m_choice[2] = p_Rand(1, (float)m_ranges[1]);
  m_choice[3] = p_Rand(1, (float)m_ranges[2]);
  m_choice[4] = p_Rand(1, (float)m_ranges[3]);
  m_choice[5] = p_Rand(1, (float)m_ranges[4]);

  for (int v = 0; v < m_voices; ++v) {
    SeedAndAdvance(m_section * 9 + m_tuneSeed + v * 7, 11);
    m_pattern[v] = p_Rand(0, (float)m_patternCount[v]);
    m_nextMute[v] = p_Rand(0, 1);
    m_fill[v] = p_Rand(0, 1);
    m_mute[v] = p_Rand(0, 1);
  }
  if (m_mute[0] == 1 && m_mute[1] == 1) m_mute[0] = 0;  // never both drum kits silent
  m_sectionBars = p_Rand(1, 2) * 2;
  m_chord = String("qqjj");
  return 0;
}

namespace {

String DrumPath(int kit, int sound) {
  return String("inst/d") + String(kit) + String("-") + String(sound) + String(".wav");
}

}  // namespace

int c_QZPlayer::p_QZ_LoadChunk() {
  const int s = m_loadStage;
  if (s == 1) {
    gc_assign(m_tuneImage, vx_graphics_LoadImage2(m_tunePath, 64, 64, 64, 1));
  } else if (s >= 2 && s <= 9) {
    gc_assign(m_drumsA[s - 1], vx_audio_LoadSound(DrumPath(m_choice[1], s - 1)));
  } else if (s >= 12 && s <= 19) {
    gc_assign(m_drumsB[s - 11], vx_audio_LoadSound(DrumPath(m_choice[2], s - 11)));
  } else if (s == 21) {
    gc_assign(m_inst[2],
              vx_audio_LoadSound(String("inst/lead") + String(m_choice[3]) + String(".wav")));
  } else if (s == 22) {
    gc_assign(m_inst[3],
              vx_audio_LoadSound(String("inst/accompany") + String(m_choice[4]) + String(".wav")));
  } else if (s == 23) {
    gc_assign(m_inst[4],
              vx_audio_LoadSound(String("inst/bass") + String(m_choice[5]) + String(".wav")));
  }
  // Frames 0 to 62 are decoded alongside the sample stages; frame 63 never is.
  if (s >= 5 && s <= 67 && m_tuneImage) DecodeFrame(s - 5);

  m_loadStage = s + 1;
  m_nextStep = vx_app_Millisecs() + 100;
  if (m_loadStage > 70) m_loadStage = 0;
  return 0;
}

// The frame is drawn opaque over a black square on the back buffer and read
// back, so each value is exactly the blue of the picture, 5 bits deep. The
// render clears the screen afterwards (p_QZ_Alive_R).
void c_QZPlayer::DecodeFrame(int f) {
  Array<int> pixels(4096);
  vx_graphics_Cls(1, 0, 0);
  vx_graphics_SetAlpha(1);
  vx_graphics_SetColor(1, 0, 0);
  vx_graphics_DrawRect(0, 0, 64, 64);
  vx_graphics_SetColor(255, 255, 255);
  vx_graphics_DrawImage(m_tuneImage, 32, 32, f);
  vx_graphics_ReadPixels(pixels, 0, 0, 64, 64, 0, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      const int value = (pixels[y * 64 + x] & 255) >> 3;
      m_tune[f * 4096 + (x / 8) * 512 + y * 8 + (x % 8)] = value;
      if (value != 0) m_patternCount[x / 8] = f;
    }
  }
}

int c_QZPlayer::p_QZ_Alive_R() {
  for (int i = 0; i < 3 && m_loadStage > 0; ++i) p_QZ_LoadChunk();
  vx_graphics_Cls(0, 0, 0);  // so the decoding leaves no trace
  return 0;
}
