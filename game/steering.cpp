// Ship steering: the ship only runs along its ring, so every input comes down
// to one turn in degrees per update. Keys give a digital turn that speeds up
// and coasts; a joystick stick or a drag gives a direction, and the ship turns
// the short way toward the ring point that lies that way.
//
// p_AnalogueControl refreshes the stick once per update, after p_Turn has used
// the previous update's stick, so input reaches the ship one update late.
#include <cmath>

#include "framework/input.h"
#include "game/helpers.h"

namespace {

constexpr float kDragRange = 72.0f;  // pixels of drag for a full stick
constexpr float kDragDeadZone = 0.1f;
constexpr int kAnchorSlack = 64;  // the anchor follows a pointer this far away
constexpr int kAnchorStep = 4;
constexpr float kKeyStep = 0.15f;  // per update while a key is held
constexpr float kKeyCoast = 0.2f;  // back toward rest once released
constexpr float kMaxTurn = 6.0f;

// One axis of the key stick: held keys push it, released keys let it coast
// back to rest. Returns true when a rule ran, so the stick takes the key value.
bool KeyAxis(float& value, bool negative, bool positive) {
  bool ran = false;
  if (negative) {
    value -= kKeyStep;
    ran = true;
  }
  if (positive) {
    value += kKeyStep;
    ran = true;
  }
  if (value < 0.0f && !negative) {
    value = value + kKeyCoast > 0.0f ? 0.0f : value + kKeyCoast;
    ran = true;
  }
  if (value > 0.0f && !positive) {
    value = value - kKeyCoast < 0.0f ? 0.0f : value - kKeyCoast;
    ran = true;
  }
  return ran;
}

// The anchor of a drag trails a pointer that has wandered far off, so the
// stick saturates but slowly recentres.
int Trail(int anchor, int pointer) {
  if (pointer - anchor > kAnchorSlack) return anchor + kAnchorStep;
  if (anchor - pointer > kAnchorSlack) return anchor - kAnchorStep;
  return anchor;
}

}  // namespace

void c_MyApp::p_AnalogueControl() {
  m_stickX = 0.0f;
  m_stickY = 0.0f;
  m_steerMode = 2;

  // Drag stick.
  if (m_mouseDown == 0) {
    m_stickAnchorX = -1;
  } else if (m_stickAnchorX < 0) {
    m_stickAnchorX = m_mouseX;
    m_stickAnchorY = m_mouseY;
  } else {
    m_stickX = (float)(m_mouseX - m_stickAnchorX) / kDragRange;
    m_stickY = (float)(m_mouseY - m_stickAnchorY) / kDragRange;
    if (std::fabs(m_stickX) < kDragDeadZone && std::fabs(m_stickY) < kDragDeadZone) {
      m_stickX = 0.0f;
      m_stickY = 0.0f;
    }
    m_stickAnchorX = Trail(m_stickAnchorX, m_mouseX);
    m_stickAnchorY = Trail(m_stickAnchorY, m_mouseY);
    if (m_stickAnchorX < 0) {
      m_stickAnchorX = m_mouseX;
      m_stickAnchorY = m_mouseY;
    }
  }
  if (m_mouseDown != 0 && m_stickAnchorX >= 0) {
    p_SetCol(0.0f, 100.0f, 250.0f, 0.25f);
    p_Oval((float)m_stickAnchorX, (float)m_stickAnchorY, 12.0f, 12.0f);
    p_Oval((float)m_mouseX, (float)m_mouseY, 8.0f, 8.0f);
  }

  // Joystick 0, first stick (its y grows upward, ours downward).
  const float jx = vx_input_JoyX(0, 0);
  const float jy = vx_input_JoyY(0, 0);
  if (std::fabs(jx) > 0.2f || std::fabs(jy) > 0.2f) {
    m_stickX = jx;
    m_stickY = -jy;
    m_steerMode = 2;
  } else if (m_mouseDown == 0) {
    m_steerMode = 1;
  }

  // Keys: up, down, left, right of player 0, without the stick.
  const bool up = p_PlayKey(kCtrlUp, 0, 0) != 0;
  const bool down = p_PlayKey(kCtrlDown, 0, 0) != 0;
  const bool left = p_PlayKey(kCtrlLeft, 0, 0) != 0;
  const bool right = p_PlayKey(kCtrlRight, 0, 0) != 0;
  if (KeyAxis(m_keyStickY, up, down)) m_stickY = m_keyStickY;
  if (KeyAxis(m_keyStickX, left, right)) m_stickX = m_keyStickX;

  m_stickX = Clamp(m_stickX, -1.0f, 1.0f);
  m_stickY = Clamp(m_stickY, -1.0f, 1.0f);
  m_keyStickX = Clamp(m_keyStickX, -1.0f, 1.0f);
  m_keyStickY = Clamp(m_keyStickY, -1.0f, 1.0f);

  if ((std::fabs(m_stickX) > 0.05f || std::fabs(m_stickY) > 0.05f) && vx_Quorvex_DebugMode == 1) {
    const float cx = vx_Quorvex_jscrw - 64.0f, cy = vx_Quorvex_jscrh - 64.0f;
    p_SetCol(0.0f, 180.0f, 250.0f, 0.5f);
    p_Oval(cx, cy, 12.0f, 12.0f);
    p_Oval(cx + 52.0f * m_stickX, cy + 52.0f * m_stickY, 8.0f, 8.0f);
  }
}

float c_MyApp::p_Turn() {
  if (m_steerMode == 1) {
    // Left (negative x) turns clockwise: a ship at the bottom moves left.
    return Clamp(-kMaxTurn * m_stickX, -kMaxTurn, kMaxTurn);
  }
  if (m_steerMode != 2) return 0.0f;
  if (std::fabs(m_stickX) <= 0.15f && std::fabs(m_stickY) <= 0.15f) return 0.0f;
  const int target = (int)(std::atan2((double)m_stickX, (double)-m_stickY) * 57.29577951308232);
  const int d = m_WhichWayDoIGo(m_player[kShipAngle], (float)target, 0, 359);
  if (std::abs(d) < 2) {
    m_player[kShipAngle] = (float)target;  // close enough: snap onto the aim
    return 0.0f;
  }
  return Clamp((float)d, -kMaxTurn, kMaxTurn);
}

int c_MyApp::m_WhichWayDoIGo(float a, float b, int lo, int hi) {
  const int span = hi - lo;
  const float n = (float)(span + 1);
  if (n <= 0.0f) return 0;  // an empty range has no way to go
  float a1 = std::fmod(a, n);
  if (a1 < 0.0f) a1 += n;
  float b1 = std::fmod(b, n);
  if (b1 < 0.0f) b1 += n;
  float e = std::fmod(b1 - a1, n);
  if (e < 0.0f) e += n;
  const float v = (float)lo + e;
  if (v <= (float)(lo + span / 2)) return (int)v;
  return (int)(-((float)span - v));
}
