// Data paths, files and the saved state.
//
// Application code names its files "zorbel://data/...", which the desktop host
// maps to "./data/..." (VxGlfwGame::PathToFilePath); "./data/" then stands for
// the data folder found at start-up, wherever the game was started from. The
// file services themselves are members of VxGame (host/platform/game.h) and live in
// host/services/data.cpp: OpenFile, LoadString, LoadData, SaveState and LoadState.
//
// Left out: writing anywhere but the state file; the internal and external
// folders are mapped but never created.
#pragma once

#include <string>

#include "runtime/runtime.h"

// The saved state of a copy that keeps it beside its data.
constexpr const char* kVxStateFile = "./.zorbelstate";

// The file the asset generator leaves in the game's own data folder; a folder
// without it is someone else's "data".
constexpr const char* kVxDataStamp = "quorvex.stamp";

// Where this copy of the game keeps its files, chosen once at start-up.
struct VxDataPlaces {
  std::string dataDir = "./data";        // what "./data/" stands for
  std::string stateFile = kVxStateFile;  // the saved state
  bool installed = false;                // the data came from a share/ folder
};
extern VxDataPlaces vx_data_places;

// The places for an executable in `exeDir` (ending in '/', or empty when
// unknown), trying in order: exeDir/data, exeDir/../share/quorvex/data (an
// installed copy, wherever it was moved), `builtInDataDir` (where the build
// installs the data) and ./data. Only a folder carrying the stamp counts,
// except the last, which is taken as it is. An installed copy saves per user:
// $XDG_DATA_HOME/quorvex/.zorbelstate, or ~/.local/share/quorvex/ when the
// variable is unset or not absolute.
VxDataPlaces vx_data_FindPlaces(const std::string& exeDir, const std::string& builtInDataDir,
                                const char* xdgDataHome, const char* home);

// At start-up: vx_data_FindPlaces for the running executable and environment,
// kept in vx_data_places. The working folder is never changed.
void vx_data_Locate(const char* argv0);

// A mapped file name with a leading "./data/" put in the data folder found.
std::string vx_data_Resolve(const std::string& name);

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
