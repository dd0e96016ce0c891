// The command-line switches of the quorvex executable and the counts they need.
//
// A plain run passes no switches and behaves exactly as without this unit.
// --fast replaces sleeping with a clock that jumps to the next update, and
// --exit-after N ends the process after update N, status 0, saving nothing.
// --script, --record and --dump are carried out by host/platform/script.cpp;
// --procedural-music is read by the game at start-up (vxInit).
#pragma once

#include <string>

struct VxHostOptions {
  bool fast = false;
  bool proceduralMusic = false;      // the procedural player instead of the music files
  long long exitAfter = 0;           // 0: never
  std::string script, record, dump;  // absolute paths, empty when not given
};

extern VxHostOptions vx_host_options;

// Updates and renders the host has delivered so far.
extern long long vx_host_updates;
extern long long vx_host_renders;
// Timed update slots the loop has run, including those a paused game skipped
// (the stamps of scripted events).
extern long long vx_host_slots;

// Reads the switches. Returns -1 to go on, otherwise the exit status the
// process should end with at once (0 after --help, 2 after a bad switch);
// messages go to `out` (help) or `err` (errors).
int vx_host_ParseArgs(int argc, const char** argv, std::string& out, std::string& err);

// A file name the next frame is saved to as a picture (set by a scripted
// "screenshot" event; written by the renderer before the buffers swap).
extern std::string vx_host_screenshot;

// Measurement hooks for the benchmark executable; the game never sets one, so
// each costs a null test per update, render and collector step.
class VxHostProbe {
 public:
  virtual ~VxHostProbe() {}
  virtual void BeforeUpdate(long long /*update*/) {}
  virtual void AfterUpdate() {}
  virtual void BeforeRender() {}
  virtual void AfterRender() {}
  virtual void BeforeCollect() {}
  virtual void AfterCollect() {}
};
extern VxHostProbe* vx_host_probe;
