// Parsing of the quorvex executable's switches (see host/platform/options.h).
#include "host/platform/options.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>

#ifdef _WIN32
#include <direct.h>
#define getcwd _getcwd
#else
#include <unistd.h>
#endif

VxHostOptions vx_host_options;
long long vx_host_updates = 0;
VxHostProbe* vx_host_probe = nullptr;
std::string vx_host_screenshot;
long long vx_host_renders = 0;
long long vx_host_slots = 0;

namespace {

const char kUsage[] =
    "Usage: quorvex [options]\n"
    "\n"
    "With no options the game runs as it always does. The options exist for\n"
    "testing and measuring:\n"
    "  --fast            advance the clock one update period per update instead\n"
    "                    of sleeping, so the game runs as fast as it can\n"
    "  --exit-after N    end after update N (exit status 0, nothing saved)\n"
    "  --script FILE     play the host events of FILE instead of the real input;\n"
    "                    one event a line, stamped with the update before which\n"
    "                    it arrives, e.g. '12 key down 37', '40 mouse down 0 320 240',\n"
    "                    '41 mouse move 300 200', '12 char 97', '90 resize 800 600',\n"
    "                    '100 focus lost', '120 focus gained', '130 iconify',\n"
    "                    '140 restore', '200 close', and '150 screenshot a.png'\n"
    "                    (the next frame saved as a picture in the working folder)\n"
    "  --record FILE     write the host events of this session to FILE, in the\n"
    "                    same form\n"
    "  --dump FILE       write the observable state to FILE at exit, one\n"
    "                    'name value' a line\n"
    "  --procedural-music  play the procedural tunes of the built-in music\n"
    "                    player instead of the music files\n"
    "  --version         show the version\n"
    "  --help            show this text\n";

// Switch paths are kept absolute: the game may change to its own folder to
// find its data before it opens them.
std::string Absolute(const char* path) {
  std::string p(path);
  if (p.empty() || p[0] == '/' || (p.size() > 1 && p[1] == ':')) return p;
  char buf[4096];
  if (!getcwd(buf, sizeof buf)) return p;
  std::string dir(buf);
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir + p;
}

}  // namespace

int vx_host_ParseArgs(int argc, const char** argv, std::string& out, std::string& err) {
  VxHostOptions o;
  for (int i = 1; i < argc; ++i) {
    const char* a = argv[i] ? argv[i] : "";
    bool needsValue = !std::strcmp(a, "--exit-after") || !std::strcmp(a, "--script") ||
                      !std::strcmp(a, "--record") || !std::strcmp(a, "--dump");
    if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
      out = kUsage;
      return 0;
    }
    if (!std::strcmp(a, "--version")) {
      out = "quorvex " QUORVEX_VERSION "\n";
      return 0;
    }
    if (!std::strcmp(a, "--fast")) {
      o.fast = true;
      continue;
    }
    if (!std::strcmp(a, "--procedural-music")) {
      o.proceduralMusic = true;
      continue;
    }
    if (!needsValue) {
      err = std::string("quorvex: unknown option '") + a + "' (try --help)\n";
      return 2;
    }
    if (i + 1 >= argc || !argv[i + 1]) {
      err = std::string("quorvex: ") + a + " needs a value (try --help)\n";
      return 2;
    }
    const char* v = argv[++i];
    if (!std::strcmp(a, "--exit-after")) {
      char* end = nullptr;
      errno = 0;
      long long n = std::strtoll(v, &end, 10);
      if (errno || end == v || *end || n < 1) {
        err = std::string("quorvex: --exit-after needs a positive whole number, not '") + v + "'\n";
        return 2;
      }
      o.exitAfter = n;
    } else if (!std::strcmp(a, "--script")) {
      o.script = Absolute(v);
    } else if (!std::strcmp(a, "--record")) {
      o.record = Absolute(v);
    } else {
      o.dump = Absolute(v);
    }
  }
  vx_host_options = o;
  return -1;
}
