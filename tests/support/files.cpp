#include "tests/support/files.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace test_files {

ScratchDir::ScratchDir(const std::string& prefix) {
  std::string pattern = "/tmp/" + prefix + "-XXXXXX";
  if (mkdtemp(pattern.data())) path_ = pattern;
}

ScratchDir::~ScratchDir() {
  std::error_code ec;
  if (!path_.empty()) fs::remove_all(path_, ec);
}

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), (std::streamsize)bytes.size());
  return (bool)out;
}

}  // namespace test_files
