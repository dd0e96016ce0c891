// Data paths, files and the saved state, on real files in a fresh folder.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "host/platform/game.h"
#include "host/services/data.h"
#include "tests/support/files.h"

namespace {

using test_files::ReadFile;
using test_files::WriteFile;
namespace fs = std::filesystem;

class HostData : public ::testing::Test {
 protected:
  void SetUp() override {
    old = fs::current_path();
    fs::current_path(dir.path());
  }
  void TearDown() override { fs::current_path(old); }

  fs::path old;
  test_files::ScratchDir dir{"quorvex-host-data"};
  VxZorbelGame host;
};

TEST_F(HostData, ApplicationPathsMapToTheDataFolders) {
  // The path, the desktop host's mapping, the framework's normaliser.
  const struct {
    const char *path, *file, *fixed;
  } paths[] = {
      {"zorbel://data/gfx/a.png", "./data/gfx/a.png", "zorbel://data/gfx/a.png"},
      {"zorbel://internal/x", "./internal/x", "zorbel://internal/x"},
      {"zorbel://external/y/z", "./external/y/z", "zorbel://external/y/z"},
      {"zorbel://other/x", "", "zorbel://other/x"},
      {"zorbel:data/x", "", "zorbel://data/zorbel:data/x"},
      {"zorbel://data/../x", "./data/../x", "zorbel://data/../x"},
      {"Zorbel://data/x", "Zorbel://data/x", "Zorbel://data/x"},
      {"C:/games/x", "C:/games/x", "C:/games/x"},
      {"./x", "./x", "./x"},
      {"/abs/x", "/abs/x", "/abs/x"},
      {"gfx/a.png", "gfx/a.png", "zorbel://data/gfx/a.png"},
      {"gfx/a:/b", "gfx/a:/b", "zorbel://data/gfx/a:/b"},  // a ":/" after a "/" is no scheme
  };
  for (const auto& p : paths) {
    EXPECT_EQ(host.PathToFilePath(String(p.path)), String(p.file)) << p.path;
    EXPECT_EQ(vx_data_FixDataPath(String(p.path)), String(p.fixed)) << p.path;
    EXPECT_EQ(host.VxGame::PathToFilePath(String(p.path)), String(p.path))
        << "the neutral host maps nothing";
  }
}

TEST_F(HostData, FilesAreReadThroughTheMappingWholeAroundTheReadBlock) {
  fs::create_directory("data");
  WriteFile("data/hello.txt", "h\xC3\xA9llo");
  EXPECT_EQ(host.LoadString(String("zorbel://data/hello.txt")), String::FromUtf8("h\xC3\xA9llo"));
  EXPECT_EQ(host.LoadString(String("zorbel://data/missing.txt")) +
                host.LoadString(String("zorbel://x/hello.txt")),
            String());
  std::string bytes;
  for (int i = 0; i < 100000; ++i) bytes += (char)(i * 7 + 3);
  for (int size : {0, 1, 4095, 4096, 4097, 100000}) {
    WriteFile("data/blob.bin", bytes.substr(0, size));
    int length = -1;
    unsigned char* data = host.LoadData(String("zorbel://data/blob.bin"), &length);
    EXPECT_EQ(data ? std::string((char*)data, length) : "null", bytes.substr(0, size)) << size;
    std::free(data);
  }
  int length = 77;
  EXPECT_TRUE(host.LoadData(String("zorbel://data/none.bin"), &length) == nullptr && length == 77);
}

TEST_F(HostData, TheStateIsSavedAsUtf8AndAFailedSaveKeepsThePreviousOne) {
  EXPECT_EQ(host.LoadState(), String()) << "no file yet";
  Char text[] = {'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, '|'};
  ASSERT_EQ(host.SaveState(String(text, 6)), 0);
  EXPECT_EQ(ReadFile(".zorbelstate"), "a\xC3\xA9\xE2\x82\xAC\xED\xA0\xBD\xED\xB8\x80|")
      << "each unit on its own";
  EXPECT_EQ(host.LoadState(), String(text, 6));
  ASSERT_EQ(host.SaveState(String()), 0);
  EXPECT_TRUE(ReadFile(".zorbelstate").empty() && fs::exists(".zorbelstate"))
      << "replaced, never appended";
  EXPECT_FALSE(fs::exists(".zorbelstate.tmp"));
  // A folder where the temporary file would go: no open can succeed, not even as root.
  fs::create_directory(".zorbelstate.tmp");
  testing::internal::CaptureStdout();
  EXPECT_EQ(host.SaveState(String("new")), -1);
  EXPECT_EQ(testing::internal::GetCapturedStdout(),
            "State Not Saved : ./.zorbelstate : Is a directory\n")
      << "one status line, and the game goes on";
  EXPECT_TRUE(ReadFile(".zorbelstate").empty() && fs::exists(".zorbelstate"))
      << "the previous state stays";
}

// Folders (relative to the scratch folder) that carry the data stamp, the
// environment, and where the data and the saved state are then found.
TEST_F(HostData, TheDataFolderIsTheFirstOneStampedAndAnInstalledCopySavesPerUser) {
  const struct {
    const char *stamped, *xdg, *dataDir, *stateFile;
  } cases[] = {
      {"bin/data", "/xdg", "bin/data", "bin/.zorbelstate"},  // build tree, portable copy
      {"bin/data share/quorvex/data", "/xdg", "bin/data",
       "bin/.zorbelstate"},  // beside the executable wins
      {"share/quorvex/data", "/xdg", "bin/../share/quorvex/data", "/xdg/quorvex/.zorbelstate"},
      {"share/quorvex/data", nullptr, "bin/../share/quorvex/data",
       "home/.local/share/quorvex/.zorbelstate"},
      {"share/quorvex/data", "relative", "bin/../share/quorvex/data",
       "home/.local/share/quorvex/.zorbelstate"},
      {"usr/share/quorvex/data", "/xdg", "usr/share/quorvex/data",
       "/xdg/quorvex/.zorbelstate"},             // built-in
      {"", "/xdg", "./data", "./.zorbelstate"},  // nothing stamped: the working folder's, as always
  };
  const std::string root = dir.path().string() + "/";
  for (const auto& c : cases) {
    fs::remove_all(dir.path());
    fs::create_directories(dir / "bin/data");  // unstamped unless listed
    std::istringstream stamped(c.stamped);
    for (std::string d; stamped >> d;) {
      fs::create_directories(dir / d);
      WriteFile(dir / d / kVxDataStamp, "quorvex data\n");
    }
    const std::string home = root + "home";
    VxDataPlaces p =
        vx_data_FindPlaces(root + "bin/", root + "usr/share/quorvex/data", c.xdg, home.c_str());
    auto at = [&](std::string s) { return s[0] == '.' || s[0] == '/' ? s : root + s; };
    EXPECT_EQ(p.dataDir, at(c.dataDir)) << c.stamped;
    EXPECT_EQ(p.stateFile, at(c.stateFile)) << c.stamped << " " << (c.xdg ? c.xdg : "unset");
    EXPECT_EQ(p.installed, std::string(c.stateFile).find("quorvex/") != std::string::npos)
        << c.stamped;
  }
}

TEST_F(HostData, FilesResolveInTheDataFolderFoundAndThePerUserFolderIsMadePrivate) {
  const VxDataPlaces saved = vx_data_places;
  fs::create_directories("elsewhere/gfx");
  WriteFile("elsewhere/gfx/a.txt", "found");
  vx_data_places.dataDir = (dir / "elsewhere").string();
  vx_data_places.stateFile = (dir / "xdg/quorvex/.zorbelstate").string();
  EXPECT_EQ(host.LoadString(String("zorbel://data/gfx/a.txt")), String("found"));
  EXPECT_EQ(vx_data_Resolve("./data"), "./data") << "only what is inside the folder moves";
  EXPECT_EQ(host.SaveState(String("s")), 0);
  EXPECT_EQ(ReadFile("xdg/quorvex/.zorbelstate"), "s");
  EXPECT_EQ(host.LoadState(), String("s"));
  EXPECT_EQ(fs::status("xdg/quorvex").permissions() & fs::perms::all, fs::perms::owner_all);
  vx_data_places = saved;
}

}  // namespace
