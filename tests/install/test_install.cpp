// The install: `cmake --install` of this build into a scratch prefix, once per test
// process, then the installed files read the way their users read them: the desktop's
// and the software centre's validators, the icon theme's sizes, man, the game itself and
// its data folder. The validators and man come with scripts/deps.sh, so a missing one
// fails the test rather than skipping it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/files.h"
#include "tests/support/game_files.h"
#include "tests/support/process.h"

namespace fs = std::filesystem;

namespace {

const std::string kId = QUORVEX_APP_ID;

// The executable `name` on PATH, or `name` itself (which then fails to start, status 127).
std::string OnPath(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const fs::path p = fs::path(dir) / name;
    if (!dir.empty() && access(p.c_str(), X_OK) == 0) return p.string();
  }
  return name;
}

// Runs a tool found on PATH; its absence is a failure that names the package to install.
ProcessResult Tool(const std::vector<std::string>& argv, const ProcessOptions& opt = {}) {
  std::vector<std::string> args = argv;
  args[0] = OnPath(argv[0]);
  ProcessResult r = RunProcess(args, opt);
  EXPECT_FALSE(r.status == 127 && r.out.empty()) << argv[0] << " is missing: run scripts/deps.sh";
  return r;
}

// Every file under `root` by its relative name, with its bytes.
std::map<std::string, std::string> Files(const fs::path& root) {
  std::map<std::string, std::string> out;
  for (const auto& e : fs::recursive_directory_iterator(root))
    if (e.is_regular_file())
      out[e.path().lexically_relative(root).string()] = test_files::ReadFile(e.path());
  return out;
}

bool HasDisplay() { return std::getenv("DISPLAY") && *std::getenv("DISPLAY"); }

class Install : public testing::Test {
 protected:
  // Installs once for all the tests of this process; the prefix lasts until it ends.
  static void SetUpTestSuite() {
    prefix_ = std::make_unique<test_files::ScratchDir>("quorvex-install");
    ProcessOptions opt;
    opt.timeout_seconds = 240;
    install_ = RunProcess(
        {QUORVEX_CMAKE, "--install", QUORVEX_BUILD_DIR, "--prefix", prefix_->path().string()}, opt);
  }
  static void TearDownTestSuite() { prefix_.reset(); }

  void SetUp() override { ASSERT_EQ(install_.status, 0) << install_.out << install_.err; }

  // The scratch prefix and paths below it, for example Installed(QUORVEX_INSTALL_BINDIR
  // "/quorvex").
  static const fs::path& Prefix() { return prefix_->path(); }
  static fs::path Installed(const std::string& relative) { return Prefix() / relative; }
  static fs::path DataDir() { return Installed(QUORVEX_INSTALL_DATADIR "/quorvex/data"); }

 private:
  static std::unique_ptr<test_files::ScratchDir> prefix_;
  static ProcessResult install_;
};

std::unique_ptr<test_files::ScratchDir> Install::prefix_;
ProcessResult Install::install_;

TEST_F(Install, TheDesktopEntryAndMetainfoPassTheirValidatorsAndNameTheGame) {
  const fs::path desktop = Installed(QUORVEX_INSTALL_DATADIR "/applications/" + kId + ".desktop");
  const fs::path metainfo = Installed(QUORVEX_INSTALL_DATADIR "/metainfo/" + kId + ".metainfo.xml");
  // Both succeed despite hints and infos, which they print: apart from appstreamcli's
  // verdict they must print nothing.
  const std::vector<std::string> validators[] = {
      {"desktop-file-validate", desktop.string()},
      {"appstreamcli", "validate", "--no-net", metainfo.string()}};
  for (const std::vector<std::string>& argv : validators) {
    SCOPED_TRACE(argv[0]);
    const ProcessResult r = Tool(argv);
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    EXPECT_EQ(std::regex_replace(r.out + r.err,
                                 std::regex("\\s*\\S* ?Validation was successful.*\\s*"), ""),
              "");
  }
  // What no validator checks: that the files name this game, its id, program and version.
  struct Line {
    fs::path file;
    std::string text;
  };
  const Line lines[] = {
      {desktop, "\nExec=quorvex\n"},
      {desktop, "\nIcon=" + kId + "\n"},
      {desktop, "\nStartupWMClass=" + kId + "\n"},
      {metainfo, "<id>" + kId + "</id>"},
      {metainfo, "<launchable type=\"desktop-id\">" + kId + ".desktop</launchable>"},
      {metainfo, "<binary>quorvex</binary>"},
      {metainfo, "<release version=\"" QUORVEX_VERSION "\""},
  };
  for (const Line& l : lines)
    EXPECT_NE(test_files::ReadFile(l.file).find(l.text), std::string::npos)
        << l.file.filename() << " lacks " << l.text;
}

TEST_F(Install, EveryIconSizeIsInTheThemeAndIsThatSize) {
  for (int size : {QUORVEX_ICON_SIZES}) {
    const std::string dir = std::to_string(size) + "x" + std::to_string(size);
    SCOPED_TRACE(dir);
    const std::string png = test_files::ReadFile(
        Installed(QUORVEX_INSTALL_DATADIR "/icons/hicolor/" + dir + "/apps/" + kId + ".png"));
    ASSERT_GE(png.size(), 24u) << "missing";
    EXPECT_EQ(png.substr(0, 16), std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16));
    auto be32 = [&](size_t at) {
      return (int)((unsigned char)png[at] << 24 | (unsigned char)png[at + 1] << 16 |
                   (unsigned char)png[at + 2] << 8 | (unsigned char)png[at + 3]);
    };
    EXPECT_EQ(be32(16), size) << "width";
    EXPECT_EQ(be32(20), size) << "height";
  }
}

TEST_F(Install, TheManualRendersAndNamesEverySwitchTheGameKnows) {
  const fs::path page = Installed(QUORVEX_INSTALL_MANDIR "/man6/quorvex.6");
  ProcessOptions opt;
  // Plain ASCII on lines long enough that no switch is hyphenated.
  opt.env = {"LC_ALL=C", "MANWIDTH=200", "MANPAGER=cat", "PAGER=cat"};
  const ProcessResult man = Tool({"man", "-l", page.string()}, opt);
  EXPECT_EQ(man.status, 0) << man.err;
  EXPECT_EQ(man.err, "") << "man's warnings";
  // The switches are those the installed game's own --help lists.
  const ProcessResult help =
      RunProcess({Installed(QUORVEX_INSTALL_BINDIR "/quorvex").string(), "--help"});
  ASSERT_EQ(help.status, 0);
  std::set<std::string> switches;
  const std::regex option("(^|\\s)(--[a-z][a-z-]*)");
  for (auto it = std::sregex_iterator(help.out.begin(), help.out.end(), option);
       it != std::sregex_iterator(); ++it)
    switches.insert((*it)[2]);
  EXPECT_GE(switches.size(), 8u) << help.out;
  for (const std::string& s : switches)
    EXPECT_TRUE(man.out.find(s) != std::string::npos) << s << " is not in the manual";
}

TEST_F(Install, TheInstalledGamePrintsItsVersion) {
  const ProcessResult r =
      RunProcess({Installed(QUORVEX_INSTALL_BINDIR "/quorvex").string(), "--version"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "quorvex " QUORVEX_VERSION "\n");
}

TEST_F(Install, TheDataFolderIsTheBuildsStampIncluded) {
  ASSERT_TRUE(fs::is_directory(DataDir()));
  const auto installed = Files(DataDir()), built = Files(QUORVEX_DATA_DIR);
  EXPECT_EQ(installed.count("quorvex.stamp"), 1u);
  EXPECT_EQ(installed.size(), built.size());
  for (const auto& [name, bytes] : built) {
    const auto it = installed.find(name);
    EXPECT_TRUE(it != installed.end() && it->second == bytes) << name;
  }
}

// A player's first runs of the installed game, started from a folder that holds
// someone else's "data": the menu is drawn from the game's own data, the state
// goes to the player's data folder, the next start loads it, and neither that
// folder nor the installation gains a file.
TEST_F(Install, TheInstalledGamePlaysFromAnyFolderAndKeepsItsStatePerUser) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  test_files::ScratchDir home("quorvex-home");
  const fs::path elsewhere = home / "elsewhere", script = home / "script.txt";
  fs::create_directories(elsewhere / "data");
  test_files::WriteFile(elsewhere / "data/notes.txt", "someone else's");
  test_files::WriteFile(script, "60 screenshot menu.png\n70 focus lost\n71 focus gained\n");
  const auto installed = Files(Prefix());
  ProcessOptions opt;
  opt.cwd = elsewhere.string();
  opt.env = {"HOME=" + home.path().string(), "XDG_DATA_HOME=" + (home / "xdg").string()};
  const std::string game = Installed(QUORVEX_INSTALL_BINDIR "/quorvex").string();

  const ProcessResult first =
      RunProcess({game, "--fast", "--script", script.string(), "--exit-after", "90"}, opt);
  EXPECT_EQ(first.status, 0) << first.out << first.err;
  EXPECT_GT(game_files::Shot(elsewhere / "menu.png").Colours(), 40)
      << "the menu, drawn from the game's own data";
  EXPECT_EQ(game_files::StateProblem(test_files::ReadFile(home / "xdg/quorvex/.zorbelstate")), "")
      << "saved when the focus went";
  fs::remove(elsewhere / "menu.png");  // the one file the script asked for
  EXPECT_EQ(Files(elsewhere).size(), 1u) << "nothing written into the folder it was started from";
  EXPECT_TRUE(Files(Prefix()) == installed) << "nothing written into the installation";

  const ProcessResult second = RunProcess({game, "--fast", "--exit-after", "5"}, opt);
  EXPECT_NE(second.out.find("Settings Loaded\nBadges Loaded\n"), std::string::npos) << second.out;
}

// Read back from the X server: the window's class is the one the desktop entry
// names (so docks group it under the entry) and it carries the icon's sizes.
TEST_F(Install, TheWindowHasTheDesktopEntrysClassAndTheIcon) {
  if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
  test_files::ScratchDir home("quorvex-home");
  const std::string desktop =
      test_files::ReadFile(Installed(QUORVEX_INSTALL_DATADIR "/applications/" + kId + ".desktop"));
  std::smatch wmClass;
  ASSERT_TRUE(std::regex_search(desktop, wmClass, std::regex("\nStartupWMClass=(.*)\n")));
  const std::string shell =
      "\"$1\" --exit-after 900 >/dev/null 2>&1 & game=$!\n"
      "window=$(timeout 20 xdotool search --sync --class \"$2\" | head -n 1)\n"
      "xprop -id \"$window\" WM_CLASS _NET_WM_ICON | grep -o 'WM_CLASS.*\\|Icon ([0-9]* x "
      "[0-9]*)'\n"
      "kill $game; wait $game\n";
  ProcessOptions opt;
  opt.env = {"HOME=" + home.path().string(), "XDG_DATA_HOME=" + (home / "xdg").string()};
  const ProcessResult r =
      RunProcess({"/bin/sh", "-c", shell, "sh",
                  Installed(QUORVEX_INSTALL_BINDIR "/quorvex").string(), wmClass[1].str()},
                 opt);
  EXPECT_EQ(
      r.out,
      "WM_CLASS(STRING) = \"" + kId + "\", \"" + kId +
          "\"\nIcon (16 x 16)\nIcon (32 x 32)\nIcon (48 x 48)\nIcon (64 x 64)\nIcon (128 x 128)\n")
      << r.err;
}

}  // namespace
