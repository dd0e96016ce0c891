// The shared generator and the math helpers: the exact sequence from the start
// seed, one step per draw, the draws at the extremes of the fraction.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "framework/random.h"

namespace {

// An independent model of a step: 64-bit arithmetic modulo 2^32, the fraction
// by a double division. By hand: 1234 * 1664525 + 1013904223 = 3067928073.
TEST(Random, SequenceFollowsTheModelFromTheStartSeed) {
  uint64_t state = vx_random_Seed = 1234;
  for (int i = 0; i < 100000; ++i) {
    state = (state * 1664525ull + 1013904223ull) % 4294967296ull;
    ASSERT_EQ(vx_random_Rnd(), (float)((double)(state >> 8) / 16777216.0)) << "draw " << i;
    ASSERT_EQ((uint32_t)vx_random_Seed, (uint32_t)state) << "draw " << i;
  }
}

// Fractions from the start seed: 0.714, 0.207, 0.750, 0.346, 0.803, 0.297.
TEST(Random, EveryDrawTakesOneStep) {
  vx_random_Seed = 1234;
  EXPECT_FLOAT_EQ(vx_random_Rnd2(10, 20), 17.143077f);
  EXPECT_FLOAT_EQ(vx_random_Rnd3(100), 100 * (3473103.0f / 16777216.0f));
  EXPECT_EQ((uint32_t)vx_random_Seed, 889114580u);
  vx_random_Seed = 1234;
  // floor(u * 4.99): 0.803 * 4.99 is just over 4.
  for (int want : {3, 1, 3, 1, 4, 1}) EXPECT_EQ(vx_random_RandInt(0, 4), want);
  EXPECT_EQ((uint32_t)vx_random_Seed, 1275680328u);
}

// The seed whose next step draws the fraction n / 2^24 (the multiplier's
// inverse modulo 2^32 undoes the step).
uint32_t SeedBefore(uint32_t n) { return ((n << 8) - 1013904223u) * 4276115653u; }

// floor(low + u x (high + 0.99 - low)) reaches both bounds at the extreme
// fractions, 0 and 1 - 2^-24, and stays exact where single precision would round
// up: only u = 0 gives 1 for reversed bounds, and the boundaries of (0, 3) fall
// where the formula puts them.
TEST(Random, RandIntReachesBothBoundsAndIsExactNearWholeNumbers) {
  const uint32_t kMax = (1u << 24) - 1;
  const struct {
    uint32_t n;
    float low, high;
    int want;
  } cases[] = {{0, 0, 4, 0}, {kMax, 0, 4, 4}, {kMax, 1, 1, 1},    {kMax, 1, 0, 0},   {0, 1, 0, 1},
               {1, 1, 0, 0}, {50, 1, 0, 0},   {4204816, 0, 3, 0}, {4204817, 0, 3, 1}};
  for (const auto& c : cases) {
    vx_random_Seed = (int)SeedBefore(c.n);
    EXPECT_EQ(vx_random_RandInt(c.low, c.high), c.want)
        << c.n << " of 2^24, " << c.low << ".." << c.high;
  }
}

TEST(MathHelpers, AbsAndMax) {
  EXPECT_EQ(vx_math_Abs(-7) + vx_math_Abs(7), 14);
  EXPECT_EQ(vx_math_Abs2(-2.5f), 2.5f);
  EXPECT_TRUE(std::signbit(vx_math_Abs2(-0.0f))) << "negative zero is not below zero";
  EXPECT_EQ(vx_math_Max(3, 9) + vx_math_Max(9, 3), 18);
  EXPECT_EQ(vx_math_Max2(1.5f, 2.5f) + vx_math_Max2(2.5f, 1.5f), 5.0f);
  // a <= b picks b: of 0 and -0 the second one wins.
  EXPECT_TRUE(std::signbit(vx_math_Max2(0.0f, -0.0f)));
  EXPECT_FALSE(std::signbit(vx_math_Max2(-0.0f, 0.0f)));
}

}  // namespace
