// The real game as a player starts it: the quorvex executable with its
// generated data, a window on the X display, sound through OpenAL Soft's wave
// writer, input from scripts, and what it leaves behind (exit status, output,
// the state dump, the saved-state file, the sound it played).
//
// Each test runs its own copy of the executable in a scratch folder, since
// the game keeps its saved state beside its data.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/process.h"

namespace fs = std::filesystem;

namespace {

std::string ReadFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const fs::path& p, const std::string& text) {
  std::ofstream out(p, std::ios::binary);
  out << text;
}

std::map<std::string, std::string> ParseDump(const std::string& text) {
  std::map<std::string, std::string> m;
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    const size_t sp = line.find(' ');
    if (sp != std::string::npos) m[line.substr(0, sp)] = line.substr(sp + 1);
  }
  return m;
}

long Num(const std::map<std::string, std::string>& dump, const std::string& name) {
  auto it = dump.find(name);
  if (it == dump.end()) {
    ADD_FAILURE() << "no " << name << " in the dump";
    return -999999;
  }
  return std::strtol(it->second.c_str(), nullptr, 10);
}

class Game : public ::testing::Test {
 protected:
  fs::path dir;

  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    char pattern[] = "/tmp/quorvex-e2e-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir = pattern;
    fs::copy_file(QUORVEX_EXE, dir / "quorvex");
    fs::create_directory_symlink(QUORVEX_DATA, dir / "data");
    // Sound goes to a file unless a test chooses otherwise.
    WriteFile(dir / "alsoft.conf", "[general]\ndrivers=wave\nfrequency=44100\nchannels=stereo\n"
                                   "sample-type=int16\n[wave]\nfile=" +
                                       (dir / "out.wav").string() + "\n");
  }

  void TearDown() override {
    if (!dir.empty()) fs::remove_all(dir);
  }

  ProcessResult Run(const std::vector<std::string>& args, const std::string& alconf = "alsoft.conf") {
    std::vector<std::string> argv = {(dir / "quorvex").string()};
    argv.insert(argv.end(), args.begin(), args.end());
    ProcessOptions opt;
    opt.cwd = dir.string();
    opt.env = {"ALSOFT_CONF=" + (dir / alconf).string()};
    opt.timeout_seconds = 180;
    return RunProcess(argv, opt);
  }

  // Runs a script to its end and returns the dump.
  std::map<std::string, std::string> Play(const std::string& script, int updates, bool fast = true,
                                          ProcessResult* result = nullptr) {
    WriteFile(dir / "script.txt", script);
    std::vector<std::string> args = {"--script", "script.txt", "--exit-after", std::to_string(updates),
                                     "--dump", "dump.txt"};
    if (fast) args.push_back("--fast");
    ProcessResult r = Run(args);
    EXPECT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.status, 0) << r.out << r.err;
    if (result) *result = r;
    return ParseDump(ReadFile(dir / "dump.txt"));
  }
};

TEST_F(Game, HelpAndBadSwitches) {
  ProcessResult help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: quorvex"), std::string::npos);
  EXPECT_NE(help.out.find("--script"), std::string::npos);
  ProcessResult bad = Run({"--no-such-switch"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_FALSE(bad.err.empty());
  ProcessResult missing = Run({"--exit-after"});
  EXPECT_EQ(missing.status, 2);
}

// Peak level of a 16-bit wave file's samples, reading to the end of the file
// (the writer may not have finished the header's sizes when the game ended).
int PeakLevel(const std::string& wav) {
  const size_t data = wav.find("data");
  if (data == std::string::npos) return -1;
  int peak = 0;
  for (size_t i = data + 8; i + 1 < wav.size(); i += 2) {
    const int16_t s = (int16_t)((uint8_t)wav[i] | ((uint8_t)wav[i + 1] << 8));
    peak = std::max(peak, std::abs((int)s));
  }
  return peak;
}

TEST_F(Game, TheLoaderBringsUpTheMenuAndTheJingleIsHeard) {
  // Real time: the wave writer mixes at the speed of the clock.
  auto dump = Play("", 150, false);
  EXPECT_EQ(Num(dump, "mode"), 1);
  EXPECT_EQ(Num(dump, "load_phase"), 0);
  EXPECT_GT(Num(dump, "renders"), 10);
  EXPECT_GT(Num(dump, "records"), 10) << "the menu draws its carousel and panels";
  EXPECT_GT(Num(dump, "draw_calls"), 0);
  const std::string wav = ReadFile(dir / "out.wav");
  ASSERT_GT(wav.size(), 44u) << "the sound device wrote nothing";
  EXPECT_GT(PeakLevel(wav), 1000) << "the logo jingle plays while the loader runs";
}

TEST_F(Game, WithoutASoundDeviceTheGameStillRuns) {
  WriteFile(dir / "nosound.conf", "[general]\ndrivers=no-such-driver\n");
  WriteFile(dir / "script.txt", "60 key down 13\n63 key up 13\n");
  ProcessResult r = Run({"--script", "script.txt", "--fast", "--exit-after", "400", "--dump", "dump.txt"},
                        "nosound.conf");
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE((r.out + r.err).find("OpenAl error"), std::string::npos) << r.out << r.err;
  auto dump = ParseDump(ReadFile(dir / "dump.txt"));
  EXPECT_EQ(Num(dump, "mode"), 10) << "a game started and runs silently";
}

// Peak level of the samples from `fromSeconds` on (16-bit stereo at 44.1 kHz).
int PeakLevelFrom(const std::string& wav, double fromSeconds) {
  const size_t data = wav.find("data");
  if (data == std::string::npos) return -1;
  int peak = 0;
  for (size_t i = data + 8 + (size_t)(fromSeconds * 44100) * 4; i + 1 < wav.size(); i += 2) {
    const int16_t s = (int16_t)((uint8_t)wav[i] | ((uint8_t)wav[i + 1] << 8));
    peak = std::max(peak, std::abs((int)s));
  }
  return peak;
}

// Rewrites one option of a saved text, keeping its checksum valid.
std::string WithOption(const std::string& text, int index, long long value) {
  std::vector<std::string> f;
  size_t at = 0;
  for (size_t bar; (bar = text.find('|', at)) != std::string::npos; at = bar + 1) {
    f.push_back(text.substr(at, bar - at));
  }
  const long long old = std::strtoll(f[index].c_str(), nullptr, 10);
  f[index] = std::to_string(value);
  f[25] = std::to_string(std::strtoll(f[25].c_str(), nullptr, 10) + (value - old) * index);
  std::string out;
  for (const std::string& field : f) out += field + "|";
  return out + text.substr(at);
}

TEST_F(Game, TheProceduralPlayerPlaysInsteadOfTheMusicFiles) {
  // Sound set to music only, so whatever is heard is music.
  Play("100 focus lost\n120 focus gained\n", 200);
  ASSERT_TRUE(fs::exists(dir / ".zorbelstate"));
  WriteFile(dir / ".zorbelstate", WithOption(ReadFile(dir / ".zorbelstate"), 5, 3));

  // A game of the first type; real time, so the wave writer mixes what was
  // played as it was played.
  WriteFile(dir / "script.txt", "60 key down 13\n63 key up 13\n");
  ProcessResult r = Run({"--procedural-music", "--script", "script.txt", "--exit-after", "480",
                         "--dump", "dump.txt"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Settings Loaded"), std::string::npos) << r.out;
  auto dump = ParseDump(ReadFile(dir / "dump.txt"));
  EXPECT_EQ(Num(dump, "mode"), 10);
  EXPECT_EQ(Num(dump, "tune_state"), 2);
  EXPECT_EQ(Num(dump, "tune_load_stage"), 0) << "the tune and its instruments loaded";
  EXPECT_GT(Num(dump, "tune_plays"), 20) << "drums and notes started on channels 27 to 31";
  EXPECT_EQ(Num(dump, "music_plays"), 0) << "no music file was started";
  EXPECT_EQ(Num(dump, "music_on"), 0);
  EXPECT_EQ(Num(dump, "effect_plays"), 0) << "effects are off in this sound mode";
  const std::string wav = ReadFile(dir / "out.wav");
  EXPECT_GT(PeakLevelFrom(wav, 2.0), 500) << "the voices are heard";

  // Without the switch the player stays idle and the first track plays.
  auto files = Play("60 key down 13\n63 key up 13\n", 400);
  EXPECT_EQ(Num(files, "tune_state"), 0);
  EXPECT_EQ(Num(files, "tune_plays"), 0);
  EXPECT_GE(Num(files, "music_plays"), 1);
  EXPECT_EQ(Num(files, "music_on"), 1);

  ProcessResult help = Run({"--help"});
  EXPECT_NE(help.out.find("--procedural-music"), std::string::npos);
}

// Enter starts a game of the first type; then fire held, the ship turning left.
const char kGameScript[] =
    "# start a game from the menu\n"
    "60 key down 13\n"
    "63 key up 13\n"
    "70 key down 32\n"
    "240 key down 37\n";

TEST_F(Game, AScriptedGameIsPlayedAndReplaysIdentically) {
  auto dump = Play(kGameScript, 900);
  EXPECT_EQ(Num(dump, "mode"), 10);
  EXPECT_EQ(Num(dump, "game_type"), 1);
  EXPECT_GE(Num(dump, "level"), 1);
  EXPECT_GT(Num(dump, "score"), 0) << "a full turn of fire hits the blobs around the centre";
  EXPECT_GT(Num(dump, "blob_count"), 0);
  EXPECT_NE(dump["ship_angle"], "180.000") << "the held key turned the ship";
  const std::string first = ReadFile(dir / "dump.txt");
  Play(kGameScript, 900);
  EXPECT_EQ(ReadFile(dir / "dump.txt"), first);
}

// Checks the saved text's 98 fields and the four section checksums.
void ExpectValidState(const std::string& text) {
  std::vector<long long> f;
  size_t at = 0;
  while (at < text.size()) {
    const size_t bar = text.find('|', at);
    if (bar == std::string::npos) break;
    f.push_back(std::strtoll(text.substr(at, bar - at).c_str(), nullptr, 10));
    at = bar + 1;
  }
  ASSERT_EQ(f.size(), 98u) << text;
  long long opt = 0;
  for (int i = 0; i < 25; ++i) opt += i * f[i];
  EXPECT_EQ(opt, f[25]);
  int32_t badges = 0;
  for (int g = 0; g < 8; ++g) badges = (int32_t)((uint32_t)badges + (uint32_t)f[26 + g]);
  EXPECT_EQ(badges, f[34]);
  for (int t = 0; t < 3; ++t) {
    long long sum = 0;
    for (int k = 0; k < 10; ++k) sum += (k + 4) * f[35 + 21 * t + 2 * k] + (t + k + 3) * f[36 + 21 * t + 2 * k];
    EXPECT_EQ(sum, f[55 + 21 * t]) << "table " << t;
  }
}

// The third game type (two steps right on the carousel), fire held in one
// direction: the spreading blobs win, the banner runs, the menu returns.
const char kGameOverScript[] =
    "60 key down 39\n62 key up 39\n70 key down 39\n72 key up 39\n"
    "90 key down 13\n92 key up 13\n100 key down 32\n";

TEST_F(Game, AFinishedGameIsFiledInBothTablesAndSaved) {
  auto dump = Play(kGameOverScript, 12000);
  EXPECT_EQ(Num(dump, "mode"), 1) << "back in the menu after the game over";
  EXPECT_EQ(Num(dump, "game_type"), 3);
  EXPECT_EQ(Num(dump, "game_over"), 1);
  EXPECT_EQ(Num(dump, "game_over_time"), 0) << "the banner has faded out";
  const long score = Num(dump, "score");
  EXPECT_GT(score, 0);
  EXPECT_EQ(Num(dump, "hiscore_20"), score) << "best of type 3";
  EXPECT_EQ(Num(dump, "hiscore_50"), score) << "latest of type 3";
  EXPECT_EQ(Num(dump, "hiscore_0"), 0);
  ASSERT_TRUE(fs::exists(dir / ".zorbelstate"));
  ExpectValidState(ReadFile(dir / ".zorbelstate"));

  ProcessResult next;
  Play("", 40, true, &next);
  EXPECT_NE(next.out.find("Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\n"
                          "Highscore 2 Loaded\n"),
            std::string::npos)
      << next.out;
}

TEST_F(Game, EscapePausesAGameAndFreezesIt) {
  const std::string script = std::string(kGameScript) + "400 key down 27\n402 key up 27\n";
  auto at420 = Play(script, 420);
  EXPECT_EQ(Num(at420, "mode"), 10);
  EXPECT_EQ(Num(at420, "paused"), 1);
  auto at600 = Play(script, 600);
  EXPECT_EQ(Num(at600, "paused"), 1);
  EXPECT_EQ(at600["ship_angle"], at420["ship_angle"]) << "the ship stands still while paused";
  EXPECT_EQ(Num(at600, "score"), Num(at420, "score"));
}

TEST_F(Game, SuspendSavesAndTheNextStartLoadsIt) {
  ASSERT_FALSE(fs::exists(dir / ".zorbelstate"));
  Play("100 focus lost\n120 focus gained\n", 200);
  ASSERT_TRUE(fs::exists(dir / ".zorbelstate")) << "going to the background saves";
  ProcessResult second;
  Play("", 60, true, &second);
  EXPECT_NE(second.out.find("Settings Loaded"), std::string::npos) << second.out;
  EXPECT_NE(second.out.find("Highscore 2 Loaded"), std::string::npos) << second.out;

  // A damaged file starts with the defaults and does not stop the game.
  WriteFile(dir / ".zorbelstate", std::string("\x00\xff garbage|1|2|\n", 16));
  ProcessResult third;
  auto dump = Play("", 60, true, &third);
  EXPECT_EQ(Num(dump, "mode"), 1);
  EXPECT_EQ(third.out.find("Settings Loaded"), std::string::npos);
}

TEST_F(Game, F4AndTheCloseButtonEndAtOnceWithoutSaving) {
  WriteFile(dir / "script.txt", "80 key down 115\n");
  // No --exit-after: if the key did not end the game it would run until killed.
  ProcessResult f4 = Run({"--script", "script.txt", "--fast"});
  EXPECT_TRUE(f4.exited);
  EXPECT_EQ(f4.status, 0) << f4.err;
  WriteFile(dir / "script.txt", "80 close\n");
  ProcessResult close = Run({"--script", "script.txt", "--fast"});
  EXPECT_EQ(close.status, 0) << close.err;
  EXPECT_FALSE(fs::exists(dir / ".zorbelstate"));
}

}  // namespace
