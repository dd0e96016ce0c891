// The real game as a player starts it: the quorvex executable with its
// generated data, a window on the X display, sound through OpenAL Soft's wave
// writer, input from scripts, and what it leaves behind (exit status, output,
// the state dump, the saved-state file, the sound it played).
//
// Each test runs its own copy of the executable in a scratch folder, since
// the game keeps its saved state beside its data.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "stb_image.h"
#include "tests/support/game_files.h"
#include "tests/support/process.h"

namespace fs = std::filesystem;
using namespace game_files;

namespace {

long long Num(const Dump& dump, const std::string& name) {
  if (!dump.count(name)) ADD_FAILURE() << "no " << name << " in the dump";
  return DumpNumber(dump, name, -999999);
}

class Game : public ::testing::Test {
 protected:
  fs::path dir;

  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    dir = MakeGameFolder(QUORVEX_EXE, QUORVEX_DATA);
    ASSERT_FALSE(dir.empty());
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
    // Generous: the longest game takes about a minute under the sanitizers, and
    // a loaded machine can make that several.
    opt.timeout_seconds = 420;
    return RunProcess(argv, opt);
  }

  // Runs a script to its end and returns the dump.
  Dump Play(const std::string& script, int updates, bool fast = true,
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

// Peak level of a 16-bit stereo 44.1 kHz wave file's samples from
// `fromSeconds` on, read to the end of the file (the writer may not have
// finished the header's sizes when the game ended).
int PeakLevel(const std::string& wav, double fromSeconds = 0) {
  const size_t data = wav.find("data");
  if (data == std::string::npos) return -1;
  int peak = 0;
  for (size_t i = data + 8 + (size_t)(fromSeconds * 44100) * 4; i + 1 < wav.size(); i += 2) {
    const int16_t s = (int16_t)((uint8_t)wav[i] | ((uint8_t)wav[i + 1] << 8));
    peak = std::max(peak, std::abs((int)s));
  }
  return peak;
}

TEST_F(Game, HelpAndBadSwitches) {
  ProcessResult help = Run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("Usage: quorvex"), std::string::npos);
  for (const char* sw : {"--script", "--record", "--fast", "--exit-after", "--dump", "--procedural-music"}) {
    EXPECT_NE(help.out.find(sw), std::string::npos) << sw;
  }
  ProcessResult bad = Run({"--no-such-switch"});
  EXPECT_EQ(bad.status, 2);
  EXPECT_FALSE(bad.err.empty());
  ProcessResult missing = Run({"--exit-after"});
  EXPECT_EQ(missing.status, 2);
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
  EXPECT_GT(PeakLevel(wav, 2.0), 500) << "the voices are heard";

  // Without the switch the player stays idle and the first track plays.
  auto files = Play("60 key down 13\n63 key up 13\n", 400);
  EXPECT_EQ(Num(files, "tune_state"), 0);
  EXPECT_EQ(Num(files, "tune_plays"), 0);
  EXPECT_GE(Num(files, "music_plays"), 1);
  EXPECT_EQ(Num(files, "music_on"), 1);
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
  EXPECT_EQ(StateProblem(ReadFile(dir / ".zorbelstate")), "");

  ProcessResult next;
  auto loaded = Play("", 40, true, &next);
  for (int i = 0; i < 60; ++i) {
    const std::string name = "hiscore_" + std::to_string(i);
    EXPECT_EQ(loaded[name], dump[name]) << name << " read back at the next start";
  }
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

// A screenshot the game wrote, as RGB.
struct Shot {
  int w = 0, h = 0;
  std::vector<unsigned char> rgb;
  bool Loaded() const { return w > 0; }
  const unsigned char* At(int x, int y) const { return &rgb[((size_t)y * w + x) * 3]; }
  double Brightness(int x, int y) const {
    const unsigned char* p = At(x, y);
    return (p[0] + p[1] + p[2]) / 3.0;
  }
  // Distinct colours over a coarse grid: a blank screen has one or two.
  int Colours() const {
    std::vector<int> seen;
    for (int y = 0; y < h; y += 8) {
      for (int x = 0; x < w; x += 8) {
        const unsigned char* p = At(x, y);
        const int c = (p[0] >> 3) << 10 | (p[1] >> 3) << 5 | (p[2] >> 3);
        if (std::find(seen.begin(), seen.end(), c) == seen.end()) seen.push_back(c);
      }
    }
    return (int)seen.size();
  }
};

Shot LoadShot(const fs::path& p) {
  Shot s;
  int n = 0;
  unsigned char* px = stbi_load(p.string().c_str(), &s.w, &s.h, &n, 3);
  if (!px) return Shot();
  s.rgb.assign(px, px + (size_t)s.w * s.h * 3);
  stbi_image_free(px);
  return s;
}

// A whole session on the keyboard, each screen photographed on the way:
// loading, menu, a game of the first type (fire, turn), pause, options with
// the sound switched off and on again, continue, quit into the game over,
// the menu with the new score in both lists, options from the carousel,
// credits, back, and back again to end the program.
const char kSessionScript[] =
    "3 screenshot loading.png\n"
    "50 screenshot menu.png\n"
    "60 key down 13\n63 key up 13\n"
    "70 key down 32\n240 key down 37\n"
    "300 screenshot game.png\n"
    "400 key up 32\n400 key up 37\n"
    "402 key down 27\n404 key up 27\n"          // pause
    "440 screenshot pause.png\n"
    "450 key down 39\n452 key up 39\n"          // to the gear
    "460 key down 13\n462 key up 13\n"          // options
    "500 screenshot options.png\n"
    "520 key down 40\n522 key up 40\n"          // the sound line
    "530 key down 13\n532 key up 13\n"          // effects only
    "540 key down 13\n542 key up 13\n"          // music only
    "550 key down 13\n552 key up 13\n"          // off
    "555 screenshot options-sound-off.png\n"
    "560 key down 13\n562 key up 13\n"          // effects and music again
    "570 key down 27\n572 key up 27\n"          // close options
    "620 key down 37\n622 key up 37\n"          // to continue
    "640 key down 13\n642 key up 13\n"
    "680 key down 32\n"
    "740 screenshot continued.png\n"
    "800 key up 32\n802 key down 27\n804 key up 27\n"  // pause again
    "840 key down 37\n842 key up 37\n"          // to quit
    "850 key down 13\n852 key up 13\n"
    "900 screenshot gameover.png\n"
    "1300 screenshot menu-after.png\n"
    "1320 key down 39\n1322 key up 39\n1330 key down 39\n1332 key up 39\n"
    "1340 key down 39\n1342 key up 39\n"        // the options item
    "1360 key down 13\n1362 key up 13\n"
    "1400 key down 40\n1402 key up 40\n1410 key down 40\n1412 key up 40\n"
    "1420 key down 40\n1422 key up 40\n1430 key down 40\n1432 key up 40\n"
    "1440 key down 13\n1442 key up 13\n"        // credits
    "1600 screenshot credits.png\n"
    "1620 key down 27\n1622 key up 27\n"        // back from the credits
    "1700 screenshot menu-last.png\n"
    "1720 key down 27\n1722 key up 27\n";       // back ends the program

TEST_F(Game, ASessionThroughEveryScreen) {
  WriteFile(dir / "script.txt", kSessionScript);
  // The guard only matters if the last back key failed to end the program.
  ProcessResult r = Run({"--fast", "--script", "script.txt", "--exit-after", "4000", "--dump", "dump.txt"});
  ASSERT_TRUE(r.exited) << r.err;
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  auto dump = ParseDump(ReadFile(dir / "dump.txt"));
  EXPECT_LT(Num(dump, "updates"), 1730) << "the back key in the menu ended the program";
  EXPECT_EQ(Num(dump, "mode"), 1);
  EXPECT_EQ(Num(dump, "sound_mode"), 1) << "switched off and on again";
  EXPECT_EQ(Num(dump, "game_over"), 1);
  const long score = Num(dump, "score");
  EXPECT_GT(score, 0);
  EXPECT_EQ(Num(dump, "hiscore_0"), score) << "best of type 1";
  EXPECT_EQ(Num(dump, "hiscore_30"), score) << "latest of type 1";
  ASSERT_TRUE(fs::exists(dir / ".zorbelstate"));
  EXPECT_EQ(StateProblem(ReadFile(dir / ".zorbelstate")), "");

  // Keep the pictures for review, then look at each.
  fs::create_directories(QUORVEX_SCREENSHOTS);
  const char* names[] = {"loading", "menu", "game", "pause", "options", "options-sound-off",
                         "continued", "gameover", "menu-after", "credits", "menu-last"};
  std::map<std::string, Shot> shots;
  for (const char* n : names) {
    const fs::path file = dir / (std::string(n) + ".png");
    ASSERT_TRUE(fs::exists(file)) << n;
    fs::copy_file(file, fs::path(QUORVEX_SCREENSHOTS) / file.filename(),
                  fs::copy_options::overwrite_existing);
    shots[n] = LoadShot(file);
    ASSERT_TRUE(shots[n].Loaded()) << n;
    EXPECT_EQ(shots[n].w, 640) << n;
    EXPECT_EQ(shots[n].h, 480) << n;
  }
  auto near = [](const unsigned char* p, int r, int g, int b) {
    return std::abs(p[0] - r) <= 3 && std::abs(p[1] - g) <= 3 && std::abs(p[2] - b) <= 3;
  };
  EXPECT_TRUE(near(shots["loading"].At(4, 4), 40, 40, 80)) << "the loading screen's background";
  for (const char* n : {"menu", "menu-after", "menu-last", "game", "credits"}) {
    EXPECT_GT(shots[n].Colours(), 40) << n << " is not blank";
  }
  // The board disc is lit against the dark field around it.
  double inside = 0, outside = 0;
  for (int a = 0; a < 360; a += 10) {
    const double rad = a * 3.14159265 / 180;
    inside += shots["game"].Brightness(320 + (int)(180 * std::cos(rad)), 240 + (int)(180 * std::sin(rad)));
  }
  for (int y : {5, 470}) {
    for (int x = 40; x < 600; x += 16) outside += shots["game"].Brightness(x, y);
  }
  EXPECT_GT(inside / 36, outside / 72 + 25) << "the board disc";
  // Pause: the orange panel; options: the brown sheet over everything.
  const unsigned char* panel = shots["pause"].At(220, 280);
  EXPECT_TRUE(panel[0] > 150 && panel[0] > panel[1] && panel[1] > panel[2]) << "the pause panel";
  const unsigned char* sheet = shots["options"].At(320, 420);
  EXPECT_TRUE(sheet[0] > 100 && sheet[0] > panel[2] && sheet[0] > sheet[1] && sheet[1] > sheet[2])
      << "the options sheet";
  EXPECT_NE(shots["options"].rgb, shots["options-sound-off"].rgb) << "the sound line changed";
  // Game over: the yellow bar behind "GAME".
  const unsigned char* bar = shots["gameover"].At(60, 216);
  EXPECT_TRUE(bar[0] > 120 && bar[1] > 120 && bar[2] < 90) << "the game-over bar";
  EXPECT_NE(shots["menu"].rgb, shots["menu-after"].rgb) << "the score lists filled";
}

// Each game type from the carousel: right steps to it, Enter starts it at its
// first level.
TEST_F(Game, EachGameTypeStartsFromTheCarouselAtItsFirstLevel) {
  const int firstLevel[3] = {1, 3, 6};
  for (int type = 1; type <= 3; ++type) {
    SCOPED_TRACE(type);
    std::string script;
    for (int step = 1; step < type; ++step) {
      script += std::to_string(40 + 10 * step) + " key down 39\n" + std::to_string(42 + 10 * step) +
                " key up 39\n";
    }
    script += "80 key down 13\n82 key up 13\n";
    auto dump = Play(script, 200);
    EXPECT_EQ(Num(dump, "mode"), 10);
    EXPECT_EQ(Num(dump, "game_type"), type);
    EXPECT_EQ(Num(dump, "level"), firstLevel[type - 1]);
  }
}

// From the menu's options: full screen and back really switch the window,
// the pictures draw on the new one, and closing the panel saves the state.
TEST_F(Game, FullScreenAndBackRedrawEverythingAndClosingTheOptionsSaves) {
  const char script[] =
      "60 key down 39\n62 key up 39\n70 key down 39\n72 key up 39\n"
      "80 key down 39\n82 key up 39\n"        // the options item
      "100 key down 13\n102 key up 13\n"      // options, on the sound line
      "140 key down 40\n142 key up 40\n150 key down 40\n152 key up 40\n"  // full screen
      "170 key down 13\n172 key up 13\n"
      "220 screenshot full.png\n"
      "230 key down 13\n232 key up 13\n"      // windowed again
      "280 screenshot windowed.png\n"
      "300 key down 27\n302 key up 27\n";     // close the options
  ASSERT_FALSE(fs::exists(dir / ".zorbelstate"));
  auto dump = Play(script, 290);
  EXPECT_EQ(Num(dump, "options_open"), 1);
  EXPECT_FALSE(fs::exists(dir / ".zorbelstate")) << "nothing saved while the panel is open";
  const Shot full = LoadShot(dir / "full.png");
  const Shot windowed = LoadShot(dir / "windowed.png");
  ASSERT_TRUE(full.Loaded());
  ASSERT_TRUE(windowed.Loaded());
  EXPECT_EQ(full.w, 1280) << "the whole Xvfb screen";
  EXPECT_EQ(full.h, 1024);
  EXPECT_EQ(windowed.w, 640);
  EXPECT_EQ(windowed.h, 480);
  EXPECT_GT(full.Colours(), 40) << "the pictures came back on the new window";
  EXPECT_GT(windowed.Colours(), 40);
  fs::create_directories(QUORVEX_SCREENSHOTS);
  fs::copy_file(dir / "full.png", fs::path(QUORVEX_SCREENSHOTS) / "options-fullscreen.png",
                fs::copy_options::overwrite_existing);

  dump = Play(script, 340);
  EXPECT_EQ(Num(dump, "options_open"), 0);
  ASSERT_TRUE(fs::exists(dir / ".zorbelstate")) << "closing the options saves";
  EXPECT_EQ(StateProblem(ReadFile(dir / ".zorbelstate")), "");
}

// Real keys through the X server: the recording shows what arrived.
TEST_F(Game, RealKeysFromTheServerPlayAGame) {
  if (std::system("command -v xdotool >/dev/null 2>&1") != 0) GTEST_SKIP() << "needs xdotool";
  // The game ends itself after 900 updates with fire and left still held, so
  // a slow machine only makes the session take longer. Return is pressed a
  // few times: the first that arrives after the loader starts the game, the
  // others fire.
  const std::string script =
      "./quorvex --record rec.txt --dump dump.txt --exit-after 900 & pid=$!\n"
      // By process: other tests may have their own Quorvex windows open.
      "id=$(xdotool search --sync --all --pid $pid --name '^Quorvex$' | head -n 1)\n"
      "xdotool windowfocus --sync \"$id\"\n"
      "for i in 1 2 3 4 5 6 7 8; do sleep 0.5; xdotool key Return; done\n"
      "xdotool keydown space\n"
      "sleep 1\n"
      "xdotool keydown Left\n"
      // A stuck game must not keep the keys held. The watchdog's sleep must
      // not hold the test's output pipes open once the game is done.
      "(sleep 100; kill $pid) >/dev/null 2>&1 & watchdog=$!\n"
      "wait $pid\n"
      "status=$?\n"
      "kill $watchdog 2>/dev/null\n"
      "xdotool keyup Left keyup space\n"  // the server must not keep them held
      "exit $status\n";
  WriteFile(dir / "keys.sh", script);
  ProcessResult r = RunProcess({"/bin/sh", "keys.sh"}, [&] {
    ProcessOptions opt;
    opt.cwd = dir.string();
    opt.env = {"ALSOFT_CONF=" + (dir / "alsoft.conf").string()};
    opt.timeout_seconds = 150;
    return opt;
  }());
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  const std::string rec = ReadFile(dir / "rec.txt");
  EXPECT_NE(rec.find("key down 13"), std::string::npos) << rec;
  EXPECT_NE(rec.find("key down 32"), std::string::npos) << rec;
  EXPECT_NE(rec.find("key down 37"), std::string::npos) << rec;
  auto dump = ParseDump(ReadFile(dir / "dump.txt"));
  EXPECT_EQ(Num(dump, "updates"), 900);
  EXPECT_EQ(Num(dump, "mode"), 10) << "Return started a game";
  EXPECT_NE(dump["ship_angle"], "180.000") << "the left arrow turned the ship";
  // Whether the held fire has scored by then depends on how many of the 900
  // updates a loaded machine spent before Return got through; scoring from
  // these same keys is checked by the scripted games.
  EXPECT_FALSE(fs::exists(dir / ".zorbelstate")) << "ending after an update count saves nothing";
}

// Real time, so the wave writer mixes what was played as it was played.
TEST_F(Game, PlayIsHeardAndTheSoundOptionSilencesIt) {
  Play("100 focus lost\n120 focus gained\n", 200);
  const std::string saved = ReadFile(dir / ".zorbelstate");
  const char script[] = "60 key down 13\n63 key up 13\n70 key down 32\n";
  for (int mode : {2, 0}) {
    SCOPED_TRACE(mode);
    WriteFile(dir / ".zorbelstate", WithOption(saved, 5, mode));
    fs::remove(dir / "out.wav");
    auto dump = Play(script, 300, false);
    EXPECT_EQ(Num(dump, "mode"), 10);
    const int peak = PeakLevel(ReadFile(dir / "out.wav"), 1.5);
    if (mode == 2) {
      EXPECT_GT(peak, 500) << "shots and bursts are heard";
    } else {
      EXPECT_LE(peak, 2) << "sound off is silent (the mixer's dither aside)";
    }
  }
}

// Without pictures or sounds the game still comes up and ends cleanly.
TEST_F(Game, AnEmptyOrMissingDataFolderStillRunsTheMenu) {
  fs::remove(dir / "data");
  for (bool empty : {true, false}) {
    SCOPED_TRACE(empty ? "empty" : "missing");
    if (empty) fs::create_directory(dir / "data");
    ProcessResult r;
    auto dump = Play("60 key down 13\n63 key up 13\n100 key down 27\n", 200, true, &r);
    EXPECT_TRUE(r.exited) << r.err;
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Num(dump, "load_phase"), 0) << "the loader ran to its end";
    EXPECT_GE(Num(dump, "mode"), 1);
    if (empty) fs::remove_all(dir / "data");
  }
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
