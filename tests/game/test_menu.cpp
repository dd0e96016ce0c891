// The title screen (game/menu.cpp) driven through the host's input: the score
// lists, taps that select and then start, drags against taps and the keys at
// the carousel's ends. Back ending the program is the end-to-end session's.
#include "tests/support/myapp.h"

namespace {

class Menu : public StartedAppTest {
 protected:
  void SetUp() override {
    StartedAppTest::SetUp();
    Update(40);
  }  // slid in
};

TEST_F(Menu, TheScoreListsShowAsManyRowsAsTheScreenHoldsOnceATypeIsChosen) {
  EXPECT_EQ(app->m_menuRows, 10) << "480 high with a 10-pixel font at size 1.5";
  for (int i = 0; i < 60; ++i) app->m_hiScores[i] = 1234567890;
  app->m_gameType = 0;  // no table to read until the selection picks one
  vx_Quorvex_jscrh = 200;
  app->p_Menu();
  EXPECT_EQ(app->m_menuRows, 1);
  const int without = Glyphs();
  app->p_Menu();
  EXPECT_EQ(Glyphs(), without + 2 * 10 + 9 + 4) << "Highscore and Last, a 10-digit row under each";
}

TEST_F(Menu, ATapSelectsAnItemAndASecondTapStartsItsGame) {
  // Item 1 sits at x = (640 - 140) / 2 and y = 0.65 H, the others 88 apart.
  Press(250 + 88, 312);
  Update();
  EXPECT_EQ(std::make_pair(app->m_menuSel, app->m_tapLock), std::make_pair(2, 1));
  Update();
  EXPECT_EQ(app->m_gameMode, kModeMenu)
      << "the first tap only selects, and a held pointer taps once";
  MouseButton(false);
  Update(120);
  EXPECT_NEAR(app->m_menuScroll, -88.0f, 1.0f);
  Press(250, 312);
  Update();
  EXPECT_EQ(std::make_pair(app->m_gameMode, app->m_gameType), std::make_pair(kModeNewGame, 2));
}

TEST_F(Menu, APixelAnUpdateIsStillATapTwoPixelsAreADrag) {
  Press(300, 100);
  for (int x : {300, 301, 303}) {
    Mouse(x, 100);
    Update();
    EXPECT_EQ(app->m_tapLock, x == 303 ? 2 : 0) << x;
  }
  EXPECT_FLOAT_EQ(app->m_menuScrollVel, 3.0f) << "1.5 times the move";
}

TEST_F(Menu, KeysStopAtTheEndsSelectTheTypeAndConfirmOnTheGearOpensTheOptions) {
  Tap(38);  // up on item 1
  EXPECT_EQ(app->m_menuSel, 1);
  Tap(40);
  Tap(83);  // S is down too
  EXPECT_EQ(std::make_pair(app->m_menuSel, app->m_gameType), std::make_pair(3, 3))
      << "the selection picks the type whose scores show";
  Tap(40);
  Tap(40);
  EXPECT_EQ(app->m_menuSel, 4);
  Tap(90);  // fire
  EXPECT_EQ(app->m_showOptions, 1);
}

}  // namespace
