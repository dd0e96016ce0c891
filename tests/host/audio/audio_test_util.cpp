// Helpers of the audio tests (see audio_test_util.h).
#include "tests/host/audio/audio_test_util.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>

#include <unistd.h>

#include "host/game.h"
#include "host/gxtk_audio.h"

namespace audio_test {

namespace {

std::string g_dir;

void RemoveDir() {
  std::error_code ec;
  if (!g_dir.empty()) std::filesystem::remove_all(g_dir, ec);
}

void WriteConf(const std::string& text) {
  std::string conf = TempDir() + "/alsoft.conf";
  WriteFile(conf, text);
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  unsetenv("ALSOFT_DRIVERS");
}

unsigned U16(const unsigned char* p) { return p[0] | (p[1] << 8); }
unsigned U32(const unsigned char* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | ((unsigned)p[3] << 24);
}

}  // namespace

std::string TempDir() {
  if (g_dir.empty()) {
    char tmpl[] = "/tmp/quorvex-audio-XXXXXX";
    if (const char* made = mkdtemp(tmpl)) g_dir = made;
    std::atexit(RemoveDir);
  }
  return g_dir;
}

std::string OutputPath() { return TempDir() + "/out.wav"; }

void UseWaveOutput() {
  WriteConf("[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\nfrequency=44100\n"
            "hrtf=false\nstereo-mode=speakers\nstereo-encoding=panpot\n[wave]\nfile=" +
            OutputPath() + "\n");
}

void UseMissingDriver() { WriteConf("[general]\ndrivers=no-such-output\n"); }

VxGlfwGame* Host() {
  static VxZorbelGame* host = new VxZorbelGame();
  return host;
}

void PutU16(std::string& s, unsigned v) {
  s += (char)(v & 255);
  s += (char)((v >> 8) & 255);
}

void PutU32(std::string& s, unsigned v) {
  PutU16(s, v & 0xFFFF);
  PutU16(s, v >> 16);
}

std::string Chunk(const char id[4], const std::string& body) {
  std::string s(id, 4);
  PutU32(s, (unsigned)body.size());
  s += body;
  if (body.size() & 1) s += '\0';
  return s;
}

std::string WavBytes(int channels, int rate, int bits, const std::string& chunks, int fmtExtra) {
  std::string fmt;
  PutU16(fmt, 1);
  PutU16(fmt, channels);
  PutU32(fmt, rate);
  PutU32(fmt, rate * channels * (bits / 8));
  PutU16(fmt, channels * (bits / 8));
  PutU16(fmt, bits);
  fmt += std::string(fmtExtra, '\0');
  std::string body = "WAVE" + Chunk("fmt ", fmt) + chunks;
  std::string s = "RIFF";
  PutU32(s, (unsigned)body.size());
  return s + body;
}

std::string SineData16(double hertz, int rate, double seconds, double amplitude) {
  std::string s;
  int n = (int)std::lround(rate * seconds);
  for (int i = 0; i < n; ++i) {
    int v = (int)std::lround(amplitude * std::sin(2 * M_PI * hertz * i / rate));
    PutU16(s, (unsigned)(v & 0xFFFF));
  }
  return s;
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  f.write(bytes.data(), (std::streamsize)bytes.size());
}

bool ReadRecording(const std::string& path, Recording* out) {
  std::ifstream f(path, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  const unsigned char* p = (const unsigned char*)bytes.data();
  size_t n = bytes.size();
  if (n < 12 || std::memcmp(p, "RIFF", 4) || std::memcmp(p + 8, "WAVE", 4)) return false;
  size_t pos = 12;
  int bits = 0, tag = 0;
  while (pos + 8 <= n) {
    unsigned size = U32(p + pos + 4);
    if (!std::memcmp(p + pos, "fmt ", 4) && pos + 24 <= n) {
      tag = (int)U16(p + pos + 8);
      out->channels = (int)U16(p + pos + 10);
      out->rate = (int)U32(p + pos + 12);
      bits = (int)U16(p + pos + 22);
    } else if (!std::memcmp(p + pos, "data", 4)) {
      // The output may not have fixed up the size; the samples run to the end.
      size_t at = pos + 8;
      int bytesPer = bits / 8;
      if (out->channels < 1 || (bytesPer != 2 && bytesPer != 4)) return false;
      size_t frame = (size_t)bytesPer * out->channels;
      for (; at + frame <= n; at += frame) {
        float v[2] = {0, 0};
        for (int c = 0; c < out->channels && c < 2; ++c) {
          const unsigned char* s = p + at + c * bytesPer;
          if (bytesPer == 2) {
            v[c] = (short)U16(s) / 32768.0f;
          } else if (tag == 3 || tag == 0xFFFE) {
            unsigned u = U32(s);
            std::memcpy(&v[c], &u, 4);
          }
        }
        out->left.push_back(v[0]);
        out->right.push_back(out->channels > 1 ? v[1] : v[0]);
      }
      return true;
    }
    pos += 8 + size + (size & 1);
  }
  return false;
}

double Rms(const Recording& r, size_t from, size_t to, int channel) {
  if (to > r.Frames()) to = r.Frames();
  if (from >= to) return 0;
  double sum = 0;
  for (size_t i = from; i < to; ++i) {
    double l = r.left[i], rr = r.right[i];
    sum += channel == 0 ? l * l : channel == 1 ? rr * rr : (l * l + rr * rr) / 2;
  }
  return std::sqrt(sum / (double)(to - from));
}

namespace {

struct Run {
  bool loud;
  size_t from, to;
};

std::vector<Run> Runs(const Recording& r, double threshold, int minMs) {
  size_t block = r.rate ? (size_t)r.rate / 100 : 441;
  std::vector<Run> runs;
  for (size_t at = 0; at + block <= r.Frames(); at += block) {
    bool loud = Rms(r, at, at + block) > threshold;
    if (!runs.empty() && runs.back().loud == loud) {
      runs.back().to = at + block;
    } else {
      runs.push_back(Run{loud, at, at + block});
    }
  }
  // Merge short runs (a mixer period at a switch) into the run before them.
  size_t minFrames = (size_t)r.rate * minMs / 1000;
  std::vector<Run> merged;
  for (const Run& run : runs) {
    if (!merged.empty() && (run.to - run.from < minFrames || merged.back().loud == run.loud)) {
      merged.back().to = run.to;
    } else {
      merged.push_back(run);
    }
  }
  return merged;
}

}  // namespace

std::string Pattern(const Recording& r, double threshold, int minMs) {
  std::string s;
  for (const Run& run : Runs(r, threshold, minMs)) s += run.loud ? 'L' : 'Q';
  return s;
}

void LongestLoud(const Recording& r, size_t* from, size_t* to, double threshold) {
  *from = *to = 0;
  for (const Run& run : Runs(r, threshold, 80)) {
    if (run.loud && run.to - run.from > *to - *from) {
      *from = run.from;
      *to = run.to;
    }
  }
}

double Frequency(const Recording& r, size_t from, size_t to) {
  if (to > r.Frames()) to = r.Frames();
  // The edges of a loud run hold the switch itself; measure inside it.
  size_t edge = (size_t)r.rate / 20;
  if (to - from > 4 * edge) {
    from += edge;
    to -= edge;
  }
  if (to <= from + 1 || !r.rate) return 0;
  // Rising crossings with a little hysteresis, so output dither cannot add any.
  int crossings = 0;
  bool below = false;
  for (size_t i = from; i < to; ++i) {
    float v = r.left[i] + r.right[i];
    if (v < -0.01f) {
      below = true;
    } else if (v > 0.01f && below) {
      below = false;
      ++crossings;
    }
  }
  return crossings * (double)r.rate / (double)(to - from);
}

Recording Finish(gxtkAudio* audio) {
  audio->Close();
  Recording r;
  ReadRecording(OutputPath(), &r);
  return r;
}

void SleepMs(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

}  // namespace audio_test
