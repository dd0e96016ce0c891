// The starfield, the particle pool and the glow (game/stars_particles.cpp).
#include <cmath>

#include "tests/support/myapp.h"

namespace {

using StarsParticles = MyAppTest;

TEST_F(StarsParticles, StarsStreamFromTheCentreAtTheWarpOfThePhaseAndSwirlWithTheTurn) {
  const float* s = app->m_stars.Data();
  struct Case {
    int phase;
    float warp;
  };
  for (Case k : {Case{0, 0.3f}, Case{90, 4.8f}, Case{-10, 0.8f}, Case{-200, 7.0f}}) {
    SCOPED_TRACE(k.phase);
    app->p_ResetStars(100);
    app->m_phase = k.phase;
    app->m_drawCount = 0;
    app->p_DoStars(0, 2.5f);
    EXPECT_EQ(app->m_drawCount, 101 * kDrawRecordFloats) << "stars 0 to 100";
    for (int i = 0; i <= 100; ++i) {
      const float* star = s + i * kRecordFloats;
      EXPECT_NEAR(std::hypot(star[kStarX] - 320.0f, star[kStarY] - 240.0f),
                  k.warp * star[kStarSpeed], 1e-3)
          << "star " << i;
    }
  }
  const float before = s[kStarDirection];
  app->p_DoStars(0, 2.5f);
  EXPECT_NEAR(s[kStarDirection], before + 2.5f, 1e-3);
}

TEST_F(StarsParticles, ThePoolFillsFromTheTopAndAChunkGlowsInItsColourUntilItsLifeRunsOut) {
  auto Particle = [this](int i) { return &app->m_particles[i * kRecordFloats]; };
  for (int i = 0; i <= 250; ++i) Particle(i)[kParticleKind] = 1;
  Particle(3)[kParticleKind] = Particle(7)[kParticleKind] = 0;
  app->p_ThrowParticle(100, 100, 4, 3, 90, 5);
  EXPECT_EQ(Particle(7)[kParticleKind] + Particle(3)[kParticleKind], 4.0f)
      << "the highest free record is taken";
  EXPECT_FLOAT_EQ(Particle(7)[kParticleVX], 5.0f) << "speed 5 at 90 degrees moves right";
  EXPECT_EQ(Particle(7)[kParticleRot] + Particle(7)[kParticleSpin], 90.0f)
      << "a chunk flies nose first and does not tumble";

  for (int i = 0; i <= 250; ++i) Particle(i)[kParticleKind] = i == 7 ? 4.0f : 0.0f;
  Particle(7)[kParticleLife] = 0.03f;
  app->m_drawCount = 0;
  app->p_DoParticles();
  const std::vector<DrawRecord> recs = Records();
  ASSERT_EQ(recs.size(), 2u);
  EXPECT_EQ(std::vector<float>({recs[0].kind, recs[0].frame, recs[0].w, recs[0].blend}),
            std::vector<float>({1, 11, 0.75f, 1}))
      << "the glow sprite, colour 3 + 8";
  EXPECT_EQ(
      std::vector<float>({recs[1].kind, recs[1].frame, recs[1].w, recs[1].alpha, recs[1].blend}),
      std::vector<float>({11, 11, 0.75f * 1.75f, recs[0].alpha * 0.5f, 3}))
      << "its additive halo";
  app->p_DoParticles();
  EXPECT_EQ(Particle(7)[kParticleKind], 0.0f)
      << "a chunk loses 0.02 of life an update: 0.03 lasts two";

  // The glow puts back the size and alpha it found, and leaves alpha blending on.
  app->p_Blend(3);
  app->p_SetSize(2, 3);
  app->p_Alpha(0.8f);
  app->p_DrawGlow(1, 50, 50, 56);
  EXPECT_EQ(std::vector<float>(
                {app->m_drawSizeX, app->m_drawSizeY, app->m_drawAlpha, (float)app->m_drawBlend}),
            std::vector<float>({2, 3, 0.8f, 1}));
}

}  // namespace
