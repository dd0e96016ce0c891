// The game's sound effects, each a short synthesised sound written as sfx/NNN.wav
// (44.1 kHz, mono, 16-bit). Every effect ends in the same finishing step (DC removed,
// peak at -1 dBFS, density capped, soft edges), so they sit at one loudness.
// Left out: effects the game never loads.
#include <cstdio>

#include "generators.h"
#include "writers.h"

namespace sfx {

namespace {

constexpr float kPeak = 0.89f;   // -1 dBFS
constexpr float kMaxRms = 0.2f;  // keeps dense noisy effects from sounding louder

void Finish(Buffer& b) {
  Normalise(b, kPeak, kMaxRms);
  FadeEdges(b, 0.002, 0.012);
}

// Exponential glide from a to b over `time` seconds, held at b afterwards.
double Glide(double a, double b, double t, double time) {
  if (t >= time) return b;
  return a * std::pow(b / a, t / time);
}

// A two-operator FM tone: bright at the strike, mellowing as the index decays.
float FmBell(double t, double hz, double ratio, double index, double decay) {
  double idx = index * std::exp(-t / (decay * 0.35));
  double mod = std::sin(kTwoPi * hz * ratio * t) * idx;
  return (float)(std::sin(kTwoPi * hz * t + mod) * std::exp(-t / decay));
}

// Adds a struck tone starting at `start` seconds.
void AddBell(Buffer& b, double start, double hz, double ratio, double index, double decay,
             float gain) {
  int s0 = Samples(start);
  int len = Samples(decay * 6.0);
  for (int i = 0; i < len && s0 + i < (int)b.size(); ++i) {
    double t = (double)i / kRate;
    float a = t < 0.002 ? (float)(t / 0.002) : 1.0f;
    b[s0 + i] += gain * a * FmBell(t, hz, ratio, index, decay);
  }
}

Buffer Blip(double seconds, double hz0, double hz1, double glide, double decay, bool triangle) {
  Buffer b(Samples(seconds));
  Osc o;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double hz = Glide(hz0, hz1, t, glide);
    float v = triangle ? o.Triangle(hz / kRate) : o.Sine(hz / kRate);
    b[i] = v * Perc((float)t, 0.002f, (float)decay);
  }
  return b;
}

// A blob bursting: a low wet thump, a falling splash of filtered noise and a few
// bubbles popping out of it.
Buffer Burst(uint32_t seed, double pitch, double length) {
  Rng rng(seed);
  Buffer b(Samples(length));
  Osc thump;
  Svf splash;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double hz = Glide(190.0 * pitch, 45.0 * pitch, t, 0.16);
    float low = thump.Sine(hz / kRate) * Perc((float)t, 0.002f, 0.07f);
    float cut = (float)Glide(3800.0 * pitch, 350.0, t, length * 0.6);
    splash.Run(rng.Bipolar(), cut, 0.7f);
    float wet = splash.band * Perc((float)t, 0.001f, (float)(length * 0.22));
    b[i] = 0.9f * low + 0.8f * wet;
  }
  int bubbles = 4 + rng.Range(0, 2);
  for (int k = 0; k < bubbles; ++k) {
    double start = 0.01 + rng.Uniform() * length * 0.45;
    double hz0 = (380.0 + rng.Uniform() * 500.0) * pitch;
    double len = 0.025 + rng.Uniform() * 0.03;
    float g = 0.25f + 0.25f * rng.Uniform();
    Osc o;
    int s0 = Samples(start);
    for (int i = 0; i < Samples(len) && s0 + i < (int)b.size(); ++i) {
      double t = (double)i / kRate;
      double hz = hz0 * (1.0 + 2.2 * t / len);  // a bubble's pitch rises as it pops
      float env = (float)std::sin(kPi * t / len);
      b[s0 + i] += g * env * env * o.Sine(hz / kRate);
    }
  }
  Finish(b);
  return b;
}

// A shot striking a blob: a pulse chirp falling fast with a tick of noise on top.
Buffer Hit(uint32_t seed, double hz, double width) {
  Rng rng(seed);
  Buffer b(Samples(0.13));
  Osc o;
  OnePole hp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double f = Glide(hz, hz * 0.32, t, 0.09);
    float tone = o.Pulse(f / kRate, width) * Perc((float)t, 0.001f, 0.035f);
    float n = rng.Bipolar();
    float click = (n - hp.Low(n, 2500.0f)) * Perc((float)t, 0.0005f, 0.006f);
    b[i] = 0.6f * tone + 0.7f * click;
  }
  Finish(b);
  return b;
}

// Danger alarm: a short falling two-step warble, repeated by the game a few times a second.
Buffer Alarm() {
  Buffer b(Samples(0.24));
  Osc o, o2;
  Svf lp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double f = t < 0.11 ? 988.0 : 740.0;
    float v = 0.7f * o.Pulse(f / kRate, 0.5) + 0.3f * o2.Sine(2.0 * f / kRate);
    lp.Run(v, 3500.0f, 1.0f);
    b[i] = lp.low * Adsr((float)t, 0.2f, 0.004f, 0.05f, 0.8f, 0.035f);
  }
  Finish(b);
  return b;
}

// The whoosh of a new game and of a level's lead-out: a band of noise sweeping up and back.
Buffer Whoosh() {
  Rng rng(1010);
  const double len = 1.3;
  Buffer b(Samples(len));
  Svf bp, bp2;
  Osc body;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double x = t / len;
    double shape = std::sin(kPi * std::pow(x, 0.7));
    float cut = (float)(250.0 + 4200.0 * shape * shape);
    float n = rng.Bipolar();
    bp.Run(n, cut, 0.5f);
    bp2.Run(n, cut * 1.5f, 0.9f);
    float env = (float)(shape * shape);
    float hum = body.Sine((70.0 + 160.0 * shape) / kRate) * 0.25f;
    b[i] = env * (0.9f * bp.band + 0.4f * bp2.band + hum);
  }
  Finish(b);
  return b;
}

// Level-clear bonus: a bright rising arpeggio of bells with a sparkle on top.
Buffer LevelClear() {
  Buffer b(Samples(1.6));
  const double notes[] = {72, 76, 79, 84, 88, 91};
  for (int k = 0; k < 6; ++k)
    AddBell(b, 0.075 * k, NoteHz(notes[k]), 2.0, 1.6, 0.32 + 0.06 * k, 0.5f);
  AddBell(b, 0.5, NoteHz(96), 3.0, 1.0, 0.25, 0.18f);
  Finish(b);
  return b;
}

// Game over: four falling notes, the last one long and sagging.
Buffer GameOver() {
  const double len = 2.3;
  Buffer b(Samples(len));
  const double notes[] = {67, 66, 65, 64};
  const double starts[] = {0.0, 0.33, 0.66, 1.0};
  Osc o, o2;
  Svf lp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    int k = 3;
    while (k > 0 && t < starts[k]) --k;
    double u = t - starts[k];
    double hz = NoteHz(notes[k] - 12);
    float env;
    if (k < 3) {
      env = Adsr((float)u, 0.24f, 0.01f, 0.1f, 0.7f, 0.06f);
    } else {
      hz *= std::pow(2.0, (-2.0 * std::fmax(0.0, u - 0.4)) / 12.0) *
            (1.0 + 0.012 * std::sin(kTwoPi * 5.5 * u));
      env = Adsr((float)u, 1.0f, 0.01f, 0.2f, 0.75f, 0.28f);
    }
    float v = 0.6f * o.Pulse(hz / kRate, 0.35) + 0.4f * o2.Saw(hz * 1.003 / kRate);
    lp.Run(v, (float)(900.0 + 1800.0 * env), 0.8f);
    b[i] = lp.low * env;
  }
  Finish(b);
  return b;
}

// Orb collected: a quick glittering climb.
Buffer OrbCollected() {
  Rng rng(1313);
  Buffer b(Samples(1.0));
  const double notes[] = {79, 83, 86, 91, 95, 98, 103};
  for (int k = 0; k < 7; ++k)
    AddBell(b, 0.04 * k, NoteHz(notes[k]), 1.0 + 0.5 * (k % 2), 1.2, 0.18, 0.45f);
  OnePole lp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float n = rng.Bipolar();
    float hi = n - lp.Low(n, 6000.0f);
    float sparkle = (rng.Uniform() < 0.02f ? 1.0f : 0.15f) * hi;
    b[i] += 0.25f * sparkle * Perc((float)t, 0.05f, 0.25f);
  }
  Finish(b);
  return b;
}

// Power exhausted: a saw winding down with its filter closing.
Buffer PowerDown() {
  const double len = 0.75;
  Buffer b(Samples(len));
  Osc o, o2;
  Svf lp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double hz = Glide(880.0, 90.0, t, len);
    float v = 0.6f * o.Saw(hz / kRate) + 0.4f * o2.Pulse(hz * 0.5 / kRate, 0.5);
    lp.Run(v, (float)Glide(5000.0, 300.0, t, len), 0.5f);
    b[i] = lp.low * Adsr((float)t, (float)(len - 0.12), 0.005f, 0.1f, 0.85f, 0.12f);
  }
  Finish(b);
  return b;
}

// The studio jingle: a four-note bell motif over a soft chord.
Buffer Jingle() {
  const double len = 2.6;
  Buffer b(Samples(len));
  const double notes[] = {74, 81, 78, 86};
  const double starts[] = {0.0, 0.16, 0.32, 0.56};
  for (int k = 0; k < 4; ++k)
    AddBell(b, starts[k], NoteHz(notes[k]), 2.0, 2.2, k == 3 ? 0.6 : 0.35, 0.5f);
  const double chord[] = {50, 57, 62, 66};
  Osc o[4];
  Svf lp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float v = 0;
    for (int k = 0; k < 4; ++k) v += o[k].Saw(NoteHz(chord[k]) * (1.0 + 0.002 * k) / kRate);
    lp.Run(v * 0.25f, 1400.0f, 1.2f);
    b[i] += 0.4f * lp.low * Adsr((float)(t - 0.5), 1.3f, 0.35f, 0.3f, 0.8f, 0.7f);
  }
  Finish(b);
  return b;
}

// Confirm / pause: two quick rising notes.
Buffer Confirm() {
  Buffer b(Samples(0.2));
  Osc o;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double hz = t < 0.07 ? NoteHz(76) : NoteHz(83);
    double u = t < 0.07 ? t : t - 0.07;
    float env = Perc((float)u, 0.002f, t < 0.07 ? 0.05f : 0.06f);
    b[i] = env * (0.7f * o.Triangle(hz / kRate) + 0.3f * (float)std::sin(kTwoPi * 2.0 * hz * t));
  }
  Finish(b);
  return b;
}

Buffer Make(int number) {
  switch (number) {
    case 1: {
      Buffer b = Blip(0.16, 1320, 1180, 0.05, 0.04, false);
      Finish(b);
      return b;
    }
    case 2:
      return Burst(202, 1.0, 0.42);
    case 3:
      return Burst(303, 0.8, 0.5);
    case 4:
      return Hit(404, 900, 0.3);
    case 5:
      return Hit(505, 1050, 0.25);
    case 6:
      return Hit(606, 780, 0.4);
    case 7:
      return Alarm();
    case 10:
      return Whoosh();
    case 11:
      return LevelClear();
    case 12:
      return GameOver();
    case 13:
      return OrbCollected();
    case 14:
      return PowerDown();
    case 95: {
      Buffer b = Blip(0.14, 660, 620, 0.05, 0.035, true);
      Finish(b);
      return b;
    }
    case 96:
      return Jingle();
    case 98:
      return Confirm();
    case 99: {
      Buffer b = Blip(0.08, 1760, 1320, 0.02, 0.014, false);
      Finish(b);
      return b;
    }
    default:
      return Buffer();
  }
}

}  // namespace

const std::vector<int>& EffectNumbers() {
  static const std::vector<int> numbers = {1, 2, 3, 4, 5, 6, 7, 10, 11, 12, 13, 14, 95, 96, 98, 99};
  return numbers;
}

Buffer MakeEffect(int number) { return Make(number); }

bool WriteEffects(const std::string& dataDir) {
  if (!MakeDirs(dataDir + "/sfx")) return false;
  for (int n : EffectNumbers()) {
    char name[32];
    std::snprintf(name, sizeof name, "/sfx/%03d.wav", n);
    if (!WriteWav16(dataDir + name, Make(n), 1, kRate)) return false;
  }
  return true;
}

}  // namespace sfx
