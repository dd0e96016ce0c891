// Envelope and buffer helpers of the synthesis toolkit (see dsp.h).
#include "dsp.h"

#include <algorithm>

namespace sfx {

namespace {

constexpr int kSinTable = 4096;

struct SinTable {
  float v[kSinTable + 1];
  SinTable() {
    for (int i = 0; i <= kSinTable; ++i) v[i] = (float)std::sin(kTwoPi * i / kSinTable);
  }
};

}  // namespace

float FastSin(double cycles) {
  static const SinTable table;
  double x = (cycles - std::floor(cycles)) * kSinTable;
  int i = (int)x;
  if (i >= kSinTable) i = kSinTable - 1;
  float f = (float)(x - i);
  return table.v[i] + f * (table.v[i + 1] - table.v[i]);
}

float Adsr(float t, float hold, float a, float d, float s, float r) {
  if (t < 0) return 0;
  auto held = [&](float u) {
    if (u < a) return u / a;
    u -= a;
    if (u < d) return 1.0f - (1.0f - s) * (u / d);
    return s;
  };
  if (t < hold) return held(t);
  float level = held(hold);
  float u = t - hold;
  if (u >= r) return 0;
  return level * (1.0f - u / r);
}

void FadeEdges(Buffer& b, double inSeconds, double outSeconds) {
  int n = (int)b.size();
  int fi = std::min(n, Samples(inSeconds));
  int fo = std::min(n, Samples(outSeconds));
  for (int i = 0; i < fi; ++i) b[i] *= (float)i / (float)fi;
  for (int i = 0; i < fo; ++i) b[n - 1 - i] *= (float)i / (float)fo;
}

float Peak(const Buffer& b) {
  float p = 0;
  for (float v : b) p = std::max(p, std::fabs(v));
  return p;
}

float Rms(const Buffer& b) {
  if (b.empty()) return 0;
  double s = 0;
  for (float v : b) s += (double)v * v;
  return (float)std::sqrt(s / (double)b.size());
}

void Normalise(Buffer& b, float peak, float maxRms) {
  if (b.empty()) return;
  double mean = 0;
  for (float v : b) mean += v;
  mean /= (double)b.size();
  for (float& v : b) v -= (float)mean;
  float p = Peak(b);
  if (p <= 0) return;
  float g = peak / p;
  float r = Rms(b) * g;
  if (maxRms > 0 && r > maxRms) g *= maxRms / r;
  for (float& v : b) v *= g;
}

}  // namespace sfx
