// The four parts of the sound generator, each writing its files under the data folder.
// Each returns false when a file could not be written.
#pragma once

#include <string>
#include <vector>

#include "dsp.h"

namespace sfx {

// sfx/NNN.wav: the game's sound effects (44.1 kHz mono).
bool WriteEffects(const std::string& dataDir);
// The effect numbers written by WriteEffects, and one effect's samples.
const std::vector<int>& EffectNumbers();
Buffer MakeEffect(int number);

// inst/d<kit>-<k>.wav, inst/lead<n>.wav, inst/accompany<n>.wav, inst/bass<n>.wav.
bool WriteInstruments(const std::string& dataDir);
// One drum kit's hit (kit 1-4, slot 1-8), as written to inst/d<kit>-<slot>.wav.
Buffer DrumHit(int kit, int slot);

// tunes/Pellorin/Tune_12.png, tunes/Retro/Grimble.png, tunes/Retro/Snorwick.png.
bool WriteTunes(const std::string& dataDir);

// sfx/<name>.ogg: the five looping music tracks (44.1 kHz stereo).
bool WriteMusic(const std::string& dataDir);

}  // namespace sfx
