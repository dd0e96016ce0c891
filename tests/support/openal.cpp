#include "tests/support/openal.h"

#include <stdlib.h>

#include <cstring>

#include "tests/support/files.h"

namespace openal_test {

namespace {

std::string Write(const std::filesystem::path& conf, const std::string& text) {
  test_files::WriteFile(conf, text);
  return "ALSOFT_CONF=" + conf.string();
}

uint32_t Le(const std::string& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = bytes - 1; i >= 0; --i) v = v << 8 | (unsigned char)b[at + i];
  return v;
}

}  // namespace

std::string WaveConfig(const std::filesystem::path& conf, const std::filesystem::path& wav) {
  return Write(conf,
               "[general]\ndrivers=wave\nchannels=stereo\nsample-type=int16\nfrequency=44100\n"
               "hrtf=false\nstereo-mode=speakers\nstereo-encoding=panpot\n[wave]\nfile=" +
                   wav.string() + "\n");
}

std::string DriverConfig(const std::filesystem::path& conf, const std::string& driver) {
  return Write(conf, "[general]\ndrivers=" + driver + "\n");
}

void UseConfig(const std::string& env_entry) {
  setenv("ALSOFT_CONF", env_entry.substr(env_entry.find('=') + 1).c_str(), 1);
  unsetenv("ALSOFT_DRIVERS");
}

Wav ParseWav(const std::string& b) {
  Wav w;
  w.file_size = b.size();
  if (b.size() < 12 || b.compare(0, 4, "RIFF") || b.compare(8, 4, "WAVE")) {
    w.problem = "not RIFF/WAVE";
    return w;
  }
  w.riff_size = Le(b, 4, 4);
  for (size_t at = 12; at + 8 <= b.size();) {
    const uint32_t size = Le(b, at + 4, 4);
    if (!b.compare(at, 4, "fmt ") && at + 24 <= b.size()) {
      w.fmt_size = size;
      w.format = (int)Le(b, at + 8, 2), w.channels = (int)Le(b, at + 10, 2),
      w.rate = (int)Le(b, at + 12, 4);
      w.byte_rate = (int)Le(b, at + 16, 4), w.block_align = (int)Le(b, at + 20, 2),
      w.bits = (int)Le(b, at + 22, 2);
    } else if (!b.compare(at, 4, "data")) {
      w.data_size = size;
      w.data_at = at + 8;
      const int bytes = w.bits / 8;
      const bool isFloat = w.format == 3 || (w.format == 0xFFFE && w.bits == 32);
      if (w.channels < 1 || (bytes != 1 && bytes != 2 && !(bytes == 4 && isFloat))) {
        w.problem = "unsupported sample format";
        return w;
      }
      size_t end = b.size();
      if (size > 0 && size <= end - w.data_at) end = w.data_at + size;
      for (size_t s = w.data_at; s + bytes <= end; s += bytes) {
        const uint32_t u = Le(b, s, bytes);
        float f = bytes == 1 ? ((int)u - 128) / 128.0f : (int16_t)u / 32768.0f;
        if (bytes == 4) std::memcpy(&f, &u, 4);
        w.samples.push_back(f);
      }
      w.samples.resize(w.Frames() * w.channels);
      return w;
    }
    at += 8 + (size_t)size + (size & 1);
  }
  w.problem = w.format ? "no data chunk" : "no fmt chunk";
  return w;
}

Wav ReadWav(const std::filesystem::path& p) { return ParseWav(test_files::ReadFile(p)); }

}  // namespace openal_test
