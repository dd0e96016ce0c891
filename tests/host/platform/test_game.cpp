// The host object over the scripted window layer: the guarded wrappers, the
// timed loop, pausing, input and key translation, the window it opens and
// joysticks.
#include <map>

#include "host/services/data.h"
#include "tests/host/platform/host_fixture.h"

namespace {

using glfw2_script::Now;
const double kPeriod = 1.0 / 60;

class HostGame : public ScriptedHostTest {
 protected:
  // Away at 0.5 s (keys at 1.0 s and 1.5 s), back at 3.0 s, the end at 3.5 s;
  // returns what the delegate saw while the game was paused.
  std::string Away(void (*away)(double at, bool gone)) {
    StartAt60();
    away(0.5, true);
    glfw2_script::Key(1.0, 'A', GLFW_PRESS), glfw2_script::Key(1.5, 'B', GLFW_PRESS);
    away(3.0, false);
    glfw2_script::CloseWindow(3.5);
    host.Run();
    const std::string all = d->Joined();
    EXPECT_EQ(d->Count("P") * 10 + d->Count("Q"), 11) << all;
    // Back without a burst of catch-up: one update at once, the next a period later.
    size_t i = 0;
    while (i < d->updateTimes.size() && d->updateTimes[i] < 1.0) ++i;
    EXPECT_EQ(d->updateTimes.at(i), 3.0);
    EXPECT_NEAR(d->updateTimes.at(i + 1), 3.0 + kPeriod, 1e-9);
    return all.substr(all.find('P') + 2, all.find('Q') - all.find('P') - 3);
  }
};

struct CollectCounter : VxHostProbe {
  int steps = 0;
  void BeforeCollect() override { ++steps; }
};

TEST_F(HostGame, AWrapperThatCallsTheDelegateRunsOneCollectorStepAndARefusedOneNone) {
  CollectCounter counter;
  vx_host_probe = &counter;
  const std::map<char, std::function<void()>> calls = {
      {'s', [&] { host.StartGame(); }},
      {'p', [&] { host.SuspendGame(); }},
      {'q', [&] { host.ResumeGame(); }},
      {'u', [&] { host.UpdateGame(); }},
      {'r', [&] { host.RenderGame(); }},
      {'k', [&] { host.KeyEvent(1, 65); }},
      {'m', [&] { host.MouseEvent(4, 0, 1, 2); }},
      {'t', [&] { host.TouchEvent(7, 0, 1, 1); }},
      {'o', [&] { host.MotionEvent(10, 0, 1, 1, 1); }},
      {'d', [&] { host.DiscardGraphics(); }}};
  // Each call in turn and what the delegate sees of it (nothing when the host refuses it):
  // before the start, started, suspended, resumed.
  const std::pair<char, const char*> steps[] = {
      {'u', ""},      {'r', ""},  {'k', ""},  {'p', ""},      {'s', "S"},        {'s', ""},
      {'q', ""},      {'u', "U"}, {'r', "R"}, {'k', "K1:65"}, {'m', "M4:0:1:2"}, {'t', "T"},
      {'o', "O"},     {'d', "D"}, {'p', "P"}, {'p', ""},      {'u', ""},         {'r', "R"},
      {'k', "K1:65"}, {'q', "Q"}, {'q', ""},  {'u', "U"}};
  for (size_t i = 0; i < std::size(steps); ++i) {
    d->log.clear();
    counter.steps = 0;
    calls.at(steps[i].first)();
    EXPECT_EQ(d->Joined(), steps[i].second) << "step " << i;
    EXPECT_EQ(counter.steps, *steps[i].second ? 1 : 0) << "step " << i;
  }
  vx_host_probe = nullptr;
  EXPECT_EQ(vx_host_updates, 2);
}

TEST_F(HostGame, AtRateZeroItRendersOncePerEventBatchAndBlocksInsteadOfSleeping) {
  glfw2_script::Key(1.0, 'X', GLFW_PRESS), glfw2_script::Key(1.0, 'X', GLFW_RELEASE),
      glfw2_script::Key(2.0, 'Y', GLFW_PRESS);
  host.Run();
  EXPECT_EQ(d->Joined(), "S R R K1:88 K2:88 R K1:89 R");
  EXPECT_EQ(glfw2_script::GetStats().sleeps, 0);
}

TEST_F(HostGame, ItUpdatesOncePerPeriodSleepingBetweenAndRendersAfterEach) {
  StartAt60();
  d->onUpdate = [](int n) {
    if (n == 30) glfw2_script::CloseWindow(Now());
  };
  host.Run();
  std::string expected = "S R";
  for (int i = 0; i < 30; ++i) expected += " U R";
  EXPECT_EQ(d->Joined(), expected);
  for (int i = 0; i < 30; ++i) EXPECT_NEAR(d->updateTimes[i], (i + 1) * kPeriod, 1e-9) << i;
  // The clock moved only by sleeping.
  EXPECT_NEAR(glfw2_script::GetStats().slept, 30 * kPeriod, 1e-9);
  EXPECT_GE(glfw2_script::GetStats().sleeps, 30);
}

TEST_F(HostGame, AfterAStallAtMostFourUpdatesCatchUpThenTimingRestartsFromNow) {
  StartAt60();
  double stallEnd = 0;
  d->onUpdate = [&](int n) {
    if (n == 3) glfw2_script::Advance(1.0), stallEnd = Now();
    if (n == 8) host.SetUpdateRate(20);  // the next update one new period later
    if (n == 10) glfw2_script::CloseWindow(Now());
  };
  host.Run();
  EXPECT_EQ(d->Joined(), "S R U R U R U U U U R U R U R U R U R");
  const std::vector<double>& t = d->updateTimes;
  EXPECT_EQ(t.at(6), stallEnd);
  EXPECT_NEAR(t.at(7) - t[6], kPeriod, 1e-9);
  EXPECT_NEAR(t.at(8) - t[7], 1.0 / 20, 1e-9);
  EXPECT_NEAR(t.at(9) - t[8], 1.0 / 20, 1e-9);
}

TEST_F(HostGame, MinimisedThePausedGameDrawsNothingButHearsKeys) {
  EXPECT_EQ(Away([](double at, bool gone) { glfw2_script::SetIconified(at, gone); }),
            "K1:65 K1:66");
}

TEST_F(HostGame, UnfocusedThePausedGameStillDrawsAfterEachEvent) {
  EXPECT_EQ(Away([](double at, bool gone) { glfw2_script::SetActive(at, !gone); }),
            "R K1:65 R K1:66 R");
}

TEST(HostKeys, WindowKeysTranslateByTheTableAndSomeGiveCharacters) {
  std::map<int, int> keys = {
      {32, 32},   {34, 222},  {39, 222},  {44, 188},  {45, 189}, {46, 190},  {47, 191}, {59, 186},
      {61, 187},  {91, 219},  {92, 220},  {93, 221},  {96, 192}, {126, 192}, {257, 27}, {283, 38},
      {284, 40},  {285, 37},  {286, 39},  {287, 16},  {288, 16}, {289, 17},  {290, 17}, {293, 9},
      {294, 13},  {295, 8},   {296, 45},  {297, 46},  {298, 33}, {299, 34},  {300, 36}, {301, 35},
      {312, 111}, {313, 106}, {314, 109}, {315, 107}, {316, 110}};
  for (int k = '0'; k <= '9'; ++k) keys[k] = k;
  for (int k = 'A'; k <= 'Z'; ++k) keys[k] = k;
  for (int i = 0; i < 12; ++i) keys[258 + i] = 112 + i;  // F1..F12
  for (int i = 0; i < 10; ++i) keys[302 + i] = 96 + i;   // keypad digits
  for (int code = -5; code < 400; ++code)
    EXPECT_EQ(VxGlfwGame::TransKey(code), keys.count(code) ? keys[code] : 0) << code;

  std::map<int, int> chars = {{8, 8}, {9, 9}, {13, 13}, {27, 27}, {45, 65536 + 45}, {46, 127}};
  for (int code = 33; code <= 40; ++code) chars[code] = code + 65536;
  for (int code = 0; code < 512; ++code)
    EXPECT_EQ(VxGlfwGame::KeyToChar(code), chars.count(code) ? chars[code] : 0) << code;
}

TEST_F(HostGame, TheWindowOpensCentredInputArrivesTranslatedAndASwitchReleasesHeldKeys) {
  glfw2_script::SetDesktopMode(1001, 601, 5, 6, 4);
  const int seq = glfwGraphicsSeq;
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  const glfw2_script::Stats& s = glfw2_script::GetStats();
  const VxGlfwVideoMode* m = VxGlfwGame::GetGlfwDesktopMode();
  // Centred with the division rounding toward zero; resizable; keys repeat; no automatic polling.
  EXPECT_EQ(
      std::vector<int>({s.mode, s.width, s.height, s.bits[0], s.bits[3], s.posX, s.posY,
                        s.noResizeHint, s.keyRepeat, s.autoPoll, glfwGraphicsSeq - seq, m->width,
                        m->height, m->red, m->green, m->blue}),
      std::vector<int>({GLFW_WINDOW, 640, 480, 8, 0, 180, 60, 0, 1, 0, 1, 1001, 601, 5, 6, 4}));
  EXPECT_EQ(s.title, "Quorvex");

  host.StartGame();
  using namespace glfw2_script;
  // Alt has no host code; only three mouse buttons count.
  Key(0.1, GLFW_KEY_LEFT, GLFW_PRESS), Key(0.1, GLFW_KEY_LALT, GLFW_PRESS),
      glfw2_script::Char(0.1, 0xE9);
  MouseButton(0.1, 3, GLFW_PRESS), MousePos(0.1, 120, 60),
      MouseButton(0.1, GLFW_MOUSE_BUTTON_MIDDLE, GLFW_RELEASE);
  Advance(0.1);
  glfwPollEvents();
  host.SetGlfwWindow(800, 600, 8, 8, 8, 0, 0, 0, false);
  // The new window never reports the release of the held key.
  EXPECT_EQ(d->Joined("SR"), "K1:37 K3:65573 K3:233 M6:-1:120:60 M5:2:120:60 K2:37");
  EXPECT_EQ(s.closes * 10 + glfwGraphicsSeq - seq, 12);

  Advance(1.2345 - Now());
  EXPECT_EQ(host.Millisecs(), 1234);
}

TEST_F(HostGame, TheWindowTellsDesktopsWhoItIsAndFollowsTheScreensScale) {
  const VxDataPlaces saved = vx_data_places;
  vx_data_places.dataDir = QUORVEX_DATA_DIR;
  glfw2_script::SetContentScale(2.5f);
  host.Run();  // nothing queued: the first window opens and the loop ends
  vx_data_places = saved;
  const glfw2_script::Stats& s = glfw2_script::GetStats();
  EXPECT_EQ(s.windowClass, QUORVEX_APP_ID);
  EXPECT_EQ(s.iconSizes, std::vector<int>({16, 32, 48, 64, 128}));
  // Twice the size at a scale of 2.5, centred on the 1920 x 1080 desktop.
  EXPECT_EQ(std::vector<int>({s.width, s.height, s.posX, s.posY}),
            std::vector<int>({1280, 960, 320, 60}));
  glfw2_script::SetContentScale(0.5f);
  host.SetGlfwWindow(640, 480, 8, 8, 8, 0, 0, 0, false);
  EXPECT_EQ(s.width * 10000 + s.height, 640 * 10000 + 480) << "never smaller than asked";
  host.SetGlfwWindow(1920, 1080, 8, 8, 8, 0, 0, 0, true);
  EXPECT_EQ(s.width * 10000 + s.height, 1920 * 10000 + 1080) << "full screen is the size asked";
}

TEST_F(HostGame, PadsAreTheConnectedJoysticksInSlotOrder) {
  Array<float> x(2), y(2), z(2);
  Array<bool> b(32);
  glfw2_script::SetJoystick(1, {true, {.25f, 0}, {}});
  glfw2_script::SetJoystick(3, {true, {.75f, 0}, {}});
  float seen[2] = {0, 0};
  for (int pad : {0, 1}) {
    ASSERT_TRUE(host.PollJoystick(pad, x, y, z, b)) << pad;
    seen[pad] = x[0];
  }
  EXPECT_EQ(std::vector<float>(seen, seen + 2), std::vector<float>({.25f, .75f}))
      << "slots 0 and 2 are gaps";
  EXPECT_FALSE(host.PollJoystick(2, x, y, z, b)) << "no more pads";
}

TEST_F(HostGame, JoystickAxesAreRemappedByTheirCountAndButtonsFillWhatFits) {
  // The axes the layer reports, and x[0] x[1] y[0] y[1] z[0] z[1] (six or more come as they are).
  const std::vector<float> cases[][2] = {
      {{.1f, .2f, .3f, .4f}, {.1f, .4f, .2f, .3f, 0, 0}},
      {{.1f, .2f, .3f, .4f, .5f}, {.1f, .5f, .2f, .4f, .3f, 0}},
      {{.1f, .2f, .3f, .4f, .5f, .6f, .7f}, {.1f, .4f, .2f, .5f, .3f, .6f}}};
  Array<float> x(2), y(2), z(2);
  Array<bool> b(32);
  for (int i = 0; i < 3; ++i) {
    glfw2_script::SetJoystick(i, {true, cases[i][0], {GLFW_PRESS, GLFW_RELEASE, GLFW_PRESS}});
    ASSERT_TRUE(host.PollJoystick(i, x, y, z, b));
    EXPECT_EQ(std::vector<float>({x[0], x[1], y[0], y[1], z[0], z[1]}), cases[i][1]) << i;
    EXPECT_TRUE(b[0] && !b[1] && b[2]);
  }
  x[0] = 9;
  EXPECT_FALSE(host.PollJoystick(3, x, y, z, b) || x[0] != 9) << "absent: nothing written";
  glfw2_script::SetJoystick(0, {true, {}, std::vector<unsigned char>(40, GLFW_PRESS)});
  Array<bool> few(4);
  EXPECT_TRUE(host.PollJoystick(0, x, y, z, few) && few[3]) << "only what fits is written";
}

}  // namespace
