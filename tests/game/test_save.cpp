// The saved state's text: what p_SavePayload writes, what p_LoadPayload takes
// back, and how a damaged or short text resets only what it must.
#include <gtest/gtest.h>

#include <string>

#include "game/myapp.h"

namespace {

class SavedData : public ::testing::Test {
 protected:
  c_MyApp* app = nullptr;

  void SetUp() override {
    app = new c_MyApp();
    for (int i = 0; i < 25; ++i) app->m_opt[i] = 0;
    app->m_opt[5] = 1;
  }

  // Loads a text and returns the status lines printed.
  std::string Load(const String& text) {
    testing::internal::CaptureStdout();
    app->p_LoadPayload(text);
    return testing::internal::GetCapturedStdout();
  }

  std::string Payload() { return app->p_SavePayload().ToUtf8(); }
};

int Fields(const std::string& s) {
  int n = 0;
  for (char c : s) n += c == '|';
  return n;
}

TEST_F(SavedData, FirstRunGivesTheDefaultsAndTheirChecksum) {
  EXPECT_EQ(Load(String()), "") << "nothing saved, nothing printed";
  EXPECT_EQ(app->m_opt[5], 1);
  EXPECT_EQ(app->m_opt[10], 64);
  EXPECT_EQ(app->m_opt[11], 64);
  EXPECT_EQ(app->m_opt[12], 10);
  EXPECT_EQ(app->m_opt[14], 1) << "no border on the desktop";
  EXPECT_EQ(vx_Quorvex_overscan, 0.0f);
  const std::string p = Payload();
  EXPECT_EQ(Fields(p), 98);
  EXPECT_NE(p[0], '|');
  EXPECT_EQ(p.back(), '|');
  EXPECT_EQ(p.substr(0, p.find("1483|") + 5),
            "0|0|0|0|0|1|0|0|0|0|64|64|10|0|1|0|0|0|0|0|0|0|0|0|0|1483|");
}

TEST_F(SavedData, EverythingSurvivesARoundTrip) {
  Load(String());
  app->m_opt[3] = -7;
  app->m_badges[0] = true;
  app->m_badges[31] = true;  // bit 31: a negative word
  app->m_badges[255] = true;
  for (int i = 0; i < 60; ++i) app->m_hiScores[i] = 1000 * i + 17;
  const String text = app->p_SavePayload();
  EXPECT_NE(text.ToUtf8().find("|-2147483647|"), std::string::npos) << "bits 0 and 31 of word 0";

  c_MyApp* other = new c_MyApp();
  testing::internal::CaptureStdout();
  other->p_LoadPayload(text);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(printed,
            "Settings Loaded\nBadges Loaded\nHighscore 0 Loaded\nHighscore 1 Loaded\nHighscore 2 Loaded\n");
  for (int i = 0; i < 25; ++i) EXPECT_EQ(other->m_opt[i], app->m_opt[i]) << "option " << i;
  for (int i = 0; i < 256; ++i) EXPECT_EQ(other->m_badges[i], app->m_badges[i]) << "badge " << i;
  for (int i = 0; i < 60; ++i) EXPECT_EQ(other->m_hiScores[i], app->m_hiScores[i]) << "score " << i;
  EXPECT_EQ(other->p_SavePayload(), text);
}

TEST_F(SavedData, ADamagedSectionIsResetAloneAndLaterSectionsStillLoad) {
  Load(String());
  app->m_opt[2] = 5;
  app->m_opt[3] = 9;
  app->m_badges[40] = true;
  for (int i = 0; i < 60; ++i) app->m_hiScores[i] = 50 + i;
  std::string p = Payload();
  // Swap two different option values: the weighted checksum catches it.
  p.replace(0, 8, "0|0|9|5|");
  // Raise one latest score of table 1 (field 58 = best[0], 59 = latest[0]).
  size_t at = 0;
  for (int i = 0; i < 58; ++i) at = p.find('|', at) + 1;
  p.replace(at, p.find('|', at) - at, "99999");

  const std::string printed = Load(String(p.c_str()));
  EXPECT_EQ(printed,
            "Settings Checksum Invalid\nBadges Loaded\nHighscore 0 Loaded\n"
            "Highscore 1 Checksum Invalid\nHighscore 2 Loaded\n");
  EXPECT_EQ(app->m_opt[2], 0);
  EXPECT_EQ(app->m_opt[3], 0);
  EXPECT_EQ(app->m_opt[5], 1);
  EXPECT_EQ(app->m_opt[12], 10) << "limits still apply after a reset";
  EXPECT_TRUE(app->m_badges[40]);
  EXPECT_EQ(app->m_hiScores[0], 50);
  for (int k = 0; k < 10; ++k) {
    EXPECT_EQ(app->m_hiScores[10 + k], 0);
    EXPECT_EQ(app->m_hiScores[40 + k], 0);
  }
  EXPECT_EQ(app->m_hiScores[20], 70);
  EXPECT_EQ(app->m_hiScores[50], 100);
}

TEST_F(SavedData, ShortAndHostileTexts) {
  Load(String());
  std::string p = Payload();
  // Options and badges only: 35 fields, the tables are skipped.
  size_t at = 0;
  for (int i = 0; i < 35; ++i) at = p.find('|', at) + 1;
  app->m_hiScores[0] = 123;
  EXPECT_EQ(Load(String(p.substr(0, at).c_str())), "Settings Loaded\nBadges Loaded\n");
  EXPECT_EQ(app->m_hiScores[0], 123);

  // Fewer than 26 fields: options keep their values, nothing is printed.
  app->m_opt[3] = 4;
  EXPECT_EQ(Load(String("1|2|3|")), "");
  EXPECT_EQ(app->m_opt[3], 4);

  // Pad size 7 loads as 10, 8 stays; numbers are read like atoi.
  auto withPad = [](int pad) {
    std::string s;
    int sum = 0;
    for (int i = 0; i < 25; ++i) {
      int v = i == 12 ? pad : (i == 10 || i == 11 ? 100 : 0);
      s += std::to_string(v) + "|";
      sum += i * v;
    }
    return s + std::to_string(sum) + "|";
  };
  Load(String(withPad(7).c_str()));
  EXPECT_EQ(app->m_opt[12], 10);
  Load(String(withPad(8).c_str()));
  EXPECT_EQ(app->m_opt[12], 8);
  EXPECT_EQ(app->m_opt[10], 100);

  // Garbage, leading junk and absurd lengths never crash and read as numbers.
  std::string junk = "  12abc|x|-|+5|" + std::string(5000, '9') + "|";
  for (int i = 0; i < 30; ++i) junk += "\x01\xff|";
  // The badge words and their checksum all read as 0, which is consistent.
  EXPECT_EQ(Load(String(junk.c_str())), "Settings Checksum Invalid\nBadges Loaded\n");
  for (int i = 0; i < 256; ++i) EXPECT_FALSE(app->m_badges[i]);
  EXPECT_EQ(app->m_opt[0], 0);
  EXPECT_EQ(app->m_opt[5], 1);
}

}  // namespace
