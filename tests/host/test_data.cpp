// Paths, files and the saved state, on real files in a fresh folder.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>

#include "host/data.h"
#include "host/game.h"
#include "tests/support/game_files.h"

namespace {

using game_files::ReadFile;
using game_files::WriteFile;

bool Exists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

// Each test runs in its own empty working folder.
class HostData : public ::testing::Test {
 protected:
  void SetUp() override {
    char buf[4096];
    ASSERT_TRUE(getcwd(buf, sizeof buf));
    old = buf;
    char tmpl[] = "/tmp/quorvex-host-data-XXXXXX";
    ASSERT_TRUE(mkdtemp(tmpl));
    dir = tmpl;
    ASSERT_EQ(chdir(dir.c_str()), 0);
  }
  void TearDown() override {
    ASSERT_EQ(chdir(old.c_str()), 0);
    std::string cmd = "rm -rf '" + dir + "'";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
  }

  std::string old, dir;
  VxZorbelGame host;
};

TEST_F(HostData, ApplicationPathsMapToTheDataFolders) {
  EXPECT_EQ(host.PathToFilePath(String("zorbel://data/gfx/a.png")), String("./data/gfx/a.png"));
  EXPECT_EQ(host.PathToFilePath(String("zorbel://internal/x")), String("./internal/x"));
  EXPECT_EQ(host.PathToFilePath(String("zorbel://external/y/z")), String("./external/y/z"));
  EXPECT_EQ(host.PathToFilePath(String("zorbel://other/x")), String());
  EXPECT_EQ(host.PathToFilePath(String("zorbel:data/x")), String());
  EXPECT_EQ(host.PathToFilePath(String("zorbel://data/../x")), String("./data/../x"));
  EXPECT_EQ(host.PathToFilePath(String("Zorbel://data/x")), String("Zorbel://data/x"));
  for (const char* same : {"C:/games/x", "./x", "/abs/x", "plain"}) {
    EXPECT_EQ(host.PathToFilePath(String(same)), String(same)) << same;
    EXPECT_EQ(host.VxGame::PathToFilePath(String(same)), String(same)) << same;
  }
  EXPECT_EQ(host.VxGame::PathToFilePath(String("zorbel://data/a")), String("zorbel://data/a"));
}

TEST_F(HostData, FixDataPathPrefixesOnlyBareNames) {
  EXPECT_EQ(vx_data_FixDataPath(String("gfx/a.png")), String("zorbel://data/gfx/a.png"));
  EXPECT_EQ(vx_data_FixDataPath(String("/abs/a.png")), String("/abs/a.png"));
  EXPECT_EQ(vx_data_FixDataPath(String("./a.png")), String("./a.png"));
  EXPECT_EQ(vx_data_FixDataPath(String("zorbel://data/a.png")), String("zorbel://data/a.png"));
  EXPECT_EQ(vx_data_FixDataPath(String("C:/games/a.png")), String("C:/games/a.png"));
  // A ":/" after an earlier "/" is not a scheme.
  EXPECT_EQ(vx_data_FixDataPath(String("gfx/a:/b")), String("zorbel://data/gfx/a:/b"));
  EXPECT_EQ(vx_data_FixDataPath(String("a.png")), String("zorbel://data/a.png"));
}

TEST_F(HostData, OpenFileReadsThroughTheMappingAndRefusesUnmappedPaths) {
  ASSERT_EQ(mkdir("data", 0755), 0);
  WriteFile("data/hello.txt", "h\xC3\xA9llo");
  EXPECT_EQ(host.LoadString(String("zorbel://data/hello.txt")), String::FromUtf8("h\xC3\xA9llo"));
  EXPECT_EQ(host.LoadString(String("zorbel://data/missing.txt")), String());
  EXPECT_EQ(host.LoadString(String("zorbel://nowhere/hello.txt")), String());
  EXPECT_EQ(host.OpenFile(String("zorbel://other/x"), String("rb")), nullptr);
  // A name with a NUL in it would open a different file: refused.
  Char withNul[] = {'d', 'a', 't', 'a', '/', 'h', 'e', 'l', 'l', 'o', '.', 't', 'x', 't', 0, 'x'};
  EXPECT_EQ(host.OpenFile(String(withNul, 16), String("rb")), nullptr);
}

TEST_F(HostData, NonAsciiFileNamesOpenAsUtf8) {
  ASSERT_EQ(mkdir("data", 0755), 0);
  // U+00E9 and U+1F600 (a surrogate pair in UTF-16) in the name.
  WriteFile("data/caf\xC3\xA9-\xF0\x9F\x98\x80.txt", "ok");
  Char name[] = {'z', 'o', 'r', 'b', 'e', 'l', ':', '/', '/', 'd', 'a', 't', 'a', '/', 'c', 'a',
                 'f', 0xE9, '-', 0xD83D, 0xDE00, '.', 't', 'x', 't'};
  EXPECT_EQ(host.LoadString(String(name, 25)), String("ok"));
}

TEST_F(HostData, LoadDataReadsWholeFilesOfAnySize) {
  ASSERT_EQ(mkdir("data", 0755), 0);
  for (int size : {0, 1, 4095, 4096, 4097, 8192, 100000}) {
    std::string bytes(size, '\0');
    for (int i = 0; i < size; ++i) bytes[i] = (char)(i * 7 + 3);
    WriteFile("data/blob.bin", bytes);
    int length = -1;
    unsigned char* data = host.LoadData(String("zorbel://data/blob.bin"), &length);
    ASSERT_NE(data, nullptr) << size;
    EXPECT_EQ(length, size);
    EXPECT_EQ(std::string((char*)data, length), bytes) << size;
    std::free(data);
  }
  int length = 77;
  EXPECT_EQ(host.LoadData(String("zorbel://data/none.bin"), &length), nullptr);
  EXPECT_EQ(length, 77);  // untouched on failure
}

TEST_F(HostData, StateIsSavedAsUtf8AndLoadsBack) {
  Char text[] = {'a', 0xE9, 0x20AC, 0xD83D, 0xDE00, '|'};
  String state(text, 6);
  ASSERT_EQ(host.SaveState(state), 0);
  EXPECT_EQ(ReadFile(".zorbelstate"),
            "a\xC3\xA9\xE2\x82\xAC\xED\xA0\xBD\xED\xB8\x80|");  // each unit on its own
  EXPECT_EQ(host.LoadState(), state);
  EXPECT_FALSE(Exists(".zorbelstate.tmp"));

  ASSERT_EQ(host.SaveState(String("1|2|")), 0);  // replaces, never appends
  EXPECT_EQ(ReadFile(".zorbelstate"), "1|2|");
}

TEST_F(HostData, EmptyStateMakesAnEmptyFileAndMissingStateLoadsEmpty) {
  EXPECT_EQ(host.LoadState(), String());
  ASSERT_EQ(host.SaveState(String()), 0);
  ASSERT_TRUE(Exists(".zorbelstate"));
  EXPECT_EQ(ReadFile(".zorbelstate"), "");
  EXPECT_EQ(host.LoadState(), String());
}

TEST_F(HostData, CorruptStateLoadsAsItsBytes) {
  WriteFile(".zorbelstate", std::string("\xFF\xFE\x41", 3) + std::string("\x00", 1));
  // Not valid UTF-8 and not a UTF-16 text the game wrote: it must load without
  // harm, whatever characters it gives.
  String s = host.LoadState();
  EXPECT_GT(s.Length(), 0);
  WriteFile(".zorbelstate", "\xC3(\xE2\x82");
  String latin = host.LoadState();
  ASSERT_EQ(latin.Length(), 4);
  EXPECT_EQ(latin[0], 0xC3);
  EXPECT_EQ(latin[3], 0x82);
}

TEST_F(HostData, StateThatCannotBeOpenedGivesMinusOneAndKeepsTheOldState) {
  ASSERT_EQ(host.SaveState(String("old")), 0);
  // A folder where the temporary file would go: no open can succeed, not even as root.
  ASSERT_EQ(mkdir(".zorbelstate.tmp", 0755), 0);
  EXPECT_EQ(host.SaveState(String("new")), -1);
  EXPECT_EQ(ReadFile(".zorbelstate"), "old");
  EXPECT_EQ(host.LoadState(), String("old"));
}

TEST_F(HostData, WriteFailingPartWayLeavesThePreviousStateIntact) {
  ASSERT_EQ(host.SaveState(String("previous|state|")), 0);
  // A child whose files may not grow past 1 KiB: the big write fails mid-way.
  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit lim = {1024, 1024};
    setrlimit(RLIMIT_FSIZE, &lim);
    VxZorbelGame child;
    int r = child.SaveState(String(std::string(100000, 'x').c_str()));
    _exit(r == -2 ? 0 : 10 + (r < 0 ? -r : r));
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "SaveState did not report the short write as -2";
  EXPECT_EQ(ReadFile(".zorbelstate"), "previous|state|");
  EXPECT_FALSE(Exists(".zorbelstate.tmp"));
}

TEST_F(HostData, DataFolderIsFoundBesideTheExecutableOnlyWhenMissingHere) {
  // Here: no ./data, and the test binary's folder has none either.
  EXPECT_FALSE(vx_data_FindDataFolder(nullptr));
  char buf[4096];
  ASSERT_TRUE(getcwd(buf, sizeof buf));
  EXPECT_EQ(std::string(buf), dir);
  ASSERT_EQ(mkdir("data", 0755), 0);
  EXPECT_FALSE(vx_data_FindDataFolder(nullptr));
}

}  // namespace
