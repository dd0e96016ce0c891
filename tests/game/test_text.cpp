// Bitmap text and number padding (game/text.cpp), read back as glyph records.
#include "tests/support/myapp.h"

namespace {

class Text : public MyAppTest {
 protected:
  // A font in slot 5: advance 10, line height 14.
  void SetUp() override {
    MyAppTest::SetUp();
    app->m_imgSize[15] = 10;
    app->m_imgSize[16] = 14;
    app->m_font = 5;
  }
  std::vector<DrawRecord> Write(const String& s, float x = 100, float y = 200, float ax = 0,
                                float ay = 1) {
    app->m_drawCount = 0;
    app->p_Text(x, y, s, ax, ay);
    return Records();
  }
};

TEST_F(Text, GlyphsAreFontFramesOfTheirCodeMinus32AndLettersAdvanceByTheirKerning) {
  const Char codes[] = {'!', 'A', 159, 160, 0, ' ', 'B'};
  app->p_SetSize(2, 3);
  const std::vector<DrawRecord> g = Write(String(codes, 7));
  ASSERT_EQ(g.size(), 4u) << "only codes 33 to 159 have glyphs";
  const float frames[4] = {1, 33, 127, 34},
              xs[4] = {100, 120, 140, 200};  // 160 and space advance, 0 does not
  for (int i = 0; i < 4; ++i)                // the font's slot at the drawing size
    EXPECT_EQ(std::vector<float>({g[i].kind, g[i].h, g[i].frame, g[i].x}),
              std::vector<float>({5, 3, frames[i], xs[i]}))
        << i;
  const char letters[] =
      "wmWMifljskrztnAo1";  // each advances by 10 and its kerning, at width factor 2
  const int kern[] = {2, 2, 1, 1, -3, -3, -3, -1, -1, -1, -1, -1, -1, -1, 0, 0, 0};
  const std::vector<DrawRecord> p = Write(String(letters) + String("A"));
  ASSERT_EQ(p.size(), 18u);
  for (int i = 0; i < 17; ++i)
    EXPECT_FLOAT_EQ(p[i + 1].x - p[i].x, (10 + kern[i]) * 2.0f) << letters[i];
}

TEST_F(Text, AlignmentPlacesTheWholeBlockAndBackslashNBreaksTheLine) {
  // The block is centred as one, 59 wide: all six characters, the n one narrower.
  const std::vector<DrawRecord> g = Write(String("AB\\nCD"), 200, 100, 1, 1);
  ASSERT_EQ(g.size(), 4u);
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(g[i].x, 200 - 59.0f / 2 + 10 * (i % 2), 1e-3) << i;
    EXPECT_NEAR(g[i].y, 100 + 14 * (i / 2), 1e-3) << i;
  }
  EXPECT_EQ(Write(String("A\\x")).size(), 3u) << "a backslash without n is a glyph";
  app->p_SetSize(1.25f);  // 12.5 a letter, but the width drops the fraction after each
  EXPECT_FLOAT_EQ(Write(String("ABC"), 300, 50, 1)[0].x, 300.0f - 18.0f);
  const std::vector<DrawRecord> right = Write(String("ABC"), 300, 50, 2);
  EXPECT_FLOAT_EQ(right[0].x, 300.0f - 36.0f);
  EXPECT_FLOAT_EQ(right[2].x, 300.0f - 36.0f + 25.0f) << "the pen keeps its fractions";
  app->p_SetSize(1, 2);
  EXPECT_NEAR(Write(String("A"), 0, 100, 0, 0)[0].y, 114.0f, 1e-3) << "y is the top edge";
}

TEST_F(Text, NumbersAreRightAlignedInTheirDigitsAndLoseLeadingDigitsWhenWider) {
  struct Case {
    int value, digits;
    const char *pad, *text;
  };
  for (Case k : {Case{123456, 5, "0", "23456"}, Case{42, 5, "0", "00042"}, Case{7, 3, " ", "  7"},
                 Case{-5, 3, "0", "0-5"}, Case{7, 3, "ab", "ab7"}, Case{5, 0, "0", ""}})
    EXPECT_EQ(app->p_rstr(k.value, k.digits, String(k.pad)).ToUtf8(), k.text);
  EXPECT_EQ(app->p_rstr2(123, String("0")).ToUtf8(), "0000000123");
  EXPECT_EQ(app->p_rstr2(-2147483647 - 1, String("0")).ToUtf8(), "2147483648");
}

}  // namespace
