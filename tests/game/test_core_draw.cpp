// The drawing helpers of the application: the drawing state, the 15-float
// records of the frame's draw list and its 2,499-record cap, the bitmap text
// writer (kerning, alignment, rotation, the two-character line break), number
// padding and the pointer hit tests of buttons and boxes.
// Everything here is recorded, not drawn, so no window or device is needed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "game/myapp.h"

namespace {

constexpr int kFloats = 15;
constexpr float kUntouched = 777.0f;  // what the list holds where nothing was written

struct Rec {
  float v[kFloats];
  float kind() const { return v[0]; }
  float x() const { return v[1]; }
  float y() const { return v[2]; }
  float rot() const { return v[3]; }
  float sx() const { return v[4]; }
  float sy() const { return v[5]; }
  float frame() const { return v[6]; }
};

class Drawing : public ::testing::Test {
 protected:
  static constexpr int kFont = 5;
  static constexpr int kCharW = 10;
  static constexpr int kCharH = 14;
  c_MyApp* app = nullptr;

  void SetUp() override {
    vx_Quorvex_jscrw = 640;
    vx_Quorvex_jscrh = 480;
    app = new c_MyApp();
    for (int i = 0; i < 37500; ++i) app->m_drawList[i] = kUntouched;
    app->p_CLS2D(0, 0, 0, 1);
    // A font of advance 10 and line height 14 in slot 5; no picture is needed
    // to record glyphs.
    app->m_imgSize[3 * kFont] = kCharW;
    app->m_imgSize[3 * kFont + 1] = kCharH;
    app->m_imgSize[3 * kFont + 2] = 128;
    app->m_font = kFont;
    for (int i = 0; i < 10; ++i) {
      app->m_touchDown[i] = 0;
      app->m_touchX[i] = (int)kNotGiven;
      app->m_touchY[i] = (int)kNotGiven;
    }
    app->m_mouseDown = 0;
  }

  int Count() const { return app->m_drawCount / kFloats; }

  Rec At(int n) const {
    Rec r;
    for (int i = 0; i < kFloats; ++i) r.v[i] = app->m_drawList[n * kFloats + i];
    return r;
  }

  std::vector<Rec> All() const {
    std::vector<Rec> out;
    for (int n = 0; n < Count(); ++n) out.push_back(At(n));
    return out;
  }

  // Writes one text from the start of an empty list and returns its glyphs.
  std::vector<Rec> Text(const String& text, float x = 100, float y = 200, float ax = 0,
                        float ay = 1) {
    app->m_drawCount = 0;
    app->p_Text(x, y, text, ax, ay);
    return All();
  }

  void Press(int point, int x, int y) {
    app->m_touchDown[point] = 1;
    app->m_touchX[point] = x;
    app->m_touchY[point] = y;
    app->m_mouseDown = 1;
  }
};

String Units(std::initializer_list<int> codes) {
  std::vector<Char> u;
  for (int c : codes) u.push_back((Char)c);
  return String(u.data(), (int)u.size());
}

// ---- Drawing state ----

TEST_F(Drawing, ResetGivesUnitSizeNoRotationOpaqueWhiteAndAlphaBlending) {
  app->p_SetSize(3, 4);
  app->p_SetRot(45);
  app->p_SetCol(1, 2, 3, 0.25f);
  app->p_Blend(3);
  app->p_ResetDraw();
  EXPECT_EQ(app->m_drawSizeX, 1.0f);
  EXPECT_EQ(app->m_drawSizeY, 1.0f);
  EXPECT_EQ(app->m_drawRot, 0.0f);
  EXPECT_EQ(app->m_drawR, 255.0f);
  EXPECT_EQ(app->m_drawG, 255.0f);
  EXPECT_EQ(app->m_drawB, 255.0f);
  EXPECT_EQ(app->m_drawAlpha, 1.0f);
  EXPECT_EQ(app->m_drawBlend, 1);
}

TEST_F(Drawing, SetSizeWithOneArgumentIsUniformAndWithTwoIsNot) {
  app->p_SetSize(2, kNotGiven);
  EXPECT_EQ(app->m_drawSizeX, 2.0f);
  EXPECT_EQ(app->m_drawSizeY, 2.0f);
  app->p_SetSize(2, 3);
  EXPECT_EQ(app->m_drawSizeX, 2.0f);
  EXPECT_EQ(app->m_drawSizeY, 3.0f);
  app->p_SetSize(0.5f);  // the short form
  EXPECT_EQ(app->m_drawSizeY, 0.5f);
  app->p_SetSize(2, -1);  // a negative height is given, not the marker
  EXPECT_EQ(app->m_drawSizeY, -1.0f);
}

TEST_F(Drawing, RotationIsStoredNegatedAndColourKeepsAlphaUnlessGiven) {
  app->p_SetRot(30);
  EXPECT_EQ(app->m_drawRot, -30.0f);
  app->p_Alpha(0.4f);
  app->p_SetCol(255, 0, 0, kNotGiven);
  EXPECT_EQ(app->m_drawR, 255.0f);
  EXPECT_EQ(app->m_drawG, 0.0f);
  EXPECT_EQ(app->m_drawAlpha, 0.4f);
  app->p_SetCol(1, 2, 3);  // the short form keeps it too
  EXPECT_EQ(app->m_drawAlpha, 0.4f);
  app->p_SetCol(1, 2, 3, 0);
  EXPECT_EQ(app->m_drawAlpha, 0.0f);
  EXPECT_EQ(app->m_drawB, 3.0f);
}

TEST_F(Drawing, ClearingSetsTheFillAndViewThenResetsStateAndEmptiesTheList) {
  vx_Quorvex_jscrw = 640;
  vx_Quorvex_jscrh = 360;
  app->p_SetSize(2);
  app->p_Rect(1, 2, 3, 4);
  app->p_CLS2D(10, 20, 30, 0.5f);
  EXPECT_EQ(app->m_drawCount, 0);
  EXPECT_EQ(app->m_clearR, 10.0f);
  EXPECT_EQ(app->m_clearG, 20.0f);
  EXPECT_EQ(app->m_clearB, 30.0f);
  EXPECT_EQ(app->m_clearAlpha, 0.5f);
  EXPECT_EQ(app->m_viewX, 0.0f);
  EXPECT_EQ(app->m_viewY, 0.0f);
  EXPECT_EQ(app->m_viewW, 640.0f);
  EXPECT_EQ(app->m_viewH, 360.0f);
  EXPECT_EQ(app->m_drawSizeX, 1.0f);

  // The marker keeps the previous fill but still resets and empties.
  app->p_SetCol(0, 0, 0, 0.1f);
  app->p_Rect(1, 2, 3, 4);
  app->p_CLS2D(kNotGiven, 99, 99, 0.9f);
  EXPECT_EQ(app->m_clearR, 10.0f);
  EXPECT_EQ(app->m_clearG, 20.0f);
  EXPECT_EQ(app->m_clearB, 30.0f);
  EXPECT_EQ(app->m_clearAlpha, 0.5f);
  EXPECT_EQ(app->m_drawCount, 0);
  EXPECT_EQ(app->m_drawAlpha, 1.0f);
  EXPECT_EQ(app->m_drawR, 255.0f);
}

// ---- Records ----

TEST_F(Drawing, EachRecordCarriesTheStateAtItsCallInItsFifteenFloats) {
  app->p_SetSize(1.5f, 2.5f);
  app->p_SetRot(90);
  app->p_SetCol(10, 20, 30, 0.75f);
  app->p_Blend(3);
  app->p_DrawImg(42, 11, 12, 7);
  app->p_ResetDraw();
  app->p_SetCol(40, 50, 60);
  app->p_Rect(5, 6, 70, 80);
  app->p_Alpha(0.5f);
  app->p_Oval(320, 240, 9, 8);
  ASSERT_EQ(app->m_drawCount, 45);

  const Rec img = At(0);
  EXPECT_EQ(img.kind(), 42.0f);
  EXPECT_EQ(img.x(), 11.0f);
  EXPECT_EQ(img.y(), 12.0f);
  EXPECT_EQ(img.rot(), -90.0f);
  EXPECT_EQ(img.sx(), 1.5f);
  EXPECT_EQ(img.sy(), 2.5f);
  EXPECT_EQ(img.frame(), 7.0f);
  EXPECT_EQ(img.v[7], 0.75f);
  EXPECT_EQ(img.v[10], 10.0f);
  EXPECT_EQ(img.v[11], 20.0f);
  EXPECT_EQ(img.v[12], 30.0f);
  EXPECT_EQ(img.v[13], 3.0f);

  const Rec rect = At(1);
  EXPECT_EQ(rect.kind(), kRectKind);
  EXPECT_EQ(rect.kind(), -3717.0f);
  EXPECT_EQ(rect.x(), 5.0f);
  EXPECT_EQ(rect.y(), 6.0f);
  EXPECT_EQ(rect.rot(), 0.0f);
  EXPECT_EQ(rect.sx(), 70.0f) << "a rectangle's width, not the drawing size";
  EXPECT_EQ(rect.sy(), 80.0f);
  EXPECT_EQ(rect.frame(), 0.0f);
  EXPECT_EQ(rect.v[7], 1.0f);
  EXPECT_EQ(rect.v[10], 40.0f);
  EXPECT_EQ(rect.v[13], 1.0f);

  const Rec oval = At(2);
  EXPECT_EQ(oval.kind(), -3716.0f);
  EXPECT_EQ(oval.x(), 320.0f);
  EXPECT_EQ(oval.sx(), 9.0f) << "the horizontal radius";
  EXPECT_EQ(oval.sy(), 8.0f);
  EXPECT_EQ(oval.v[7], 0.5f);

  // Slots 8, 9 and 14 are spare: nothing is written there.
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(At(n).v[8], kUntouched) << n;
    EXPECT_EQ(At(n).v[9], kUntouched) << n;
    EXPECT_EQ(At(n).v[14], kUntouched) << n;
  }
}

TEST_F(Drawing, AFrameKeepsThe2499thRecordAndDropsThe2500th) {
  for (int n = 0; n < 2498; ++n) ASSERT_TRUE(app->p_Record(kRectKind, (float)n, 0, 1, 1, 0)) << n;
  EXPECT_EQ(app->m_drawCount, 2498 * kFloats);
  app->p_DrawImg(3, 1, 2, 0);  // the 2,499th
  EXPECT_EQ(app->m_drawCount, 37485);
  EXPECT_EQ(At(2498).kind(), 3.0f);
  // Every later call of the frame is dropped without touching the last slot.
  app->p_Rect(9, 9, 9, 9);
  app->p_Oval(9, 9, 9, 9);
  app->p_DrawImg(4, 9, 9, 0);
  EXPECT_FALSE(app->p_Record(kOvalKind, 9, 9, 9, 9, 0));
  app->p_Text(0, 0, String("ABC"), 0, 1);
  EXPECT_EQ(app->m_drawCount, 37485);
  for (int i = 37485; i < 37500; ++i) EXPECT_EQ(app->m_drawList[i], kUntouched) << i;
  // The next frame records again from the start.
  app->p_CLS2D(kNotGiven, 0, 0, 0);
  app->p_Rect(1, 1, 1, 1);
  EXPECT_EQ(app->m_drawCount, kFloats);
}

// ---- Text ----

TEST_F(Drawing, EmptyTextDrawsNothing) {
  EXPECT_TRUE(Text(String()).empty());
  EXPECT_TRUE(Text(String("   ")).empty()) << "spaces only advance";
}

TEST_F(Drawing, GlyphsAreFontFramesOfCodeMinus32AtTheDrawingState) {
  app->p_SetCol(1, 2, 3, 0.5f);
  app->p_SetSize(2, 3);
  const auto g = Text(Units({'!', 'A', 159}));
  ASSERT_EQ(g.size(), 3u);
  EXPECT_EQ(g[0].kind(), (float)kFont);
  EXPECT_EQ(g[0].frame(), 1.0f);
  EXPECT_EQ(g[1].frame(), 33.0f);
  EXPECT_EQ(g[2].frame(), 127.0f) << "code 159 is the font's last frame";
  EXPECT_EQ(g[1].sx(), 2.0f);
  EXPECT_EQ(g[1].sy(), 3.0f);
  EXPECT_EQ(g[1].v[7], 0.5f);
  EXPECT_EQ(g[1].v[12], 3.0f);
}

TEST_F(Drawing, SpaceAdvancesByTheCellWidthTimesSizeWithoutARecord) {
  app->p_SetSize(1.5f);
  const auto g = Text(String("A B"));
  ASSERT_EQ(g.size(), 2u);
  EXPECT_FLOAT_EQ(g[0].x(), 100.0f);
  EXPECT_FLOAT_EQ(g[1].x(), 100.0f + 2 * kCharW * 1.5f);
  EXPECT_NEAR(g[1].y(), 200.0f, 1e-3);
}

TEST_F(Drawing, EachLetterClassAdvancesByItsKerning) {
  struct Case {
    char c;
    int kern;
  };
  const Case cases[] = {{'w', 2}, {'m', 2}, {'W', 1}, {'M', 1}, {'i', -3}, {'f', -3},
                        {'l', -3}, {'j', -1}, {'s', -1}, {'k', -1}, {'r', -1}, {'z', -1},
                        {'t', -1}, {'n', -1}, {'A', 0},  {'o', 0},  {'N', 0},  {'1', 0}};
  app->p_SetSize(2, 5);  // the advance follows the width factor only
  for (const Case& k : cases) {
    const char s[3] = {k.c, 'A', 0};
    const auto g = Text(String(s));
    ASSERT_EQ(g.size(), 2u) << k.c;
    EXPECT_FLOAT_EQ(g[1].x() - g[0].x(), (kCharW + k.kern) * 2.0f) << k.c;
  }
}

TEST_F(Drawing, CodeZeroNeitherDrawsNorAdvancesAndHighCodesOnlyAdvance) {
  auto g = Text(Units({'A', 0, 'B'}));
  ASSERT_EQ(g.size(), 2u);
  EXPECT_FLOAT_EQ(g[1].x() - g[0].x(), (float)kCharW);

  g = Text(Units({'A', 160, 0xE9, 'B'}));
  ASSERT_EQ(g.size(), 2u) << "codes above 159 have no glyph";
  EXPECT_FLOAT_EQ(g[1].x() - g[0].x(), 3.0f * kCharW);

  // A real newline is a code like any other: it advances on the same line.
  g = Text(Units({'A', 10, 'B'}));
  ASSERT_EQ(g.size(), 2u);
  EXPECT_FLOAT_EQ(g[1].x() - g[0].x(), 2.0f * kCharW);
  EXPECT_NEAR(g[1].y(), g[0].y(), 1e-3);
}

TEST_F(Drawing, HorizontalAlignmentUsesTheWidthTruncatedAfterEveryLetter) {
  // At 1.25 each letter is 12.5 wide, but the measured width drops the
  // fraction after every letter: 12, 24, 36 rather than 37.5.
  app->p_SetSize(1.25f);
  const String abc("ABC");
  EXPECT_FLOAT_EQ(Text(abc, 300, 50, 0)[0].x(), 300.0f);
  EXPECT_FLOAT_EQ(Text(abc, 300, 50, 1)[0].x(), 300.0f - 18.0f);
  const auto right = Text(abc, 300, 50, 2);
  EXPECT_FLOAT_EQ(right[0].x(), 300.0f - 36.0f);
  // The pen itself is not truncated.
  EXPECT_FLOAT_EQ(right[2].x(), 300.0f - 36.0f + 25.0f);
}

TEST_F(Drawing, VerticalAlignmentCentresOrHangsTheLine) {
  app->p_SetSize(1, 2);  // line height 28
  EXPECT_NEAR(Text(String("A"), 0, 100, 0, 1)[0].y(), 100.0f, 1e-3);
  EXPECT_NEAR(Text(String("A"), 0, 100, 0, 0)[0].y(), 114.0f, 1e-3) << "y is the top edge";
  EXPECT_NEAR(Text(String("A"), 0, 100, 0, 2)[0].y(), 86.0f, 1e-3) << "y is the bottom edge";
}

TEST_F(Drawing, BackslashNBreaksTheLineAndTheBlockIsPlacedByTheWholeWidth) {
  const String text("AB\\nCD");
  ASSERT_EQ(text.Length(), 6);
  // Width of all six characters: A B \ n C D, "n" one narrower.
  const float width = 6 * kCharW - 1;
  const auto g = Text(text, 200, 100, 1, 1);
  ASSERT_EQ(g.size(), 4u) << "the break draws nothing";
  const float sx = 200 - std::floor(width) / 2;
  EXPECT_FLOAT_EQ(g[0].x(), sx);
  EXPECT_FLOAT_EQ(g[1].x(), sx + kCharW);
  EXPECT_NEAR(g[0].y(), 100.0f, 1e-3);
  EXPECT_NEAR(g[1].y(), 100.0f, 1e-3);
  EXPECT_NEAR(g[2].x(), sx, 1e-3) << "the next line starts under the first";
  EXPECT_NEAR(g[3].x(), sx + kCharW, 1e-3);
  EXPECT_NEAR(g[2].y(), 100.0f + kCharH, 1e-3);
  EXPECT_NEAR(g[3].y(), 100.0f + kCharH, 1e-3);
  EXPECT_EQ(g[2].frame(), (float)('C' - 32));

  // Lines are counted from the start: two breaks put B two lines down.
  app->p_SetSize(1, 2);
  const auto two = Text(String("A\\n\\nB"), 0, 0, 0, 1);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_NEAR(two[1].y() - two[0].y(), 2.0f * kCharH * 2, 1e-3);
  EXPECT_NEAR(two[1].x(), two[0].x(), 1e-3);
}

TEST_F(Drawing, ABackslashNotFollowedByNIsAGlyph) {
  const auto g = Text(String("A\\"));
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[1].frame(), (float)('\\' - 32));
  const auto h = Text(String("\\x"));
  ASSERT_EQ(h.size(), 2u);
  EXPECT_EQ(h[0].frame(), (float)('\\' - 32));
}

TEST_F(Drawing, RotatedTextRunsAlongItsAngleAndBreaksAcrossIt) {
  // A quarter turn: the letters run down the screen and the next line lies
  // to the left of the first.
  app->p_SetRot(90);
  const auto g = Text(String("AB\\nC"), 300, 200, 0, 1);
  ASSERT_EQ(g.size(), 3u);
  for (const Rec& r : g) EXPECT_EQ(r.rot(), -90.0f);
  EXPECT_NEAR(g[0].x(), 300.0f, 1e-3);
  EXPECT_NEAR(g[0].y(), 200.0f, 1e-3);
  EXPECT_NEAR(g[1].x(), 300.0f, 1e-3);
  EXPECT_NEAR(g[1].y(), 200.0f + kCharW, 1e-3);
  EXPECT_NEAR(g[2].x(), 300.0f - kCharH, 1e-3);
  EXPECT_NEAR(g[2].y(), 200.0f, 1e-3);

  // Centred on the point along the turned line: W = 4 × 10 + 9.
  const auto c = Text(String("AB\\nC"), 300, 200, 1, 1);
  ASSERT_EQ(c.size(), 3u);
  EXPECT_NEAR(c[0].x(), 300.0f, 1e-3);
  EXPECT_NEAR(c[0].y(), 200.0f - 49 / 2.0f, 1e-3);

  // Half a turn: the text runs right to left, lines go up.
  app->p_SetRot(180);
  const auto u = Text(String("AB\\nC"), 300, 200, 0, 1);
  ASSERT_EQ(u.size(), 3u);
  EXPECT_NEAR(u[1].x(), 300.0f - kCharW, 1e-3);
  EXPECT_NEAR(u[1].y(), 200.0f, 1e-3);
  EXPECT_NEAR(u[2].x(), 300.0f, 1e-3);
  EXPECT_NEAR(u[2].y(), 200.0f - kCharH, 1e-3);

  // Any angle: the advance keeps its length along the text's direction.
  app->p_SetRot(30);
  const auto a = Text(String("AB"), 0, 0, 0, 1);
  ASSERT_EQ(a.size(), 2u);
  const float dx = a[1].x() - a[0].x(), dy = a[1].y() - a[0].y();
  EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), (float)kCharW, 1e-3);
  EXPECT_GT(dx, 0.0f);
  EXPECT_GT(dy, 0.0f) << "a clockwise turn tips the line downwards on the screen";
}

// ---- Number padding ----

TEST_F(Drawing, NumbersAreRightAlignedInTheirDigitsAndLoseLeadingDigitsWhenWider) {
  EXPECT_EQ(app->p_rstr(123456, 5, String("0")).ToUtf8(), "23456");
  EXPECT_EQ(app->p_rstr(42, 5, String("0")).ToUtf8(), "00042");
  EXPECT_EQ(app->p_rstr(7, 3, String(" ")).ToUtf8(), "  7");
  EXPECT_EQ(app->p_rstr(-5, 3, String("0")).ToUtf8(), "0-5");
  EXPECT_EQ(app->p_rstr(12345, 5, String("0")).ToUtf8(), "12345");
  EXPECT_EQ(app->p_rstr(0, 1, String("0")).ToUtf8(), "0");
  EXPECT_EQ(app->p_rstr(7, 3, String("ab")).ToUtf8(), "ab7");
  EXPECT_EQ(app->p_rstr2(123, String("0")).ToUtf8(), "0000000123");
  EXPECT_EQ(app->p_rstr2(-2147483647 - 1, String("0")).ToUtf8(), "2147483648");
  EXPECT_EQ(app->p_rstr2(9, String(" ")).Length(), 10);
}

// ---- Hit tests ----

TEST_F(Drawing, AButtonIsHitStrictlyInsideItsScaledCellWhileTheMouseIsDown) {
  // A 40 × 20 cell loaded at twice the size, shown at 0.5 × 2: 40 × 20 virtual.
  const int slot = 12;
  app->m_imgSize[3 * slot] = 40;
  app->m_imgSize[3 * slot + 1] = 20;
  app->m_imgScale = 0.5f;
  app->p_SetSize(2);

  EXPECT_EQ(app->p_Button(slot, 100, 50, 3), 0) << "nothing down";
  ASSERT_EQ(Count(), 1) << "the button is drawn either way";
  EXPECT_EQ(At(0).kind(), (float)slot);
  EXPECT_EQ(At(0).frame(), 3.0f);

  Press(6, 119, 59);  // any touch point counts
  EXPECT_EQ(app->p_Button(slot, 100, 50, 0), 1);
  app->m_touchX[6] = 120;
  EXPECT_EQ(app->p_Button(slot, 100, 50, 0), 0) << "the edge is outside";
  app->m_touchX[6] = 81;
  app->m_touchY[6] = 41;
  EXPECT_EQ(app->p_Button(slot, 100, 50, 0), 1);
  app->m_touchY[6] = 40;
  EXPECT_EQ(app->p_Button(slot, 100, 50, 0), 0);
  app->m_touchY[6] = 50;
  app->m_mouseDown = 0;
  EXPECT_EQ(app->p_Button(slot, 100, 50, 0), 0) << "a point inside, but nothing pressed";
  // The down flags are not read: a point's coordinates alone place it.
  app->m_mouseDown = 1;
  app->m_touchDown[6] = 0;
  EXPECT_EQ(app->p_Button(slot, 100, 50, 0), 1);
  // The size in force scales the box.
  app->p_SetSize(1);
  app->m_touchX[6] = 111;
  EXPECT_EQ(app->p_Button(slot, 100, 50, 0), 0);
  app->m_touchX[6] = 109;
  EXPECT_EQ(app->p_Button(slot, 100, 50, 0), 1);
}

TEST_F(Drawing, ThePauseButtonIsSlot97AndButton0ReadsOnlyTheFirstPoint) {
  app->m_imgSize[3 * 97] = 32;
  app->m_imgSize[3 * 97 + 1] = 32;
  Press(3, 600, 20);
  EXPECT_EQ(app->p_Button2(600, 20, 2), 1);
  EXPECT_EQ(At(0).kind(), 97.0f);
  EXPECT_EQ(At(0).frame(), 2.0f);
  EXPECT_FALSE(app->p_Button0(97, 600, 20, 0)) << "point 3 is not point 0";
  EXPECT_EQ(Count(), 2);
  Press(0, 610, 30);
  EXPECT_TRUE(app->p_Button0(97, 600, 20, 0));
  app->m_mouseDown = 0;
  EXPECT_FALSE(app->p_Button0(97, 600, 20, 0));
}

TEST_F(Drawing, ASlotOutsideTheTableIsDrawnAsAskedButNeverHit) {
  Press(0, 100, 100);
  EXPECT_EQ(app->p_Button(100, 100, 100, 0), 0);
  EXPECT_EQ(app->p_Button(-1, 100, 100, 0), 0);
  EXPECT_FALSE(app->p_Button0(250, 100, 100, 0));
  EXPECT_EQ(Count(), 3);
}

TEST_F(Drawing, TouchBoxesHaveAWiderMarginRightAndBelow) {
  const float x = 100, y = 200, w = 50, h = 30;
  EXPECT_EQ(app->p_Touch(x, y, w, h), 0);
  ASSERT_EQ(Count(), 1);
  EXPECT_EQ(At(0).kind(), kRectKind);
  EXPECT_EQ(At(0).sx(), w);

  struct Case {
    int tx, ty, hit;
  };
  const Case cases[] = {
      {161, 215, 1},  // 11 right of the right edge
      {162, 215, 0},  // 12 right is the margin's edge
      {93, 215, 0},   // 7 left of the left edge
      {95, 215, 1},   {94, 215, 0}, {125, 195, 1}, {125, 194, 0},
      {125, 241, 1},  {125, 242, 0},
  };
  for (const Case& c : cases) {
    Press(4, c.tx, c.ty);
    EXPECT_EQ(app->p_Touch(x, y, w, h), c.hit) << c.tx << "," << c.ty;
  }
  // A point that is up does not count even where it lies.
  Press(4, 125, 215);
  app->m_touchDown[4] = 0;
  EXPECT_EQ(app->p_Touch(x, y, w, h), 0);
}

TEST_F(Drawing, CentredBoxesTestActivePointsWithoutDrawing) {
  Press(9, 139, 100);
  EXPECT_EQ(app->p_MouseIn_Centered(100, 100, 80, 20), 1);
  app->m_touchX[9] = 140;
  EXPECT_EQ(app->p_MouseIn_Centered(100, 100, 80, 20), 0);
  app->m_touchX[9] = 100;
  app->m_touchY[9] = 90;
  EXPECT_EQ(app->p_MouseIn_Centered(100, 100, 80, 20), 0);
  app->m_touchY[9] = 91;
  EXPECT_EQ(app->p_MouseIn_Centered(100, 100, 80, 20), 1);
  app->m_touchDown[9] = 0;
  EXPECT_EQ(app->p_MouseIn_Centered(100, 100, 80, 20), 0);
  EXPECT_EQ(Count(), 0);
}

}  // namespace
