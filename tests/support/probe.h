// One probe executable for the tests that need a whole process (exit codes,
// fatal signals, what a program prints): `quorvex_probe <command> [args...]`.
// Each test folder adds its commands in a file of its own:
//
//   int RuntimeProbe(int argc, char** argv) { ... }
//   QUORVEX_PROBE_COMMAND("runtime", RuntimeProbe);
//
// and lists that file in the global property QUORVEX_PROBE_SOURCES
// (set_property(GLOBAL APPEND PROPERTY QUORVEX_PROBE_SOURCES file.cpp)).
// argv[0] of a command is the command's name. The probe's path reaches the
// tests as the macro QUORVEX_PROBE (see tests/support/CMakeLists.txt).
#pragma once

namespace probe {

using Command = int (*)(int argc, char** argv);

struct Registration {
  Registration(const char* name, Command run);
};

}  // namespace probe

#define QUORVEX_PROBE_CONCAT2(a, b) a##b
#define QUORVEX_PROBE_CONCAT(a, b) QUORVEX_PROBE_CONCAT2(a, b)
#define QUORVEX_PROBE_COMMAND(name, fn) \
  static ::probe::Registration QUORVEX_PROBE_CONCAT(probe_registration_, __LINE__)(name, fn)
