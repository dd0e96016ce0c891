// Shared pieces of the music player tests: a clock the tests set, an audio
// device that writes down every call the player makes (and opens nothing), and
// a player rooted for the collector.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "framework/app.h"
#include "host/game.h"
#include "host/gxtk_audio.h"
#include "music/qzplayer.h"

namespace music_test {

class ClockHost : public VxGame {
 public:
  int now = 10000;
  int Millisecs() override { return now; }
};

// Every call as one word: "stop31", "play31:d2-5.wav,0", "vol31=0.50",
// "pan31=-0.35", "rate29=1.059", "load:inst/lead1.wav".
class RecordingAudio : public gxtkAudio {
 public:
  std::vector<std::string> calls;
  std::map<gxtkSample*, std::string> names;

  gxtkSample* LoadSample(String path) override;
  int PlaySample(gxtkSample* s, int channel, int flags) override;
  int StopChannel(int channel) override;
  int SetVolume(int channel, float v) override;
  int SetPan(int channel, float v) override;
  int SetRate(int channel, float v) override;

  // A sound whose sample is named in the calls.
  c_Sound* Sound(const std::string& name);
  int Count(const std::string& prefix) const;
  void Clear() { calls.clear(); }
};

std::string Num(float v);

// The clock, the device and a fresh player for each test; the player is a
// collector root. Sets ALSOFT_CONF to OpenAL Soft's null backend so the
// device's own start-up opens nothing real.
class MusicTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A player ready to play: channels from 32 down, tune "t" marked as loaded,
  // tempo 100, every voice unmuted on pattern 0, rows due from now.
  void Ready();
  // Sets one row field of the decoded tune.
  void Put(int pattern, int voice, int row, int note, int volume = 0, int effect = 0, int arg = 0);
  // Plays one row: moves the clock past the due time first.
  void Row();

  ClockHost clock;
  RecordingAudio* audio = nullptr;
  c_QZPlayer* player = nullptr;
};

}  // namespace music_test
