// Scripted sessions, recordings and the state dump, over the scripted window layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

#include "host/glfw2_scripted.h"
#include "host/options.h"
#include "host/script.h"
#include "tests/host/host_test_util.h"
#include "tests/support/game_files.h"

namespace {

using game_files::ReadFile;
using game_files::WriteFile;

class HostScript : public ScriptedHostTest {
 protected:
  void SetUp() override {
    vx_host_updates = vx_host_renders = vx_host_slots = 0;
    vx_script_Stop();
    ScriptedHostTest::SetUp();
    d->onStart = [this] { host.SetUpdateRate(60); };
    d->onUpdate = [this](int) {
      if (vx_host_slots == endSlot) glfw2_script::CloseWindow(glfw2_script::Now());
    };
  }
  void TearDown() override {
    vx_script_Stop();
    vx_record_Close();
    ScriptedHostTest::TearDown();
  }
  // The log from the n-th update on (0-based), up to but not including the next update.
  std::string BeforeUpdate(int n) {
    std::string s;
    int seen = -1;
    for (const std::string& e : d->log) {
      if (e == "U" && ++seen > n) break;
      if (seen == n - 1 && e != "U" && e != "R") s += (s.empty() ? "" : " ") + e;
    }
    return s;
  }

  long long endSlot = 12;
};

TEST_F(HostScript, ParsesEveryFormAndNamesTheBadLine) {
  std::string err;
  EXPECT_TRUE(vx_script_Parse(
      "# a comment\n\n3 key down 37\n3 key up 37\r\n4 char 97\n5 mouse down 0 320.5 240\n"
      "5 mouse up 2 1 2\n6 mouse move 3 4\n7 resize 800 600\n8 focus lost\n9 focus gained\n"
      "10 iconify\n11 restore\n12 close\n12 screenshot menu-2_b.png\n",
      "ok.txt", err))
      << err;
  EXPECT_EQ(vx_script_Remaining(), 13);
  for (const char* bad : {"0 key down 1", "x key down 1", "3 key sideways 1", "3 key down",
                          "3 key down 1 2", "3 mouse down 0 1", "3 resize 0 10", "3 focus maybe",
                          "3 jump", "2.5 char 97", "3 char 9.5", "3 screenshot",
                          "3 screenshot ../up.png", "3 screenshot /tmp/x.png", "3 screenshot a.txt",
                          "3 screenshot .png", "3 screenshot .hidden.png", "3 screenshot a.png b"}) {
    std::string text = std::string("1 char 97\n") + bad + "\n";
    EXPECT_FALSE(vx_script_Parse(text, "bad.txt", err)) << bad;
    EXPECT_EQ(err, std::string("quorvex: bad.txt:2: not an event: ") + bad + "\n");
  }
  EXPECT_FALSE(vx_script_Load("/nonexistent/script.txt", err));
  EXPECT_EQ(err, "quorvex: cannot read the script /nonexistent/script.txt\n");
}

TEST_F(HostScript, EventsArriveJustBeforeTheirUpdateAndRealInputIsIgnored) {
  std::string err;
  ASSERT_TRUE(vx_script_Parse("5 mouse move 10 20\n3 key down 37\n3 char 65573\n3 key up 37\n"
                              "5 mouse down 1 10 20\n",
                              "s", err));
  glfw2_script::Key(0.01, 'Q', GLFW_PRESS);  // the real window's key: not delivered
  glfw2_script::MousePos(0.02, 1, 1);
  host.Run();
  EXPECT_EQ(d->updates, 12);
  EXPECT_EQ(BeforeUpdate(2), "K1:37 K3:65573 K2:37");  // just before update 3
  EXPECT_EQ(BeforeUpdate(4), "M6:-1:10:20 M4:1:10:20");
  EXPECT_EQ(d->Count("K1:81"), 0);
  EXPECT_EQ(d->Count("M6:-1:1:1"), 0);
  EXPECT_EQ(vx_script_Remaining(), 0);
}

TEST_F(HostScript, ScriptedFocusPausesTheGameWhileSlotsKeepCounting) {
  std::string err;
  ASSERT_TRUE(vx_script_Parse("4 focus lost\n6 key down 65\n8 focus gained\n", "s", err));
  glfw2_script::SetActive(0.0, false);  // the real focus does not matter
  host.Run();
  // Slots 4..7 are skipped by the paused game; the key still arrives.
  EXPECT_EQ(vx_host_slots, 12);
  EXPECT_EQ(d->updates, 8);
  EXPECT_EQ(d->suspends, 1);
  EXPECT_EQ(d->resumes, 1);
  EXPECT_EQ(d->Count("K1:65"), 1);
}

TEST_F(HostScript, IconifiedScriptsDrawNothingAndResizeTheWindow) {
  std::string err;
  ASSERT_TRUE(vx_script_Parse("2 resize 800 600\n3 iconify\n9 restore\n", "s", err));
  int rendersAtIconify = -1, rendersAtRestore = -1;
  d->onUpdate = [&](int n) {
    if (n == 2) rendersAtIconify = d->renders;
    if (n == 3) rendersAtRestore = d->renders;
    if (vx_host_slots == endSlot) glfw2_script::CloseWindow(glfw2_script::Now());
  };
  host.Run();
  EXPECT_EQ(glfw2_script::GetStats().width, 800);
  EXPECT_EQ(glfw2_script::GetStats().height, 600);
  EXPECT_EQ(d->updates, 12 - 6);
  // Update 3 is the first after the restore; nothing was drawn meanwhile but
  // the frame after update 2.
  EXPECT_EQ(rendersAtRestore, rendersAtIconify + 1);
  EXPECT_FALSE(host.Iconified());
}

TEST_F(HostScript, ARecordingReplaysAsTheSameSession) {
  char tmpl[] = "/tmp/quorvex-record-XXXXXX";
  int fd = mkstemp(tmpl);
  ASSERT_GE(fd, 0);
  close(fd);
  std::string err;
  ASSERT_TRUE(vx_record_Open(tmpl, err)) << err;
  endSlot = 20;
  glfw2_script::Key(0.05, GLFW_KEY_LEFT, GLFW_PRESS);
  glfw2_script::Char(0.05, 'x');
  glfw2_script::MousePos(0.1, 30, 40);
  glfw2_script::MouseButton(0.1, 0, GLFW_PRESS);
  glfw2_script::SetActive(0.15, false);
  glfw2_script::Key(0.2, GLFW_KEY_LEFT, GLFW_RELEASE);
  glfw2_script::SetActive(0.25, true);
  host.Run();
  vx_record_Close();
  std::string recording = ReadFile(tmpl);
  EXPECT_NE(recording.find(" key down 37\n"), std::string::npos) << recording;
  EXPECT_NE(recording.find(" focus lost\n"), std::string::npos) << recording;
  std::vector<std::string> real = d->log;
  long long realUpdates = vx_host_updates;

  // The same session again, from the recording alone.
  glfwTerminate();
  glfw2_script::Reset();
  ASSERT_TRUE(glfwInit());
  vx_host_updates = vx_host_renders = vx_host_slots = 0;
  ASSERT_TRUE(vx_script_Load(tmpl, err)) << err;
  TestHost again;
  RecordingDelegate* d2 = new RecordingDelegate();
  again.SetDelegate(d2);
  d2->onStart = [&] { again.SetUpdateRate(60); };
  // The real session ended at slot 20 whatever the pause did; so does this one.
  d2->onUpdate = [&](int) {
    if (vx_host_slots >= 20) glfw2_script::CloseWindow(glfw2_script::Now());
  };
  std::vector<std::string> keysReal, keysAgain;
  again.Run();
  for (const std::string& e : real)
    if (e != "R") keysReal.push_back(e);
  for (const std::string& e : d2->log)
    if (e != "R") keysAgain.push_back(e);
  EXPECT_EQ(keysAgain, keysReal);
  EXPECT_EQ(vx_host_updates, realUpdates);
  std::remove(tmpl);
}

void AddGameLines(std::string& out) { out += "mode 1\n"; }

TEST_F(HostScript, TheDumpHasTheHostCountsThenTheGamesLines) {
  vx_host_updates = 7;
  vx_host_renders = 8;
  vx_host_slots = 9;
  vx_host_dumpHook = AddGameLines;
  const std::string gc = "gc_live_bytes " + std::to_string(gc_alloced_bytes) + "\ngc_peak_bytes " +
                         std::to_string(gc_max_alloced_bytes) + "\n";
  EXPECT_EQ(vx_host_DumpText(), "updates 7\nrenders 8\nslots 9\n" + gc + "mode 1\n");
  vx_host_dumpHook = nullptr;
  char tmpl[] = "/tmp/quorvex-dump-XXXXXX";
  int fd = mkstemp(tmpl);
  ASSERT_GE(fd, 0);
  close(fd);
  vx_host_options.dump = tmpl;
  EXPECT_TRUE(vx_host_WriteDump());
  EXPECT_EQ(ReadFile(tmpl), "updates 7\nrenders 8\nslots 9\n" + gc);
  vx_host_options.dump = "/nonexistent/dir/dump.txt";
  EXPECT_FALSE(vx_host_WriteDump());
  std::remove(tmpl);
}

}  // namespace
