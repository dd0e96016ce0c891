// The options panel, the in-game pause menu, the television quit dialog and
// the two switches they use (iCade character input, full screen). Each screen
// is redrawn every update and reads the logical controls.
#include <cmath>

#include "framework/framework.h"
#include "game/gear.h"
#include "game/helpers.h"

namespace {

bool MusicAvailable() { return vx_Quorvex_HasMusic == 1 || vx_Quorvex_HasMusicStream == 1; }

// The overscan border of the television build: a labelled track with a knob.
void DrawOverscan(c_MyApp* app, float centreX, float textY, float trackY, float knobY, int value) {
  app->p_SetSize(2, kNotGiven);
  app->p_SetCol(255, 255, 255, 1);
  app->p_Text(centreX, textY, String("L1 <      Overscan      > R1"), 1, 1);
  app->p_SetCol(0, 128, 255, 0.5f);
  app->p_Rect(centreX - 128, trackY, 256, 9);
  app->p_SetCol(255, 255, 0, 0.75f);
  app->p_Rect(value * 2.67f + centreX - 132, knobY, 8, 16);
  app->p_SetCol(255, 255, 255, 1);
}

void ClampOverscan(c_MyApp* app) {
  if (app->m_opt[kOptOverscan] < 1) app->m_opt[kOptOverscan] = 1;
  if (app->m_opt[kOptOverscan] > 96) app->m_opt[kOptOverscan] = 96;
  vx_Quorvex_overscan = (float)app->m_opt[kOptOverscan];
}

void CornerMarks(c_MyApp* app) {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  app->p_SetCol(255, 255, 255, 1);
  const float xs[2] = {0, W}, ys[2] = {0, H};
  for (float cx : xs)
    for (float cy : ys) {
      app->p_Rect(cx == 0 ? 0 : cx - 16, cy == 0 ? 0 : cy - 8, 16, 8);
      app->p_Rect(cx == 0 ? 0 : cx - 8, cy == 0 ? 0 : cy - 16, 8, 16);
    }
}

// ---- The steps of the options panel, in the order p_OptionBox takes them ----

// 1-2. The menu or game underneath must not react, and the panel takes no
// input until it is fully in; true when it takes input now.
bool TakeInput(c_MyApp* app) {
  app->p_ResetDraw();
  if (vx_Quorvex_isOuya == 1) CornerMarks(app);
  app->m_keyLock = 1;
  app->m_tapLock = 1;
  if (app->m_optionsSlide != 30) {
    app->m_optKeyLock = 1;
    app->m_optTapLock = 1;
  }
  return app->m_optKeyLock == 0 && app->m_optTapLock == 0;
}

// 3. The panel rises from below the screen.
void DrawPanel(c_MyApp* app, float slide) {
  app->p_SetCol(150, 75, 0, 0.85f);
  app->p_Rect(50, (30 - slide) * 24, vx_Quorvex_jscrw - 100, vx_Quorvex_jscrh);
  app->p_SetCol(255, 255, 255, 1);
}

// 4-5. The close gear, larger while selected, and its label; the gear or
// back closes the panel.
void CloseGear(c_MyApp* app, float slide, bool free) {
  app->m_menuSpin += 0.2f;
  const float gearX = 12 * slide - 260;
  app->p_SetSize(app->m_optSel == 0 ? 2 : 1.5f, kNotGiven);
  int gearHit = DrawGear(app, gearX, 60, app->m_menuSpin);
  if ((gearHit || Held(app, kCtrlBack)) && free) app->p_OptionClose();
  app->p_SetSize(2, kNotGiven);
  app->p_Text(gearX + 76, 60, String("<[BACK]"), 0, 1);
}

// 6. The television's overscan border, moved in steps of 16 by L1 and R1.
void PanelOverscan(c_MyApp* app, float slide) {
  float y = 12 * slide - 268;
  DrawOverscan(app, 0.6f * vx_Quorvex_jscrw, y, y - 5, y - 8, app->m_opt[kOptOverscan]);
  if (Held(app, kCtrlL1) && app->m_optKeyLock == 0) {
    app->m_opt[kOptOverscan] -= 16;
    app->m_optKeyLock = 1;
  }
  if (Held(app, kCtrlR1) && app->m_optKeyLock == 0) {
    app->m_opt[kOptOverscan] += 16;
    app->m_optKeyLock = 1;
  }
  ClampOverscan(app);
}

// 7. The panel's lines, numbered from 1 in screen order as they are drawn.
struct OptionLines {
  c_MyApp* app;
  float y;           // top of the next line
  bool confirmHeld;  // any confirm or shoulder control
  int n = 0;         // lines so far

  // A line's bar, lit while selected, and its label. True when it is acted
  // on: touched, or selected while confirm is held, and the panel free.
  bool Line(float barX, float barW, float labelX, const String& label) {
    ++n;
    if (app->m_optSel == n) app->p_SetCol(0, 180, 255, 0.5f);
    else app->p_SetCol(0, 0, 160, 0.5f);
    bool touched = app->p_Touch(barX, y - 2, barW, 24) != 0;
    if (touched) app->m_optSel = n;
    app->p_SetCol(255, 255, 255, 1);
    app->p_SetSize(2, kNotGiven);
    app->p_Text(labelX, y, label, 0, 0);
    const bool free = app->m_optKeyLock == 0 && app->m_optTapLock == 0;
    return (touched || (app->m_optSel == n && confirmHeld)) && free;
  }
  // A line across the panel.
  bool Wide(const String& label) { return Line(84, vx_Quorvex_jscrw - 168, 100, label); }
};

// Sound: with music the four modes cycle, stopping the music on the silent
// ones; without it, on and off.
void SoundLine(c_MyApp* app, OptionLines& lines) {
  int& mode = app->m_opt[kOptSound];
  if (MusicAvailable()) {
    // A hand-edited saved state can hold any number: outside the modes is off.
    if (mode < 0 || mode > 3) mode = 0;
    static const char* const kModes[4] = {"Sound : Off", "Sound : SFX + Music", "Sound : SFX",
                                          "Sound : Music"};
    if (lines.Wide(String(kModes[mode]))) {
      mode = (mode + 1) % 4;
      if (mode == kSoundOff || mode == kSoundEffects) StopTune(*app);
      app->p_OptionActed();
    }
  } else {
    if (mode < 0 || mode >= 2) mode = 0;
    if (lines.Wide(String(mode == 1 ? "Sound : On" : "Sound : Off"))) {
      mode = 1 - mode;
      if (mode != 0 && mode != 1) mode = 0;
      app->p_OptionActed();
    }
  }
}

// iCade character input on or off; every control is let go.
void ICadeLine(c_MyApp* app, OptionLines& lines) {
  if (lines.Wide(String(vx_Quorvex_iCadeControls ? "iCade : On" : "iCade : Off"))) {
    vx_Quorvex_iCadeControls = 1 - vx_Quorvex_iCadeControls;
    app->p_iCade(vx_Quorvex_iCadeControls);
    app->p_OptionActed();
    for (int i = 0; i < kCtrlEntries; ++i) app->m_ctrl[i] = 0;
  }
}

// The label names the mode the line switches to.
void FullscreenLine(c_MyApp* app, OptionLines& lines) {
  if (lines.Wide(String(app->m_fullscreen == 0 ? "Fullscreen" : "Windowed"))) {
    app->p_OptionActed();
    app->p_FullscreenFlip();
  }
}

// The credits, a short line of its own, hand over from the options panel.
void CreditsLine(c_MyApp* app, OptionLines& lines) {
  float x = (float)(int)(vx_Quorvex_jscrw - 264);
  if (lines.Line(x - 16, 180, x, String("Credits"))) {
    app->m_showCredits = 1;
    app->m_optKeyLock = 0;
    app->m_optTapLock = 0;
    app->m_showOptions = 0;
  }
}

// 7. The lines: sound, iCade (not on a television), full screen, and the
// credits (not over a paused game). Returns the number of the last.
int DrawLines(c_MyApp* app, float slide) {
  const bool confirmHeld =
      AnyHeld(app, {kCtrlFire, kCtrlButton2, kCtrlButton3, kCtrlButton4, kCtrlL1, kCtrlR1});
  OptionLines lines = {app, (30 - slide) * 24 + 130, confirmHeld};
  SoundLine(app, lines);
  lines.y += 40;
  if (vx_Quorvex_isOuya == 0) {
    ICadeLine(app, lines);
    lines.y += 40;
  }
  FullscreenLine(app, lines);
  if (app->m_paused == 0) {
    lines.y += 50;
    CreditsLine(app, lines);
  }
  return lines.n;
}

// 8. Cursor keys: confirm on the gear closes, up or left and down or right
// move between the gear (0) and the lines.
void CursorKeys(c_MyApp* app, int lastLine) {
  if (app->m_optKeyLock != 0) return;
  if (app->m_optSel == 0 && AnyHeld(app, {kCtrlR1, kCtrlFire, kCtrlButton2})) {
    app->p_OptionClose();
    app->m_optKeyLock = 1;
  }
  if (AnyHeld(app, {kCtrlUp, kCtrlLeft}) && app->m_optSel > 0 && app->m_optKeyLock == 0) {
    --app->m_optSel;
    app->m_optKeyLock = 1;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  if (AnyHeld(app, {kCtrlDown, kCtrlRight}) && app->m_optSel < lastLine && app->m_optKeyLock == 0) {
    ++app->m_optSel;
    app->m_optKeyLock = 1;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
  }
}

// 9. The panel's own locks clear once everything is released.
void ReleaseLocks(c_MyApp* app) {
  if (app->m_mouseDown == 0) app->m_optTapLock = 0;
  if (!AnyHeld(app, {kCtrlUp, kCtrlLeft, kCtrlRight, kCtrlDown, kCtrlFire, kCtrlButton2,
                     kCtrlButton3, kCtrlButton4, kCtrlL1, kCtrlR1, kCtrlBack}))
    app->m_optKeyLock = 0;
}

// ---- The steps of the pause menu, in the order p_PauseMenu takes them ----

// 1. Shade, darker the further the panel is in.
void Shade(c_MyApp* app) {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  app->p_SetCol(0, 0, 0, std::fabs((float)app->m_pausePanelY) / (0.8f * H));
  app->p_Rect(0, 0, W, H);
}

// 2. Motion: in to the middle, out above the screen; the game resumes once
// the panel has left.
void MovePanel(c_MyApp* app) {
  if (app->m_pauseState == 1 && app->m_pausePanelY < 0.5f * vx_Quorvex_jscrh)
    app->m_pausePanelY += 24;
  if (app->m_pauseState != -1) return;
  if (app->m_pausePanelY < -63) {
    app->m_paused = 0;
  } else {
    app->m_pausePanelY -= 24;
    if (app->m_pausePanelY < -32) app->m_paused = 0;
  }
}

// 3. The panel between a yellow and a blue stripe, wide on a wide screen.
void DrawPausePanel(c_MyApp* app, float P) {
  const float W = vx_Quorvex_jscrw;
  if (app->m_landscape) {
    app->p_SetCol(255, 255, 10, 0.6f);
    app->p_Rect(0.5f * W - 128, P - 64, 256, 8);
    app->p_SetCol(255, 150, 10, 0.7f);
    app->p_Rect(0.5f * W - 140, P - 52, 280, 104);
    app->p_SetCol(10, 150, 255, 0.6f);
    app->p_Rect(0.5f * W - 128, P + 56, 256, 8);
  } else {
    app->p_SetCol(255, 255, 10, 0.6f);
    app->p_Rect(0.5f * W - 96, P - 92, 192, 8);
    app->p_SetCol(255, 150, 10, 0.7f);
    app->p_Rect(0.5f * W - 128, P - 80, 256, 160);
    app->p_SetCol(10, 150, 255, 0.6f);
    app->p_Rect(0.5f * W - 96, P + 84, 192, 8);
  }
}

// 4. The television's overscan border above the panel: L1 and R1 move it in
// steps of 16, a touch on its track flips it between the two ends.
void PauseOverscan(c_MyApp* app, float P) {
  const float W = vx_Quorvex_jscrw;
  int& overscan = app->m_opt[kOptOverscan];
  DrawOverscan(app, 0.5f * W, P - 150, P - 154, P - 158, overscan);
  if (Held(app, kCtrlL1) && app->m_keyLock == 0 && overscan > 0) {
    overscan -= 16;
    app->m_keyLock = 1;
  }
  if (Held(app, kCtrlR1) && app->m_keyLock == 0 && overscan < 96) {
    overscan += 16;
    app->m_keyLock = 1;
  }
  if (app->m_tapLock == 0 && app->p_MouseIn_Centered(0.5f * W, P - 158, 256, 16)) {
    app->m_tapLock = 1;
    app->p_PlaySFX(kSfxConfirm, 1, 1, 0);
    overscan = overscan >= 32 ? 1 : 96;
  }
  ClampOverscan(app);
}

// The ring around the item the keys have chosen.
void DrawChosen(c_MyApp* app, float x, float y) {
  app->p_SetSize(2.5f, kNotGiven);
  app->p_SetCol(255, 255, 100, 1);
  app->p_DrawImg(kImgIcons, x, y, 6);
}

// 5-6. Continue, in the middle: a tap, or fire while chosen, lets the panel
// go; left or up choose quit, right the gear.
void ContinueItem(c_MyApp* app, float P) {
  const float x = 0.5f * vx_Quorvex_jscrw;
  app->p_SetSize(2, kNotGiven);
  app->p_SetCol(50, 50, 250, 1);
  if (app->p_Button(kImgIcons, x, P, 3) && app->m_tapLock == 0) {
    app->m_pauseState = -1;
    app->m_tapLock = 1;
    app->p_PlaySFX(kSfxConfirm, 1, 0.5f, 0);
  }
  if (app->m_pauseSel != 0) return;
  DrawChosen(app, x, P);
  if (app->m_keyLock != 0) return;
  if (Held(app, kCtrlFire)) {
    app->m_pauseState = -1;
    app->m_keyLock = 1;
    app->p_PlaySFX(kSfxConfirm, 1, 0.5f, 0);
  } else if (Held(app, kCtrlLeft) || Held(app, kCtrlUp)) {
    app->m_pauseSel = -1;
    app->m_keyLock = 1;
    app->p_PlaySFX(kSfxConfirm, 0.8f, 0.5f, 0);
  } else if (Held(app, kCtrlRight)) {
    app->m_pauseSel = 1;
    app->m_keyLock = 1;
    app->p_PlaySFX(kSfxConfirm, 1.2f, 0.5f, 0);
  }
}

// The top corners of the panel, where quit (left) and the gear (right) sit.
float CornerY(c_MyApp* app, float P) { return app->m_landscape ? P - 64 : P - 96; }

// 7. Quit, top left: a tap, or fire while chosen, ends the game into the
// game-over sequence; right or down go back to continue.
void QuitItem(c_MyApp* app, float P) {
  const float W = vx_Quorvex_jscrw;
  const float quitX = app->m_landscape ? (float)(int)(0.5f * W - 140) : (float)(int)(0.5f * W - 96);
  const float quitY = CornerY(app, P);
  app->p_SetSize(2, kNotGiven);
  app->p_SetCol(255, 50, 50, 1);
  bool quit = app->p_Button(kImgIcons, quitX, quitY, 1) && app->m_tapLock == 0;
  if (quit) app->m_tapLock = 1;
  if (app->m_pauseSel == -1) {
    DrawChosen(app, quitX, quitY);
    if (app->m_keyLock == 0 && !quit) {
      if (Held(app, kCtrlFire)) {
        quit = true;
        app->m_keyLock = 1;
      } else if (Held(app, kCtrlRight) || Held(app, kCtrlDown)) {
        app->m_pauseSel = 0;
        app->m_keyLock = 1;
        app->p_PlaySFX(kSfxConfirm, 0.8f, 0.5f, 0);
      }
    }
  }
  if (!quit) return;
  app->m_paused = 0;
  app->m_pauseState = -1;
  app->m_pausePanelY = -64;
  app->m_gameOver = 1;
  app->m_tapLock = 1;
  app->p_PlaySFX(kSfxConfirm, 0.5f, 0.5f, 0);
}

// 8. The options gear, top right: a tap, or fire while chosen, opens the
// options over the paused game; left or down go back to continue.
void OptionsItem(c_MyApp* app, float P) {
  const float W = vx_Quorvex_jscrw;
  const float gearX = app->m_landscape ? 0.5f * W + 140 : 0.5f * W + 96;
  const float gearY = CornerY(app, P);
  app->p_SetSize(1, kNotGiven);
  app->p_SetCol(255, 255, 255, 1);
  if (app->m_showOptions == 0) app->m_menuSpin += 0.2f;
  if (DrawGear(app, gearX, gearY, app->m_menuSpin) && app->m_tapLock == 0) {
    app->m_showOptions = 1;
    app->m_tapLock = 1;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  if (app->m_pauseSel != 1) return;
  DrawChosen(app, gearX, gearY);
  if (app->m_keyLock != 0) return;
  if (Held(app, kCtrlFire)) {
    app->m_showOptions = 1;
    app->m_keyLock = 1;
    app->p_PlaySFX(kSfxConfirm, 1, 0.5f, 0);
  } else if (Held(app, kCtrlLeft) || Held(app, kCtrlDown)) {
    app->m_pauseSel = 0;
    app->m_keyLock = 1;
    app->p_PlaySFX(kSfxConfirm, 0.8f, 0.5f, 0);
  }
}

// 9. Back continues the game.
void BackContinues(c_MyApp* app) {
  if (!Held(app, kCtrlBack) || app->m_keyLock != 0) return;
  app->m_keyLock = 1;
  app->m_paused = 1;
  app->m_pauseState = -1;
  app->p_PlaySFX(kSfxConfirm, 1, 0.5f, 0);
}

}  // namespace

void c_MyApp::p_OptionBox() {
  const float slide = (float)m_optionsSlide;

  // 1-2. The menu or game underneath must not react; no input until fully in.
  const bool free = TakeInput(this);

  // 3. The panel rises from below the screen.
  DrawPanel(this, slide);

  // 4-5. The close gear and its label.
  CloseGear(this, slide, free);

  // 6. Television overscan border.
  if (vx_Quorvex_isOuya == 1) PanelOverscan(this, slide);

  // 7. The lines, numbered from 1 in screen order.
  const int lastLine = DrawLines(this, slide);

  // 8. Cursor keys.
  CursorKeys(this, lastLine);

  // 9. The panel's own locks clear once everything is released.
  ReleaseLocks(this);
  p_ResetDraw();
}

// Every action of the panel locks both its inputs and clicks.
void c_MyApp::p_OptionActed() {
  m_optKeyLock = 1;
  m_optTapLock = 1;
  p_PlaySFX(kSfxClick, 1, 1, 0);
}

void c_MyApp::p_OptionClose() {
  m_showOptions = 0;
  m_optKeyLock = 1;
  m_optTapLock = 1;
  p_PlaySFX(kSfxClick, 1, 1, 0);
  p_Save();
}

void c_MyApp::p_PauseMenu() {
  // 1. Shade, darker the further the panel is in.
  Shade(this);

  // 2. Motion: in to the middle, out above the screen.
  MovePanel(this);
  const float P = (float)m_pausePanelY;

  // 3. The panel.
  DrawPausePanel(this, P);

  // 4. Television overscan border.
  if (vx_Quorvex_isOuya == 1) PauseOverscan(this, P);

  // 5-6. Continue.
  ContinueItem(this, P);

  // 7. Quit.
  QuitItem(this, P);

  // 8. The options gear.
  OptionsItem(this, P);

  // 9. Back continues the game.
  BackContinues(this);
  p_ResetDraw();
}

void c_MyApp::p_OuyaQuit() {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  p_CLS2D(180, 180, 180, -1);
  p_SetSize(3, kNotGiven);
  p_DrawImg(kImgTestCard, 0.5f * W, 0.5f * H, 0);

  struct Line {
    const char* text;
    float size;
    int dy;
  };
  static const Line kLines[8] = {
      {"It looks like you're", 3, 0},     {"trying to QUIT!", 3, 32},
      {"Are you absolutely sure", 2, 68}, {"you want to quit the game?", 2, 88},
      {"Isn't this fun?", 2, 116},        {"It'll be a shame to see you go.", 2, 154},
      {"Press (A) to Quit", 2, 192},      {"or (O) to return to the fun!", 2, 212},
  };
  const float x = (float)(int)(0.65f * W);
  const int y0 = (int)(0.3f * H);
  p_SetCol(255, 255, 255, 1);
  for (const Line& l : kLines) {
    p_SetSize(l.size, kNotGiven);
    p_Text(x, (float)(y0 + l.dy), String(l.text), 1, 1);
  }
  p_SetSize(1, kNotGiven);

  if (m_tapLock == 0 && m_keyLock == 0) {
    if (Held(this, kCtrlFire)) {
      m_gameMode = kModeMenu;
      m_tapLock = 1;
      m_keyLock = 1;
    } else if (Held(this, kCtrlButton2) || Held(this, kCtrlButton3) || Held(this, kCtrlBack)) {
      vx_app_EndApp();
    }
  }
}

void c_MyApp::p_iCade(int on) {
  if (on == 1) {
    vx_input_EnableKeyboard();
    vx_Quorvex_iCadeControls = 1;
    // Characters typed before the switch are not iCade buttons.
    while ((m_lastChar = vx_input_GetChar()) != 0) {
    }
  } else if (on == 0) {
    vx_input_DisableKeyboard();
    vx_Quorvex_iCadeControls = 0;
    ClearControls(*this);
  }
}

void c_MyApp::p_FullscreenFlip() {
  if (!SwitchFullscreen(*this)) return;
  // Kept at once: closing the window, the usual way out, saves nothing.
  m_opt[kOptFullscreen] = m_fullscreen;
  p_Save();
}

bool SwitchFullscreen(c_MyApp& app) {
  VxGlfwVideoMode* desktop = vx_app_DesktopMode();
  if (!desktop) return false;
  app.m_fullscreen = 1 - app.m_fullscreen;
  if (app.m_fullscreen)
    vx_app_OpenWindow(desktop->width, desktop->height, desktop->red, desktop->green, desktop->blue,
                      true);
  else vx_app_OpenWindow(640, 480, desktop->red, desktop->green, desktop->blue, false);
  return true;
}
