// What the real game leaves in its folder, as tests read it: the `name value`
// dump and the saved-state text with its four checksums. Also the folder a
// test runs its own copy of the game in (the game keeps its saved state beside
// its data).
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace game_files {

// Puts a copy of `exe` (as `quorvex`) and a link to `data` into `dir`.
void InstallGame(const std::filesystem::path& dir, const std::string& exe, const std::string& data);

using Dump = std::map<std::string, std::string>;
Dump ParseDump(const std::string& text);
// The value as a number; `missing` when the dump has no such line.
long long DumpNumber(const Dump& d, const std::string& name, long long missing = -1);

// Empty when `text` is a whole saved state (98 fields, every checksum right);
// otherwise what is wrong with it.
std::string StateProblem(const std::string& text);
// The saved text with option `index` set to `value`, its checksum kept valid.
std::string WithOption(const std::string& text, int index, long long value);

}  // namespace game_files
