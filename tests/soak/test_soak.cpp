// The soak: the real game driven by a seeded random script across every
// screen (keys, mouse, resizes, focus changes, minimising) for many updates.
// It must not crash, its collected memory must stay under a bound and its
// resident size, sampled along the way, must level off (the second half of
// the run peaks no higher than the first, give or take), and any state file
// it saved must be whole. Figures are printed for the record. The run is
// QUORVEX_SOAK_UPDATES long (CTest's default: 4,000; 2,000 sanitized).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/game_files.h"
#include "tests/support/openal.h"
#include "tests/support/process.h"

namespace fs = std::filesystem;
using namespace game_files;
using test_files::ReadFile;

namespace {

// The player's keys but the back keys (in the menu those end the program).
const int kKeys[] = {13, 32, 37, 38, 39, 40, 65, 68, 83, 87, 90, 88, 67, 86, 66, 78};

// Events for slots 1..updates; the same seed gives the same prefix whatever
// the length, so a shorter run is the start of a longer one.
std::string RandomScript(uint32_t seed, long long updates) {
  uint32_t s = seed;
  auto below = [&s](int n) { return (int)(((s = s * 1664525u + 1013904223u) >> 8) % (uint32_t)n); };
  std::ostringstream out;
  int w = 640, h = 480;
  for (long long slot = 20; slot < updates; slot += 1 + below(12)) {
    const int what = below(100);
    if (what < 45) {
      const int key = kKeys[below((int)(sizeof kKeys / sizeof kKeys[0]))];
      out << slot << " key down " << key << "\n"
          << slot + 1 + below(30) << " key up " << key << "\n";
    } else if (what < 80) {
      const int x = below(w), y = below(h);
      out << slot << " mouse move " << x << " " << y << "\n";
      if (below(2)) {
        const int x2 = below(w), y2 = below(h);
        out << slot << " mouse down 0 " << x << " " << y << "\n"
            << slot + 2 << " mouse move " << x2 << " " << y2 << "\n"
            << slot + 3 + below(20) << " mouse up 0 " << x2 << " " << y2 << "\n";
      }
    } else if (what < 86) {
      out << slot << " char " << 32 + below(95) << "\n";
    } else if (what < 88) {
      // Sizes up to 640 x 480: every size still re-lays the screen and reloads
      // the pictures, and the software rasteriser is not what is soaked.
      w = 320 + below(321), h = 240 + below(241);
      out << slot << " resize " << w << " " << h << "\n";
    } else if (what < 94) {
      out << slot << " focus lost\n" << slot + 5 + below(60) << " focus gained\n";
    } else {
      out << slot << " iconify\n" << slot + 5 + below(60) << " restore\n";
    }
  }
  return out.str();
}

struct SoakRun {
  ProcessResult result;
  Dump dump;
};
SoakRun Soak(const fs::path& dir, uint32_t seed, long long updates) {
  test_files::WriteFile(dir / "soak.txt", RandomScript(seed, updates));
  ProcessOptions opt;
  opt.cwd = dir.string();
  // Sound is mixed into nothing: the null backend keeps a device without a file.
  opt.env = {openal_test::DriverConfig(dir / "alsoft.conf", "null")};
  // Hours for the longest runs (about 20 updates a second at worst, sanitized).
  opt.timeout_seconds = std::max(3000LL, updates / 20);
  opt.sample_seconds = 2;
  const std::string exe = (dir / "quorvex").string(), n = std::to_string(updates);
  ProcessResult r = RunProcess(
      {exe, "--fast", "--script", "soak.txt", "--exit-after", n, "--dump", "dump.txt"}, opt);
  return {r, ParseDump(ReadFile(dir / "dump.txt"))};
}

}  // namespace

TEST(Soak, ARandomSessionStaysUpLevelsOffAndSavesWholeFiles) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
  long long updates = QUORVEX_SOAK_DEFAULT;
  if (const char* n = std::getenv("QUORVEX_SOAK_UPDATES")) updates = std::max(200LL, std::atoll(n));
  test_files::ScratchDir scratch("quorvex-soak");
  const fs::path dir = scratch.path();
  InstallGame(dir, QUORVEX_EXE, QUORVEX_DATA);

  const SoakRun run = Soak(dir, 20261208, updates);
  const std::string& err = run.result.err;
  EXPECT_TRUE(run.result.exited && run.result.status == 0) << run.result.status << "\n"
                                                           << err.substr(0, 2000);
  EXPECT_TRUE(err.find("Runtime Error") == std::string::npos &&
              err.find("Sanitizer") == std::string::npos)
      << err.substr(0, 4000);
  EXPECT_EQ(DumpNumber(run.dump, "updates"), updates);

  // Resident memory, sampled every 2 s: the second half of the run peaks about
  // where the first did. The collector's peak stays within a few sweeps'
  // worth (a sweep follows 8 MB of new objects).
  const std::vector<long>& rss = run.result.rss_samples_kb;
  const size_t mid = rss.size() / 2;
  const long firstHalf = mid ? *std::max_element(rss.begin(), rss.begin() + mid) : 0;
  const long secondHalf = mid ? *std::max_element(rss.begin() + mid, rss.end()) : 0;
  auto num = [&](const char* name) { return DumpNumber(run.dump, name); };
  std::printf(
      "soak: %lld updates, %lld renders; collected bytes live %lld, peak %lld; peak resident %ld "
      "kB; "
      "final mode %lld, level %lld, score %lld\nresident kB every 2 s:",
      num("updates"), num("renders"), num("gc_live_bytes"), num("gc_peak_bytes"),
      run.result.max_rss_kb, num("mode"), num("level"), num("score"));
  for (long kb : rss) std::printf(" %ld", kb);
  std::printf("\n");
  EXPECT_LE(num("gc_peak_bytes"), 12LL << 20);
  EXPECT_LE(secondHalf, firstHalf + firstHalf / 5 + 16 * 1024);

  // Going to the background saves, and a run this long loses the focus
  // many times; only the shortest runs may end without a file.
  EXPECT_TRUE(updates < 2000 || fs::exists(dir / ".zorbelstate"));
  const std::string text = ReadFile(dir / ".zorbelstate");
  EXPECT_EQ(text.empty() ? "" : StateProblem(text), "") << text;
}
