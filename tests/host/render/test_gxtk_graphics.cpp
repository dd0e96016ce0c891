// The renderer in a real window, pixels read back: what breaks a batch, oval
// segments, premultiplied colour and blending, shapes, the scissor and the
// processor-side matrix, a surface in a new window, and PNG files (known-bad
// ones are the fuzz corpus's).
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>

#include "host/platform/glfw2.h"
#include "host/render/gxtk_graphics.h"
#include "stb_image_write.h"
#include "tests/support/devices.h"
#include "tests/support/files.h"

namespace {

constexpr int kWidth = 128, kHeight = 96;
constexpr int kBlack = 0, kRed = 0xFF0000, kGreen = 0x00FF00;

// The pixel at (x, y), top-left origin, through ReadPixels, as 0xRRGGBB.
int RgbOf(gxtkGraphics* g, int x, int y) {
  Array<int> px(1);
  g->ReadPixels(px, x, y, 1, 1, 0, 1);
  return px[0] & 0xFFFFFF;
}
// Each {x, y, 0xRRGGBB}.
using Pixels = std::vector<std::array<int, 3>>;
void Expect(gxtkGraphics* g, const Pixels& pixels) {
  for (const auto& p : pixels)
    EXPECT_EQ(RgbOf(g, p[0], p[1]), p[2])
        << std::hex << "0x" << p[2] << std::dec << " at " << p[0] << "," << p[1];
}

// One window for the suite; a fresh device and a cleared frame per test.
class Render : public ::testing::Test {
 protected:
  void SetUp() override {
    static bool open = false;
    ASSERT_TRUE(open || (open = test_support::OpenWindow(kWidth, kHeight)))
        << "a GL window is needed (run under Xvfb)";
    g = new gxtkGraphics();
    g->BeginRender();
    glDisable(GL_SCISSOR_TEST);  // one an earlier test left in the context
    g->Cls(0, 0, 0);
  }
  void TearDown() override {
    if (g) g->EndRender();
  }
  // A bound surface from RGBA bytes, as a decoded picture would arrive.
  gxtkSurface* SurfaceOf(int w, int h, const std::vector<unsigned char>& px) {
    gxtkSurface* s = new gxtkSurface();
    s->SetData((unsigned char*)std::memcpy(std::malloc(px.size()), px.data(), px.size()), w, h, 4);
    s->Bind();
    return s;
  }

  gxtkGraphics* g = nullptr;
};

TEST_F(Render, ABatchHolds1024VerticesSo300SpritesAreTwoDrawCalls) {
  gxtkSurface* s = SurfaceOf(2, 2, std::vector<unsigned char>(16, 255));
  for (int i = 0; i < 300; ++i) {
    EXPECT_TRUE(i != 256 || g->primCount * 10 + gxtkGraphics::counters.drawCalls == 10240)
        << "the buffer is full";
    g->DrawSurface(s, (float)(i % 100), (float)(i / 100));
  }
  g->EndRender();
  EXPECT_EQ(gxtkGraphics::lastFrame.drawCalls * 10000 + gxtkGraphics::lastFrame.vertices, 21200);
  g->BeginRender();
  EXPECT_EQ(gxtkGraphics::counters.drawCalls, 0) << "a new frame counts from zero";
}

TEST_F(Render, OnlyAChangeOfKindTextureOrStateInForceBreaksTheBatch) {
  gxtkSurface* a = SurfaceOf(1, 1, {255, 0, 0, 255});
  gxtkSurface* b = SurfaceOf(1, 1, {0, 255, 0, 255});
  // Each step and the draw calls so far; any blend but 1 is the one in force.
  const struct {
    const char* what;
    std::function<void()> step;
    int drawCalls;
  } steps[] = {
      {"rect, blend in force", [&] { g->DrawRect(0, 0, 4, 4), g->SetBlend(0), g->SetBlend(2); }, 0},
      {"additive", [&] { g->SetBlend(1); }, 1},
      {"rect, window scissor",
       [&] { g->DrawRect(4, 0, 4, 4), g->SetScissor(0, 0, kWidth, kHeight); }, 2},
      {"rect, window scissor again",
       [&] { g->DrawRect(8, 0, 4, 4), g->SetScissor(0, 0, kWidth, kHeight); }, 2},
      {"scissor rectangle", [&] { g->SetScissor(1, 1, 10, 10); }, 3},
      {"rect, same rectangle", [&] { g->DrawRect(8, 0, 4, 4), g->SetScissor(1, 1, 10, 10); }, 3},
      {"point", [&] { g->DrawPoint(1, 1); }, 4},
      {"surface a twice", [&] { g->DrawSurface(a, 0, 0), g->DrawSurface(a, 4, 0); }, 5},
      {"surface b", [&] { g->DrawSurface(b, 8, 0); }, 6},
      {"triangle", [&] { g->DrawPoly(Array<float>(6)); }, 7},
      {"two five-gons", [&] { g->DrawPoly(Array<float>(10)), g->DrawPoly(Array<float>(10)); }, 8},
      {"no vertex, half a vertex",
       [&] { g->DrawPoly(Array<float>()), g->DrawPoly(Array<float>(1)); }, 8},
      {"1025, plain and textured",
       [&] { g->DrawPoly(Array<float>(2050)), g->DrawPoly2(Array<float>(4100), a, 0, 0); }, 8},
      {"flush, then of nothing", [&] { g->Flush(), g->Flush(); }, 10},
      {"cls drops the batch", [&] { g->DrawRect(0, 0, 1, 1), g->Cls(0, 0, 0), g->Flush(); }, 10},
  };
  for (const auto& s : steps) {
    s.step();
    EXPECT_EQ(gxtkGraphics::counters.drawCalls, s.drawCalls) << s.what;
  }
}

TEST_F(Render, OvalSegmentsFollowTheSizeAfterTheMatrix) {
  const struct {
    float w, h, scale;
    int segments;
  } ovals[] = {
      {4, 4, 1, 12},     {22, 2, 1, 12},        {26, 8, 1, 16},          {100, 50, 1, 72},
      {-100, 50, 1, 72}, {3000, 3000, 1, 1024}, {1e30f, 1e30f, 1, 1024}, {NAN, 4, 1, 12},
      {20, 20, 3, 60},   {10, 10, 1.15f, 12}};  // 11.5 after the matrix: truncated first, so 12
  for (const auto& o : ovals) {
    g->SetMatrix(o.scale, 0, 0, o.scale, 0, 0);
    EXPECT_EQ(g->OvalSegments(o.w, o.h), o.segments) << o.w << " x " << o.h << " at " << o.scale;
  }
  g->SetMatrix(0, 2, -2, 0, 5, 5);  // a quarter turn, doubled
  EXPECT_EQ(g->OvalSegments(40, 20), 60);
  g->SetMatrix(1, 0, 0, 1, 0, 0);
  g->DrawOval(0, 0, 100, 50), g->DrawOval(10, 10, 100, 50), g->DrawOval(0, 0, 4, 4);
  EXPECT_EQ(g->primType * 1000 + gxtkGraphics::counters.drawCalls, 12002)
      << "same count, one batch; a fan each";
}

TEST_F(Render, ColourIsPremultipliedAndBothBlendModesMixAsDesigned) {
  g->SetColor(300, -5, NAN);
  EXPECT_EQ(g->color, 0xFF0000FFu) << "out of range stays a byte";
  g->Cls(0, 0, 200);
  g->SetAlpha(0.5f);
  g->SetColor(255, 0, 0);
  g->DrawRect(0, 0, kWidth, 10);  // half red over blue
  g->SetAlpha(1);
  g->SetColor(100, 0, 0);
  g->DrawRect(0, 10, kWidth, 10);
  g->SetBlend(1);
  g->SetColor(50, 100, 0);
  g->DrawRect(0, 10, 10, 10);
  g->DrawRect(0, 10, 10, 10);
  g->SetBlend(0);
  g->SetColor(0, 255, 0);
  g->DrawRect(0, 20, 10, 10);
  const int mixed = RgbOf(g, 3, 3);
  EXPECT_TRUE(std::abs((mixed >> 16) - 127) <= 1 && std::abs((mixed & 0xFFFF) - 100) <= 2)
      << std::hex << mixed;
  Expect(
      g,
      {{5, 15, 0xC8C800}, {50, 15, 0x640000}, {5, 25, kGreen}});  // additive adds; opaque replaces
}

TEST_F(Render, ShapesTheScissorAndTheMatrixPutPixelsWhereDesigned) {
  g->SetColor(255, 0, 0);
  g->DrawOval(20, 20, 60, 40);  // centre (50, 40), radii 30 and 20
  g->DrawPoint(5.5f, 6.5f);
  g->DrawLine(0, 70.5f, 50, 70.5f);
  g->SetMatrix(2, 0, 0, 3, 90, 20);
  g->DrawRect(0, 0, 5, 5);  // (90, 20) .. (100, 35)
  g->Flush();
  EXPECT_EQ(g->vertices[2].x * 1000 + g->vertices[2].y, 100035) << "transformed on the processor";
  float mv[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, mv);
  EXPECT_EQ(mv[0] * 100 + mv[12], 100) << "the GL matrix stays the identity";
  g->SetMatrix(1, 0, 0, 1, NAN, 0);
  EXPECT_TRUE(g->tformed) << "a NaN is never the identity";
  g->SetMatrix(1, 0, 0, 1, 0, 0);
  g->SetScissor(100, 50, 20, 30);  // from the top left: (100, 50) .. (120, 80)
  g->SetColor(0, 255, 0);
  g->DrawRect(0, 0, kWidth, kHeight);
  // The oval, the point, the line, the rectangle under the matrix, the scissor's edges.
  const Pixels shapes = {{50, 40, kRed},    {22, 40, kRed},    {50, 22, kRed},    {22, 22, kBlack},
                         {77, 58, kBlack},  {5, 6, kRed},      {6, 6, kBlack},    {25, 70, kRed},
                         {25, 72, kBlack},  {90, 20, kRed},    {99, 34, kRed},    {100, 34, kBlack},
                         {99, 35, kBlack},  {100, 50, kGreen}, {119, 79, kGreen}, {99, 50, kBlack},
                         {100, 49, kBlack}, {120, 60, kBlack}, {110, 80, kBlack}};
  Expect(g, shapes);
  g->SetScissor(0, 0, kWidth, kHeight);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
}

TEST_F(Render, ASurfaceComesBackInANewWindowAtItsNextUseAndGoesWithDiscard) {
  std::vector<unsigned char> px;
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 100; ++x)
      px.insert(px.end(), {(unsigned char)(x * 2), (unsigned char)(y * 4), 0, 255});
  gxtkSurface* s = SurfaceOf(100, 60, px);
  g->EndRender();
  const int oldSeq = glfwGraphicsSeq;
  ASSERT_TRUE(test_support::OpenWindow(kWidth, kHeight));  // a new GL context
  EXPECT_EQ(s->seq, oldSeq) << "nothing happens until the surface is used";
  g = new gxtkGraphics();
  g->BeginRender();
  g->Cls(0, 0, 0);
  g->DrawSurface(s, 0, 0), g->DrawSurface(s, 0, 0), g->Flush();
  EXPECT_EQ(s->seq, glfwGraphicsSeq);
  EXPECT_EQ(gxtkGraphics::counters.texturesMade * 10 + gxtkGraphics::counters.textureUploads, 11)
      << "made again and its pixels uploaded, once";
  Expect(g, {{0, 0, kBlack}, {99, 59, 0xC6EC00}, {37, 11, 0x4A2C00}, {100, 30, kBlack}});
  const GLuint tex = s->texture;
  s->Discard();
  s->Discard();  // twice is harmless
  EXPECT_TRUE(s->data == nullptr && !glIsTexture(tex));
}

TEST_F(Render, PngFilesLoadWithTheirComponentCountAndKeepAPremultipliedCopy) {
  test_files::ScratchDir dir("quorvex-render");
  const struct {
    const char* name;
    int w, h, comp;
    std::vector<unsigned char> px, kept;  // as written, as the surface keeps them
    GLenum format;
  } files[] = {{"grey", 2, 1, 1, {10, 250}, {10, 250}, GL_LUMINANCE},
               {"greyalpha", 1, 1, 2, {200, 128}, {100, 128}, GL_LUMINANCE_ALPHA},
               {"rgb", 1, 2, 3, {1, 2, 3, 4, 5, 6}, {1, 2, 3, 4, 5, 6}, GL_RGB},
               {"rgba",
                2,
                1,
                4,
                {255, 100, 3, 51, 0, 255, 0, 255},
                {51, 20, 0, 51, 0, 255, 0, 255},
                GL_RGBA}};
  gxtkSurface* s = nullptr;
  for (size_t i = 0; i < std::size(files); ++i) {
    const auto& f = files[i];
    const std::string path = (dir / (std::string(f.name) + ".png")).string();
    ASSERT_TRUE(stbi_write_png(path.c_str(), f.w, f.h, f.comp, f.px.data(), f.w * f.comp));
    int w = 0, h = 0, depth = 0;
    unsigned char* p = VxGlfwGame::_glfwGame->LoadImageData(String(path.c_str()), &w, &h, &depth);
    ASSERT_NE(p, nullptr) << f.name;
    EXPECT_EQ(std::vector<int>({w, h, depth}), std::vector<int>({f.w, f.h, f.comp})) << f.name;
    EXPECT_EQ(std::vector<unsigned char>(p, p + f.px.size()), f.px) << f.name;
    std::free(p);
    ASSERT_NE(s = g->LoadSurface(String(path.c_str())), nullptr) << f.name;
    EXPECT_EQ(std::vector<unsigned char>(s->data, s->data + f.kept.size()), f.kept) << f.name;
    EXPECT_EQ(s->format * 10 + (s->seq == glfwGraphicsSeq), f.format * 10 + 1)
        << "its texture made at once";
    g->DrawSurface(s, 3.0f * (float)i, 0);
  }
  g->DrawSurface2(s, 20, 0, 1, 0, 1, 1);  // the second pixel only
  const Pixels drawn = {{1, 0, 0xFAFAFA}, {9, 0, 0x331400}, {10, 0, kGreen},
                        {11, 0, kBlack},  {20, 0, kGreen},  {21, 0, kBlack}};
  Expect(g, drawn);
}

}  // namespace
