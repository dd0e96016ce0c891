// Game over and placing: the closing banner drawn over the dying game (and
// fading out over the menu), the place a score reached in the best ten of its
// game type, and the entry of a finished game into both tables of that type.
//
// Tables live in m_hiScores: entries (type - 1) * 10 + k are the best ten
// (index 0 best), entries (type - 1) * 10 + 30 + k the latest ten (0 newest).
// Saving the tables is savedata.cpp's p_Save.
#include "game/helpers.h"

namespace {

constexpr int kBannerFrames = 90;  // updates of banner over the dying game
constexpr int kBannerResume = 75;  // where the fade over the menu starts

const char* const kPlaceText[11] = {"",    "1st!", "2nd", "3rd", "4th", "5th",
                                    "6th", "7th",  "8th", "9th", "10th"};

}  // namespace

void c_MyApp::p_GameOver() {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  int t = m_gameOverTime;
  if (t >= 1) {
    // The veil darkens the board, up to 0.7 at t = 28.
    float veil = (float)t / 40.0f;
    if (veil > 0.7f) veil = 0.7f;
    p_SetCol(0.0f, 0.0f, 0.0f, veil);
    p_Rect(-1.0f, -1.0f, W + 2.0f, H + 2.0f);

    float slide = 12.0f * (float)t;
    if (slide > 0.45f * H) slide = 0.45f * H;
    m_k = (int)slide;
    const float b = (float)m_k;

    p_SetSize(1.0f);
    p_SetRot(0.0f);
    p_Blend(1);
    p_Alpha(0.5f);
    p_SetCol(255.0f, 255.0f, 0.0f);
    p_Rect(-1.0f, 0.45f * H - 8.0f, 2.0f * b, 16.0f);
    p_SetCol(255.0f, 128.0f, 0.0f);
    p_Rect(W - 2.0f * b, 0.55f * H - 8.0f, 2.0f * b + 1.0f, 16.0f);

    p_SetSize(4.0f);
    p_SetCol(255.0f, 180.0f, 180.0f, 1.0f);
    p_Text(0.35f * W, b, String("GAME"), 1.0f, 1.0f);
    p_Text(0.65f * W, H - b, String("OVER"), 1.0f, 1.0f);

    const String place = p_MyNth();
    if (m_i > 0) {
      p_SetSize(1.0f);
      p_SetCol(0.0f, 125.0f, 255.0f, 0.5f);
      p_Rect(0.35f * W, H - b / 1.5f - 16.0f, 0.3f * W, 32.0f);
      p_SetSize(2.0f);
      p_SetCol(100.0f, 255.0f, 100.0f, 1.0f);
      // Backslash and n are p_Text's line break: the place sits on line two.
      p_Text(0.5f * W, H - b / 1.5f, String("New Highscore\\n           ") + place, 0.5f, 2.0f);
    }
  }

  // The banner builds over the game, then play ends and it fades over the menu.
  if (m_gameMode == kModePlay) {
    t += 1;
    if (t >= kBannerFrames) {
      m_tapLock = 1;
      m_keyLock = 1;
      m_gameMode = kModeStoreScore;
      t = kBannerResume;
      if (m_music) m_music->p_QZ_Stop(1);  // harmless when the player never started
      if (vx_Quorvex_HasMusicStream == 1) StopTune(*this);
    }
  }
  if (m_gameMode < kModePlay) {
    t -= 2;
    if (t < 0) t = 0;
  }
  m_gameOverTime = t;
}

String c_MyApp::p_MyNth() {
  int place = 0;
  const int base = ScoreTableBase(m_gameType);
  if (base >= 0) {
    for (int k = 0; k < 10; ++k) {
      if (m_score >= m_hiScores[base + k]) {
        place = k + 1;
        break;
      }
    }
  }
  m_i = place;
  return String(kPlaceText[place]);
}

void c_MyApp::p_LoadMenu() {
  const int base = ScoreTableBase(m_gameType);
  if (base >= 0) {
    // Best ten: below the first strictly smaller entry, so an equal older
    // score keeps the better place.
    for (int k = 0; k < 10; ++k) {
      if (m_hiScores[base + k] < m_score) {
        for (int j = 9; j > k; --j) m_hiScores[base + j] = m_hiScores[base + j - 1];
        m_hiScores[base + k] = m_score;
        break;
      }
    }
    // Latest ten: every score, newest first.
    const int latest = base + kLatestTen;
    for (int j = 9; j > 0; --j) m_hiScores[latest + j] = m_hiScores[latest + j - 1];
    m_hiScores[latest] = m_score;
  }
  p_Save();
}
