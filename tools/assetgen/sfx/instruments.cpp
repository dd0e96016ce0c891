// Instrument samples of the procedural music player, written under inst/:
// four drum kits of eight one-shot hits (d<kit>-<k>.wav) and the pitched voices
// lead1-3, accompany1-3 and bass1-4.
//
// Every kit keeps one slot order, so a tune's drum notes mean the same in each:
// 1 kick, 2 snare, 3 closed hat, 4 open hat, 5 clap, 6 low tom, 7 high tom,
// 8 cymbal or bell. Kits differ in character: 1 punchy, 2 deep electronic,
// 3 eight-bit, 4 hand percussion.
//
// The player loops pitched samples and shapes them with its own volume envelope,
// so each one is a steady tone holding a whole number of cycles of every partial,
// vibrato and chorus beat: the loop point is seamless. All of them sound at the
// unshifted pitch of note 13: lead 524 Hz, accompaniment 262 Hz, bass 65.5 Hz
// (near C5, C4 and C2, in exact octaves of one another).
// Left out: multi-sampling; the player only ever transposes by its rate.
#include <cstdio>
#include <functional>

#include "generators.h"
#include "writers.h"

namespace sfx {

namespace {

constexpr float kDrumPeak = 0.89f;
constexpr float kTonePeak = 0.8f;

void FinishDrum(Buffer& b) {
  Normalise(b, kDrumPeak, 0.3f);
  FadeEdges(b, 0.0008, 0.02);
}

double Glide(double a, double b, double t, double time) {
  if (t >= time) return b;
  return a * std::pow(b / a, t / time);
}

// Eight-bit style noise: a held random value renewed at `hz` (1-bit when `oneBit`).
struct SteppedNoise {
  Rng rng;
  double acc = 1.0;
  float value = 0;
  explicit SteppedNoise(uint32_t seed) : rng(seed) {}
  float Next(double hz, bool oneBit) {
    acc += hz / kRate;
    if (acc >= 1.0) {
      acc -= std::floor(acc);
      value = oneBit ? (rng.Next() & 1 ? 1.0f : -1.0f) : rng.Bipolar();
    }
    return value;
  }
};

// Six detuned square waves: the metallic body of hats and cymbals.
struct Metal {
  Osc osc[6];
  float Next(double base) {
    static const double ratios[6] = {2.0, 3.0, 4.16, 5.43, 6.79, 8.21};
    float v = 0;
    for (int k = 0; k < 6; ++k) v += osc[k].Pulse(base * ratios[k] / kRate, 0.5);
    return v / 6.0f;
  }
};

Buffer Kick(int kit) {
  const double len[] = {0.0, 0.4, 0.7, 0.3, 0.35};
  Buffer b(Samples(len[kit]));
  Osc o;
  Rng rng(7000 + kit);
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float v = 0;
    switch (kit) {
      case 1:
        v = o.Sine(Glide(160, 52, t, 0.08) / kRate) * Perc((float)t, 0.001f, 0.16f);
        v += 0.3f * rng.Bipolar() * Perc((float)t, 0.0005f, 0.004f);
        break;
      case 2:
        v = o.Sine(Glide(120, 44, t, 0.12) / kRate) * Perc((float)t, 0.001f, 0.32f);
        v = std::tanh(1.8f * v);
        break;
      case 3:
        v = o.Pulse(Glide(220, 45, t, 0.1) / kRate, 0.5) * Perc((float)t, 0.001f, 0.09f);
        break;
      default:
        v = o.Sine(Glide(110, 60, t, 0.05) / kRate) * Perc((float)t, 0.003f, 0.12f);
        break;
    }
    b[i] = v;
  }
  FinishDrum(b);
  return b;
}

Buffer Snare(int kit) {
  const double len[] = {0.0, 0.28, 0.35, 0.2, 0.12};
  Buffer b(Samples(len[kit]));
  Osc o;
  Rng rng(7100 + kit);
  SteppedNoise chip(7150 + kit);
  Svf bp;
  OnePole lp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float v = 0;
    switch (kit) {
      case 1: {
        float n = rng.Bipolar();
        float hi = n - lp.Low(n, 1200.0f);
        v = 0.5f * o.Sine(Glide(240, 180, t, 0.03) / kRate) * Perc((float)t, 0.001f, 0.04f) +
            0.8f * hi * Perc((float)t, 0.001f, 0.08f);
        break;
      }
      case 2: {
        float n = rng.Bipolar();
        bp.Run(n, 3200.0f, 0.9f);
        v = 0.6f * o.Triangle(Glide(300, 190, t, 0.05) / kRate) * Perc((float)t, 0.001f, 0.06f) +
            0.9f * bp.band * Perc((float)t, 0.002f, 0.12f);
        break;
      }
      case 3:
        v = chip.Next(Glide(9000, 3000, t, 0.15), true) * Perc((float)t, 0.001f, 0.06f) +
            0.4f * o.Pulse(Glide(400, 200, t, 0.04) / kRate, 0.5) * Perc((float)t, 0.001f, 0.03f);
        break;
      default: {  // a rim click
        float n = rng.Bipolar();
        bp.Run(n, 1800.0f, 0.3f);
        v = 0.8f * o.Sine(1700.0 / kRate) * Perc((float)t, 0.0005f, 0.012f) +
            0.4f * bp.band * Perc((float)t, 0.0005f, 0.02f);
        break;
      }
    }
    b[i] = v;
  }
  FinishDrum(b);
  return b;
}

Buffer Hat(int kit, bool open) {
  double len = open ? 0.45 : 0.08;
  if (kit == 4 && !open) len = 0.12;
  Buffer b(Samples(len));
  Rng rng(7200 + kit + (open ? 50 : 0));
  SteppedNoise chip(7250 + kit);
  Metal metal;
  Svf hp;
  float decay = open ? 0.14f : 0.022f;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float src;
    switch (kit) {
      case 1:
        src = 0.6f * metal.Next(320.0) + 0.5f * rng.Bipolar();
        break;
      case 2:
        src = rng.Bipolar();
        break;
      case 3:
        src = chip.Next(18000.0, true);
        break;
      default:
        src = rng.Bipolar();
        break;
    }
    hp.Run(src, kit == 4 ? 5500.0f : 7000.0f, 0.8f);
    float env;
    if (kit == 4)  // a shaker: the grains swell in before they die away
      env = Perc((float)t, open ? 0.05f : 0.02f, decay * 1.4f);
    else env = Perc((float)t, 0.0008f, decay);
    b[i] = (kit == 4 ? hp.band : hp.high) * env;
  }
  FinishDrum(b);
  return b;
}

Buffer Clap(int kit) {
  Buffer b(Samples(0.3));
  Rng rng(7300 + kit);
  SteppedNoise chip(7350 + kit);
  Svf bp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float n = kit == 3 ? chip.Next(6000.0, true) : rng.Bipolar();
    bp.Run(n, kit == 4 ? 2400.0f : 1300.0f, 0.6f);
    // Three quick slaps, then the room.
    float env = 0;
    for (int k = 0; k < 3; ++k) env = std::fmax(env, Perc((float)(t - 0.011 * k), 0.0008f, 0.007f));
    env = std::fmax(env, 0.7f * Perc((float)(t - 0.033), 0.001f, kit == 2 ? 0.09f : 0.06f));
    b[i] = bp.band * env;
  }
  FinishDrum(b);
  return b;
}

Buffer Tom(int kit, bool high) {
  double base = high ? 1.5 : 1.0;
  const double hz[] = {0, 110, 90, 150, 190};
  Buffer b(Samples(kit == 2 ? 0.5 : 0.35));
  Osc o;
  Rng rng(7400 + kit + (high ? 9 : 0));
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double f0 = hz[kit] * base;
    float v;
    switch (kit) {
      case 3:
        v = o.Pulse(Glide(f0 * 2, f0, t, 0.12) / kRate, 0.5) * Perc((float)t, 0.001f, 0.1f);
        break;
      case 4:  // a conga: a slap on top of a quickly settling tone
        v = o.Sine(Glide(f0 * 1.4, f0, t, 0.015) / kRate) * Perc((float)t, 0.001f, 0.11f) +
            0.3f * rng.Bipolar() * Perc((float)t, 0.0005f, 0.005f);
        break;
      default:
        v = o.Sine(Glide(f0 * 1.6, f0, t, 0.1) / kRate) *
                Perc((float)t, 0.001f, kit == 2 ? 0.2f : 0.13f) +
            0.1f * rng.Bipolar() * Perc((float)t, 0.0005f, 0.01f);
        break;
    }
    b[i] = v;
  }
  FinishDrum(b);
  return b;
}

Buffer Cymbal(int kit) {
  if (kit == 2 || kit == 4) {
    // Kit 2 a cowbell, kit 4 claves: pitched percussion.
    Buffer b(Samples(kit == 2 ? 0.35 : 0.15));
    Osc a, c;
    Svf bp;
    for (size_t i = 0; i < b.size(); ++i) {
      double t = (double)i / kRate;
      float v;
      if (kit == 2) {
        v = 0.5f * a.Pulse(540.0 / kRate, 0.5) + 0.5f * c.Pulse(800.0 / kRate, 0.5);
        bp.Run(v, 900.0f, 0.6f);
        v = bp.band * Perc((float)t, 0.001f, 0.08f);
      } else {
        v = a.Sine(2500.0 / kRate) * Perc((float)t, 0.0005f, 0.025f);
      }
      b[i] = v;
    }
    FinishDrum(b);
    return b;
  }
  Buffer b(Samples(1.4));
  Rng rng(7500 + kit);
  SteppedNoise chip(7550 + kit);
  Metal metal;
  Svf hp;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float src =
        kit == 3 ? chip.Next(12000.0, false) : 0.5f * metal.Next(410.0) + 0.7f * rng.Bipolar();
    hp.Run(src, 5000.0f, 0.7f);
    b[i] = (hp.high + 0.3f * hp.band) * Perc((float)t, 0.002f, kit == 3 ? 0.25f : 0.4f);
  }
  FinishDrum(b);
  return b;
}

Buffer DrumSound(int kit, int slot) {
  switch (slot) {
    case 1:
      return Kick(kit);
    case 2:
      return Snare(kit);
    case 3:
      return Hat(kit, false);
    case 4:
      return Hat(kit, true);
    case 5:
      return Clap(kit);
    case 6:
      return Tom(kit, false);
    case 7:
      return Tom(kit, true);
    default:
      return Cymbal(kit);
  }
}

// A loopable tone: `seconds` long (whole seconds), fundamental `hz`, a spectrum of
// partial amplitudes, optional vibrato (whole Hz) and a second voice `chorusHz` above.
struct ToneSpec {
  double hz;
  int seconds;
  std::vector<float> partials;             // amplitude of harmonic 1, 2, ...
  double vibratoHz = 0, vibratoDepth = 0;  // depth as a fraction of the frequency
  double tremoloHz = 0, tremoloDepth = 0;
  double chorusHz = 0;  // second voice detuned by this many Hz (a whole number per loop)
  float chorusMix = 0.5f;
};

Buffer Tone(const ToneSpec& s) {
  const int n = kRate * s.seconds;
  Buffer b(n);
  for (int i = 0; i < n; ++i) {
    double t = (double)i / kRate;
    // Phase in cycles; the vibrato term returns to 0 after every whole LFO cycle,
    // so the loop holds a whole number of cycles.
    double vib = 0;
    if (s.vibratoHz > 0)
      vib = s.vibratoDepth * s.hz / (kTwoPi * s.vibratoHz) *
            (1.0 - std::cos(kTwoPi * s.vibratoHz * t));
    double ph1 = s.hz * t + vib;
    double ph2 = (s.hz + s.chorusHz) * t + vib;
    double v = 0;
    for (size_t h = 0; h < s.partials.size(); ++h) {
      double k = kTwoPi * (double)(h + 1);
      double one = std::sin(k * ph1);
      if (s.chorusHz != 0) one = (1.0 - s.chorusMix) * one + s.chorusMix * std::sin(k * ph2);
      v += s.partials[h] * one;
    }
    if (s.tremoloHz > 0)
      v *= 1.0 - s.tremoloDepth * 0.5 * (1.0 - std::cos(kTwoPi * s.tremoloHz * t));
    b[i] = (float)v;
  }
  float p = Peak(b);
  if (p > 0)
    for (float& v : b) v *= kTonePeak / p;
  return b;
}

std::vector<float> Spectrum(int count, const std::function<float(int)>& amp) {
  std::vector<float> a(count);
  for (int h = 1; h <= count; ++h) a[h - 1] = amp(h);
  return a;
}

ToneSpec Pitched(const std::string& name) {
  ToneSpec s;
  s.seconds = 1;
  if (name == "lead1") {  // bright chorused saw
    s.hz = 524;
    s.partials = Spectrum(12, [](int h) { return 1.0f / h; });
    s.chorusHz = 2;
  } else if (name == "lead2") {  // hollow square with vibrato
    s.hz = 524;
    s.partials = Spectrum(13, [](int h) { return h % 2 ? 1.0f / h : 0.0f; });
    s.vibratoHz = 5;
    s.vibratoDepth = 0.006;
  } else if (name == "lead3") {  // soft, breathy whistle
    s.hz = 524;
    s.partials = {1.0f, 0.3f, 0.12f, 0.05f};
    s.vibratoHz = 6;
    s.vibratoDepth = 0.004;
    s.tremoloHz = 6;
    s.tremoloDepth = 0.12;
  } else if (name == "accompany1") {  // drawbar organ
    s.hz = 262;
    s.partials = {1.0f, 0.7f, 0.45f, 0.35f, 0.0f, 0.22f, 0.0f, 0.16f};
    s.tremoloHz = 6;
    s.tremoloDepth = 0.15;
  } else if (name == "accompany2") {  // string ensemble
    s.hz = 262;
    s.partials = Spectrum(22, [](int h) { return (float)(1.0 / std::pow(h, 1.3)); });
    s.chorusHz = 1;
    s.vibratoHz = 5;
    s.vibratoDepth = 0.003;
  } else if (name == "accompany3") {  // glassy chime pad
    s.hz = 262;
    s.partials = {1.0f, 0.5f, 0.1f, 0.35f, 0.0f, 0.0f, 0.0f, 0.12f};
    s.chorusHz = 1;
    s.chorusMix = 0.4f;
  } else if (name == "bass1") {  // round sub bass
    s.hz = 65.5;
    s.seconds = 2;
    s.partials = {1.0f, 0.45f, 0.18f, 0.06f};
  } else if (name == "bass2") {  // warm filtered saw
    s.hz = 65.5;
    s.seconds = 2;
    s.partials =
        Spectrum(40, [](int h) { return (float)(1.0 / h / (1.0 + std::pow(h / 7.0, 2.0))); });
  } else if (name == "bass3") {  // reedy square
    s.hz = 65.5;
    s.seconds = 2;
    s.partials = Spectrum(41, [](int h) {
      return h % 2 ? (float)(1.0 / h / (1.0 + std::pow(h / 11.0, 2.0))) : 0.02f;
    });
  } else {  // bass4: growling, slowly beating pair
    s.hz = 65.5;
    s.seconds = 2;
    s.partials = Spectrum(24, [](int h) { return (float)(std::pow(0.72, h - 1)); });
    s.chorusHz = 0.5;
    s.chorusMix = 0.5f;
  }
  return s;
}

}  // namespace

Buffer DrumHit(int kit, int slot) { return DrumSound(kit, slot); }

bool WriteInstruments(const std::string& dataDir) {
  if (!MakeDirs(dataDir + "/inst")) return false;
  for (int kit = 1; kit <= 4; ++kit) {
    for (int slot = 1; slot <= 8; ++slot) {
      char name[40];
      std::snprintf(name, sizeof name, "/inst/d%d-%d.wav", kit, slot);
      if (!WriteWav16(dataDir + name, DrumSound(kit, slot), 1, kRate)) return false;
    }
  }
  const char* pitched[] = {"lead1",      "lead2", "lead3", "accompany1", "accompany2",
                           "accompany3", "bass1", "bass2", "bass3",      "bass4"};
  for (const char* p : pitched) {
    if (!WriteWav16(dataDir + "/inst/" + p + ".wav", Tone(Pitched(p)), 1, kRate)) return false;
  }
  return true;
}

}  // namespace sfx
