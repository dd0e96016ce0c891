// The start-up, VxZorbelGame::Main, as a real process through the probe: exit
// statuses, fatal reports, the switches' ends and the data folder search (a
// whole scripted run is the end-to-end tests').
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "tests/support/files.h"
#include "tests/support/process.h"

namespace {

namespace fs = std::filesystem;

ProcessResult Probe(std::vector<std::string> args, const std::string& cwd = "",
                    std::vector<std::string> env = {}, const std::string& exe = QUORVEX_PROBE) {
  args.insert(args.begin(), {exe, "entry"});
  ProcessOptions o;
  o.cwd = cwd;
  o.env = env;
  return RunProcess(args, o);
}

bool HasDisplay() { return std::getenv("DISPLAY") && *std::getenv("DISPLAY"); }
const std::vector<std::string> kDisplay, kNoDisplay = {"DISPLAY=", "WAYLAND_DISPLAY="};

// Whether `text` starts with `start`, or is empty when `start` is.
bool Starts(const std::string& text, const std::string& start) {
  return start.empty() ? text.empty() : text.rfind(start, 0) == 0;
}

TEST(HostEntry, EachWayOfEndingGivesItsStatusAndReport) {
  test_files::ScratchDir dir("quorvex-entry");
  const std::string uncaught = "Zorbel Runtime Error : Uncaught Zorbel Exception\n";
  // Without a display unless told: the switches that end the run do so before any window.
  const struct {
    std::vector<std::string> args;
    bool display;
    int status;
    std::string out, err;  // how the output and the error output start ("-": unchecked)
  } cases[] = {
      {{"run", "--help"}, false, 0, "Usage: quorvex ", ""},
      {{"run", "--bogus"}, false, 2, "", "quorvex: unknown option '--bogus' (try --help)\n"},
      {{"run", "--script", "missing.txt"}, false, 2, "", "quorvex: cannot read the script /"},
      {{"run", "--record", "/nonexistent/r.txt"}, false, 2, "", "quorvex: cannot write the recording /"},
      {{"run"}, false, 255, "glfwInit failed", "-"},  // the error output is the window layer's
      {{"throw-main"}, true, 255, uncaught, "-"},
      {{"throw-start"}, true, 255, uncaught, "-"},
      {{"segv-start"}, true, 255, "Zorbel Runtime Error : Memory access violation\n", "-"},
      {{"overflow-start"}, true, 255, "Zorbel Runtime Error : Memory access violation\n", "-"},
      {{"close"}, true, 0, "Main returned 0\n", "-"},  // the loop ends when the window goes
  };
  for (const auto& c : cases) {
    if (c.display && !HasDisplay()) continue;
    const ProcessResult r = Probe(c.args, dir.path().string(), c.display ? kDisplay : kNoDisplay);
    EXPECT_EQ(r.status, c.status) << c.args.back();
    EXPECT_TRUE(Starts(r.out, c.out)) << c.args.back() << ": " << r.out;
    EXPECT_TRUE(c.err == "-" || Starts(r.err, c.err)) << c.args.back() << ": " << r.err;
  }
}

TEST(HostEntry, StartedElsewhereItMovesToTheFolderThatHoldsItsData) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  test_files::ScratchDir root("quorvex-entry");
  const fs::path game = root / "game", elsewhere = root / "elsewhere", here = root / "here";
  for (const fs::path& p : {game / "data", elsewhere, here / "data"}) fs::create_directories(p);
  fs::copy_file(QUORVEX_PROBE, game / "probe");
  fs::permissions(game / "probe", fs::perms::owner_all);
  const std::string exe = (game / "probe").string();
  EXPECT_EQ(Probe({"cwd"}, elsewhere.string(), {}, exe).out, "cwd " + game.string() + "\nMain returned 0\n");
  EXPECT_EQ(Probe({"cwd"}, here.string(), {}, exe).out, "cwd " + here.string() + "\nMain returned 0\n");
  fs::remove(game / "data");
  EXPECT_EQ(Probe({"cwd"}, elsewhere.string(), {}, exe).out,
            "cwd " + elsewhere.string() + "\nMain returned 0\n");
}

}  // namespace
