// The procedural player's tune images: note data for five voices laid out as pixels.
//
// A tune image is 512 x 512, 64 frames of 64 x 64 (eight per row, left to right, top
// to bottom); frame f is pattern f. In a frame, pixel column x belongs to voice x / 8
// and field x % 8, pixel row y is pattern row y. A pixel's blue channel >> 3 holds the
// field's 5-bit value; pixels are opaque. Fields: 0 note, 1 volume, 2 effect,
// 3 effect argument (4-7 unused). Voices 0 and 1 are drums (notes 13, 15, 17, 18, 20,
// 22, 24, 25 pick kit sounds 1-8), 2 lead, 3 accompaniment, 4 bass (note 13 is the
// sample's own pitch, one step per semitone); bands 5-7 stay empty.
#pragma once

#include <string>
#include <vector>

namespace sfx {

constexpr int kTuneFrames = 64;
constexpr int kTuneFrameSize = 64;
constexpr int kTuneSheet = 512;  // pixels per side: 8 x 8 frames
constexpr int kTuneVoices = 5;

// Decoded note data of one tune: value[frame][x][y], 5-bit values as the player reads them.
struct TuneData {
  std::string path;                   // relative to the data folder, e.g. "tunes/Retro/Grimble.png"
  int patterns = 0;                   // frames 0 .. patterns-1 hold data in every voice band
  std::vector<unsigned char> values;  // kTuneFrames * 64 * 64, index (f * 64 + y) * 64 + x
  int At(int frame, int x, int y) const { return values[(size_t)((frame * 64 + y) * 64 + x)]; }
};

// The three built-in tunes, composed from fixed seeds.
std::vector<TuneData> ComposeTunes();

// RGBA pixels of a tune sheet (kTuneSheet x kTuneSheet).
std::vector<unsigned char> TuneSheetPixels(const TuneData& tune);

}  // namespace sfx
