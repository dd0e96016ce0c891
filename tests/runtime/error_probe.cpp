// A child process for the error-path tests: does what its first argument says.
#include <csignal>
#include <cstring>

#include "runtime/runtime.h"

namespace {
// A real invalid write, kept out of the sanitizers' sight so the signal reaches us.
// The pointer is read through a volatile so the compiler cannot see it is null.
int* volatile g_nowhere = nullptr;
__attribute__((no_sanitize("address", "undefined"), noinline)) void fault() { *g_nowhere = 1; }
}  // namespace

int main(int argc, char** argv) {
  signal(SIGSEGV, sighandler);
  signal(SIGILL, sighandler);
  signal(SIGFPE, sighandler);
  const char* what = argc > 1 ? argv[1] : "";
  if (!std::strcmp(what, "empty")) vxError(String());
  if (!std::strcmp(what, "error")) vxError(String::FromUtf8(argc > 2 ? argv[2] : "boom"));
  if (!std::strcmp(what, "print")) {
    vxPrint(String::FromUtf8(argv[2]));
    return 0;
  }
  if (!std::strcmp(what, "segv")) fault();
  if (!std::strcmp(what, "ill")) raise(SIGILL);
  if (!std::strcmp(what, "fpe")) raise(SIGFPE);
  if (!std::strcmp(what, "usr")) sighandler(SIGUSR1);
  return 3;
}
