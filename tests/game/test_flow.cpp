// The application's life (game/flow.cpp): the loader, the scale, picture class
// and pointer, the replay, suspend and resume, the pause icon, the global keys.
// Left out: the platform's back key, which the framework turns into the end of the program.
#include <string>
#include <tuple>

#include "host/platform/glfw2_scripted.h"
#include "tests/support/myapp.h"

namespace {

using Loading = MyAppTest;
using Flow = StartedAppTest;

std::vector<std::string> Data(std::initializer_list<const char*> names) {
  std::vector<std::string> out;
  for (const char* n : names) out.push_back(std::string("zorbel://data/") + n);
  return out;
}

// 640 x 480 is above 630 pixels: the -hd pictures, the first two for the start's own loading
// display.
TEST_F(Loading, TheLoaderTakesTwentySevenStepsAndSoundsTheJingleOnce) {
  host.StartGame();
  int updates = 0;
  for (; app->m_loadPhase != 0 && updates < 100; ++updates) Update();
  EXPECT_EQ(updates, 28) << "27 loading steps and the one that ends the loader";
  EXPECT_EQ(gfx->opened, Data({"common/DRVLLogo-hd.png", "fonts/editundo-hd.png",
                               "common/icons-hd.png", "common/Buttons-hd.png", "common/dpad-hd.png",
                               "common/DRVLLogo-hd.png", "common/Testcard_Circle-hd.png",
                               "fonts/editundo-hd.png", "menu-hd.png", "logo-hd.png",
                               "parts-hd.png", "BadgesA-hd.png", "gfx-hd.png", "gfx_glow-hd.png"}));
  EXPECT_EQ(audio->opened, Data({"sfx/096.wav", "sfx/001.wav", "sfx/095.wav", "sfx/098.wav",
                                 "sfx/099.wav", "sfx/002.wav", "sfx/003.wav", "sfx/010.wav",
                                 "sfx/004.wav", "sfx/005.wav", "sfx/006.wav", "sfx/011.wav",
                                 "sfx/007.wav", "sfx/012.wav", "sfx/013.wav", "sfx/014.wav"}));
  EXPECT_EQ(Plays(96), 1) << "the jingle at step 4";
  EXPECT_EQ(app->m_gameMode, kModeMenu);
}

TEST_F(Flow, TheScaleKeepsOneSideAtTheDesignSizeAndANewSizeReloadsAtItsClass) {
  struct Case {
    int w, h;
    float scale, vw, vh;
    int landscape, hd;
  };
  const Case cases[] = {{640, 480, 1, 640, 480, 1, 2},
                        {1280, 720, 2, 640, 360, 1, 4},
                        {720, 1280, 1280.0f / 480, 270, 480, 0, 4},
                        {630, 630, 630.0f / 480, 480, 480, 1, 1},
                        {631, 400, 631.0f / 640, 640, 405.71f, 1, 2},
                        {1230, 1231, 1231.0f / 480, 479.61f, 480, 0, 4}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
    gfx->width = c.w;
    gfx->height = c.h;
    Update(2);  // the render that sees the size, then the loader's first step
    EXPECT_FLOAT_EQ(app->m_scaleX, c.scale);
    EXPECT_NEAR(vx_Quorvex_jscrw, c.vw, 0.01f);
    EXPECT_NEAR(vx_Quorvex_jscrh, c.vh, 0.01f);
    EXPECT_EQ(std::make_pair(app->m_landscape, app->m_hdFactor), std::make_pair(c.landscape, c.hd));
  }
  Update(28);
  EXPECT_EQ(gfx->opened.back(), "zorbel://data/gfx_glow-hd2.png");
  EXPECT_EQ(Plays(96), 1) << "the jingle sounds on the first load only";
}

TEST_F(Flow, TheRenderReplaysTheRecordsAtTheScaleSettingTheBlendOnlyWhenItChanges) {
  gfx->width = 1280;
  gfx->height = 720;
  Update(30);  // the new size reloads everything, at the -hd2 class
  Mouse(641, 363);
  Update();
  EXPECT_EQ(std::make_pair(app->m_mouseX, app->m_mouseY), std::make_pair(320, 181)) << "truncated";
  gfx->files["zorbel://data/x-hd2.png"] = {64, 64};
  app->p_LoadImg(5, String("x"), 16, 16, 1, 1);
  app->p_CLS2D(10, 20, 30, 0.5f);
  app->p_SetCol(0, 0, 255);
  app->p_Rect(100, 100, 50, 40);
  app->p_Blend(3);  // additive
  app->p_Oval(400, 300, 30, 20);
  app->p_Blend(2);  // anything else is alpha blending
  app->p_SetSize(2);
  app->p_DrawImg(5, 300, 200, 0);
  app->p_DrawImg(7, 50, 50, 0);  // an empty slot draws nothing
  app->m_drawCount += 14;        // nor does an incomplete record
  gfx->Clear();
  host.RenderGame();
  const std::string log =
      gfx->Log();  // from the fill on; before it, the framework's start of a frame
  EXPECT_EQ(log.substr(log.find("SetColor(10,")),
            "SetColor(10,20,30) SetAlpha(0.5) SetMatrix(1,0,0,1,0,0) DrawRect(-1,-1,1282,722) "
            "SetColor(255,255,255) SetAlpha(1) "
            "SetAlpha(1) SetColor(0,0,255) SetBlend(0) DrawRect(200,200,100,80) "
            "SetAlpha(1) SetColor(0,0,255) SetBlend(1) DrawOval(740,560,120,80) "
            "SetAlpha(1) SetColor(0,0,255) SetBlend(0) SetMatrix(1,0,0,1,568,368) DrawSurface(0,0) "
            "SetAlpha(1) SetColor(0,0,255) SetAlpha(0.5) SetColor(255,255,255) EndRender()");
}

TEST_F(Flow, SuspendingPausesAGameSavesAndHoldsTheUpdatesUntilResumed) {
  NewGame(1);
  const float clock = app->m_clock;
  host.state.clear();
  host.SuspendGame();
  EXPECT_EQ(
      std::make_tuple(app->m_paused, app->m_pauseState, app->m_pausePanelY, host.UpdateRate()),
      std::make_tuple(1, 1, 240, 5))
      << "the pause panel is in at once; the updates slow down";
  EXPECT_FALSE(host.state.empty()) << "saved";
  Update(5);
  EXPECT_EQ(app->m_clock, clock) << "no update reaches a suspended app";
  host.ResumeGame();
  Update();
  EXPECT_EQ(std::make_pair(host.UpdateRate(), app->m_paused), std::make_pair(60, 1))
      << "the player continues from the pause menu";
  app->m_gameMode = kModeMenu;  // on the title screen nothing is paused
  host.SuspendGame();
  EXPECT_EQ(app->m_paused + app->m_pauseState, 0);
}

TEST_F(Flow, ThePauseIconPausesAGame) {
  NewGame(1);
  for (int xy : {33, 31}) {  // the icon at (16, 16) is 32 wide
    Press(xy, xy);
    Update();
    MouseButton(false);
    EXPECT_EQ(app->m_paused, xy < 32) << xy;
  }
  EXPECT_EQ(std::make_pair(app->m_tapLock, Plays(98)), std::make_pair(1, 1))
      << "that touch does not also play";
}

TEST_F(Flow, F1ShowsTheRatesF2HidesTheScoreF11AsksForTheFullScreenAndF4Quits) {
  NewGame(1);
  Update();
  EXPECT_EQ(Glyphs(240), 0);
  Tap(112);
  EXPECT_GT(Glyphs(240), 0) << "the rate readout in the bottom half";
  EXPECT_GT(Glyphs() - Glyphs(240), 0) << "the score";
  Tap(113);
  EXPECT_EQ(Glyphs() - Glyphs(240), 0);
  const glfw2_script::Stats& s = glfw2_script::GetStats();
  Tap(122);  // to the desktop's size
  EXPECT_EQ(std::make_tuple(s.width, s.height, s.mode),
            std::make_tuple(1920, 1080, GLFW_FULLSCREEN));
  Tap(122);
  EXPECT_EQ(std::make_tuple(s.width, s.height, s.mode), std::make_tuple(640, 480, GLFW_WINDOW));
  Key(115, true);
  EXPECT_EXIT(Update(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
