// The parts of play around the board: the starfield's warp, the particle
// pool and the glow, the bonus orb, the firing cadence, the danger meter and
// its alarm, the music moments of a level, and the drag stick. Driven through
// the real c_MyApp one p_Game per update, with no audio device: effects that
// would sound still take their slot, which is how the alarm is observed.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "framework/input.h"
#include "framework/random.h"
#include "game/myapp.h"

namespace {

constexpr int kFloats = 15;
constexpr float kPi = 3.14159265358979f;

float* Cell(c_MyApp* app, int x, int y) { return &app->m_grid[(y * 50 + x) * 10]; }

bool InDisc(int x, int y) { return (x - 16) * (x - 16) + (y - 16) * (y - 16) < 225; }

struct Rec {
  float v[kFloats];
};

class PlayEffects : public ::testing::Test {
 protected:
  c_MyApp* app = nullptr;
  c_InputDevice* input = nullptr;

  void SetUp() override {
    input = (new c_InputDevice())->m_new();
    vx_input_SetInputDevice(input);
    vx_Quorvex_jscrw = 640;
    vx_Quorvex_jscrh = 480;
    vx_random_Seed = 1234;
    app = new c_MyApp();
    app->m_opt[5] = 0;
    app->m_landscape = 1;
    app->m_gameType = 1;
    app->p_LoadGame();
  }
  void TearDown() override { vx_input_SetInputDevice(nullptr); }

  // Play at level `level`: one landed blob on the left of the disc keeps the
  // level from ending, and shots from the bottom of the ring never reach it.
  void InPlay(int level) {
    app->m_level = level;
    app->m_phase = 0;
    app->p_PutBlob(3, 16, 20);
    Cell(app, 3, 16)[1] = 0.0f;
  }

  std::vector<Rec> Records() const {
    std::vector<Rec> out;
    for (int n = 0; n < app->m_drawCount / kFloats; ++n) {
      Rec r;
      for (int i = 0; i < kFloats; ++i) r.v[i] = app->m_drawList[n * kFloats + i];
      out.push_back(r);
    }
    return out;
  }

  int ShotsInFlight() const {
    int n = 0;
    for (int i = 0; i < 51; ++i)
      if (app->m_shots[i * 10] != 0) ++n;
    return n;
  }

  // Fills the disc with `count` landed blobs of the kind that never spreads.
  void FillDisc(int count) {
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) Cell(app, x, y)[0] = 0.0f;
    int placed = 0;
    for (int y = 0; y < 32 && placed < count; ++y)
      for (int x = 0; x < 32 && placed < count; ++x)
        if (InDisc(x, y)) {
          app->p_PutBlob(x, y, 20);
          Cell(app, x, y)[1] = 0.0f;
          ++placed;
        }
  }

  // The danger bar: the rectangle at the right edge that is neither the
  // white frame nor the black trough.
  bool DangerBar(Rec* out) const {
    for (const Rec& r : Records()) {
      if (r.v[0] < 0 && r.v[1] == 640 - 32 && r.v[4] == 16 && r.v[10] + r.v[11] + r.v[12] != 0 &&
          !(r.v[10] == 255 && r.v[11] == 255 && r.v[12] == 255)) {
        *out = r;
        return true;
      }
    }
    return false;
  }
};

TEST_F(PlayEffects, StarsStreamFromTheCentreAtTheWarpOfThePhase) {
  app->p_ResetStars(100);
  for (int i = 0; i <= 100; ++i) {
    EXPECT_FLOAT_EQ(app->m_stars[i * 10 + 1], 320.0f);
    EXPECT_FLOAT_EQ(app->m_stars[i * 10 + 2], 240.0f);
  }
  const float untouched = app->m_stars[101 * 10 + 1];
  struct Case {
    int phase;
    float warp;
  };
  for (Case c : {Case{0, 0.3f}, Case{90, 4.8f}, Case{-10, 0.8f}, Case{-200, 7.0f}}) {
    SCOPED_TRACE(c.phase);
    app->p_ResetStars(100);
    app->m_phase = c.phase;
    app->m_drawCount = 0;
    app->p_DoStars(0, 0);
    int stars = 0;
    for (const Rec& r : Records())
      if (r.v[0] == 96) ++stars;
    EXPECT_EQ(stars, 101) << "one more star than the count";
    for (int i = 0; i <= 100; ++i) {
      const float* s = &app->m_stars[i * 10];
      const float moved = std::hypot(s[1] - 320.0f, s[2] - 240.0f);
      EXPECT_NEAR(moved, c.warp * s[3], 1e-3) << "star " << i;
    }
    EXPECT_EQ(app->m_stars[101 * 10 + 1], untouched) << "star 101 is not live";
  }

  // A turn swirls every star's direction by the same amount.
  app->p_ResetStars(100);
  app->m_phase = 0;
  std::vector<float> before;
  for (int i = 0; i <= 100; ++i) before.push_back(app->m_stars[i * 10 + 7]);
  app->p_DoStars(0, 2.5f);
  for (int i = 0; i <= 100; ++i) EXPECT_NEAR(app->m_stars[i * 10 + 7], before[i] + 2.5f, 1e-3);
}

TEST_F(PlayEffects, ThePoolFillsFromTheTopAndChunksGlowInTheirColour) {
  for (int i = 0; i < 5100; ++i) app->m_particles[i] = 0.0f;
  for (int i = 0; i <= 250; ++i) app->m_particles[i * 10] = 1.0f;
  const int seed = vx_random_Seed;
  app->p_ThrowParticle(100, 100, 4, 3, -3717, -3717);
  for (int i = 0; i <= 250; ++i) ASSERT_EQ(app->m_particles[i * 10], 1.0f);
  EXPECT_NE(vx_random_Seed, seed) << "the random angle and speed are drawn even when nothing is free";

  app->m_particles[3 * 10] = 0.0f;
  app->m_particles[7 * 10] = 0.0f;
  app->p_ThrowParticle(100, 100, 4, 3, 90, 5);
  EXPECT_EQ(app->m_particles[7 * 10], 4.0f) << "the highest free record is taken";
  EXPECT_EQ(app->m_particles[3 * 10], 0.0f);
  EXPECT_FLOAT_EQ(app->m_particles[7 * 10 + 3], 5.0f) << "speed 5 at 90 degrees moves right";
  EXPECT_NEAR(app->m_particles[7 * 10 + 4], 0.0f, 1e-4);
  EXPECT_FLOAT_EQ(app->m_particles[7 * 10 + 5], 90.0f) << "a chunk is turned to its throw";
  EXPECT_FLOAT_EQ(app->m_particles[7 * 10 + 6], 0.0f) << "and does not spin";

  // Only the chunk remains; it shows frame 11 of the sprite and of its halo.
  for (int i = 0; i <= 250; ++i)
    if (i != 7) app->m_particles[i * 10] = 0.0f;
  app->m_drawCount = 0;
  app->p_DoParticles();
  std::vector<Rec> recs = Records();
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(recs[0].v[0], 1.0f);
  EXPECT_EQ(recs[0].v[6], 11.0f);
  EXPECT_FLOAT_EQ(recs[0].v[4], 0.75f);
  EXPECT_EQ(recs[1].v[0], 11.0f);
  EXPECT_EQ(recs[1].v[6], 11.0f);
  EXPECT_FLOAT_EQ(recs[1].v[4], 0.75f * 1.75f);
  EXPECT_FLOAT_EQ(recs[1].v[7], recs[0].v[7] * 0.5f);
  EXPECT_EQ(recs[1].v[13], 3.0f) << "the halo adds";
  EXPECT_EQ(app->m_drawBlend, 1);

  // A chunk loses 0.02 of life per update and is freed below 0.
  app->m_particles[7 * 10 + 7] = 0.03f;
  app->p_DoParticles();
  EXPECT_EQ(app->m_particles[7 * 10], 4.0f);
  app->p_DoParticles();
  EXPECT_EQ(app->m_particles[7 * 10], 0.0f);

  // A negative pool limit throws nothing at all.
  app->m_maxParticles = -1;
  app->p_ThrowParticle(100, 100, 4, 3, 90, 5);
  for (int i = 0; i <= 250; ++i) EXPECT_EQ(app->m_particles[i * 10], 0.0f);

  // Glow leaves alpha blending on whatever came before.
  app->p_Blend(3);
  app->p_SetSize(2, 2);
  app->p_Alpha(0.8f);
  app->p_DrawGlow(1, 50, 50, 56);
  EXPECT_EQ(app->m_drawBlend, 1);
  EXPECT_FLOAT_EQ(app->m_drawSizeX, 2.0f);
  EXPECT_FLOAT_EQ(app->m_drawAlpha, 0.8f);
}

TEST_F(PlayEffects, TheOrbWaitsForLevelFourAndAnEmptyPower) {
  InPlay(3);
  app->m_bonusTime = 1;
  app->m_bonusAngle = 90;
  app->p_Game();
  EXPECT_EQ(app->m_bonusTime, 0) << "no orb before level 4";

  InPlay(4);
  app->m_player[13] = 5;
  app->m_bonusTime = 1;
  app->p_Game();
  EXPECT_EQ(app->m_bonusTime, 0) << "no orb while double shots remain";

  app->m_player[13] = 0;
  app->m_bonusTime = 1;
  app->m_bonusAngle = 90;  // away from the ship at 180
  for (int i = 0; i < 200; ++i) app->p_Game();
  EXPECT_EQ(app->m_bonusTime, 180) << "it travels to the ring and stays there";
  bool drawn = false;
  for (const Rec& r : Records())
    if (r.v[0] == 1 && r.v[6] == 24) drawn = true;
  EXPECT_TRUE(drawn);

  // Over the ship once it has travelled past 160: 100 double shots.
  app->m_bonusTime = 150;
  app->m_bonusAngle = 185;
  app->m_player[1] = 180;
  for (int i = 0; i < 10; ++i) app->p_Game();
  EXPECT_EQ(app->m_bonusTime, 160) << "not yet past 160";
  EXPECT_EQ(app->m_player[13], 0.0f);
  app->p_Game();
  EXPECT_EQ(app->m_bonusTime, 0);
  EXPECT_EQ(app->m_player[13], 100.0f);

  // Paused, the orb holds still.
  app->m_player[13] = 0;
  app->m_bonusTime = 20;
  app->m_paused = 1;
  app->p_Game();
  EXPECT_EQ(app->m_bonusTime, 20);
}

TEST_F(PlayEffects, ShotsLeaveEveryFourUpdatesOrInPairsEveryThreeWhilePowered) {
  InPlay(1);
  app->m_mouseDown = 1;
  for (int i = 0; i < 12; ++i) app->p_Game();
  EXPECT_EQ(ShotsInFlight(), 3) << "updates 1, 5 and 9";

  InPlay(1);
  for (int i = 0; i < 510; ++i) app->m_shots[i] = 0;
  app->m_player[11] = 0;
  app->m_player[13] = 10;
  for (int i = 0; i < 12; ++i) app->p_Game();
  EXPECT_EQ(ShotsInFlight(), 8) << "updates 1, 4, 7 and 10, two at a time";
  EXPECT_EQ(app->m_player[13], 6.0f);
  std::vector<float> frames;
  for (int i = 0; i < 51; ++i)
    if (app->m_shots[i * 10] != 0) frames.push_back(app->m_shots[i * 10 + 7]);
  EXPECT_EQ(frames.size(), 8u);

  // Letting go resets the delay, so the next press fires at once; a lock or
  // the lead-in holds fire.
  for (int i = 0; i < 510; ++i) app->m_shots[i] = 0;
  app->m_player[13] = 0;
  app->m_mouseDown = 0;
  app->p_Game();
  EXPECT_EQ(app->m_player[11], 0.0f);
  app->m_mouseDown = 1;
  app->m_tapLock = 1;
  app->p_Game();
  EXPECT_EQ(ShotsInFlight(), 0);
  app->m_tapLock = 0;
  app->m_phase = 5;
  app->p_Game();
  EXPECT_EQ(ShotsInFlight(), 0);
  app->m_phase = 0;
  app->p_Game();
  EXPECT_EQ(ShotsInFlight(), 1);
}

TEST_F(PlayEffects, TheDangerMeterFlashesFrom152AndTheAlarmSoundsFrom169) {
  app->m_level = 1;
  app->m_phase = 0;
  Rec bar;

  FillDisc(151);
  app->p_Game();
  EXPECT_EQ(app->m_danger, 90);
  ASSERT_TRUE(DangerBar(&bar));
  EXPECT_FLOAT_EQ(bar.v[10], 180.0f);
  EXPECT_FLOAT_EQ(bar.v[11], 75.0f);
  EXPECT_FLOAT_EQ(bar.v[5], 180.0f) << "bar length 2d";

  // The flashing red: the clock chosen so that sin(32 t) = 1.
  FillDisc(152);
  app->m_clock = 90.0f / 32.0f;
  app->p_Game();
  EXPECT_EQ(app->m_danger, 91);
  ASSERT_TRUE(DangerBar(&bar));
  const float expect = 255.0f - std::fabs(120.0f * std::sin(32.0f * app->m_clock * kPi / 180.0f));
  EXPECT_NEAR(bar.v[10], expect, 0.5f);
  EXPECT_EQ(bar.v[11], 0.0f);
  EXPECT_FLOAT_EQ(bar.v[7], 0.8f);

  // The alarm takes an effect slot when |sin(48 t)| is near 1.
  app->m_opt[5] = 2;
  app->m_clock = 90.0f / 48.0f;
  FillDisc(168);
  int slot = app->m_sfxNext;
  app->p_Game();
  EXPECT_EQ(app->m_sfxNext, slot) << "100 is not yet past 100";
  FillDisc(169);
  app->m_clock = 90.0f / 48.0f;
  app->p_Game();
  EXPECT_EQ(app->m_danger, 100) << "capped beyond 100";
  EXPECT_NE(app->m_sfxNext, slot);
  ASSERT_TRUE(DangerBar(&bar));
  EXPECT_FLOAT_EQ(bar.v[5], 200.0f);
  slot = app->m_sfxNext;
  app->m_clock = 0.0f;  // sin 0: no alarm this update
  app->p_Game();
  EXPECT_EQ(app->m_sfxNext, slot);
  EXPECT_EQ(app->m_gameOver, 0);
}

TEST_F(PlayEffects, EachLevelChangesTrackAtFiftyAndStopsTheMusicAtMinusFifty) {
  const int firstTrack[4] = {0, 2, 3, 4};  // Eccentricity, Feelings, Keyboard
  vx_Quorvex_HasMusicStream = 1;
  for (int type = 1; type <= 3; ++type) {
    SCOPED_TRACE(type);
    app->m_gameType = type;
    app->p_LoadGame();
    app->m_opt[5] = 3;  // music only
    app->m_musicOn = 0;
    // The opening lead-out, then the lead-in of the first level down to 50.
    int updates = 0;
    while (!(app->m_level >= 1 && app->m_phase == 50) && updates < 300) {
      app->p_Game();
      ++updates;
    }
    ASSERT_LT(updates, 300);
    EXPECT_EQ(app->m_track, firstTrack[type]);
    EXPECT_EQ(app->m_musicOn, 1);
  }

  // Clearing the board runs the lead-out; at -50 the music stops.
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) Cell(app, x, y)[0] = 0.0f;
  app->m_phase = 0;
  while (app->m_phase > -50) app->p_Game();
  EXPECT_EQ(app->m_musicOn, 0);
  const int track = app->m_track;
  while (app->m_phase != 50) app->p_Game();
  EXPECT_EQ(app->m_track, (track + 1) % 5) << "and the next level brings the next track";

  // With the procedural player in their place the files stay silent.
  vx_Quorvex_HasMusicStream = 0;
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) Cell(app, x, y)[0] = 0.0f;
  app->m_phase = 0;
  while (app->m_phase > -50) app->p_Game();
  while (app->m_phase != 50) app->p_Game();
  EXPECT_EQ(app->m_track, (track + 2) % 5);
  EXPECT_EQ(app->m_musicOn, 0);
  vx_Quorvex_HasMusicStream = 1;
}

TEST_F(PlayEffects, TheDragStickTrailsAFarPointerAndOpposedKeysCancel) {
  app->m_mouseDown = 1;
  app->m_mouseX = 300;
  app->m_mouseY = 200;
  app->p_AnalogueControl();
  EXPECT_EQ(app->m_stickAnchorX, 300);
  EXPECT_EQ(app->m_stickAnchorY, 200);

  // 7 pixels on both axes is inside the dead zone; 8 on one is not.
  app->m_mouseX = 307;
  app->m_mouseY = 207;
  app->p_AnalogueControl();
  EXPECT_FLOAT_EQ(app->m_stickX, 0.0f);
  EXPECT_FLOAT_EQ(app->m_stickY, 0.0f);
  app->m_mouseX = 308;
  app->p_AnalogueControl();
  EXPECT_FLOAT_EQ(app->m_stickX, 8.0f / 72.0f);

  // Far off on x only: the anchor follows 4 pixels an update on that axis.
  app->m_mouseX = 500;
  app->m_mouseY = 210;
  for (int i = 1; i <= 5; ++i) {
    app->p_AnalogueControl();
    EXPECT_EQ(app->m_stickAnchorX, 300 + 4 * i);
    EXPECT_EQ(app->m_stickAnchorY, 200);
  }
  EXPECT_FLOAT_EQ(app->m_stickX, 1.0f) << "saturated";
  app->m_mouseDown = 0;
  app->p_AnalogueControl();
  EXPECT_EQ(app->m_stickAnchorX, -1);
  EXPECT_EQ(app->m_steerMode, 1);

  // Left alone deflects by 0.15 an update; with right held too they cancel.
  input->p_KeyEvent(1, 37);
  app->p_AnalogueControl();
  EXPECT_FLOAT_EQ(app->m_keyStickX, -0.15f);
  input->p_KeyEvent(1, 39);
  for (int i = 0; i < 5; ++i) {
    app->p_AnalogueControl();
    EXPECT_FLOAT_EQ(app->m_keyStickX, -0.15f);
  }
  // Released, it coasts to rest.
  input->p_KeyEvent(2, 37);
  input->p_KeyEvent(2, 39);
  app->p_AnalogueControl();
  EXPECT_FLOAT_EQ(app->m_keyStickX, 0.0f);
}

TEST_F(PlayEffects, TheGameOverVeilDarkensToItsFullAlphaAt28AndTheBarsStopAt045H) {
  app->m_gameOver = 1;
  app->m_gameMode = 10;
  struct Case {
    int t;
    float veil;
    float bar;
  };
  for (Case c : {Case{1, 0.025f, 24}, Case{18, 0.45f, 432}, Case{27, 0.675f, 432}, Case{28, 0.7f, 432},
                 Case{60, 0.7f, 432}}) {
    SCOPED_TRACE(c.t);
    app->m_drawCount = 0;
    app->m_gameOverTime = c.t;
    app->p_GameOver();
    std::vector<Rec> recs = Records();
    ASSERT_GE(recs.size(), 3u);
    EXPECT_EQ(recs[0].v[0], -3717.0f) << "the veil is a rectangle over the whole screen";
    EXPECT_FLOAT_EQ(recs[0].v[4], 642.0f);
    EXPECT_FLOAT_EQ(recs[0].v[7], c.veil);
    EXPECT_FLOAT_EQ(recs[1].v[4], c.bar) << "the yellow bar is 2b wide, b = 12t up to 0.45H";
    EXPECT_EQ(app->m_gameOverTime, c.t + 1);
  }
}

}  // namespace
