// Composition of the procedural player's tunes and their image encoding (see tunes.h).
//
// The player picks each voice's pattern independently and transposes whole bars by its
// chord letters, so every pattern of a tune stays in one key and any lead fits any bass.
// A pattern is 64 rows of 80 ms at the game's tempo: two bars of 4/4 at about 94 bpm,
// four rows to an eighth note. Each pattern carries two chords (one per bar) from the
// tune's palette; melodies lean on chord tones at strong beats, basses on roots.
// Every pitched note carries a volume, since the player would otherwise keep the decayed
// level of the note before. Left out: pattern switches (effect 27) and early pattern
// ends (effect 8), which would make the player's arrangement harder to keep in range.
#include "tunes.h"

#include <algorithm>

#include "dsp.h"
#include "generators.h"
#include "writers.h"

namespace sfx {

namespace {

// Drum note values and the kit slot each selects.
enum Drum {
  kKick = 13,
  kSnare = 15,
  kHat = 17,
  kOpenHat = 18,
  kClap = 20,
  kLowTom = 22,
  kHighTom = 24,
  kCymbal = 25
};
constexpr int kRest = 31;  // a volume of 31 silences the voice

struct Cell {
  int note = 0, vol = 0, fx = 0, arg = 0;
};

struct Pattern {
  Cell cell[kTuneVoices][64];
};

enum class Feel { Moody, Bouncy, Funky };

struct Style {
  const char* path;
  uint32_t seed;
  int patterns;
  Feel feel;
  std::vector<int> scale;                   // semitones of the seven degrees
  std::vector<std::pair<int, int>> chords;  // per pattern: the two bars' chord degrees
};

int Semis(const std::vector<int>& scale, int degree) {
  int n = (int)scale.size();
  int oct = degree >= 0 ? degree / n : -((-degree + n - 1) / n);
  int d = degree - oct * n;
  return scale[d] + 12 * oct;
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

// Moves a pitch down by octaves until it is at most `hi` (note values stop at 31).
int Fit(int note, int hi) {
  while (note > hi) note -= 12;
  return note;
}

void Put(Pattern& p, int voice, int row, int note, int vol, int fx = 0, int arg = 0) {
  if (row < 0 || row > 63) return;
  Cell& c = p.cell[voice][row];
  c.note = note;
  c.vol = vol;
  c.fx = fx;
  c.arg = arg;
}

// Rhythms of one bar (32 rows), as note lengths in rows.
const std::vector<std::vector<int>>& Rhythms(Feel feel) {
  static const std::vector<std::vector<int>> moody = {
      {8, 4, 4, 12, 4}, {12, 4, 8, 8}, {4, 4, 8, 4, 4, 8}, {16, 8, 8}, {6, 2, 8, 4, 4, 8}};
  static const std::vector<std::vector<int>> bouncy = {{4, 4, 4, 4, 8, 8},
                                                       {2, 2, 4, 4, 4, 8, 8},
                                                       {4, 2, 2, 4, 4, 4, 4, 8},
                                                       {6, 2, 6, 2, 8, 8},
                                                       {4, 4, 8, 4, 4, 8}};
  static const std::vector<std::vector<int>> funky = {{6, 6, 4, 6, 6, 4},
                                                      {2, 4, 2, 8, 6, 10},
                                                      {4, 6, 6, 4, 4, 8},
                                                      {10, 6, 4, 4, 8},
                                                      {2, 2, 6, 6, 4, 12}};
  switch (feel) {
    case Feel::Moody:
      return moody;
    case Feel::Bouncy:
      return bouncy;
    default:
      return funky;
  }
}

void ComposeLead(Pattern& p, const Style& st, int chordA, int chordB, Rng& rng) {
  const auto& rhythms = Rhythms(st.feel);
  const std::vector<int>& rhythm = rhythms[rng.Range(0, (int)rhythms.size() - 1)];
  int degree = NearestChordTone(rng.Range(2, 6), chordA);
  std::vector<int> first;  // degrees of the first bar, echoed in the second
  for (int bar = 0; bar < 2; ++bar) {
    int chord = bar == 0 ? chordA : chordB;
    int row = bar * 32;
    for (size_t k = 0; k < rhythm.size(); ++k) {
      int len = rhythm[k];
      bool last = bar == 1 && k + 1 == rhythm.size();
      if (bar == 0) {
        int move = rng.Range(-2, 2);
        if (rng.Uniform() < 0.2f) move = rng.Range(-4, 4);
        degree = std::max(-2, std::min(9, degree + move));
        first.push_back(degree);
      } else {
        // The answer keeps the question's shape, moved to the second chord.
        degree = first[k] + (chordB - chordA);
        if (k >= rhythm.size() / 2) degree += rng.Range(-1, 1);
        degree = std::max(-2, std::min(9, degree));
      }
      int d = degree;
      if (row % 8 == 0 || len >= 8) d = NearestChordTone(d, chord);
      if (last) d = NearestChordTone(std::max(0, std::min(7, d)), chord);
      bool rest = k > 0 && !last && len <= 4 && rng.Uniform() < 0.12f;
      if (rest) {
        Put(p, 2, row, 0, kRest);
      } else {
        int note = 13 + Semis(st.scale, d);
        int vol = (row % 16 == 0) ? 28 : 24 + rng.Range(0, 2);
        Put(p, 2, row, note, vol);
        // Short notes are cut cleanly; the phrase's last note falls away.
        if (len <= 4 && st.feel != Feel::Moody) Put(p, 2, row + len - 1, 0, kRest);
        if (last && len >= 8) {
          for (int r = row + len - 4; r < row + len; ++r) Put(p, 2, r, 0, 0, 2, 3);
        }
      }
      row += len;
    }
  }
}

void ComposeAccompaniment(Pattern& p, const Style& st, int chordA, int chordB, Rng& rng) {
  int mode = rng.Range(0, 2);
  for (int bar = 0; bar < 2; ++bar) {
    int chord = bar == 0 ? chordA : chordB;
    int tones[4] = {chord, chord + 2, chord + 4, chord + 7};
    int base = bar * 32;
    if (st.feel == Feel::Bouncy && mode != 2) {
      // Chip arpeggio in sixteenths.
      static const int order[8] = {0, 1, 2, 3, 2, 1, 0, 1};
      for (int r = 0; r < 32; r += 2)
        Put(p, 3, base + r, Fit(13 + Semis(st.scale, tones[order[(r / 2) % 8]]), 27),
            r % 8 ? 15 : 19);
    } else if (mode == 0 || st.feel == Feel::Moody) {
      // Broken chord in eighths.
      static const int order[8] = {0, 2, 1, 3, 2, 1, 0, 2};
      for (int r = 0; r < 32; r += 4)
        Put(p, 3, base + r, Fit(13 + Semis(st.scale, tones[order[(r / 4) % 8]]), 27),
            r % 8 ? 15 : 18);
    } else {
      // Off-beat stabs, cut short.
      for (int r = 4; r < 32; r += 8) {
        Put(p, 3, base + r, Fit(13 + Semis(st.scale, tones[(r / 8) % 3]), 27), 20);
        Put(p, 3, base + r + 2, 0, kRest);
      }
    }
  }
}

void ComposeBass(Pattern& p, const Style& st, int chordA, int chordB, Rng& rng) {
  int mode = rng.Range(0, 2);
  for (int bar = 0; bar < 2; ++bar) {
    int chord = bar == 0 ? chordA : chordB;
    int root = Semis(st.scale, chord);
    if (root > 6) root -= 12;
    int fifth = Semis(st.scale, chord + 4) - Semis(st.scale, chord);
    int n = 13 + root;  // around C2
    int base = bar * 32;
    switch (st.feel == Feel::Funky ? 2 : mode) {
      case 0:  // steady eighths with an octave lift
        for (int r = 0; r < 32; r += 4)
          Put(p, 4, base + r, Fit((r == 12 || r == 28) ? n + 12 : n, 31), r % 8 ? 22 : 27);
        break;
      case 1:  // root and fifth on the beats
        for (int r = 0; r < 32; r += 8) {
          Put(p, 4, base + r, Fit((r / 8) % 2 ? n + fifth : n, 31), 27);
          Put(p, 4, base + r + 6, 0, kRest);
        }
        break;
      default: {  // syncopated
        static const int rows[6] = {0, 6, 10, 16, 22, 28};
        static const int steps[6] = {0, 0, 12, 0, 7, 10};
        for (int k = 0; k < 6; ++k) {
          int off = steps[k] == 7    ? fifth
                    : steps[k] == 10 ? Semis(st.scale, chord + 6) - Semis(st.scale, chord)
                                     : steps[k];
          Put(p, 4, base + rows[k], Fit(n + off, 31), k == 0 ? 28 : 24);
          Put(p, 4, base + rows[k] + 3, 0, kRest);
        }
        break;
      }
    }
  }
}

void ComposeDrums(Pattern& p, const Style& st, int index, Rng& rng) {
  int beat = st.feel == Feel::Bouncy ? index % 2 : index % 3;
  bool fill = index % 3 == 2;
  for (int bar = 0; bar < 2; ++bar) {
    int b = bar * 32;
    // Voice 0: kick and snare.
    switch (beat) {
      case 0:
        Put(p, 0, b + 0, kKick, 30);
        Put(p, 0, b + 8, kSnare, 27);
        Put(p, 0, b + 16, kKick, 29);
        Put(p, 0, b + 24, kSnare, 27);
        if (rng.Uniform() < 0.5f) Put(p, 0, b + 20, kKick, 22);
        break;
      case 1:
        for (int r = 0; r < 32; r += 8) Put(p, 0, b + r, kKick, 30);
        break;
      default:
        Put(p, 0, b + 0, kKick, 30);
        Put(p, 0, b + 8, kSnare, 27);
        Put(p, 0, b + 12, kKick, 24);
        Put(p, 0, b + 20, kKick, 27);
        Put(p, 0, b + 24, kSnare, 28);
        Put(p, 0, b + 30, kSnare, 14);
        break;
    }
    // Voice 1: hats, claps and the cymbal.
    for (int r = 0; r < 32; r += st.feel == Feel::Bouncy ? 2 : 4) {
      int vol = r % 8 == 4 ? 19 : (r % 4 ? 12 : 15);
      Put(p, 1, b + r, kHat, vol);
    }
    if (beat == 1) {  // four on the floor: claps on the back beats, open hats off the beat
      Put(p, 1, b + 8, kClap, 26);
      Put(p, 1, b + 24, kClap, 26);
      Put(p, 1, b + 12, kOpenHat, 18);
      Put(p, 1, b + 28, kOpenHat, 18);
    } else {
      Put(p, 1, b + 28, kOpenHat, 17);
    }
  }
  if (index % 2 == 0) Put(p, 1, 0, kCymbal, 22);
  if (fill) {
    static const int toms[6] = {kHighTom, kHighTom, kLowTom, kHighTom, kLowTom, kLowTom};
    for (int k = 0; k < 6; ++k) Put(p, 0, 52 + 2 * k, toms[k], 22 + k);
    Put(p, 1, 62, kCymbal, 24);
  }
}

std::vector<Style> Styles() {
  const std::vector<int> minor = {0, 2, 3, 5, 7, 8, 10};
  const std::vector<int> major = {0, 2, 4, 5, 7, 9, 11};
  const std::vector<int> dorian = {0, 2, 3, 5, 7, 9, 10};
  return {
      {"tunes/Pellorin/Tune_12.png",
       1212,
       6,
       Feel::Moody,
       minor,
       {{0, 5}, {0, 6}, {5, 6}, {0, 3}, {3, 4}, {5, 0}}},
      {"tunes/Retro/Grimble.png",
       4711,
       6,
       Feel::Bouncy,
       major,
       {{0, 3}, {0, 4}, {5, 3}, {0, 5}, {3, 4}, {1, 4}}},
      {"tunes/Retro/Snorwick.png",
       9090,
       5,
       Feel::Funky,
       dorian,
       {{0, 3}, {0, 6}, {0, 0}, {3, 0}, {6, 3}}},
  };
}

int Encode(int value) { return value == 0 ? 0 : value * 8 + 4; }  // centred in its 8 blue levels

}  // namespace

std::vector<TuneData> ComposeTunes() {
  std::vector<TuneData> out;
  for (const Style& st : Styles()) {
    Rng rng(st.seed);
    TuneData t;
    t.path = st.path;
    t.patterns = st.patterns;
    t.values.assign((size_t)kTuneFrames * 64 * 64, 0);
    for (int f = 0; f < st.patterns; ++f) {
      Pattern p;
      int a = st.chords[f].first, b = st.chords[f].second;
      ComposeDrums(p, st, f, rng);
      ComposeLead(p, st, a, b, rng);
      ComposeAccompaniment(p, st, a, b, rng);
      ComposeBass(p, st, a, b, rng);
      for (int v = 0; v < kTuneVoices; ++v) {
        for (int y = 0; y < 64; ++y) {
          const Cell& c = p.cell[v][y];
          const int fields[4] = {c.note, c.vol, c.fx, c.arg};
          for (int k = 0; k < 4; ++k)
            t.values[(size_t)((f * 64 + y) * 64 + v * 8 + k)] =
                (unsigned char)std::max(0, std::min(31, fields[k]));
        }
      }
    }
    out.push_back(std::move(t));
  }
  return out;
}

std::vector<unsigned char> TuneSheetPixels(const TuneData& tune) {
  std::vector<unsigned char> px((size_t)kTuneSheet * kTuneSheet * 4, 0);
  for (int f = 0; f < kTuneFrames; ++f) {
    int ox = (f % 8) * kTuneFrameSize, oy = (f / 8) * kTuneFrameSize;
    for (int y = 0; y < 64; ++y) {
      for (int x = 0; x < 64; ++x) {
        int v = tune.At(f, x, y);
        unsigned char* p = &px[((size_t)(oy + y) * kTuneSheet + (size_t)(ox + x)) * 4];
        // Red and green only tint the fields for a person looking at the sheet.
        p[0] = v ? (unsigned char)(40 + (x % 8) * 50) : 0;
        p[1] = v ? (unsigned char)(60 + (x / 8) * 38) : 0;
        p[2] = (unsigned char)Encode(v);
        p[3] = 255;
      }
    }
  }
  return px;
}

bool WriteTunes(const std::string& dataDir) {
  for (const TuneData& t : ComposeTunes()) {
    std::string path = dataDir + "/" + t.path;
    if (!MakeDirs(path.substr(0, path.rfind('/')))) return false;
    if (!WritePngRgba(path, kTuneSheet, kTuneSheet, TuneSheetPixels(t))) return false;
  }
  return true;
}

}  // namespace sfx
