// The real window layer in an X display (Xvfb in the test runs): the window
// the host opens, full screen and back, keys and the mouse from the X server,
// and the close button.
#include <cstdlib>
#include <string>

#include "host/platform/glfw2.h"
#include "tests/host/platform/host_fixture.h"
#include "tests/support/process.h"

// In x11_close.cpp, away from the X headers' macros: what a window manager sends for the close
// button; one connection held for the process, so the server does not reset between its tests.
bool SendCloseRequest(unsigned long window);
void HoldDisplay();

namespace {

std::string Shell(const std::string& cmd) { return RunProcess({"/bin/sh", "-c", cmd}).out; }

bool HasDisplay() { return std::getenv("DISPLAY") && *std::getenv("DISPLAY"); }

class HostWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HasDisplay()) GTEST_SKIP() << "needs a display (run under xvfb-run)";
    // A server that has just reset may refuse a connection for a moment.
    bool ok = false;
    for (int i = 0; i < 50 && !(ok = glfwInit()); ++i) glfwSleep(0.1);
    ASSERT_TRUE(ok);
    HoldDisplay();
    host.SetDelegate(d);
    host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    host.StartGame();
    ASSERT_FALSE((id = WindowId()).empty()) << "no window titled Quorvex";
    d->log.clear();
  }
  void TearDown() override {
    if (HasDisplay()) glfwTerminate();
  }
  // Pumps events until `done` holds or a generous time has passed.
  template <class F>
  bool PumpUntil(F done, double seconds = 5) {
    for (double end = glfwGetTime() + seconds; !done(); glfwSleep(0.01)) {
      if (glfwGetTime() > end) return false;
      glfwPollEvents();
    }
    return true;
  }
  std::string WindowId() {
    std::string id;
    PumpUntil([&] { return !(id = Shell("xdotool search --name '^Quorvex$'")).empty(); });
    return id.substr(0, id.find('\n'));
  }
  std::string Size() {
    int w = 0, h = 0;
    glfwGetWindowSize(&w, &h);
    return std::to_string(w) + "x" + std::to_string(h);
  }

  VxZorbelGame host;
  RecordingDelegate* d = new RecordingDelegate();
  std::string id;  // the window's X id
};

TEST_F(HostWindow, OpensTitledInTheMiddleGoesFullScreenAndBack) {
  VxGlfwVideoMode* desk = VxGlfwGame::GetGlfwDesktopMode();
  const std::string pos = "Position: " + std::to_string((desk->width - 640) / 2) + "," +
                          std::to_string((desk->height - 480) / 2);
  std::string geo;
  EXPECT_TRUE(PumpUntil([&] {
    return (geo = Shell("xdotool getwindowgeometry " + id)).find(pos) != std::string::npos;
  })) << geo
      << " expected " << pos;
  EXPECT_NE(geo.find("Geometry: 640x480"), std::string::npos) << geo;

  const int seq = glfwGraphicsSeq;
  host.SetGlfwWindow(desk->width, desk->height, desk->red, desk->green, desk->blue, 0, 0, 0, true);
  EXPECT_EQ(Size(), std::to_string(desk->width) + "x" + std::to_string(desk->height));
  PumpUntil([] { return false; }, 0.2);
  EXPECT_EQ(glfwGetWindowParam(GLFW_OPENED), 1);
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(Size(), "640x480");
  EXPECT_EQ(glfwGraphicsSeq, seq + 2);
  EXPECT_FALSE(WindowId().empty()) << "the window is titled again";
}

TEST_F(HostWindow, KeysAndTheMouseFromTheServerArriveTranslated) {
  Shell("xdotool windowfocus " + id);
  ASSERT_TRUE(PumpUntil([] { return glfwGetWindowParam(GLFW_ACTIVE) == 1; }))
      << "the window never got the focus";
  Shell("xdotool key Delete Left a");
  EXPECT_TRUE(PumpUntil([&] {
    return d->Joined("M") == "K1:46 K3:127 K2:46 K1:37 K3:65573 K2:37 K1:65 K3:97 K2:65";
  })) << d->Joined();
  d->log.clear();
  Shell("xdotool mousemove --window " + id + " 100 50 click 1");
  EXPECT_TRUE(PumpUntil([&] { return d->Count("M5:0:100:50") == 1; })) << d->Joined();
  EXPECT_TRUE(d->Count("M4:0:100:50") == 1 && d->Count("M6:-1:100:50") >= 1) << d->Joined();
}

TEST_F(HostWindow, TheCloseButtonSendsKey432AndTheWindowStays) {
  ASSERT_TRUE(
      SendCloseRequest(std::strtoul(id.c_str(), nullptr, 10)));  // what a window manager sends
  EXPECT_TRUE(PumpUntil([&] { return d->Count("K2:432") == 1; })) << d->Joined();
  EXPECT_EQ(d->Joined("M"), "K1:432 K2:432");
  PumpUntil([] { return false; }, 0.2);
  EXPECT_EQ(glfwGetWindowParam(GLFW_OPENED), 1) << "closing is the application's decision";
}

}  // namespace
