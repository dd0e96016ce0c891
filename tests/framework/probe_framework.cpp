// The probe's "framework" command: the ways the framework ends the program. With
// an application and its input device, prints "before", runs one of: twice (a second
// application); keys <event:code | h code held on the device>; endapp; frames <w> <h>
// <n> (cut n 64 x 64 frames from a w x h surface); push <n>; pop; then "still running".
#include <cstdlib>
#include <cstring>
#include <string>

#include "framework/framework.h"
#include "tests/support/probe.h"

namespace {

int Framework(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  new VxGame();
  vx_framework_Init();
  (new c_App())->m_new();
  gc_assign(vx_input_device, gc_assign(vx_app__delegate->m__input, (new c_InputDevice())->m_new()));
  vxPrint(String("before"));
  if (what == "twice") (new c_App())->m_new();
  if (what == "endapp") vx_app_EndApp();
  for (int i = 2; what == "keys" && i < argc; ++i) {
    if (argv[i][0] == 'h') vx_input_device->p_KeyEvent(1, std::atoi(argv[i] + 1));
    else vx_app__delegate->KeyEvent(std::atoi(argv[i]), std::atoi(std::strchr(argv[i], ':') + 1));
  }
  if (what == "frames" && argc == 5)
    (new c_Image())
        ->m_new()
        ->p_Init2(nullptr, 0, 0, 64, 64, std::atoi(argv[4]), 0, nullptr, 0, 0, std::atoi(argv[2]),
                  std::atoi(argv[3]));
  for (int i = what == "push" ? std::atoi(argv[2]) : 0; i > 0; --i) vx_graphics_PushMatrix();
  if (what == "pop") vx_graphics_PopMatrix();
  vxPrint(String("still running"));
  return 7;
}

}  // namespace

QUORVEX_PROBE_COMMAND("framework", Framework);
