// The real window layer over GLFW 3 in an X display (Xvfb in the test runs):
// the window the host opens, full screen and back, keys and the mouse from
// the X server, the close button, and the loop's pace and processor use.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/glfw2.h"
#include "host/glfw2_pad.h"
#include "tests/host/host_test_util.h"

// In x11_close.cpp, away from the X headers' macros.
bool SendCloseRequest(unsigned long window);
// Keeps one connection open for the rest of the process, so the server does
// not reset between the tests of this process.
void HoldDisplay();

namespace {

std::string Shell(const std::string& cmd) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return out;
  char buf[512];
  while (std::fgets(buf, sizeof buf, p)) out += buf;
  pclose(p);
  return out;
}

double CpuSeconds() {
  rusage ru;
  getrusage(RUSAGE_SELF, &ru);
  return ru.ru_utime.tv_sec + ru.ru_stime.tv_sec + (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) * 1e-6;
}

class HostWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!std::getenv("DISPLAY") || !*std::getenv("DISPLAY"))
      GTEST_SKIP() << "needs a display (run under xvfb-run)";
    // The X server resets when its last client leaves; a new connection
    // right then can be refused for a moment.
    bool ok = false;
    for (int i = 0; i < 50 && !(ok = glfwInit()); ++i) glfwSleep(0.1);
    ASSERT_TRUE(ok);
    HoldDisplay();
    d = new RecordingDelegate();
    host.SetDelegate(d);
  }
  void TearDown() override {
    if (std::getenv("DISPLAY") && *std::getenv("DISPLAY")) glfwTerminate();
  }
  // Pumps events until `done` holds or a generous time has passed.
  template <class F>
  bool PumpUntil(F done, double seconds = 5) {
    double end = glfwGetTime() + seconds;
    while (!done()) {
      if (glfwGetTime() > end) return false;
      glfwPollEvents();
      glfwSleep(0.01);
    }
    return true;
  }
  // The X id of our window, found by its title.
  std::string WindowId() {
    std::string id;
    PumpUntil([&] {
      id = Shell("xdotool search --name '^Quorvex$' 2>/dev/null");
      return !id.empty();
    });
    size_t nl = id.find('\n');
    return nl == std::string::npos ? id : id.substr(0, nl);
  }
  std::string Geometry(const std::string& id) {
    return Shell("xdotool getwindowgeometry " + id + " 2>/dev/null");
  }

  // The key entries of the log (the pointer may wander in and out meanwhile).
  std::string Keys() {
    std::string s;
    for (const std::string& e : d->log)
      if (e[0] == 'K') s += (s.empty() ? "" : " ") + e;
    return s;
  }

  TestHost host;
  RecordingDelegate* d = nullptr;
};

TEST_F(HostWindow, OpensA640By480WindowTitledQuorvexInTheMiddle) {
  int seq = glfwGraphicsSeq;
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(glfwGraphicsSeq, seq + 1);
  ASSERT_EQ(glfwGetWindowParam(GLFW_OPENED), 1);
  int w = 0, h = 0;
  glfwGetWindowSize(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  std::string id = WindowId();
  ASSERT_FALSE(id.empty()) << "no window titled Quorvex";
  VxGlfwVideoMode* desk = VxGlfwGame::GetGlfwDesktopMode();
  ASSERT_GT(desk->width, 0);
  std::string pos = "Position: " + std::to_string((desk->width - 640) / 2) + "," +
                    std::to_string((desk->height - 480) / 2);
  std::string geo;
  EXPECT_TRUE(PumpUntil([&] {
    geo = Geometry(id);
    return geo.find(pos) != std::string::npos;
  })) << geo << " expected " << pos;
  EXPECT_NE(geo.find("Geometry: 640x480"), std::string::npos) << geo;
}

TEST_F(HostWindow, SwitchesToFullScreenAndBack) {
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  VxGlfwVideoMode* desk = VxGlfwGame::GetGlfwDesktopMode();
  int seq = glfwGraphicsSeq;
  host.SetGlfwWindow(desk->width, desk->height, desk->red, desk->green, desk->blue, 0, 0, 0, true);
  EXPECT_EQ(glfwGraphicsSeq, seq + 1);
  ASSERT_EQ(glfwGetWindowParam(GLFW_OPENED), 1);
  int w = 0, h = 0;
  glfwGetWindowSize(&w, &h);
  EXPECT_EQ(w, desk->width);
  EXPECT_EQ(h, desk->height);
  PumpUntil([] { return false; }, 0.2);
  EXPECT_EQ(glfwGetWindowParam(GLFW_OPENED), 1);

  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(glfwGraphicsSeq, seq + 2);
  glfwGetWindowSize(&w, &h);
  EXPECT_EQ(w, 640);
  EXPECT_EQ(h, 480);
  EXPECT_FALSE(WindowId().empty()) << "the window is titled again";
}

TEST_F(HostWindow, KeysAndTheMouseFromTheServerArriveTranslated) {
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  host.StartGame();
  std::string id = WindowId();
  ASSERT_FALSE(id.empty());
  Shell("xdotool windowfocus " + id + " 2>/dev/null");
  ASSERT_TRUE(PumpUntil([] { return glfwGetWindowParam(GLFW_ACTIVE) == 1; }))
      << "the window never got the focus";
  d->log.clear();
  Shell("xdotool key Delete Left a 2>/dev/null");
  std::string want = "K1:46 K3:127 K2:46 K1:37 K3:65573 K2:37 K1:65 K3:97 K2:65";
  EXPECT_TRUE(PumpUntil([&] { return Keys() == want; })) << d->Joined();

  d->log.clear();
  Shell("xdotool mousemove --window " + id + " 100 50 click 1 2>/dev/null");
  EXPECT_TRUE(PumpUntil([&] { return d->Count("M5:0:100:50") == 1; })) << d->Joined();
  EXPECT_EQ(d->Count("M4:0:100:50"), 1) << d->Joined();
  EXPECT_GE(d->Count("M6:-1:100:50"), 1) << d->Joined();
}

TEST_F(HostWindow, TheCloseButtonSendsKey432AndTheWindowStays) {
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  host.StartGame();
  std::string id = WindowId();
  ASSERT_FALSE(id.empty());
  d->log.clear();
  // What a window manager sends for the close button.
  ASSERT_TRUE(SendCloseRequest(std::strtoul(id.c_str(), nullptr, 10)));
  EXPECT_TRUE(PumpUntil([&] { return d->Count("K2:432") == 1; })) << d->Joined();
  EXPECT_EQ(Keys(), "K1:432 K2:432");
  PumpUntil([] { return false; }, 0.2);
  EXPECT_EQ(glfwGetWindowParam(GLFW_OPENED), 1) << "closing is the application's decision";
}

TEST_F(HostWindow, TheLoopKeepsTheUpdateRateAndSleepsBetweenUpdates) {
  d->onStart = [this] { host.SetUpdateRate(60); };
  d->onUpdate = [](int n) {
    if (n == 60) glfwCloseWindow();  // the loop ends at its next poll
  };
  double cpu0 = CpuSeconds(), wall0 = glfwGetTime();
  host.Run();
  double cpu = CpuSeconds() - cpu0, wall = glfwGetTime() - wall0;
  // A loaded machine may have the loop catching up when the window closes:
  // the rest of that batch of at most four updates runs before the next poll.
  EXPECT_GE(d->updates, 60);
  EXPECT_LE(d->updates, 63);
  // Sixty updates at 60 per second take a second, give or take a slow start.
  EXPECT_GE(wall, 0.95);
  EXPECT_LT(wall, 10.0);
  // About one frame per update: it never needed to catch up much.
  EXPECT_GE(d->renders, 30);
  EXPECT_LE(d->renders, d->updates + 1);
  // Waiting is sleeping, not spinning.
  EXPECT_LT(cpu, wall * 0.5) << "cpu " << cpu << " s over " << wall << " s";
  for (size_t i = 1; i < d->updateTimes.size(); ++i)
    EXPECT_GT(d->updateTimes[i], d->updateTimes[i - 1]);
}

// GLFW 3's gamepad order: A B X Y, bumpers, back, start, guide, thumbs, d-pad
// up right down left; axes left x y, right x y, triggers.
TEST(HostGamepad, RecognisedGamepadsTakeTheGamesLayout) {
  const float axes[6] = {0.1f, 0.2f, 0.3f, 0.4f, -1.0f, 0.5f};
  for (int pressed = 0; pressed < 15; ++pressed) {
    unsigned char buttons[15] = {};
    buttons[pressed] = 1;
    float a[6];
    unsigned char b[15];
    glfw2_pad::Map(axes, buttons, a, b);
    // Where GLFW 3's button lands in our layout (9 and 10, the thumbs, go nowhere).
    const int ours[15] = {0, 1, 2, 3, 4, 5, 6, 14, 7, -1, -1, 9, 10, 11, 8};
    for (int i = 0; i < 15; ++i) {
      bool trigger = i == 13;  // the right trigger axis is past half, the left is not
      EXPECT_EQ(b[i] == GLFW_PRESS, i == ours[pressed] || trigger) << pressed << " " << i;
    }
    EXPECT_FLOAT_EQ(a[0], 0.1f);
    EXPECT_FLOAT_EQ(a[1], -0.2f);
    EXPECT_FLOAT_EQ(a[2], -1.0f);
    EXPECT_FLOAT_EQ(a[3], 0.3f);
    EXPECT_FLOAT_EQ(a[4], -0.4f);
    EXPECT_FLOAT_EQ(a[5], 0.5f);
  }
}

}  // namespace
