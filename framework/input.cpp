// The input device: held flags and per-update hit counts for 512 key codes, the
// character queue, pointer, touch and accelerometer state, and the joystick
// poll at the start of each update.
//
// Events with a key code outside 1..511 or a touch index outside 0..31 are
// ignored: a host that sent one would otherwise write past the arrays.
#include "framework/input.h"

#include "framework/app.h"

c_InputDevice* vx_input_device = nullptr;

namespace {

constexpr int kKeys = 512;
constexpr int kHitQueue = 33;
constexpr int kCharQueue = 32;
constexpr int kTouches = 32;
constexpr int kJoysticks = 4;
constexpr int kJoyButtons = 32;
constexpr int kJoyBase = 256;
constexpr int kTouchBase = 384;

bool ValidKey(int key) { return key > 0 && key < kKeys; }
bool ValidTouch(int i) { return i >= 0 && i < kTouches; }

}  // namespace

c_JoyState::c_JoyState() {
  gc_assign(m_joyx, Array<float>(2));
  gc_assign(m_joyy, Array<float>(2));
  gc_assign(m_joyz, Array<float>(2));
  gc_assign(m_buttons, Array<bool>(kJoyButtons));
}

c_JoyState* c_JoyState::m_new() { return this; }

void c_JoyState::mark() {
  Object::mark();
  gc_mark_q(m_joyx);
  gc_mark_q(m_joyy);
  gc_mark_q(m_joyz);
  gc_mark_q(m_buttons);
}

c_InputDevice::c_InputDevice() {
  gc_assign(m__joyStates, Array<c_JoyState*>(kJoysticks));
  gc_assign(m__keyDown, Array<bool>(kKeys));
  gc_assign(m__keyHitQueue, Array<int>(kHitQueue));
  gc_assign(m__keyHit, Array<int>(kKeys));
  gc_assign(m__charQueue, Array<int>(kCharQueue));
  gc_assign(m__touchX, Array<float>(kTouches));
  gc_assign(m__touchY, Array<float>(kTouches));
}

c_InputDevice* c_InputDevice::m_new() {
  for (int j = 0; j < kJoysticks; ++j) gc_assign(m__joyStates[j], (new c_JoyState())->m_new());
  return this;
}

void c_InputDevice::mark() {
  Object::mark();
  gc_mark_q(m__joyStates);
  gc_mark_q(m__keyDown);
  gc_mark_q(m__keyHitQueue);
  gc_mark_q(m__keyHit);
  gc_mark_q(m__charQueue);
  gc_mark_q(m__touchX);
  gc_mark_q(m__touchY);
}

int c_InputDevice::p_PutKeyHit(int key) {
  if (m__keyHitPut == kHitQueue) return 0;  // full: the hit is dropped
  m__keyHit[key] += 1;
  m__keyHitQueue[m__keyHitPut] = key;
  m__keyHitPut += 1;
  return 0;
}

int c_InputDevice::p_BeginUpdate() {
  for (int j = 0; j < kJoysticks; ++j) {
    c_JoyState* joy = m__joyStates[j];
    if (!joy) break;
    if (!vx_app__game ||
        !vx_app__game->PollJoystick(j, joy->m_joyx, joy->m_joyy, joy->m_joyz, joy->m_buttons)) {
      break;  // joysticks after the first missing one are not polled
    }
    for (int b = 0; b < kJoyButtons; ++b) {
      const int key = kJoyBase + j * kJoyButtons + b;
      if (joy->m_buttons[b]) {
        if (!m__keyDown[key]) {
          m__keyDown[key] = true;
          p_PutKeyHit(key);
        }
      } else {
        m__keyDown[key] = false;
      }
    }
  }
  return 0;
}

int c_InputDevice::p_EndUpdate() {
  for (int i = 0; i < m__keyHitPut; ++i) m__keyHit[m__keyHitQueue[i]] = 0;
  m__keyHitPut = 0;
  m__charGet = 0;
  m__charPut = 0;
  return 0;
}

int c_InputDevice::p_KeyEvent(int event, int data) {
  switch (event) {
    case kVxKeyDown:
      if (!ValidKey(data) || m__keyDown[data]) break;
      m__keyDown[data] = true;
      p_PutKeyHit(data);
      // The left button and the first touch are one pointer: press both.
      if (data == 1 || data == kTouchBase) {
        const int other = data == 1 ? kTouchBase : 1;
        m__keyDown[other] = true;
        p_PutKeyHit(other);
      }
      break;
    case kVxKeyUp:
      if (!ValidKey(data) || !m__keyDown[data]) break;
      m__keyDown[data] = false;
      if (data == 1) m__keyDown[kTouchBase] = false;
      if (data == kTouchBase) m__keyDown[1] = false;
      break;
    case kVxKeyChar:
      if (m__charPut < kCharQueue) {
        m__charQueue[m__charPut] = data;
        m__charPut += 1;
      }
      break;
    default:
      break;
  }
  return 0;
}

int c_InputDevice::p_MouseEvent(int event, int data, float x, float y) {
  switch (event) {
    case kVxMouseDown:
      p_KeyEvent(kVxKeyDown, data + 1);
      break;
    case kVxMouseUp:
      p_KeyEvent(kVxKeyUp, data + 1);
      return 0;
    case kVxMouseMove:
      break;
    default:
      return 0;
  }
  m__mouseX = x;
  m__mouseY = y;
  m__touchX[0] = x;
  m__touchY[0] = y;
  return 0;
}

int c_InputDevice::p_TouchEvent(int event, int data, float x, float y) {
  if (!ValidTouch(data)) return 0;
  switch (event) {
    case kVxTouchDown:
      p_KeyEvent(kVxKeyDown, kTouchBase + data);
      break;
    case kVxTouchUp:
      p_KeyEvent(kVxKeyUp, kTouchBase + data);
      return 0;
    case kVxTouchMove:
      break;
    default:
      return 0;
  }
  m__touchX[data] = x;
  m__touchY[data] = y;
  if (data == 0) {
    m__mouseX = x;
    m__mouseY = y;
  }
  return 0;
}

int c_InputDevice::p_MotionEvent(int event, int data, float x, float y, float z) {
  (void)data;
  if (event == kVxMotionAccel) {
    m__accelX = x;
    m__accelY = y;
    m__accelZ = z;
  }
  return 0;
}

int c_InputDevice::p_SetKeyboardEnabled(bool on) {
  if (vx_app__game) vx_app__game->SetKeyboardEnabled(on);
  return 1;
}

int c_InputDevice::p_KeyDown(int key) { return ValidKey(key) && m__keyDown[key] ? 1 : 0; }

int c_InputDevice::p_KeyHit(int key) { return ValidKey(key) ? m__keyHit[key] : 0; }

int c_InputDevice::p_GetChar() {
  if (m__charGet == m__charPut) return 0;
  const int c = m__charQueue[m__charGet];
  m__charGet += 1;
  return c;
}

float c_InputDevice::p_MouseX() { return m__mouseX; }
float c_InputDevice::p_MouseY() { return m__mouseY; }
// Negative indexes read 0 too: they would read before the arrays.
float c_InputDevice::p_TouchX(int i) { return ValidTouch(i) ? m__touchX[i] : 0.0f; }
float c_InputDevice::p_TouchY(int i) { return ValidTouch(i) ? m__touchY[i] : 0.0f; }

float c_InputDevice::p_JoyX(int index, int unit) {
  if (unit < 0 || unit >= kJoysticks || index < 0 || index > 1 || !m__joyStates[unit]) return 0;
  return m__joyStates[unit]->m_joyx[index];
}

float c_InputDevice::p_JoyY(int index, int unit) {
  if (unit < 0 || unit >= kJoysticks || index < 0 || index > 1 || !m__joyStates[unit]) return 0;
  return m__joyStates[unit]->m_joyy[index];
}

float c_InputDevice::p_AccelX() { return m__accelX; }
float c_InputDevice::p_AccelY() { return m__accelY; }

int vx_input_SetInputDevice(c_InputDevice* dev) {
  gc_assign(vx_input_device, dev);
  return 0;
}

int vx_input_KeyDown(int key) { return vx_input_device ? vx_input_device->p_KeyDown(key) : 0; }
int vx_input_KeyHit(int key) { return vx_input_device ? vx_input_device->p_KeyHit(key) : 0; }
int vx_input_GetChar() { return vx_input_device ? vx_input_device->p_GetChar() : 0; }

int vx_input_EnableKeyboard() {
  if (vx_app__game) vx_app__game->SetKeyboardEnabled(true);
  return 1;
}

int vx_input_DisableKeyboard() {
  if (vx_app__game) vx_app__game->SetKeyboardEnabled(false);
  return 1;
}

float vx_input_MouseX() { return vx_input_device ? vx_input_device->p_MouseX() : 0.0f; }
float vx_input_MouseY() { return vx_input_device ? vx_input_device->p_MouseY() : 0.0f; }

int vx_input_MouseDown(int button) { return vx_input_KeyDown(button + 1); }
int vx_input_MouseHit(int button) { return vx_input_KeyHit(button + 1); }

int vx_input_TouchDown(int i) { return vx_input_KeyDown(kTouchBase + i); }

float vx_input_TouchX(int i) { return vx_input_device ? vx_input_device->p_TouchX(i) : 0.0f; }
float vx_input_TouchY(int i) { return vx_input_device ? vx_input_device->p_TouchY(i) : 0.0f; }

int vx_input_JoyDown(int button, int unit) {
  return vx_input_KeyDown(kJoyBase | (unit * 32) | button);
}
int vx_input_JoyHit(int button, int unit) {
  return vx_input_KeyHit(kJoyBase | (unit * 32) | button);
}

float vx_input_JoyX(int index, int unit) {
  return vx_input_device ? vx_input_device->p_JoyX(index, unit) : 0.0f;
}
float vx_input_JoyY(int index, int unit) {
  return vx_input_device ? vx_input_device->p_JoyY(index, unit) : 0.0f;
}

float vx_input_AccelX() { return vx_input_device ? vx_input_device->p_AccelX() : 0.0f; }
float vx_input_AccelY() { return vx_input_device ? vx_input_device->p_AccelY() : 0.0f; }
