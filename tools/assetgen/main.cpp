// assetgen: writes the game's data folder. Usage: assetgen <data dir> [--sheet <png>]
// Pictures and sounds are independent, so they are made on two threads.
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

#include "tools/assetgen/gfx/gfx.h"
#if __has_include("tools/assetgen/sfx/sfx.h")
#include "tools/assetgen/sfx/sfx.h"
#define QUORVEX_ASSETGEN_SFX 1
#endif

int main(int argc, char** argv) {
  std::string dataDir = "data", sheet;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--sheet") == 0 && i + 1 < argc) {
      sheet = argv[++i];
    } else if (argv[i][0] == '-') {
      std::fprintf(stderr, "usage: assetgen <data dir> [--sheet <png>]\n");
      return 2;
    } else {
      dataDir = argv[i];
    }
  }
  int gfx = 0;
  std::thread pictures([&] { gfx = GenerateGfx(dataDir, sheet); });
#ifdef QUORVEX_ASSETGEN_SFX
  int sfx = GenerateSfx(dataDir);
#else
  int sfx = 0;
#endif
  pictures.join();
  return gfx != 0 || sfx != 0 ? 1 : 0;
}
