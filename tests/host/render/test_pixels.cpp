// What reaches the screen: premultiplied colour, both blend modes, the
// scissor, textured quads, ovals, the matrix applied on the processor, and the
// pixel read-back and write paths.
#include <cmath>
#include <cstring>

#include "tests/host/render/render_env.h"

namespace render_test {
namespace {

using Pixels = RenderTest;

bool Near(const Rgb& a, const Rgb& b, int tolerance = 1) {
  return std::abs(a.r - b.r) <= tolerance && std::abs(a.g - b.g) <= tolerance &&
         std::abs(a.b - b.b) <= tolerance;
}

TEST_F(Pixels, ColourIsPackedPremultipliedAndTruncated) {
  g->SetAlpha(0.5f);
  g->SetColor(255, 128, 0);
  unsigned char bytes[4];
  std::memcpy(bytes, &g->color, 4);
  EXPECT_EQ(bytes[0], 127);
  EXPECT_EQ(bytes[1], 64);
  EXPECT_EQ(bytes[2], 0);
  EXPECT_EQ(bytes[3], 127);
  g->SetAlpha(1);
  std::memcpy(bytes, &g->color, 4);
  EXPECT_EQ(bytes[0], 255) << "alpha repacks the stored colour";
  EXPECT_EQ(bytes[1], 128);
  g->SetColor(300, -5, NAN);  // out of range stays a byte
  std::memcpy(bytes, &g->color, 4);
  EXPECT_EQ(bytes[0], 255);
  EXPECT_EQ(bytes[1], 0);
  EXPECT_EQ(bytes[2], 0);
}

TEST_F(Pixels, HalfAlphaRedOverBlackReadsHalfRed) {
  g->SetAlpha(0.5f);
  g->SetColor(255, 0, 0);
  g->DrawRect(0, 0, kWidth, kHeight);
  Rgb c = RgbOf(g, 10, 10);
  EXPECT_TRUE(Near(c, Rgb{127, 0, 0})) << c;
}

TEST_F(Pixels, AlphaBlendingMixesOverWhatIsThere) {
  g->Cls(0, 0, 200);
  g->SetAlpha(0.5f);
  g->SetColor(255, 0, 0);
  g->DrawRect(0, 0, kWidth, kHeight);
  Rgb c = RgbOf(g, 3, 3);
  EXPECT_TRUE(Near(c, Rgb{127, 0, 100}, 2)) << c;
}

TEST_F(Pixels, AdditiveBlendingAdds) {
  g->SetColor(100, 0, 0);
  g->DrawRect(0, 0, kWidth, kHeight);
  g->SetBlend(1);
  g->SetColor(50, 100, 0);
  g->DrawRect(0, 0, kWidth / 2, kHeight);
  g->DrawRect(0, 0, kWidth / 2, kHeight);
  EXPECT_EQ(RgbOf(g, 10, 10), (Rgb{200, 200, 0}));
  EXPECT_EQ(RgbOf(g, kWidth - 10, 10), (Rgb{100, 0, 0}));
  g->SetBlend(0);
  g->SetColor(0, 0, 255);
  g->DrawRect(0, 0, kWidth, kHeight);
  EXPECT_EQ(RgbOf(g, 10, 10), (Rgb{0, 0, 255})) << "opaque alpha blending replaces";
}

TEST_F(Pixels, ScissorClipsFromTheTopLeftAndTurnsOffAtFullSize) {
  g->SetScissor(10, 5, 20, 30);
  EXPECT_TRUE(glIsEnabled(GL_SCISSOR_TEST));
  g->SetColor(0, 255, 0);
  g->DrawRect(0, 0, kWidth, kHeight);
  EXPECT_EQ(RgbOf(g, 10, 5), (Rgb{0, 255, 0}));
  EXPECT_EQ(RgbOf(g, 29, 34), (Rgb{0, 255, 0}));
  EXPECT_EQ(RgbOf(g, 9, 5), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(g, 10, 4), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(g, 30, 20), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(g, 20, 35), (Rgb{0, 0, 0}));

  g->SetScissor(0, 0, g->Width(), g->Height());
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  g->SetColor(255, 0, 0);
  g->DrawRect(0, 0, kWidth, kHeight);
  EXPECT_EQ(RgbOf(g, 100, 90), (Rgb{255, 0, 0}));
}

TEST_F(Pixels, TexturedQuadShowsThePremultipliedPixels) {
  // 2 x 2: opaque red, half-transparent green, transparent blue, opaque white.
  gxtkSurface* s = SurfaceOf(2, 2, {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 0, 255, 255, 255, 255});
  g->DrawSurface(s, 20, 30);
  EXPECT_EQ(RgbOf(g, 20, 30), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(g, 21, 30), (Rgb{0, 128, 0}));
  EXPECT_EQ(RgbOf(g, 20, 31), (Rgb{0, 0, 0})) << "a transparent pixel adds nothing";
  EXPECT_EQ(RgbOf(g, 21, 31), (Rgb{255, 255, 255}));
  EXPECT_EQ(RgbOf(g, 22, 30), (Rgb{0, 0, 0}));
}

TEST_F(Pixels, VertexColourTintsTheTexture) {
  gxtkSurface* s = SurfaceOf(1, 1, {255, 255, 255, 255});
  g->SetColor(255, 0, 255);
  g->SetAlpha(0.5f);
  g->DrawSurface2(s, 5, 5, 0, 0, 1, 1);
  Rgb c = RgbOf(g, 5, 5);
  EXPECT_TRUE(Near(c, Rgb{127, 0, 127})) << c;
}

TEST_F(Pixels, SurfaceRegionDrawsThatRegion) {
  // 4 x 2 with one colour per column; draw columns 1..2 of the bottom row.
  std::vector<unsigned char> px;
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) {
      px.insert(px.end(), {(unsigned char)(x * 60), (unsigned char)(y * 200), 7, 255});
    }
  }
  gxtkSurface* s = SurfaceOf(4, 2, px);
  g->DrawSurface2(s, 40, 40, 1, 1, 2, 1);
  EXPECT_EQ(RgbOf(g, 40, 40), (Rgb{60, 200, 7}));
  EXPECT_EQ(RgbOf(g, 41, 40), (Rgb{120, 200, 7}));
  EXPECT_EQ(RgbOf(g, 42, 40), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(g, 40, 41), (Rgb{0, 0, 0}));
}

TEST_F(Pixels, TexturedPolygonMapsPixelCoordinatesFromTheSourceOffset) {
  std::vector<unsigned char> px;
  for (int x = 0; x < 8; ++x) px.insert(px.end(), {(unsigned char)(x * 30), 0, 0, 255});
  gxtkSurface* s = SurfaceOf(8, 1, px);
  // A 2 x 1 quad showing texels 5..6 (u 0..2 from source x 5).
  float xyuv[] = {10, 10, 0, 0, 12, 10, 2, 0, 12, 11, 2, 1, 10, 11, 0, 1};
  g->DrawPoly2(Array<float>(xyuv, 16), s, 5, 0);
  EXPECT_EQ(RgbOf(g, 10, 10), (Rgb{150, 0, 0}));
  EXPECT_EQ(RgbOf(g, 11, 10), (Rgb{180, 0, 0}));
}

TEST_F(Pixels, OvalFillsItsEllipseOnly) {
  g->SetColor(255, 255, 0);
  g->DrawOval(20, 20, 60, 40);  // centre (50, 40), radii 30 and 20
  g->DrawOval(90, 10, 4, 4);
  EXPECT_EQ(RgbOf(g, 50, 40), (Rgb{255, 255, 0}));
  EXPECT_EQ(RgbOf(g, 22, 40), (Rgb{255, 255, 0})) << "near the left end";
  EXPECT_EQ(RgbOf(g, 50, 22), (Rgb{255, 255, 0})) << "near the top";
  EXPECT_EQ(RgbOf(g, 22, 22), (Rgb{0, 0, 0})) << "a corner of the box is outside";
  EXPECT_EQ(RgbOf(g, 77, 58), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(g, 91, 11), (Rgb{255, 255, 0}));
}

TEST_F(Pixels, LinesAndPointsLandOnTheirPixels) {
  g->SetColor(0, 255, 255);
  g->DrawPoint(5.5f, 6.5f);
  g->DrawLine(0, 20.5f, 50, 20.5f);
  EXPECT_EQ(RgbOf(g, 5, 6), (Rgb{0, 255, 255}));
  EXPECT_EQ(RgbOf(g, 6, 6), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(g, 25, 20), (Rgb{0, 255, 255}));
  EXPECT_EQ(RgbOf(g, 25, 22), (Rgb{0, 0, 0}));
}

TEST_F(Pixels, MatrixIsAppliedOnTheProcessor) {
  g->SetMatrix(2, 0, 0, 3, 10, 20);
  EXPECT_TRUE(g->tformed);
  g->SetColor(255, 0, 0);
  g->DrawRect(0, 0, 5, 5);  // covers (10, 20) .. (20, 35)
  g->Flush();
  EXPECT_EQ(g->vertices[2].x, 20);
  EXPECT_EQ(g->vertices[2].y, 35);
  EXPECT_EQ(RgbOf(g, 10, 20), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(g, 19, 34), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(g, 20, 34), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(g, 19, 35), (Rgb{0, 0, 0}));
  float mv[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, mv);
  EXPECT_EQ(mv[0], 1);
  EXPECT_EQ(mv[12], 0) << "the GL matrix stays the identity";

  g->SetMatrix(1, 0, 0, 1, 0, 0);
  EXPECT_FALSE(g->tformed);
  g->SetMatrix(1, 0, 0, 1, NAN, 0);
  EXPECT_TRUE(g->tformed) << "a NaN is never the identity";
}

TEST_F(Pixels, ReadPixelsStoresRowsTopFirstAtOffsetAndPitch) {
  g->SetColor(255, 0, 0);
  g->DrawRect(0, 0, kWidth, 1);  // top row red
  g->SetColor(0, 0, 255);
  g->DrawRect(0, 1, kWidth, 1);  // second row blue
  Array<int> px(2 + 5 * 2);
  for (int i = 0; i < px.Length(); ++i) px[i] = 7;
  g->ReadPixels(px, 0, 0, 3, 2, 2, 5);
  EXPECT_EQ(px[0], 7);
  EXPECT_EQ(px[1], 7);
  EXPECT_EQ(px[2] & 0xffffff, 0xff0000);
  EXPECT_EQ(px[4] & 0xffffff, 0xff0000);
  EXPECT_EQ(px[5], 7) << "the pitch skips the rest of the row";
  EXPECT_EQ(px[7] & 0xffffff, 0x0000ff);
  EXPECT_EQ(px[9] & 0xffffff, 0x0000ff);
  EXPECT_EQ(px[10], 7);

  // Packed rows (pitch = width) come out top first too.
  g->SetColor(0, 255, 0);
  g->DrawRect(0, 2, kWidth, 1);  // third row green
  Array<int> packed(1 + 2 * 3);
  packed[0] = 7;
  g->ReadPixels(packed, 4, 0, 2, 3, 1, 2);
  EXPECT_EQ(packed[0], 7);
  EXPECT_EQ(packed[1] & 0xffffff, 0xff0000);
  EXPECT_EQ(packed[2] & 0xffffff, 0xff0000);
  EXPECT_EQ(packed[3] & 0xffffff, 0x0000ff);
  EXPECT_EQ(packed[5] & 0xffffff, 0x00ff00);
  EXPECT_EQ(packed[6] & 0xffffff, 0x00ff00);

  // An array too small for the block is left alone rather than overrun.
  Array<int> small(3);
  small[2] = 9;
  g->ReadPixels(small, 0, 0, 3, 2, 0, 3);
  EXPECT_EQ(small[2], 9);
}

TEST_F(Pixels, WritePixelsUploadsPremultipliedAndDrawsThem) {
  gxtkSurface* s = g->CreateSurface(4, 4);
  EXPECT_EQ(s->data, nullptr);
  Array<int> px(16);
  for (int i = 0; i < 16; ++i) px[i] = (int)0xff00ff00;  // opaque green
  gxtkGraphics::counters = gxtkFrameCounters();
  g->WritePixels2(s, px, 0, 0, 4, 4, 0, 4);
  EXPECT_EQ(gxtkGraphics::counters.textureUploads, 1) << "whole width: one upload";
  px[0] = (int)0x80ff0000;  // half-transparent red
  px[1] = (int)0x800000ff;
  px[2] = (int)0x00ffffff;  // transparent white: nothing
  px[3] = (int)0x80ff0000;
  g->WritePixels2(s, px, 1, 1, 2, 2, 0, 2);
  EXPECT_EQ(gxtkGraphics::counters.textureUploads, 3) << "a narrower rectangle uploads per row";
  const unsigned char* d = s->data + (1 * 4 + 1) * 4;
  EXPECT_EQ(d[0], 128);
  EXPECT_EQ(d[1], 0);
  EXPECT_EQ(d[3], 128);
  g->DrawSurface(s, 0, 0);
  EXPECT_EQ(RgbOf(g, 0, 0), (Rgb{0, 255, 0}));
  EXPECT_EQ(RgbOf(g, 1, 1), (Rgb{128, 0, 0}));
  EXPECT_EQ(RgbOf(g, 2, 1), (Rgb{0, 0, 128}));
  EXPECT_EQ(RgbOf(g, 1, 2), (Rgb{0, 0, 0}));

  // Outside the surface nothing is written.
  g->WritePixels2(s, px, 3, 3, 2, 2, 0, 2);
  EXPECT_EQ(s->data[15 * 4 + 1], 255);
}

}  // namespace
}  // namespace render_test
