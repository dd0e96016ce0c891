// The probe's entry: runs the command its first argument names.
#include <cstdio>
#include <cstring>

#include "tests/support/probe.h"

namespace {

struct Entry {
  const char* name;
  probe::Command run;
};

Entry g_commands[32];
int g_count = 0;

}  // namespace

probe::Registration::Registration(const char* name, Command run) {
  if (g_count < 32) g_commands[g_count++] = {name, run};
}

int main(int argc, char** argv) {
  for (int i = 0; argc > 1 && i < g_count; ++i)
    if (!std::strcmp(argv[1], g_commands[i].name)) return g_commands[i].run(argc - 1, argv + 1);
  std::fprintf(stderr, "usage: quorvex_probe <command> [args...]; commands:");
  for (int i = 0; i < g_count; ++i) std::fprintf(stderr, " %s", g_commands[i].name);
  std::fprintf(stderr, "\n");
  return 2;
}
