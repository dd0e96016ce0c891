// The fatal error path: report on standard output, the debugger prompt on
// standard error, commands from standard input. A normal run has no debugger
// attached, so the first read fails and the process exits with status -1.
#include "runtime/error.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

const char* dbg_info;
int dbg_stepmode;
int dbg_suspend;

void vxPrint(String s) {
  static std::string buf;
  buf.clear();
  vx_utf8_append(s, buf);
  buf += '\n';
  std::fwrite(buf.data(), 1, buf.size(), stdout);
  std::fflush(stdout);
}

void dbg_print(String s) {
  static std::string buf;
  buf.clear();
  if (buf.capacity() < (size_t)s.Length() + 100) buf.reserve(s.Length() + 100);
  for (int i = 0; i < s.Length(); ++i) buf += (char)s[i];
  buf += '\n';
  std::fwrite(buf.data(), 1, buf.size(), stderr);
  std::fflush(stderr);
}

void vxError(String message) {
  if (message.IsEmpty()) std::exit(0);
  dbg_error(message.ToCString<char>());
}

void dbg_error(const char* message) {
  // The message is an 8-bit copy (one byte per unit), so it is read back as such;
  // a debugger's "r" repeats the report with it.
  std::string msg(message ? message : "");
  for (;;) {
    vxPrint(String("Zorbel Runtime Error : ") + String(msg.c_str()));
    vxPrint(dbg_stacktrace());
    dbg_stop();
  }
}

String dbg_stacktrace() {
  if (!dbg_info || !*dbg_info) return String();
  return String(dbg_info) + String("\n");
}

void dbg_stop() {
  std::fprintf(stderr, "{{~~%s~~}}\n", dbg_info ? dbg_info : "");
  std::fflush(stderr);
  dbg_print(dbg_stacktrace());
  for (;;) {
    char line[256];
    if (!std::fgets(line, sizeof line, stdin)) std::exit(-1);
    char* nl = std::strchr(line, '\n');
    if (!nl) std::exit(-1);
    *nl = 0;
    switch (line[0]) {
      case '?':
        continue;
      case '@': {
        void* p = nullptr;
        std::sscanf(line + 1, "%p", &p);
        Object* o = static_cast<Object*>(p);
        dbg_print(o ? o->debug() : String());
        continue;
      }
      case 'r':
        dbg_suspend = 0;
        dbg_stepmode = 0;
        return;
      case 's':
        dbg_suspend = 1;
        dbg_stepmode = 's';
        return;
      case 'e':
        dbg_suspend = 1;
        dbg_stepmode = 'e';
        return;
      case 'l':
        dbg_suspend = 0;
        dbg_stepmode = 'l';
        return;
      case 'q':
        std::exit(0);
      default:
        std::printf("????? %s ?????\n", line);
        std::fflush(stdout);
        std::exit(-1);
    }
  }
}

void sighandler(int sig) {
  const char* err = "Unknown signal";
  switch (sig) {
    case SIGSEGV:
      err = "Memory access violation";
      break;
    case SIGILL:
      err = "Illegal instruction";
      break;
    case SIGFPE:
      err = "Floating point exception";
      break;
  }
  dbg_error(err);
}
