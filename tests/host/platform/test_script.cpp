// Scripted sessions, recordings and the state dump, over the scripted window
// layer (the dump file is the end-to-end tests').
#include "host/platform/script.h"
#include "tests/host/platform/host_fixture.h"
#include "tests/support/files.h"

namespace {

class HostScript : public ScriptedHostTest {
 protected:
  void SetUp() override {
    vx_script_Stop();
    ScriptedHostTest::SetUp();
    StartAt60();
    d->onUpdate = [this](int) {
      if (vx_host_slots == endSlot) glfw2_script::CloseWindow(glfw2_script::Now());
    };
  }
  void TearDown() override {
    vx_script_Stop();
    vx_record_Close();
    ScriptedHostTest::TearDown();
  }

  long long endSlot = 12;
};

TEST_F(HostScript, EachLineBecomesItsEventAtItsSlot) {
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  host.StartGame();
  // A line and what the delegate sees when its slot comes.
  const struct {
    const char *line, *seen;
  } lines[] = {
      {"2 key down 37", "K1:37"},
      {"2 key up 37\r", "K2:37"},
      {"2 char 97", "K3:97"},
      {"2 mouse down 0 320.5 240", "M4:0:320:240"},
      {"2 mouse up 2 1 2", "M5:2:1:2"},
      {"2 mouse move 3 4", "M6:-1:3:4"},
      {"2 close", "K1:432 K2:432"},
      {"2 focus lost", "P"},
      {"2 focus gained", "Q"},
      {"2 iconify", "P"},
      {"2 restore", "Q"},
      {"2 resize 800 600", ""},
      {"2 screenshot menu-2_b.png", ""},
      {"  # a comment\n\n1 char 1", "K3:1"},
  };
  for (const auto& l : lines) {
    d->log.clear();
    std::string err;
    ASSERT_TRUE(vx_script_Parse(l.line, "s", err)) << err;
    vx_script_Deliver(&host, 1);
    const std::string early = d->Joined();
    vx_script_Deliver(&host, 2);
    EXPECT_EQ(early + "|" + d->Joined(),
              (l.line[0] == '2' ? "|" : std::string(l.seen) + "|") + l.seen)
        << l.line;
    EXPECT_EQ(vx_script_Remaining(), 0) << l.line;
  }
  EXPECT_EQ(glfw2_script::GetStats().width * 10000 + glfw2_script::GetStats().height, 8000600);
  EXPECT_EQ(vx_host_screenshot, "menu-2_b.png");
  vx_host_screenshot.clear();
}

TEST_F(HostScript, ABadLineIsNamedWithItsNumber) {
  std::string err;
  for (const char* bad :
       {"0 key down 1", "x key down 1", "3 key sideways 1", "3 key down", "3 key down 1 2",
        "3 mouse down 0 1", "3 resize 0 10", "3 focus maybe", "3 jump", "2.5 char 97", "3 char 9.5",
        "3 screenshot", "3 screenshot ../up.png", "3 screenshot /tmp/x.png", "3 screenshot a.txt",
        "3 screenshot .png", "3 screenshot .hidden.png", "3 screenshot a.png b"}) {
    EXPECT_FALSE(vx_script_Parse(std::string("1 char 97\n") + bad + "\n", "bad.txt", err)) << bad;
    EXPECT_EQ(err, std::string("quorvex: bad.txt:2: not an event: ") + bad + "\n");
  }
  EXPECT_FALSE(vx_script_Load("/nonexistent/script.txt", err));
  EXPECT_EQ(err, "quorvex: cannot read the script /nonexistent/script.txt\n");
  EXPECT_FALSE(vx_record_Open("/nonexistent/rec.txt", err));
  EXPECT_EQ(err, "quorvex: cannot write the recording /nonexistent/rec.txt\n");
}

TEST_F(HostScript, ARecordingReplaysAsTheSameSession) {
  test_files::ScratchDir dir("quorvex-record");
  const std::string rec = (dir / "rec.txt").string();
  std::string err;
  ASSERT_TRUE(vx_record_Open(rec, err)) << err;
  endSlot = 30;
  using namespace glfw2_script;
  Key(0.05, GLFW_KEY_LEFT, GLFW_PRESS), glfw2_script::Char(0.05, 'x'), MousePos(0.1, 30, 40);
  MouseButton(0.1, 0, GLFW_PRESS), SetActive(0.15, false), Key(0.2, GLFW_KEY_LEFT, GLFW_RELEASE);
  SetActive(0.25, true), SetIconified(0.3, true), SetIconified(0.35, false), CloseRequest(0.4);
  host.Run();
  vx_record_Close();
  const long long updates = vx_host_updates;
  const std::string real =
      d->Joined("R");  // copied now: only the running host's delegate stays marked
  EXPECT_EQ(d->Count("P") * 10 + d->Count("K1:432"), 21) << real;
  // The dump starts with the host's counts (the game's lines follow, from its hook).
  const std::string dump = vx_host_DumpText();
  EXPECT_EQ(dump.substr(0, dump.find("gc_live_bytes ")),
            "updates " + std::to_string(updates) + "\nrenders " + std::to_string(vx_host_renders) +
                "\nslots 30\n");

  // The same session again from the recording alone, on a fresh host.
  glfwTerminate();
  ScriptedHostTest::SetUp();
  ASSERT_TRUE(vx_script_Load(rec, err)) << err;
  VxZorbelGame again;
  RecordingDelegate* d2 = new RecordingDelegate();
  again.SetDelegate(d2);
  d2->onStart = [&] { again.SetUpdateRate(60); };
  d2->onUpdate = d->onUpdate;
  again.Run();
  EXPECT_EQ(d2->Joined("R"), real) << test_files::ReadFile(rec);
  EXPECT_EQ(vx_host_updates, updates);
}

}  // namespace
