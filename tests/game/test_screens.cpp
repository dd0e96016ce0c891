// The panels over the menu and the game, update by update: the options
// (sound modes, cursor, held keys, the credits line), the pause menu's
// choices, the badge notices sliding in and out, and the credits test card
// with its scrolling lines. Read through the draw list; no window needed.
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <vector>

#include "tests/game/shell_app.h"

namespace {

struct Record {
  float kind, x, y, w, h, frame, alpha;
};

class Screens : public ::testing::Test {
 protected:
  c_MyApp* app = nullptr;

  void SetUp() override {
    vx_Quorvex_HasMusicStream = 1;
    vx_Quorvex_iCadeControls = 0;
    app = NewShellApp();
  }

  std::vector<Record> Records() const {
    std::vector<Record> out;
    for (int i = 0; i < app->m_drawCount; i += 15) {
      const float* r = &app->m_drawList[i];
      out.push_back({r[0], r[1], r[2], r[4], r[5], r[6], r[7]});
    }
    return out;
  }

  // The options panel fully in, nothing held.
  void OpenOptions(int paused) {
    app->m_paused = paused;
    app->m_showOptions = 1;
    app->m_optionsSlide = 30;
    app->m_optKeyLock = 0;
    app->m_optTapLock = 0;
    app->m_optSel = 0;
  }
  // One update of the panel with `control` held, then one with it released.
  void Tap(int control) {
    app->m_ctrl[control] = 1;
    app->p_OptionBox();
    app->m_ctrl[control] = 0;
    app->p_OptionBox();
  }
};

TEST_F(Screens, TheSoundLineCyclesItsFourModesAndStopsTheMusicOnTheSilentOnes) {
  OpenOptions(0);
  Tap(8);  // down to the sound line
  ASSERT_EQ(app->m_optSel, 1);
  const int expected[] = {1, 2, 3, 0, 1};
  for (int want : expected) {
    app->m_musicOn = 1;
    Tap(10);
    EXPECT_EQ(app->m_opt[5], want);
    EXPECT_EQ(app->m_musicOn, (want == 0 || want == 2) ? 0 : 1) << "mode " << want;
  }

  // A held confirm acts once, however long it is held.
  const int before = app->m_opt[5];
  app->m_ctrl[10] = 1;
  for (int i = 0; i < 5; ++i) app->p_OptionBox();
  app->m_ctrl[10] = 0;
  app->p_OptionBox();
  EXPECT_EQ(app->m_opt[5], (before + 1) % 4);

  // Without any music the line is a plain on and off.
  vx_Quorvex_HasMusicStream = 0;
  app->m_opt[5] = 3;
  Tap(10);
  EXPECT_EQ(app->m_opt[5], 1) << "a music mode reads as off, and confirm turns it on";
  Tap(10);
  EXPECT_EQ(app->m_opt[5], 0);
}

TEST_F(Screens, TheCursorStopsAtTheGearAndTheLastLineAndOnlyTheMenusPanelHasCredits) {
  for (int paused : {1, 0}) {
    SCOPED_TRACE(paused);
    OpenOptions(paused);
    Tap(0);  // up from the gear: nothing
    EXPECT_EQ(app->m_optSel, 0);
    for (int i = 0; i < 8; ++i) Tap(8);
    EXPECT_EQ(app->m_optSel, paused ? 3 : 4) << "sound, iCade, full screen (and credits)";

    // The line bars: the full-screen one is the widest, the credits one
    // (180 wide) sits 50 pixels below it.
    app->p_ResetDraw();
    app->m_drawCount = 0;
    app->p_OptionBox();
    std::vector<float> wide, credits;
    for (const Record& r : Records()) {
      if (r.kind != kRectKind) continue;
      if (r.w == 640 - 168) wide.push_back(r.y);
      if (r.w == 180) credits.push_back(r.y);
    }
    ASSERT_EQ(wide.size(), 3u);
    if (paused) {
      EXPECT_TRUE(credits.empty());
    } else {
      ASSERT_EQ(credits.size(), 1u);
      EXPECT_FLOAT_EQ(credits[0] - wide[2], 50);
      Tap(10);
      EXPECT_EQ(app->m_showCredits, 1);
      EXPECT_EQ(app->m_showOptions, 0);
    }
  }
}

TEST_F(Screens, PauseLeftConfirmEndsTheGameAndRightConfirmOpensTheOptions) {
  app->m_gameMode = 10;
  auto pause = [&] {
    app->m_paused = 1;
    app->m_pauseSel = 0;
    app->m_keyLock = 0;
    app->m_tapLock = 0;
    app->m_gameOver = 0;
    app->m_showOptions = 0;
  };
  auto press = [&](int control) {
    app->m_ctrl[control] = 1;
    app->p_PauseMenu();
    app->m_ctrl[control] = 0;
    app->m_keyLock = 0;
  };
  pause();
  press(3);
  EXPECT_EQ(app->m_pauseSel, -1);
  press(10);
  EXPECT_EQ(app->m_gameOver, 1);
  EXPECT_EQ(app->m_paused, 0);

  pause();
  press(5);
  EXPECT_EQ(app->m_pauseSel, 1);
  press(10);
  EXPECT_EQ(app->m_showOptions, 1);
  EXPECT_EQ(app->m_gameOver, 0);

  pause();
  press(10);  // continue
  EXPECT_EQ(app->m_pauseState, -1);
  EXPECT_EQ(app->m_gameOver, 0);
}

TEST_F(Screens, ABadgeNoticeSlidesInOverNineUpdatesAndLeavesAfterItsTwoHundredFortieth) {
  EXPECT_EQ(app->p_BadgeName(0).ToUtf8(), "Test Badge");
  EXPECT_EQ(app->p_BadgeDetail(0).ToUtf8(), "This is a Test Badge which has no purpose.");
  EXPECT_EQ(app->p_BadgeName(5).ToUtf8(), "");
  EXPECT_EQ(app->p_BadgeDetail(5).ToUtf8(), "");

  app->m_popBadge[0] = 5;
  app->m_popTime[0] = 1;
  app->m_popBadge[1] = 64;
  app->m_popTime[1] = 1;
  std::vector<float> xs;
  int icons5 = 0, icons64 = 0;
  int updates = 0;
  while (app->m_popTime[0] != 0 && updates < 300) {
    app->m_drawCount = 0;
    app->p_ShowBadges();
    ++updates;
    const std::vector<Record> recs = Records();
    ASSERT_FALSE(recs.empty());
    xs.push_back(recs[0].x);
    for (const Record& r : recs) {
      if (r.kind == 80 && r.frame == 5) ++icons5;
      if (r.kind == 80 && r.frame == 64) ++icons64;
    }
  }
  EXPECT_EQ(updates, 240) << "gone after its 240th update";
  EXPECT_FLOAT_EQ(xs[0], -128) << "starts 128 pixels off screen";
  EXPECT_LT(xs[7], 0);
  EXPECT_FLOAT_EQ(xs[8], 0) << "in place after 9 updates";
  EXPECT_FLOAT_EQ(xs[200], 0);
  EXPECT_LT(xs[239], 0) << "sliding out at the end";
  EXPECT_EQ(icons5, 240);
  EXPECT_EQ(icons64, 0) << "a badge of 64 or more has no icon";
  EXPECT_EQ(app->m_popTime[1], 0);
}

TEST_F(Screens, TheCreditsCardSitsOnItsGridAndTheLinesWrapAndSpeedUp) {
  gc_assign(vx_Quorvex_CreditText, vx_Quorvex_BuildCreditText());
  ASSERT_EQ(vx_Quorvex_CreditText.Length(), 49);
  app->m_showCredits = 1;
  app->m_creditsSlide = 30;
  app->m_creditScroll = 0;
  app->m_creditLine = 47;
  app->m_drawCount = 0;
  app->p_CreditBox();

  // 13 x 10 squares of 53.33 + 1 pixels, every one on the grid at alpha 1.
  const float s = 640.0f / 12;
  int squares = 0;
  for (const Record& r : Records()) {
    if (r.kind != kRectKind || std::fabs(r.w - (s + 1)) > 0.01f) continue;
    ++squares;
    const float i = (r.x + s / 2) / s, j = (r.y + s / 2 - (240 - 4.5f * s)) / s;
    EXPECT_NEAR(i, std::round(i), 1e-3) << r.x;
    EXPECT_NEAR(j, std::round(j), 1e-3) << r.y;
    EXPECT_FLOAT_EQ(r.alpha, 1);
  }
  EXPECT_EQ(squares, 13 * 10);

  // Lines n = -3..4 around entry 47: entry 48 ("-=-=-") at n = 1, the list
  // wraps to entry 0 (empty) at n = 2 and entry 1 ("A Game by") at n = 3.
  std::map<int, int> letters;  // characters per line, by its y
  for (const Record& r : Records()) {
    if (r.kind == 90) ++letters[(int)std::lround(r.y)];
  }
  auto lineY = [&](int n) { return (int)std::lround(16 * n + 240 - 0.3f); };
  auto near = [&](int y) {
    int count = 0;
    for (const auto& kv : letters)
      if (std::abs(kv.first - y) <= 12) count += kv.second;
    return count;
  };
  EXPECT_EQ(near(lineY(2)), 0) << "entry 0 is empty";
  EXPECT_GE(near(lineY(3)), 7) << "then entry 1 again";

  // Held up or down: six times the scroll of an update.
  app->m_creditScroll = 0;
  app->p_CreditBox();
  const float idle = app->m_creditScroll;
  app->m_creditScroll = 0;
  app->m_ctrl[8] = 1;
  app->p_CreditBox();
  app->m_ctrl[8] = 0;
  EXPECT_FLOAT_EQ(idle, -0.3f);
  EXPECT_FLOAT_EQ(app->m_creditScroll, 6 * idle);
}

}  // namespace
