// The host's guarded wrappers, key translation, callbacks, window set-up,
// joystick remapping and small services, through the scripted window layer.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <sstream>
#include <map>

#include "host/glfw2_scripted.h"
#include "host/options.h"
#include "tests/host/host_test_util.h"

namespace {

class HostEvents : public ScriptedHostTest {
 protected:
  // Opens the window as Run does, starts the game and delivers what is due.
  void OpenAndStart() {
    host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
    host.StartGame();
    d->log.clear();
  }
  void Deliver(double at) {
    glfw2_script::Advance(at - glfw2_script::Now());
    glfwPollEvents();
  }
};

TEST_F(HostEvents, WrappersFollowTheirGuards) {
  host.SuspendGame();
  host.ResumeGame();
  host.UpdateGame();
  host.RenderGame();
  host.KeyEvent(1, 65);
  host.MouseEvent(4, 0, 1, 2);
  EXPECT_TRUE(d->log.empty()) << "nothing reaches the delegate before the start";
  EXPECT_FALSE(host.Started());

  host.StartGame();
  host.StartGame();
  EXPECT_EQ(d->starts, 1);
  EXPECT_TRUE(host.Started());

  host.ResumeGame();  // not suspended
  EXPECT_EQ(d->resumes, 0);
  host.SuspendGame();
  host.SuspendGame();
  EXPECT_EQ(d->suspends, 1);
  EXPECT_TRUE(host.Suspended());

  host.UpdateGame();  // blocked while suspended
  host.RenderGame();  // rendering and input are not
  host.KeyEvent(1, 65);
  EXPECT_EQ(d->updates, 0);
  EXPECT_EQ(d->renders, 1);
  EXPECT_EQ(d->Count("K1:65"), 1);

  host.ResumeGame();
  host.ResumeGame();
  EXPECT_EQ(d->resumes, 1);
  host.UpdateGame();
  EXPECT_EQ(d->updates, 1);
  // Touch, motion and graphics discards reach the base delegate, which ignores them.
  host.TouchEvent(7, 0, 1, 1);
  host.MotionEvent(10, 0, 1, 1, 1);
  host.DiscardGraphics();
}

TEST_F(HostEvents, SimpleServicesStoreAndReport) {
  host.SetKeyboardEnabled(true);
  EXPECT_TRUE(host.KeyboardEnabled());
  host.SetUpdateRate(30);
  EXPECT_EQ(host.UpdateRate(), 30);
  EXPECT_DOUBLE_EQ(host.UpdatePeriod(), 1.0 / 30);
  EXPECT_DOUBLE_EQ(host.NextUpdate(), 1.0 / 30);
  glfw2_script::Advance(1.2345);
  EXPECT_EQ(host.Millisecs(), 1234);
  host.SetUpdateRate(0);  // leaves the timing as it was
  EXPECT_EQ(host.UpdateRate(), 0);
  EXPECT_DOUBLE_EQ(host.UpdatePeriod(), 1.0 / 30);
  EXPECT_DOUBLE_EQ(host.NextUpdate(), 1.0 / 30);

  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  host.SetMouseVisible(false);
  EXPECT_FALSE(glfw2_script::GetStats().cursorVisible);
  host.SetMouseVisible(true);
  EXPECT_TRUE(glfw2_script::GetStats().cursorVisible);

  // The neutral host's defaults.
  VxGame& base = host;
  EXPECT_EQ(base.VxGame::Millisecs(), 0);
  EXPECT_FALSE(base.VxGame::PollJoystick(0, Array<float>(2), Array<float>(2), Array<float>(2),
                                         Array<bool>(32)));
}

TEST_F(HostEvents, GetDateFillsWhatTheArrayHolds) {
  std::time_t before = std::time(nullptr);
  Array<int> date(7);
  host.GetDate(date);
  std::time_t after = std::time(nullptr);
  bool matched = false;
  for (std::time_t t = before; t <= after && !matched; ++t) {
    std::tm* tm = std::localtime(&t);
    matched = date[0] == tm->tm_year + 1900 && date[1] == tm->tm_mon + 1 &&
              date[2] == tm->tm_mday && date[3] == tm->tm_hour && date[4] == tm->tm_min &&
              date[5] == tm->tm_sec;
  }
  EXPECT_TRUE(matched) << date[0] << "-" << date[1] << "-" << date[2] << " " << date[3] << ":"
                       << date[4] << ":" << date[5];
  EXPECT_EQ(date[6], 0);

  Array<int> shortDate(2);
  shortDate[1] = -5;
  host.GetDate(shortDate);
  EXPECT_GE(shortDate[0], 2000);
  EXPECT_GE(shortDate[1], 1);
  Array<int> none;
  host.GetDate(none);  // nothing to fill, nothing touched
}

// The table as the host promises it, written out independently.
std::map<int, int> ExpectedKeys() {
  std::map<int, int> m = {
      {32, 32}, {34, 222}, {39, 222}, {44, 188}, {45, 189}, {46, 190}, {47, 191}, {59, 186},
      {61, 187}, {91, 219}, {92, 220}, {93, 221}, {96, 192}, {126, 192}, {257, 27}, {283, 38},
      {284, 40}, {285, 37}, {286, 39}, {287, 16}, {288, 16}, {289, 17}, {290, 17}, {293, 9},
      {294, 13}, {295, 8}, {296, 45}, {297, 46}, {298, 33}, {299, 34}, {300, 36}, {301, 35},
      {312, 111}, {313, 106}, {314, 109}, {315, 107}, {316, 110}};
  for (int k = '0'; k <= '9'; ++k) m[k] = k;
  for (int k = 'A'; k <= 'Z'; ++k) m[k] = k;
  for (int i = 0; i < 12; ++i) m[258 + i] = 112 + i;  // F1..F12
  for (int i = 0; i < 10; ++i) m[302 + i] = 96 + i;   // keypad digits
  return m;
}

TEST_F(HostEvents, TransKeyMapsEveryCodeByTheTable) {
  std::map<int, int> expected = ExpectedKeys();
  for (int code = -5; code < 400; ++code) {
    auto it = expected.find(code);
    EXPECT_EQ(VxGlfwGame::TransKey(code), it == expected.end() ? 0 : it->second) << code;
  }
  // Named keys of the layer that give nothing: Alt, F13, keypad = and Enter, locks.
  for (int k : std::vector<int>{GLFW_KEY_LALT, GLFW_KEY_RALT, GLFW_KEY_F1 + 12, GLFW_KEY_F25, GLFW_KEY_KP_EQUAL,
                GLFW_KEY_KP_ENTER, (int)glfw2::KEY_CAPS_LOCK, 'a', 'z'})
    EXPECT_EQ(VxGlfwGame::TransKey(k), 0) << k;
}

TEST_F(HostEvents, KeyToCharGivesControlCharactersAndMarkedNavigationKeys) {
  for (int code = 0; code < 512; ++code) {
    int expected = 0;
    if (code == 8 || code == 9 || code == 13 || code == 27) expected = code;
    if ((code >= 33 && code <= 40) || code == 45) expected = code + 65536;
    if (code == 46) expected = 127;
    EXPECT_EQ(VxGlfwGame::KeyToChar(code), expected) << code;
  }
}

TEST_F(HostEvents, KeysArriveAsKeyCodesAndCharacters) {
  OpenAndStart();
  glfw2_script::Key(0.1, GLFW_KEY_DEL, GLFW_PRESS);
  glfw2_script::Key(0.1, GLFW_KEY_DEL, GLFW_RELEASE);
  glfw2_script::Key(0.1, GLFW_KEY_LEFT, GLFW_PRESS);
  glfw2_script::Key(0.1, 'A', GLFW_PRESS);
  glfw2_script::Char(0.1, 'a');
  glfw2_script::Key(0.1, GLFW_KEY_LALT, GLFW_PRESS);  // no host code: nothing
  glfw2_script::Char(0.1, 0xE9);
  Deliver(0.1);
  EXPECT_EQ(d->Joined(), "K1:46 K3:127 K2:46 K1:37 K3:65573 K1:65 K3:97 K3:233");
}

TEST_F(HostEvents, MouseButtonsCarryThePointerAndOnlyThreeButtonsCount) {
  OpenAndStart();
  glfw2_script::MousePos(0.1, 100, 50);
  glfw2_script::MouseButton(0.1, GLFW_MOUSE_BUTTON_LEFT, GLFW_PRESS);
  glfw2_script::MouseButton(0.1, 3, GLFW_PRESS);
  glfw2_script::MousePos(0.1, 120, 60);
  glfw2_script::MouseButton(0.1, GLFW_MOUSE_BUTTON_MIDDLE, GLFW_RELEASE);
  Deliver(0.1);
  EXPECT_EQ(d->Joined(), "M6:-1:100:50 M4:0:100:50 M6:-1:120:60 M5:2:120:60");
}

TEST_F(HostEvents, TheWindowIsOpenedCentredTitledAndSetUpLikeTheOld2Interface) {
  glfw2_script::SetDesktopMode(1280, 1024, 8, 8, 8);
  int seq = glfwGraphicsSeq;
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  const glfw2_script::Stats& s = glfw2_script::GetStats();
  EXPECT_EQ(s.opens, 1);
  EXPECT_EQ(s.mode, GLFW_WINDOW);
  EXPECT_EQ(s.width, 640);
  EXPECT_EQ(s.height, 480);
  EXPECT_EQ(s.bits[0], 8);
  EXPECT_EQ(s.bits[3], 0);
  EXPECT_EQ(s.bits[4], 0);
  EXPECT_EQ(s.noResizeHint, 0);
  EXPECT_EQ(s.posX, 320);
  EXPECT_EQ(s.posY, 272);
  EXPECT_EQ(s.title, "Quorvex");
  EXPECT_TRUE(s.keyRepeat);
  EXPECT_FALSE(s.autoPoll);
  EXPECT_EQ(glfwGraphicsSeq, seq + 1);

  // Odd sizes centre with the division rounding toward zero.
  glfw2_script::SetDesktopMode(1001, 601, 8, 8, 8);
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(s.posX, 180);
  EXPECT_EQ(s.posY, 60);
  EXPECT_EQ(s.closes, 1);  // the old window went first
  EXPECT_EQ(glfwGraphicsSeq, seq + 2);
}

TEST_F(HostEvents, DisplayModesKeepRedGreenBlueInTheirOwnFields) {
  glfw2_script::SetDesktopMode(1280, 1024, 5, 6, 4);
  VxGlfwVideoMode* m = VxGlfwGame::GetGlfwDesktopMode();
  EXPECT_EQ(m->width, 1280);
  EXPECT_EQ(m->height, 1024);
  EXPECT_EQ(m->red, 5);
  EXPECT_EQ(m->green, 6);
  EXPECT_EQ(m->blue, 4);

  EXPECT_EQ(VxGlfwGame::GetGlfwVideoModes().Length(), 0);
  std::vector<glfw2::GLFWvidmode> modes = {{640, 480, 8, 8, 8}, {800, 600, 5, 5, 6}};
  glfw2_script::SetVideoModes(modes);
  Array<VxGlfwVideoMode*> list = VxGlfwGame::GetGlfwVideoModes();
  ASSERT_EQ(list.Length(), 2);
  EXPECT_EQ(list[1]->width, 800);
  EXPECT_EQ(list[1]->red, 5);
  EXPECT_EQ(list[1]->blue, 5);   // GLFW's record: red, blue, green
  EXPECT_EQ(list[1]->green, 6);
}

struct JoyArrays {
  Array<float> x{2}, y{2}, z{2};
  Array<bool> b{32};
};

TEST_F(HostEvents, JoysticksWithFourOrFiveAxesAreRemapped) {
  glfw2_script::Joystick j;
  j.present = true;
  j.axes = {0.1f, 0.2f, 0.3f, 0.4f};
  j.buttons = {GLFW_PRESS, GLFW_RELEASE, GLFW_PRESS};
  glfw2_script::SetJoystick(0, j);
  JoyArrays a;
  ASSERT_TRUE(host.PollJoystick(0, a.x, a.y, a.z, a.b));
  EXPECT_FLOAT_EQ(a.x[0], 0.1f);
  EXPECT_FLOAT_EQ(a.x[1], 0.4f);
  EXPECT_FLOAT_EQ(a.y[0], 0.2f);
  EXPECT_FLOAT_EQ(a.y[1], 0.3f);
  EXPECT_FLOAT_EQ(a.z[0], 0.0f);
  EXPECT_FLOAT_EQ(a.z[1], 0.0f);
  EXPECT_TRUE(a.b[0]);
  EXPECT_FALSE(a.b[1]);
  EXPECT_TRUE(a.b[2]);

  j.axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f};
  glfw2_script::SetJoystick(1, j);
  ASSERT_TRUE(host.PollJoystick(1, a.x, a.y, a.z, a.b));
  EXPECT_FLOAT_EQ(a.x[0], 0.1f);
  EXPECT_FLOAT_EQ(a.x[1], 0.5f);
  EXPECT_FLOAT_EQ(a.y[0], 0.2f);
  EXPECT_FLOAT_EQ(a.y[1], 0.4f);
  EXPECT_FLOAT_EQ(a.z[0], 0.3f);
  EXPECT_FLOAT_EQ(a.z[1], 0.0f);

  j.axes = {0.1f, 0.2f, 0.3f, 0.4f, 0.5f, 0.6f, 0.7f};  // six or more: as they come
  glfw2_script::SetJoystick(2, j);
  ASSERT_TRUE(host.PollJoystick(2, a.x, a.y, a.z, a.b));
  EXPECT_FLOAT_EQ(a.x[1], 0.4f);
  EXPECT_FLOAT_EQ(a.y[1], 0.5f);
  EXPECT_FLOAT_EQ(a.z[0], 0.3f);
  EXPECT_FLOAT_EQ(a.z[1], 0.6f);
}

TEST_F(HostEvents, AbsentJoystickLeavesTheArraysAlone) {
  JoyArrays a;
  a.x[0] = 9;
  a.b[0] = true;
  EXPECT_FALSE(host.PollJoystick(3, a.x, a.y, a.z, a.b));
  EXPECT_FLOAT_EQ(a.x[0], 9);
  EXPECT_TRUE(a.b[0]);

  // More buttons than the arrays can hold: only what fits is written.
  glfw2_script::Joystick j;
  j.present = true;
  j.buttons.assign(40, GLFW_PRESS);
  glfw2_script::SetJoystick(0, j);
  Array<bool> few(4);
  EXPECT_TRUE(host.PollJoystick(0, a.x, a.y, a.z, few));
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(few[i]);
}

TEST_F(HostEvents, OpenUrlHandsTheTextToTheOpenerWithoutAShell) {
  char tmpl[] = "/tmp/quorvex-url-XXXXXX";
  ASSERT_TRUE(mkdtemp(tmpl));
  std::string dir = tmpl;
  {
    std::ofstream opener(dir + "/xdg-open");
    opener << "#!/bin/sh\nprintf '%s' \"$1\" > \"" << dir << "/got.tmp\"\nmv \"" << dir
           << "/got.tmp\" \"" << dir << "/got\"\n";
  }
  ASSERT_EQ(chmod((dir + "/xdg-open").c_str(), 0755), 0);
  const char* oldPath = std::getenv("PATH");
  std::string saved = oldPath ? oldPath : "";
  setenv("PATH", (dir + ":" + saved).c_str(), 1);
  host.OpenUrl(String("https://example.org/a b;touch ") + String(dir.c_str()) + String("/pwned"));
  setenv("PATH", saved.c_str(), 1);
  std::string got;
  for (int i = 0; i < 500 && got.empty(); ++i) {
    std::ifstream in(dir + "/got");
    std::stringstream text;
    text << in.rdbuf();
    got = text.str();
    if (got.empty()) usleep(10000);
  }
  EXPECT_EQ(got, "https://example.org/a b;touch " + dir + "/pwned");
  struct stat st;
  EXPECT_NE(stat((dir + "/pwned").c_str(), &st), 0) << "the text reached a shell";
  std::system(("rm -rf '" + dir + "'").c_str());
}

}  // namespace
