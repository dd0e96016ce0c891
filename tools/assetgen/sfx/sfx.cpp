// GenerateSfx: writes every sound asset of the game (see sfx.h) in a fixed order.
#include "sfx.h"

#include <cstdio>

#include "generators.h"

int GenerateSfx(const std::string& dataDir) {
  struct Step {
    const char* what;
    bool (*run)(const std::string&);
  };
  const Step steps[] = {
      {"sound effects", sfx::WriteEffects},
      {"instrument samples", sfx::WriteInstruments},
      {"tune images", sfx::WriteTunes},
      {"music tracks", sfx::WriteMusic},
  };
  for (const Step& s : steps) {
    if (!s.run(dataDir)) {
      std::fprintf(stderr, "assetgen: could not write the %s under %s\n", s.what, dataDir.c_str());
      return 1;
    }
  }
  return 0;
}
