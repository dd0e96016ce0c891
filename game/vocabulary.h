// The game's vocabulary: the numbers every file of game/ (and the tests and
// tools that look inside the game) must agree on, named once. Record layouts
// of the preallocated float arrays, image slots, sound effect numbers, logical
// controls, saved option indices, screen modes and the keys the game answers.
//
// Left out: numbers that mean something in one place only (a colour, a layout
// offset, a blob kind in the level table); those stay where they are used.
#pragma once

#include "host/platform/game.h"

// ---- The not-given marker ----
// An optional float argument that is not given (p_SetSize, p_SetCol, p_CLS2D,
// a random angle or speed of p_ThrowParticle); also both coordinates of a
// touch point that is up, and the kind of a rectangle draw record.
constexpr float kNotGiven = -3717.0f;
constexpr int kPointUp = -3717;

// ---- The draw list: records of 15 floats ----
constexpr int kDrawRecordFloats = 15;
constexpr int kDrawListFloats = 37500;
// A frame holds 2,499 records although the array has room for one more;
// further records are dropped.
constexpr int kMaxDrawRecords = 2499;
// Record kinds besides image slots 0..99.
constexpr float kRectKind = kNotGiven;
constexpr float kOvalKind = -3716.0f;
// Offsets in a draw record (8, 9 and 14 are never written).
constexpr int kDrawKind = 0;
constexpr int kDrawX = 1;
constexpr int kDrawY = 2;
constexpr int kDrawRot = 3;
constexpr int kDrawSizeX = 4;  // the width of a rectangle, the x radius of an oval
constexpr int kDrawSizeY = 5;
constexpr int kDrawFrame = 6;
constexpr int kDrawAlpha = 7;
constexpr int kDrawR = 10;
constexpr int kDrawG = 11;
constexpr int kDrawB = 12;
constexpr int kDrawBlend = 13;  // 3 additive, anything else alpha blending

// One draw record read back by name.
struct DrawRecord {
  float kind, x, y, rot, w, h, frame, alpha, r, g, b, blend;
};

inline DrawRecord ReadDrawRecord(const float* rec) {
  return {rec[kDrawKind],  rec[kDrawX],     rec[kDrawY],     rec[kDrawRot],
          rec[kDrawSizeX], rec[kDrawSizeY], rec[kDrawFrame], rec[kDrawAlpha],
          rec[kDrawR],     rec[kDrawG],     rec[kDrawB],     rec[kDrawBlend]};
}

// ---- Records of 10 floats: board cells, shots, rings, stars, particles ----
// A record of a pool is free while its first float is 0.
constexpr int kRecordFloats = 10;

// The board, m_grid: rows 50 cells wide, of which the 32 x 32 playing grid
// uses columns and rows 0..31; only the disc around (16, 16) is drawn and
// counted.
constexpr int kGridStride = 50;
constexpr int kBoard = 32;
constexpr int kGridFloats = 25000;
constexpr int kCellKind = 0;      // 0 empty, else 17, 19, 20 or 21
constexpr int kCellDrop = 1;      // -60 when placed, 0 once landed
constexpr int kCellTimer = 2;     // spread timer
constexpr int kCellStrength = 5;  // destroyed below 0

inline int CellIndex(int x, int y) { return (y * kGridStride + x) * kRecordFloats; }
inline bool OnBoard(int x, int y) { return x >= 0 && x < kBoard && y >= 0 && y < kBoard; }
inline bool InDisc(int x, int y) { return (x - 16) * (x - 16) + (y - 16) * (y - 16) < 225; }

// The ship, m_player (512 floats, these entries used).
constexpr int kShipAngle = 1;  // degrees, 0 at the top, clockwise
constexpr int kShipFireDelay = 11;
constexpr int kShipColourCycle = 12;
constexpr int kShipPower = 13;  // double shots left
constexpr int kShipShownPower = 14;

// Shots, m_shots.
constexpr int kShotRecords = 51;
constexpr int kShotKind = 0;
constexpr int kShotX = 1;
constexpr int kShotY = 2;
constexpr int kShotVX = 3;
constexpr int kShotVY = 4;
constexpr int kShotHeading = 5;
constexpr int kShotFrame = 7;

// Backdrop rings, m_rings: rings 1..3, each at float 10 x ring.
constexpr int kRingGrowth = 0;   // 0..1
constexpr int kRingSpin = 1;     // degrees per unit of m_clock
constexpr int kRingDivisor = 2;  // size divisor
constexpr int kRingFrame = 3;

// Stars, m_stars, and particles, m_particles: 510 records each.
constexpr int kStarRecords = 510;
constexpr int kStarFrame = 0;
constexpr int kStarX = 1;
constexpr int kStarY = 2;
constexpr int kStarSpeed = 3;
constexpr int kStarSpin = 5;
constexpr int kStarSpinRate = 6;
constexpr int kStarDirection = 7;

constexpr int kParticleRecords = 510;
constexpr int kParticleKind = 0;  // 1..3 sprites (2 falls), 4 a glowing chunk, 99 a number
constexpr int kParticleX = 1;
constexpr int kParticleY = 2;
constexpr int kParticleVX = 3;
constexpr int kParticleVY = 4;
constexpr int kParticleRot = 5;
constexpr int kParticleSpin = 6;
constexpr int kParticleLife = 7;
constexpr int kParticleColour = 8;
constexpr int kParticleFrame = 9;  // the number shown by kind 99
constexpr int kChunk = 4;
constexpr int kFloatingNumber = 99;

// ---- Image slots (m_img, m_imgSize) ----
constexpr int kImageSlots = 100;
constexpr int kImgSprites = 1;      // "gfx": blobs, ship, shots, orb
constexpr int kGlowOffset = 10;     // the glow of slot n is slot n + 10
constexpr int kImgSpriteGlow = 11;  // "gfx_glow"
constexpr int kImgBadges = 80;
constexpr int kImgFont = 90;
constexpr int kImgTestCard = 91;
constexpr int kImgStudioLogo = 93;
constexpr int kImgDPad = 94;
constexpr int kImgButtons = 95;  // game types, gear layers
constexpr int kImgParts = 96;    // stars and sparks
constexpr int kImgIcons = 97;    // pause, play, quit, selection ring
constexpr int kImgTitleLogo = 98;
constexpr int kImgBackdrop = 99;  // the menu's shapes, the board's disc and rings

// ---- Sound effect numbers (m_sfx, sfx/NNN.wav) ----
constexpr int kSoundSlots = 100;
constexpr int kSfxBurst = 2;  // and 3
constexpr int kSfxHit = 4;    // and 5, 6
constexpr int kSfxAlarm = 7;
constexpr int kSfxWhoosh = 10;  // a new game, a level's lead-out
constexpr int kSfxLevelClear = 11;
constexpr int kSfxGameOver = 12;
constexpr int kSfxOrb = 13;
constexpr int kSfxPowerDown = 14;
constexpr int kSfxJingle = 96;  // the studio logo
constexpr int kSfxConfirm = 98;
constexpr int kSfxClick = 99;

// ---- Logical controls (p_PlayKey) and m_ctrl ----
constexpr int kCtrlUp = 0;
constexpr int kCtrlLeft = 3;
constexpr int kCtrlRight = 5;
constexpr int kCtrlDown = 8;
constexpr int kCtrlFire = 10;  // 10..13 confirm
constexpr int kCtrlButton2 = 11;
constexpr int kCtrlButton3 = 12;
constexpr int kCtrlButton4 = 13;
constexpr int kCtrlL1 = 14;
constexpr int kCtrlR1 = 15;
constexpr int kCtrlBack = 99;
constexpr int kCtrlEntries = 20;
constexpr int kCtrlBackKey = 19;  // the m_ctrl entry of the platform back key
constexpr int kLastOneShot = 18;  // entries 0..18 are cleared together

// ---- Saved options (m_opt) ----
constexpr int kOptCount = 25;
constexpr int kOptSound = 5;
constexpr int kOptPadX = 10;
constexpr int kOptPadY = 11;     // distance from the bottom
constexpr int kOptPadSize = 12;  // tenths
constexpr int kOptOverscan = 14;
// Full screen (1) or a window (anything else, 0 in files from before it was
// kept).
constexpr int kOptFullscreen = 20;
// Values of m_opt[kOptSound]; without music only off and on (1).
constexpr int kSoundOff = 0;
constexpr int kSoundAll = 1;
constexpr int kSoundEffects = 2;
constexpr int kSoundMusic = 3;

// ---- Score tables (m_hiScores) ----
// The best ten of a game type start at (type - 1) x 10, the latest ten 30 later.
constexpr int kLatestTen = 30;

// First entry of the best ten of a game type, or -1 for a type that has no table.
inline int ScoreTableBase(int gameType) {
  return gameType >= 1 && gameType <= 3 ? (gameType - 1) * 10 : -1;
}

// ---- Screen modes (m_gameMode) ----
constexpr int kModeMenu = 1;
constexpr int kModeStoreScore = 2;    // the finished game's score goes in, then the menu
constexpr int kModeQuitDialog = 4;    // television only
constexpr int kModeClickToStart = 5;  // no transition enters it
constexpr int kModePlay = 10;
constexpr int kModeNewGame = 11;

// ---- Keys the game answers itself (input module codes) ----
constexpr int kKeyMouseLeft = 1;
constexpr int kKeyEscape = 27;
constexpr int kKeyF1 = 112;             // debug readouts
constexpr int kKeyF2 = 113;             // hide the score and meters
constexpr int kKeyF4 = 115;             // quit at once
constexpr int kKeyF11 = 122;            // full screen or window
constexpr int kKeyJoyMenu = 270;        // television menu button
constexpr int kKeyTouch0 = 384;         // touch point i is 384 + i
constexpr int kKeyBack = 416;           // the host's back request
constexpr int kKeyClose = kVxCloseKey;  // the host's close request
