// The start-up and the ends of the program as real processes: glfwInit
// failure, uncaught exceptions, crashes, the normal ends, the switches and the
// data folder search.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

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

TEST(HostEntry, AScriptWithADumpGivesTheSameRunEveryTime) {
  char tmpl[] = "/tmp/quorvex-script-XXXXXX";
  ASSERT_TRUE(mkdtemp(tmpl));
  std::string dir = tmpl;
  std::FILE* f = std::fopen((dir + "/s.txt").c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("# two keys\n3 key down 65\n3 char 97\n5 key up 65\n", f);
  std::fclose(f);
  std::string dumps[2];
  for (int i = 0; i < 2; ++i) {
    // Relative paths: they are taken from the folder the game was started in.
    ProcessResult r = Probe("run", {"--fast", "--script", "s.txt", "--dump", "d.txt",
                                    "--exit-after", "8"}, ENTRY_PROBE, {}, dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out,
              "argc 8\nupdate 1\nupdate 2\nkey 1 65\nkey 3 97\nupdate 3\nupdate 4\nkey 2 65\n"
              "update 5\nupdate 6\nupdate 7\nupdate 8\n");
    std::ifstream in(dir + "/d.txt");
    std::stringstream text;
    text << in.rdbuf();
    dumps[i] = text.str();
    std::remove((dir + "/d.txt").c_str());
  }
  EXPECT_EQ(dumps[0].substr(0, 10), "updates 8\n");
  EXPECT_NE(dumps[0].find("slots 8\n"), std::string::npos) << dumps[0];
  EXPECT_EQ(dumps[0], dumps[1]);

  ProcessResult bad = Probe("run", {"--script", "missing.txt"}, ENTRY_PROBE, {}, dir);
  EXPECT_EQ(bad.status, 2);
  EXPECT_TRUE(Contains(bad.err, "cannot read the script " + dir + "/missing.txt")) << bad.err;
  std::filesystem::remove_all(dir);
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
