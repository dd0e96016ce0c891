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

// ---- The steps of the title screen, in the order p_Menu takes them ----

// 1. The backdrop eases toward deep blue.
void EaseBackdrop(c_MyApp* app) {
  app->m_bgR = app->m_bgR - app->m_bgR / 32;
  app->m_bgG = app->m_bgG - app->m_bgG / 32;
  app->m_bgB = app->m_bgB - (app->m_bgB - 80) / 32;
  app->p_CLS2D(app->m_bgR, app->m_bgG, app->m_bgB, 1);
}

// 2. Entrance: everything slides in from its offset; returns the offset.
float Entrance(c_MyApp* app) {
  if (app->m_menuSlide < 0) app->m_menuSlide = (int)(app->m_menuSlide + 0.25f);
  app->m_menuPanelW = kPanelW;
  return (float)app->m_menuSlide;
}

// 3. Back: on the desktop it ends the program; on a television it asks first.
void BackKey(c_MyApp* app) {
  if (app->m_keyLock != 0 || app->m_tapLock != 0) return;
  if (Held(app, kCtrlBack) && vx_Quorvex_isOuya == 0) vx_app_EndApp();
  if (vx_Quorvex_isOuya == 1 && (Held(app, kCtrlBack) || vx_input_KeyDown(kKeyEscape))) {
    app->m_gameMode = kModeQuitDialog;
    app->m_keyLock = 1;
    app->m_tapLock = 1;
  }
}

// 4. Three turning backdrop shapes and the title logo.
void DrawBackdropShapes(c_MyApp* app, float slide) {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  app->p_SetSize(3, kNotGiven);
  app->p_Alpha(0.3f);
  app->p_SetRot(2 * app->m_clock);
  app->p_DrawImg(kImgBackdrop, 0.5f * W, 0.5f * H + 16 * slide, 3);
  app->p_SetSize(2, kNotGiven);
  app->p_Alpha(0.4f);
  app->p_SetRot(-3 * app->m_clock);
  app->p_DrawImg(kImgBackdrop, 0.4f * W + 20 * slide, 0.4f * H, 2);
  app->p_Alpha(0.5f);
  app->p_SetRot(2.5f * app->m_clock);
  app->p_DrawImg(kImgBackdrop, 0.6f * W, 0.6f * H - 24 * slide, 1);
  app->p_SetSize(1, kNotGiven);
  app->p_Alpha(1);
  app->p_SetRot(0);
  app->p_DrawImg(kImgTitleLogo, 0.4f * W, 0.2f * H + 12 * slide, 0);
}

// 5-6. The score panel with the best and latest scores of the chosen game
// type, as many rows as fit below each heading (at most ten).
void ScorePanel(c_MyApp* app, float slide) {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  const float panelX = W - kPanelW - 4 * slide;
  app->p_SetCol(0, 0, 0, 0.4f);
  app->p_Rect(panelX, 0, kPanelW, H);

  app->p_SetSize(1.5f, kNotGiven);
  int lineH = (int)(1.5f * app->m_imgSize[3 * app->m_font + 1]);
  int space = (int)((H - 90) - 0.5f * H);
  app->m_menuRows = lineH > 0 ? space / lineH : 10;
  if (app->m_menuRows < 1) app->m_menuRows = 1;
  if (app->m_menuRows > 10) app->m_menuRows = 10;
  // Before the selection has chosen a type there is no table to show.
  const int table = ScoreTableBase(app->m_gameType);
  if (NoPanelOpen(app) && app->m_menuSel < 4 && table >= 0) {
    app->p_SetCol(255, 200, 100, 1);
    app->p_Text(panelX + 20, 60, ScoreList(app, "Top ", "Highscore", table), 0, 0);
    app->p_SetCol(200, 255, 100, 1);
    app->p_Text(panelX + 20, 0.5f * H + 20, ScoreList(app, "Last ", "Last", table + kLatestTen), 0,
                0);
  }
  app->p_SetCol(255, 255, 255, 1);
  app->p_SetSize(1, kNotGiven);
}

// 7. Selection bookkeeping: items 1..3 are the game types, 4 the gear.
void KeepSelection(c_MyApp* app) {
  if (app->m_menuSel < 1 || app->m_menuSel > 4) app->m_menuSel = 1;
  if (app->m_menuSel <= 3) app->m_gameType = app->m_menuSel;
  if (app->m_menuSel == 4) app->m_menuSpin += 0.5f;
}

// 8. Scrolling: the shown offset eases toward the target, flings decay.
void Scroll(c_MyApp* app) {
  if (app->m_mouseDown == 0) app->m_menuDrag = 0;
  app->m_menuScrollTarget += app->m_menuScrollVel;
  app->m_menuScroll += (app->m_menuScrollTarget - app->m_menuScroll) / 8;
  if (app->m_menuScrollVel != 0) {
    app->m_menuScrollVel *= 0.2f;
    if (std::fabs(app->m_menuScrollVel) < 3) app->m_menuScrollVel = 0;
  }
}

// Where the carousel is centred.
struct Centre {
  int x, y;
};

// 9. Layout: vertical on portrait screens.
Centre Layout(c_MyApp* app) {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  app->m_menuVertical = 1 - app->m_landscape;
  return {(int)((W - kPanelW) / 2), app->m_menuVertical ? (int)(0.6f * H) : (int)(0.65f * H)};
}

// 10. End stops keep the first and last items from leaving the screen.
void EndStops(c_MyApp* app, int i, float x, float y) {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  const bool pastFirst = app->m_menuVertical ? y > 0.75f * H : x > 0.75f * (W - kPanelW);
  const bool pastLast = app->m_menuVertical ? y < 0.45f * H : x < 0.25f * W;
  if (i == 1 && pastFirst) {
    app->m_menuSel = 1;
    app->m_menuScrollTarget -= 8;
  }
  if (i == 4 && pastLast) {
    app->m_menuSel = 4;
    app->m_menuScrollTarget += 8;
  }
}

// 10. One item of the carousel, fading with its distance from the centre
// (returned); the selected game type also shows its play button. A hit on an
// item selects it, a hit on the selected item confirms it.
float MenuItem(c_MyApp* app, int i, float x, float y, Centre centre, float slide) {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  const bool selected = i == app->m_menuSel;
  app->p_SetSize(selected ? 1.75f : 1, kNotGiven);
  int dx = (int)x - centre.x, dy = (int)y - centre.y;
  float d = std::sqrt((float)(dx * dx + dy * dy));
  float alpha = 1 - d / 480;
  if (alpha < 0.5f) alpha = 0.5f;
  app->p_Alpha(selected ? 1 : alpha);
  int hit = i < 4 ? app->p_Button(kImgButtons, x, y, i - 1) : DrawGear(app, x, y, app->m_menuSpin);

  if (selected && i < 4) {
    app->p_SetSize(3, 2.5f);
    app->p_SetCol(100, 255, 100, 0.3f);
    if (app->p_Button(kImgIcons, W - 70, H - 48 - 4 * slide, 3)) hit = 1;
    app->p_SetCol(255, 255, 255, 1);
  }
  if (hit && app->m_keyLock == 0 && app->m_tapLock == 0) {
    if (!selected) {
      JumpTo(app, i);
      app->m_keyLock = 1;
      app->m_tapLock = 1;
      app->p_PlaySFX(kSfxClick, 1, 1, 0);
    } else {
      Confirm(app, i);
    }
  }
  return d;
}

// 10. The carousel: the three game types and the gear in a row (a column on
// a tall screen), scrolled by the offset. Dragging selects whatever passes
// the centre.
void Carousel(c_MyApp* app, Centre centre, float slide) {
  const float H = vx_Quorvex_jscrh;
  float nearest = 1024;
  int nearestItem = 0;
  for (int i = 1; i <= 4; ++i) {
    float x, y;
    if (app->m_menuVertical) {
      x = (float)centre.x;
      y = app->m_menuScroll + 0.6f * H + (i - 1) * kItemSpacing;
    } else {
      x = centre.x + app->m_menuScroll + (i - 1) * kItemSpacing;
      y = 0.65f * H;
    }
    EndStops(app, i, x, y);
    const float d = MenuItem(app, i, x, y, centre, slide);
    if (d < nearest) {
      nearest = d;
      nearestItem = i;
    }
  }
  if (nearestItem != 0 && nearestItem != app->m_menuSel && app->m_menuJump == 0) {
    app->m_menuSel = nearestItem;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  // A jump ends once the carousel is nearly there.
  if (app->m_menuJump != 0 && std::fabs(app->m_menuScroll - app->m_menuScrollTarget) < 32) {
    app->m_menuJump = 0;
  }
}

// 11. Keys and joysticks: up or left and down or right step through the
// items, confirm starts or opens, R1 opens the credits.
void MenuKeys(c_MyApp* app) {
  if ((Held(app, kCtrlUp) || Held(app, kCtrlLeft)) && app->m_menuSel >= 2 && app->m_keyLock == 0 &&
      NoPanelOpen(app)) {
    JumpTo(app, app->m_menuSel - 1);
    app->m_keyLock = 1;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  if ((Held(app, kCtrlDown) || Held(app, kCtrlRight)) && app->m_menuSel < 4 &&
      app->m_keyLock == 0 && NoPanelOpen(app)) {
    JumpTo(app, app->m_menuSel + 1);
    app->m_keyLock = 1;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  bool confirm = AnyHeld(app, {kCtrlFire, kCtrlButton2, kCtrlButton3, kCtrlButton4});
  if (confirm && app->m_keyLock == 0 && NoPanelOpen(app)) {
    Confirm(app, app->m_menuSel);
  } else if (app->m_keyLock == 0 && Held(app, kCtrlR1) && NoPanelOpen(app)) {
    app->m_keyLock = 1;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
    app->m_showCredits = 1;
  }
}

// 12. The studio logo opens the credits.
void StudioLogo(c_MyApp* app, float slide) {
  app->p_SetSize(0.35f, kNotGiven);
  app->p_SetCol(255, 255, 255, 1);
  if (app->p_Button(kImgStudioLogo, vx_Quorvex_jscrw - 70, 32 + 4 * slide, 0) &&
      app->m_tapLock == 0 && NoPanelOpen(app)) {
    app->m_tapLock = 1;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
    app->m_showCredits = 1;
  }
  app->p_SetSize(1, kNotGiven);
}

// 13. A pointer moving more than 2 pixels a frame is a drag, not a tap.
void Drag(c_MyApp* app) {
  if (!NoPanelOpen(app) || app->m_tapLock == 1 || app->m_mouseDown < 1) return;
  float moved = app->m_menuVertical ? (float)(app->m_mouseY - app->m_mouseOldY)
                                    : (float)(app->m_mouseX - app->m_mouseOldX);
  app->m_menuDrag = 1.5f * moved;
  if (std::fabs(app->m_menuDrag) > 2) {
    app->m_tapLock = 2;
    app->m_menuScrollVel += app->m_menuDrag;
  }
}

}  // namespace

void c_MyApp::p_Menu() {
  // 1. The backdrop eases toward deep blue.
  EaseBackdrop(this);

  // 2. Entrance.
  const float slide = Entrance(this);

  // 3. Back.
  BackKey(this);

  // 4. Backdrop shapes and the title logo.
  DrawBackdropShapes(this, slide);

  // 5-6. Score panel: best and latest scores of the chosen game type.
  ScorePanel(this, slide);

  // 7. Selection bookkeeping.
  KeepSelection(this);

  // 8. Scrolling.
  Scroll(this);

  // 9. Layout.
  const Centre centre = Layout(this);

  // 10. The carousel.
  if (NoPanelOpen(this)) Carousel(this, centre, slide);
  p_SetSize(1, kNotGiven);
  p_Alpha(1);

  // 11. Keys and joysticks.
  MenuKeys(this);

  // 12. The studio logo opens the credits.
  StudioLogo(this, slide);

  // 13. Drag or tap.
  Drag(this);
}
