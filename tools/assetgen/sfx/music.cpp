// The five music tracks, sfx/<name>.ogg: small songs made by a sequencer and a handful
// of synthesiser voices of our own (lead, bass, chord pad, arpeggio, drums from the
// instrument kits), each with its own key, tempo, groove and sounds.
//
// Songs loop: every note, echo and reverb tail that runs past the end is mixed back in
// at the start (the whole song is rendered into a circular buffer and the effects run
// over it twice), so the last sample leads straight into the first.
// Form: sections of eight bars cycling intro (rhythm and chords), theme, second theme
// and breakdown, with a drum fill closing every section.
// Left out: anything a listener would not miss in a 60-70 s arcade loop (automation,
// key changes, real reverbs).
#include <algorithm>
#include <atomic>
#include <thread>

#include "generators.h"
#include "writers.h"

namespace sfx {

namespace {

enum class LeadSound { Saw, Square, Whistle, Keys };
enum class BassSound { Saw, Sub, Square };
enum class PadSound { Strings, Organ };
enum class ArpSound { Pluck, Chip, Bell, None };

struct Song {
  const char* name;
  uint32_t seed;
  double bpm;
  int bars;
  int key;                       // MIDI note of the tonic
  std::vector<int> scale;        // semitones of the seven degrees
  std::vector<int> progression;  // chord degree per bar, cycled
  LeadSound lead;
  BassSound bass;
  PadSound pad;
  ArpSound arp;
  int kit;     // drum kit 1-4
  int groove;  // drum pattern
  int bassStyle;
  double swing;  // delay of every second sixteenth, in sixteenths
  float leadGain, padGain, arpGain, bassGain, drumGain;
};

std::vector<Song> Songs() {
  const std::vector<int> minor = {0, 2, 3, 5, 7, 8, 10};
  const std::vector<int> major = {0, 2, 4, 5, 7, 9, 11};
  const std::vector<int> dorian = {0, 2, 3, 5, 7, 9, 10};
  const std::vector<int> mixo = {0, 2, 4, 5, 7, 9, 10};
  return {
      // Driving: A minor, four on the floor, saw lead over pumping eighths.
      {"Advocator",
       101,
       128,
       36,
       57,
       minor,
       {0, 5, 2, 6},
       LeadSound::Saw,
       BassSound::Saw,
       PadSound::Strings,
       ArpSound::Pluck,
       2,
       0,
       0,
       0.0,
       0.55f,
       0.28f,
       0.22f,
       0.7f,
       0.9f},
      // Cool and jerky: D dorian breakbeat, square lead, organ stabs.
      {"Diagram",
       202,
       100,
       28,
       62,
       dorian,
       {0, 3, 0, 6},
       LeadSound::Square,
       BassSound::Sub,
       PadSound::Organ,
       ArpSound::Bell,
       1,
       1,
       1,
       0.25,
       0.45f,
       0.22f,
       0.2f,
       0.8f,
       0.9f},
      // Fast and nervous eight-bit: E minor, chip arpeggios.
      {"Eccentricity",
       303,
       140,
       40,
       64,
       minor,
       {0, 6, 5, 6},
       LeadSound::Square,
       BassSound::Square,
       PadSound::Strings,
       ArpSound::Chip,
       3,
       2,
       2,
       0.0,
       0.42f,
       0.15f,
       0.24f,
       0.6f,
       0.85f},
      // Mellow: F major, slow, hand percussion, whistled melody over strings.
      {"Feelings",
       404,
       84,
       24,
       65,
       major,
       {0, 5, 3, 4},
       LeadSound::Whistle,
       BassSound::Sub,
       PadSound::Strings,
       ArpSound::Pluck,
       4,
       3,
       3,
       0.15,
       0.5f,
       0.34f,
       0.26f,
       0.75f,
       0.75f},
      // Bright and bouncy: C mixolydian, keyboard lead, walking bass.
      {"Keyboard",
       505,
       116,
       32,
       60,
       mixo,
       {0, 6, 3, 0},
       LeadSound::Keys,
       BassSound::Saw,
       PadSound::Organ,
       ArpSound::Bell,
       1,
       4,
       4,
       0.1,
       0.55f,
       0.2f,
       0.18f,
       0.7f,
       0.9f},
  };
}

int Semis(const std::vector<int>& scale, int degree) {
  int oct = degree >= 0 ? degree / 7 : -((-degree + 6) / 7);
  return scale[degree - oct * 7] + 12 * oct;
}

bool IsChordTone(int degree, int chord) {
  int rel = ((degree - chord) % 7 + 7) % 7;
  return rel == 0 || rel == 2 || rel == 4;
}

int NearestChordTone(int degree, int chord) {
  for (int d = 0; d < 4; ++d) {
    if (IsChordTone(degree - d, chord)) return degree - d;
    if (IsChordTone(degree + d, chord)) return degree + d;
  }
  return degree;
}

// The circular stereo mix with its two effect sends.
struct Mix {
  int n;
  Buffer left, right, echo, room;
  explicit Mix(int frames) : n(frames), left(frames), right(frames), echo(frames), room(frames) {}
  void Add(const Buffer& src, int start, float gain, float pan, float echoSend, float roomSend) {
    float gl = gain * std::sqrt(0.5f * (1.0f - pan)), gr = gain * std::sqrt(0.5f * (1.0f + pan));
    int pos = ((start % n) + n) % n;
    for (size_t i = 0; i < src.size(); ++i) {
      float v = src[i];
      left[pos] += gl * v;
      right[pos] += gr * v;
      echo[pos] += echoSend * gain * v;
      room[pos] += roomSend * gain * v;
      if (++pos == n) pos = 0;
    }
  }
};

// --- Voices: each renders one note (held `hold` seconds) into a mono buffer. ---

Buffer RenderLead(LeadSound s, double hz, double hold) {
  const double release = s == LeadSound::Keys ? 0.5 : 0.15;
  Buffer b(Samples(hold + release));
  Osc a, c;
  Svf lp;
  Decay sweep(0.2), keysIndex(0.25), keysBody(0.4);
  const float squareCoef = Svf::Coef(4200.0f);
  float coef = 0;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    double vib = 1.0 + (t > 0.22 ? 0.005 * FastSin(5.5 * t) : 0.0);
    double f = hz * vib;
    float v = 0, env = 0;
    switch (s) {
      case LeadSound::Saw: {
        env = Adsr((float)t, (float)hold, 0.008f, 0.18f, 0.7f, (float)release);
        v = 0.5f * a.Saw(f / kRate) + 0.5f * c.Saw(f * 1.005 / kRate);
        float sw = sweep.Next();
        if (i % 32 == 0) coef = Svf::Coef(900.0f + 4200.0f * sw);
        lp.RunCoef(v, coef, 0.6f);
        v = lp.low;
        break;
      }
      case LeadSound::Square: {
        env = Adsr((float)t, (float)hold, 0.004f, 0.1f, 0.65f, (float)release);
        v = a.Pulse(f / kRate, 0.25 + 0.08 * FastSin(0.9 * t));
        lp.RunCoef(v, squareCoef, 1.0f);
        v = lp.low * 0.8f;
        break;
      }
      case LeadSound::Whistle: {
        env = Adsr((float)t, (float)hold, 0.05f, 0.2f, 0.8f, (float)release * 2);
        v = a.Sine(f / kRate) + 0.15f * c.Triangle(2.0 * f / kRate);
        break;
      }
      case LeadSound::Keys: {
        env = Adsr((float)t, (float)hold, 0.002f, 1.2f, 0.25f, (float)release);
        double idx = 1.8 / kTwoPi * keysIndex.Next();
        double ph = a.Step(f / kRate);
        v = FastSin(ph + idx * FastSin(ph)) + 0.25f * FastSin(2.0 * ph) * keysBody.Next();
        break;
      }
    }
    b[i] = v * env;
  }
  return b;
}

Buffer RenderBass(BassSound s, double hz, double hold) {
  const double release = 0.06;
  Buffer b(Samples(hold + release));
  Osc a, sub;
  Svf lp;
  Decay sweep(s == BassSound::Saw ? 0.07 : 0.05);
  float coef = 0;
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float v = 0;
    float sw = sweep.Next();
    switch (s) {
      case BassSound::Saw: {
        v = 0.7f * a.Saw(hz / kRate) + 0.5f * sub.Pulse(hz * 0.5 / kRate, 0.5);
        if (i % 32 == 0) coef = Svf::Coef(180.0f + 1600.0f * sw);
        lp.RunCoef(v, coef, 0.45f);
        v = lp.low;
        break;
      }
      case BassSound::Sub: {
        double ph = a.Step(hz / kRate);
        v = SoftClip(1.5f * (FastSin(ph) + 0.3f * FastSin(2.0 * ph)));
        break;
      }
      case BassSound::Square:
        v = a.Pulse(hz / kRate, 0.5);
        if (i % 32 == 0) coef = Svf::Coef(500.0f + 1500.0f * sw);
        lp.RunCoef(v, coef, 0.9f);
        v = lp.low;
        break;
    }
    b[i] = v * Adsr((float)t, (float)hold, 0.003f, 0.25f, 0.65f, (float)release);
  }
  return b;
}

Buffer RenderPad(PadSound s, double hz, double hold) {
  const double attack = s == PadSound::Strings ? 0.25 : 0.01;
  const double release = s == PadSound::Strings ? 0.5 : 0.08;
  Buffer b(Samples(hold + release));
  Osc o[3];
  Svf lp;
  const float coef = Svf::Coef(1700.0f);
  for (size_t i = 0; i < b.size(); ++i) {
    double t = (double)i / kRate;
    float v;
    if (s == PadSound::Strings) {
      v = o[0].Saw(hz * 0.996 / kRate) + o[1].Saw(hz / kRate) + o[2].Saw(hz * 1.004 / kRate);
      lp.RunCoef(v / 3.0f, coef, 1.1f);
      v = lp.low;
    } else {
      double ph = o[0].Step(hz / kRate);
      v = (FastSin(ph) + 0.6f * FastSin(2 * ph) + 0.35f * FastSin(3 * ph) +
           0.2f * FastSin(4 * ph)) *
          0.5f;
    }
    b[i] = v * Adsr((float)t, (float)hold, (float)attack, 0.3f, 0.85f, (float)release);
  }
  return b;
}

Buffer RenderArp(ArpSound s, double hz, double hold, Rng& rng) {
  Buffer b(Samples(hold + (s == ArpSound::Chip ? 0.02 : 0.6)));
  switch (s) {
    case ArpSound::Pluck: {
      // A plucked string: a burst of noise circulating in a damped delay line.
      int period = std::max(2, (int)std::lround(kRate / hz));
      Buffer line(period);
      for (float& v : line) v = rng.Bipolar();
      int p = 0;
      float prev = 0;
      for (size_t i = 0; i < b.size(); ++i) {
        float cur = line[p];
        float out = 0.5f * (cur + prev) * 0.996f;
        prev = cur;
        line[p] = out;
        if (++p == period) p = 0;
        b[i] = out;
      }
      OnePole lp;
      for (float& v : b) v = lp.Low(v, 3500.0f);
      break;
    }
    case ArpSound::Chip: {
      Osc o;
      for (size_t i = 0; i < b.size(); ++i) {
        double t = (double)i / kRate;
        b[i] = o.Pulse(hz / kRate, 0.125) *
               Adsr((float)t, (float)hold, 0.002f, 0.08f, 0.5f, 0.02f) * 0.6f;
      }
      break;
    }
    case ArpSound::Bell: {
      Osc o;
      Decay index(0.15), body(0.35);
      for (size_t i = 0; i < b.size(); ++i) {
        double ph = o.Step(hz / kRate);
        double idx = 1.2 / kTwoPi * index.Next();
        b[i] = FastSin(ph + idx * FastSin(3.0 * ph)) * body.Next();
      }
      break;
    }
    case ArpSound::None:
      break;
  }
  FadeEdges(b, 0.001, 0.01);
  return b;
}

// --- Patterns ---

// Drum patterns per groove: sixteen steps per bar, one string per kit slot (1-8);
// 'X' accent, 'x' normal, 'o' soft.
struct Groove {
  const char* lanes[8];
};

const Groove& GrooveOf(int g) {
  static const Groove grooves[5] = {
      // 0: four on the floor
      {{"X...X...X...X...", "................", "xoxoxoxoxoxoxoxo", "..x...x...x...x.",
        "....X.......X...", "", "", ""}},
      // 1: breakbeat
      {{"X.........X..x..", "....X.......X..o", "x.x.x.x.x.x.x.xo", "..............x.", "", "", "",
        ""}},
      // 2: fast eight-bit
      {{"X.......X.x.....", "....X.......X...", "x.x.x.x.x.x.x.x.", "", "", "", "", ""}},
      // 3: hand percussion
      {{"X.......x.......", "....x.......x...", "oxoxoxoxoxoxoxox", "", "", "..x.....o.x.....",
        ".....x.......x.o", "x.....x.....x..."}},
      // 4: pop rock
      {{"X.....x.x.......", "....X.......X...", "x.x.x.x.x.x.x...", "..............x.", "", "", "",
        ""}},
  };
  return grooves[g];
}

float Accent(char c) { return c == 'X' ? 1.0f : c == 'x' ? 0.75f : c == 'o' ? 0.45f : 0.0f; }

struct Note {
  int step;    // sixteenth from the start of the phrase
  int length;  // in sixteenths
  int degree;  // scale degree, or -100 for a rest
};

using Phrase = std::vector<Note>;  // two bars

const std::vector<std::vector<int>>& PhraseRhythms() {
  static const std::vector<std::vector<int>> r = {
      {4, 4, 2, 2, 4, 8, 8}, {6, 2, 4, 4, 4, 4, 8},    {2, 2, 2, 2, 4, 4, 4, 4, 8},
      {8, 4, 4, 6, 2, 8},    {4, 2, 2, 4, 4, 4, 4, 8}, {3, 3, 2, 4, 4, 4, 4, 8}};
  return r;
}

// A two-bar phrase over chords (c0, c1); `shape` reuses another phrase's rhythm and contour.
Phrase MakePhrase(Rng& rng, int c0, int c1, const Phrase* shape, bool close) {
  Phrase ph;
  if (shape) {
    ph = *shape;
  } else {
    const auto& rs = PhraseRhythms();
    const auto& r = rs[rng.Range(0, (int)rs.size() - 1)];
    int step = 0, degree = rng.Range(2, 6);
    for (size_t k = 0; k < r.size(); ++k) {
      int move = rng.Range(-2, 2);
      if (rng.Uniform() < 0.2f) move = rng.Range(-4, 4);
      degree = std::max(-2, std::min(9, degree + move));
      bool rest = k > 0 && k + 1 < r.size() && r[k] <= 2 && rng.Uniform() < 0.25f;
      ph.push_back({step, r[k], rest ? -100 : degree});
      step += r[k];
    }
  }
  for (size_t k = 0; k < ph.size(); ++k) {
    Note& n = ph[k];
    if (n.degree == -100) continue;
    int chord = n.step < 16 ? c0 : c1;
    if (shape && k + 2 >= ph.size()) n.degree += rng.Range(-2, 2);  // a new ending
    if (n.step % 4 == 0 || n.length >= 6) n.degree = NearestChordTone(n.degree, chord);
    if (close && k + 1 == ph.size())
      n.degree = NearestChordTone(std::max(0, std::min(7, n.degree)), chord);
    n.degree = std::max(-3, std::min(10, n.degree));
  }
  return ph;
}

struct Arrangement {
  std::vector<Phrase> themeA, themeB;  // four phrases each (eight bars)
};

Arrangement Compose(const Song& s, Rng& rng) {
  auto chord = [&](int bar) { return s.progression[bar % s.progression.size()]; };
  Arrangement a;
  Phrase p = MakePhrase(rng, chord(0), chord(1), nullptr, false);
  Phrase q = MakePhrase(rng, chord(4), chord(5), nullptr, false);
  a.themeA = {p, MakePhrase(rng, chord(2), chord(3), &p, false), q,
              MakePhrase(rng, chord(6), chord(7), &p, true)};
  Phrase r = MakePhrase(rng, chord(0), chord(1), nullptr, false);
  Phrase u = MakePhrase(rng, chord(4), chord(5), nullptr, false);
  a.themeB = {r, MakePhrase(rng, chord(2), chord(3), &r, false), u,
              MakePhrase(rng, chord(6), chord(7), &p, true)};
  return a;
}

// --- Effects over the circular buffers ---

void Echo(const Song& s, Mix& m) {
  int delay = Samples(3.0 * 15.0 / s.bpm);  // a dotted eighth
  Buffer l(delay, 0.0f), r(delay, 0.0f);
  int p = 0;
  for (int pass = 0; pass < 2; ++pass) {
    for (int i = 0; i < m.n; ++i) {
      // Ping-pong: the left tap feeds the right and back.
      float outL = l[p], outR = r[p];
      l[p] = m.echo[i] + 0.45f * outR;
      r[p] = 0.45f * outL;
      if (++p == delay) p = 0;
      if (pass == 1) {
        m.left[i] += 0.5f * outL;
        m.right[i] += 0.5f * outR;
      }
    }
  }
}

void Room(Mix& m) {
  static const int combs[4] = {1116, 1188, 1277, 1356};
  static const int allpasses[2] = {556, 441};
  for (int side = 0; side < 2; ++side) {
    Buffer comb[4], ap[2];
    int cp[4] = {0, 0, 0, 0}, apos[2] = {0, 0};
    float damp[4] = {0, 0, 0, 0};
    int spread = side * 23;
    for (int k = 0; k < 4; ++k) comb[k].assign(combs[k] + spread, 0.0f);
    for (int k = 0; k < 2; ++k) ap[k].assign(allpasses[k] + spread, 0.0f);
    Buffer& out = side ? m.right : m.left;
    for (int pass = 0; pass < 2; ++pass) {
      for (int i = 0; i < m.n; ++i) {
        float in = m.room[i] * 0.25f, acc = 0;
        for (int k = 0; k < 4; ++k) {
          float y = comb[k][cp[k]];
          damp[k] = y * 0.6f + damp[k] * 0.4f;
          comb[k][cp[k]] = in + damp[k] * 0.8f;
          if (++cp[k] == (int)comb[k].size()) cp[k] = 0;
          acc += y;
        }
        for (int k = 0; k < 2; ++k) {
          float b = ap[k][apos[k]];
          ap[k][apos[k]] = acc + b * 0.5f;
          acc = b - acc * 0.5f;
          if (++apos[k] == (int)ap[k].size()) apos[k] = 0;
        }
        if (pass == 1) out[i] += 0.35f * acc;
      }
    }
  }
}

// --- The song ---

std::vector<float> RenderSong(const Song& s) {
  Rng rng(s.seed);
  const double sixteenth = 15.0 / s.bpm;
  const int frames = Samples(s.bars * 16 * sixteenth);
  Mix mix(frames);
  const Arrangement arr = Compose(s, rng);
  auto at = [&](int bar, double step) {
    double swing = ((int)step % 2 == 1) ? s.swing : 0.0;
    return Samples((bar * 16 + step + swing) * sixteenth);
  };

  Buffer kit[9];
  for (int k = 1; k <= 8; ++k) kit[k] = DrumHit(s.kit, k);
  const float drumPan[9] = {0, 0, 0.05f, 0.3f, 0.3f, -0.1f, -0.35f, 0.35f, -0.25f};

  for (int bar = 0; bar < s.bars; ++bar) {
    const int section = (bar / 8) % 4;  // 0 intro, 1 theme, 2 second theme, 3 breakdown
    const int inSection = bar % 8;
    const bool lastOfSection = inSection == 7 || bar == s.bars - 1;
    const int chord = s.progression[bar % s.progression.size()];
    const int root = s.key + Semis(s.scale, chord);

    // Drums.
    const Groove& g = GrooveOf(s.groove);
    for (int lane = 0; lane < 8; ++lane) {
      const char* pat = g.lanes[lane];
      if (!pat[0]) continue;
      if (section == 3 && lane == 0 && s.groove != 3 && inSection < 6)
        continue;  // breakdown: no kick
      for (int step = 0; step < 16; ++step) {
        if (lastOfSection && step >= 12 && lane != 2) continue;  // room for the fill
        float acc = Accent(pat[step]);
        if (acc > 0)
          mix.Add(kit[lane + 1], at(bar, step), s.drumGain * acc * (lane == 2 ? 0.45f : 0.8f),
                  drumPan[lane + 1], 0.0f, 0.15f);
      }
    }
    if (lastOfSection) {
      static const int fill[4] = {7, 7, 6, 6};
      for (int k = 0; k < 4; ++k)
        mix.Add(kit[fill[k]], at(bar, 12 + k), s.drumGain * (0.6f + 0.1f * k), k < 2 ? -0.3f : 0.3f,
                0.0f, 0.2f);
    }
    if (inSection == 0)
      mix.Add(kit[s.kit == 2 || s.kit == 4 ? 4 : 8], at(bar, 0), s.drumGain * 0.5f, 0.2f, 0.0f,
              0.3f);

    // Bass.
    const int bassRoot = root - 24 + (root - s.key > 6 ? -12 : 0);
    const int fifth = Semis(s.scale, chord + 4) - Semis(s.scale, chord);
    const int third = Semis(s.scale, chord + 2) - Semis(s.scale, chord);
    auto bass = [&](double step, double len, int semis, float vel) {
      mix.Add(RenderBass(s.bass, NoteHz(bassRoot + semis), len * sixteenth * 0.9), at(bar, step),
              s.bassGain * vel, 0.0f, 0.0f, 0.03f);
    };
    switch (s.bassStyle) {
      case 0:
        for (int k = 0; k < 8; ++k) bass(2 * k, 2, k % 4 == 3 ? 12 : 0, k % 2 ? 0.8f : 1.0f);
        break;
      case 1: {
        static const int steps[6] = {0, 3, 6, 8, 11, 14};
        static const int lens[6] = {3, 3, 2, 3, 3, 2};
        const int semis[6] = {0, 0, 12, 0, fifth, 12};
        for (int k = 0; k < 6; ++k) bass(steps[k], lens[k], semis[k], k == 0 ? 1.0f : 0.8f);
        break;
      }
      case 2:
        for (int k = 0; k < 16; ++k) bass(k, 1, k % 2 ? 12 : 0, k % 4 ? 0.7f : 1.0f);
        break;
      case 3:
        bass(0, 7, 0, 1.0f);
        bass(8, 6, fifth, 0.85f);
        bass(14, 2, 12, 0.6f);
        break;
      default: {  // walking: root, third, fifth, then a step toward the next chord
        int next = s.key + Semis(s.scale, s.progression[(bar + 1) % s.progression.size()]);
        int approach = (next - root) > 0 ? -1 : 1;
        int nextRel = ((next - root) % 12 + 12) % 12;
        bass(0, 4, 0, 1.0f);
        bass(4, 4, third, 0.8f);
        bass(8, 4, fifth, 0.85f);
        bass(12, 4, nextRel + approach, 0.8f);
        break;
      }
    }

    // Chord pad: a triad held through the bar (organ: two stabs).
    const int tones[3] = {0, third, fifth};
    const int padRoot = root - (root - s.key > 6 ? 12 : 0);  // voiced around the key note
    for (int k = 0; k < 3; ++k) {
      double hz = NoteHz(padRoot + tones[k]);
      float pan = -0.5f + 0.5f * k;
      if (s.pad == PadSound::Strings) {
        mix.Add(RenderPad(s.pad, hz, 16 * sixteenth * 0.98), at(bar, 0), s.padGain, pan, 0.0f,
                0.35f);
      } else {
        for (int stab : {0, 6, 10})
          mix.Add(RenderPad(s.pad, hz, 2 * sixteenth), at(bar, stab),
                  s.padGain * (stab ? 0.7f : 0.9f), pan, 0.1f, 0.2f);
      }
    }

    // Arpeggio over the chord: chip sixteenths an octave up, pluck and bell eighths around the key.
    if (s.arp != ArpSound::None && !(section == 1 && s.arp != ArpSound::Chip)) {
      static const int order[8] = {0, 1, 2, 3, 2, 1, 3, 1};
      int stepLen = s.arp == ArpSound::Chip ? 1 : 2;
      for (int k = 0; k < 16 / stepLen; ++k) {
        int deg = chord + 2 * (order[k % 8] % 3) + (order[k % 8] == 3 ? 7 : 0);
        double hz = NoteHz(s.key + (s.arp == ArpSound::Chip ? 12 : 0) + Semis(s.scale, deg));
        float vel = (k % 2 ? 0.7f : 1.0f) * (section == 0 ? 0.8f : 1.0f);
        mix.Add(RenderArp(s.arp, hz, stepLen * sixteenth * 0.8, rng), at(bar, k * stepLen),
                s.arpGain * vel, k % 2 ? 0.4f : -0.4f, 0.25f, 0.2f);
      }
    }

    // Lead melody: themes A and B in sections 1 and 2, A again softer in the breakdown.
    if (section != 0) {
      const auto& theme = section == 2 ? arr.themeB : arr.themeA;
      const Phrase& ph = theme[inSection / 2];
      int offset = (inSection % 2) * 16;
      for (const Note& n : ph) {
        if (n.degree == -100 || n.step < offset || n.step >= offset + 16) continue;
        double hz = NoteHz(s.key + 12 + Semis(s.scale, n.degree));
        double hold = n.length * sixteenth * 0.85;
        float vel = (section == 3 ? 0.75f : 1.0f) * (n.step % 4 == 0 ? 1.0f : 0.85f);
        mix.Add(RenderLead(s.lead, hz, hold), at(bar, n.step - offset), s.leadGain * vel, 0.1f,
                0.3f, 0.25f);
      }
    }
  }

  Echo(s, mix);
  Room(mix);

  // Master: level to a common loudness, then a soft knee instead of hard clipping.
  double sum = 0;
  for (int i = 0; i < frames; ++i)
    sum += (double)mix.left[i] * mix.left[i] + (double)mix.right[i] * mix.right[i];
  float rms = (float)std::sqrt(sum / (2.0 * frames));
  float gain = rms > 0 ? 0.17f / rms : 1.0f;
  auto knee = [](float x) {
    float a = std::fabs(x);
    if (a < 0.7f) return x;
    float y = 0.7f + 0.28f * std::tanh((a - 0.7f) / 0.28f);
    return x < 0 ? -y : y;
  };
  std::vector<float> out((size_t)frames * 2);
  for (int i = 0; i < frames; ++i) {
    out[(size_t)i * 2] = knee(mix.left[i] * gain);
    out[(size_t)i * 2 + 1] = knee(mix.right[i] * gain);
  }
  return out;
}

}  // namespace

bool WriteMusic(const std::string& dataDir) {
  if (!MakeDirs(dataDir + "/sfx")) return false;
  const std::vector<Song> songs = Songs();
  std::atomic<int> next{0};
  std::atomic<bool> ok{true};
  auto worker = [&]() {
    for (int i = next++; i < (int)songs.size(); i = next++) {
      std::vector<float> pcm = RenderSong(songs[i]);
      if (!WriteOggVorbis(dataDir + "/sfx/" + songs[i].name + ".ogg", pcm, 2, kRate, 0.2f))
        ok = false;
    }
  };
  // Two workers: the songs are independent, so the files do not depend on the split.
  std::thread helper(worker);
  worker();
  helper.join();
  return ok;
}

}  // namespace sfx
