// The whole start-up of the program: VxZorbelGame::Main, called by main.
//
// Order: the switches (only --help and bad switches end here, before any
// window), glfwInit, the host object, then the runtime's start inside an
// exception handler (arguments, signal handler, collector lists, the
// program's globals, the roots, the application object), then the loop.
// Left out: everything the game itself decides (vxInit and vxMain).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include "host/platform/game.h"
#include "host/platform/glfw2.h"
#include "host/platform/options.h"
#include "host/platform/pads.h"
#include "host/platform/script.h"
#include "host/services/data.h"

namespace {

void AtExit() {
  vx_record_Close();
  vx_host_WriteDump();
}

// The fatal signals report through the runtime's handler. On POSIX it runs
// on a stack of its own, so a stack overflow is reported like any other
// memory fault instead of killing the process silently.
void InstallFatalSignals() {
#ifdef _WIN32
  std::signal(SIGSEGV, sighandler);
  std::signal(SIGILL, sighandler);
  std::signal(SIGFPE, sighandler);
#else
  static char altStack[256 * 1024];
  stack_t ss = {};
  ss.ss_sp = altStack;
  ss.ss_size = sizeof altStack;
  sigaltstack(&ss, nullptr);
  struct sigaction sa = {};
  sa.sa_handler = sighandler;
  sa.sa_flags = SA_ONSTACK;
  sigemptyset(&sa.sa_mask);
  for (int sig : {SIGSEGV, SIGILL, SIGFPE}) sigaction(sig, &sa, nullptr);
#endif
}

void vx_std_main(int argc_, const char** argv_) {
  argc = argc_;
  argv = argv_;
  InstallFatalSignals();
  gc_init_lists();
  // Before anything is read: where this copy keeps its data and saved state.
  vx_data_Locate(argc_ > 0 ? argv_[0] : nullptr);
  vxInit();
  gc_mark();
  vxMain();
}

}  // namespace

int VxZorbelGame::Main(int argc_, const char* argv_[]) {
#if defined(__GLIBC__)
  // A fixed threshold: picture and sound buffers always get their own
  // mappings and go back to the system when freed. With glibc's moving
  // threshold they were carved from the heap after the first free, and every
  // reload after a window resize kept another set of them resident. Fixing
  // the threshold also pins the heap's trim threshold at 128 KB, which made
  // the driver's per-frame allocations shrink and regrow the heap every
  // frame (renders three times slower), so the trim threshold is raised.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
  std::string out, err;
  int status = vx_host_ParseArgs(argc_, argv_, out, err);
  if (status >= 0) {
    std::fputs(out.c_str(), stdout);
    std::fputs(err.c_str(), stderr);
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(status);
  }

  // A bad script or an unwritable recording ends here too, before any window.
  if (!vx_host_options.script.empty() && !vx_script_Load(vx_host_options.script, err)) {
    std::fputs(err.c_str(), stderr);
    std::exit(2);
  }
  if (!vx_host_options.record.empty() && !vx_record_Open(vx_host_options.record, err)) {
    std::fputs(err.c_str(), stderr);
    std::exit(2);
  }
  // The process may end anywhere (the game ends it from inside an event).
  if (!vx_host_options.record.empty() || !vx_host_options.dump.empty()) std::atexit(AtExit);

  if (!glfwInit()) {
    std::fputs("glfwInit failed\n", stdout);
    std::fflush(stdout);
    std::exit(-1);
  }
  vx_pads_AddMappings();

  VxZorbelGame* game = new VxZorbelGame();

  try {
    vx_std_main(argc_, argv_);
  } catch (ThrowableObject* ex) {
    glfwTerminate();
    game->Die(ex);
  }

  if (game->Delegate()) game->Run();

  glfwTerminate();
  return 0;
}
