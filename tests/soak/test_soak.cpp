// The soak: the real game driven by a seeded random script across every
// screen (keys, mouse, resizes, focus changes, minimising) for many updates.
// It must not crash, its collected memory and its resident size must level
// off (a run twice as long peaks no higher, give or take), and any state file
// it saved must be whole. Figures are printed for the record.
//
// QUORVEX_SOAK_UPDATES is the length of the longer run (by default a short
// one for CTest: 4,000 updates, 2,000 under the sanitizers).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

#include "tests/support/game_files.h"
#include "tests/support/process.h"

namespace fs = std::filesystem;
using namespace game_files;

namespace {

// The keys a player has (the back keys are left out: in the menu they end
// the program, which would end the soak).
const int kKeys[] = {13, 32, 37, 38, 39, 40, 65, 68, 83, 87, 90, 88, 67, 86, 66, 78};

struct Rng {
  uint32_t s;
  uint32_t Next() {
    s = s * 1664525u + 1013904223u;
    return s >> 8;
  }
  int Below(int n) { return (int)(Next() % (uint32_t)n); }
};

// Events for slots 1..updates; the same seed gives the same prefix whatever
// the length, so a shorter run is the start of a longer one.
std::string RandomScript(uint32_t seed, long long updates) {
  Rng r{seed};
  std::ostringstream out;
  int w = 640, h = 480;
  for (long long slot = 20; slot < updates; slot += 1 + r.Below(12)) {
    const int what = r.Below(100);
    if (what < 45) {
      const int key = kKeys[r.Below((int)(sizeof kKeys / sizeof kKeys[0]))];
      out << slot << " key down " << key << "\n";
      out << slot + 1 + r.Below(30) << " key up " << key << "\n";
    } else if (what < 80) {
      const int x = r.Below(w), y = r.Below(h);
      out << slot << " mouse move " << x << " " << y << "\n";
      if (r.Below(2)) {
        out << slot << " mouse down 0 " << x << " " << y << "\n";
        const int x2 = r.Below(w), y2 = r.Below(h);
        out << slot + 2 << " mouse move " << x2 << " " << y2 << "\n";
        out << slot + 3 + r.Below(20) << " mouse up 0 " << x2 << " " << y2 << "\n";
      }
    } else if (what < 86) {
      out << slot << " char " << 32 + r.Below(95) << "\n";
    } else if (what < 88) {
      // Sizes up to 800 x 600: every size still re-lays the screen and reloads
      // the pictures, and the software rasteriser is not what is soaked.
      w = 320 + r.Below(481);
      h = 240 + r.Below(361);
      out << slot << " resize " << w << " " << h << "\n";
    } else if (what < 94) {
      out << slot << " focus lost\n" << slot + 5 + r.Below(60) << " focus gained\n";
    } else {
      out << slot << " iconify\n" << slot + 5 + r.Below(60) << " restore\n";
    }
  }
  return out.str();
}

struct SoakRun {
  ProcessResult result;
  Dump dump;
};

SoakRun Soak(const fs::path& dir, uint32_t seed, long long updates) {
  WriteFile(dir / "soak.txt", RandomScript(seed, updates));
  ProcessOptions opt;
  opt.cwd = dir.string();
  opt.env = {"ALSOFT_CONF=" + (dir / "alsoft.conf").string()};
  // Several hours for the longest runs on a slow machine (about 20 updates a
  // second at worst under the sanitizers).
  opt.timeout_seconds = std::max(3000LL, updates / 20);
  SoakRun run;
  run.result = RunProcess({(dir / "quorvex").string(), "--fast", "--script", "soak.txt", "--exit-after",
                           std::to_string(updates), "--dump", "dump.txt"},
                          opt);
  run.dump = ParseDump(ReadFile(dir / "dump.txt"));
  return run;
}

}  // namespace

TEST(Soak, ARandomSessionStaysUpLevelsOffAndSavesWholeFiles) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
  long long updates = QUORVEX_SOAK_DEFAULT;
  if (const char* n = std::getenv("QUORVEX_SOAK_UPDATES")) updates = std::max(200LL, std::atoll(n));
  const fs::path dir = MakeGameFolder(QUORVEX_EXE, QUORVEX_DATA);
  ASSERT_FALSE(dir.empty());
  // Sound is mixed into nothing: the null backend keeps a device without a file.
  WriteFile(dir / "alsoft.conf", "[general]\ndrivers=null\n");

  const uint32_t seed = 20261208;
  const SoakRun half = Soak(dir, seed, updates / 2);
  fs::remove(dir / ".zorbelstate");
  const SoakRun full = Soak(dir, seed, updates);
  for (const SoakRun* r : {&half, &full}) {
    EXPECT_TRUE(r->result.exited) << r->result.err;
    EXPECT_EQ(r->result.status, 0) << r->result.err.substr(0, 2000);
    EXPECT_EQ(r->result.err.find("Runtime Error"), std::string::npos) << r->result.err.substr(0, 2000);
    EXPECT_EQ(r->result.err.find("Sanitizer"), std::string::npos) << r->result.err.substr(0, 4000);
  }
  ASSERT_FALSE(full.dump.empty());
  EXPECT_EQ(DumpNumber(full.dump, "updates"), updates);

  auto num = [](const SoakRun& r, const char* name) { return DumpNumber(r.dump, name); };
  const long long peakHalf = num(half, "gc_peak_bytes"), peakFull = num(full, "gc_peak_bytes");
  const long rssHalf = half.result.max_rss_kb, rssFull = full.result.max_rss_kb;
  std::printf("soak: %lld updates, %lld renders; collected bytes live %lld, peak %lld (half run %lld); "
              "peak resident %ld kB (half run %ld kB); final mode %lld, level %lld, score %lld\n",
              num(full, "updates"), num(full, "renders"), num(full, "gc_live_bytes"), peakFull, peakHalf,
              rssFull, rssHalf, num(full, "mode"), num(full, "level"), num(full, "score"));
  // Twice the session, about the same peak: nothing piles up. Collected
  // garbage may reach one sweep's worth (the collector sweeps after 8 MB of
  // new objects) before it goes.
  EXPECT_LE(peakFull, std::max(peakHalf + peakHalf / 5 + 256 * 1024, 12LL << 20));
  EXPECT_LE(rssFull, rssHalf + rssHalf / 5 + 16 * 1024);

  // Going to the background saves, and a run this long loses the focus
  // many times; only the shortest runs may end without a file.
  if (updates >= 2000) EXPECT_TRUE(fs::exists(dir / ".zorbelstate"));
  if (fs::exists(dir / ".zorbelstate")) {
    const std::string text = ReadFile(dir / ".zorbelstate");
    EXPECT_EQ(StateProblem(text), "") << text;
  }
  fs::remove_all(dir);
}
