// The fuzz corpus replayed in the normal build: each file of corpus/<target>/
// goes through its fuzzer's body, which must not crash and must give the
// outcome corpus/expected.txt holds for it (known-bad inputs are rejected).
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "tests/fuzz/fuzz_targets.h"
#include "tests/support/files.h"

namespace {

const std::filesystem::path kCorpus = QUORVEX_FUZZ_CORPUS;
// The pictures and sounds, made by the build.
const std::filesystem::path kBuilt = QUORVEX_FUZZ_BUILT_CORPUS;

// Every file of the target folders of both, as "<target>/<file>".
std::vector<std::string> Files() {
  std::vector<std::string> files;
  for (const std::filesystem::path& root : {kCorpus, kBuilt}) {
    if (!std::filesystem::exists(root)) continue;
    for (const auto& e : std::filesystem::recursive_directory_iterator(root))
      if (e.is_regular_file() && e.path().parent_path() != root)
        files.push_back(e.path().lexically_relative(root));
  }
  return files;
}

class Corpus : public ::testing::TestWithParam<std::string> {};

TEST_P(Corpus, GivesItsExpectedOutcome) {
  const std::string file = GetParam();
  const std::string bytes =
      test_files::ReadFile((std::filesystem::exists(kCorpus / file) ? kCorpus : kBuilt) / file);
  const FuzzBody body = FuzzTarget(file.substr(0, file.find('/')));
  ASSERT_TRUE(body) << "no such fuzz target";
  std::string expected = "(no line in expected.txt)";  // its "<target>/<file> <outcome>" line
  std::istringstream table(test_files::ReadFile(kCorpus / "expected.txt"));
  for (std::string line; std::getline(table, line);)
    if (line.rfind(file + " ", 0) == 0) expected = line.substr(file.size() + 1);
  EXPECT_EQ(body((const unsigned char*)bytes.data(), bytes.size()), expected);
}

INSTANTIATE_TEST_SUITE_P(Fuzz, Corpus, ::testing::ValuesIn(Files()), [](const auto& info) {
  std::string name = info.param;
  for (char& c : name) c = std::isalnum((unsigned char)c) ? c : '_';
  return name;
});

}  // namespace
