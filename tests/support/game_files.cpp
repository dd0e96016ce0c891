#include "tests/support/game_files.h"

#include <stb_image.h>

#include <algorithm>
#include <cstdint>
#include <sstream>
#include <vector>

namespace fs = std::filesystem;

namespace game_files {

void InstallGame(const fs::path& dir, const std::string& exe, const std::string& data) {
  fs::copy_file(exe, dir / "quorvex");
  fs::create_directory_symlink(data, dir / "data");
}

Dump ParseDump(const std::string& text) {
  Dump m;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const size_t sp = line.find(' ');
    if (sp != std::string::npos) m[line.substr(0, sp)] = line.substr(sp + 1);
  }
  return m;
}

long long DumpNumber(const Dump& d, const std::string& name, long long missing) {
  auto it = d.find(name);
  return it == d.end() ? missing : std::strtoll(it->second.c_str(), nullptr, 10);
}

namespace {

// The '|'-terminated fields; whatever follows the last bar is left out.
std::vector<std::string> Fields(const std::string& text, size_t* end = nullptr) {
  std::vector<std::string> f;
  size_t at = 0;
  for (size_t bar; (bar = text.find('|', at)) != std::string::npos; at = bar + 1) {
    f.push_back(text.substr(at, bar - at));
  }
  if (end) *end = at;
  return f;
}

}  // namespace

std::string StateProblem(const std::string& text) {
  std::vector<long long> f;
  for (const std::string& s : Fields(text)) f.push_back(std::strtoll(s.c_str(), nullptr, 10));
  if (f.size() != 98) return "fields: " + std::to_string(f.size());
  long long opt = 0;
  for (int i = 0; i < 25; ++i) opt += i * f[i];
  if (opt != f[25]) return "the options' checksum does not match";
  int32_t badges = 0;
  for (int g = 0; g < 8; ++g) badges = (int32_t)((uint32_t)badges + (uint32_t)f[26 + g]);
  if (badges != f[34]) return "the badges' checksum does not match";
  for (int t = 0; t < 3; ++t) {
    long long sum = 0;
    for (int k = 0; k < 10; ++k)
      sum += (k + 4) * f[35 + 21 * t + 2 * k] + (t + k + 3) * f[36 + 21 * t + 2 * k];
    if (sum != f[55 + 21 * t])
      return "score table " + std::to_string(t) + "'s checksum does not match";
  }
  return "";
}

std::string WithOption(const std::string& text, int index, long long value) {
  size_t end = 0;
  std::vector<std::string> f = Fields(text, &end);
  if (f.size() < 26) return text;
  const long long old = std::strtoll(f[index].c_str(), nullptr, 10);
  f[index] = std::to_string(value);
  f[25] = std::to_string(std::strtoll(f[25].c_str(), nullptr, 10) + (value - old) * index);
  std::string out;
  for (const std::string& field : f) out += field + "|";
  return out + text.substr(end);
}

Shot::Shot(const std::filesystem::path& p) {
  int n = 0;
  if (unsigned char* px = stbi_load(p.string().c_str(), &w, &h, &n, 3)) {
    rgb.assign(px, px + (size_t)w * h * 3);
    stbi_image_free(px);
  }
}

int Shot::Colours() const {
  std::vector<int> seen;
  for (int y = 0; y < h; y += 8) {
    for (int x = 0; x < w; x += 8) {
      const unsigned char* p = At(x, y);
      const int c = (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3);
      if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
    }
  }
  return (int)seen.size();
}

}  // namespace game_files
