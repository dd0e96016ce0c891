// The credits panel (game/credits.cpp): the lines scrolling through the list,
// and the presses that close it.
#include "tests/support/myapp.h"

namespace {

class Credits : public StartedAppTest {
 protected:
  void SetUp() override {
    StartedAppTest::SetUp();
    Tap(78);
    Update(30);
  }  // N opens them from the title screen
};

TEST_F(Credits, TheLinesScrollThroughTheListAndWrap) {
  ASSERT_EQ(app->m_creditsSlide, 30);
  app->m_creditScroll = 0;
  app->m_creditLine = 47;
  Update(53);
  EXPECT_NEAR(app->m_creditScroll, -15.9f, 1e-3) << "0.3 an update";
  Update();
  EXPECT_NEAR(app->m_creditScroll, -0.2f, 1e-3) << "a whole line of 16 on";
  EXPECT_EQ(app->m_creditLine, 48);
  const float y = 241 + app->m_creditScroll;  // glyphs on the lines 16 and 32 below the middle
  EXPECT_EQ(std::make_pair(Glyphs(y + 12, y + 20), Glyphs(y + 28, y + 36)), std::make_pair(0, 7))
      << "entry 49 wraps to the list's first, empty line; then A Game by";
  Key(40, true);
  Update();
  EXPECT_NEAR(app->m_creditScroll, -2.0f, 1e-3) << "held down, six times as fast";
}

TEST_F(Credits, APressOrFireClosesThePanelWhichSlidesOut) {
  MouseButton(true);
  Update();
  EXPECT_EQ(app->m_showCredits, 0);
  MouseButton(false);
  Update(29);
  EXPECT_EQ(app->m_creditsSlide, 0);
  Tap(78);
  ASSERT_EQ(app->m_showCredits, 1) << "the key that opens it does not close it at once";
  Tap(90);
  EXPECT_EQ(app->m_showCredits, 0);
}

// A portrait screen has 6 columns, so the band along the second row from the
// bottom is one cell: its bar starts inside the cell instead of reaching back.
TEST_F(Credits, OnANarrowScreenTheBandIsOneBarStartingInsideItsCell) {
  gfx->width = 720;
  gfx->height = 1280;
  Update(40);  // the new size reloads everything; the panel stays open
  ASSERT_EQ(vx_Quorvex_jscrw, 270.0f);
  const float d = 480.0f / 12;  // the cell's side when assembled
  std::vector<DrawRecord> bars, cells;
  for (const DrawRecord& r : Records()) {
    if (r.kind != kRectKind) continue;
    if (r.r == 128 && r.w == d + 4) bars.push_back(r);
    if (r.r == 255 && r.w == d + 1) cells.push_back(r);
  }
  ASSERT_EQ(bars.size(), 1u);
  EXPECT_EQ(bars[0].h, d - 4);
  int under = 0;
  for (const DrawRecord& c : cells) under += c.x + 2 == bars[0].x && c.y + 2 == bars[0].y;
  EXPECT_EQ(under, 1) << "at (x + 2, y + 2) of its white cell";
}

}  // namespace
