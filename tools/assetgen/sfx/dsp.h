// Small synthesis toolkit shared by the effects, instruments and music tracks:
// a seeded noise source, band-limited oscillators, envelopes, filters and the
// buffer helpers (fades, normalising) every generated sound goes through.
// Everything is plain float maths with fixed seeds, so output is repeatable.
// Left out: anything fancy (no oversampling, no real reverb): cheap beats lush here.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace sfx {

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2.0 * kPi;

using Buffer = std::vector<float>;

// Deterministic generator (xorshift32); every sound seeds its own.
class Rng {
 public:
  explicit Rng(uint32_t seed) : m_state(seed ? seed : 0x9E3779B9u) {}
  uint32_t Next() {
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
  }
  float Uniform() { return (float)((Next() >> 8) * (1.0 / 16777216.0)); }  // 0..1
  float Bipolar() { return Uniform() * 2.0f - 1.0f; }                      // -1..1
  int Range(int lo, int hi) { return lo + (int)(Next() % (uint32_t)(hi - lo + 1)); }

 private:
  uint32_t m_state;
};

// Frequency of a MIDI-style note number (69 = 440 Hz).
inline double NoteHz(double note) { return 440.0 * std::pow(2.0, (note - 69.0) / 12.0); }

// Sine of a phase given in cycles, from a table (much cheaper than std::sin per sample).
float FastSin(double cycles);

// Smooth saturation, close to tanh for |x| < 3 and bounded by 1.
inline float SoftClip(float x) {
  if (x > 3.0f) return 1.0f;
  if (x < -3.0f) return -1.0f;
  float x2 = x * x;
  return x * (27.0f + x2) / (27.0f + 9.0f * x2);
}

// exp(-t / seconds) advanced one sample per Next(): a decay without a call to exp.
struct Decay {
  float value = 1.0f, factor;
  explicit Decay(double seconds) : factor((float)std::exp(-1.0 / (seconds * 44100.0))) {}
  float Next() {
    float v = value;
    value *= factor;
    return v;
  }
};

// PolyBLEP step correction: removes most aliasing from naive saw and pulse waves.
inline float PolyBlep(double t, double dt) {
  if (t < dt) {
    t /= dt;
    return (float)(t + t - t * t - 1.0);
  }
  if (t > 1.0 - dt) {
    t = (t - 1.0) / dt;
    return (float)(t * t + t + t + 1.0);
  }
  return 0.0f;
}

// Oscillator with a phase in cycles (0..1); the caller advances it by hz / rate.
struct Osc {
  double phase = 0.0;
  float Sine(double inc) { return (float)std::sin(kTwoPi * Step(inc)); }
  float Saw(double inc) {
    double t = Step(inc);
    return (float)(2.0 * t - 1.0) - PolyBlep(t, inc);
  }
  float Pulse(double inc, double width) {
    double t = Step(inc);
    float v = t < width ? 1.0f : -1.0f;
    v += PolyBlep(t, inc);
    double t2 = t + (1.0 - width);
    if (t2 >= 1.0) t2 -= 1.0;
    v -= PolyBlep(t2, inc);
    return v;
  }
  float Triangle(double inc) {
    double t = Step(inc);
    return (float)(t < 0.5 ? 4.0 * t - 1.0 : 3.0 - 4.0 * t);
  }
  // Returns the phase before advancing, so the first sample starts at phase 0.
  double Step(double inc) {
    double t = phase;
    phase += inc;
    if (phase >= 1.0) phase -= std::floor(phase);
    return t;
  }
};

// Chamberlin state-variable filter; cutoff in Hz, resonance damping 0.1 (sharp) .. 2 (none).
struct Svf {
  float low = 0, band = 0, high = 0;
  static float Coef(float hz) {
    return 2.0f * (float)std::sin(kPi * std::fmin(hz, kRate * 0.16) / kRate);
  }
  void Run(float in, float hz, float damp) { RunCoef(in, Coef(hz), damp); }
  void RunCoef(float in, float f, float damp) {
    low += f * band;
    high = in - low - damp * band;
    band += f * high;
  }
};

// One-pole smoother / low-pass.
struct OnePole {
  float y = 0;
  float Low(float in, float hz) {
    float a = 1.0f - (float)std::exp(-kTwoPi * hz / kRate);
    y += a * (in - y);
    return y;
  }
};

// Attack-decay-sustain-release level for a note held `hold` seconds, at time t.
float Adsr(float t, float hold, float a, float d, float s, float r);

// Exponential decay with a short linear attack, the shape of most percussive hits.
inline float Perc(float t, float attack, float decay) {
  if (t < 0) return 0;
  if (t < attack) return t / attack;
  return (float)std::exp(-(t - attack) / decay);
}

inline int Samples(double seconds) { return (int)(seconds * kRate + 0.5); }

// Linear fades at both ends so no sound starts or stops with a click.
void FadeEdges(Buffer& b, double inSeconds, double outSeconds);
// Removes any DC offset, then scales so the peak is `peak` and, for sounds that would
// otherwise be too dense, the RMS does not pass `maxRms` (keeps effects equally loud).
void Normalise(Buffer& b, float peak, float maxRms);
float Peak(const Buffer& b);
float Rms(const Buffer& b);

}  // namespace sfx
