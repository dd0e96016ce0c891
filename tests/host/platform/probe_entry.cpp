// `quorvex_probe entry <mode> [switches...]`: a whole program around
// VxZorbelGame::Main over the real window layer. Its vxInit and vxMain do what
// the mode says; nothing depends on the window having the focus.
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/platform/game.h"
#include "host/platform/glfw2.h"
#include "host/services/data.h"
#include "tests/support/probe.h"

namespace {

std::string g_mode;
int* volatile g_nowhere = nullptr;
__attribute__((no_sanitize("address", "undefined"), noinline)) void Fault() { *g_nowhere = 1; }
// Recursion without end, kept from becoming a loop: a stack overflow.
__attribute__((noinline)) int Deeper(volatile int n) {
  volatile char frame[256];
  frame[0] = (char)n;
  if (n == -1) return 0;  // never: n only grows
  return Deeper(n + 1) + frame[0];
}
class Boom : public ThrowableObject {};

class ProbeDelegate : public VxGameDelegate {
 public:
  void StartGame() override {
    VxGame::_game->SetUpdateRate(60);
    if (g_mode == "throw-start") throw new Boom();
    if (g_mode == "segv-start") Fault();
    if (g_mode == "overflow-start") Deeper(0);
    if (g_mode == "close") glfwCloseWindow();  // the loop ends at its first poll
  }
  void UpdateGame() override { std::printf("update\n"); }
};
ProbeDelegate* g_delegate = nullptr;

int Entry(int argc, char** argv) {
  g_mode = argc > 1 ? argv[1] : "";
  std::vector<const char*> args = {"quorvex"};
  for (int i = 2; i < argc; ++i) args.push_back(argv[i]);
  std::printf("Main returned %d\n", VxZorbelGame::Main((int)args.size(), args.data()));
  return 0;
}
QUORVEX_PROBE_COMMAND("entry", Entry);

}  // namespace

void vxInit() {
  gc_add_root([] { gc_mark_q(g_delegate); });
  char cwd[4096];
  if (g_mode == "places" && getcwd(cwd, sizeof cwd))
    std::printf("cwd %s\ndata %s\nstate %s\n", cwd, vx_data_places.dataDir.c_str(),
                vx_data_places.stateFile.c_str());
}

int vxMain() {
  if (g_mode == "throw-main") throw new Boom();
  if (g_mode == "places") return 0;
  gc_assign(g_delegate, new ProbeDelegate());
  VxGame::_game->SetDelegate(g_delegate);
  return 0;
}
