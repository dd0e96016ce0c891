// The sequencer and voice engine (music/qzplayer_play.cpp): the game's player
// against the recording audio device and the fake host's clock.
#include <algorithm>
#include <string>

#include "tests/support/myapp.h"

namespace {

class QZPlayerPlay : public MyAppTest {
 protected:
  // Channels 31 to 27, tune "t" loaded, tempo 100, every voice on and on
  // pattern 0, four bars to go, the first row due now.
  void SetUp() override {
    MyAppTest::SetUp();
    player = app->m_music;
    player->p_QZ_Init(32, 4, 3, 3, 4);
    player->p_QZ_StartTune(String("t"), 1, 100);
    player->m_loadStage = 0;
    for (int v = 0; v < 5; ++v) player->m_mute[v] = player->m_fill[v] = player->m_pattern[v] = 0;
    player->m_sectionBars = 4;
    player->m_nextStep = host.now;
    audio->Clear();
  }
  void Put(int pattern, int voice, int row, int note, int volume, int effect = 0, int arg = 0) {
    int* f = &player->m_tune[pattern * 4096 + voice * 512 + row * 8];
    f[0] = note, f[1] = volume, f[2] = effect, f[3] = arg;
  }
  // One row: the clock just past its due time.
  void Row() {
    host.now = std::max(host.now, player->m_nextStep + 1);
    player->p_QZ_Alive_U(0, 1);
  }
  c_QZPlayer* player = nullptr;
};

TEST_F(QZPlayerPlay, RowsFallDueOnAFixedGridOneAtATime) {
  Put(0, 2, 0, 13, 30);
  const int due = player->m_nextStep;
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 0) << "due exactly now is not yet due";
  host.now = due + 5000;  // far behind: still one row a call, 80 ms after the last
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(audio->Count("rate29=1"), 1);
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(std::make_pair(player->m_step, player->m_nextStep), std::make_pair(2, due + 160));
  player->m_tempo = 95;  // 84.2 ms, whole milliseconds
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_nextStep, due + 244);
  player->m_nextStep = host.now + 200000;  // a clock that went back: due
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 4);
}

TEST_F(QZPlayerPlay, AnEndOfPatternSendsTheLaterVoicesToRow63AndABarEndsAfterRow63) {
  player->m_step = 10;
  player->m_sectionBars = 3;
  Put(0, 0, 10, 0, 0, 8);
  for (int v = 2; v <= 4; ++v) {
    Put(0, v, 10, 13, 30);
    Put(0, v, 63, 20, 30);
  }
  Row();
  Put(0, 0, 10, 0, 0);
  EXPECT_EQ(
      audio->Count("rate29=1.498") + audio->Count("rate28=1.498") + audio->Count("rate27=1.498"),
      3);
  EXPECT_EQ(audio->Count("rate29="), 1) << "row 10 of the later voices never sounds";
  EXPECT_EQ(std::make_pair(player->m_step, player->m_sectionBars), std::make_pair(0, 2))
      << "64 rows a bar";
  EXPECT_EQ(player->m_chord.ToUtf8(), "qjj") << "the next chord letter";
  for (int i = 0; i < 63; ++i) Row();
  EXPECT_EQ(std::make_pair(player->m_step, player->m_chord.ToUtf8()),
            std::make_pair(63, std::string("qjj")));
  Row();
  EXPECT_EQ(player->m_chord.ToUtf8(), "jj");
}

TEST_F(QZPlayerPlay, APatternSwitchFollowsTheParityOfTheBarsLeftWithinPatterns0To63) {
  struct Case {
    int from, arg, bars, to;
  };
  for (Case k : {Case{0, 1, 3, 1}, Case{0, 1, 2, 0}, Case{5, 2, 2, 4}, Case{0, 2, 2, 0},
                 Case{63, 1, 1, 63}}) {
    SCOPED_TRACE(testing::Message() << k.from << " arg " << k.arg << " bars " << k.bars);
    player->m_step = 0;
    player->m_pattern[2] = k.from;
    player->m_sectionBars = k.bars;
    Put(k.from, 2, 0, 13, 30, 27, k.arg);
    Put(k.to, 2, 0, k.to == k.from ? 13 : 20, 30, k.to == k.from ? 27 : 0, k.arg);
    audio->Clear();
    Row();
    EXPECT_EQ(player->m_pattern[2], k.to);
    EXPECT_EQ(audio->Count(k.to == k.from ? "rate29=1" : "rate29=1.498"), 1)
        << "the switched-to pattern's row";
  }
}

TEST_F(QZPlayerPlay, DrumsHitTheirKitsSoundsAndNotesPlayTheirStepTimesTheChord) {
  for (int k = 1; k <= 8; ++k)
    gc_assign(player->m_drumsB[k], audio->Sound("b" + std::to_string(k)));
  gc_assign(player->m_drumsA[1], audio->Sound("a1"));
  gc_assign(player->m_inst[4], audio->Sound("bass"));
  player->m_chord = String("jq");
  player->p_QZ_PlayNote(0, 13, 0, 0, 0);
  player->p_QZ_PlayNote(1, 25, 0, 0, 0);
  player->p_QZ_PlayNote(1, 14, 0, 0, 0);  // no drum: only the stop
  player->p_QZ_PlayNote(4, 25, 30, 0, 0);
  player->m_mute[4] = 1;
  player->p_QZ_PlayNote(4, 13, 30, 3, 10);  // a silent voice plays nothing
  EXPECT_EQ(audio->Calls(),
            "stop31 play31:a1,0 pan31=-0.35 stop30 play30:b8,0 pan30=0.35 stop30 "
            "vol27=0.5 stop27 rate27=1.782 play27:bass,1");
  EXPECT_FLOAT_EQ(player->m_env[0], 3.9f) << "a drum's envelope starts at 4";
}

TEST_F(QZPlayerPlay, AFullNoteHoldsFourRowsThenFadesToNothingByItsFifteenth) {
  player->p_QZ_PlayNote(3, 0, 15, 0, 0);
  EXPECT_EQ(audio->Calls(), "vol28=" + test_support::Num(14.0f / 29.0f * 0.5f));
  player->p_QZ_PlayNote(3, 0, 31, 0, 0);
  EXPECT_EQ(audio->calls.back(), "vol28=0") << "31 is silence";
  player->p_QZ_PlayNote(3, 0, 30, 0, 0);
  std::vector<float> levels = {player->m_vol[3]};
  audio->Clear();
  for (int row = 2; row <= 15; ++row) {
    player->p_QZ_PlayNote(3, 0, 0, 0, 0);
    levels.push_back(player->m_vol[3]);
  }
  EXPECT_EQ(audio->calls.size(), 11u) << "a volume call from the fifth row on";
  EXPECT_EQ(std::vector<float>(levels.begin(), levels.begin() + 4), std::vector<float>(4, 1.0f));
  for (int i = 4; i < 14; ++i) EXPECT_LT(levels[i], levels[i - 1]) << i;
  EXPECT_EQ(levels[14], 0.0f);
}

TEST_F(QZPlayerPlay, SlidesMoveTheRateWithinAQuarterAndFour) {
  struct Case {
    float from;
    int effect, arg;
    float to;
  };
  for (Case k : {Case{3.9f, 3, 31, 4}, Case{0.5f, 4, 31, 0.25f}, Case{1, 1, 18, 1.1f},
                 Case{1.1f, 2, 9, 1.05f}, Case{1, 5, 31, 1}}) {
    player->m_rate[2] = k.from;
    player->p_QZ_PlayNote(2, 0, 0, k.effect, k.arg);
    EXPECT_FLOAT_EQ(player->m_rate[2], k.to) << "effect " << k.effect;
  }
  EXPECT_EQ(audio->Count("rate29="), 4) << "effect 5 is no slide";
}

TEST_F(QZPlayerPlay, PausingOrSwitchingOffSilencesTheVoicesAndHoldsTheRows) {
  gc_assign(player->m_inst[2], audio->Sound("lead"));
  Put(0, 2, 0, 13, 30);
  Row();
  audio->Clear();
  player->p_QZ_Alive_U(1, 1);
  EXPECT_EQ(audio->Calls(), "stop29");
  EXPECT_EQ(player->m_nextStep, host.now + 150) << "the rows resume 150 ms after the pause";
  host.now += 1000;
  player->m_sounding[2] = 1;
  player->p_QZ_Alive_U(0, 0);
  EXPECT_EQ(audio->Calls(), "stop29 stop29")
      << "music off: nothing plays, nothing is left sounding";
  player->m_loadStage = 5;  // nor while anything loads
  host.now += 1000;
  player->p_QZ_Alive_U(0, 1);
  player->m_loadStage = 0;
  player->p_QZ_Stop(1);  // nor once stopped
  player->p_QZ_Alive_U(0, 1);
  EXPECT_EQ(player->m_step, 1);
}

// The game's seed arranges the same sections every time: each lasts its bars (2 or 4,
// drawn at the end of the one before), then every voice re-picks its pattern.
TEST_F(QZPlayerPlay, SectionsLastTheirBarsAndTheGameSeedArrangesThem) {
  for (int v = 0; v < 5; ++v) player->m_patternCount[v] = 63;
  player->p_QZ_StartTune(String("t"), 37171650, 100);
  player->m_nextStep = host.now;
  EXPECT_EQ(player->m_sectionBars, 2);
  const int patterns[4][5] = {
      {12, 62, 49, 36, 23}, {22, 9, 60, 47, 33}, {33, 19, 6, 57, 44}, {43, 30, 17, 3, 54}};
  const int bars[4] = {2, 2, 2, 4};
  for (int s = 0; s < 4; ++s) {
    for (int i = 0; i < 64 * (s ? bars[s - 1] : 2) - 1; ++i) Row();
    EXPECT_EQ(player->m_section, s) << "one row before its end";
    Row();
    ASSERT_EQ(player->m_section, s + 1);
    EXPECT_EQ(std::vector<int>(player->m_pattern.Data(), player->m_pattern.Data() + 5),
              std::vector<int>(patterns[s], patterns[s] + 5))
        << "section " << s + 1;
    EXPECT_EQ(player->m_sectionBars, bars[s]);
    EXPECT_TRUE(player->m_mute[0] == 0 || player->m_mute[1] == 0) << "one drum kit always plays";
  }
}

}  // namespace
