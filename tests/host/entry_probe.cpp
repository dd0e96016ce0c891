// A whole program around VxZorbelGame::Main for the process tests: its
// vxInit and vxMain do what the environment variable QUORVEX_PROBE says, and
// at exit it reports what the window layer saw on standard error.
//
// Built twice: over the scripted window layer and over the real one.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "host/game.h"
#include "host/options.h"
#ifdef PROBE_SCRIPTED
#include "host/glfw2_scripted.h"
#endif

namespace {

std::string g_mode;

int* volatile g_nowhere = nullptr;
__attribute__((no_sanitize("address", "undefined"), noinline)) void Fault() { *g_nowhere = 1; }

class Boom : public ThrowableObject {};

class ProbeDelegate : public VxGameDelegate {
 public:
  int updates = 0;
  void StartGame() override {
    VxGame::_game->SetUpdateRate(60);
    if (g_mode == "throw-start") throw new Boom();
  }
  void UpdateGame() override {
    ++updates;
    std::printf("update %d\n", updates);
    std::fflush(stdout);
    if (g_mode == "throw-update" && updates == 3) throw new Boom();
    if (g_mode == "segv-update" && updates == 2) Fault();
    if (g_mode == "quit-update" && updates == 2) vxError(String());
    if (g_mode == "error-update" && updates == 2) vxError(String("App has already been created"));
#ifdef PROBE_SCRIPTED
    if (updates == 10) glfw2_script::CloseWindow(glfw2_script::Now());
#else
    if (updates == 10 && g_mode != "run") std::exit(7);
#endif
  }
  void RenderGame() override {}
  void KeyEvent(int event, int data) override {
    std::printf("key %d %d\n", event, data);
    std::fflush(stdout);
  }
};

ProbeDelegate* g_delegate = nullptr;

void Report() {
#ifdef PROBE_SCRIPTED
  const glfw2_script::Stats& s = glfw2_script::GetStats();
  std::fprintf(stderr, "inits=%d terminates=%d opens=%d sleeps=%d\n", s.inits, s.terminates,
               s.opens, s.sleeps);
#endif
}

void Root() { gc_mark_q(g_delegate); }

}  // namespace

void vxInit() {
  gc_add_root(Root);
  char cwd[4096];
  if (g_mode == "cwd" && getcwd(cwd, sizeof cwd)) std::printf("cwd %s\n", cwd);
  std::printf("argc %d\n", argc);
}

int vxMain() {
  if (g_mode == "throw-main") throw new Boom();
  if (g_mode == "no-delegate" || g_mode == "cwd") return 0;
  gc_assign(g_delegate, new ProbeDelegate());
  VxGame::_game->SetDelegate(g_delegate);
  return 0;
}

int main(int argc, const char* argv[]) {
  const char* mode = std::getenv("QUORVEX_PROBE");
  g_mode = mode ? mode : "";
  std::atexit(Report);
#ifdef PROBE_SCRIPTED
  if (g_mode == "init-fails") glfw2_script::SetInitFails(true);
#endif
  int r = VxZorbelGame::Main(argc, argv);
  std::printf("Main returned %d\n", r);
  return 0;
}
