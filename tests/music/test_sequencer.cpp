// The sequencer and the voice engine against a device that writes down its
// calls: due times on a fixed grid, the end-of-pattern and pattern-switch
// effects, bars, chords and sections, drum hits, pitched notes, the volume
// envelope and slides, pausing, and the seeded arrangement.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/random.h"
#include "tests/music/music_test_util.h"

using namespace music_test;

namespace {

bool Has(const std::vector<std::string>& calls, const std::string& call) {
  return std::find(calls.begin(), calls.end(), call) != calls.end();
}

}  // namespace

TEST_F(MusicTest, RowsFallDueOnAFixedGridOneAtATime) {
  Ready();
  Put(0, 2, 0, 13, 30);
  Put(0, 2, 1, 20, 30);
  const int due = player->m_nextStep;

  player->p_QZ_Alive_U(0, 1);  // due exactly now: not yet
  EXPECT_EQ(player->m_step, 0);
  EXPECT_TRUE(audio->calls.empty());

  clock.now = due + 1;
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 1);
  EXPECT_TRUE(Has(audio->calls, "rate29=1"));
  EXPECT_EQ(player->m_nextStep, due + 80);  // 8000 / 100, from the due time

  // Far behind: still one row per call, each 80 ms after the one before.
  clock.now = due + 5000;
  player->p_QZ_Alive_U(0, 1);
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 3);
  EXPECT_EQ(player->m_nextStep, due + 240);

  // Tempo 95 gives the whole part of 84.2 ms.
  player->m_tempo = 95;
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_nextStep, due + 324);

  // A due time implausibly far ahead counts as due.
  player->m_nextStep = clock.now + 200000;
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 5);
  player->m_nextStep = clock.now + 123456;
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 5);
}

TEST_F(MusicTest, EndOfPatternSendsTheLaterVoicesToRow63AndStartsABar) {
  Ready();
  player->m_step = 10;
  player->m_sectionBars = 3;
  Put(0, 0, 10, 0, 0, 8);
  for (int v = 2; v <= 4; ++v) {
    Put(0, v, 10, 13, 30);  // never heard: the row moved on
    Put(0, v, 63, 20, 30);
  }
  Put(0, 2, 0, 25, 30);
  Row();
  EXPECT_EQ(audio->Count("rate29=1.498"), 1);
  EXPECT_EQ(audio->Count("rate28=1.498"), 1);
  EXPECT_EQ(audio->Count("rate27=1.498"), 1);
  EXPECT_FALSE(Has(audio->calls, "rate29=1"));
  EXPECT_EQ(player->m_step, 0);
  EXPECT_EQ(player->m_sectionBars, 2);  // a new bar began
  EXPECT_EQ(player->m_chord.ToUtf8(), "qjj");

  audio->Clear();
  Row();  // row 0 of the new bar
  EXPECT_TRUE(Has(audio->calls, "rate29=2")) << audio->calls.size();
  EXPECT_EQ(player->m_step, 1);
}

TEST_F(MusicTest, APatternSwitchFollowsTheParityOfTheBarsLeft) {
  Ready();
  Put(0, 2, 0, 13, 30, 27, 1);
  Put(1, 2, 0, 20, 30);

  player->m_sectionBars = 3;  // odd: argument 1 moves on
  Row();
  EXPECT_EQ(player->m_pattern[2], 1);
  EXPECT_TRUE(Has(audio->calls, "rate29=1.498"));

  Ready();
  player->m_sectionBars = 2;  // even: the row with the switch plays as it is
  Row();
  EXPECT_EQ(player->m_pattern[2], 0);
  EXPECT_TRUE(Has(audio->calls, "rate29=1"));

  // Argument 2 moves back on an even count, and never below pattern 0.
  Ready();
  Put(0, 3, 0, 13, 30, 27, 2);
  Put(5, 4, 0, 13, 30, 27, 2);
  Put(4, 4, 0, 15, 30);
  player->m_pattern[4] = 5;
  player->m_sectionBars = 2;
  Row();
  EXPECT_EQ(player->m_pattern[3], 0);
  EXPECT_TRUE(Has(audio->calls, "rate28=1"));
  EXPECT_EQ(player->m_pattern[4], 4);
  EXPECT_TRUE(Has(audio->calls, "rate27=1.122"));

  // ... nor above 63.
  Ready();
  player->m_pattern[2] = 63;
  Put(63, 2, 0, 13, 30, 27, 1);
  player->m_sectionBars = 1;
  Row();
  EXPECT_EQ(player->m_pattern[2], 63);
}

TEST_F(MusicTest, DrumHitsAndPitchedNotes) {
  Ready();
  for (int k = 1; k <= 8; ++k) {
    gc_assign(player->m_drumsA[k], audio->Sound("a" + std::to_string(k)));
    gc_assign(player->m_drumsB[k], audio->Sound("b" + std::to_string(k)));
  }
  gc_assign(player->m_inst[4], audio->Sound("bass"));
  player->m_chord = String("jq");

  player->p_QZ_PlayNote(0, 13, 0, 0, 0);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"stop31", "play31:a1,0", "pan31=-0.35"}));
  EXPECT_FLOAT_EQ(player->m_env[0], 4.0f - 0.1f);
  EXPECT_EQ(player->m_sounding[0], 1);

  audio->Clear();
  player->p_QZ_PlayNote(1, 25, 0, 0, 0);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"stop30", "play30:b8,0", "pan30=0.35"}));

  // A note that selects no drum stops the channel and starts nothing.
  audio->Clear();
  player->p_QZ_PlayNote(1, 14, 0, 0, 0);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"stop30"}));
  EXPECT_FLOAT_EQ(player->m_rate[1], 1.0f);

  // A sound without a sample still takes the pan.
  gc_assign(player->m_drumsA[2], (new c_Sound())->m_new(nullptr));
  audio->Clear();
  player->p_QZ_PlayNote(0, 15, 0, 0, 0);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"stop31", "pan31=-0.35"}));

  // Pitched: the step's ratio times this bar's chord letter ('j'), looping.
  audio->Clear();
  player->p_QZ_PlayNote(4, 25, 30, 0, 0);
  EXPECT_EQ(audio->calls,
            (std::vector<std::string>{"vol27=0.5", "stop27", "rate27=1.782", "play27:bass,1"}));
  EXPECT_FLOAT_EQ(player->m_rate[4], 2.0f * 0.891f);

  // A silent voice plays nothing; a voice without an instrument only sets its rate.
  audio->Clear();
  player->m_mute[4] = 1;
  player->p_QZ_PlayNote(4, 13, 30, 3, 10);
  EXPECT_TRUE(audio->calls.empty());
  // The envelope of a voice that never had a volume is spent, so the row
  // sets it to 0 before the note starts.
  audio->Clear();
  player->p_QZ_PlayNote(3, 13, 0, 0, 0);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"vol28=0", "stop28", "rate28=0.891"}));
  EXPECT_EQ(player->m_sounding[3], 0);
}

TEST_F(MusicTest, VolumeAndTheEnvelope) {
  Ready();
  player->p_QZ_PlayNote(3, 0, 15, 0, 0);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"vol28=" + Num(14.0f / 29.0f * 0.5f)}));

  // Volume 0 keeps the level; 31 sets it to 0.
  audio->Clear();
  player->p_QZ_PlayNote(3, 0, 0, 0, 0);
  EXPECT_TRUE(audio->calls.empty());
  EXPECT_FLOAT_EQ(player->m_vol[3], 14.0f / 29.0f);
  player->p_QZ_PlayNote(3, 0, 31, 0, 0);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"vol28=0"}));
  EXPECT_EQ(player->m_vol[3], 0.0f);

  // A full note holds four rows (its own counted), then fades row by row
  // and reaches 0 at the fifteenth.
  player->p_QZ_PlayNote(3, 0, 30, 0, 0);
  std::vector<float> levels = {player->m_vol[3]};
  audio->Clear();
  for (int row = 2; row <= 15; ++row) {
    const int before = (int)audio->calls.size();
    player->p_QZ_PlayNote(3, 0, 0, 0, 0);
    const bool called = (int)audio->calls.size() > before;
    EXPECT_EQ(called, row >= 5 && row <= 15) << "row " << row;
    levels.push_back(player->m_vol[3]);
  }
  EXPECT_FLOAT_EQ(levels[0], 1.0f);
  EXPECT_FLOAT_EQ(levels[3], 1.0f);
  EXPECT_LT(levels[4], 1.0f);
  EXPECT_GT(levels[4], 0.99f);
  for (int i = 5; i < 14; ++i) EXPECT_LT(levels[i], levels[i - 1]) << i;
  EXPECT_GT(levels[13], 0.0f);
  EXPECT_EQ(levels[14], 0.0f);
  EXPECT_EQ(player->m_env[3], 0.0f);

  // A drum hit without a volume starts from 4.0 and fades from its 31st row.
  gc_assign(player->m_drumsA[1], audio->Sound("a1"));
  player->m_vol[0] = 0.8f;
  player->p_QZ_PlayNote(0, 13, 0, 0, 0);
  int firstFade = 0;
  for (int row = 2; row <= 40 && !firstFade; ++row) {
    audio->Clear();
    player->p_QZ_PlayNote(0, 0, 0, 0, 0);
    if (audio->Count("vol31=") > 0) firstFade = row;
  }
  EXPECT_EQ(firstFade, 31);
}

TEST_F(MusicTest, SlidesMoveTheRateWithinAQuarterAndFour) {
  Ready();
  player->m_rate[2] = 3.9f;
  player->p_QZ_PlayNote(2, 0, 0, 3, 31);
  EXPECT_FLOAT_EQ(player->m_rate[2], 4.0f);
  EXPECT_TRUE(Has(audio->calls, "rate29=4"));
  player->m_rate[2] = 0.5f;
  player->p_QZ_PlayNote(2, 0, 0, 4, 31);
  EXPECT_FLOAT_EQ(player->m_rate[2], 0.25f);
  player->m_rate[2] = 1.0f;
  player->p_QZ_PlayNote(2, 0, 0, 1, 18);
  EXPECT_FLOAT_EQ(player->m_rate[2], 1.1f);
  player->p_QZ_PlayNote(2, 0, 0, 2, 9);
  EXPECT_FLOAT_EQ(player->m_rate[2], 1.05f);
  // Drum voices slide too; other effects leave the rate alone without a call.
  player->m_rate[0] = 1.0f;
  player->p_QZ_PlayNote(0, 0, 0, 3, 15);
  EXPECT_FLOAT_EQ(player->m_rate[0], 2.0f);
  audio->Clear();
  player->p_QZ_PlayNote(2, 0, 0, 5, 31);
  EXPECT_EQ(audio->Count("rate"), 0);
  EXPECT_FLOAT_EQ(player->m_rate[2], 1.05f);
}

TEST_F(MusicTest, PausingAndSwitchingOffSilenceTheVoices) {
  Ready();
  gc_assign(player->m_inst[2], audio->Sound("lead"));
  Put(0, 2, 0, 13, 30);
  Row();
  ASSERT_EQ(player->m_sounding[2], 1);

  audio->Clear();
  player->p_QZ_Alive_U(1, 1);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"stop29"}));
  EXPECT_EQ(player->m_sounding[2], 0);
  EXPECT_EQ(player->m_nextStep, clock.now + 150);
  const int step = player->m_step;
  clock.now += 1000;
  player->p_QZ_Alive_U(1, 1);  // still paused: no row, the due time keeps moving
  EXPECT_EQ(player->m_step, step);
  EXPECT_EQ(player->m_nextStep, clock.now + 150);

  // Music switched off: nothing plays and nothing is left sounding.
  Put(0, 2, 1, 13, 30);
  player->m_sounding[2] = 1;
  audio->Clear();
  clock.now += 1000;
  player->p_QZ_Alive_U(0, 0);
  EXPECT_EQ(audio->calls, (std::vector<std::string>{"stop29"}));
  EXPECT_EQ(player->m_step, step);

  // Stop(0) silences and keeps the tune; Stop(1) ends it.
  player->m_sounding[2] = 1;
  player->p_QZ_Stop(0);
  EXPECT_EQ(player->m_state, 2);
  EXPECT_EQ(player->m_sounding[2], 0);
  player->p_QZ_Stop(1);
  EXPECT_EQ(player->m_state, 0);
  audio->Clear();
  clock.now += 1000;
  player->p_QZ_Alive_U(0, 1);
  EXPECT_TRUE(audio->calls.empty());
  EXPECT_EQ(player->m_step, step);

  // Rows wait while anything is still loading.
  player->p_QZ_StartTune(String("t"), 1, 100);
  player->m_loadStage = 5;
  clock.now += 1000;
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 0);
}

TEST_F(MusicTest, APlayerWithoutChannelsMakesNoAudioCall) {
  player->p_QZ_StartTune(String("t"), 5, 100);
  player->m_loadStage = 0;
  for (int v = 0; v < 5; ++v) {
    player->m_mute[v] = 0;
    for (int row = 0; row < 64; ++row) Put(0, v, row, 13 + row % 13, 1 + row % 30, 3, 5);
  }
  gc_assign(player->m_drumsA[1], audio->Sound("a1"));
  audio->Clear();
  for (int i = 0; i < 300; ++i) Row();
  player->p_QZ_Alive_U(1, 1);
  player->p_QZ_Stop(1);
  EXPECT_TRUE(audio->calls.empty());
  EXPECT_GT(player->m_section, 0);
}

TEST_F(MusicTest, BarsMoveTheChordsAndSectionsRepickTheArrangement) {
  Ready();
  for (int v = 0; v < 5; ++v) player->m_patternCount[v] = 3;
  player->m_sectionBars = 4;
  std::vector<std::string> chords;
  std::vector<int> bars;
  for (int bar = 0; bar < 12; ++bar) {
    for (int row = 0; row < 64; ++row) Row();
    chords.push_back(player->m_chord.ToUtf8());
    bars.push_back(player->m_sectionBars);
  }
  EXPECT_EQ(chords[0], "qjj");
  EXPECT_EQ(chords[1], "jj");
  EXPECT_EQ(chords[2], "j");
  const std::vector<std::string> table = {"qqqq", "qqjj", "qqbb", "qbqb", "qqqj"};
  EXPECT_NE(std::find(table.begin(), table.end(), chords[3]), table.end()) << chords[3];
  EXPECT_EQ(chords[4], chords[3].substr(1));
  // The first section ran its four bars; later ones last 2 or 4.
  EXPECT_EQ(bars[3] == 2 || bars[3] == 4, true) << bars[3];
  EXPECT_GE(player->m_section, 2);
  for (int v = 0; v < 5; ++v) {
    EXPECT_GE(player->m_pattern[v], 0);
    EXPECT_LE(player->m_pattern[v], 3);
  }
  for (int s = 0; s < 12; ++s) EXPECT_TRUE(bars[s] >= 1 && bars[s] <= 4) << s;
}

TEST_F(MusicTest, BothDrumKitsAreNeverSilentTogether) {
  player->p_QZ_Init(32, 4, 3, 3, 4);
  // Find a seed whose draws silence both kits: the fourth draw after the
  // voice's seed and eleven discarded draws is its silence.
  auto drawnMute = [](int seed, int v) {
    vx_random_Seed = seed + v * 7;
    for (int i = 0; i < 14; ++i) vx_random_Rnd();
    return vx_random_RandInt(0, 1);
  };
  int seed = 0;
  while (!(drawnMute(seed, 0) == 1 && drawnMute(seed, 1) == 1)) ++seed;
  player->p_QZ_StartTune(String("t"), seed, 100);
  EXPECT_EQ(player->m_mute[0], 0);
  EXPECT_EQ(player->m_mute[1], 1);

  player->m_loadStage = 0;
  gc_assign(player->m_drumsA[1], audio->Sound("a1"));
  gc_assign(player->m_drumsB[1], audio->Sound("b1"));
  Put(0, 0, 0, 13, 20);
  Put(0, 1, 0, 13, 20);
  audio->Clear();
  player->m_nextStep = clock.now;
  Row();
  EXPECT_TRUE(Has(audio->calls, "play31:a1,0"));
  EXPECT_FALSE(Has(audio->calls, "play30:b1,0"));
}

TEST_F(MusicTest, TheSameSeedPlaysTheSameSectionsAndAnotherSeedOthers) {
  player->p_QZ_Init(32, 4, 3, 3, 4);
  player->p_QZ_StartTune(String("t"), 37171650, 100);
  player->m_loadStage = 0;
  gc_assign(player->m_drumsA[1], audio->Sound("a1"));
  gc_assign(player->m_drumsB[2], audio->Sound("b2"));
  for (int k = 2; k <= 4; ++k) gc_assign(player->m_inst[k], audio->Sound("i" + std::to_string(k)));
  for (int p = 0; p <= 5; ++p) {
    for (int v = 0; v < 5; ++v) {
      player->m_patternCount[v] = 5;
      for (int row = 0; row < 64; row += 4) Put(p, v, row, v < 2 ? 13 + 2 * (p % 2) : 1 + p * 5 + v, 30);
    }
  }
  auto run = [&](int seed) {
    for (int v = 0; v < 5; ++v) {
      player->m_env[v] = player->m_vol[v] = player->m_rate[v] = 0.0f;
      player->m_sounding[v] = 0;
    }
    player->p_QZ_StartTune(String("t"), seed, 100);
    EXPECT_EQ(player->m_loadStage, 0);  // the same tune: nothing loads again
    player->m_nextStep = clock.now;
    audio->Clear();
    for (int i = 0; i < 64 * 16; ++i) Row();
    return audio->calls;
  };
  const std::vector<std::string> first = run(37171650);
  const std::vector<std::string> again = run(37171650);
  const std::vector<std::string> other = run(99);
  EXPECT_GT(first.size(), 500u);
  EXPECT_EQ(first, again);
  EXPECT_NE(first, other);
}

TEST_F(MusicTest, InstrumentsLoadStageByStageFromTheSeededChoice) {
  player->p_QZ_Init(32, 4, 3, 3, 4);
  player->p_QZ_StartTune(String("Retro/Grimble"), 37171650, 100);
  EXPECT_EQ(player->m_tunePath.ToUtf8(), "tunes/Retro/Grimble.png");
  EXPECT_EQ(player->m_loadStage, 1);
  EXPECT_EQ(player->m_state, 2);
  EXPECT_EQ(player->m_tempo, 100);
  EXPECT_EQ(player->m_nextStep, clock.now + 100);
  for (int k = 1; k <= 2; ++k) EXPECT_TRUE(player->m_choice[k] >= 1 && player->m_choice[k] <= 4);
  EXPECT_TRUE(player->m_choice[3] >= 1 && player->m_choice[3] <= 3);
  EXPECT_TRUE(player->m_choice[4] >= 1 && player->m_choice[4] <= 3);
  EXPECT_TRUE(player->m_choice[5] >= 1 && player->m_choice[5] <= 4);
  EXPECT_TRUE(player->m_sectionBars == 2 || player->m_sectionBars == 4);
  EXPECT_EQ(player->m_chord.ToUtf8(), "qqjj");
  for (int v = 0; v < 5; ++v) EXPECT_EQ(player->m_channel[v], 32 - v);

  int calls = 0;
  while (player->m_loadStage != 0 && calls < 100) {
    clock.now += 16;
    player->p_QZ_LoadChunk();
    ++calls;
  }
  EXPECT_EQ(calls, 70);
  EXPECT_EQ(player->m_nextStep, clock.now + 100);
  std::vector<std::string> expected;
  auto d = [](int kit, int k) {
    return "load:zorbel://data/inst/d" + std::to_string(kit) + "-" + std::to_string(k) + ".wav";
  };
  for (int k = 1; k <= 8; ++k) expected.push_back(d(player->m_choice[1], k));
  for (int k = 1; k <= 8; ++k) expected.push_back(d(player->m_choice[2], k));
  expected.push_back("load:zorbel://data/inst/lead" + std::to_string(player->m_choice[3]) + ".wav");
  expected.push_back("load:zorbel://data/inst/accompany" + std::to_string(player->m_choice[4]) + ".wav");
  expected.push_back("load:zorbel://data/inst/bass" + std::to_string(player->m_choice[5]) + ".wav");
  EXPECT_EQ(audio->calls, expected);
  for (int k = 1; k <= 8; ++k) {
    ASSERT_NE(player->m_drumsA[k], nullptr);
    ASSERT_NE(player->m_drumsB[k], nullptr);
  }
  EXPECT_EQ(player->m_drumsA[0], nullptr);
  for (int k = 2; k <= 4; ++k) EXPECT_NE(player->m_inst[k], nullptr);
  // No picture device here: the tune failed to load and nothing was decoded.
  EXPECT_EQ(player->m_tuneImage, nullptr);
  for (int v = 0; v < 8; ++v) EXPECT_EQ(player->m_patternCount[v], 0);

  // The samples survive a collection while the player holds them.
  gc_collect_all(nullptr);
  EXPECT_EQ(audio->names.count(player->m_inst[2]->m_sample), 1u);

  // Restarting the same tune with another seed re-picks but loads nothing.
  audio->Clear();
  player->p_QZ_StartTune(String("Retro/Grimble"), 5, 100);
  EXPECT_EQ(player->m_loadStage, 0);
  // Another tune starts over with empty counts and patterns.
  player->m_patternCount[2] = 7;
  player->m_pattern[2] = 6;
  player->p_QZ_StartTune(String("Retro/Snorwick"), 5, 100);
  EXPECT_EQ(player->m_loadStage, 1);
  EXPECT_EQ(player->m_patternCount[2], 0);
  EXPECT_EQ(player->m_pattern[2], 0);
}

TEST_F(MusicTest, PitchTablesChordsAndTheDraw) {
  EXPECT_FLOAT_EQ(player->p_GetPitch(1), 0.5f);
  EXPECT_FLOAT_EQ(player->p_GetPitch(13), 1.0f);
  EXPECT_FLOAT_EQ(player->p_GetPitch(19), 1.414f);
  EXPECT_FLOAT_EQ(player->p_GetPitch(32), 2.996f);
  EXPECT_EQ(player->p_GetPitch(0), 0.0f);
  EXPECT_EQ(player->p_GetPitch(33), 0.0f);
  EXPECT_EQ(player->p_GetPitch(-1), 0.0f);
  const char letters[] = "zsxdcvgbhnjmq2w3er5t6y7ui9o0p[=]";
  for (int step = 1; step <= 32; ++step) {
    EXPECT_EQ(player->p_GetPitch_Alpha(letters[step - 1]), player->p_GetPitch(step)) << step;
  }
  EXPECT_EQ(player->p_GetPitch_Alpha('a'), 0.0f);
  EXPECT_EQ(player->p_GetPitch_Alpha(0), 0.0f);
  EXPECT_EQ(player->p_QZ_GetChord(0).ToUtf8(), "qqqq");
  EXPECT_EQ(player->p_QZ_GetChord(3).ToUtf8(), "qbqb");
  EXPECT_EQ(player->p_QZ_GetChord(5).ToUtf8(), "qqzz");
  EXPECT_EQ(player->p_QZ_GetChord(6).ToUtf8(), "qqjj");
  EXPECT_EQ(player->p_QZ_GetChord(-1).ToUtf8(), "qqjj");

  int seen[4] = {0, 0, 0, 0};
  vx_random_Seed = 1234;
  for (int i = 0; i < 20000; ++i) {
    const int a = player->p_Rand(0, 1), b = player->p_Rand(1, 2);
    ASSERT_TRUE(a == 0 || a == 1);
    ASSERT_TRUE(b == 1 || b == 2);
    ++seen[a];
    ++seen[b + 1];
  }
  for (int n : seen) EXPECT_GT(n, 9000);
  // The draw is the framework's: the same state gives the same number.
  vx_random_Seed = 77;
  const int mine = player->p_Rand(1, 4);
  vx_random_Seed = 77;
  EXPECT_EQ(mine, vx_random_RandInt(1, 4));
}
