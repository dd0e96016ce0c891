// The scripted window layer: the GLFW 2.7-style calls of host/platform/glfw2.h over a
// virtual clock and a queue of scripted events, with no window system and no
// GL. Tests control it through host/platform/glfw2_scripted.h.
//
// Left out: anything that would need pixels (swapping only counts).
#include "host/platform/glfw2_scripted.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <new>

namespace {

enum class Kind { Key, Char, Button, Pos, CloseRequest, Iconify, Active, Gone, Call };

struct Event {
  double at;
  long long seq;  // keeps equal times in the order they were queued
  Kind kind;
  int a, b;
  std::function<void()> fn;
};

struct Layer {
  bool initFails = false;
  bool initialised = false;
  double clock = 0;
  long long seq = 0;
  std::deque<Event> queue;  // sorted by (at, seq)

  bool open = false;
  bool iconified = false;
  bool active = true;
  unsigned char keys[glfw2::KEY_LAST + 1] = {};
  unsigned char buttons[glfw2::MOUSE_BUTTON_LAST + 1] = {};
  int mouseX = 0, mouseY = 0;
  int noResizeHint = 0;

  glfw2::GLFWkeyfun keyFn = nullptr;
  glfw2::GLFWcharfun charFn = nullptr;
  glfw2::GLFWmousebuttonfun buttonFn = nullptr;
  glfw2::GLFWmouseposfun posFn = nullptr;
  glfw2::GLFWwindowclosefun closeFn = nullptr;

  glfw2::GLFWvidmode desktop = {1920, 1080, 8, 8, 8};
  float contentScale = 1;
  std::vector<glfw2::GLFWvidmode> modes;
  glfw2_script::Joystick joys[glfw2::JOYSTICK_LAST + 1];
  glfw2_script::Stats stats;
};

Layer& L() {
  static Layer layer;
  return layer;
}

void Queue(double at, Kind kind, int a, int b, std::function<void()> fn = nullptr) {
  Layer& l = L();
  Event e{at, l.seq++, kind, a, b, std::move(fn)};
  auto pos =
      std::upper_bound(l.queue.begin(), l.queue.end(), e, [](const Event& x, const Event& y) {
        return x.at < y.at || (x.at == y.at && x.seq < y.seq);
      });
  l.queue.insert(pos, std::move(e));
}

void Deliver(Event& e) {
  Layer& l = L();
  switch (e.kind) {
    case Kind::Key:
      if (e.a >= 0 && e.a <= glfw2::KEY_LAST) l.keys[e.a] = (unsigned char)(e.b != glfw2::RELEASE);
      if (l.open && l.keyFn) l.keyFn(e.a, e.b);
      break;
    case Kind::Char:
      if (l.open && l.charFn) l.charFn(e.a, glfw2::PRESS);
      break;
    case Kind::Button:
      if (e.a >= 0 && e.a <= glfw2::MOUSE_BUTTON_LAST) l.buttons[e.a] = (unsigned char)(e.b != 0);
      if (l.open && l.buttonFn) l.buttonFn(e.a, e.b);
      break;
    case Kind::Pos:
      l.mouseX = e.a;
      l.mouseY = e.b;
      if (l.open && l.posFn) l.posFn(e.a, e.b);
      break;
    case Kind::CloseRequest:
      if (l.open && (!l.closeFn || l.closeFn())) {
        l.open = false;
        ++l.stats.closes;
      }
      break;
    case Kind::Iconify:
      l.iconified = e.a != 0;
      break;
    case Kind::Active:
      l.active = e.a != 0;
      break;
    case Kind::Gone:
      if (l.open) ++l.stats.closes;
      l.open = false;
      break;
    case Kind::Call:
      if (e.fn) e.fn();
      break;
  }
}

// Delivers everything due by now, including events queued by the callbacks
// for the current time.
void DeliverDue() {
  Layer& l = L();
  while (!l.queue.empty() && l.queue.front().at <= l.clock) {
    Event e = std::move(l.queue.front());
    l.queue.pop_front();
    Deliver(e);
  }
}

}  // namespace

namespace glfw2_script {

void Reset() {
  Layer& l = L();
  l.~Layer();
  new (&l) Layer();
}

void SetInitFails(bool fails) { L().initFails = fails; }
void SetDesktopMode(int width, int height, int red, int green, int blue) {
  L().desktop = {width, height, red, blue, green};
}
void SetVideoModes(const std::vector<glfw2::GLFWvidmode>& modes) { L().modes = modes; }
void SetContentScale(float scale) { L().contentScale = scale; }
void SetJoystick(int joy, const Joystick& state) {
  if (joy >= 0 && joy <= glfw2::JOYSTICK_LAST) L().joys[joy] = state;
}

double Now() { return L().clock; }
void Advance(double seconds) {
  if (seconds > 0) L().clock += seconds;
}

void Key(double at, int key, int action) { Queue(at, Kind::Key, key, action); }
void Char(double at, int character) { Queue(at, Kind::Char, character, 0); }
void MouseButton(double at, int button, int action) { Queue(at, Kind::Button, button, action); }
void MousePos(double at, int x, int y) { Queue(at, Kind::Pos, x, y); }
void CloseRequest(double at) { Queue(at, Kind::CloseRequest, 0, 0); }
void SetIconified(double at, bool iconified) { Queue(at, Kind::Iconify, iconified, 0); }
void SetActive(double at, bool active) { Queue(at, Kind::Active, active, 0); }
void CloseWindow(double at) { Queue(at, Kind::Gone, 0, 0); }
void Call(double at, std::function<void()> fn) { Queue(at, Kind::Call, 0, 0, std::move(fn)); }
int Pending() { return (int)L().queue.size(); }

const Stats& GetStats() { return L().stats; }
bool WindowOpen() { return L().open; }

}  // namespace glfw2_script

namespace glfw2 {

int glfwInit() {
  Layer& l = L();
  ++l.stats.inits;
  if (l.initFails) return 0;
  l.initialised = true;
  return 1;
}

void glfwTerminate() {
  Layer& l = L();
  ++l.stats.terminates;
  if (l.open) ++l.stats.closes;
  l.open = false;
  l.initialised = false;
}

int glfwOpenWindow(int width, int height, int redbits, int greenbits, int bluebits, int alphabits,
                   int depthbits, int stencilbits, int mode) {
  Layer& l = L();
  if (!l.initialised) return 0;
  glfwCloseWindow();
  l.open = true;
  l.iconified = false;
  l.active = true;
  std::memset(l.keys, 0, sizeof l.keys);
  std::memset(l.buttons, 0, sizeof l.buttons);
  glfw2_script::Stats& s = l.stats;
  ++s.opens;
  s.width = width;
  s.height = height;
  s.mode = mode;
  int bits[6] = {redbits, greenbits, bluebits, alphabits, depthbits, stencilbits};
  std::memcpy(s.bits, bits, sizeof bits);
  s.noResizeHint = l.noResizeHint;
  s.title.clear();
  s.posX = s.posY = -1;
  l.noResizeHint = 0;  // hints last for one open, as in 2.7
  return 1;
}

void glfwOpenWindowHint(int target, int hint) {
  if (target == WINDOW_NO_RESIZE) L().noResizeHint = hint;
}

void glfwCloseWindow() {
  Layer& l = L();
  if (l.open) ++l.stats.closes;
  l.open = false;
}

void glfwSetWindowTitle(const char* title) {
  if (L().open) L().stats.title = title ? title : "";
}

void glfwGetWindowSize(int* width, int* height) {
  Layer& l = L();
  if (width) *width = l.open ? l.stats.width : 0;
  if (height) *height = l.open ? l.stats.height : 0;
}

void glfwSetWindowPos(int x, int y) {
  if (!L().open) return;
  L().stats.posX = x;
  L().stats.posY = y;
}

void glfwSetWindowSize(int width, int height) {
  Layer& l = L();
  if (!l.open || width <= 0 || height <= 0) return;
  l.stats.width = width;
  l.stats.height = height;
}

int glfwGetWindowParam(int param) {
  Layer& l = L();
  switch (param) {
    case OPENED:
      return l.open;
    case ACTIVE:
      return l.open && l.active && !l.iconified;
    case ICONIFIED:
      return l.open && l.iconified;
    case ACCELERATED:
      return l.open;
    case RED_BITS:
      return l.open ? l.stats.bits[0] : 0;
    case GREEN_BITS:
      return l.open ? l.stats.bits[1] : 0;
    case BLUE_BITS:
      return l.open ? l.stats.bits[2] : 0;
    case ALPHA_BITS:
      return l.open ? l.stats.bits[3] : 0;
    case DEPTH_BITS:
      return l.open ? l.stats.bits[4] : 0;
    case STENCIL_BITS:
      return l.open ? l.stats.bits[5] : 0;
    case WINDOW_NO_RESIZE:
      return l.open ? l.stats.noResizeHint : 0;
  }
  return 0;
}

void glfwSwapBuffers() {
  Layer& l = L();
  ++l.stats.swaps;
  if (l.stats.autoPoll) DeliverDue();
}

void glfwSwapInterval(int) {}

void glfwPollEvents() {
  ++L().stats.polls;
  DeliverDue();
}

void glfwWaitEvents() {
  Layer& l = L();
  ++l.stats.waits;
  if (l.queue.empty()) {
    // Nothing will ever arrive: the window goes, so the host's loop ends.
    if (l.open) ++l.stats.closes;
    l.open = false;
    return;
  }
  if (l.queue.front().at > l.clock) l.clock = l.queue.front().at;
  DeliverDue();
}

int glfwGetKey(int key) {
  Layer& l = L();
  if (!l.open || key < 0 || key > KEY_LAST) return RELEASE;
  return l.keys[key] ? PRESS : RELEASE;
}

int glfwGetMouseButton(int button) {
  Layer& l = L();
  if (!l.open || button < 0 || button > MOUSE_BUTTON_LAST) return RELEASE;
  return l.buttons[button] ? PRESS : RELEASE;
}

void glfwGetMousePos(int* x, int* y) {
  if (x) *x = L().mouseX;
  if (y) *y = L().mouseY;
}

void glfwSetKeyCallback(GLFWkeyfun fn) { L().keyFn = fn; }
void glfwSetCharCallback(GLFWcharfun fn) { L().charFn = fn; }
void glfwSetMouseButtonCallback(GLFWmousebuttonfun fn) { L().buttonFn = fn; }
void glfwSetMousePosCallback(GLFWmouseposfun fn) { L().posFn = fn; }
void glfwSetWindowCloseCallback(GLFWwindowclosefun fn) { L().closeFn = fn; }

void glfwEnable(int token) {
  glfw2_script::Stats& s = L().stats;
  if (token == KEY_REPEAT) s.keyRepeat = true;
  if (token == AUTO_POLL_EVENTS) s.autoPoll = true;
  if (token == MOUSE_CURSOR) s.cursorVisible = true;
}

void glfwDisable(int token) {
  glfw2_script::Stats& s = L().stats;
  if (token == KEY_REPEAT) s.keyRepeat = false;
  if (token == AUTO_POLL_EVENTS) s.autoPoll = false;
  if (token == MOUSE_CURSOR) s.cursorVisible = false;
}

int glfwGetJoystickParam(int joy, int param) {
  if (joy < 0 || joy > JOYSTICK_LAST) return 0;
  const glfw2_script::Joystick& j = L().joys[joy];
  if (!j.present) return 0;
  switch (param) {
    case PRESENT:
      return 1;
    case AXES:
      return (int)j.axes.size();
    case BUTTONS:
      return (int)j.buttons.size();
  }
  return 0;
}

int glfwGetJoystickPos(int joy, float* pos, int numaxes) {
  if (joy < 0 || joy > JOYSTICK_LAST || !pos) return 0;
  const glfw2_script::Joystick& j = L().joys[joy];
  if (!j.present) return 0;
  int n = std::min(numaxes, (int)j.axes.size());
  for (int i = 0; i < n; ++i) pos[i] = j.axes[i];
  return n < 0 ? 0 : n;
}

int glfwGetJoystickButtons(int joy, unsigned char* buttons, int numbuttons) {
  if (joy < 0 || joy > JOYSTICK_LAST || !buttons) return 0;
  const glfw2_script::Joystick& j = L().joys[joy];
  if (!j.present) return 0;
  int n = std::min(numbuttons, (int)j.buttons.size());
  for (int i = 0; i < n; ++i) buttons[i] = j.buttons[i];
  return n < 0 ? 0 : n;
}

void glfwGetDesktopMode(GLFWvidmode* mode) {
  if (mode) *mode = L().desktop;
}

int glfwGetVideoModes(GLFWvidmode* list, int maxcount) {
  const std::vector<GLFWvidmode>& m = L().modes;
  int n = std::min(maxcount, (int)m.size());
  for (int i = 0; i < n; ++i) list[i] = m[i];
  return n < 0 ? 0 : n;
}

void glfwSetWindowClass(const char* name) { L().stats.windowClass = name ? name : ""; }

void glfwSetWindowIcon(int count, const GLFWicon* icons) {
  std::vector<int>& sizes = L().stats.iconSizes;
  sizes.clear();
  for (int i = 0; i < count; ++i) sizes.push_back(icons[i].Width);
}

float glfwGetContentScale() { return L().contentScale; }

// Accepts any text: the format is GLFW's to check.
bool glfwAddGamepadMappings(const char* text) {
  L().stats.mappings += text ? text : "";
  return true;
}

double glfwGetTime() { return L().clock; }
void glfwSetTime(double time) { L().clock = time; }

void glfwSleep(double seconds) {
  Layer& l = L();
  ++l.stats.sleeps;
  if (seconds > 0) {
    l.stats.slept += seconds;
    l.clock += seconds;
  }
}

}  // namespace glfw2
