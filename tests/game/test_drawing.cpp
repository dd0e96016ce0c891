// The drawing state, the frame's 15-float records and their cap, and the
// pointer hit tests of buttons and boxes (game/drawing.cpp).
#include "tests/support/myapp.h"

namespace {

using Drawing = MyAppTest;

TEST_F(Drawing, EachRecordCarriesTheDrawingStateOfItsCallAndAFrameHolds2499) {
  app->p_SetSize(1.5f, 2.5f);
  app->p_SetRot(90);
  app->p_SetCol(10, 20, 30, 0.75f);
  app->p_Blend(3);
  app->p_DrawImg(42, 11, 12, 7);
  app->p_SetCol(40, 50, 60);  // the alpha stays
  app->p_Rect(5, 6, 70, 80);
  app->p_ResetDraw();
  app->p_Oval(320, 240, 9, 8);
  std::vector<float> got;
  for (const DrawRecord& d : Records())
    got.insert(got.end(),
               {d.kind, d.x, d.y, d.rot, d.w, d.h, d.frame, d.alpha, d.r, d.g, d.b, d.blend});
  EXPECT_EQ(got,
            (std::vector<float>{42,        11,  12,  -90, 1.5f, 2.5f, 7, 0.75f, 10,  20,  30,  3,
                                kRectKind, 5,   6,   -90, 70,   80,   0, 0.75f, 40,  50,  60,  3,
                                kOvalKind, 320, 240, 0,   9,    8,    0, 1,     255, 255, 255, 1}));

  for (int n = 3; n < 2498; ++n) ASSERT_TRUE(app->p_Record(kRectKind, (float)n, 0, 1, 1, 0));
  app->p_DrawGlow(3, 1, 2, 0);  // its halo is the 2,500th
  EXPECT_EQ(app->m_drawCount, 37485);
  EXPECT_EQ(app->m_drawList[37485], 0.0f) << "the last slot is never written";
  app->p_CLS2D(kNotGiven, 0, 0, 0);
  EXPECT_EQ(app->m_drawCount, 0) << "the next frame records again";
}

TEST_F(Drawing, ButtonsAreHitStrictlyInsideTheirScaledCellAndBoxesWithAMargin) {
  // A 40 x 20 cell loaded at twice the size, shown at size 2: 40 x 20 virtual.
  app->m_imgSize[36] = 40;
  app->m_imgSize[37] = 20;
  app->m_imgScale = 0.5f;
  app->p_SetSize(2);
  for (int i = 0; i < 10; ++i) app->m_touchX[i] = app->m_touchY[i] = kPointUp;
  auto at = [&](int point, int x, int y) {
    app->m_mouseDown = app->m_touchDown[point] = 1;
    app->m_touchX[point] = x;
    app->m_touchY[point] = y;
  };
  // Buttons are hit strictly inside; touch boxes reach 12 further right and below, 6 left and
  // above.
  struct Case {
    bool box;
    int x, y, hit;
  };
  for (Case k :
       {Case{0, 119, 59, 1}, Case{0, 120, 50, 0}, Case{0, 81, 41, 1}, Case{0, 100, 40, 0},
        Case{1, 161, 215, 1}, Case{1, 162, 215, 0}, Case{1, 95, 215, 1}, Case{1, 94, 215, 0},
        Case{1, 125, 195, 1}, Case{1, 125, 194, 0}, Case{1, 125, 241, 1}, Case{1, 125, 242, 0}}) {
    at(k.box ? 4 : 6, k.x, k.y);  // any point
    EXPECT_EQ(k.box ? app->p_Touch(100, 200, 50, 30) : app->p_Button(12, 100, 50, 3), k.hit)
        << k.x << "," << k.y;
  }
  app->m_touchDown[4] = 0;
  EXPECT_EQ(app->p_Touch(100, 200, 50, 30), 0) << "a point that is up";
  at(6, 100, 50);
  EXPECT_EQ(app->p_Button(100, 100, 50, 0), 0) << "a slot outside the table has no size";
  app->m_mouseDown = 0;
  EXPECT_EQ(app->p_Button(12, 100, 50, 0), 0) << "inside, but nothing pressed";
}

}  // namespace
