// Badge names and the notices that slide in for a badge (game/badges.cpp).
#include "tests/support/myapp.h"

namespace {

using Badges = MyAppTest;

TEST_F(Badges, ANoticeSlidesInOverNineUpdatesAndOutAgainBeforeItsTwoHundredFortyFirst) {
  EXPECT_EQ(app->p_BadgeName(0).ToUtf8(), "Test Badge");
  EXPECT_EQ(app->p_BadgeDetail(0).ToUtf8(), "This is a Test Badge which has no purpose.");
  EXPECT_EQ(app->p_BadgeName(5).ToUtf8() + app->p_BadgeDetail(5).ToUtf8(), "");
  app->m_popBadge[0] = 5;
  app->m_popBadge[1] = 64;
  app->m_popTime[0] = app->m_popTime[1] = 1;
  std::vector<float> xs;
  int icons = 0;
  while (app->m_popTime[0] != 0 && xs.size() < 300) {
    app->m_drawCount = 0;
    app->p_ShowBadges();
    const std::vector<DrawRecord> r = Records();
    xs.push_back(r[0].x);
    EXPECT_FLOAT_EQ(r[0].y, 480 - 34) << "the first slot at the bottom";
    for (const DrawRecord& d : r) icons += d.kind == 80 ? (d.frame == 5 ? 1 : 1000) : 0;
  }
  ASSERT_EQ(xs.size(), 240u) << "gone after its 240th update";
  EXPECT_EQ(icons, 240) << "a badge of 64 or more has no icon";
  const int at[] = {0, 7, 8, 228, 229, 238, 239};
  const float want[] = {-128, -16, 0, 0, -16, -160, -176};
  for (int i = 0; i < 7; ++i) EXPECT_FLOAT_EQ(xs[at[i]], want[i]) << "update " << at[i] + 1;
}

}  // namespace
