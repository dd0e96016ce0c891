// The real c_MyApp, made by vxInit and vxMain over the fake host and the
// recording devices, at 640 x 480 on the scripted window layer (which only the
// full-screen switch reaches). The helpers play the host's part; the saved text
// is host.state before Start. The game's test fixture (myapp.h) and the
// saved-state fuzzer both drive the game through it.
// Left out: the host's loop and timing (the host's tests own them): an update
// here is one UpdateGame and one RenderGame, with the clock 16 ms on.
#pragma once

#include <vector>

#include "game/myapp.h"
#include "tests/support/devices.h"

class GameRig {
 public:
  // Makes the app and its devices; false when the window layer does not start.
  bool Make();
  void Clear();  // lets everything of the app go
  // The host's start (p_OnCreate), then updates until the loader is done.
  void Start();
  void Update(int n = 1);
  void Key(int code, bool down);  // as the host sends them: 432 and 416 end the program
  void Tap(int code);             // down for one update, then up for one
  void Stick(float x, float y);   // joystick 0's left stick; its y grows upward
  void Mouse(int x, int y);       // the pointer in device pixels
  void MouseButton(bool down);
  void Press(int x, int y) {
    Mouse(x, y);
    MouseButton(true);
  }
  void NewGame(int type);  // as the menu hands over: loaded by the next update
  std::vector<DrawRecord> Records() const;
  int Glyphs(float top = -1e9f,
             float bottom = 1e9f) const;  // records of the font from top to bottom
  int Plays(int effect) const;            // effects started with sfx/NNN.wav so far

  VxGlfwGame window;  // the desktop host the full-screen switch asks; before host
  test_support::FakeHost host;
  test_support::RecordingGraphics* gfx = nullptr;
  test_support::RecordingAudio* audio = nullptr;
  c_InputDevice* input = nullptr;
  c_MyApp* app = nullptr;

 private:
  float mouseX_ = 0, mouseY_ = 0;
};
