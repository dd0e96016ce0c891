// OpenAL Soft as tests use it: a configuration file choosing its output, and
// the WAV files its `wave` output writes (or any other WAV) read back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace openal_test {

// Writes `conf`, selecting the `wave` output into `wav`: stereo, 16-bit, 44100 Hz, plain pan law.
// Returns the environment entry pointing OpenAL at it ("ALSOFT_CONF=<conf>"), for a child or
// UseConfig.
std::string WaveConfig(const std::filesystem::path& conf, const std::filesystem::path& wav);
// Writes `conf` whose only output is `driver`: "null" mixes into nothing, an
// unknown name leaves no device at all. Returns the environment entry.
std::string DriverConfig(const std::filesystem::path& conf, const std::string& driver);
// Points this process at a configuration (an entry from above) before its first device opens.
void UseConfig(const std::string& env_entry);

struct Wav {
  std::string problem;  // empty when the header and a data chunk were found
  int format = 0, channels = 0, rate = 0, byte_rate = 0, block_align = 0, bits = 0;
  uint32_t riff_size = 0, fmt_size = 0, data_size = 0;  // as the header says
  size_t data_at = 0;                                   // where the samples start
  size_t file_size = 0;
  std::vector<float> samples;  // interleaved, -1..1

  size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
  float At(size_t frame, int channel) const { return samples[frame * channels + channel]; }
};

// 8-bit, 16-bit and 32-bit float samples. An unfinished header (data size 0
// or past the end, as a writer still running leaves it) reads to the end.
Wav ParseWav(const std::string& bytes);
Wav ReadWav(const std::filesystem::path& p);

}  // namespace openal_test
