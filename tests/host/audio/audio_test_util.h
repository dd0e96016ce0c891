// Shared helpers of the audio tests: WAV files built byte by byte, OpenAL's
// wave output selected by a test-written configuration, and the analysis of
// the file that output wrote (level per block, loud/quiet runs, frequency).
#pragma once

#include <string>
#include <vector>

class gxtkAudio;
class VxGlfwGame;

namespace audio_test {

// A per-process scratch folder (removed at exit).
std::string TempDir();

// Points ALSOFT_CONF at a file selecting the wave output (stereo 16-bit
// 44100 Hz, plain pan law) into OutputPath(). Must run before the first device
// opens in the process.
void UseWaveOutput();
// Points ALSOFT_CONF at a configuration whose only driver does not exist.
void UseMissingDriver();
std::string OutputPath();

// The host object LoadAudioData needs (the scripted window layer: no window).
VxGlfwGame* Host();

// Little-endian byte building.
void PutU16(std::string& s, unsigned v);
void PutU32(std::string& s, unsigned v);
// A RIFF/WAVE header + fmt chunk (fmtExtra bytes of padding after the 16) and
// whatever `chunks` follow; the RIFF size is filled in.
std::string WavBytes(int channels, int rate, int bits, const std::string& chunks, int fmtExtra = 0);
std::string Chunk(const char id[4], const std::string& body);
// A mono 16-bit sine of `seconds` at `hertz` (whole periods give a seamless loop).
std::string SineData16(double hertz, int rate, double seconds, double amplitude = 12000);
void WriteFile(const std::string& path, const std::string& bytes);

// The wave output, read back after the device closed: interleaved stereo floats.
struct Recording {
  int rate = 0;
  int channels = 0;
  std::vector<float> left, right;  // -1..1
  size_t Frames() const { return left.size(); }
};
bool ReadRecording(const std::string& path, Recording* out);

// Root-mean-square of a channel (0 left, 1 right, 2 both) over [from, to) frames.
double Rms(const Recording& r, size_t from, size_t to, int channel = 2);
// Loud/quiet runs over 10 ms blocks, runs shorter than `minMs` merged into
// their neighbours: e.g. "QLQLQ". `threshold` is an RMS level.
std::string Pattern(const Recording& r, double threshold = 0.01, int minMs = 80);
// The frames of the longest loud run.
void LongestLoud(const Recording& r, size_t* from, size_t* to, double threshold = 0.01);
// Rising zero crossings per second of the left+right sum over [from, to).
double Frequency(const Recording& r, size_t from, size_t to);

// Closes the device so the wave output finishes its file, then reads it.
Recording Finish(gxtkAudio* audio);

void SleepMs(int ms);

}  // namespace audio_test
