// The title screen driven update by update: the score lists' size, taps that
// select and then start, drags against taps, keys at the carousel's ends, and
// the back control. Presses go in as the pointer step and the on-screen
// controls leave them (touch point 0, m_ctrl), so no window is needed.
#include <gtest/gtest.h>

#include "tests/game/shell_app.h"

namespace {

constexpr int kUp = -3717;

class Menu : public ::testing::Test {
 protected:
  c_MyApp* app = nullptr;

  void SetUp() override {
    app = NewShellApp();
    app->m_menuSlide = 0;
    Release();
  }

  void Release() {
    app->m_mouseDown = 0;
    app->m_tapLock = 0;
    app->m_keyLock = 0;
    for (int i = 0; i < 10; ++i) app->m_touchX[i] = app->m_touchY[i] = kUp;
  }

  void Press(int x, int y) {
    app->m_mouseDown = 1;
    app->m_mouseX = app->m_mouseOldX = x;
    app->m_mouseY = app->m_mouseOldY = y;
    app->m_touchX[0] = x;
    app->m_touchY[0] = y;
  }

  // Updates the menu until the carousel has come to rest.
  void Settle() {
    for (int i = 0; i < 120; ++i) app->p_Menu();
  }
};

TEST_F(Menu, ScoreListsShowAsManyRowsAsTheScreenHolds) {
  app->p_Menu();
  EXPECT_EQ(app->m_menuRows, 10) << "640 x 480 with a 10-pixel font at size 1.5";
  vx_Quorvex_jscrh = 200;
  app->p_Menu();
  EXPECT_EQ(app->m_menuRows, 1);
  vx_Quorvex_jscrh = 480;

  // Until the selection has picked a game type there is no table to read:
  // the first frame leaves the lists out, the next one shows them.
  auto glyphs = [this] {
    int n = 0;
    for (int i = 0; i < app->m_drawCount; i += 15)
      if (app->m_drawList[i] == 90) ++n;
    return n;
  };
  for (int i = 0; i < 60; ++i) app->m_hiScores[i] = 1234567890;
  app->m_gameType = 0;
  app->m_menuSel = 1;
  app->p_Menu();
  const int withoutLists = glyphs();
  EXPECT_EQ(app->m_gameType, 1);
  app->p_Menu();
  EXPECT_GE(glyphs(), withoutLists + 2 * 10 * 10) << "two lists of ten 10-digit rows";
}

TEST_F(Menu, ATapSelectsAnItemAndASecondTapStartsItsGame) {
  app->p_Menu();
  ASSERT_EQ(app->m_menuSel, 1);
  // Horizontal carousel: item 1 at x = (640 - 140) / 2, 88 pixels apart, y = 0.65 H.
  Press(250 + 88, 312);
  app->p_Menu();
  EXPECT_EQ(app->m_menuSel, 2);
  EXPECT_EQ(app->m_menuJump, 2);
  EXPECT_EQ(app->m_tapLock, 1);
  EXPECT_EQ(app->m_gameMode, 1) << "the first tap only selects";
  app->p_Menu();
  EXPECT_EQ(app->m_gameMode, 1) << "a held pointer does not tap again";

  Release();
  Settle();
  EXPECT_NEAR(app->m_menuScroll, -88.0f, 1.0f);
  EXPECT_EQ(app->m_menuJump, 0);
  EXPECT_EQ(app->m_gameType, 2);
  Press(250, 312);
  app->p_Menu();
  EXPECT_EQ(app->m_gameMode, 11);
  EXPECT_EQ(app->m_gameType, 2);
}

TEST_F(Menu, APixelAFrameIsStillATapTwoPixelsAreADrag) {
  app->p_Menu();
  app->m_mouseDown = 1;
  app->m_mouseOldX = 300;
  app->m_mouseX = 301;
  app->p_Menu();
  EXPECT_EQ(app->m_tapLock, 0);
  EXPECT_FLOAT_EQ(app->m_menuScrollVel, 0.0f);
  app->m_mouseOldX = 301;
  app->m_mouseX = 303;
  app->p_Menu();
  EXPECT_EQ(app->m_tapLock, 2);
  EXPECT_FLOAT_EQ(app->m_menuScrollVel, 3.0f);
}

TEST_F(Menu, KeysStopAtTheEndsAndConfirmOnTheGearOpensTheOptions) {
  app->p_Menu();
  app->m_ctrl[0] = 1;  // up on item 1
  app->p_Menu();
  EXPECT_EQ(app->m_menuSel, 1);
  EXPECT_EQ(app->m_keyLock, 0) << "nothing happened, so nothing is locked";
  app->m_ctrl[0] = 0;

  for (int step = 0; step < 3; ++step) {
    app->m_ctrl[8] = 1;  // down, one press at a time
    app->p_Menu();
    app->m_ctrl[8] = 0;
    app->m_keyLock = 0;
  }
  EXPECT_EQ(app->m_menuSel, 4);
  Settle();
  app->m_ctrl[8] = 1;  // down on item 4
  app->p_Menu();
  EXPECT_EQ(app->m_menuSel, 4);
  app->m_ctrl[8] = 0;

  app->m_ctrl[10] = 1;
  app->p_Menu();
  EXPECT_EQ(app->m_showOptions, 1);
  EXPECT_EQ(app->m_gameMode, 1);
  EXPECT_EQ(app->m_keyLock, 1);
}

TEST_F(Menu, BackEndsTheProgramAtOnceOnTheDesktop) {
  app->p_Menu();
  app->m_ctrl[16] = 1;
  EXPECT_EXIT(app->p_Menu(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
