// The audio tests' WAV files built byte by byte, the scratch folder and the host object.
#pragma once

#include <cmath>
#include <string>

#include "host/platform/game.h"
#include "tests/support/files.h"

namespace audio_test {

// The process's scratch folder (the wave output writes out.wav there) and its
// one host object, through which samples are loaded.
inline const test_files::ScratchDir& Dir() {
  static const test_files::ScratchDir dir("quorvex-audio");
  return dir;
}
inline std::string Path(const std::string& name) { return (Dir() / name).string(); }
inline VxGlfwGame* Host() {
  static VxZorbelGame* host = new VxZorbelGame();
  return host;
}

inline std::string Le(unsigned v, int bytes) {
  std::string s;
  for (int i = 0; i < bytes; ++i) s += (char)(v >> (8 * i) & 255);
  return s;
}
// A chunk with its pad byte.
inline std::string Chunk(const char id[4], const std::string& body) {
  return std::string(id, 4) + Le((unsigned)body.size(), 4) + body +
         (body.size() & 1 ? std::string(1, '\0') : "");
}
// RIFF/WAVE around a PCM fmt chunk (`fmtExtra` bytes longer than 16) and `chunks`.
inline std::string WavBytes(int channels, int rate, int bits, const std::string& chunks,
                            int fmtExtra = 0) {
  const std::string fmt = Le(1, 2) + Le(channels, 2) + Le(rate, 4) +
                          Le(rate * channels * bits / 8, 4) + Le(channels * bits / 8, 2) +
                          Le(bits, 2) + std::string(fmtExtra, '\0');
  const std::string body = "WAVE" + Chunk("fmt ", fmt) + chunks;
  return "RIFF" + Le((unsigned)body.size(), 4) + body;
}
// Mono 16-bit samples of a sine (whole periods make a seamless loop).
inline std::string Sine16(double hertz, double seconds, int rate = 44100) {
  std::string s;
  for (int i = 0; i < (int)std::lround(rate * seconds); ++i)
    s += Le((unsigned)std::lround(12000 * std::sin(2 * M_PI * hertz * i / rate)) & 0xFFFF, 2);
  return s;
}

}  // namespace audio_test
