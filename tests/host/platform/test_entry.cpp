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
      {{"run", "--record", "/nonexistent/r.txt"},
       false,
       2,
       "",
       "quorvex: cannot write the recording /"},
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

// The data is found from the executable's own place, whatever the working
// folder (which stays the one it was started in); which folder wins is the
// data search's own test.
TEST(HostEntry, ItFindsItsOwnDataFromItsOwnPlaceAndNeverChangesFolder) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  test_files::ScratchDir root("quorvex-entry");
  const fs::path prefix = root / "prefix", elsewhere = root / "elsewhere";
  for (const fs::path& p : {prefix / "bin", prefix / "share/quorvex/data", elsewhere / "data"})
    fs::create_directories(p);
  test_files::WriteFile(prefix / "share/quorvex/data/quorvex.stamp", "quorvex data\n");
  fs::copy_file(QUORVEX_PROBE, prefix / "bin/probe");
  fs::permissions(prefix / "bin/probe", fs::perms::owner_all);
  const std::string e = elsewhere.string();
  EXPECT_EQ(Probe({"places"}, e, {"XDG_DATA_HOME=" + (root / "xdg").string()},
                  (prefix / "bin/probe").string())
                .out,
            "cwd " + e + "\ndata " + (prefix / "bin/../share/quorvex/data").string() + "\nstate " +
                (root / "xdg/quorvex/.zorbelstate").string() + "\nMain returned 0\n");
}

// A player's gamepad mappings: a malformed source is reported once and the
// game goes on; a good one is taken silently.
TEST(HostEntry, AMalformedGamepadMappingIsReportedOnceAndIgnored) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  test_files::ScratchDir dir("quorvex-entry");
  fs::create_directories(dir / "quorvex");
  test_files::WriteFile(
      dir / "quorvex/gamecontrollerdb.txt",
      "# mine\n03000000de2800000112000001000000,My Pad,a:b0,b:b1,platform:Linux,\n");
  const std::string config = "XDG_CONFIG_HOME=" + dir.path().string();
  ProcessResult good = Probe({"close"}, "", {config});
  ProcessResult bad = Probe({"close"}, "", {config, "SDL_GAMECONTROLLERCONFIG=1234,Pad,a:b0"});
  EXPECT_EQ(good.err + std::to_string(good.status), "0");
  EXPECT_EQ(bad.err,
            "quorvex: the gamepad mappings of SDL_GAMECONTROLLERCONFIG are ignored (line 1 is not "
            "a mapping)\n");
  EXPECT_EQ(bad.out, "Main returned 0\n");
}

}  // namespace
