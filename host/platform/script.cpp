// Scripted and recorded sessions and the state dump (see host/platform/script.h).
#include "host/platform/script.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <vector>

#include "host/platform/game.h"
#include "host/platform/glfw2.h"
#include "host/platform/options.h"

void (*vx_host_dumpHook)(std::string& out) = nullptr;

namespace {

enum Kind {
  kKeyDown,
  kKeyUp,
  kChar,
  kMouseDown,
  kMouseUp,
  kMouseMove,
  kResize,
  kFocusLost,
  kFocusGained,
  kIconify,
  kRestore,
  kClose,
  kScreenshot
};

struct Event {
  long long slot;
  Kind kind;
  int a;
  float x, y;
};

struct Script {
  bool playing = false;
  std::vector<Event> events;
  std::vector<std::string> shotNames;  // screenshot events hold an index here
  size_t next = 0;
  bool iconified = false;
  bool active = true;
};

Script& S() {
  static Script s;
  return s;
}

FILE* g_record = nullptr;

bool Number(std::istringstream& in, double& v) {
  std::string t;
  if (!(in >> t)) return false;
  char* end = nullptr;
  v = std::strtod(t.c_str(), &end);
  return end && !*end && end != t.c_str();
}

bool Whole(std::istringstream& in, int& v) {
  double d;
  if (!Number(in, d) || d != (double)(int)d) return false;
  v = (int)d;
  return true;
}

// One line into an event; false when it is not one of the forms above.
bool ParseLine(const std::string& line, Event& e) {
  std::istringstream in(line);
  double slot;
  std::string verb, what;
  if (!Number(in, slot) || slot < 1 || slot != (double)(long long)slot || !(in >> verb))
    return false;
  e.slot = (long long)slot;
  e.a = 0;
  e.x = e.y = 0;
  double x = 0, y = 0;
  bool ok = false;
  if (verb == "key") {
    in >> what;
    ok = (what == "down" || what == "up") && Whole(in, e.a);
    e.kind = what == "down" ? kKeyDown : kKeyUp;
  } else if (verb == "char") {
    e.kind = kChar;
    ok = Whole(in, e.a);
  } else if (verb == "mouse") {
    in >> what;
    if (what == "move") {
      e.kind = kMouseMove;
      e.a = -1;
      ok = Number(in, x) && Number(in, y);
    } else {
      e.kind = what == "down" ? kMouseDown : kMouseUp;
      ok = (what == "down" || what == "up") && Whole(in, e.a) && Number(in, x) && Number(in, y);
    }
  } else if (verb == "resize") {
    int w = 0, h = 0;
    e.kind = kResize;
    ok = Whole(in, w) && Whole(in, h) && w > 0 && h > 0;
    x = w;
    y = h;
  } else if (verb == "focus") {
    in >> what;
    e.kind = what == "lost" ? kFocusLost : kFocusGained;
    ok = what == "lost" || what == "gained";
  } else if (verb == "screenshot") {
    // A plain file name in the working folder: no path, so a script cannot
    // write anywhere else.
    e.kind = kScreenshot;
    ok = (in >> what) && what.size() > 4 && what.size() <= 64 &&
         what.compare(what.size() - 4, 4, ".png") == 0 && what[0] != '.' &&
         what.find_first_not_of(
             "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-.") ==
             std::string::npos;
    if (ok) {
      e.a = (int)S().shotNames.size();
      S().shotNames.push_back(what);
    }
  } else if (verb == "iconify" || verb == "restore" || verb == "close") {
    e.kind = verb == "iconify" ? kIconify : verb == "restore" ? kRestore : kClose;
    ok = true;
  }
  e.x = (float)x;
  e.y = (float)y;
  std::string extra;
  return ok && !(in >> extra);
}

void Record(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void Record(const char* fmt, ...) {
  if (!g_record) return;
  std::fprintf(g_record, "%lld ", vx_host_slots + 1);
  va_list args;
  va_start(args, fmt);
  std::vfprintf(g_record, fmt, args);
  va_end(args);
  std::fputc('\n', g_record);
  std::fflush(g_record);  // events are rare; a crash keeps what came before it
}

}  // namespace

bool vx_script_Parse(const std::string& text, const std::string& name, std::string& err) {
  S().shotNames.clear();
  Script fresh;
  std::istringstream in(text);
  std::string line;
  for (int n = 1; std::getline(in, line); ++n) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t first = line.find_first_not_of(" \t");
    if (first == std::string::npos || line[first] == '#') continue;
    Event e;
    if (!ParseLine(line, e)) {
      err = "quorvex: " + name + ":" + std::to_string(n) + ": not an event: " + line + "\n";
      return false;
    }
    fresh.events.push_back(e);
  }
  std::stable_sort(fresh.events.begin(), fresh.events.end(),
                   [](const Event& a, const Event& b) { return a.slot < b.slot; });
  fresh.playing = true;
  fresh.shotNames = S().shotNames;
  S() = fresh;
  return true;
}

bool vx_script_Load(const std::string& path, std::string& err) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    err = "quorvex: cannot read the script " + path + "\n";
    return false;
  }
  std::stringstream text;
  text << f.rdbuf();
  return vx_script_Parse(text.str(), path, err);
}

bool vx_script_Playing() { return S().playing; }
void vx_script_Stop() { S() = Script(); }
bool vx_script_Iconified() { return S().iconified; }
bool vx_script_Active() { return S().active; }
int vx_script_Remaining() { return (int)(S().events.size() - S().next); }

void vx_script_Deliver(VxGlfwGame* host, long long slot) {
  Script& s = S();
  while (s.playing && s.next < s.events.size() && s.events[s.next].slot <= slot) {
    const Event e = s.events[s.next++];
    switch (e.kind) {
      case kKeyDown:
        host->KeyEvent(kVxKeyDown, e.a);
        break;
      case kKeyUp:
        host->KeyEvent(kVxKeyUp, e.a);
        break;
      case kChar:
        host->KeyEvent(kVxKeyChar, e.a);
        break;
      case kMouseDown:
        host->MouseEvent(kVxMouseDown, e.a, e.x, e.y);
        break;
      case kMouseUp:
        host->MouseEvent(kVxMouseUp, e.a, e.x, e.y);
        break;
      case kMouseMove:
        host->MouseEvent(kVxMouseMove, -1, e.x, e.y);
        break;
      case kResize:
        glfwSetWindowSize((int)e.x, (int)e.y);
        break;
      case kScreenshot:
        vx_host_screenshot = s.shotNames[(size_t)e.a];
        break;
      case kClose:
        host->KeyEvent(kVxKeyDown, kVxCloseKey);
        host->KeyEvent(kVxKeyUp, kVxCloseKey);
        break;
      case kFocusLost:
      case kFocusGained:
      case kIconify:
      case kRestore:
        if (e.kind == kFocusLost) s.active = false;
        if (e.kind == kFocusGained) s.active = true;
        if (e.kind == kIconify) s.iconified = true;
        if (e.kind == kRestore) s.iconified = false;
        host->FollowWindowState(s.iconified, s.active);
        break;
    }
  }
}

bool vx_record_Open(const std::string& path, std::string& err) {
  if (g_record) std::fclose(g_record);
  g_record = std::fopen(path.c_str(), "w");
  if (!g_record) {
    err = "quorvex: cannot write the recording " + path + "\n";
    return false;
  }
  std::fprintf(g_record, "# quorvex session: update slot, event\n");
  std::fflush(g_record);
  return true;
}

bool vx_record_On() { return g_record != nullptr; }

void vx_record_Key(int event, int data) {
  if (event == 3) Record("char %d", data);
  else if (event == 1 || event == 2) Record("key %s %d", event == 1 ? "down" : "up", data);
}

void vx_record_Mouse(int event, int data, float x, float y) {
  if (event == 6) Record("mouse move %g %g", x, y);
  else if (event == 4 || event == 5)
    Record("mouse %s %d %g %g", event == 4 ? "down" : "up", data, x, y);
}

void vx_record_Window(const char* what) { Record("%s", what); }

void vx_record_Close() {
  if (g_record) std::fclose(g_record);
  g_record = nullptr;
}

std::string vx_host_DumpText() {
  std::string out;
  out += "updates " + std::to_string(vx_host_updates) + "\n";
  out += "renders " + std::to_string(vx_host_renders) + "\n";
  out += "slots " + std::to_string(vx_host_slots) + "\n";
  // Collected bytes now and at their highest: a long session must level off.
  out += "gc_live_bytes " + std::to_string(gc_alloced_bytes) + "\n";
  out += "gc_peak_bytes " + std::to_string(gc_max_alloced_bytes) + "\n";
  if (vx_host_dumpHook) vx_host_dumpHook(out);
  return out;
}

bool vx_host_WriteDump() {
  if (vx_host_options.dump.empty()) return true;
  std::string text = vx_host_DumpText();
  FILE* f = std::fopen(vx_host_options.dump.c_str(), "w");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}
