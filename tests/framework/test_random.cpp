// The shared generator and the math helpers: the exact sequence from the start
// seed, the draws' ranges at the extremes of the fraction, and re-seeding.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "framework/random.h"

namespace {

// An independent model of one step: 64-bit arithmetic reduced modulo 2^32, and
// the fraction from a double division.
struct Reference {
  uint64_t state;
  double Next() {
    state = (state * 1664525ull + 1013904223ull) % 4294967296ull;
    return (double)(state >> 8) / 16777216.0;
  }
};

class RandomTest : public ::testing::Test {
 protected:
  void SetUp() override { vx_random_Seed = 1234; }
};

// Worked by hand: 1234 * 1664525 + 1013904223 = 3067928073; >> 8 = 11984094.
TEST_F(RandomTest, FirstStepFromStartSeedMatchesWorkedValue) {
  const float u = vx_random_Rnd();
  EXPECT_EQ((uint32_t)vx_random_Seed, 3067928073u);
  EXPECT_EQ(u, 11984094.0f / 16777216.0f);
  EXPECT_NEAR(u, 0.7143077, 5e-8);
}

// The next states: 889114580, 3219257635, 1486326822, 3450746189, 1275680328.
TEST_F(RandomTest, FirstSixStatesFromStartSeed) {
  const uint32_t states[] = {3067928073u, 889114580u, 3219257635u,
                             1486326822u, 3450746189u, 1275680328u};
  for (uint32_t s : states) {
    const float u = vx_random_Rnd();
    EXPECT_EQ((uint32_t)vx_random_Seed, s);
    EXPECT_EQ(u, (float)(s >> 8) / 16777216.0f);
  }
}

// floor(u * 4.99) for the six fractions 0.714, 0.207, 0.750, 0.346, 0.803, 0.297.
TEST_F(RandomTest, RandIntZeroToFourFromStartSeed) {
  const int expected[] = {3, 1, 3, 1, 4, 1};
  for (int e : expected) EXPECT_EQ(vx_random_RandInt(0, 4), e);
}

TEST_F(RandomTest, ScaledDrawsUseOneStepEach) {
  EXPECT_FLOAT_EQ(vx_random_Rnd2(10, 20), 17.143077f);
  EXPECT_EQ((uint32_t)vx_random_Seed, 3067928073u);
  EXPECT_FLOAT_EQ(vx_random_Rnd3(100), 100 * (3473103.0f / 16777216.0f));
  EXPECT_EQ((uint32_t)vx_random_Seed, 889114580u);
  EXPECT_EQ(vx_random_RandInt(0, 4), 3);
  EXPECT_EQ((uint32_t)vx_random_Seed, 3219257635u);
}

TEST_F(RandomTest, LongSequenceFollowsTheReferenceModel) {
  Reference ref{1234};
  for (int i = 0; i < 100000; ++i) {
    const double u = ref.Next();
    ASSERT_EQ(vx_random_Rnd(), (float)u) << "draw " << i;
    ASSERT_EQ((uint32_t)vx_random_Seed, (uint32_t)ref.state) << "draw " << i;
  }
}

TEST_F(RandomTest, ReseedingRepeatsEveryFunction) {
  for (int seed : {0, 1234, -5, 2147483647}) {
    float a[4];
    int r[2];
    vx_random_Seed = seed;
    a[0] = vx_random_Rnd();
    a[1] = vx_random_Rnd2(-3, 7);
    a[2] = vx_random_Rnd3(50);
    r[0] = vx_random_RandInt(1, 6);
    r[1] = vx_random_RandInt(0, 100);
    a[3] = vx_random_Rnd();
    vx_random_Seed = seed;
    EXPECT_EQ(vx_random_Rnd(), a[0]);
    EXPECT_EQ(vx_random_Rnd2(-3, 7), a[1]);
    EXPECT_EQ(vx_random_Rnd3(50), a[2]);
    EXPECT_EQ(vx_random_RandInt(1, 6), r[0]);
    EXPECT_EQ(vx_random_RandInt(0, 100), r[1]);
    EXPECT_EQ(vx_random_Rnd(), a[3]);
  }
}

// 634785765 * 1664525 + 1013904223 is 0 modulo 2^32 (the fraction is exactly 0);
// 653637408 steps to 4294967295 (the largest fraction, 1 - 2^-24).
constexpr int kSeedToZero = 634785765;
constexpr int kSeedToMax = 653637408;

TEST_F(RandomTest, FractionExtremesStayInRange) {
  vx_random_Seed = kSeedToZero;
  EXPECT_EQ(vx_random_Rnd(), 0.0f);
  vx_random_Seed = kSeedToMax;
  const float top = vx_random_Rnd();
  EXPECT_LT(top, 1.0f);
  EXPECT_EQ(top, 16777215.0f / 16777216.0f);
}

TEST_F(RandomTest, RandIntTopValueReachedButNeverExceeded) {
  vx_random_Seed = kSeedToMax;
  EXPECT_EQ(vx_random_RandInt(0, 4), 4);
  vx_random_Seed = kSeedToZero;
  EXPECT_EQ(vx_random_RandInt(0, 4), 0);
  vx_random_Seed = kSeedToMax;
  EXPECT_EQ(vx_random_RandInt(1, 1), 1);
}

// Reversed bounds give the high value except when the fraction is exactly 0.
TEST_F(RandomTest, RandIntReversedBoundsGiveLowOnlyAtZeroFraction) {
  vx_random_Seed = kSeedToZero;
  EXPECT_EQ(vx_random_RandInt(1, 0), 1);
  vx_random_Seed = kSeedToMax;
  EXPECT_EQ(vx_random_RandInt(1, 0), 0);
  vx_random_Seed = 1234;
  for (int i = 0; i < 1000; ++i) EXPECT_EQ(vx_random_RandInt(1, 0), 0);
}

TEST_F(RandomTest, RandIntCoversRangeWithTopValueSlightlyRarer) {
  int counts[5] = {};
  const int n = 500000;
  for (int i = 0; i < n; ++i) {
    const int v = vx_random_RandInt(0, 4);
    ASSERT_GE(v, 0);
    ASSERT_LE(v, 4);
    counts[v]++;
  }
  // Each of 0..3 has 1/4.99 of the draws, 4 has 0.99/4.99.
  for (int v = 0; v < 4; ++v) EXPECT_NEAR(counts[v] / (double)n, 1 / 4.99, 0.005) << v;
  EXPECT_NEAR(counts[4] / (double)n, 0.99 / 4.99, 0.005);
  EXPECT_LT(counts[4], counts[0]);
}

TEST_F(RandomTest, RandIntZeroOrOneYieldsBoth) {
  int seen[2] = {};
  for (int i = 0; i < 1000; ++i) {
    const int v = vx_random_RandInt(0, 1);
    ASSERT_TRUE(v == 0 || v == 1) << v;
    seen[v]++;
  }
  EXPECT_GT(seen[0], 400);
  EXPECT_GT(seen[1], 400);
}

TEST(MathHelpers, AbsOfIntsAndFloats) {
  EXPECT_EQ(vx_math_Abs(-7), 7);
  EXPECT_EQ(vx_math_Abs(7), 7);
  EXPECT_EQ(vx_math_Abs(0), 0);
  EXPECT_EQ(vx_math_Abs2(-2.5f), 2.5f);
  EXPECT_EQ(vx_math_Abs2(2.5f), 2.5f);
  // Negative zero is not below zero, so it comes back as it is.
  EXPECT_TRUE(std::signbit(vx_math_Abs2(-0.0f)));
}

TEST(MathHelpers, MaxPicksLargerAndFirstOnTies) {
  EXPECT_EQ(vx_math_Max(3, 9), 9);
  EXPECT_EQ(vx_math_Max(9, 3), 9);
  EXPECT_EQ(vx_math_Max(-4, -4), -4);
  EXPECT_EQ(vx_math_Max2(1.5f, 2.5f), 2.5f);
  EXPECT_EQ(vx_math_Max2(2.5f, 1.5f), 2.5f);
  // a <= b picks b: of 0 and -0 the second one wins.
  EXPECT_TRUE(std::signbit(vx_math_Max2(0.0f, -0.0f)));
  EXPECT_FALSE(std::signbit(vx_math_Max2(-0.0f, 0.0f)));
}

}  // namespace
