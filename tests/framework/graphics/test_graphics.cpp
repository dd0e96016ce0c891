// The graphics module through a real device: images and frames from real PNG
// files, handles and flags, the default font, the matrix and its stack, state
// reset per frame, and where transformed images land on screen.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "tests/framework/graphics/graphics_env.h"
#include "tests/support/process.h"

namespace graphics_test {
namespace {

using render_test::Rgb;
using render_test::RgbOf;
using render_test::TempDir;
using render_test::WritePng;

std::vector<unsigned char> Solid(int w, int h, unsigned char r, unsigned char g,
                                 unsigned char b) {
  std::vector<unsigned char> px;
  for (int i = 0; i < w * h; ++i) px.insert(px.end(), {r, g, b, 255});
  return px;
}

std::string Picture(const std::string& name, int w, int h) {
  std::string path = TempDir() + "/" + name;
  WritePng(path, w, h, 4, Solid(w, h, 255, 0, 0));
  return path;
}

String S(const std::string& s) { return String(s.c_str()); }

class Graphics : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(StartModule()) << "a GL window is needed (run under Xvfb)";
    dev = Device();
  }
  void TearDown() override {
    if (vx_graphics_renderDevice) EndFrame();
  }
  void BeginFrame() {
    dev->BeginRender();
    vx_graphics_BeginRender();
    vx_graphics_Cls(0, 0, 0);
  }
  void EndFrame() {
    vx_graphics_EndRender();
    dev->EndRender();
  }
  c_GraphicsContext* ctx() { return vx_graphics_context; }

  RecordingGraphics* dev = nullptr;
};

TEST_F(Graphics, LoadImage2CutsFramesIntoRows) {
  c_Image* img = vx_graphics_LoadImage2(S(Picture("wide.png", 200, 100)), 64, 64, 3, 0);
  ASSERT_NE(img, nullptr);
  ASSERT_EQ(img->m_frames.Length(), 3);
  EXPECT_EQ(img->m_frames[0]->m_x, 0);
  EXPECT_EQ(img->m_frames[1]->m_x, 64);
  EXPECT_EQ(img->m_frames[2]->m_x, 128);
  EXPECT_EQ(img->m_frames[2]->m_y, 0);
  EXPECT_EQ(img->m_width, 64);
  EXPECT_EQ(img->m_flags, 0);

  c_Image* tall = vx_graphics_LoadImage2(S(Picture("tall.png", 200, 128)), 64, 64, 4, 0);
  ASSERT_NE(tall, nullptr);
  EXPECT_EQ(tall->m_frames[3]->m_x, 0) << "the fourth frame wraps to the next row";
  EXPECT_EQ(tall->m_frames[3]->m_y, 64);
}

TEST_F(Graphics, LoadImageWithCentreFlagIsAWholeSurfaceImage) {
  c_Image* img = vx_graphics_LoadImage(S(Picture("mid.png", 64, 32)), 1, 1);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(img->m_tx, 32);
  EXPECT_EQ(img->m_ty, 16);
  EXPECT_EQ(img->m_flags, c_Image::kFullFrame) << "the centre flag is removed once applied";
  BeginFrame();
  vx_graphics_DrawImage(img, 40, 30, 0);
  ASSERT_EQ(dev->Count("DrawSurface"), 1);
  EXPECT_EQ(dev->Count("DrawSurface2"), 0);
  EXPECT_EQ(dev->Last("DrawSurface")->args, (std::vector<float>{8, 14}));
  EXPECT_EQ(RgbOf(dev, 8, 14), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 71, 45), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 72, 45), (Rgb{0, 0, 0}));

  c_Image* strip = vx_graphics_LoadImage(S(Picture("strip.png", 64, 32)), 2, 0);
  vx_graphics_DrawImage(strip, 0, 0, 1);
  ASSERT_EQ(dev->Count("DrawSurface2"), 1) << "frames of a larger surface draw a region";
  EXPECT_EQ(dev->Last("DrawSurface2")->args, (std::vector<float>{0, 0, 32, 0, 32, 32}));
}

TEST_F(Graphics, HorizontalBorderFlagTrimsEveryFrame) {
  c_Image* font = vx_graphics_LoadImage(S(Picture("font.png", 960, 12)), 96, 2);
  ASSERT_NE(font, nullptr);
  ASSERT_EQ(font->m_frames.Length(), 96);
  EXPECT_EQ(font->m_width, 8);
  EXPECT_EQ(font->m_height, 12);
  EXPECT_EQ(font->m_frames[0]->m_x, 1);
  EXPECT_EQ(font->m_frames[95]->m_x, 951);
  EXPECT_EQ(font->m_flags, 2);

  c_Image* both = vx_graphics_LoadImage(S(Picture("both.png", 20, 10)), 2, 2 | 4 | 1);
  EXPECT_EQ(both->m_width, 8);
  EXPECT_EQ(both->m_height, 8);
  EXPECT_EQ(both->m_frames[1]->m_x, 11);
  EXPECT_EQ(both->m_frames[1]->m_y, 1);
  EXPECT_EQ(both->m_tx, 4) << "the handle is centred on the trimmed frame";
  EXPECT_EQ(both->m_flags, 6);
}

TEST_F(Graphics, SetHandleDropsTheCentreFlag) {
  c_Image* img = (new c_Image())->m_new();
  img->m_flags = 1 | 2;
  img->p_SetHandle(3, 4);
  EXPECT_EQ(img->m_flags, 2);
  EXPECT_EQ(img->m_tx, 3);
  EXPECT_EQ(img->m_ty, 4);
}

TEST_F(Graphics, MissingPicturesLoadAsNull) {
  EXPECT_EQ(vx_graphics_LoadImage(S(TempDir() + "/nothing.png"), 1, 0), nullptr);
  EXPECT_EQ(vx_graphics_LoadImage2(S(TempDir() + "/nothing.png"), 8, 8, 1, 0), nullptr);
  EXPECT_EQ(vx_graphics_LoadImage(String("gfx/none-such.png"), 1, 0), nullptr);
}

TEST_F(Graphics, DefaultFontComesFromTheDataFolderWithFirstChar32) {
  std::string game = TempDir() + "/fontgame";
  std::filesystem::create_directories(game + "/data");
  WritePng(game + "/data/vrin_font.png", 960, 10, 4, Solid(960, 10, 255, 255, 255));
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(game.c_str()), 0);
  vx_graphics_SetFont(nullptr, 65);
  ASSERT_EQ(chdir(cwd), 0);
  ASSERT_NE(ctx()->m_defaultFont, nullptr);
  EXPECT_EQ(ctx()->m_font, ctx()->m_defaultFont);
  EXPECT_EQ(ctx()->m_firstChar, 32) << "the default font always starts at the space";
  EXPECT_EQ(ctx()->m_font->m_frames.Length(), 96);
  EXPECT_EQ(ctx()->m_font->m_frames[1]->m_x, 11);

  c_Image* mine = vx_graphics_LoadImage(S(Picture("mine.png", 16, 8)), 2, 0);
  vx_graphics_SetFont(mine, 65);
  EXPECT_EQ(ctx()->m_font, mine);
  EXPECT_EQ(ctx()->m_firstChar, 65);
  c_Image* before = ctx()->m_defaultFont;
  vx_graphics_SetFont(nullptr, 0);  // loaded once, from then on reused
  EXPECT_EQ(ctx()->m_font, before);
}

TEST_F(Graphics, DefaultFontMissingLeavesNoFont) {
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir(TempDir().c_str()), 0);  // no data folder here
  vx_graphics_SetFont(nullptr, 32);
  ASSERT_EQ(chdir(cwd), 0);
  EXPECT_EQ(ctx()->m_font, nullptr);
  EXPECT_EQ(ctx()->m_firstChar, 32);
}

TEST_F(Graphics, TranslateByZeroKeepsTheIdentity) {
  BeginFrame();
  vx_graphics_Translate(0, 0);
  EXPECT_EQ(ctx()->m_tformed, 0);
  vx_graphics_Translate(1, 0);
  EXPECT_EQ(ctx()->m_tformed, 1);
  EXPECT_EQ(ctx()->m_matDirty, 1);
}

TEST_F(Graphics, TransformsPostMultiply) {
  BeginFrame();
  vx_graphics_Translate(10, 20);
  vx_graphics_Scale(2, 3);
  vx_graphics_Translate(1, 1);  // in scaled units: 2 and 3 pixels
  EXPECT_EQ(ctx()->m_ix, 2);
  EXPECT_EQ(ctx()->m_jy, 3);
  EXPECT_EQ(ctx()->m_tx, 12);
  EXPECT_EQ(ctx()->m_ty, 23);
  vx_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  vx_graphics_Rotate(30);
  float r = 30 * 0.0174532924f;
  EXPECT_EQ(ctx()->m_ix, (float)std::cos((double)r));
  EXPECT_EQ(ctx()->m_iy, -(float)std::sin((double)r));
  EXPECT_EQ(ctx()->m_jx, (float)std::sin((double)r));
  float m[] = {1, 2, 3, 4, 5, 6};
  vx_graphics_SetMatrix2(Array<float>(m, 6));
  EXPECT_EQ(ctx()->m_ty, 6);
  vx_graphics_Transform2(Array<float>(m, 6));
  EXPECT_EQ(ctx()->m_ix, 1 * 1 + 3 * 2);
  EXPECT_EQ(ctx()->m_tx, 1 * 5 + 3 * 6 + 5);
}

TEST_F(Graphics, MatrixReachesTheDeviceOnlyBeforeADraw) {
  BeginFrame();
  dev->calls.clear();
  vx_graphics_Translate(5, 0);
  vx_graphics_Translate(5, 0);
  vx_graphics_Cls(0, 0, 0);
  EXPECT_EQ(dev->Count("SetMatrix"), 0) << "Cls does not validate";
  vx_graphics_DrawRect(0, 0, 4, 4);
  vx_graphics_DrawRect(0, 8, 4, 4);
  ASSERT_EQ(dev->Count("SetMatrix"), 1);
  EXPECT_EQ(dev->Last("SetMatrix")->args, (std::vector<float>{1, 0, 0, 1, 10, 0}));
  EXPECT_EQ(ctx()->m_matDirty, 0);
  EXPECT_EQ(RgbOf(dev, 10, 9), (Rgb{255, 255, 255}));
  EXPECT_EQ(RgbOf(dev, 9, 9), (Rgb{0, 0, 0}));
}

TEST_F(Graphics, PushAndPopRestoreThirtyTwoLevels) {
  BeginFrame();
  for (int i = 0; i < 32; ++i) {
    vx_graphics_Translate(1, 0);
    vx_graphics_PushMatrix();
  }
  EXPECT_EQ(ctx()->m_matrixSp, 192);
  vx_graphics_SetMatrix(9, 9, 9, 9, 9, 9);
  for (int i = 32; i > 0; --i) {
    vx_graphics_PopMatrix();
    EXPECT_EQ(ctx()->m_tx, i);
  }
  EXPECT_EQ(ctx()->m_matrixSp, 0);
  EXPECT_EQ(ctx()->m_tformed, 1);
  EXPECT_EQ(ctx()->m_matDirty, 1);
}

TEST_F(Graphics, BeginRenderResetsEverythingButTheFont) {
  BeginFrame();
  vx_graphics_SetColor(1, 2, 3);
  vx_graphics_SetAlpha(0.25f);
  vx_graphics_SetBlend(1);
  vx_graphics_SetScissor(1.9f, 2.9f, 10.7f, 5.2f);
  EXPECT_EQ(dev->Last("SetScissor")->args, (std::vector<float>{1, 2, 10, 5}));
  EXPECT_EQ(ctx()->m_scissorX, 1.9f);
  vx_graphics_Translate(3, 3);
  vx_graphics_PushMatrix();
  c_Image* font = (new c_Image())->m_new();
  vx_graphics_SetFont(font, 40);
  EndFrame();

  BeginFrame();
  EXPECT_EQ(ctx()->m_colorR, 255);
  EXPECT_EQ(ctx()->m_colorB, 255);
  EXPECT_EQ(ctx()->m_alpha, 1);
  EXPECT_EQ(ctx()->m_blend, 0);
  EXPECT_EQ(ctx()->m_matrixSp, 0);
  EXPECT_EQ(ctx()->m_tx, 0);
  EXPECT_EQ(ctx()->m_tformed, 0);
  EXPECT_EQ(ctx()->m_scissorW, (float)dev->Width());
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  EXPECT_EQ(ctx()->m_font, font);
  EXPECT_EQ(ctx()->m_firstChar, 40);
  EXPECT_EQ(dev->blendInForce, 0);
}

TEST_F(Graphics, ReadPixelsWithPitchZeroUsesTheWidth) {
  BeginFrame();
  vx_graphics_SetColor(0, 0, 255);
  vx_graphics_DrawRect(0, 0, 3, 2);
  Array<int> px(6);
  vx_graphics_ReadPixels(px, 0, 0, 3, 2, 0, 0);
  EXPECT_EQ(dev->Last("ReadPixels")->args[5], 3);
  for (int i = 0; i < 6; ++i) EXPECT_EQ(px[i] & 0xffffff, 0x0000ff) << i;
}

TEST_F(Graphics, EllipseIsTheOvalOfItsBox) {
  BeginFrame();
  vx_graphics_DrawEllipse(50, 40, 20, 10);
  EXPECT_EQ(dev->Last("DrawOval")->args, (std::vector<float>{30, 30, 40, 20}));
}

TEST_F(Graphics, RotatedScaledImageLandsWhereTheMatrixSays) {
  // 4 x 2 picture, centre handle, drawn at (50, 40) turned 90 degrees and
  // scaled 3 x 2: local x runs along the screen's -y and local y along +x, so
  // it covers x 48..52 and y 34..46.
  c_Image* img = vx_graphics_LoadImage(S(Picture("turn.png", 4, 2)), 1, 1);
  ASSERT_NE(img, nullptr);
  BeginFrame();
  vx_graphics_DrawImage2(img, 50, 40, 90, 3, 2, 0);
  EXPECT_EQ(RgbOf(dev, 50, 40), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 48, 34), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 51, 45), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 47, 40), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 52, 40), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 50, 33), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 50, 46), (Rgb{0, 0, 0}));
  EXPECT_EQ(ctx()->m_matrixSp, 0) << "the matrix is popped again";
  EXPECT_EQ(ctx()->m_ix, 1);

  // Without rotation: scaled about the handle.
  vx_graphics_Cls(0, 0, 0);
  vx_graphics_DrawImage2(img, 20, 20, 0, 2, 2, 0);  // x 16..24, y 18..22
  EXPECT_EQ(RgbOf(dev, 16, 18), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 23, 21), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 24, 21), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(dev, 23, 22), (Rgb{0, 0, 0}));
}

TEST_F(Graphics, NothingIsDrawnOutsideAFrameOrForAMissingFrame) {
  c_Image* img = vx_graphics_LoadImage(S(Picture("one.png", 2, 2)), 1, 0);
  vx_graphics_DrawRect(0, 0, 5, 5);
  vx_graphics_DrawImage(img, 0, 0, 0);
  vx_graphics_DrawImage2(img, 0, 0, 0, 1, 1, 0);
  EXPECT_EQ(dev->primCount, 0);
  BeginFrame();
  vx_graphics_DrawImage(img, 0, 0, 1);
  vx_graphics_DrawImage(img, 0, 0, -1);
  vx_graphics_DrawImage2(img, 0, 0, 0, 1, 1, 5);
  vx_graphics_DrawImage(nullptr, 0, 0, 0);
  EXPECT_EQ(dev->primCount, 0);
  EXPECT_EQ(ctx()->m_matrixSp, 0);
}

// Faults that end the program, run in the probe process.
ProcessResult Probe(const std::vector<std::string>& args) {
  std::vector<std::string> argv = {GRAPHICS_PROBE};
  argv.insert(argv.end(), args.begin(), args.end());
  ProcessOptions o;
  o.env.push_back("ASAN_OPTIONS=detect_leaks=0");
  return RunProcess(argv, o);
}

TEST(GraphicsFaults, FrameOutsideTheSurfaceEndsTheProgram) {
  std::string shortPic = TempDir() + "/probe-short.png";
  std::string tallPic = TempDir() + "/probe-tall.png";
  WritePng(shortPic, 200, 100, 4, Solid(200, 100, 1, 1, 1));
  WritePng(tallPic, 200, 128, 4, Solid(200, 128, 1, 1, 1));

  ProcessResult r = Probe({"frames", shortPic, "4"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "Zorbel Runtime Error : Image frame outside surface\n\n");

  r = Probe({"frames", shortPic, "3"});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "0,0 64,0 128,0\n");

  r = Probe({"frames", tallPic, "4"});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(r.out, "0,0 64,0 128,0 0,64\n");
}

TEST(GraphicsFaults, MatrixStackOverflowAndUnderflowAreRuntimeErrors) {
  ProcessResult r = Probe({"push", "32"});
  EXPECT_EQ(r.status, 0) << r.out;
  r = Probe({"push", "33"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "Zorbel Runtime Error : Matrix stack overflow\n\n");
  r = Probe({"pop"});
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out, "Zorbel Runtime Error : Matrix stack underflow\n\n");
}

}  // namespace
}  // namespace graphics_test
