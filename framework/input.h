// The input module: keys, characters, mouse, touch, accelerometer and the
// per-update joystick poll folded into one device with 512 key codes, each
// with a held flag and a hit count for the current update.
//
// Left out: key repeat (a held key counts one hit) and any mapping of keys to
// game controls (the game does that).
#pragma once

#include "runtime/runtime.h"

class c_JoyState : public Object {
 public:
  Array<float> m_joyx;
  Array<float> m_joyy;
  Array<float> m_joyz;
  Array<bool> m_buttons;

  c_JoyState();
  c_JoyState* m_new();
  void mark() override;
};

class c_InputDevice : public Object {
 public:
  Array<c_JoyState*> m__joyStates;
  Array<bool> m__keyDown;
  int m__keyHitPut = 0;
  Array<int> m__keyHitQueue;
  Array<int> m__keyHit;
  int m__charGet = 0;
  int m__charPut = 0;
  Array<int> m__charQueue;
  float m__mouseX = 0;
  float m__mouseY = 0;
  Array<float> m__touchX;
  Array<float> m__touchY;
  float m__accelX = 0;
  float m__accelY = 0;
  float m__accelZ = 0;

  c_InputDevice();
  c_InputDevice* m_new();
  void mark() override;

  int p_PutKeyHit(int key);
  int p_BeginUpdate();
  int p_EndUpdate();
  int p_KeyEvent(int event, int data);
  int p_MouseEvent(int event, int data, float x, float y);
  int p_TouchEvent(int event, int data, float x, float y);
  int p_MotionEvent(int event, int data, float x, float y, float z);
  int p_SetKeyboardEnabled(bool on);

  int p_KeyDown(int key);
  int p_KeyHit(int key);
  int p_GetChar();
  float p_MouseX();
  float p_MouseY();
  float p_TouchX(int i);
  float p_TouchY(int i);
  float p_JoyX(int index, int unit);
  float p_JoyY(int index, int unit);
  float p_AccelX();
  float p_AccelY();
};

extern c_InputDevice* vx_input_device;

int vx_input_SetInputDevice(c_InputDevice* dev);
int vx_input_KeyDown(int key);
int vx_input_KeyHit(int key);
int vx_input_GetChar();
int vx_input_EnableKeyboard();
int vx_input_DisableKeyboard();
float vx_input_MouseX();
float vx_input_MouseY();
int vx_input_MouseDown(int button);
int vx_input_MouseHit(int button);
int vx_input_TouchDown(int i);
float vx_input_TouchX(int i);
float vx_input_TouchY(int i);
int vx_input_JoyDown(int button, int unit);
int vx_input_JoyHit(int button, int unit);
float vx_input_JoyX(int index, int unit);
float vx_input_JoyY(int index, int unit);
float vx_input_AccelX();
float vx_input_AccelY();
