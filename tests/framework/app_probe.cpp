// A child process for the application tests: the ways the framework ends the
// program (a second application, the close and back keys, EndApp) are real
// process exits, so each runs here and the test reads the status and output.
#include <cstdio>
#include <cstring>

#include "framework/app.h"
#include "framework/graphics.h"
#include "framework/input.h"
#include "host/glfw2_scripted.h"

namespace {

// The delegate without devices: only the input device is needed for keys.
void StartWithoutDevices() {
  vx_framework_Init();
  (new c_App())->m_new();
  gc_assign(vx_app__delegate->m__input, (new c_InputDevice())->m_new());
  gc_assign(vx_input_device, vx_app__delegate->m__input);
}

// A renderer that never draws (mode 0), so the loop needs no GL.
class SilentGraphics : public gxtkGraphics {
 public:
  int BeginRender() override { return 0; }
  void EndRender() override {}
};

class LoopApp : public c_App {
 public:
  int updates = 0;
  int p_OnCreate() override {
    gc_assign(vx_app__delegate->m__graphics, (gxtkGraphics*)new SilentGraphics());
    gc_assign(vx_graphics_device, vx_app__delegate->m__graphics);
    vx_app_SetUpdateRate(60);
    return 0;
  }
  int p_OnUpdate() override {
    if (++updates == 1) vxPrint(String("first update"));
    return 0;
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  const char* mode = argv[1];
  if (!std::strcmp(mode, "loop-close")) {
    // The window's close button, through the desktop host's own loop.
    glfw2_script::Reset();
    glfw2::glfwInit();
    VxGlfwGame* host = new VxGlfwGame();
    vx_framework_Init();
    (new LoopApp())->m_new();
    glfw2_script::CloseRequest(0.2);
    host->Run();
    vxPrint(String("loop ended"));
    return 3;
  }
  new VxGame();
  if (!std::strcmp(mode, "twice")) {
    vx_framework_Init();
    (new c_App())->m_new();
    vxPrint(String("first app created"));
    (new c_App())->m_new();
    vxPrint(String("second app created"));
    return 3;
  }
  if (!std::strcmp(mode, "close") || !std::strcmp(mode, "back")) {
    StartWithoutDevices();
    vxPrint(String("before"));
    vx_app__delegate->KeyEvent(1, mode[0] == 'c' ? 432 : 416);
    vxPrint(String("after"));
    return 3;
  }
  if (!std::strcmp(mode, "back-held")) {
    StartWithoutDevices();
    vx_input_device->p_KeyEvent(1, 416);  // already held when the delegate sees it
    vxPrint(String("before"));
    vx_app__delegate->KeyEvent(1, 416);
    vxPrint(String("after"));
    return 3;
  }
  if (!std::strcmp(mode, "close-release")) {
    // Only a key down ends the program; the release and a typed character do not.
    StartWithoutDevices();
    vx_app__delegate->KeyEvent(2, 432);
    vx_app__delegate->KeyEvent(3, 432);
    vx_app__delegate->KeyEvent(2, 416);
    vx_app__delegate->KeyEvent(3, 416);
    vx_app__delegate->KeyEvent(1, 431);
    vxPrint(String("still running"));
    return 7;
  }
  if (!std::strcmp(mode, "endapp")) {
    vx_framework_Init();
    vxPrint(String("before"));
    vx_app_EndApp();
  }
  return 2;
}
