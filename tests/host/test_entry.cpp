// The start-up and the ends of the program as real processes: glfwInit
// failure, uncaught exceptions, crashes, the normal ends, the switches and the
// data folder search.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/process.h"

namespace {

const char kUncaught[] = "Zorbel Runtime Error : Uncaught Zorbel Exception\n";

ProcessResult Probe(const std::string& mode, std::vector<std::string> args = {},
                    const char* exe = ENTRY_PROBE, std::vector<std::string> env = {},
                    const std::string& cwd = "") {
  args.insert(args.begin(), exe);
  ProcessOptions o;
  o.env = env;
  o.env.push_back("QUORVEX_PROBE=" + mode);
  o.cwd = cwd;
  o.timeout_seconds = 60;
  return RunProcess(args, o);
}

bool Contains(const std::string& s, const std::string& part) {
  return s.find(part) != std::string::npos;
}

TEST(HostEntry, GlfwInitFailurePrintsTheLineAndExitsMinusOne) {
  ProcessResult r = Probe("init-fails");
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "glfwInit failed\n");
  EXPECT_TRUE(Contains(r.err, "inits=1 terminates=0 opens=0")) << r.err;
}

TEST(HostEntry, ExceptionDuringStartUpTerminatesTheWindowLayerThenDies) {
  ProcessResult r = Probe("throw-main");
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, std::string("argc 1\n") + kUncaught);
  EXPECT_TRUE(Contains(r.err, "terminates=1 opens=0")) << r.err;
}

TEST(HostEntry, ExceptionFromTheDelegateDiesWithTheReport) {
  ProcessResult r = Probe("throw-update");
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, std::string("argc 1\nupdate 1\nupdate 2\nupdate 3\n") + kUncaught);
  EXPECT_TRUE(Contains(r.err, "terminates=0 opens=1")) << r.err;

  r = Probe("throw-start");
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, std::string("argc 1\n") + kUncaught);
}

TEST(HostEntry, WithoutADelegateMainReturnsAtOnce) {
  ProcessResult r = Probe("no-delegate", {"--fast"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "argc 2\nMain returned 0\n");
  EXPECT_TRUE(Contains(r.err, "terminates=1 opens=0")) << r.err;
}

TEST(HostEntry, TheLoopEndsWhenTheWindowIsGoneAndMainReturnsZero) {
  ProcessResult r = Probe("run");
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.out, "update 10\nMain returned 0\n")) << r.out;
  EXPECT_TRUE(Contains(r.err, "terminates=1 opens=1")) << r.err;
}

TEST(HostEntry, RuntimeErrorsAndTheNormalEndFromInsideAnUpdate) {
  ProcessResult r = Probe("segv-update");
  EXPECT_EQ(r.status, 255);
  EXPECT_TRUE(Contains(r.out, "update 2\nZorbel Runtime Error : Memory access violation\n")) << r.out;

  r = Probe("error-update");
  EXPECT_EQ(r.status, 255);
  EXPECT_TRUE(Contains(r.out, "update 2\nZorbel Runtime Error : App has already been created\n\n"))
      << r.out;

  r = Probe("quit-update");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "argc 1\nupdate 1\nupdate 2\n");
}

TEST(HostEntry, ExitAfterEndsTheProcessAfterThatUpdate) {
  ProcessResult r = Probe("run", {"--exit-after", "4"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "argc 3\nupdate 1\nupdate 2\nupdate 3\nupdate 4\n");
}

TEST(HostEntry, FastRunsNeverSleep) {
  ProcessResult slow = Probe("run");
  EXPECT_FALSE(Contains(slow.err, "sleeps=0 ")) << slow.err;
  ProcessResult fast = Probe("run", {"--fast"});
  EXPECT_EQ(fast.status, 0);
  EXPECT_TRUE(Contains(fast.out, "update 10\nMain returned 0\n")) << fast.out;
  EXPECT_TRUE(Contains(fast.err, "sleeps=0\n")) << fast.err;
}

TEST(HostEntry, HelpAndBadSwitchesEndBeforeAnyWindow) {
  ProcessResult r = Probe("run", {"--help"});
  EXPECT_EQ(r.status, 0);
  EXPECT_TRUE(Contains(r.out, "--exit-after N")) << r.out;
  EXPECT_TRUE(Contains(r.out, "--fast")) << r.out;
  EXPECT_TRUE(Contains(r.err, "inits=0")) << r.err;

  for (std::vector<std::string> bad : std::vector<std::vector<std::string>>{
           {"--bogus"}, {"--exit-after"}, {"--exit-after", "x"}, {"--exit-after", "0"},
           {"--script", "events.txt"}, {"stray"}}) {
    r = Probe("run", bad);
    EXPECT_EQ(r.status, 2) << bad[0];
    EXPECT_EQ(r.out, "") << bad[0];
    EXPECT_TRUE(Contains(r.err, "quorvex: ")) << r.err;
    EXPECT_TRUE(Contains(r.err, "inits=0")) << r.err;
  }
}

TEST(HostEntry, StartedElsewhereItMovesToTheFolderThatHoldsItsData) {
  namespace fs = std::filesystem;
  char tmpl[] = "/tmp/quorvex-entry-XXXXXX";
  ASSERT_TRUE(mkdtemp(tmpl));
  fs::path root = tmpl;
  fs::path game = root / "game", elsewhere = root / "elsewhere", withData = root / "here";
  fs::create_directories(game / "data");
  fs::create_directories(elsewhere);
  fs::create_directories(withData / "data");
  fs::copy_file(ENTRY_PROBE, game / "probe");
  fs::permissions(game / "probe", fs::perms::owner_all);

  ProcessResult r = Probe("cwd", {}, (game / "probe").c_str(), {}, elsewhere.string());
  EXPECT_TRUE(Contains(r.out, "cwd " + game.string() + "\n")) << r.out;
  r = Probe("cwd", {}, (game / "probe").c_str(), {}, withData.string());
  EXPECT_TRUE(Contains(r.out, "cwd " + withData.string() + "\n")) << r.out;
  fs::remove(game / "data");
  r = Probe("cwd", {}, (game / "probe").c_str(), {}, elsewhere.string());
  EXPECT_TRUE(Contains(r.out, "cwd " + elsewhere.string() + "\n")) << r.out;
  fs::remove_all(root);
}

TEST(HostEntryReal, WithoutADisplayGlfwInitFails) {
  ProcessResult r = Probe("run", {}, ENTRY_PROBE_REAL, {"DISPLAY=", "WAYLAND_DISPLAY="});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "glfwInit failed\n");
}

TEST(HostEntryReal, RealWindowRunsTheLoopAndAnExceptionStillDies) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  ProcessResult r = Probe("run-real", {}, ENTRY_PROBE_REAL);
  EXPECT_EQ(r.status, 7) << r.out << r.err;  // the probe's own exit after update 10
  EXPECT_TRUE(Contains(r.out, "update 10\n")) << r.out;

  r = Probe("throw-update", {}, ENTRY_PROBE_REAL);
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, std::string("argc 1\nupdate 1\nupdate 2\nupdate 3\n") + kUncaught);
}

}  // namespace
