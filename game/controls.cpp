// Input as the screens see it: the pointer and touch points in virtual pixels,
// the logical controls answered by p_PlayKey (keyboard, joystick buttons and
// stick, iCade characters and on-screen presses merged), the key lock, and the
// touch-device aids (on-screen pad, tilt readout) that stay off on the desktop.
#include <cstdlib>

#include "framework/graphics.h"
#include "framework/input.h"
#include "game/helpers.h"

namespace {

// Keyboard keys, joystick buttons and m_ctrl entries of one logical control.
struct Control {
  int number;
  int keys[4];     // 0 ends the list
  bool letter[4];  // letter keys are iCade characters while the iCade is on
  int buttons[3];  // -1 ends the list
  int ctrl[3];     // -1 ends the list
};

const Control kControls[] = {
    {0, {38, 87, 0, 0}, {false, true, false, false}, {9, -1, -1}, {0, -1, -1}},
    {3, {37, 65, 0, 0}, {false, true, false, false}, {8, -1, -1}, {3, -1, -1}},
    {5, {39, 68, 0, 0}, {false, true, false, false}, {10, -1, -1}, {5, -1, -1}},
    {8, {40, 83, 0, 0}, {false, true, false, false}, {11, -1, -1}, {8, -1, -1}},
    {10, {90, 74, 32, 13}, {true, true, false, false}, {0, -1, -1}, {10, -1, -1}},
    {11, {88, 75, 17, 0}, {true, true, false, false}, {1, -1, -1}, {11, -1, -1}},
    {12, {67, 76, 16, 0}, {true, true, false, false}, {2, -1, -1}, {12, -1, -1}},
    {13, {86, 73, 0, 0}, {true, true, false, false}, {3, -1, -1}, {13, -1, -1}},
    {14, {66, 85, 0, 0}, {true, true, false, false}, {4, -1, -1}, {14, -1, -1}},
    {15, {78, 79, 0, 0}, {true, true, false, false}, {5, -1, -1}, {15, -1, -1}},
    // Key 192 counts as a letter: the iCade sends it too.
    {99, {27, 192, 46, 8}, {false, true, false, false}, {6, 7, 14}, {16, 17, 19}},
};

const Control* Find(int control) {
  for (const Control& c : kControls)
    if (c.number == control) return &c;
  return nullptr;
}

// The stick of a player as a direction, beyond 0.4 either way (y up is positive).
bool StickPoints(int control, int player) {
  const float x = vx_input_JoyX(0, player), y = vx_input_JoyY(0, player);
  switch (control) {
    case kCtrlUp:
      return y > 0.4f;
    case kCtrlLeft:
      return x < -0.4f;
    case kCtrlRight:
      return x > 0.4f;
    case kCtrlDown:
      return y < -0.4f;
    default:
      return false;
  }
}

// The controls whose release clears the key lock.
const int kLockControls[] = {kCtrlUp,   kCtrlLeft,    kCtrlRight,   kCtrlDown,
                             kCtrlFire, kCtrlButton2, kCtrlButton3, kCtrlButton4,
                             kCtrlL1,   kCtrlR1,      kCtrlBack};

// iCade characters: the held letter sets 2, the release letter 0.
struct ICadeKey {
  char held, released;
  int ctrl;
};
const ICadeKey kICade[] = {{'W', 'E', 0},  {'X', 'Z', 8},  {'A', 'Q', 3},  {'D', 'C', 5},
                           {'H', 'R', 10}, {'J', 'N', 11}, {'K', 'P', 12}, {'Y', 'T', 13},
                           {'U', 'F', 14}, {'I', 'M', 15}, {'O', 'G', 16}, {'L', 'V', 17}};

}  // namespace

int c_MyApp::p_PlayKey(int control, int mode, int player) {
  if (player < -1) return 0;
  const Control* c = Find(control);
  if (!c) return 0;
  const bool icade = vx_Quorvex_iCadeControls == 1;

  // On a television the back control is the platform's back key alone.
  if (control == kCtrlBack && vx_Quorvex_isOuya == 1) return m_ctrl[kCtrlBackKey] != 0 ? 1 : 0;

  for (int i = 0; i < 4 && c->keys[i] != 0; ++i) {
    if (icade && c->letter[i]) continue;
    if (vx_input_KeyDown(c->keys[i])) return 1;
  }
  for (int i = 0; i < 3 && c->ctrl[i] >= 0; ++i)
    if (m_ctrl[c->ctrl[i]] != 0) return 1;
  if (player < 0) return 0;  // -1: keyboard and on-screen presses only
  for (int i = 0; i < 3 && c->buttons[i] >= 0; ++i)
    if (vx_input_KeyDown(256 + 32 * player + c->buttons[i])) return 1;
  if (mode == 1 && !icade && StickPoints(control, player)) return 1;
  return 0;
}

int c_MyApp::p_PlayKeyAll(int control, int mode) {
  int sum = 0;
  for (int p = 0; p < 4; ++p) sum += p_PlayKey(control, mode, p);
  return sum;
}

void c_MyApp::p_PointerStep() {
  const float b = vx_Quorvex_overscan;
  const int dw = vx_graphics_DeviceWidth(), dh = vx_graphics_DeviceHeight();
  const float by = dw > 0 ? b * (float)dh / (float)dw : 0.0f;
  // Before the first render there is no scale yet: take the design's.
  const float kx = m_scaleX > 0 ? m_scaleX : 1.0f, ky = m_scaleY > 0 ? m_scaleY : 1.0f;

  m_mouseOldX = m_mouseX;
  m_mouseOldY = m_mouseY;
  m_mouseX = (int)((vx_input_MouseX() - b) / kx);
  m_mouseY = (int)((vx_input_MouseY() - by) / ky);
  const bool down = vx_input_KeyDown(kKeyMouseLeft) != 0;
  // A fresh press never reports movement.
  if (m_mouseWasDown == 0 && down) {
    m_mouseOldX = m_mouseX;
    m_mouseOldY = m_mouseY;
  }
  m_mouseDown = down ? 1 : 0;
  m_mouseHit = vx_input_KeyHit(kKeyMouseLeft);
  for (int i = 0; i < 10; ++i) {
    m_touchDown[i] = 0;
    m_touchX[i] = kPointUp;
    m_touchY[i] = kPointUp;
    if (vx_input_KeyDown(kKeyTouch0 + i)) {
      m_touchDown[i] = 1;
      m_touchX[i] = (int)((vx_input_TouchX(i) - b) / kx);
      m_touchY[i] = (int)((vx_input_TouchY(i) - by) / ky);
      m_mouseDown = 1;
    }
  }
  m_mouseWasDown = down ? 1 : 0;
  if (m_mouseDown == 0) m_tapLock = 0;
}

void c_MyApp::p_KeyLockStep() {
  bool held = false;
  for (int p = 0; p < 4 && !held; ++p)
    for (int control : kLockControls)
      if (p_PlayKey(control, 1, p)) {
        held = true;
        break;
      }
  if (!held) {
    m_keyLock = 0;
  } else if (m_keyLock == 0 && m_tapLock == 0 && p_PlayKeyAll(kCtrlBack, 1) > 0 &&
             m_gameMode == kModeMenu && (m_showCredits || m_showOptions || m_showBadges)) {
    // Back closes the credits or badges panel once, until every control is released.
    m_showCredits = 0;
    m_showBadges = 0;
    m_keyLock = 1;
    m_tapLock = 1;
  }
  if (m_showOptions == 1) {
    m_keyLock = 1;
    m_tapLock = 1;
  }
}

void c_MyApp::p_ICadeStep() {
  for (;;) {
    const int ch = vx_input_GetChar();
    m_lastChar = ch;
    if (ch == 0) break;
    const int upper = (ch >= 'a' && ch <= 'z') ? ch - 32 : ch;
    for (const ICadeKey& k : kICade) {
      if (upper == k.held) m_ctrl[k.ctrl] = 2;
      if (upper == k.released) m_ctrl[k.ctrl] = 0;
    }
  }
}

void c_MyApp::p_ClearOneShots() {
  for (int i = 0; i <= kLastOneShot; ++i)
    if (m_ctrl[i] == 1) m_ctrl[i] = 0;
}

void c_MyApp::p_OnScreenPad() {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  p_SetRot(0);
  p_SetCol(255, 255, 255);
  p_Blend(1);
  p_Alpha(0.6f);
  m_opt[kOptPadX] = Clamp(m_opt[kOptPadX], 32, (int)W - 32);
  m_opt[kOptPadY] = Clamp(m_opt[kOptPadY], 32, (int)H - 32);
  m_opt[kOptPadSize] = Clamp(m_opt[kOptPadSize], 8, 25);
  m_padX = m_opt[kOptPadX];
  m_padY = (int)H - m_opt[kOptPadY];
  m_padScale = (float)m_opt[kOptPadSize] / 10.0f;
  const float s = m_padScale, px = (float)m_padX, py = (float)m_padY;
  p_SetSize(s);
  const bool live = m_paused == 0;
  if (p_Button(kImgDPad, px - 32 * s, py, 4) && live) m_ctrl[kCtrlLeft] = 1;
  if (p_Button(kImgDPad, px, py - 32 * s, 1) && live) m_ctrl[kCtrlUp] = 1;
  if (p_Button(kImgDPad, px, py + 32 * s, 9) && live) m_ctrl[kCtrlDown] = 1;
  if (p_Button(kImgDPad, px + 32 * s, py, 6) && live) m_ctrl[kCtrlRight] = 1;
  p_DrawImg(kImgDPad, px, py, 5);

  // While paused the pad can be dragged and pinched to a new size.
  if (m_paused == 1) {
    p_SetSize(3);
    const bool grabbed = p_Button0(kImgDPad, px, py, 0);
    if (grabbed && m_touchDown[1] == 0) {
      m_opt[kOptPadX] = m_touchX[0];
      m_opt[kOptPadY] = (int)H - m_touchY[0];
    }
    if (m_touchDown[1] == 0) {
      m_pinching = 0;
      m_pinchLast = 0;
    }
    if (m_touchDown[0] != 0 && m_touchDown[1] != 0) {
      const int d = -std::abs(m_touchX[0] - m_touchX[1]) / 16;
      if (m_pinching == 1) m_opt[kOptPadSize] += m_pinchLast - d;
      m_pinchLast = d;
      m_pinching = 1;
    }
  }
  p_SetSize(1.5f * s);
  if (p_Button(kImgDPad, W - (px - 24 * s), py - 24 * s, 0)) m_ctrl[kCtrlFire] = 1;
  if (p_Button(kImgDPad, W - (px + 24 * s), py + 24 * s, 0)) m_ctrl[kCtrlButton2] = 1;
  p_SetSize(1);
}

void c_MyApp::p_TiltReadout() {
  const float H = vx_Quorvex_jscrh;
  m_tiltX = vx_input_AccelX() - m_tiltCentreX;
  m_tiltY = vx_input_AccelY() - m_tiltCentreY;
  m_tiltSmoothX += (m_tiltX - m_tiltSmoothX) * 0.25f;
  if (m_tiltSmoothX - m_tiltX < 0.005f && m_tiltX - m_tiltSmoothX < 0.005f) m_tiltSmoothX = m_tiltX;
  m_tiltSmoothY += (m_tiltY - m_tiltSmoothY) * 0.25f;
  if (m_tiltSmoothY - m_tiltY < 0.005f && m_tiltY - m_tiltSmoothY < 0.005f) m_tiltSmoothY = m_tiltY;
  p_SetCol(255, 255, 255, 0.8f);
  p_SetSize(1.5f);
  if (p_Button(kImgIcons, 24, H - 24, 7)) {
    m_tiltCentreX = vx_input_AccelX();
    m_tiltCentreY = vx_input_AccelY();
  }
  p_SetSize(1);
  p_SetCol(100, 255, 100, 0.6f);
  p_Oval(24 + 20 * m_tiltSmoothX, H - 24 + 20 * m_tiltSmoothY, 4, 4);
}
