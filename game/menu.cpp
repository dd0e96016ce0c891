// The title screen: animated backdrop, the score panel of the chosen game
// type, and the carousel of the three game types plus the options gear.
// The screen keeps no state machine of its own; it redraws everything each
// update and hands over by setting the mode or a panel flag.
#include <cmath>

#include "game/gear.h"
#include "game/helpers.h"

namespace {

constexpr float kItemSpacing = 88;
constexpr float kPanelW = 140;

bool NoPanelOpen(c_MyApp* app) {
  return app->m_showCredits == 0 && app->m_showOptions == 0 && app->m_showBadges == 0;
}

// Glide the carousel to an item chosen by tap or key.
void JumpTo(c_MyApp* app, int item) {
  app->m_menuSel = item;
  app->m_menuScrollTarget = (1 - item) * kItemSpacing;
  app->m_menuScrollVel = 0;
  app->m_menuDrag = 0;
  app->m_menuJump = item;
}

void Confirm(c_MyApp* app, int item) {
  if (item < 4) {
    app->m_gameType = item;
    app->m_gameMode = kModeNewGame;
  } else {
    app->m_showOptions = 1;
    app->m_optSel = 1;
  }
  app->m_keyLock = 1;
  app->m_tapLock = 1;
  app->p_PlaySFX(kSfxConfirm, 1, 1, 0);
}

// "Top 10" / "Highscore" and the rows below it, one score per "\n" line.
String ScoreList(c_MyApp* app, const char* heading, const char* single, int first) {
  String text = app->m_menuRows == 1 ? String(single) : String(heading) + String(app->m_menuRows);
  for (int r = 0; r < app->m_menuRows; ++r)
    text += String("\\n") + app->p_rstr(app->m_hiScores[first + r], 10, String(" "));
  return text;
}

}  // namespace

void c_MyApp::p_Menu() {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;

  // 1. The backdrop eases toward deep blue.
  m_bgR = m_bgR - m_bgR / 32;
  m_bgG = m_bgG - m_bgG / 32;
  m_bgB = m_bgB - (m_bgB - 80) / 32;
  p_CLS2D(m_bgR, m_bgG, m_bgB, 1);

  // 2. Entrance.
  if (m_menuSlide < 0) m_menuSlide = (int)(m_menuSlide + 0.25f);
  m_menuPanelW = kPanelW;
  const float slide = (float)m_menuSlide;

  // 3. Back: on the desktop it ends the program; on a television it asks first.
  if (m_keyLock == 0 && m_tapLock == 0) {
    if (Held(this, kCtrlBack) && vx_Quorvex_isOuya == 0) vxError(String());
    if (vx_Quorvex_isOuya == 1 && (Held(this, kCtrlBack) || vx_input_KeyDown(kKeyEscape))) {
      m_gameMode = kModeQuitDialog;
      m_keyLock = 1;
      m_tapLock = 1;
    }
  }

  // 4. Backdrop shapes and the title logo.
  p_SetSize(3, kNotGiven);
  p_Alpha(0.3f);
  p_SetRot(2 * m_clock);
  p_DrawImg(kImgBackdrop, 0.5f * W, 0.5f * H + 16 * slide, 3);
  p_SetSize(2, kNotGiven);
  p_Alpha(0.4f);
  p_SetRot(-3 * m_clock);
  p_DrawImg(kImgBackdrop, 0.4f * W + 20 * slide, 0.4f * H, 2);
  p_Alpha(0.5f);
  p_SetRot(2.5f * m_clock);
  p_DrawImg(kImgBackdrop, 0.6f * W, 0.6f * H - 24 * slide, 1);
  p_SetSize(1, kNotGiven);
  p_Alpha(1);
  p_SetRot(0);
  p_DrawImg(kImgTitleLogo, 0.4f * W, 0.2f * H + 12 * slide, 0);

  // 5. Score panel.
  const float panelX = W - kPanelW - 4 * slide;
  p_SetCol(0, 0, 0, 0.4f);
  p_Rect(panelX, 0, kPanelW, H);

  // 6. Best and latest scores of the chosen game type.
  p_SetSize(1.5f, kNotGiven);
  int lineH = (int)(1.5f * m_imgSize[3 * m_font + 1]);
  int space = (int)((H - 90) - 0.5f * H);
  m_menuRows = lineH > 0 ? space / lineH : 10;
  if (m_menuRows < 1) m_menuRows = 1;
  if (m_menuRows > 10) m_menuRows = 10;
  // Before the selection has chosen a type there is no table to show.
  const int table = ScoreTableBase(m_gameType);
  if (NoPanelOpen(this) && m_menuSel < 4 && table >= 0) {
    p_SetCol(255, 200, 100, 1);
    p_Text(panelX + 20, 60, ScoreList(this, "Top ", "Highscore", table), 0, 0);
    p_SetCol(200, 255, 100, 1);
    p_Text(panelX + 20, 0.5f * H + 20, ScoreList(this, "Last ", "Last", table + 30), 0, 0);
  }
  p_SetCol(255, 255, 255, 1);
  p_SetSize(1, kNotGiven);

  // 7. Selection bookkeeping.
  if (m_menuSel < 1 || m_menuSel > 4) m_menuSel = 1;
  if (m_menuSel <= 3) m_gameType = m_menuSel;
  if (m_menuSel == 4) m_menuSpin += 0.5f;

  // 8. Scrolling: the shown offset eases toward the target, flings decay.
  if (m_mouseDown == 0) m_menuDrag = 0;
  m_menuScrollTarget += m_menuScrollVel;
  m_menuScroll += (m_menuScrollTarget - m_menuScroll) / 8;
  if (m_menuScrollVel != 0) {
    m_menuScrollVel *= 0.2f;
    if (std::fabs(m_menuScrollVel) < 3) m_menuScrollVel = 0;
  }

  // 9. Layout: vertical on portrait screens.
  m_menuVertical = 1 - m_landscape;
  const int centreX = (int)((W - kPanelW) / 2);
  const int centreY = m_menuVertical ? (int)(0.6f * H) : (int)(0.65f * H);

  // 10. The carousel.
  if (NoPanelOpen(this)) {
    float nearest = 1024;
    int nearestItem = 0;
    for (int i = 1; i <= 4; ++i) {
      float x, y;
      if (m_menuVertical) {
        x = (float)centreX;
        y = m_menuScroll + 0.6f * H + (i - 1) * kItemSpacing;
      } else {
        x = centreX + m_menuScroll + (i - 1) * kItemSpacing;
        y = 0.65f * H;
      }
      // End stops keep the first and last items from leaving the screen.
      if (m_menuVertical) {
        if (i == 1 && y > 0.75f * H) {
          m_menuSel = 1;
          m_menuScrollTarget -= 8;
        }
        if (i == 4 && y < 0.45f * H) {
          m_menuSel = 4;
          m_menuScrollTarget += 8;
        }
      } else {
        if (i == 1 && x > 0.75f * (W - kPanelW)) {
          m_menuSel = 1;
          m_menuScrollTarget -= 8;
        }
        if (i == 4 && x < 0.25f * W) {
          m_menuSel = 4;
          m_menuScrollTarget += 8;
        }
      }
      const bool selected = i == m_menuSel;
      p_SetSize(selected ? 1.75f : 1, kNotGiven);
      int dx = (int)x - centreX, dy = (int)y - centreY;
      float d = std::sqrt((float)(dx * dx + dy * dy));
      if (d < nearest) {
        nearest = d;
        nearestItem = i;
      }
      float alpha = 1 - d / 480;
      if (alpha < 0.5f) alpha = 0.5f;
      p_Alpha(selected ? 1 : alpha);
      int hit = i < 4 ? p_Button(kImgButtons, x, y, i - 1) : DrawGear(this, x, y, m_menuSpin);

      if (selected && i < 4) {
        p_SetSize(3, 2.5f);
        p_SetCol(100, 255, 100, 0.3f);
        if (p_Button(kImgIcons, W - 70, H - 48 - 4 * slide, 3)) hit = 1;
        p_SetCol(255, 255, 255, 1);
      }
      if (hit && m_keyLock == 0 && m_tapLock == 0) {
        if (!selected) {
          JumpTo(this, i);
          m_keyLock = 1;
          m_tapLock = 1;
          p_PlaySFX(kSfxClick, 1, 1, 0);
        } else {
          Confirm(this, i);
        }
      }
    }
    // Dragging selects whatever passes the centre.
    if (nearestItem != 0 && nearestItem != m_menuSel && m_menuJump == 0) {
      m_menuSel = nearestItem;
      p_PlaySFX(kSfxClick, 1, 1, 0);
    }
    if (m_menuJump != 0 && std::fabs(m_menuScroll - m_menuScrollTarget) < 32) m_menuJump = 0;
  }
  p_SetSize(1, kNotGiven);
  p_Alpha(1);

  // 11. Keys and joysticks.
  if ((Held(this, kCtrlUp) || Held(this, kCtrlLeft)) && m_menuSel >= 2 && m_keyLock == 0 && NoPanelOpen(this)) {
    JumpTo(this, m_menuSel - 1);
    m_keyLock = 1;
    p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  if ((Held(this, kCtrlDown) || Held(this, kCtrlRight)) && m_menuSel < 4 && m_keyLock == 0 && NoPanelOpen(this)) {
    JumpTo(this, m_menuSel + 1);
    m_keyLock = 1;
    p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  bool confirm = Held(this, kCtrlFire) || Held(this, kCtrlButton2) || Held(this, kCtrlButton3) || Held(this, kCtrlButton4);
  if (confirm && m_keyLock == 0 && NoPanelOpen(this)) {
    Confirm(this, m_menuSel);
  } else if (m_keyLock == 0 && Held(this, kCtrlR1) && NoPanelOpen(this)) {
    m_keyLock = 1;
    p_PlaySFX(kSfxClick, 1, 1, 0);
    m_showCredits = 1;
  }

  // 12. The studio logo opens the credits.
  p_SetSize(0.35f, kNotGiven);
  p_SetCol(255, 255, 255, 1);
  if (p_Button(kImgStudioLogo, W - 70, 32 + 4 * slide, 0) && m_tapLock == 0 && NoPanelOpen(this)) {
    m_tapLock = 1;
    p_PlaySFX(kSfxClick, 1, 1, 0);
    m_showCredits = 1;
  }
  p_SetSize(1, kNotGiven);

  // 13. A pointer moving more than 2 pixels a frame is a drag, not a tap.
  if (NoPanelOpen(this) && m_tapLock != 1 && m_mouseDown >= 1) {
    float moved = m_menuVertical ? (float)(m_mouseY - m_mouseOldY) : (float)(m_mouseX - m_mouseOldX);
    m_menuDrag = 1.5f * moved;
    if (std::fabs(m_menuDrag) > 2) {
      m_tapLock = 2;
      m_menuScrollVel += m_menuDrag;
    }
  }
}
