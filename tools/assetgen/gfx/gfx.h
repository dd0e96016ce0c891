// The picture half of the asset generator: every image and bitmap font the game loads,
// drawn from code at three scales (name.png, name-hd.png at 2x, name-hd2.png at 4x),
// plus an optional contact sheet of every frame for a quick look.
// Output is deterministic: the same generator always writes the same bytes.
#pragma once

#include <string>

// Writes every picture under dataDir (for example dataDir/common/icons-hd.png; folders
// are created as needed). When sheetPath is not empty, also writes a contact sheet of
// every frame at 1x there. Returns 0 on success, non-zero when a file could not be written.
int GenerateGfx(const std::string& dataDir, const std::string& sheetPath = std::string());
