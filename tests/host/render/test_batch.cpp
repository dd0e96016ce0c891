// The batch: which primitives share a draw call, when it breaks, and the
// counters the benchmark reads.
#include <cstring>

#include "tests/host/render/render_env.h"

namespace render_test {
namespace {

using Batch = RenderTest;

std::vector<unsigned char> Solid(int w, int h, unsigned char r, unsigned char g, unsigned char b) {
  std::vector<unsigned char> px;
  for (int i = 0; i < w * h; ++i) px.insert(px.end(), {r, g, b, 255});
  return px;
}

TEST_F(Batch, ThreeHundredSpritesOfOneSurfaceAreTwoDrawCalls) {
  gxtkSurface* s = SurfaceOf(2, 2, Solid(2, 2, 255, 255, 255));
  for (int i = 0; i < 300; ++i) g->DrawSurface(s, (float)(i % 100), (float)(i / 100));
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 2) << "256 quads fill the buffer, 44 follow";
  EXPECT_EQ(gxtkGraphics::counters.vertices, 1200);
}

TEST_F(Batch, PointThenRectangleFlushesThePoints) {
  g->DrawPoint(1, 1);
  EXPECT_EQ(g->primCount, 1);
  g->DrawRect(2, 2, 3, 3);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 1) << "the point batch was drawn";
  EXPECT_EQ(g->primType, gxtkGraphics::kQuads);
  EXPECT_EQ(g->primCount, 4);
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 2);
  EXPECT_EQ(g->primCount, 0);
}

TEST_F(Batch, TwoSurfacesFlushBetweenThem) {
  gxtkSurface* a = SurfaceOf(2, 2, Solid(2, 2, 255, 0, 0));
  gxtkSurface* b = SurfaceOf(2, 2, Solid(2, 2, 0, 255, 0));
  g->DrawSurface(a, 0, 0);
  g->DrawSurface(a, 4, 0);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 0);
  g->DrawSurface(b, 8, 0);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 1);
  EXPECT_EQ(g->primSurf, b);
  g->DrawRect(0, 10, 2, 2);  // untextured quads are another batch
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 2);
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 3);
  EXPECT_EQ(RgbOf(g, 1, 1), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(g, 9, 1), (Rgb{0, 255, 0}));
}

TEST_F(Batch, OvalsOfOneSegmentCountShareABatch) {
  g->DrawOval(0, 0, 100, 50);
  g->DrawOval(10, 10, 100, 50);
  EXPECT_EQ(g->primType, 72);
  EXPECT_EQ(g->primCount, 144);
  EXPECT_EQ(gxtkGraphics::counters.flushes, 0);
  g->DrawOval(0, 0, 4, 4);  // 12 segments: another kind
  EXPECT_EQ(gxtkGraphics::counters.flushes, 1);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 2) << "one fan per oval";
  EXPECT_EQ(gxtkGraphics::counters.vertices, 144);
}

TEST_F(Batch, OvalSegmentsFollowTheSizeRule) {
  EXPECT_EQ(g->OvalSegments(4, 4), 12);
  EXPECT_EQ(g->OvalSegments(100, 50), 72);
  EXPECT_EQ(g->OvalSegments(3000, 3000), 1024);
  EXPECT_EQ(g->OvalSegments(-100, 50), 72) << "sizes count by magnitude";
  EXPECT_EQ(g->OvalSegments(1e30f, 1e30f), 1024);
  // Drawn, each is one fan of that many vertices.
  for (float size : {4.0f, 100.0f, 3000.0f}) {
    gxtkGraphics::counters = gxtkFrameCounters();
    g->DrawOval(0, 0, size, size == 100 ? 50 : size);
    g->Flush();
    EXPECT_EQ(gxtkGraphics::counters.drawCalls, 1);
    EXPECT_EQ(gxtkGraphics::counters.vertices, size == 4 ? 12 : size == 100 ? 72 : 1024);
  }
}

TEST_F(Batch, TransformedOvalsCountSegmentsAfterTheMatrix) {
  g->SetMatrix(3, 0, 0, 3, 0, 0);
  EXPECT_EQ(g->OvalSegments(20, 20), 60) << "radii 30 + 30 on screen";
  g->SetMatrix(0, 2, -2, 0, 5, 5);  // a quarter turn, doubled
  EXPECT_EQ(g->OvalSegments(40, 20), 60);
}

TEST_F(Batch, FullBufferFlushesAndStartsAgain) {
  for (int i = 0; i < 257; ++i) g->DrawRect(0, 0, 1, 1);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 1);
  EXPECT_EQ(g->primCount, 4);
  for (int i = 0; i < 1023; ++i) g->DrawPoint(0, 0);
  g->DrawLine(0, 0, 1, 1);  // a different kind flushes the points
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 3);
  EXPECT_EQ(gxtkGraphics::counters.vertices, 1024 + 4 + 1023);
}

TEST_F(Batch, RedundantBlendKeepsOneDrawCall) {
  g->SetBlend(0);
  g->DrawRect(0, 0, 4, 4);
  g->SetBlend(0);
  g->DrawRect(4, 0, 4, 4);
  g->SetBlend(2);  // any mode but 1 is alpha blending: the same picture
  g->DrawRect(8, 0, 4, 4);
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 1);

  gxtkGraphics::counters = gxtkFrameCounters();
  g->DrawRect(0, 0, 4, 4);
  g->SetBlend(1);
  g->DrawRect(4, 0, 4, 4);
  g->SetBlend(1);
  g->DrawRect(8, 0, 4, 4);
  g->SetBlend(0);
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 2);
}

TEST_F(Batch, RedundantScissorKeepsTheBatch) {
  g->SetScissor(0, 0, kWidth, kHeight);
  g->DrawRect(0, 0, 4, 4);
  g->SetScissor(0, 0, kWidth, kHeight);
  g->DrawRect(4, 0, 4, 4);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 0);
  g->SetScissor(1, 1, 10, 10);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 1);
  g->DrawRect(0, 0, 4, 4);
  g->SetScissor(1, 1, 10, 10);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 1);
  g->SetScissor(0, 0, kWidth, kHeight);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 2);
}

TEST_F(Batch, PolygonsBatchByVertexCount) {
  float tri[] = {0, 0, 10, 0, 0, 10};
  g->DrawPoly(Array<float>(tri, 6));
  EXPECT_EQ(g->primType, gxtkGraphics::kTriangles);
  float five[] = {0, 0, 10, 0, 12, 5, 5, 12, 0, 8};
  g->DrawPoly(Array<float>(five, 10));
  g->DrawPoly(Array<float>(five, 10));
  EXPECT_EQ(g->primType, 5);
  EXPECT_EQ(g->primCount, 10);
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.flushes, 2);
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 3) << "one triangle batch, two fans";
}

TEST_F(Batch, PolygonsOutsideOneTo1024VerticesDrawNothing) {
  g->DrawPoly(Array<float>());
  g->DrawPoly(Array<float>(1));  // half a vertex
  g->DrawPoly(Array<float>(2050));
  Array<float> tex(4100);
  gxtkSurface* s = SurfaceOf(1, 1, Solid(1, 1, 255, 255, 255));
  g->DrawPoly2(tex, s, 0, 0);
  EXPECT_EQ(g->primCount, 0);
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 0);
  g->DrawPoly(Array<float>(2048));
  EXPECT_EQ(g->primCount, 1024);
}

TEST_F(Batch, QuadIndicesMakeTwoTrianglesPerQuad) {
  const unsigned short first[] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
  EXPECT_EQ(std::memcmp(g->quadIndices, first, sizeof first), 0);
  const unsigned short* last = &g->quadIndices[255 * 6];
  EXPECT_EQ(last[0], 1020);
  EXPECT_EQ(last[5], 1023);
}

TEST_F(Batch, ClsDropsThePendingBatch) {
  g->SetColor(255, 0, 0);
  g->DrawRect(0, 0, kWidth, kHeight);
  g->Cls(0, 0, 255);
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 0);
  EXPECT_EQ(RgbOf(g, 5, 5), (Rgb{0, 0, 255}));
}

TEST_F(Batch, EndRenderKeepsTheFrameCounters) {
  g->DrawRect(0, 0, 2, 2);
  g->DrawPoint(0, 0);
  g->EndRender();
  EXPECT_EQ(gxtkGraphics::lastFrame.drawCalls, 2);
  EXPECT_EQ(gxtkGraphics::lastFrame.vertices, 5);
  g->BeginRender();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 0) << "a new frame counts from zero";
  EXPECT_EQ(gxtkGraphics::lastFrame.drawCalls, 2);
}

}  // namespace
}  // namespace render_test
