// The test doubles every folder shares: one recording renderer, one recording
// audio device and one fake host. The devices write down what they are asked,
// in order, and reach neither GL nor OpenAL (the renderer can forward to the
// real one). Link quorvex_test_devices (over the scripted window layer), or
// quorvex_test_devices_gl (over the real one) for a test that opens a window.
// Left out: answers only a real device can give (forward for those).
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "framework/audio.h"
#include "host/audio/gxtk_audio.h"
#include "host/platform/game.h"
#include "host/render/gxtk_graphics.h"

namespace test_support {

// Numbers in the logs: "%.4g" (0.5, -0.35, 1.498).
std::string Num(float v);

// The real renderer's answer when forwarding, else 0.
#define REAL(call) (forward ? gxtkGraphics::call : 0)

// A renderer of a settable size (640 x 480 unless told) that records every
// call the framework makes by name with its numbers: "DrawRect" {x, y, w, h},
// "SetMatrix" the six, "DrawSurface" the surface and {x, y}, "LoadSurface" (the
// path in `opened`).
class RecordingGraphics : public gxtkGraphics {
 public:
  struct Call {
    std::string name;
    std::vector<float> args;
    gxtkSurface* surface = nullptr;
  };
  std::vector<Call> calls;
  // Also drives the real device (a window must be open). Without it nothing
  // reaches GL; colour, alpha and matrix are still kept in the device's fields.
  bool forward = false;
  // What BeginRender returns when not forwarding: 0 nothing to draw on, 1 a
  // frame, 2 a loading frame.
  int mode = 1;
  // Picture files (as the device is asked for them) and their sizes. Unless
  // empty this is the whole file system; when empty the host decodes real files.
  std::map<std::string, std::pair<int, int>> files;
  std::vector<std::string> opened;  // every LoadSurface path, in order

  explicit RecordingGraphics(int w = 640, int h = 480) { width = w, height = h; }
  static gxtkSurface* Surface(int w, int h);  // blank pixels, no texture

  const Call* Last(const std::string& name) const;  // null when never called
  std::string Log() const;  // "BeginRender() SetColor(255,255,255) DrawRect(0,0,4,4) ..."
  void Clear() { calls.clear(); }

  int BeginRender() override {
    return Note("BeginRender", {}), forward ? gxtkGraphics::BeginRender() : mode;
  }
  void EndRender() override { Note("EndRender", {}), forward ? gxtkGraphics::EndRender() : void(); }
  void DiscardGraphics() override { Note("DiscardGraphics", {}); }
  gxtkSurface* LoadSurface(String path) override;
  int Cls(float r, float g, float b) override { return Note("Cls", {r, g, b}), REAL(Cls(r, g, b)); }
  int SetAlpha(float a) override { return Note("SetAlpha", {a}), gxtkGraphics::SetAlpha(a); }
  int SetColor(float r, float g, float b) override {
    return Note("SetColor", {r, g, b}), gxtkGraphics::SetColor(r, g, b);
  }
  int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) override {
    return Note("SetMatrix", {ix, iy, jx, jy, tx, ty}),
           gxtkGraphics::SetMatrix(ix, iy, jx, jy, tx, ty);
  }
  int SetBlend(int b) override { return Note("SetBlend", {(float)b}), REAL(SetBlend(b)); }
  int SetScissor(int x, int y, int w, int h) override {
    return Note("SetScissor", {(float)x, (float)y, (float)w, (float)h}),
           REAL(SetScissor(x, y, w, h));
  }
  int DrawRect(float x, float y, float w, float h) override {
    return Note("DrawRect", {x, y, w, h}), REAL(DrawRect(x, y, w, h));
  }
  int DrawOval(float x, float y, float w, float h) override {
    return Note("DrawOval", {x, y, w, h}), REAL(DrawOval(x, y, w, h));
  }
  int DrawSurface(gxtkSurface* s, float x, float y) override {
    return Note("DrawSurface", {x, y}, s), REAL(DrawSurface(s, x, y));
  }
  int DrawSurface2(gxtkSurface* s, float x, float y, int sx, int sy, int sw, int sh) override {
    Note("DrawSurface2", {x, y, (float)sx, (float)sy, (float)sw, (float)sh}, s);
    return REAL(DrawSurface2(s, x, y, sx, sy, sw, sh));
  }
  int ReadPixels(Array<int> px, int x, int y, int w, int h, int offset, int pitch) override {
    Note("ReadPixels", {(float)x, (float)y, (float)w, (float)h, (float)offset, (float)pitch});
    return REAL(ReadPixels(px, x, y, w, h, offset, pitch));
  }

 private:
  void Note(const char* name, std::vector<float> args, gxtkSurface* s = nullptr) {
    calls.push_back({name, std::move(args), s});
  }
};

#undef REAL

// An audio device that records every call as one word:
//   "load:zorbel://data/sfx/001.wav" "play7:001.wav,1" "stop7" "vol7=0.5"
//   "pan7=-1" "rate7=1.5" "music:<path>,1" "stopmusic" "pausemusic"
//   "resumemusic" "suspend" "resume"
// It opens nothing (OpenAL's null output when the test chose none, closed at
// once) and every sample is a stand-in.
class RecordingAudio : public gxtkAudio {
 public:
  std::vector<std::string> calls;
  // Sample and music files that exist. Unless empty, other paths are missing
  // (no sample, PlayMusic -1); when empty every file exists.
  std::vector<std::string> files;
  std::vector<std::string> opened;           // every LoadSample path, in order
  std::map<gxtkSample*, std::string> names;  // file name (no folder) of each sample

  RecordingAudio();

  c_Sound* Sound(const std::string& name);     // a sound whose sample is `name` in the log
  int Count(const std::string& prefix) const;  // calls that start with `prefix`
  std::string Calls() const;                   // the log joined with spaces
  void Clear() { calls.clear(); }

  int Suspend() override { return Note("suspend"), 0; }
  int Resume() override { return Note("resume"), 0; }
  gxtkSample* LoadSample(String path) override;
  int PlaySample(gxtkSample* sample, int channel, int flags) override;
  int StopChannel(int c) override { return Note("stop" + std::to_string(c)), 0; }
  int SetVolume(int c, float v) override { return Set("vol", c, v), 0; }
  int SetPan(int c, float v) override { return Set("pan", c, v), 0; }
  int SetRate(int c, float v) override { return Set("rate", c, v), 0; }
  int PlayMusic(String path, int flags) override;
  int StopMusic() override { return Note("stopmusic"), 0; }
  int PauseMusic() override { return Note("pausemusic"), 0; }
  int ResumeMusic() override { return Note("resumemusic"), 0; }

 private:
  void Note(std::string call) { calls.push_back(std::move(call)); }
  void Set(const char* what, int c, float v) { Note(what + std::to_string(c) + "=" + Num(v)); }
  bool Exists(const std::string& path) const;
};

// Opens a window of that size through a host object and the linked window
// layer (a real GL window with quorvex_test_devices_gl); false when none opens.
bool OpenWindow(int w, int h);

// A host whose clock, saved state and joysticks the test sets. Being a VxGame it
// becomes VxGame::_game, which vx_framework_Init hands to the framework.
class FakeHost : public VxGame {
 public:
  int now = 10000;     // Millisecs
  std::string state;   // what LoadState gives and SaveState keeps (UTF-8)
  int saveResult = 0;  // what SaveState returns
  // One joystick as the poll reports it; axis 0 is the left stick, 1 the right.
  struct Pad {
    bool present = false;
    float x[2] = {}, y[2] = {}, z[2] = {};
    bool buttons[32] = {};
  };
  Pad pads[4];
  std::vector<int> polled;  // the port of every poll, in order

  int Millisecs() override { return now; }
  int SaveState(String s) override { return state = s.ToUtf8(), saveResult; }
  String LoadState() override { return String::FromUtf8(state.c_str()); }
  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override;
};

}  // namespace test_support
