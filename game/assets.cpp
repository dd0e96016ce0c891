// Pictures, the bitmap font and the numbered sound effects into the
// application's slots, and the set-up of a new game. Every picture exists at
// three resolutions (name, name-hd, name-hd2); the loaded one is chosen by
// m_hdFactor and its cells are cut at that factor, while m_imgSize keeps the
// loaded pixel sizes for hit tests (the font keeps its virtual advance and
// line height instead).
//
// Left out: reporting failures. A missing file leaves its slot empty, which
// the replay draws as nothing and the effects play as silence.
#include "framework/audio.h"
#include "framework/graphics.h"
#include "game/myapp.h"

namespace {

bool SlotOk(int slot) { return slot >= 0 && slot < kImageSlots; }

}  // namespace

String c_MyApp::p_PictureName(String name) {
  if (m_hdFactor == 2) name += String("-hd");
  if (m_hdFactor == 4) name += String("-hd2");
  return name + String(".png");
}

// Empties an image slot. Its picture's pixels and texture go at once: the
// collector sees only the small surface object, so a loader re-run after a
// size change would otherwise keep every old set of pictures until the
// surfaces happened to be swept. Only the slot holds a loaded picture.
void c_MyApp::ReleaseImage(int slot) {
  c_Image* old = m_img[slot];
  if (old && old->m_surface) old->m_surface->Discard();
  gc_assign(m_img[slot], (c_Image*)nullptr);
}

void c_MyApp::p_LoadImg(int slot, String name, int frameW, int frameH, int frameCount, int flags) {
  if (!SlotOk(slot)) return;
  // The old picture goes first, so a failed load never leaves a stale one.
  ReleaseImage(slot);
  c_Image* image = vx_graphics_LoadImage2(p_PictureName(name), frameW * m_hdFactor,
                                          frameH * m_hdFactor, frameCount, flags);
  gc_assign(m_img[slot], image);
  m_imgSize[3 * slot] = m_hdFactor * frameW;
  m_imgSize[3 * slot + 1] = m_hdFactor * frameH;
  m_imgSize[3 * slot + 2] = frameCount;
}

void c_MyApp::p_LoadFont(int slot, String name, int charW, int charH) {
  if (!SlotOk(slot)) return;
  const int cell = 16 * m_hdFactor;
  ReleaseImage(slot);
  gc_assign(m_img[slot], vx_graphics_LoadImage2(p_PictureName(name), cell, cell, 128, 1));
  m_imgSize[3 * slot] = charW;
  m_imgSize[3 * slot + 1] = charH;
  m_imgSize[3 * slot + 2] = 128;
  m_font = slot;
}

// "sfx/" + three digits + ".wav"; the table has 100 slots, so other numbers
// load nothing rather than write outside it.
void c_MyApp::p_LoadSFX(int number) {
  if (number < 0 || number >= kSoundSlots) return;
  String path = String("sfx/");
  if (number < 10) {
    path += String("00");
  } else if (number < 100) {
    path += String("0");
  }
  path += String(number) + String(".wav");
  // As with pictures: the old sample's sound data goes now, not when the
  // collector gets to its small object (a sound still playing keeps its
  // buffer until it stops).
  if (m_sfx[number] && m_sfx[number]->m_sample) m_sfx[number]->m_sample->Discard();
  gc_assign(m_sfx[number], vx_audio_LoadSound(path));
}

void c_MyApp::p_LoadGame() {
  m_paused = 0;
  m_score = 0;
  m_gameOver = 0;
  m_gameOverTime = 0;
  m_gameMode = kModePlay;

  m_bgR = 0;
  m_bgG = 0;
  m_bgB = 80;
  m_bgTargetR = 0;
  m_bgTargetG = 0;
  m_bgTargetB = 80;

  p_PlaySFX(kSfxWhoosh, 1);

  m_bonusTime = 0;
  m_bonusAngle = 0;
  m_track = m_gameType;

  if (vx_Quorvex_HasMusic == 1) {
    const char* tune = m_gameType == 1   ? "Pellorin/Tune_12"
                       : m_gameType == 2 ? "Retro/Grimble"
                       : m_gameType == 3 ? "Retro/Snorwick"
                                         : nullptr;
    if (tune) m_music->p_QZ_StartTune(String(tune), 37171650, 100);
  }

  p_ResetStars(100);
  m_maxParticles = 250;
  for (int i = 0; i <= 250; ++i) m_particles[kRecordFloats * i + kParticleKind] = 0;

  // The ship and its three followers, spread down the screen until the first
  // steering update places them on the ring.
  for (int i = 0; i < 500; ++i) m_player[i] = 0;
  for (int k = 1; k <= 4; ++k) {
    m_player[100 * k] = 1;
    m_player[100 * k + 1] = 128;
    m_player[100 * k + 2] = (float)k * vx_Quorvex_jscrh / 5;
  }
  m_player[kShipAngle] = 180;

  m_level = 0;
  m_phase = 0;
  for (m_j = 0; m_j <= 32; ++m_j) {
    for (m_k = 0; m_k <= 32; ++m_k) {
      float* cell = &m_grid[CellIndex(m_k, m_j)];
      for (int f = 0; f < kRecordFloats; ++f) cell[f] = 0;
    }
  }
}
