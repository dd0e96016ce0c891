// Game over and placing (game/gameover.cpp): the banner, the place a score
// reaches and its entry into both tables of its game type.
#include "tests/support/myapp.h"

namespace {

using GameOver = StartedAppTest;

TEST_F(GameOver, AScoreGoesBeforeTheFirstStrictlySmallerOfTheBestTenAndFirstInTheLatestTen) {
  NewGame(2);
  for (int i = 0; i < 150; ++i) app->m_hiScores[i] = 0;
  app->m_score = 0;
  EXPECT_EQ(app->p_MyNth(), String("1st!")) << "placed: 0 >= 0";
  // Out of order, as an edited save can leave a table, to tell an equal older
  // score (which keeps its place) from a smaller one.
  const int best[10] = {500, 400, 450, 0, 0, 0, 0, 0, 0, 0};
  for (int k = 0; k < 10; ++k) app->m_hiScores[10 + k] = best[k];
  app->m_score = 400;
  app->p_LoadMenu();
  EXPECT_EQ(std::vector<int>(app->m_hiScores.Data() + 10, app->m_hiScores.Data() + 15),
            std::vector<int>({500, 400, 450, 400, 0}));
  EXPECT_EQ(app->p_MyNth(), String("2nd"));
  EXPECT_EQ(app->m_hiScores[40], 400);
  for (int k = 0; k < 10; ++k)
    EXPECT_EQ(app->m_hiScores[k] + app->m_hiScores[20 + k], 0) << "other types";

  for (int k = 0; k < 10; ++k) app->m_hiScores[10 + k] = 1000 - 10 * k;
  app->m_score = 5;
  app->p_LoadMenu();
  EXPECT_EQ(app->m_hiScores[19], 910) << "below all ten: not placed";
  EXPECT_EQ(app->p_MyNth(), String(""));
  EXPECT_EQ(std::make_pair(app->m_hiScores[40], app->m_hiScores[41]), std::make_pair(5, 400))
      << "but the newest of the latest ten";
  EXPECT_NE(host.state.find("|1000|5|990|400|"), std::string::npos)
      << "saved: best and latest in pairs";
}

TEST_F(GameOver, TheBannerBuildsOverNinetyUpdatesThenFadesOverTheMenu) {
  NewGame(2);
  app->m_gameOver = 1;
  struct Case {
    int t;
    float veil, bar;
  };
  for (Case k : {Case{1, 0.025f, 24}, Case{28, 0.7f, 432}, Case{60, 0.7f, 432}}) {
    app->m_drawCount = 0;
    app->m_gameOverTime = k.t;
    app->p_GameOver();
    const std::vector<DrawRecord> r = Records();
    EXPECT_EQ(std::vector<float>({r[0].w, r[0].alpha, r[1].w}),
              std::vector<float>({642, k.veil, k.bar}))
        << "at " << k.t << ": a veil over the screen, then bars 2 x 12t wide up to 0.45 H";
  }
  // Play ends after 90 updates; the banner fades from 75, 2 an update, over the scores, then the
  // menu.
  app->m_gameOverTime = 0;
  struct Step {
    int updates, mode, time;
  };
  for (Step s : {Step{89, 10, 89}, Step{1, 2, 73}, Step{1, 1, 71}, Step{36, 1, 0}}) {
    Update(s.updates);
    EXPECT_EQ(std::make_pair(app->m_gameMode, app->m_gameOverTime), std::make_pair(s.mode, s.time));
  }
}

}  // namespace
