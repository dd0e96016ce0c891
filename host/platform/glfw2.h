// Our GLFW 2.7-style window layer: one window, polled events with plain
// callbacks, joysticks, display modes, a clock and a sleep.
//
// The host is written against this small interface. Two implementations exist:
// host/platform/glfw2_glfw3.cpp (library quorvex_glfw2) over GLFW 3.3, and
// host/platform/glfw2_scripted.cpp (library quorvex_glfw2_scripted), a scripted one with
// a virtual clock and no GL that tests drive through host/platform/glfw2_scripted.h.
//
// The calls live in namespace glfw2 so that they never collide with GLFW 3's
// own C symbols of the same names; host code sees them through the using
// declarations at the bottom. Key codes follow the 2.7 numbering: printable
// keys are their ASCII codes, special keys start above GLFW_KEY_SPECIAL (256).
//
// Left out: everything of 2.7 the host does not use (threads, images, textures,
// extensions, window refresh and size callbacks, the mouse wheel).
#pragma once

namespace glfw2 {

// Values of the 2.7 interface, without their GLFW_ prefix (the macros below add it).
enum : int {
  RELEASE = 0,
  PRESS = 1,

  KEY_UNKNOWN = -1,
  KEY_SPACE = 32,
  KEY_SPECIAL = 256,
  KEY_ESC = KEY_SPECIAL + 1,
  KEY_F1 = KEY_SPECIAL + 2,  // F1..F25 are 258..282
  KEY_F12 = KEY_F1 + 11,
  KEY_F25 = KEY_F1 + 24,
  KEY_UP = KEY_SPECIAL + 27,
  KEY_DOWN,
  KEY_LEFT,
  KEY_RIGHT,
  KEY_LSHIFT,
  KEY_RSHIFT,
  KEY_LCTRL,
  KEY_RCTRL,
  KEY_LALT,
  KEY_RALT,
  KEY_TAB,
  KEY_ENTER,
  KEY_BACKSPACE,
  KEY_INSERT,
  KEY_DEL,
  KEY_PAGEUP,
  KEY_PAGEDOWN,
  KEY_HOME,
  KEY_END,
  KEY_KP_0,
  KEY_KP_9 = KEY_KP_0 + 9,
  KEY_KP_DIVIDE,
  KEY_KP_MULTIPLY,
  KEY_KP_SUBTRACT,
  KEY_KP_ADD,
  KEY_KP_DECIMAL,
  KEY_KP_EQUAL,
  KEY_KP_ENTER,
  KEY_KP_NUM_LOCK,
  KEY_CAPS_LOCK,
  KEY_SCROLL_LOCK,
  KEY_PAUSE,
  KEY_LSUPER,
  KEY_RSUPER,
  KEY_MENU,
  KEY_LAST = KEY_MENU,

  MOUSE_BUTTON_LEFT = 0,
  MOUSE_BUTTON_RIGHT = 1,
  MOUSE_BUTTON_MIDDLE = 2,
  MOUSE_BUTTON_LAST = 7,

  JOYSTICK_1 = 0,
  JOYSTICK_LAST = 15,

  // glfwOpenWindow modes
  WINDOW = 0x00010001,
  FULLSCREEN = 0x00010002,

  // glfwGetWindowParam / glfwOpenWindowHint
  OPENED = 0x00020001,
  ACTIVE = 0x00020002,
  ICONIFIED = 0x00020003,
  ACCELERATED = 0x00020004,
  RED_BITS = 0x00020005,
  GREEN_BITS = 0x00020006,
  BLUE_BITS = 0x00020007,
  ALPHA_BITS = 0x00020008,
  DEPTH_BITS = 0x00020009,
  STENCIL_BITS = 0x0002000A,
  REFRESH_RATE = 0x0002000B,
  WINDOW_NO_RESIZE = 0x00020012,
  FSAA_SAMPLES = 0x00020013,

  // glfwEnable / glfwDisable
  MOUSE_CURSOR = 0x00030001,
  STICKY_KEYS = 0x00030002,
  STICKY_MOUSE_BUTTONS = 0x00030003,
  SYSTEM_KEYS = 0x00030004,
  KEY_REPEAT = 0x00030005,
  AUTO_POLL_EVENTS = 0x00030006,

  // glfwGetJoystickParam
  PRESENT = 0x00050001,
  AXES = 0x00050002,
  BUTTONS = 0x00050003,
};

// A display mode; note the 2.7 order of the colour fields: red, blue, green.
struct GLFWvidmode {
  int Width, Height;
  int RedBits, BlueBits, GreenBits;
};

typedef void (*GLFWkeyfun)(int key, int action);
typedef void (*GLFWcharfun)(int character, int action);
typedef void (*GLFWmousebuttonfun)(int button, int action);
typedef void (*GLFWmouseposfun)(int x, int y);
typedef int (*GLFWwindowclosefun)();

int glfwInit();
void glfwTerminate();

// Opens the one window (closing any previous one); a new window has a new GL
// context. Returns 1 on success, 0 on failure.
int glfwOpenWindow(int width, int height, int redbits, int greenbits, int bluebits, int alphabits,
                   int depthbits, int stencilbits, int mode);
void glfwOpenWindowHint(int target, int hint);
void glfwCloseWindow();
void glfwSetWindowTitle(const char* title);
// The size in framebuffer pixels (so HiDPI screens report real pixels).
void glfwGetWindowSize(int* width, int* height);
void glfwSetWindowPos(int x, int y);
// Asks for a new client size (scripted sessions resize the window with it).
void glfwSetWindowSize(int width, int height);
int glfwGetWindowParam(int param);
void glfwSwapBuffers();
void glfwSwapInterval(int interval);

void glfwPollEvents();
void glfwWaitEvents();
int glfwGetKey(int key);
int glfwGetMouseButton(int button);
// In framebuffer pixels, like the window size.
void glfwGetMousePos(int* x, int* y);
void glfwSetKeyCallback(GLFWkeyfun fn);
void glfwSetCharCallback(GLFWcharfun fn);
void glfwSetMouseButtonCallback(GLFWmousebuttonfun fn);
void glfwSetMousePosCallback(GLFWmouseposfun fn);
void glfwSetWindowCloseCallback(GLFWwindowclosefun fn);
void glfwEnable(int token);
void glfwDisable(int token);

int glfwGetJoystickParam(int joy, int param);
// Axes with up positive on the Y axes; returns the number read.
int glfwGetJoystickPos(int joy, float* pos, int numaxes);
// GLFW_PRESS or GLFW_RELEASE per button; returns the number read.
int glfwGetJoystickButtons(int joy, unsigned char* buttons, int numbuttons);

void glfwGetDesktopMode(GLFWvidmode* mode);
int glfwGetVideoModes(GLFWvidmode* list, int maxcount);

double glfwGetTime();
void glfwSetTime(double time);
void glfwSleep(double seconds);

// Beyond 2.7: what desktops expect of a game's window, and pads 2.7 never knew.

// One icon picture: RGBA bytes, rows top first.
struct GLFWicon {
  int Width, Height;
  const unsigned char* Pixels;
};
// The X11 class and instance names of the windows opened from now on, which
// docks match against the desktop entry.
void glfwSetWindowClass(const char* name);
// The icon of the window and of those opened later, in as many sizes as
// given (the pixels are copied).
void glfwSetWindowIcon(int count, const GLFWicon* icons);
// The primary monitor's content scale: 1 on an ordinary screen, 2 on one
// meant to be read at double size.
float glfwGetContentScale();
// Adds gamepad mappings in SDL's text format, one a line. False when the
// text is malformed; nothing is reported.
bool glfwAddGamepadMappings(const char* text);

}  // namespace glfw2

// The implementations include GLFW 3's header, whose macros share these names.
#ifndef QUORVEX_GLFW2_IMPL

#define GLFW_RELEASE glfw2::RELEASE
#define GLFW_PRESS glfw2::PRESS
#define GLFW_KEY_UNKNOWN glfw2::KEY_UNKNOWN
#define GLFW_KEY_SPACE glfw2::KEY_SPACE
#define GLFW_KEY_SPECIAL glfw2::KEY_SPECIAL
#define GLFW_KEY_ESC glfw2::KEY_ESC
#define GLFW_KEY_F1 glfw2::KEY_F1
#define GLFW_KEY_F12 glfw2::KEY_F12
#define GLFW_KEY_F25 glfw2::KEY_F25
#define GLFW_KEY_UP glfw2::KEY_UP
#define GLFW_KEY_DOWN glfw2::KEY_DOWN
#define GLFW_KEY_LEFT glfw2::KEY_LEFT
#define GLFW_KEY_RIGHT glfw2::KEY_RIGHT
#define GLFW_KEY_LSHIFT glfw2::KEY_LSHIFT
#define GLFW_KEY_RSHIFT glfw2::KEY_RSHIFT
#define GLFW_KEY_LCTRL glfw2::KEY_LCTRL
#define GLFW_KEY_RCTRL glfw2::KEY_RCTRL
#define GLFW_KEY_LALT glfw2::KEY_LALT
#define GLFW_KEY_RALT glfw2::KEY_RALT
#define GLFW_KEY_TAB glfw2::KEY_TAB
#define GLFW_KEY_ENTER glfw2::KEY_ENTER
#define GLFW_KEY_BACKSPACE glfw2::KEY_BACKSPACE
#define GLFW_KEY_INSERT glfw2::KEY_INSERT
#define GLFW_KEY_DEL glfw2::KEY_DEL
#define GLFW_KEY_PAGEUP glfw2::KEY_PAGEUP
#define GLFW_KEY_PAGEDOWN glfw2::KEY_PAGEDOWN
#define GLFW_KEY_HOME glfw2::KEY_HOME
#define GLFW_KEY_END glfw2::KEY_END
#define GLFW_KEY_KP_0 glfw2::KEY_KP_0
#define GLFW_KEY_KP_9 glfw2::KEY_KP_9
#define GLFW_KEY_KP_DIVIDE glfw2::KEY_KP_DIVIDE
#define GLFW_KEY_KP_MULTIPLY glfw2::KEY_KP_MULTIPLY
#define GLFW_KEY_KP_SUBTRACT glfw2::KEY_KP_SUBTRACT
#define GLFW_KEY_KP_ADD glfw2::KEY_KP_ADD
#define GLFW_KEY_KP_DECIMAL glfw2::KEY_KP_DECIMAL
#define GLFW_KEY_KP_EQUAL glfw2::KEY_KP_EQUAL
#define GLFW_KEY_KP_ENTER glfw2::KEY_KP_ENTER
#define GLFW_KEY_LAST glfw2::KEY_LAST
#define GLFW_MOUSE_BUTTON_LEFT glfw2::MOUSE_BUTTON_LEFT
#define GLFW_MOUSE_BUTTON_RIGHT glfw2::MOUSE_BUTTON_RIGHT
#define GLFW_MOUSE_BUTTON_MIDDLE glfw2::MOUSE_BUTTON_MIDDLE
#define GLFW_JOYSTICK_1 glfw2::JOYSTICK_1
#define GLFW_JOYSTICK_LAST glfw2::JOYSTICK_LAST
#define GLFW_WINDOW glfw2::WINDOW
#define GLFW_FULLSCREEN glfw2::FULLSCREEN
#define GLFW_OPENED glfw2::OPENED
#define GLFW_ACTIVE glfw2::ACTIVE
#define GLFW_ICONIFIED glfw2::ICONIFIED
#define GLFW_ACCELERATED glfw2::ACCELERATED
#define GLFW_RED_BITS glfw2::RED_BITS
#define GLFW_GREEN_BITS glfw2::GREEN_BITS
#define GLFW_BLUE_BITS glfw2::BLUE_BITS
#define GLFW_ALPHA_BITS glfw2::ALPHA_BITS
#define GLFW_DEPTH_BITS glfw2::DEPTH_BITS
#define GLFW_STENCIL_BITS glfw2::STENCIL_BITS
#define GLFW_REFRESH_RATE glfw2::REFRESH_RATE
#define GLFW_WINDOW_NO_RESIZE glfw2::WINDOW_NO_RESIZE
#define GLFW_FSAA_SAMPLES glfw2::FSAA_SAMPLES
#define GLFW_MOUSE_CURSOR glfw2::MOUSE_CURSOR
#define GLFW_STICKY_KEYS glfw2::STICKY_KEYS
#define GLFW_STICKY_MOUSE_BUTTONS glfw2::STICKY_MOUSE_BUTTONS
#define GLFW_SYSTEM_KEYS glfw2::SYSTEM_KEYS
#define GLFW_KEY_REPEAT glfw2::KEY_REPEAT
#define GLFW_AUTO_POLL_EVENTS glfw2::AUTO_POLL_EVENTS
#define GLFW_PRESENT glfw2::PRESENT
#define GLFW_AXES glfw2::AXES
#define GLFW_BUTTONS glfw2::BUTTONS

using glfw2::glfwAddGamepadMappings;
using glfw2::glfwCloseWindow;
using glfw2::glfwDisable;
using glfw2::glfwEnable;
using glfw2::glfwGetContentScale;
using glfw2::glfwGetDesktopMode;
using glfw2::glfwGetJoystickButtons;
using glfw2::glfwGetJoystickParam;
using glfw2::glfwGetJoystickPos;
using glfw2::glfwGetKey;
using glfw2::glfwGetMouseButton;
using glfw2::glfwGetMousePos;
using glfw2::glfwGetTime;
using glfw2::glfwGetVideoModes;
using glfw2::glfwGetWindowParam;
using glfw2::glfwGetWindowSize;
using glfw2::GLFWicon;
using glfw2::glfwInit;
using glfw2::glfwOpenWindow;
using glfw2::glfwOpenWindowHint;
using glfw2::glfwPollEvents;
using glfw2::glfwSetCharCallback;
using glfw2::glfwSetKeyCallback;
using glfw2::glfwSetMouseButtonCallback;
using glfw2::glfwSetMousePosCallback;
using glfw2::glfwSetTime;
using glfw2::glfwSetWindowClass;
using glfw2::glfwSetWindowCloseCallback;
using glfw2::glfwSetWindowIcon;
using glfw2::glfwSetWindowPos;
using glfw2::glfwSetWindowSize;
using glfw2::glfwSetWindowTitle;
using glfw2::glfwSleep;
using glfw2::glfwSwapBuffers;
using glfw2::glfwSwapInterval;
using glfw2::glfwTerminate;
using glfw2::GLFWvidmode;
using glfw2::glfwWaitEvents;

#endif
