// Pictures and the font into their slots (game/assets.cpp). Which files the
// loader opens is in test_flow.cpp; a new game's set-up is what every play test starts from.
#include "tests/support/myapp.h"

namespace {

using Assets = MyAppTest;

TEST_F(Assets, APictureIsCutAtItsResolutionAndKeepsItsSizesEvenWhenMissing) {
  gfx->files["zorbel://data/gfx-hd2.png"] = {256, 256};
  gfx->files["zorbel://data/fonts/editundo-hd2.png"] = {1024, 512};
  app->m_hdFactor = 4;
  app->p_LoadImg(1, String("gfx"), 32, 16, 8, 1);
  c_Image* image = app->m_img[1];
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(std::make_tuple(image->p_Width(), image->m_frames[2]->m_y, image->m_tx),
            std::make_tuple(128, 64, 64.0f))
      << "frames wrap into the next row; flag 1 centres the handle";
  app->p_LoadFont(90, String("fonts/editundo"), 7, 10);
  EXPECT_EQ(app->m_img[90]->p_Height(), 64);
  EXPECT_EQ(app->m_imgSize[270], 7) << "the font keeps its virtual advance";

  // A reload lets go of the old pixels at once; a failed one leaves the slot empty.
  gxtkSurface* old = image->m_surface;
  app->p_LoadImg(1, String("gfx"), 32, 16, 8, 1);
  EXPECT_EQ(old->data, nullptr);
  app->m_hdFactor = 2;
  app->p_LoadImg(1, String("gfx"), 32, 16, 8, 1);
  EXPECT_EQ(app->m_img[1], nullptr);
  EXPECT_EQ(std::make_pair(app->m_imgSize[3], app->m_imgSize[5]), std::make_pair(64, 8))
      << "kept for hit tests";

  const size_t opened = gfx->opened.size() + audio->opened.size();
  app->p_LoadImg(100, String("gfx"), 8, 8, 1, 1);
  app->p_LoadFont(-1, String("gfx"), 7, 10);
  app->p_LoadSFX(100);
  EXPECT_EQ(gfx->opened.size() + audio->opened.size(), opened) << "no slot outside the tables";
}

}  // namespace
