// The host: the game object that owns the window and the timed main loop, and
// the delegate interface through which it drives the framework.
//
// VxGame holds the platform-neutral state and the guarded event wrappers (every
// delegate call is caught for application exceptions and followed by one
// collector step). VxGlfwGame is the desktop host on our GLFW 2.7-style layer
// (host/platform/glfw2.h). VxZorbelGame is the concrete object the entry point creates.
// File and state services are defined in host/services/data.cpp, image decoding in
// host/render/gxtk_graphics.cpp and audio decoding in host/audio/audio_loaders.cpp.
//
// Left out: touch, motion and graphics-discard events are never produced here.
#pragma once

#include <cstdio>

#include "runtime/runtime.h"

// Windows opened so far; surfaces compare it with the value their texture saw.
extern int glfwGraphicsSeq;

// The process arguments, stored at start-up.
extern int argc;
extern const char** argv;

// Defined by the game: module globals, then the application object.
void vxInit();
int vxMain();

// The event codes of KeyEvent, MouseEvent, TouchEvent and MotionEvent. The
// desktop host sends the first six; the rest are the framework's to handle.
enum VxEvent : int {
  kVxKeyDown = 1,
  kVxKeyUp = 2,
  kVxKeyChar = 3,
  kVxMouseDown = 4,
  kVxMouseUp = 5,
  kVxMouseMove = 6,
  kVxTouchDown = 7,
  kVxTouchUp = 8,
  kVxTouchMove = 9,
  kVxMotionAccel = 10,
};
// The key code of the window's close request (sent down, then up).
constexpr int kVxCloseKey = 432;

// The receiver of every host event (the framework's c_GameDelegate).
class VxGameDelegate : public Object {
 public:
  virtual void StartGame() {}
  virtual void SuspendGame() {}
  virtual void ResumeGame() {}
  virtual void UpdateGame() {}
  virtual void RenderGame() {}
  virtual void KeyEvent(int event, int data) { (void)event, (void)data; }
  virtual void MouseEvent(int event, int data, float x, float y) {
    (void)event, (void)data, (void)x, (void)y;
  }
  virtual void TouchEvent(int event, int data, float x, float y) {
    (void)event, (void)data, (void)x, (void)y;
  }
  virtual void MotionEvent(int event, int data, float x, float y, float z) {
    (void)event, (void)data, (void)x, (void)y, (void)z;
  }
  virtual void DiscardGraphics() {}
};

// One display mode; colour depths are bits per channel.
class VxGlfwVideoMode : public Object {
 public:
  int width = 0;
  int height = 0;
  int red = 0;
  int green = 0;
  int blue = 0;
};

class VxGame {
 public:
  VxGame();
  virtual ~VxGame();

  virtual void SetDelegate(VxGameDelegate* delegate);
  virtual VxGameDelegate* Delegate();
  virtual void SetKeyboardEnabled(bool enabled);
  virtual bool KeyboardEnabled();
  virtual void SetUpdateRate(int hertz);
  virtual int UpdateRate();
  virtual bool Started();
  virtual bool Suspended();
  virtual int Millisecs();
  virtual void GetDate(Array<int> date);
  virtual int SaveState(String state);
  virtual String LoadState();
  virtual String LoadString(String path);
  virtual bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                            Array<bool> buttons);
  virtual void OpenUrl(String url);
  virtual void SetMouseVisible(bool visible);
  virtual String PathToFilePath(String path);
  virtual FILE* OpenFile(String path, String mode);
  virtual unsigned char* LoadData(String path, int* length);
  [[noreturn]] virtual void Die(ThrowableObject* ex);
  virtual void gc_collect();
  virtual void StartGame();
  virtual void SuspendGame();
  virtual void ResumeGame();
  virtual void UpdateGame();
  virtual void RenderGame();
  virtual void KeyEvent(int event, int data);
  virtual void MouseEvent(int event, int data, float x, float y);
  virtual void TouchEvent(int event, int data, float x, float y);
  virtual void MotionEvent(int event, int data, float x, float y, float z);
  virtual void DiscardGraphics();

  static VxGame* _game;

 protected:
  VxGameDelegate* _delegate = nullptr;
  bool _keyboardEnabled = false;
  int _updateRate = 0;
  bool _started = false;
  bool _suspended = false;
};

class VxGlfwGame : public VxGame {
 public:
  VxGlfwGame();
  ~VxGlfwGame() override;

  // Defined with the renderer (host/render/gxtk_graphics.cpp): 8-bit pixels, caller frees.
  virtual unsigned char* LoadImageData(String path, int* width, int* height, int* depth);
  // Defined with the audio loaders (host/audio/audio_loaders.cpp): samples, caller frees.
  virtual unsigned char* LoadAudioData(String path, int* length, int* channels, int* format,
                                       int* hertz);
  // Tells the renderer the window's size, renders through the guarded
  // wrapper, then shows the frame the renderer finished (saving it first when
  // a screenshot is due).
  void RenderGame() override;
  virtual void SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                             int depth, int stencil, bool fullscreen);
  virtual void Run();
  // The loop's window-state rule: suspend when minimised or unfocused, resume
  // when focused again. Scripted sessions feed it their own window state.
  void FollowWindowState(bool iconified, bool active);

  void SetUpdateRate(int hertz) override;
  int Millisecs() override;
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;
  void OpenUrl(String url) override;
  void SetMouseVisible(bool visible) override;
  String PathToFilePath(String path) override;

  static VxGlfwVideoMode* GetGlfwDesktopMode();
  static Array<VxGlfwVideoMode*> GetGlfwVideoModes();
  static int TransKey(int key);
  static int KeyToChar(int key);

  static void OnKey(int key, int action);
  static void OnChar(int chr, int action);
  static void OnMouseButton(int button, int action);
  static void OnMousePos(int x, int y);
  static int OnWindowClose();

  static VxGlfwGame* _glfwGame;

 protected:
  bool _iconified = false;
  double _nextUpdate = 0;
  double _updatePeriod = 0;
};

class VxZorbelGame : public VxGlfwGame {
 public:
  VxZorbelGame() {}
  ~VxZorbelGame() override {}

  // The whole start-up; returns 0 when the loop ends with the window gone.
  static int Main(int argc, const char* argv[]);
};
