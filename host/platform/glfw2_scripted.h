// Control of the scripted window layer (host/platform/glfw2_scripted.cpp), the seam
// through which tests drive the host's Run loop without a display.
//
// The layer keeps a virtual clock that moves only when the host sleeps, when
// it waits for events (to the next queued one) or when a test calls Advance.
// Events are queued at clock times and delivered, through the callbacks the
// host installed, by the first glfwPollEvents or glfwWaitEvents at or after
// their time. When nothing is queued, glfwWaitEvents closes the window, so a
// loop waiting for input ends instead of hanging. No GL is involved: swapping
// buffers only counts.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/platform/glfw2.h"

namespace glfw2_script {

struct Joystick {
  bool present = false;
  std::vector<float> axes;             // as the layer reports them (Y up)
  std::vector<unsigned char> buttons;  // GLFW_PRESS / GLFW_RELEASE
};

// What the host did with the window layer.
struct Stats {
  int inits = 0, terminates = 0;
  int opens = 0, closes = 0;
  int polls = 0, waits = 0, sleeps = 0, swaps = 0;
  double slept = 0;  // virtual seconds slept in total
  // The last window opened.
  int width = 0, height = 0, mode = 0;
  int bits[6] = {0, 0, 0, 0, 0, 0};  // red, green, blue, alpha, depth, stencil
  int noResizeHint = -1;             // WINDOW_NO_RESIZE hint seen at the last open
  int posX = -1, posY = -1;
  std::string title;
  bool keyRepeat = false, autoPoll = true, cursorVisible = true;
  std::string windowClass;     // as set for the windows opened later
  std::vector<int> iconSizes;  // the width of each icon picture given
  std::string mappings;        // every gamepad mapping text accepted
};

// Back to a fresh layer: clock 0, nothing open, nothing queued, desktop
// 1920 x 1080 with 8 bits per channel, no joysticks, glfwInit succeeding.
void Reset();
void SetInitFails(bool fails);
void SetDesktopMode(int width, int height, int red, int green, int blue);
void SetVideoModes(const std::vector<glfw2::GLFWvidmode>& modes);
void SetJoystick(int joy, const Joystick& state);
// What glfwGetContentScale reports (1 after Reset).
void SetContentScale(float scale);

double Now();
// The clock jumps ahead at once (a stall, or time spent inside an update).
void Advance(double seconds);

// Events at clock times. Key and button events also update what glfwGetKey
// and glfwGetMouseButton report; MousePos what glfwGetMousePos reports.
void Key(double at, int key, int action);
void Char(double at, int character);
void MouseButton(double at, int button, int action);
void MousePos(double at, int x, int y);
// The close button: the close callback decides whether the window goes.
void CloseRequest(double at);
void SetIconified(double at, bool iconified);
void SetActive(double at, bool active);
// The window disappears (GLFW_OPENED reads 0).
void CloseWindow(double at);
// Any test action at a clock time, run inside the poll like an event.
void Call(double at, std::function<void()> fn);
int Pending();

const Stats& GetStats();
bool WindowOpen();

}  // namespace glfw2_script
