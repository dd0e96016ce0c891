// assetgen: writes the game's data folder. Usage: assetgen <data dir> [--sheet <png>]
// Pictures and sounds are independent, so they are made on two threads. The last file
// written is the stamp, quorvex.stamp, which marks the folder as the game's own data of
// this version: the game accepts no data folder without it, so a run that failed part way
// leaves the folder without one.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "tools/assetgen/gfx/gfx.h"
#include "tools/assetgen/sfx/sfx.h"

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
  const std::string stamp = dataDir + "/quorvex.stamp";
  std::error_code ec;
  std::filesystem::remove(stamp, ec);
  int gfx = 0;
  std::thread pictures([&] { gfx = GenerateGfx(dataDir, sheet); });
  int sfx = GenerateSfx(dataDir);
  pictures.join();
  if (gfx != 0 || sfx != 0) return 1;
  FILE* f = std::fopen(stamp.c_str(), "w");
  const bool stamped = f && std::fputs("quorvex data " QUORVEX_VERSION "\n", f) >= 0;
  if (!f || std::fclose(f) != 0 || !stamped) {
    std::fprintf(stderr, "assetgen: cannot write %s\n", stamp.c_str());
    return 1;
  }
  return 0;
}
