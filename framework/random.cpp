// The shared generator (a 32-bit linear congruential step, top 24 bits as the
// fraction) and the math helpers.
//
// Left out: thread safety; everything runs on the main thread.
#include "framework/random.h"

#include <cmath>
#include <cstdint>

int vx_random_Seed = 1234;

namespace {

// One step; the fraction of the top 24 bits is exact in a float.
float Step() {
  const uint32_t s = (uint32_t)vx_random_Seed * 1664525u + 1013904223u;
  vx_random_Seed = (int)s;
  return (float)(s >> 8) * (1.0f / 16777216.0f);
}

}  // namespace

float vx_random_Rnd() { return Step(); }

float vx_random_Rnd2(float low, float high) { return Step() * (high - low) + low; }

float vx_random_Rnd3(float range) { return Step() * range; }

int vx_random_RandInt(float low, float high) {
  // In double precision: in single precision the sum rounds up near whole
  // numbers, so p_Rand(1, 0) gave 1 for the fifty smallest u, not only for 0.
  const double u = Step();
  const double width = (double)high + (double)0.99f - (double)low;
  return (int)std::floor((double)low + u * width);
}

int vx_math_Abs(int x) { return x >= 0 ? x : -x; }

float vx_math_Abs2(float x) { return x < 0 ? -x : x; }

int vx_math_Max(int a, int b) { return a >= b ? a : b; }

float vx_math_Max2(float a, float b) { return a <= b ? b : a; }
