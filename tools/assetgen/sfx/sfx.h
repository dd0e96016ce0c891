// The sound half of the asset generator: every sound effect (sfx/NNN.wav), the five
// looping music tracks (sfx/<name>.ogg), the tune images of the procedural player
// (tunes/.../*.png) and its instrument samples (inst/*.wav), all synthesised here.
// Output is deterministic: the same generator always writes the same bytes.
#pragma once

#include <string>

// Writes every sound asset under dataDir (folders are created as needed).
// Returns 0 on success, non-zero when a file could not be written.
int GenerateSfx(const std::string& dataDir);
