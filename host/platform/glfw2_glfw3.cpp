// The real window layer: the GLFW 2.7-style calls of host/platform/glfw2.h over GLFW 3.
//
// It owns the one window (opening a new one destroys the old one and makes a
// new GL context), translates GLFW 3 key codes into the 2.7 numbering, turns
// key repeats into presses while repeat is on, lets the close callback keep the
// window open, reports sizes and mouse positions in framebuffer pixels, and
// presents joysticks as 2.7 did (Y axes up positive, recognised gamepads in
// one fixed layout). Left out: the 2.7 calls the host never makes.
#define QUORVEX_GLFW2_IMPL
#include "host/platform/glfw2.h"
#include "host/platform/glfw2_pad.h"

#include <GLFW/glfw3.h>
#include <time.h>
#ifdef _WIN32
#include <windows.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Layer {
  GLFWwindow* window = nullptr;
  bool closeRequested = false;  // the close callback let the window go
  bool keyRepeat = false;
  bool autoPoll = true;
  bool cursorVisible = true;
  int noResize = 0;
  int refreshRate = 0;
  int fsaaSamples = 0;
  int bits[6] = {0, 0, 0, 0, 0, 0};  // as asked at the last open
  std::string windowClass;           // X11 class and instance of new windows
  std::vector<std::vector<unsigned char>> iconPixels;
  std::vector<GLFWimage> icon;  // over iconPixels, given to every new window
  int errorsSeen = 0;           // while quiet, errors are counted, not printed
  bool quiet = false;

  glfw2::GLFWkeyfun keyFn = nullptr;
  glfw2::GLFWcharfun charFn = nullptr;
  glfw2::GLFWmousebuttonfun buttonFn = nullptr;
  glfw2::GLFWmouseposfun posFn = nullptr;
  glfw2::GLFWwindowclosefun closeFn = nullptr;

  // 2.7 key code -> GLFW 3 key code, for glfwGetKey.
  int toGlfw3[glfw2::KEY_LAST + 1];
};

Layer g;

// GLFW 3 key -> 2.7 key. Printable keys keep their ASCII codes.
int FromGlfw3(int key) {
  if (key >= 32 && key <= 96) return key;  // space .. grave accent, as ASCII
  switch (key) {
    case GLFW_KEY_ESCAPE:
      return glfw2::KEY_ESC;
    case GLFW_KEY_ENTER:
      return glfw2::KEY_ENTER;
    case GLFW_KEY_TAB:
      return glfw2::KEY_TAB;
    case GLFW_KEY_BACKSPACE:
      return glfw2::KEY_BACKSPACE;
    case GLFW_KEY_INSERT:
      return glfw2::KEY_INSERT;
    case GLFW_KEY_DELETE:
      return glfw2::KEY_DEL;
    case GLFW_KEY_RIGHT:
      return glfw2::KEY_RIGHT;
    case GLFW_KEY_LEFT:
      return glfw2::KEY_LEFT;
    case GLFW_KEY_DOWN:
      return glfw2::KEY_DOWN;
    case GLFW_KEY_UP:
      return glfw2::KEY_UP;
    case GLFW_KEY_PAGE_UP:
      return glfw2::KEY_PAGEUP;
    case GLFW_KEY_PAGE_DOWN:
      return glfw2::KEY_PAGEDOWN;
    case GLFW_KEY_HOME:
      return glfw2::KEY_HOME;
    case GLFW_KEY_END:
      return glfw2::KEY_END;
    case GLFW_KEY_CAPS_LOCK:
      return glfw2::KEY_CAPS_LOCK;
    case GLFW_KEY_SCROLL_LOCK:
      return glfw2::KEY_SCROLL_LOCK;
    case GLFW_KEY_NUM_LOCK:
      return glfw2::KEY_KP_NUM_LOCK;
    case GLFW_KEY_PAUSE:
      return glfw2::KEY_PAUSE;
    case GLFW_KEY_KP_DECIMAL:
      return glfw2::KEY_KP_DECIMAL;
    case GLFW_KEY_KP_DIVIDE:
      return glfw2::KEY_KP_DIVIDE;
    case GLFW_KEY_KP_MULTIPLY:
      return glfw2::KEY_KP_MULTIPLY;
    case GLFW_KEY_KP_SUBTRACT:
      return glfw2::KEY_KP_SUBTRACT;
    case GLFW_KEY_KP_ADD:
      return glfw2::KEY_KP_ADD;
    case GLFW_KEY_KP_ENTER:
      return glfw2::KEY_KP_ENTER;
    case GLFW_KEY_KP_EQUAL:
      return glfw2::KEY_KP_EQUAL;
    case GLFW_KEY_LEFT_SHIFT:
      return glfw2::KEY_LSHIFT;
    case GLFW_KEY_LEFT_CONTROL:
      return glfw2::KEY_LCTRL;
    case GLFW_KEY_LEFT_ALT:
      return glfw2::KEY_LALT;
    case GLFW_KEY_LEFT_SUPER:
      return glfw2::KEY_LSUPER;
    case GLFW_KEY_RIGHT_SHIFT:
      return glfw2::KEY_RSHIFT;
    case GLFW_KEY_RIGHT_CONTROL:
      return glfw2::KEY_RCTRL;
    case GLFW_KEY_RIGHT_ALT:
      return glfw2::KEY_RALT;
    case GLFW_KEY_RIGHT_SUPER:
      return glfw2::KEY_RSUPER;
    case GLFW_KEY_MENU:
      return glfw2::KEY_MENU;
  }
  if (key >= GLFW_KEY_F1 && key <= GLFW_KEY_F25) return glfw2::KEY_F1 + (key - GLFW_KEY_F1);
  if (key >= GLFW_KEY_KP_0 && key <= GLFW_KEY_KP_9) return glfw2::KEY_KP_0 + (key - GLFW_KEY_KP_0);
  return glfw2::KEY_UNKNOWN;  // the world keys, print screen, unknown keys
}

void BuildReverseTable() {
  for (int& k : g.toGlfw3) k = GLFW_KEY_UNKNOWN;
  for (int k = GLFW_KEY_SPACE; k <= GLFW_KEY_LAST; ++k) {
    int k2 = FromGlfw3(k);
    if (k2 >= 0 && k2 <= glfw2::KEY_LAST && g.toGlfw3[k2] == GLFW_KEY_UNKNOWN) g.toGlfw3[k2] = k;
  }
}

// Window pixels to framebuffer pixels (the two differ on HiDPI screens).
void Scale(double& x, double& y) {
  int ww = 0, wh = 0, fw = 0, fh = 0;
  glfwGetWindowSize(g.window, &ww, &wh);
  glfwGetFramebufferSize(g.window, &fw, &fh);
  if (ww > 0 && wh > 0) {
    x = x * fw / ww;
    y = y * fh / wh;
  }
}

void OnError(int code, const char* text) {
  if (g.quiet) {
    ++g.errorsSeen;
    return;
  }
  // Only reported: Xvfb, for one, refuses some full-screen requests and the
  // game must go on in whatever window it got.
  std::fprintf(stderr, "GLFW error %d: %s\n", code, text ? text : "");
  std::fflush(stderr);
}

void OnKey3(GLFWwindow*, int key, int, int action, int) {
  if (!g.keyFn) return;
  int k = FromGlfw3(key);
  if (k == glfw2::KEY_UNKNOWN) return;
  if (action == GLFW_REPEAT) {
    if (!g.keyRepeat) return;
    action = GLFW_PRESS;  // 2.7 delivered repeats as presses
  }
  g.keyFn(k, action == GLFW_PRESS ? glfw2::PRESS : glfw2::RELEASE);
}

void OnChar3(GLFWwindow*, unsigned int codepoint) {
  if (g.charFn) g.charFn((int)codepoint, glfw2::PRESS);
}

void OnButton3(GLFWwindow*, int button, int action, int) {
  if (g.buttonFn) g.buttonFn(button, action == GLFW_PRESS ? glfw2::PRESS : glfw2::RELEASE);
}

void OnPos3(GLFWwindow*, double x, double y) {
  if (!g.posFn) return;
  Scale(x, y);
  g.posFn((int)x, (int)y);
}

void OnClose3(GLFWwindow* w) {
  if (g.closeFn && !g.closeFn()) {
    glfwSetWindowShouldClose(w, GLFW_FALSE);  // the program decides to stay open
    return;
  }
  g.closeRequested = true;
}

// A window the close callback let go is destroyed once the callbacks are done.
void ReapClosed() {
  if (g.window && (g.closeRequested || glfwWindowShouldClose(g.window))) glfw2::glfwCloseWindow();
}

GLFWmonitor* Monitor() { return glfwGetPrimaryMonitor(); }

bool Pad(int joy, GLFWgamepadstate& state) {
  return glfwJoystickIsGamepad(joy) && glfwGetGamepadState(joy, &state);
}

}  // namespace

namespace glfw2_pad {

void Map(const float axes[6], const unsigned char buttons[15], float outAxes[6],
         unsigned char outButtons[15]) {
  // Stick Y axes turn up positive, as 2.7 reported them.
  outAxes[0] = axes[GLFW_GAMEPAD_AXIS_LEFT_X];
  outAxes[1] = -axes[GLFW_GAMEPAD_AXIS_LEFT_Y];
  outAxes[2] = axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER];
  outAxes[3] = axes[GLFW_GAMEPAD_AXIS_RIGHT_X];
  outAxes[4] = -axes[GLFW_GAMEPAD_AXIS_RIGHT_Y];
  outAxes[5] = axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER];
  static const int kOrder[15] = {GLFW_GAMEPAD_BUTTON_A,
                                 GLFW_GAMEPAD_BUTTON_B,
                                 GLFW_GAMEPAD_BUTTON_X,
                                 GLFW_GAMEPAD_BUTTON_Y,
                                 GLFW_GAMEPAD_BUTTON_LEFT_BUMPER,
                                 GLFW_GAMEPAD_BUTTON_RIGHT_BUMPER,
                                 GLFW_GAMEPAD_BUTTON_BACK,
                                 GLFW_GAMEPAD_BUTTON_GUIDE,
                                 GLFW_GAMEPAD_BUTTON_DPAD_LEFT,
                                 GLFW_GAMEPAD_BUTTON_DPAD_UP,
                                 GLFW_GAMEPAD_BUTTON_DPAD_RIGHT,
                                 GLFW_GAMEPAD_BUTTON_DPAD_DOWN,
                                 -1,
                                 -1,
                                 GLFW_GAMEPAD_BUTTON_START};
  for (int i = 0; i < 15; ++i) {
    bool down = kOrder[i] >= 0 && buttons[kOrder[i]] == GLFW_PRESS;
    // The triggers count as buttons pressed past half way (their axes run -1..1).
    if (i == 12) down = axes[GLFW_GAMEPAD_AXIS_LEFT_TRIGGER] > 0.0f;
    if (i == 13) down = axes[GLFW_GAMEPAD_AXIS_RIGHT_TRIGGER] > 0.0f;
    outButtons[i] = down ? glfw2::PRESS : glfw2::RELEASE;
  }
}

}  // namespace glfw2_pad

namespace glfw2 {

int glfwInit() {
  glfwSetErrorCallback(OnError);
  // 2.7 reported hats nowhere; keep them out of the button list.
  glfwInitHint(GLFW_JOYSTICK_HAT_BUTTONS, GLFW_FALSE);
  if (!::glfwInit()) return 0;
  BuildReverseTable();
  return 1;
}

void glfwTerminate() {
  glfwCloseWindow();
  ::glfwTerminate();
}

int glfwOpenWindow(int width, int height, int redbits, int greenbits, int bluebits, int alphabits,
                   int depthbits, int stencilbits, int mode) {
  glfwCloseWindow();
  // GLFW 3 keeps hints between windows; 2.7 forgot them after each open.
  ::glfwDefaultWindowHints();
  if (redbits > 0) ::glfwWindowHint(GLFW_RED_BITS, redbits);
  if (greenbits > 0) ::glfwWindowHint(GLFW_GREEN_BITS, greenbits);
  if (bluebits > 0) ::glfwWindowHint(GLFW_BLUE_BITS, bluebits);
  ::glfwWindowHint(GLFW_ALPHA_BITS, alphabits > 0 ? alphabits : 0);
  ::glfwWindowHint(GLFW_DEPTH_BITS, depthbits > 0 ? depthbits : 0);
  ::glfwWindowHint(GLFW_STENCIL_BITS, stencilbits > 0 ? stencilbits : 0);
  ::glfwWindowHint(GLFW_RESIZABLE, g.noResize ? GLFW_FALSE : GLFW_TRUE);
  if (g.refreshRate > 0) ::glfwWindowHint(GLFW_REFRESH_RATE, g.refreshRate);
  if (g.fsaaSamples > 0) ::glfwWindowHint(GLFW_SAMPLES, g.fsaaSamples);
  g.noResize = g.refreshRate = g.fsaaSamples = 0;

  int bits[6] = {redbits, greenbits, bluebits, alphabits, depthbits, stencilbits};
  std::memcpy(g.bits, bits, sizeof bits);

  if (!g.windowClass.empty()) {
    ::glfwWindowHintString(GLFW_X11_CLASS_NAME, g.windowClass.c_str());
    ::glfwWindowHintString(GLFW_X11_INSTANCE_NAME, g.windowClass.c_str());
  }

  GLFWmonitor* monitor = mode == FULLSCREEN ? Monitor() : nullptr;
  g.window = ::glfwCreateWindow(width, height, "", monitor, nullptr);
  g.closeRequested = false;
  if (!g.window) return 0;
  if (!g.icon.empty()) ::glfwSetWindowIcon(g.window, (int)g.icon.size(), g.icon.data());
  ::glfwMakeContextCurrent(g.window);
  ::glfwSetKeyCallback(g.window, OnKey3);
  ::glfwSetCharCallback(g.window, OnChar3);
  ::glfwSetMouseButtonCallback(g.window, OnButton3);
  ::glfwSetCursorPosCallback(g.window, OnPos3);
  ::glfwSetWindowCloseCallback(g.window, OnClose3);
  ::glfwSetInputMode(g.window, GLFW_CURSOR,
                     g.cursorVisible ? GLFW_CURSOR_NORMAL : GLFW_CURSOR_HIDDEN);
  return 1;
}

void glfwOpenWindowHint(int target, int hint) {
  switch (target) {
    case WINDOW_NO_RESIZE:
      g.noResize = hint;
      break;
    case REFRESH_RATE:
      g.refreshRate = hint;
      break;
    case FSAA_SAMPLES:
      g.fsaaSamples = hint;
      break;
  }
}

void glfwCloseWindow() {
  if (!g.window) return;
  ::glfwDestroyWindow(g.window);
  g.window = nullptr;
  g.closeRequested = false;
}

void glfwSetWindowTitle(const char* title) {
  if (g.window) ::glfwSetWindowTitle(g.window, title ? title : "");
}

void glfwGetWindowSize(int* width, int* height) {
  int w = 0, h = 0;
  if (g.window) ::glfwGetFramebufferSize(g.window, &w, &h);
  if (width) *width = w;
  if (height) *height = h;
}

void glfwSetWindowPos(int x, int y) {
  if (g.window && !::glfwGetWindowMonitor(g.window)) ::glfwSetWindowPos(g.window, x, y);
}

void glfwSetWindowSize(int width, int height) {
  if (g.window && width > 0 && height > 0) ::glfwSetWindowSize(g.window, width, height);
}

int glfwGetWindowParam(int param) {
  if (!g.window) return 0;
  switch (param) {
    case OPENED:
      return 1;
    case ACTIVE:
      return ::glfwGetWindowAttrib(g.window, GLFW_FOCUSED);
    case ICONIFIED:
      return ::glfwGetWindowAttrib(g.window, GLFW_ICONIFIED);
    case ACCELERATED:
      return 1;
    case RED_BITS:
    case GREEN_BITS:
    case BLUE_BITS:
    case ALPHA_BITS:
    case DEPTH_BITS:
    case STENCIL_BITS:
      return g.bits[param - RED_BITS];
    case REFRESH_RATE: {
      GLFWmonitor* m = ::glfwGetWindowMonitor(g.window);
      const ::GLFWvidmode* vm = m ? ::glfwGetVideoMode(m) : nullptr;
      return vm ? vm->refreshRate : 0;
    }
    case WINDOW_NO_RESIZE:
      return !::glfwGetWindowAttrib(g.window, GLFW_RESIZABLE);
  }
  return 0;
}

void glfwSwapBuffers() {
  if (!g.window) return;
  ::glfwSwapBuffers(g.window);
  if (g.autoPoll) glfwPollEvents();
}

void glfwSwapInterval(int interval) {
  if (g.window) ::glfwSwapInterval(interval);
}

void glfwPollEvents() {
  ::glfwPollEvents();
  ReapClosed();
}

void glfwWaitEvents() {
  ::glfwWaitEvents();
  ReapClosed();
}

int glfwGetKey(int key) {
  if (!g.window || key < 0 || key > KEY_LAST || g.toGlfw3[key] == GLFW_KEY_UNKNOWN) return RELEASE;
  return ::glfwGetKey(g.window, g.toGlfw3[key]) == GLFW_PRESS ? PRESS : RELEASE;
}

int glfwGetMouseButton(int button) {
  if (!g.window || button < 0 || button > MOUSE_BUTTON_LAST) return RELEASE;
  return ::glfwGetMouseButton(g.window, button) == GLFW_PRESS ? PRESS : RELEASE;
}

void glfwGetMousePos(int* x, int* y) {
  double px = 0, py = 0;
  if (g.window) {
    ::glfwGetCursorPos(g.window, &px, &py);
    Scale(px, py);
  }
  if (x) *x = (int)px;
  if (y) *y = (int)py;
}

void glfwSetKeyCallback(GLFWkeyfun fn) { g.keyFn = fn; }
void glfwSetCharCallback(GLFWcharfun fn) { g.charFn = fn; }
void glfwSetMouseButtonCallback(GLFWmousebuttonfun fn) { g.buttonFn = fn; }
void glfwSetMousePosCallback(GLFWmouseposfun fn) { g.posFn = fn; }
void glfwSetWindowCloseCallback(GLFWwindowclosefun fn) { g.closeFn = fn; }

void glfwEnable(int token) {
  switch (token) {
    case KEY_REPEAT:
      g.keyRepeat = true;
      break;
    case AUTO_POLL_EVENTS:
      g.autoPoll = true;
      break;
    case MOUSE_CURSOR:
      g.cursorVisible = true;
      if (g.window) ::glfwSetInputMode(g.window, GLFW_CURSOR, GLFW_CURSOR_NORMAL);
      break;
  }
}

void glfwDisable(int token) {
  switch (token) {
    case KEY_REPEAT:
      g.keyRepeat = false;
      break;
    case AUTO_POLL_EVENTS:
      g.autoPoll = false;
      break;
    case MOUSE_CURSOR:
      g.cursorVisible = false;
      if (g.window) ::glfwSetInputMode(g.window, GLFW_CURSOR, GLFW_CURSOR_HIDDEN);
      break;
  }
}

int glfwGetJoystickParam(int joy, int param) {
  if (joy < 0 || joy > JOYSTICK_LAST || !::glfwJoystickPresent(joy)) return 0;
  bool pad = ::glfwJoystickIsGamepad(joy);
  int count = 0;
  switch (param) {
    case PRESENT:
      return 1;
    case AXES:
      if (pad) return 6;
      ::glfwGetJoystickAxes(joy, &count);
      return count;
    case BUTTONS:
      if (pad) return 15;
      ::glfwGetJoystickButtons(joy, &count);
      return count;
  }
  return 0;
}

int glfwGetJoystickPos(int joy, float* pos, int numaxes) {
  if (joy < 0 || joy > JOYSTICK_LAST || !pos || numaxes <= 0) return 0;
  GLFWgamepadstate state;
  if (Pad(joy, state)) {
    float a[6];
    unsigned char b[15];
    glfw2_pad::Map(state.axes, state.buttons, a, b);
    int n = numaxes < 6 ? numaxes : 6;
    for (int i = 0; i < n; ++i) pos[i] = a[i];
    return n;
  }
  int count = 0;
  const float* axes = ::glfwGetJoystickAxes(joy, &count);
  if (!axes) return 0;
  int n = numaxes < count ? numaxes : count;
  // 2.7 reported up as positive on the Y (odd) axes.
  for (int i = 0; i < n; ++i) pos[i] = (i & 1) ? -axes[i] : axes[i];
  return n;
}

int glfwGetJoystickButtons(int joy, unsigned char* buttons, int numbuttons) {
  if (joy < 0 || joy > JOYSTICK_LAST || !buttons || numbuttons <= 0) return 0;
  GLFWgamepadstate state;
  if (Pad(joy, state)) {
    float a[6];
    unsigned char b[15];
    glfw2_pad::Map(state.axes, state.buttons, a, b);
    int n = numbuttons < 15 ? numbuttons : 15;
    for (int i = 0; i < n; ++i) buttons[i] = b[i];
    return n;
  }
  int count = 0;
  const unsigned char* b = ::glfwGetJoystickButtons(joy, &count);
  if (!b) return 0;
  int n = numbuttons < count ? numbuttons : count;
  for (int i = 0; i < n; ++i) buttons[i] = b[i] == GLFW_PRESS ? PRESS : RELEASE;
  return n;
}

void glfwGetDesktopMode(GLFWvidmode* mode) {
  if (!mode) return;
  *mode = GLFWvidmode{0, 0, 0, 0, 0};
  GLFWmonitor* m = Monitor();
  const ::GLFWvidmode* vm = m ? ::glfwGetVideoMode(m) : nullptr;
  if (!vm) return;
  mode->Width = vm->width;
  mode->Height = vm->height;
  mode->RedBits = vm->redBits;
  mode->GreenBits = vm->greenBits;
  mode->BlueBits = vm->blueBits;
}

int glfwGetVideoModes(GLFWvidmode* list, int maxcount) {
  GLFWmonitor* m = Monitor();
  int count = 0;
  const ::GLFWvidmode* vm = m ? ::glfwGetVideoModes(m, &count) : nullptr;
  if (!vm || !list) return 0;
  // GLFW 3 lists a mode once per refresh rate; 2.7 listed each size and depth once.
  int n = 0;
  for (int i = 0; i < count && n < maxcount; ++i) {
    GLFWvidmode mode{vm[i].width, vm[i].height, vm[i].redBits, vm[i].blueBits, vm[i].greenBits};
    bool seen = false;
    for (int j = 0; j < n && !seen; ++j)
      seen = list[j].Width == mode.Width && list[j].Height == mode.Height &&
             list[j].RedBits == mode.RedBits && list[j].GreenBits == mode.GreenBits &&
             list[j].BlueBits == mode.BlueBits;
    if (!seen) list[n++] = mode;
  }
  return n;
}

void glfwSetWindowClass(const char* name) { g.windowClass = name ? name : ""; }

void glfwSetWindowIcon(int count, const GLFWicon* icons) {
  g.iconPixels.clear();
  g.icon.clear();
  for (int i = 0; i < count; ++i) {
    const GLFWicon& in = icons[i];
    g.iconPixels.emplace_back(in.Pixels, in.Pixels + (size_t)in.Width * in.Height * 4);
  }
  for (int i = 0; i < count; ++i)
    g.icon.push_back({icons[i].Width, icons[i].Height, g.iconPixels[i].data()});
  if (g.window)
    ::glfwSetWindowIcon(g.window, (int)g.icon.size(), g.icon.empty() ? nullptr : g.icon.data());
}

float glfwGetContentScale() {
  float x = 1, y = 1;
  if (GLFWmonitor* m = Monitor()) ::glfwGetMonitorContentScale(m, &x, &y);
  return x > y ? x : y;
}

bool glfwAddGamepadMappings(const char* text) {
  // GLFW reports each bad line through the error callback; the caller
  // reports the text once instead.
  g.quiet = true;
  g.errorsSeen = 0;
  bool ok = ::glfwUpdateGamepadMappings(text ? text : "") == GLFW_TRUE;
  g.quiet = false;
  return ok && g.errorsSeen == 0;
}

double glfwGetTime() { return ::glfwGetTime(); }
void glfwSetTime(double time) { ::glfwSetTime(time); }

void glfwSleep(double seconds) {
  if (!(seconds > 0)) return;
#ifdef _WIN32
  Sleep((DWORD)(seconds * 1000.0 + 0.5));
#else
  timespec ts;
  ts.tv_sec = (time_t)seconds;
  ts.tv_nsec = (long)((seconds - (double)ts.tv_sec) * 1e9);
  if (ts.tv_nsec > 999999999) ts.tv_nsec = 999999999;
  while (nanosleep(&ts, &ts) == -1 && errno == EINTR) {
  }
#endif
}

}  // namespace glfw2
