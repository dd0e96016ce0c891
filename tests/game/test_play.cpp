// Play through the real c_MyApp, one p_Game per update as the loop runs it:
// how blobs break, when a level ends and the next begins, when the game is
// over, the shot pool, steering, and that a game replays from its seed.
// Sound is switched off, so no audio device is needed.
#include <gtest/gtest.h>

#include <cstdint>

#include "framework/random.h"
#include "game/myapp.h"

namespace {

constexpr int kKind = 0, kDrop = 1, kStrength = 5;

float* Cell(c_MyApp* app, int x, int y) { return &app->m_grid[(y * 50 + x) * 10]; }

bool InDisc(int x, int y) { return (x - 16) * (x - 16) + (y - 16) * (y - 16) < 225; }

// A blob that has already landed, so it can be hit and counted at once.
void Landed(c_MyApp* app, int x, int y, int kind) {
  app->p_PutBlob(x, y, kind);
  Cell(app, x, y)[kDrop] = 0.0f;
}

class Play : public ::testing::Test {
 protected:
  c_MyApp* app = nullptr;

  void SetUp() override {
    vx_Quorvex_jscrw = 640;
    vx_Quorvex_jscrh = 480;
    vx_random_Seed = 1234;
    app = new c_MyApp();
    app->m_opt[5] = 0;  // sound off: effects and music stay silent
    app->m_landscape = 1;
    app->m_gameType = 1;
    app->p_LoadGame();
  }

  // The screen position of a cell, as the board pass computes it.
  void CellCentre(int x, int y, float* px, float* py) {
    const float c = 480.0f / 35.0f;
    *px = 320.0f - 15.75f * c + (float)x * c + c / 2;
    *py = 240.0f - 15.75f * c + (float)y * c + c / 2;
  }

  int Count(int kind) {
    int n = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if ((int)Cell(app, x, y)[kKind] == kind) ++n;
    return n;
  }
};

TEST_F(Play, EachGameTypeOpensWithALeadOutThenItsFirstLevel) {
  const int firstLevel[4] = {0, 1, 3, 6};
  const int blobs[4] = {0, 8, 12, 20};
  for (int type = 1; type <= 3; ++type) {
    app->m_gameType = type;
    app->p_LoadGame();
    EXPECT_EQ(app->m_level, 0);
    // Level 0 has an empty board: a lead-out from -1 to -91, no bonus.
    int updates = 0;
    while (app->m_phase != 90 && updates < 200) {
      app->p_Game();
      ++updates;
    }
    EXPECT_EQ(updates, 91) << "type " << type;
    EXPECT_EQ(app->m_score, 0) << "level 0 gives no clearing bonus";
    EXPECT_EQ(app->m_level, firstLevel[type]);
    const int placed = Count(17) + Count(19) + Count(20) + Count(21);
    EXPECT_GE(placed, blobs[type] - 3) << "only coinciding cells may be lost";
    EXPECT_LE(placed, blobs[type]);
    if (type == 1) {
      EXPECT_EQ(Count(20), placed) << "level 1 places only the kind that never spreads";
    }
    EXPECT_EQ(Count(21), 0) << "kind 21 comes from level 8";
    // Blobs wait above the board through the lead-in and are not yet counted
    // as landed.
    for (int y = 0; y < 32; ++y) {
      for (int x = 0; x < 32; ++x) {
        if (Cell(app, x, y)[kKind] > 0) {
          EXPECT_LE(Cell(app, x, y)[kDrop], -5.0f);
        }
      }
    }
  }
}

TEST_F(Play, HitsNeededToBreakEachKind) {
  const int kinds[3] = {20, 17, 21};
  const int hits[3] = {6, 11, 2};
  for (int k = 0; k < 3; ++k) {
    app->p_LoadGame();
    app->m_level = 1;
    Landed(app, 16, 16, kinds[k]);
    float px, py;
    CellCentre(16, 16, &px, &py);
    int fired = 0;
    while (Cell(app, 16, 16)[kStrength] >= 0.0f && fired < 50) {
      // A still shot in the middle of the cell hits it in this update.
      app->p_Shoot(px, py, 0.0f, 0.0f, 4, 1);
      app->p_Game();
      ++fired;
      if (fired == 1) {
        EXPECT_EQ(app->m_score, 1);
      }
    }
    EXPECT_EQ(fired, hits[k]) << "kind " << kinds[k];
    EXPECT_EQ((int)Cell(app, 16, 16)[kKind], kinds[k]) << "the burst comes in the next board pass";
    const int before = app->m_score;
    app->p_Game();
    EXPECT_EQ((int)Cell(app, 16, 16)[kKind], 0);
    EXPECT_EQ(app->m_score, before + 5);
  }
}

TEST_F(Play, AnUnlandedBlobIsNeitherHitNorCounted) {
  app->p_PutBlob(16, 16, 20);
  Cell(app, 16, 16)[kDrop] = -40.0f;
  app->m_phase = 20;  // at exactly 20 nothing drops, so it stays in the air
  float px, py;
  CellCentre(16, 16, &px, &py);
  app->p_Shoot(px, py, 0.0f, 0.0f, 4, 1);
  app->p_Game();
  EXPECT_EQ(app->m_score, 0);
  EXPECT_FLOAT_EQ(Cell(app, 16, 16)[kStrength], 3.0f);
  EXPECT_EQ(app->m_blobCount, 1) << "drawn and counted on the disc even while falling";
}

TEST_F(Play, LastBurstGivesTheBonusOneUpdateLaterAndTheNextLevelNinetyAfter) {
  app->m_level = 1;
  Landed(app, 16, 16, 20);
  Cell(app, 16, 16)[kStrength] = -0.2f;  // broken by last update's shot
  app->p_Game();  // update 1: the burst
  EXPECT_EQ(app->m_score, 5);
  EXPECT_EQ(app->m_phase, -1);
  app->p_Game();
  EXPECT_EQ(app->m_score, 105) << "bonus at phase -2";
  int updates = 2;
  while (app->m_phase != 90 && updates < 200) {
    app->p_Game();
    ++updates;
  }
  EXPECT_EQ(updates, 91);
  EXPECT_EQ(app->m_level, 2);
  EXPECT_EQ(app->m_score, 105) << "the bonus is paid once";
}

TEST_F(Play, GameEndsWhenTheDiscHolds202Blobs) {
  app->m_level = 1;
  // Blobs outside the disc are never counted.
  Landed(app, 0, 0, 20);
  Landed(app, 31, 31, 20);
  int placed = 0;
  for (int y = 0; y < 32 && placed < 201; ++y)
    for (int x = 0; x < 32 && placed < 201; ++x)
      if (InDisc(x, y)) {
        Landed(app, x, y, 20);  // kind 20 never spreads, so the count holds
        ++placed;
      }
  app->p_Game();
  EXPECT_EQ(app->m_blobCount, 201);
  EXPECT_EQ(app->m_gameOver, 0);
  EXPECT_EQ(app->m_danger, 100) << "the meter saturates beyond 100";
  for (int y = 31; y >= 0; --y) {
    bool done = false;
    for (int x = 31; x >= 0 && !done; --x)
      if (InDisc(x, y) && Cell(app, x, y)[kKind] == 0) {
        Landed(app, x, y, 20);
        done = true;
      }
    if (done) break;
  }
  app->p_Game();
  EXPECT_EQ(app->m_blobCount, 202);
  EXPECT_EQ(app->m_gameOver, 1);
  // From now on firing stops and the ship stays where it is.
  const float angle = app->m_player[1];
  app->m_mouseDown = 1;
  app->m_phase = 0;
  app->p_Game();
  int inFlight = 0;
  for (int i = 0; i < 51; ++i)
    if (app->m_shots[i * 10] != 0) ++inFlight;
  EXPECT_EQ(inFlight, 0);
  EXPECT_FLOAT_EQ(app->m_player[1], angle);
}

TEST_F(Play, PutBlobAndShotPoolRules) {
  app->p_PutBlob(-1, 4, 20);
  app->p_PutBlob(32, 4, 20);
  app->p_PutBlob(4, 32, 20);
  EXPECT_EQ(Count(20), 0);
  app->p_PutBlob(4, 4, 17);
  EXPECT_FLOAT_EQ(Cell(app, 4, 4)[kStrength], 6.0f);
  EXPECT_FLOAT_EQ(Cell(app, 4, 4)[kDrop], -60.0f);
  app->p_PutBlob(4, 4, 21);
  EXPECT_EQ((int)Cell(app, 4, 4)[kKind], 17) << "a taken cell keeps its blob";
  app->p_PutBlob(5, 4, 21);
  EXPECT_FLOAT_EQ(Cell(app, 5, 4)[kStrength], 1.0f);

  app->p_Shoot(10, 20, 90, 2, 3, 1);
  EXPECT_EQ(app->m_shots[500], 1.0f) << "the highest free record goes first";
  EXPECT_NEAR(app->m_shots[503], 2.0f, 1e-5);
  EXPECT_NEAR(app->m_shots[504], 0.0f, 1e-5);
  EXPECT_EQ(app->m_shots[507], 3.0f);
  for (int i = 0; i < 60; ++i) app->p_Shoot(0, 0, 0, 0, 4, 2);
  int kind2 = 0;
  for (int i = 0; i < 51; ++i)
    if (app->m_shots[i * 10] == 2.0f) ++kind2;
  EXPECT_EQ(kind2, 50) << "a full pool loses the shot";
}

TEST_F(Play, SteeringTakesTheShortWayAndSnapsNearTheAim) {
  EXPECT_EQ(c_MyApp::m_WhichWayDoIGo(0, 180, 0, 359), -179);
  EXPECT_EQ(c_MyApp::m_WhichWayDoIGo(0, 179, 0, 359), 179);
  EXPECT_EQ(c_MyApp::m_WhichWayDoIGo(350, 10, 0, 359), 20);
  EXPECT_EQ(c_MyApp::m_WhichWayDoIGo(-30, 10, 0, 359), 40);

  // No input: digital mode, no turn.
  app->p_AnalogueControl();
  EXPECT_EQ(app->m_steerMode, 1);
  EXPECT_FLOAT_EQ(app->p_Turn(), 0.0f);

  // A drag: the first update anchors it; a short drag is inside the dead zone.
  app->m_mouseDown = 1;
  app->m_mouseX = 300;
  app->m_mouseY = 300;
  app->p_AnalogueControl();
  app->m_mouseX = 307;
  app->p_AnalogueControl();
  EXPECT_FLOAT_EQ(app->m_stickX, 0.0f);
  // Pointing right (90 degrees) with the ship at 180: a counter-clockwise step, capped at 6.
  app->m_mouseX = 372;
  app->p_AnalogueControl();
  EXPECT_EQ(app->m_steerMode, 2);
  EXPECT_FLOAT_EQ(app->m_stickX, 1.0f);
  app->m_player[1] = 180;
  EXPECT_FLOAT_EQ(app->p_Turn(), -6.0f);
  app->m_player[1] = 91;
  EXPECT_FLOAT_EQ(app->p_Turn(), 0.0f);
  EXPECT_FLOAT_EQ(app->m_player[1], 90.0f) << "within 2 degrees it snaps onto the aim";
}

TEST_F(Play, PlacingInTheTablesOfTheGameType) {
  app->m_gameType = 2;
  for (int i = 0; i < 150; ++i) app->m_hiScores[i] = 0;
  // An empty table and a score of 0: not inserted, yet "1st!" since 0 >= 0.
  app->m_score = 0;
  app->p_LoadMenu();
  EXPECT_EQ(app->m_hiScores[10], 0);
  EXPECT_EQ(app->p_MyNth(), String("1st!"));
  EXPECT_EQ(app->m_i, 1);

  const int best[10] = {500, 400, 300, 0, 0, 0, 0, 0, 0, 0};
  for (int k = 0; k < 10; ++k) app->m_hiScores[10 + k] = best[k];
  app->m_score = 400;
  app->p_LoadMenu();
  EXPECT_EQ(app->m_hiScores[11], 400);
  EXPECT_EQ(app->m_hiScores[12], 400) << "below the older equal score";
  EXPECT_EQ(app->m_hiScores[13], 300);
  EXPECT_EQ(app->p_MyNth(), String("2nd"));
  EXPECT_EQ(app->m_hiScores[40], 400);
  EXPECT_EQ(app->m_hiScores[41], 0) << "the earlier 0 moved down the latest ten";
  for (int k = 0; k < 10; ++k) EXPECT_EQ(app->m_hiScores[k], 0) << "other types untouched";

  for (int k = 0; k < 10; ++k) app->m_hiScores[10 + k] = 1000 - 10 * k;
  app->m_score = 5;
  app->p_LoadMenu();
  EXPECT_EQ(app->m_hiScores[19], 910) << "a score below all ten is not inserted";
  EXPECT_EQ(app->p_MyNth(), String(""));
  EXPECT_EQ(app->m_i, 0);
  EXPECT_EQ(app->m_hiScores[40], 5) << "but it is the newest of the latest ten";
  EXPECT_EQ(app->m_hiScores[41], 400);
}

TEST_F(Play, BannerBuildsForNinetyUpdatesThenFadesOverTheMenu) {
  app->m_gameMode = 10;
  app->m_gameOver = 1;
  app->m_gameOverTime = 0;
  int updates = 0;
  while (app->m_gameMode == 10 && updates < 200) {
    app->p_GameOver();
    ++updates;
  }
  EXPECT_EQ(updates, 90);
  EXPECT_EQ(app->m_gameMode, 2);
  EXPECT_EQ(app->m_gameOverTime, 73);
  EXPECT_EQ(app->m_keyLock, 1);
  EXPECT_EQ(app->m_tapLock, 1);
  app->m_gameMode = 1;
  for (int i = 0; i < 36; ++i) app->p_GameOver();
  EXPECT_EQ(app->m_gameOverTime, 1);
  app->p_GameOver();
  app->p_GameOver();
  EXPECT_EQ(app->m_gameOverTime, 0) << "never below 0";
}

// Everything the board and the ship are made of, folded into one number.
uint64_t StateHash(c_MyApp* app) {
  uint64_t h = 1469598103934665603ull;
  auto mix = [&h](uint32_t v) { h = (h ^ v) * 1099511628211ull; };
  for (int i = 0; i < 25000; ++i) {
    float f = app->m_grid[i];
    uint32_t bits;
    static_assert(sizeof bits == sizeof f, "float is 32 bits");
    __builtin_memcpy(&bits, &f, sizeof bits);
    mix(bits);
  }
  mix((uint32_t)app->m_score);
  mix((uint32_t)app->m_level);
  mix((uint32_t)(app->m_player[1] * 1000));
  return h;
}

// A fresh application each time: clock, rings, shots and particles carry over
// from one game to the next in a running program.
uint64_t PlayScripted(c_MyApp** out, int seed) {
  vx_random_Seed = seed;
  c_MyApp* app = new c_MyApp();
  *out = app;
  app->m_opt[5] = 0;
  app->m_landscape = 1;
  app->m_gameType = 2;
  app->p_LoadGame();
  for (int u = 0; u < 900; ++u) {
    // Hold the pointer down in a slow circle: steering and firing all the way.
    app->m_mouseDown = 1;
    app->m_mouseX = 320 + (u / 30 % 2 ? 80 : -80);
    app->m_mouseY = 240 + (u / 45 % 2 ? 60 : -60);
    app->p_Game();
  }
  return StateHash(app);
}

TEST_F(Play, TheSameSeedAndInputsReplayTheSameGame) {
  c_MyApp* played = nullptr;
  const uint64_t first = PlayScripted(&played, 1234);
  EXPECT_GT(played->m_score, 0) << "the scripted player hits something";
  const uint64_t second = PlayScripted(&played, 1234);
  EXPECT_EQ(first, second);
  EXPECT_NE(PlayScripted(&played, 99), first);
}

}  // namespace
