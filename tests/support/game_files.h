// What the real game leaves in its folder, as tests read it: the `name value`
// dump and the saved-state text with its four checksums. Also the folder a
// test runs its own copy of the game in (the game keeps its saved state beside
// its data).
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace game_files {

// A screenshot the game wrote, as RGB (empty when there is none).
struct Shot {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  explicit Shot(const std::filesystem::path& p);
  const unsigned char* At(int x, int y) const { return &rgb.at(((size_t)y * w + x) * 3); }
  // Distinct colours over a coarse grid: a blank screen has one or two.
  int Colours() const;
};

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
