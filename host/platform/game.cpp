// The host game objects: the guarded event wrappers of VxGame, and the desktop
// host VxGlfwGame with its window, timed main loop, input callbacks, key
// translation, joystick polling, clock and URL opening.
//
// Everything here reaches the window system through our GLFW 2.7-style layer
// (host/platform/glfw2.h), so the same code runs over real GLFW or the scripted layer
// of the tests. File services are in host/services/data.cpp. Left out: touch, motion
// and graphics-discard events, which the desktop never produces.
#include "host/platform/game.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include <stb_image.h>

#include "host/platform/glfw2.h"
#include "host/platform/options.h"
#include "host/platform/script.h"
#include "host/render/gxtk_graphics.h"

#ifdef _WIN32
#include <windows.h>

#include <shellapi.h>  // after windows.h, which it needs
#else
#include <sys/wait.h>
#include <unistd.h>
#endif

int glfwGraphicsSeq = 0;
int argc = 0;
const char** argv = nullptr;

VxGame* VxGame::_game = nullptr;
VxGlfwGame* VxGlfwGame::_glfwGame = nullptr;

namespace {

void TellRendererTheSize() {
  int width = 0, height = 0;
  glfwGetWindowSize(&width, &height);
  gxtkGraphics::SetWindowSize(width, height);
}

// The slot of the pad-th connected joystick, or -1.
int ConnectedJoystick(int pad) {
  for (int slot = 0; slot <= GLFW_JOYSTICK_LAST && pad >= 0; ++slot)
    if (glfwGetJoystickParam(slot, GLFW_PRESENT) && pad-- == 0) return slot;
  return -1;
}

// The window's name to desktops and its icon, from the data folder. A
// missing icon picture only leaves that size out.
void SetWindowIdentity(VxGame& game) {
  glfwSetWindowClass(QUORVEX_APP_ID);
  std::vector<GLFWicon> icons;
  for (int size : {16, 32, 48, 64, 128}) {
    std::string name = "zorbel://data/icons/quorvex-" + std::to_string(size) + ".png";
    FILE* f = game.OpenFile(String(name.c_str()), String("rb"));
    if (!f) continue;
    int w = 0, h = 0, n = 0;
    unsigned char* rgba = stbi_load_from_file(f, &w, &h, &n, 4);
    std::fclose(f);
    if (rgba) icons.push_back({w, h, rgba});
  }
  if (!icons.empty()) glfwSetWindowIcon((int)icons.size(), icons.data());
  for (GLFWicon& icon : icons) stbi_image_free(const_cast<unsigned char*>(icon.Pixels));
}

// GLFW key codes 32..316 to host key codes (the Windows virtual-key numbers).
struct KeyTable {
  unsigned char code[317] = {};
  KeyTable() {
    for (int k = '0'; k <= '9'; ++k) code[k] = (unsigned char)k;
    for (int k = 'A'; k <= 'Z'; ++k) code[k] = (unsigned char)k;
    code[32] = 32;
    code[34] = code[39] = 222;
    code[44] = 188;
    code[45] = 189;
    code[46] = 190;
    code[47] = 191;
    code[59] = 186;
    code[61] = 187;
    code[91] = 219;
    code[92] = 220;
    code[93] = 221;
    code[96] = code[126] = 192;
    code[GLFW_KEY_ESC] = 27;
    for (int i = 0; i < 12; ++i) code[GLFW_KEY_F1 + i] = (unsigned char)(112 + i);
    code[GLFW_KEY_UP] = 38;
    code[GLFW_KEY_DOWN] = 40;
    code[GLFW_KEY_LEFT] = 37;
    code[GLFW_KEY_RIGHT] = 39;
    code[GLFW_KEY_LSHIFT] = code[GLFW_KEY_RSHIFT] = 16;
    code[GLFW_KEY_LCTRL] = code[GLFW_KEY_RCTRL] = 17;
    code[GLFW_KEY_TAB] = 9;
    code[GLFW_KEY_ENTER] = 13;
    code[GLFW_KEY_BACKSPACE] = 8;
    code[GLFW_KEY_INSERT] = 45;
    code[GLFW_KEY_DEL] = 46;
    code[GLFW_KEY_PAGEUP] = 33;
    code[GLFW_KEY_PAGEDOWN] = 34;
    code[GLFW_KEY_HOME] = 36;
    code[GLFW_KEY_END] = 35;
    for (int i = 0; i < 10; ++i) code[GLFW_KEY_KP_0 + i] = (unsigned char)(96 + i);
    code[GLFW_KEY_KP_DIVIDE] = 111;
    code[GLFW_KEY_KP_MULTIPLY] = 106;
    code[GLFW_KEY_KP_SUBTRACT] = 109;
    code[GLFW_KEY_KP_ADD] = 107;
    code[GLFW_KEY_KP_DECIMAL] = 110;
  }
};

const KeyTable& Keys() {
  static const KeyTable table;
  return table;
}

// The host clock: GLFW's, or under --fast one that moves only when the loop
// would have slept, so every update sees exactly one period pass.
double g_fastClock = 0;
bool g_fastClockSet = false;

double HostTime() {
  if (!vx_host_options.fast) return glfwGetTime();
  if (!g_fastClockSet) {
    g_fastClock = glfwGetTime();
    g_fastClockSet = true;
  }
  return g_fastClock;
}

void HostSleep(double seconds) {
  if (vx_host_options.fast) {
    HostTime();
    g_fastClock += seconds;
  } else {
    glfwSleep(seconds);
  }
}

void HostWait() {
  // A fast run never blocks: nothing would wake it up in a scripted session.
  if (vx_host_options.fast) glfwPollEvents();
  else glfwWaitEvents();
}

}  // namespace

// ---------------------------------------------------------------------------
// VxGame

VxGame::VxGame() { _game = this; }

VxGame::~VxGame() {
  if (_game == this) _game = nullptr;
}

void VxGame::SetDelegate(VxGameDelegate* delegate) { _delegate = delegate; }
VxGameDelegate* VxGame::Delegate() { return _delegate; }
void VxGame::SetKeyboardEnabled(bool enabled) { _keyboardEnabled = enabled; }
bool VxGame::KeyboardEnabled() { return _keyboardEnabled; }
void VxGame::SetUpdateRate(int hertz) { _updateRate = hertz; }
int VxGame::UpdateRate() { return _updateRate; }
bool VxGame::Started() { return _started; }
bool VxGame::Suspended() { return _suspended; }
int VxGame::Millisecs() { return 0; }

void VxGame::GetDate(Array<int> date) {
  int n = date.Length();
  if (n <= 0) return;
  std::time_t t = std::time(nullptr);
  std::tm* tm = std::localtime(&t);
  if (!tm) return;
  int fields[7] = {
      tm->tm_year + 1900, tm->tm_mon + 1, tm->tm_mday, tm->tm_hour, tm->tm_min, tm->tm_sec, 0};
  for (int i = 0; i < n && i < 7; ++i) date[i] = fields[i];
}

bool VxGame::PollJoystick(int, Array<float>, Array<float>, Array<float>, Array<bool>) {
  return false;
}

void VxGame::OpenUrl(String) {}
void VxGame::SetMouseVisible(bool) {}

void VxGame::Die(ThrowableObject*) {
  vxPrint(String("Zorbel Runtime Error : Uncaught Zorbel Exception"));
  std::exit(-1);
}

void VxGame::gc_collect() {
  if (vx_host_probe) vx_host_probe->BeforeCollect();
  gc_collect_step(_delegate);
  if (vx_host_probe) vx_host_probe->AfterCollect();
}

// Each wrapper: guard, state change, the delegate call with application
// exceptions fatal, then one collector step.
#define VX_GUARDED(call)            \
  try {                             \
    if (_delegate) _delegate->call; \
  } catch (ThrowableObject * ex) {  \
    Die(ex);                        \
  }                                 \
  gc_collect();

void VxGame::StartGame() {
  if (_started) return;
  _started = true;
  VX_GUARDED(StartGame());
}

void VxGame::SuspendGame() {
  if (!_started || _suspended) return;
  _suspended = true;
  VX_GUARDED(SuspendGame());
}

void VxGame::ResumeGame() {
  if (!_started || !_suspended) return;
  _suspended = false;
  VX_GUARDED(ResumeGame());
}

void VxGame::UpdateGame() {
  if (!_started || _suspended) return;
  if (vx_host_probe) vx_host_probe->BeforeUpdate(vx_host_updates + 1);
  VX_GUARDED(UpdateGame());
  ++vx_host_updates;
  if (vx_host_probe) vx_host_probe->AfterUpdate();
  if (vx_host_options.exitAfter && vx_host_updates >= vx_host_options.exitAfter) {
    std::fflush(stdout);
    std::exit(0);
  }
}

void VxGame::RenderGame() {
  if (!_started) return;
  if (vx_host_probe) vx_host_probe->BeforeRender();
  VX_GUARDED(RenderGame());
  ++vx_host_renders;
  if (vx_host_probe) vx_host_probe->AfterRender();
}

void VxGame::KeyEvent(int event, int data) {
  if (!_started) return;
  if (vx_record_On()) vx_record_Key(event, data);
  VX_GUARDED(KeyEvent(event, data));
}

void VxGame::MouseEvent(int event, int data, float x, float y) {
  if (!_started) return;
  if (vx_record_On()) vx_record_Mouse(event, data, x, y);
  VX_GUARDED(MouseEvent(event, data, x, y));
}

void VxGame::TouchEvent(int event, int data, float x, float y) {
  if (!_started) return;
  VX_GUARDED(TouchEvent(event, data, x, y));
}

void VxGame::MotionEvent(int event, int data, float x, float y, float z) {
  if (!_started) return;
  VX_GUARDED(MotionEvent(event, data, x, y, z));
}

void VxGame::DiscardGraphics() {
  if (!_started) return;
  VX_GUARDED(DiscardGraphics());
}

#undef VX_GUARDED

// ---------------------------------------------------------------------------
// VxGlfwGame

VxGlfwGame::VxGlfwGame() { _glfwGame = this; }

VxGlfwGame::~VxGlfwGame() {
  if (_glfwGame == this) _glfwGame = nullptr;
}

void VxGlfwGame::SetUpdateRate(int hertz) {
  _updateRate = hertz;
  if (hertz) {
    _updatePeriod = 1.0 / hertz;
    _nextUpdate = HostTime() + _updatePeriod;
  }
}

int VxGlfwGame::Millisecs() { return (int)(HostTime() * 1000.0); }

void VxGlfwGame::SetMouseVisible(bool visible) {
  if (visible) glfwEnable(GLFW_MOUSE_CURSOR);
  else glfwDisable(GLFW_MOUSE_CURSOR);
}

void VxGlfwGame::OpenUrl(String url) {
  String::CString<char> text = url.ToCString<char>();
#ifdef _WIN32
  ShellExecuteA(nullptr, "open", text, nullptr, nullptr, SW_SHOWNORMAL);
#else
  // No shell in between, so the text is never interpreted; the middle child
  // exits at once and is reaped here, the opener is adopted by init.
  pid_t pid = fork();
  if (pid == 0) {
    if (fork() == 0) {
      const char* args[] = {"xdg-open", text, nullptr};
      execvp("xdg-open", const_cast<char* const*>(args));
      _exit(127);
    }
    _exit(0);
  }
  if (pid > 0) waitpid(pid, nullptr, 0);
#endif
}

bool VxGlfwGame::PollJoystick(int pad, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                              Array<bool> buttons) {
  // The game's pads are the connected joysticks in slot order, so a pad
  // left in slot 1 after slot 0 was unplugged is still pad 0.
  int port = ConnectedJoystick(pad);
  if (port < 0) return false;
  int n = glfwGetJoystickParam(port, GLFW_AXES);
  int b = glfwGetJoystickParam(port, GLFW_BUTTONS);

  float a[6] = {0, 0, 0, 0, 0, 0};
  glfwGetJoystickPos(port, a, n < 6 ? n : 6);
  if (n == 4) {
    a[4] = a[2];
    a[2] = 0;
  } else if (n == 5) {
    float t = a[3];
    a[3] = a[4];
    a[4] = t;
  }
  // The input module allocates two per axis array; shorter arrays are left alone.
  if (joyx.Length() >= 2 && joyy.Length() >= 2 && joyz.Length() >= 2) {
    joyx[0] = a[0];
    joyx[1] = a[3];
    joyy[0] = a[1];
    joyy[1] = a[4];
    joyz[0] = a[2];
    joyz[1] = a[5];
  }

  unsigned char state[32] = {};
  if (b > 32) b = 32;
  if (b > 0) glfwGetJoystickButtons(port, state, b);
  if (b > buttons.Length()) b = buttons.Length();
  for (int i = 0; i < b; ++i) buttons[i] = state[i] == GLFW_PRESS;
  return true;
}

VxGlfwVideoMode* VxGlfwGame::GetGlfwDesktopMode() {
  GLFWvidmode mode = {};
  glfwGetDesktopMode(&mode);
  VxGlfwVideoMode* m = new VxGlfwVideoMode();
  m->width = mode.Width;
  m->height = mode.Height;
  m->red = mode.RedBits;
  m->green = mode.GreenBits;
  m->blue = mode.BlueBits;
  return m;
}

Array<VxGlfwVideoMode*> VxGlfwGame::GetGlfwVideoModes() {
  static GLFWvidmode modes[1024];
  int n = glfwGetVideoModes(modes, 1024);
  if (n <= 0) return Array<VxGlfwVideoMode*>();
  Array<VxGlfwVideoMode*> list(n);
  for (int i = 0; i < n; ++i) {
    VxGlfwVideoMode* m = new VxGlfwVideoMode();
    m->width = modes[i].Width;
    m->height = modes[i].Height;
    m->red = modes[i].RedBits;
    m->green = modes[i].GreenBits;
    m->blue = modes[i].BlueBits;
    gc_assign(list[i], m);
  }
  return list;
}

int VxGlfwGame::TransKey(int key) {
  if (key < 32 || key > 316) return 0;
  return Keys().code[key];
}

int VxGlfwGame::KeyToChar(int key) {
  switch (key) {
    case 8:
    case 9:
    case 13:
    case 27:
      return key;
    case 33:
    case 34:
    case 35:
    case 36:
    case 37:
    case 38:
    case 39:
    case 40:
    case 45:
      return key | 0x10000;
    case 46:
      return 127;
  }
  return 0;
}

// While a script plays, the real window's input is ignored.

void VxGlfwGame::OnKey(int key, int action) {
  int code = TransKey(key);
  if (!code || !_glfwGame || vx_script_Playing()) return;
  if (action == GLFW_RELEASE) {
    _glfwGame->KeyEvent(kVxKeyUp, code);
  } else if (action == GLFW_PRESS) {
    _glfwGame->KeyEvent(kVxKeyDown, code);
    int chr = KeyToChar(code);
    if (chr) _glfwGame->KeyEvent(kVxKeyChar, chr);
  }
}

void VxGlfwGame::OnChar(int chr, int action) {
  if (action == GLFW_PRESS && _glfwGame && !vx_script_Playing())
    _glfwGame->KeyEvent(kVxKeyChar, chr);
}

void VxGlfwGame::OnMouseButton(int button, int action) {
  if (button < 0 || button > 2 || !_glfwGame || vx_script_Playing()) return;
  int x = 0, y = 0;
  glfwGetMousePos(&x, &y);
  if (action == GLFW_RELEASE) _glfwGame->MouseEvent(kVxMouseUp, button, (float)x, (float)y);
  else if (action == GLFW_PRESS) _glfwGame->MouseEvent(kVxMouseDown, button, (float)x, (float)y);
}

void VxGlfwGame::OnMousePos(int x, int y) {
  if (_glfwGame && !vx_script_Playing())
    _glfwGame->MouseEvent(kVxMouseMove, -1, (float)x, (float)y);
}

int VxGlfwGame::OnWindowClose() {
  if (_glfwGame && !vx_script_Playing()) {
    _glfwGame->KeyEvent(kVxKeyDown, kVxCloseKey);
    _glfwGame->KeyEvent(kVxKeyUp, kVxCloseKey);
  }
  return 0;
}

void VxGlfwGame::SetGlfwWindow(int width, int height, int red, int green, int blue, int alpha,
                               int depth, int stencil, bool fullscreen) {
  // The new window will never report the release of a key held now.
  for (int code = 0; code <= GLFW_KEY_LAST; ++code) {
    int key = TransKey(code);
    if (key && glfwGetKey(code) == GLFW_PRESS) KeyEvent(kVxKeyUp, key);
  }

  GLFWvidmode desktop = {};
  glfwGetDesktopMode(&desktop);

  glfwCloseWindow();
  glfwOpenWindowHint(GLFW_WINDOW_NO_RESIZE, 0);
  if (fullscreen) {
    glfwOpenWindow(width, height, red, green, blue, alpha, depth, stencil, GLFW_FULLSCREEN);
  } else {
    // On a screen meant to be read at double size the window is double size.
    const int scale = std::max(1, (int)glfwGetContentScale());
    width *= scale;
    height *= scale;
    glfwOpenWindow(width, height, red, green, blue, alpha, depth, stencil, GLFW_WINDOW);
    glfwSetWindowPos((desktop.Width - width) / 2, (desktop.Height - height) / 2);
    glfwSetWindowTitle("Quorvex");
  }
  ++glfwGraphicsSeq;
  TellRendererTheSize();

  glfwEnable(GLFW_KEY_REPEAT);
  glfwDisable(GLFW_AUTO_POLL_EVENTS);

  glfwSetKeyCallback(OnKey);
  glfwSetCharCallback(OnChar);
  glfwSetMouseButtonCallback(OnMouseButton);
  glfwSetMousePosCallback(OnMousePos);
  glfwSetWindowCloseCallback(OnWindowClose);
}

void VxGlfwGame::FollowWindowState(bool iconified, bool active) {
  if (iconified) {
    if (!_suspended) {
      _iconified = true;
      if (vx_record_On()) vx_record_Window("iconify");
      SuspendGame();
    }
  } else if (active) {
    if (_suspended) {
      if (vx_record_On()) {
        if (_iconified) vx_record_Window("restore");
        vx_record_Window("focus gained");
      }
      _iconified = false;
      ResumeGame();
      // No burst of catch-up updates after a pause.
      _nextUpdate = HostTime();
    }
  } else if (!_suspended) {
    if (vx_record_On()) vx_record_Window("focus lost");
    SuspendGame();
  }
}

void VxGlfwGame::RenderGame() {
  TellRendererTheSize();
  VxGame::RenderGame();
  if (!gxtkGraphics::TakeFinishedFrame()) return;
  if (!vx_host_screenshot.empty()) {
    gxtk_SaveScreenshot(vx_host_screenshot);
    vx_host_screenshot.clear();
  }
  glfwSwapBuffers();
}

void VxGlfwGame::Run() {
  SetWindowIdentity(*this);
  SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  StartGame();

  // A scripted session keeps its own window state and keeps counting update
  // slots while paused, so its stamps stay reachable.
  const bool scripted = vx_script_Playing();

  for (;;) {
    if (!(scripted && _iconified)) RenderGame();  // the render point

    for (bool toRenderPoint = false; !toRenderPoint;) {
      glfwPollEvents();  // the poll point; the callbacks run in here
      if (!glfwGetWindowParam(GLFW_OPENED)) return;

      if (scripted) FollowWindowState(vx_script_Iconified(), vx_script_Active());
      else
        FollowWindowState(glfwGetWindowParam(GLFW_ICONIFIED) != 0,
                          glfwGetWindowParam(GLFW_ACTIVE) != 0);

      if (!_updateRate || (_suspended && !scripted)) {
        if (!_iconified) RenderGame();
        HostWait();
        continue;
      }

      double delay = _nextUpdate - HostTime();
      if (delay > 0) {
        HostSleep(delay);
        continue;
      }

      for (int i = 0; i < 4 && !toRenderPoint; ++i) {
        ++vx_host_slots;
        if (scripted) vx_script_Deliver(this, vx_host_slots);
        _nextUpdate += _updatePeriod;
        UpdateGame();
        // Timing switched off, or caught up: back to the render point.
        if (!_updateRate || _nextUpdate - HostTime() > 0) toRenderPoint = true;
      }
      if (toRenderPoint) break;

      // Four updates and still behind: show a frame and drop the backlog.
      if (!(scripted && _iconified)) RenderGame();
      if (_updateRate) _nextUpdate = HostTime();
    }
  }
}
