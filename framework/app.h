// The application base class, the host's delegate and the app module: one
// application per process; the delegate creates the devices, brackets every
// update and frame with the input and graphics bookkeeping and routes host
// events into the input device. The close (432) and back (416) keys end the
// program at once.
//
// Left out: saving on exit (EndApp saves nothing) and any host of our own.
#pragma once

#include "host/platform/game.h"
#include "runtime/runtime.h"

class gxtkGraphics;
class gxtkAudio;
class c_InputDevice;

class c_App : public Object {
 public:
  c_App() {}
  // Registers this as the one application and hands a new delegate to the host.
  c_App* m_new();
  virtual int p_OnCreate();
  virtual int p_OnSuspend();
  virtual int p_OnResume();
  virtual int p_OnUpdate();
  virtual int p_OnRender();
  int p_OnLoading();
  int p_OnClose();
  int p_OnBack();
};

// Names of the host's event codes.
class c_VxGameEvent : public Object {
 public:
  static constexpr int KeyDown = 1, KeyUp = 2, KeyChar = 3, MouseDown = 4, MouseUp = 5,
                       MouseMove = 6, TouchDown = 7, TouchUp = 8, TouchMove = 9, MotionAccel = 10;
};

class c_GameDelegate : public VxGameDelegate {
 public:
  gxtkGraphics* m__graphics = nullptr;
  gxtkAudio* m__audio = nullptr;
  c_InputDevice* m__input = nullptr;

  c_GameDelegate() {}
  c_GameDelegate* m_new();
  void mark() override;

  void StartGame() override;
  void SuspendGame() override;
  void ResumeGame() override;
  void UpdateGame() override;
  void RenderGame() override;
  void KeyEvent(int event, int data) override;
  void MouseEvent(int event, int data, float x, float y) override;
  void TouchEvent(int event, int data, float x, float y) override;
  void MotionEvent(int event, int data, float x, float y, float z) override;
  void DiscardGraphics() override;
};

extern VxGame* vx_app__game;
extern c_App* vx_app__app;
extern c_GameDelegate* vx_app__delegate;
extern int vx_app__updateRate;

int vx_app_SetUpdateRate(int rate);
int vx_app_Millisecs();
String vx_app_LoadState();
int vx_app_SaveState(String state);
[[noreturn]] void vx_app_EndApp();
// The desktop's display mode, and a new window of the given size and colour
// bits, full screen or not, for a game on the desktop host; null and nothing
// on any other host.
VxGlfwVideoMode* vx_app_DesktopMode();
void vx_app_OpenWindow(int width, int height, int red, int green, int blue, bool fullscreen);

// Sets every framework module global (graphics, input, audio, random, app,
// async) and registers the framework's collector roots in their fixed order.
// The game's vxInit calls it first.
void vx_framework_Init();
