// Play (game/gameplay.cpp), one p_Game an update: levels and their blobs,
// spreading, hits and bursts, the ends of a level and a game, firing, tracks.
#include <cmath>

#include "framework/random.h"
#include "tests/support/myapp.h"

namespace {

class Gameplay : public StartedAppTest {
 protected:
  // The board at 640 x 480: cell size, blob size, top-left corner.
  const float c = 480.0f / 35.0f, u = c / 22.0f, ox = 320.0f - 15.75f * c, oy = 240.0f - 15.75f * c;
  void SetUp() override {
    StartedAppTest::SetUp();
    NewGame(1);
  }
  float* Cell(int x, int y) { return &app->m_grid[CellIndex(x, y)]; }
  void Empty(float drop = 0) {
    for (int i = 0; i < kGridFloats; ++i)
      app->m_grid[i] = i % kRecordFloats == kCellDrop ? drop : 0;
  }
  // A blob that has landed, so it can be hit, spread and burst at once.
  void Landed(int x, int y, int kind) {
    app->p_PutBlob(x, y, kind);
    Cell(x, y)[kCellDrop] = 0;
  }
  // A still shot in the middle of a cell hits it in the next update.
  void ShootAt(int x, int y) { app->p_Shoot(ox + (x + 0.5f) * c, oy + (y + 0.5f) * c, 0, 0, 4, 1); }
  int Count(int kind) {
    int n = 0;
    for (int i = 0; i < kGridFloats; i += kRecordFloats)
      n += (int)app->m_grid[i + kCellKind] == kind;
    return n;
  }
  int Shots() {
    int n = 0;
    for (int i = 0; i < kShotRecords; ++i) n += app->m_shots[i * kRecordFloats + kShotKind] != 0;
    return n;
  }
};

// Each game type opens on an empty level 0, so its first level comes after a
// lead-out with its forced kinds and backdrop; the 8th follows a level 7 set by hand.
TEST_F(Gameplay, EachGameTypeOpensWithALeadOutThenItsFirstLevelWithItsForcedKindsAndBackdrop) {
  struct Case {
    int type, level, blobs;
    bool k19, k17, k21;
  };
  for (Case k : {Case{1, 1, 8, false, false, false}, Case{2, 3, 12, true, false, false},
                 Case{3, 6, 20, true, true, false}, Case{3, 8, 20, true, true, true}}) {
    SCOPED_TRACE(k.level);
    app->m_score = 77;  // the last game's
    NewGame(k.type);
    if (k.level == 8) app->m_level = 7;
    int updates = 0;
    for (; app->m_phase != 90 && updates < 200; ++updates) Update();
    EXPECT_EQ(updates, 91) << "an empty level: a lead-out from -1 to -91";
    EXPECT_EQ(app->m_score, k.level == 8 ? 100 : 0)
        << "a clearing bonus, once, after level 7; none after 0";
    EXPECT_EQ(Plays(11), k.level == 8);
    EXPECT_EQ(app->m_level, k.level);
    const int placed = Count(17) + Count(19) + Count(20) + Count(21);
    EXPECT_TRUE(placed >= k.blobs - 3 && placed <= k.blobs)
        << placed << ": only coinciding cells may be lost";
    EXPECT_EQ(std::vector<bool>({Count(19) > 0, Count(17) > 0, Count(21) > 0}),
              std::vector<bool>({k.k19, k.k17, k.k21}));
    // All still above the board: a new level's blobs land during its lead-in.
    for (int i = 0; i < kGridFloats; i += kRecordFloats)
      EXPECT_FALSE(app->m_grid[i + kCellKind] > 0 && app->m_grid[i + kCellDrop] > -5) << i;
    const float rgb[3] = {app->m_bgTargetR, app->m_bgTargetG, app->m_bgTargetB},
                sum = rgb[0] + rgb[1] + rgb[2];
    EXPECT_TRUE(k.level != 1 || (rgb[0] + rgb[1] == 0 && rgb[2] == 80))
        << "the first level is deep blue";
    for (float v : rgb) EXPECT_TRUE(v >= 0 && v <= 80 && std::fmod(v, 20.0f) == 0) << v;
    EXPECT_TRUE(sum > 40 && sum < 100) << sum;
  }
}

// One landed cell among cells held in the air (which draw nothing), so its
// two draws are the update's first: u1 grows its timer by (0.7 + 1.5 u1) x
// the factor of level and kind, and past 180 u2 picks the way it spreads.
TEST_F(Gameplay, ALandedCellSpreadsPastTimer180InItsDrawnDirection) {
  struct Case {
    int kind, level;
    float factor;
  };
  const Case cases[] = {{19, 1, 0.77f}, {19, 10, 1.4f}, {17, 4, 0.49f},
                        {21, 2, 3.0f},  {20, 9, 0.0f},  {0, 5, 1.05f}};
  const int dx[5] = {0, 0, 1, 0, -1}, dy[5] = {0, -1, 0, 1, 0};  // up, right, down, left
  bool seen[5] = {};
  for (const Case& k : cases) {
    for (int seed = 1; seed <= 12; ++seed) {
      for (float past : {0.5f, -0.5f}) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << k.kind << " seed " << seed << " past " << past);
        Empty(-10);
        app->m_level = k.level;
        app->m_phase = 20;  // no drop-in draws
        for (int j = 1; j <= 3; ++j) app->m_rings[kRecordFloats * j + kRingGrowth] = 1;
        app->p_ResetStars(100);  // no star leaves the screen
        if (k.kind) app->p_PutBlob(16, 16, k.kind);
        vx_random_Seed = seed;
        const float u1 = vx_random_Rnd(), u2 = vx_random_Rnd();
        vx_random_Seed = seed;
        const float grow = (0.7f + 1.5f * u1) * k.factor, start = 180.0f - grow + past;
        Cell(16, 16)[kCellDrop] = 0;
        Cell(16, 16)[kCellTimer] = start;
        app->p_Game();
        const int d = past > 0 ? (int)(1.0f + 3.9f * u2) : 0;
        EXPECT_NEAR(Cell(16, 16)[kCellTimer], d ? 0.0f : start + grow, 1e-3);
        for (int w = 1; w <= 4; ++w) {
          const float* n = Cell(16 + dx[w], 16 + dy[w]);
          EXPECT_EQ(n[kCellDrop], w == d ? -60.0f : -10.0f) << "way " << w;
          EXPECT_EQ(n[kCellKind], w == d ? (float)k.kind : 0.0f) << "way " << w;
        }
        seen[d] = true;
      }
    }
  }
  for (int w = 1; w <= 4; ++w) EXPECT_TRUE(seen[w]) << "way " << w;
}

TEST_F(Gameplay, ShotsBreakEachKindAndDamagedBlobsShowAtHalfSize) {
  struct Case {
    int kind, hits, halfFrom;
  };
  for (Case k : {Case{20, 6, 4}, Case{17, 11, 9}, Case{21, 2, 1}}) {
    SCOPED_TRACE(k.kind);
    Empty();
    app->m_level = 1;
    app->m_phase = 0;
    Landed(16, 16, k.kind);
    const int score = app->m_score;
    int fired = 0, half = 0;
    while (Cell(16, 16)[kCellStrength] >= 0 && fired < 50) {
      ShootAt(16, 16);
      app->p_Game();  // draws the blob as the earlier hits left it, then hits it
      ++fired;
      EXPECT_EQ(app->m_score, score + fired);
      for (const DrawRecord& r : Records())
        if (r.kind == 1 && r.frame == k.kind - 1 && r.x == ox + 16 * c && !half && r.w < u * 0.75f)
          half = fired - 1;
    }
    EXPECT_EQ(std::make_pair(fired, half), std::make_pair(k.hits, k.halfFrom))
        << "hits to burst, and the first after which the blob is drawn at half size";
    EXPECT_EQ((int)Cell(16, 16)[kCellKind], k.kind) << "the burst comes in the next board pass";
    app->p_Game();
    EXPECT_EQ((int)Cell(16, 16)[kCellKind], 0);
    EXPECT_EQ(app->m_score, score + k.hits + 5);
  }
}

// The shot's own cell holds a blob still in the air: not hit, but counted.
TEST_F(Gameplay, AShotHitsTheFirstLandedNeighbourInColumnOrderAndAnUnlandedBlobIsOnlyCounted) {
  Empty();
  app->p_PutBlob(16, 16, 20);
  Cell(16, 16)[kCellDrop] = -40;
  app->m_phase = 20;  // at exactly 20 nothing drops
  Landed(16, 17, 20);
  Landed(17, 15, 20);  // first in row order, second in column order
  ShootAt(16, 16);
  app->p_Game();
  EXPECT_EQ(std::vector<float>({Cell(16, 16)[kCellStrength], Cell(16, 17)[kCellStrength],
                                Cell(17, 15)[kCellStrength]}),
            std::vector<float>({3, 2.4f, 3}))
      << "one cell damaged, once";
  EXPECT_EQ(app->m_blobCount, 3);
}

TEST_F(Gameplay, TheDangerMeterFillsFlashesAndEndsTheGameAt202BlobsOnTheDisc) {
  struct Case {
    int blobs, danger;
    float red, green, alpha, length;
  };
  // With the clock at 0 the flashing red is at its brightest.
  const Case cases[] = {{151, 90, 180, 75, 0.5f, 180},
                        {152, 91, 255, 0, 0.8f, 182},
                        {169, 100, 255, 0, 0.8f, 200},
                        {201, 100, 255, 0, 0.8f, 200}};
  app->m_level = 1;
  for (const Case& k : cases) {
    SCOPED_TRACE(k.blobs);
    Empty();
    Landed(0, 0, 20);  // off the disc: never counted
    for (int y = 0, placed = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (InDisc(x, y) && placed < k.blobs) Landed(x, y, 20), ++placed;
    app->m_clock = 0;
    app->p_Game();
    EXPECT_EQ(std::make_pair(app->m_blobCount, app->m_danger), std::make_pair(k.blobs, k.danger));
    int bars = 0;
    for (const DrawRecord& r : Records())
      if (r.kind == kRectKind && r.x == 608 && r.w == 16 && r.r + r.g > 0 &&
          r.r + r.g + r.b != 765) {
        ++bars;
        EXPECT_EQ(std::vector<float>({r.r, r.g, r.alpha, r.h}),
                  std::vector<float>({k.red, k.green, k.alpha, k.length}));
      }
    EXPECT_EQ(std::make_pair(bars, app->m_gameOver), std::make_pair(1, 0));
  }
  Landed(16, 16, 20);
  app->p_Game();
  EXPECT_EQ(std::make_pair(app->m_gameOver, Plays(12)), std::make_pair(1, 1)) << "202 blobs";
}

TEST_F(Gameplay, ShotsLeaveEveryFourUpdatesOrInPairsEveryThreeWhilePoweredAndLeadTheTurn) {
  Empty();
  Landed(3, 16, 20);  // keeps the level going, out of the shots' way
  app->m_level = 1;
  app->m_mouseDown = 1;
  for (int i = 0; i < 12; ++i) app->p_Game();
  EXPECT_EQ(Shots(), 3) << "updates 1, 5 and 9";
  for (int i = 0; i < kShotRecords * kRecordFloats; ++i) app->m_shots[i] = 0;
  app->m_player[kShipPower] = 10;
  for (int i = 0; i < 12; ++i) app->p_Game();
  EXPECT_EQ(std::make_pair(Shots(), app->m_player[kShipPower]), std::make_pair(8, 6.0f))
      << "two at 1, 4, 7 and 10";

  // The heading leads the turn by three updates' worth: a 3-degree turn
  // from 180 fires at 183 + 180 + 9.
  for (int i = 0; i < kShotRecords * kRecordFloats; ++i) app->m_shots[i] = 0;
  app->m_player[kShipPower] = app->m_player[kShipFireDelay] = 0;  // no power, no fire delay
  app->m_steerMode = 1;
  app->m_stickX = -0.5f;
  app->p_Game();
  const float heading =
      app->m_shots[50 * kRecordFloats + kShotHeading];  // the top record is taken first
  EXPECT_EQ(std::make_tuple(app->m_player[kShipAngle], Shots(), heading),
            std::make_tuple(183.0f, 1, 372.0f));
}

// A hidden blob can spread back onto the disc during a lead-out, which holds
// the phase there: the ship fires as in play then, or the player could only
// watch the board fill up. A lead-out over an empty disc fires nothing.
TEST_F(Gameplay, ALeadOutHeldByABlobBackOnTheDiscFiresAndAnEmptyOneDoesNot) {
  Empty();
  Landed(2, 9, 21);  // a hidden cell beside the disc, of the fastest-spreading kind
  app->m_mouseDown = 1;
  for (int i = 0; i < 10; ++i) app->p_Game();
  ASSERT_EQ(app->m_phase, -10);
  EXPECT_EQ(Shots(), 0);
  app->p_PutBlob(3, 9, 21);  // what its spreading does
  for (int i = 0; i < 5; ++i) app->p_Game();
  EXPECT_EQ(app->m_phase, -10) << "held while the disc holds a blob";
  EXPECT_EQ(Shots(), 2) << "updates 1 and 5 of the hold";
}

// Nothing drawn is ever NaN or infinite, from the first game of a run on (its
// rings are drawn before any lead-in renews them).
TEST_F(Gameplay, EveryNumberOfEveryFrameOfAGameIsFinite) {
  app->m_mouseDown = 1;
  for (int i = 0; i < 1200 && !app->m_gameOver; ++i) {
    Update();
    for (int at = 0; at < app->m_drawCount; ++at)
      ASSERT_TRUE(std::isfinite(app->m_drawList[at])) << "update " << i << ", float " << at;
  }
}

// Game type 1 starts from track 1, so level 1 brings track 2.
TEST_F(Gameplay, EachLevelBringsTheNextTrackAtFiftyAndStopsTheMusicAtMinusFifty) {
  for (int i = 0; !(app->m_level == 1 && app->m_phase == 50) && i < 300; ++i) Update();
  EXPECT_EQ(audio->Count("music:zorbel://data/sfx/Eccentricity.ogg,1"), 1);
  const int stops = audio->Count("stopmusic");
  Empty();
  for (int i = 0; app->m_phase > -50 && i < 300; ++i) Update();
  EXPECT_EQ(std::make_pair(app->m_musicOn, audio->Count("stopmusic")),
            std::make_pair(0, stops + 1));
  for (int i = 0; app->m_phase != 50 && i < 300; ++i) Update();
  EXPECT_EQ(audio->Count("music:zorbel://data/sfx/Feelings.ogg,1"), 1);
}

}  // namespace
