// The probe's "runtime" command: vxError, vxPrint, faults reaching the signal
// handler, and "stop": the debugger prompt over and over, printing the step
// state after each return. The debugger reads the last argument of "stop" or a third one.
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <string>

#include "runtime/runtime.h"
#include "tests/support/probe.h"

namespace {

// A real invalid write, out of the sight of the sanitizers and the compiler.
int* volatile g_nowhere = nullptr;
__attribute__((no_sanitize("address", "undefined"), noinline)) void Fault() { *g_nowhere = 1; }

// The debugger's input from a pipe, with "@obj" replaced by a live object's address.
void FeedInput(std::string in) {
  char addr[32];
  std::snprintf(addr, sizeof addr, "@%p", static_cast<void*>(new Object()));
  for (size_t at; (at = in.find("@obj")) != std::string::npos;) in.replace(at, 4, addr);
  int fds[2];
  if (pipe(fds) != 0 || write(fds[1], in.data(), in.size()) != (ssize_t)in.size()) return;
  close(fds[1]);
  dup2(fds[0], 0);
}

int Runtime(int argc, char** argv) {
  for (int sig : {SIGSEGV, SIGILL, SIGFPE}) signal(sig, sighandler);
  const std::string what = argc > 1 ? argv[1] : "";
  const char* text = argc > 2 ? argv[2] : "";
  if (argc > 3 || what == "stop") FeedInput(argv[argc - 1]);
  if (what == "empty") vxError(String());
  if (what == "error") vxError(String::FromUtf8(text));
  if (what == "print") vxPrint(String::FromUtf8(text));
  if (what == "segv") Fault();
  if (what == "ill") raise(SIGILL);
  if (what == "fpe") raise(SIGFPE);
  if (what == "usr") sighandler(SIGUSR1);
  while (what == "stop") {
    dbg_stop();
    std::printf("%d%c\n", dbg_suspend, dbg_stepmode ? dbg_stepmode : '-');
    std::fflush(stdout);
  }
  return what == "print" ? 0 : 3;
}

}  // namespace

QUORVEX_PROBE_COMMAND("runtime", Runtime);
