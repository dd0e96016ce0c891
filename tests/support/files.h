// A scratch folder under /tmp that goes away with its owner; whole-file reads and writes.
#pragma once

#include <filesystem>
#include <string>

namespace test_files {

// A fresh folder /tmp/<prefix>-XXXXXX, removed with everything in it when the
// object ends (a static one lasts the process).
class ScratchDir {
 public:
  explicit ScratchDir(const std::string& prefix = "quorvex-test");
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// The whole file; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& p);
// Replaces the file with `bytes`; false when it cannot be written.
bool WriteFile(const std::filesystem::path& p, const std::string& bytes);

}  // namespace test_files
