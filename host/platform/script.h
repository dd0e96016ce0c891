// Scripted and recorded sessions: host events read from a text file and fed
// through the host's guarded wrappers, or the events a real session received
// written in that same format, and the state dump written at exit.
//
// One event a line, stamped with the update slot before which it is
// delivered (slots count the timed updates the loop runs, from 1, including
// those a paused game skips):
//   12 key down 37        12 key up 37        12 char 97
//   40 mouse down 0 320 240    40 mouse up 0 320 240    41 mouse move 300 200
//   90 resize 800 600     100 focus lost      120 focus gained
//   130 iconify           140 restore         200 close
//   150 screenshot menu.png   (the next frame, as shown, into that file of the
//                              working folder; a plain name ending in .png)
// Key codes are the host's (after translation), positions device pixels.
// Blank lines and lines starting with '#' are ignored.
//
// While a script plays, the real window's input and focus are ignored, so a
// script gives the same session on every run. Left out: joysticks.
#pragma once

#include <string>

class VxGlfwGame;

// Reads a script; false with a message ("FILE:LINE: ...") when it cannot.
bool vx_script_Load(const std::string& path, std::string& err);
// Parses script text (for tests); `name` only labels the messages.
bool vx_script_Parse(const std::string& text, const std::string& name, std::string& err);
bool vx_script_Playing();
// Back to real input (tests).
void vx_script_Stop();
// Delivers every event stamped up to `slot` through the host's wrappers.
void vx_script_Deliver(VxGlfwGame* host, long long slot);
// The window state the script has set (not iconified and focused at first).
bool vx_script_Iconified();
bool vx_script_Active();
int vx_script_Remaining();

bool vx_record_Open(const std::string& path, std::string& err);
bool vx_record_On();
void vx_record_Key(int event, int data);
void vx_record_Mouse(int event, int data, float x, float y);
// "focus lost", "iconify", ...: a window-state change the loop acted on.
void vx_record_Window(const char* what);
void vx_record_Close();

// The state dump: the host's counts, then what the game adds through the hook.
extern void (*vx_host_dumpHook)(std::string& out);
std::string vx_host_DumpText();
// Writes the dump to the --dump file, if one was given; returns false on failure.
bool vx_host_WriteDump();
