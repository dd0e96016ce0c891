// Data paths, files and the saved state.
//
// Application code names its files "zorbel://data/...", which the desktop host
// maps to "./data/..." relative to the working folder (VxGlfwGame::PathToFilePath).
// The file services themselves are members of VxGame (host/game.h) and live in
// host/data.cpp: OpenFile, LoadString, LoadData, SaveState and LoadState.
//
// Left out: writing anywhere but the state file; the internal and external
// folders are mapped but never created.
#pragma once

#include <string>

#include "runtime/runtime.h"

// The saved state, relative to the working folder.
constexpr const char* kVxStateFile = "./.zorbelstate";

// The framework's normaliser: a bare relative name becomes a "zorbel://data/"
// path; names with a scheme or drive letter, "./..." and "/..." stay as they are.
String vx_data_FixDataPath(String path);

// The mapping of the desktop host: "zorbel://data/" -> "./data/", internal and
// external likewise, any other "zorbel:" path -> "" (no file), the rest unchanged.
String vx_data_MapPath(String path);

// A UTF-16 file name as the UTF-8 bytes the system expects (surrogate pairs
// joined). False when the name holds a NUL unit, which would silently name
// another file.
bool vx_data_FileName(String path, std::string& out);

// At start-up: when there is no ./data in the working folder but there is one
// beside the executable, change to the executable's folder, so the game finds
// its assets (and keeps its saved state beside them) wherever it is started
// from. Returns true when it changed folder.
bool vx_data_FindDataFolder(const char* argv0);
