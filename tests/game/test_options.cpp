// The options panel and the pause menu (game/options.cpp), driven by keys
// through the host as a player would.
// Left out: the television's quit dialog and overscan, and play without music tracks: not on the
// desktop.
#include "host/platform/glfw2_scripted.h"
#include "tests/support/myapp.h"

namespace {

// Fire is the space bar: letters are iCade characters while the iCade is on.
constexpr int kDown = 40, kLeft = 37, kRight = 39, kFire = 32, kBack = 27;

class Options : public StartedAppTest {
 protected:
  // The panel fully in, the cursor on the gear, nothing held.
  void Open() {
    app->m_showOptions = 1;
    app->m_optSel = 0;
    Update(31);
  }
};

TEST_F(Options, TheSoundLineCyclesItsModesStoppingTheMusicOnTheSilentOnesAndBackSaves) {
  Open();
  Tap(kDown);
  for (int want : {2, 3, 0, 1}) {
    app->m_musicOn = 1;
    Tap(kFire);
    EXPECT_EQ(std::make_pair(app->m_opt[kOptSound], app->m_musicOn), std::make_pair(want, want % 2))
        << want;
  }
  host.state.clear();
  Tap(kBack);
  EXPECT_EQ(std::make_pair(app->m_showOptions, host.state.empty()), std::make_pair(0, false))
      << "closing saves";
}

TEST_F(Options, TheICadeAndFullScreenLinesSwitchAndTheCreditsLineIsTheMenusAlone) {
  Open();
  for (int i = 0; i < 2; ++i) Tap(kDown);
  host.KeyEvent(3, 'w');  // typed before the switch: not an iCade button
  Tap(kFire);
  EXPECT_TRUE(vx_Quorvex_iCadeControls == 1 && host.KeyboardEnabled());
  EXPECT_EQ(app->m_ctrl[0], 0);
  host.KeyEvent(3, 'w');
  Update();
  EXPECT_EQ(app->m_ctrl[0], 2) << "W holds up";
  Tap(kFire);
  EXPECT_FALSE(vx_Quorvex_iCadeControls == 1 || host.KeyboardEnabled());
  EXPECT_EQ(app->m_ctrl[0], 0) << "held characters let go";

  Tap(kDown);
  host.state.clear();
  Tap(kFire);
  EXPECT_EQ(glfw2_script::GetStats().mode, GLFW_FULLSCREEN) << "asked of the host";
  EXPECT_EQ(host.state.substr(0, 49), "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|1|0|0|")
      << "the choice is saved at once, in option 20";
  for (int i = 0; i < 4; ++i) Tap(kDown);
  EXPECT_EQ(app->m_optSel, 4) << "sound, iCade, full screen, credits";
  Tap(kFire);
  EXPECT_EQ(std::make_pair(app->m_showCredits, app->m_showOptions), std::make_pair(1, 0));
}

class FreshApp : public MyAppTest {};

TEST_F(FreshApp, TheNextStartOpensInTheModeLastChosen) {
  // The defaults with option 20 set, and the weighted sum 1483 + 20.
  host.state = "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|1|0|0|0|0|1503|";
  Start();
  const glfw2_script::Stats& s = glfw2_script::GetStats();
  EXPECT_EQ(std::make_tuple(s.mode, s.width, app->m_fullscreen),
            std::make_tuple(GLFW_FULLSCREEN, 1920, 1));
  Tap(122);
  EXPECT_EQ(std::make_tuple(s.mode, app->m_opt[kOptFullscreen]), std::make_tuple(GLFW_WINDOW, 0))
      << "F11 keeps it too";
}

// Over a paused game the options' cursor stops at the third line.
TEST_F(Options, ThePauseMenuContinuesOpensTheShorterOptionsOrQuits) {
  NewGame(1);
  Tap(kBack);
  ASSERT_EQ(app->m_paused, 1);
  Update(15);
  Tap(kFire);
  EXPECT_EQ(app->m_pauseState, -1);
  Update(12);
  EXPECT_EQ(app->m_paused, 0) << "the game goes on once the panel has left";

  Tap(kBack);
  Tap(kRight);
  EXPECT_EQ(app->m_pauseSel, 1);
  Tap(kFire);
  EXPECT_EQ(app->m_showOptions, 1);
  Update(31);
  for (int i = 0; i < 5; ++i) Tap(kDown);
  EXPECT_EQ(app->m_optSel, 3);
  app->m_showOptions = 0;
  Update(31);

  for (int i = 0; i < 2; ++i) Tap(kLeft);
  EXPECT_EQ(app->m_pauseSel, -1);
  Tap(kFire);
  EXPECT_EQ(app->m_gameOver, 1) << "quit ends the game into the game-over sequence";
  EXPECT_EQ(app->m_paused, 0);
}

}  // namespace
