// What the game remembers (game/savedata.cpp): the 98-field text kept by the
// host, with section checksums worked out here from the values, and how a
// damaged or short text resets only what it must.
#include <cstdint>
#include <string>

#include "tests/support/myapp.h"

namespace {

class SavedData : public StartedAppTest {
 protected:
  // Loads a text as the start does and returns the status lines printed.
  std::string Load(const std::string& text) {
    host.state = text;
    testing::internal::CaptureStdout();
    app->p_Load();
    return testing::internal::GetCapturedStdout();
  }
};

std::vector<std::string> Split(const std::string& s) {
  std::vector<std::string> out;
  for (size_t at = 0, bar; (bar = s.find('|', at)) != std::string::npos; at = bar + 1)
    out.push_back(s.substr(at, bar - at));
  return out;
}

// A saved text built field by field, each section's checksum worked out here
// from its values: each value times its weight, wrapping at 32 bits.
struct Text {
  std::string s;
  uint32_t sum = 0;
  void Put(int32_t v, uint32_t weight) {
    s += std::to_string(v) + "|";
    sum += weight * (uint32_t)v;
  }
  void Checksum() { Put((int32_t)sum, 0), sum = 0; }
};

std::string Join(const std::vector<std::string>& fields) {
  std::string s;
  for (const std::string& f : fields) s += f + "|";
  return s;
}

TEST_F(SavedData, AFirstRunSavesTheDefaultsAndAShortTextLoadsOnlyItsWholeSections) {
  app->p_Save();
  const std::vector<std::string> full = Split(host.state);
  EXPECT_EQ(full.size(), 98u);
  EXPECT_EQ(host.state.substr(0, host.state.find("1483|") + 5),
            "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|1483|");
  EXPECT_EQ(vx_Quorvex_overscan, 0.0f) << "no border on the desktop";
  EXPECT_EQ(Load(""), "") << "nothing saved, nothing printed";
  app->m_hiScores[0] = 123;
  EXPECT_EQ(Load(Join({full.begin(), full.begin() + 35})), "Settings Loaded\nBadges Loaded\n")
      << "options and badges only: the tables are skipped";
  EXPECT_EQ(app->m_hiScores[0], 123);
}

// Each section's checksum follows it.
TEST_F(SavedData, EveryFieldAndChecksumIsWrittenAndReadBackInPlace) {
  const int opt[25] = {7, -3, 0, 9, 11, 2, 0, 0, 5, 0, 100, 200,       15,
                       0, 1,  0, 0, 0,  0, 0, 0, 0, 0, -8,  2000000000};
  Text text;
  for (int i = 0; i < 25; ++i) text.Put(app->m_opt[i] = opt[i], i);
  text.Checksum();
  // Badges 0 and 31 in word 0 (negative), 40 in word 1, 255 in word 7.
  for (int b : {0, 31, 40, 255}) app->m_badges[b] = true;
  for (int32_t w : {(int32_t)0x80000001u, 256, 0, 0, 0, 0, 0, (int32_t)0x80000000u}) text.Put(w, 1);
  text.Checksum();
  for (int t = 0; t < 3; ++t) {
    for (int k = 0; k < 10; ++k) {
      text.Put(app->m_hiScores[10 * t + k] = 1000 + 100 * (10 * t + k), k + 4);  // best
      text.Put(app->m_hiScores[10 * t + k + kLatestTen] = 5000 + 7 * (10 * t + k),
               t + k + 3);  // latest
    }
    text.Checksum();
  }
  app->p_Save();
  EXPECT_EQ(host.state, text.s);

  for (int i = 0; i < 25; ++i) app->m_opt[i] = 0;
  for (int i = 0; i < 256; ++i) app->m_badges[i] = false;
  for (int i = 0; i < 60; ++i) app->m_hiScores[i] = 0;
  EXPECT_EQ(Load(text.s),
            "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 "
            "Loaded\n");
  app->p_Save();
  EXPECT_EQ(host.state, text.s) << "every value read back into its place";
}

TEST_F(SavedData, ADamagedSectionIsResetAloneAndTheLaterSectionsStillLoad) {
  app->m_opt[2] = 5;
  app->m_opt[3] = 9;
  app->m_badges[40] = true;
  for (int i = 0; i < 60; ++i) app->m_hiScores[i] = 50 + i;
  app->p_Save();
  std::vector<std::string> f = Split(host.state);
  std::swap(f[2], f[3]);  // the weighted checksum tells the order
  f[27] = "257";          // badge 32 too
  f[57] = "99999";        // table 1's first latest score
  EXPECT_EQ(Load(Join(f)),
            "Settings Checksum Invalid\nBadge Checksum Invalid\nHighscore 0 Loaded\n"
            "Highscore 1 Checksum Invalid\nHighscore 2 Loaded\n");
  EXPECT_EQ(app->m_opt[2] + app->m_opt[3] + app->m_opt[kOptSound], 1) << "the defaults";
  EXPECT_EQ(app->m_opt[kOptPadSize], 10) << "the limits still apply after a reset";
  for (int i = 0; i < 256; ++i) EXPECT_FALSE(app->m_badges[i]) << i;
  for (int k = 0; k < 10; ++k) EXPECT_EQ(app->m_hiScores[10 + k] + app->m_hiScores[40 + k], 0);
  EXPECT_EQ(app->m_hiScores[0] + app->m_hiScores[20] + app->m_hiScores[50], 50 + 70 + 100);
}

// Hand-edited texts whose checksums agree: every option at -1 or a limit of
// its 32-bit range, every badge, every score at that value. Each loads and
// plays through the carousel, the options, a game, the pause menu, game over
// and the credits; a sound mode outside the modes reads as off.
TEST_F(SavedData, ExtremeValuesWithRightChecksumsLoadAndPlayThroughEveryScreen) {
  for (int32_t v : {INT32_MIN, -1, INT32_MAX}) {
    SCOPED_TRACE(v);
    Text text;
    for (int i = 0; i < 25; ++i) text.Put(v, i);
    text.Checksum();
    for (int g = 0; g < 8; ++g) text.Put(-1, 1);
    text.Checksum();
    for (int t = 0; t < 3; ++t) {
      for (int k = 0; k < 10; ++k) text.Put(v, k + 4), text.Put(v, t + k + 3);
      text.Checksum();
    }
    ASSERT_EQ(Load(text.s),
              "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 "
              "Loaded\n");
    for (int key : {39, 39, 39, 37, 37}) Tap(key);  // round the carousel
    app->m_showOptions = 1;
    app->m_optSel = 0;
    Update(31);
    EXPECT_EQ(app->m_opt[kOptSound], 0) << "outside the modes: off";
    for (int line = 0; line < 8; ++line) Tap(40);
    Tap(27);  // closes the options
    Update(31);
    NewGame(1);
    app->m_mouseDown = 1;
    Update(300);
    app->m_mouseDown = 0;
    Tap(27);  // pause
    Update(15);
    Tap(37), Tap(37), Tap(32);  // quit
    EXPECT_EQ(app->m_gameOver, 1);
    Update(600);
    Tap(78);  // the credits
    Update(60);
    Tap(32);
    Update(40);
  }
}

}  // namespace
