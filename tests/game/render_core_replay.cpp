// The render of the application on a real window: the scale and virtual
// screen chosen from the device size, the background fill, and the replay of
// the draw list (rectangles, ovals, images) read back as pixels. Needs an X
// display (Xvfb in CI); skipped without one.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "framework/graphics.h"
#include "game/myapp.h"
#include "tests/host/render/render_env.h"

namespace {

using render_test::Rgb;
using render_test::RgbOf;

// A device that reports a chosen size; outside a frame nothing reaches GL, so
// the scale can be seen for sizes no test window has.
class SizedGraphics : public gxtkGraphics {
 public:
  int w = 640, h = 480;
  int Width() override { return w; }
  int Height() override { return h; }
};

bool Near(const Rgb& a, const Rgb& b) {
  return std::abs(a.r - b.r) <= 2 && std::abs(a.g - b.g) <= 2 && std::abs(a.b - b.b) <= 2;
}

class Replay : public ::testing::Test {
 protected:
  c_MyApp* app = nullptr;
  gxtkGraphics* dev = nullptr;

  void SetUp() override {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
    gc_assign(vx_graphics_context, (new c_GraphicsContext())->m_new());
    vx_graphics_renderDevice = nullptr;
    vx_Quorvex_jscrw = 640;
    vx_Quorvex_jscrh = 480;
    vx_Quorvex_rawscrw = 640;  // vxInit's design size
    vx_Quorvex_rawscrh = 480;
    vx_Quorvex_overscan = 0;
    app = new c_MyApp();
    app->m_clearAlpha = 1;
  }

  void TearDown() override {
    if (vx_graphics_renderDevice) EndFrame();
    vx_graphics_SetGraphicsDevice(nullptr);
  }

  // A real window of this size and a fresh device on it.
  void Window(int w, int h) {
    static int openW = 0, openH = 0;
    if (openW != w || openH != h) {
      ASSERT_TRUE(render_test::OpenWindow(w, h)) << "a GL window is needed (run under Xvfb)";
      openW = w;
      openH = h;
    }
    dev = new gxtkGraphics();
    ASSERT_EQ(dev->Width(), w);
    vx_graphics_SetGraphicsDevice(dev);
    app->m_deviceWidth = w;
    app->m_deviceHeight = h;
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

  // A 16 x 16 green picture with its handle at the centre, in image slot 5.
  void GreenImage() {
    const int n = 16 * 16 * 4;
    unsigned char* px = (unsigned char*)std::malloc(n);
    for (int i = 0; i < n; i += 4) {
      px[i] = 0;
      px[i + 1] = 255;
      px[i + 2] = 0;
      px[i + 3] = 255;
    }
    gxtkSurface* s = new gxtkSurface();
    s->SetData(px, 16, 16, 4);
    s->Bind();
    gc_assign(app->m_img[5], (new c_Image())->m_new()->p_Init(s, 1, c_Image::kMidHandle));
  }

  // The same three records every time: a red rectangle, a blue oval, the green
  // image at size 2, and an image record of an empty slot.
  void Records() {
    app->p_CLS2D(0, 0, 0, 1);
    app->p_SetCol(255, 0, 0);
    app->p_Rect(100, 100, 50, 40);
    app->p_SetCol(0, 0, 255);
    app->p_Oval(400, 300, 30, 20);
    app->p_SetCol(255, 255, 255);
    app->p_SetSize(2);
    app->p_DrawImg(5, 300, 200, 0);
    app->p_DrawImg(7, 50, 400, 0);
  }
};

TEST_F(Replay, TheScaleKeepsOneSideOfTheVirtualScreenAtTheDesignSize) {
  SizedGraphics* sized = new SizedGraphics();
  vx_graphics_SetGraphicsDevice(sized);
  struct Case {
    int w, h;
    float scale, vw, vh;
    int axis, landscape;
  };
  const Case cases[] = {{640, 480, 1, 640, 480, 1, 1},     {1280, 720, 2, 640, 360, 1, 1},
                        {1920, 1080, 3, 640, 360, 1, 1},   {720, 1280, 1280.0f / 480, 270, 480, 2, 0},
                        {1280, 960, 2, 640, 480, 1, 1}};
  for (const Case& c : cases) {
    sized->w = c.w;
    sized->h = c.h;
    app->p_OnRender();
    EXPECT_FLOAT_EQ(app->m_scaleX, c.scale) << c.w << " x " << c.h;
    EXPECT_FLOAT_EQ(app->m_scaleY, c.scale) << c.w << " x " << c.h;
    EXPECT_FLOAT_EQ(vx_Quorvex_jscrw, c.vw) << c.w << " x " << c.h;
    EXPECT_FLOAT_EQ(vx_Quorvex_jscrh, c.vh) << c.w << " x " << c.h;
    EXPECT_EQ(app->m_scaleAxis, c.axis) << c.w << " x " << c.h;
    EXPECT_EQ(app->m_landscape, c.landscape) << c.w << " x " << c.h;
  }
}

TEST_F(Replay, ANewDeviceSizeStartsTheLoaderAndTheFirstStartLoadsTheLargerPictures) {
  SizedGraphics* sized = new SizedGraphics();
  vx_graphics_SetGraphicsDevice(sized);
  app->m_deviceWidth = 640;
  app->m_deviceHeight = 480;
  app->m_loadPhase = 0;
  app->p_OnRender();
  EXPECT_EQ(app->m_loadPhase, 0) << "the same size loads nothing";
  sized->w = 800;
  app->p_OnRender();
  EXPECT_EQ(app->m_loadPhase, 1);
  EXPECT_EQ(app->m_deviceWidth, 800);
  EXPECT_EQ(app->m_deviceHeight, 480);

  sized->w = 640;
  app->p_Reload();
  EXPECT_EQ(app->m_hdFactor, 2) << "640 is above 630: the -hd pictures";
  EXPECT_FLOAT_EQ(app->m_imgScale, 0.5f);
  EXPECT_EQ(app->m_font, 90);
  EXPECT_EQ(app->m_imgSize[270], 7);
  EXPECT_EQ(app->m_imgSize[271], 10);
  sized->w = 1280;
  sized->h = 1231;
  app->p_Reload();
  EXPECT_EQ(app->m_hdFactor, 4);
  sized->w = 630;
  sized->h = 630;
  app->p_Reload();
  EXPECT_EQ(app->m_hdFactor, 1);
}

TEST_F(Replay, RecordsLandWhereTheScaleSaysAt640x480) {
  Window(640, 480);
  GreenImage();
  app->m_imgScale = 1;
  Records();
  BeginFrame();
  app->p_OnRender();
  const Rgb red{255, 0, 0}, blue{0, 0, 255}, green{0, 255, 0}, black{0, 0, 0};
  EXPECT_EQ(RgbOf(dev, 100, 100), red);
  EXPECT_EQ(RgbOf(dev, 149, 139), red);
  EXPECT_EQ(RgbOf(dev, 150, 120), black);
  EXPECT_EQ(RgbOf(dev, 99, 120), black);
  EXPECT_EQ(RgbOf(dev, 120, 140), black);
  EXPECT_EQ(RgbOf(dev, 400, 300), blue);
  EXPECT_EQ(RgbOf(dev, 426, 300), blue);
  EXPECT_EQ(RgbOf(dev, 434, 300), black);
  EXPECT_EQ(RgbOf(dev, 400, 316), blue);
  EXPECT_EQ(RgbOf(dev, 400, 324), black);
  EXPECT_EQ(RgbOf(dev, 285, 185), green);
  EXPECT_EQ(RgbOf(dev, 314, 214), green);
  EXPECT_EQ(RgbOf(dev, 282, 200), black);
  EXPECT_EQ(RgbOf(dev, 317, 200), black);
  EXPECT_EQ(RgbOf(dev, 50, 400), black) << "an empty slot draws nothing";
}

TEST_F(Replay, RecordsLandWhereTheScaleSaysAt1280x720) {
  Window(1280, 720);
  GreenImage();
  app->m_imgScale = 0.5f;  // the -hd class: pictures twice the size, drawn at half
  Records();
  BeginFrame();
  app->p_OnRender();
  EXPECT_FLOAT_EQ(vx_Quorvex_jscrw, 640);
  EXPECT_FLOAT_EQ(vx_Quorvex_jscrh, 360);
  const Rgb red{255, 0, 0}, blue{0, 0, 255}, green{0, 255, 0}, black{0, 0, 0};
  EXPECT_EQ(RgbOf(dev, 201, 201), red);
  EXPECT_EQ(RgbOf(dev, 298, 278), red);
  EXPECT_EQ(RgbOf(dev, 301, 240), black);
  EXPECT_EQ(RgbOf(dev, 198, 240), black);
  EXPECT_EQ(RgbOf(dev, 800, 600), blue);
  EXPECT_EQ(RgbOf(dev, 855, 600), blue);
  EXPECT_EQ(RgbOf(dev, 866, 600), black);
  // Size 2 x scale 2 x 0.5: a 16-pixel picture covers 32 device pixels around (600, 400).
  EXPECT_EQ(RgbOf(dev, 586, 386), green);
  EXPECT_EQ(RgbOf(dev, 613, 413), green);
  EXPECT_EQ(RgbOf(dev, 582, 400), black);
  EXPECT_EQ(RgbOf(dev, 618, 400), black);
}

TEST_F(Replay, AHalfAlphaFillLeavesHalfOfThePreviousPicture) {
  Window(640, 480);
  app->p_CLS2D(255, 0, 0, 1);
  BeginFrame();
  app->p_OnRender();
  ASSERT_EQ(RgbOf(dev, 320, 240), (Rgb{255, 0, 0}));
  app->p_CLS2D(0, 0, 255, 0.5f);
  app->p_OnRender();
  const Rgb mixed = RgbOf(dev, 320, 240);
  EXPECT_TRUE(Near(mixed, Rgb{128, 0, 128})) << mixed;
  EXPECT_TRUE(Near(RgbOf(dev, 0, 0), Rgb{128, 0, 128})) << "the fill covers the corners";
  EXPECT_TRUE(Near(RgbOf(dev, 639, 479), Rgb{128, 0, 128}));
}

TEST_F(Replay, AdditiveRecordsAddAndOtherBlendsCover) {
  Window(640, 480);
  app->p_CLS2D(0, 0, 0, 1);
  app->p_SetCol(200, 0, 0);
  app->p_Rect(10, 10, 40, 40);
  app->p_Blend(3);
  app->p_SetCol(0, 0, 200);
  app->p_Rect(30, 30, 40, 40);
  app->p_Blend(2);  // anything but 3 is ordinary blending
  app->p_SetCol(0, 200, 0, 1);
  app->p_Rect(60, 60, 20, 20);
  BeginFrame();
  app->p_OnRender();
  EXPECT_TRUE(Near(RgbOf(dev, 40, 40), Rgb{200, 0, 200})) << RgbOf(dev, 40, 40);
  EXPECT_TRUE(Near(RgbOf(dev, 65, 65), Rgb{0, 200, 0})) << RgbOf(dev, 65, 65);
}

TEST_F(Replay, AnIncompleteRecordDrawsNothing) {
  Window(640, 480);
  app->p_CLS2D(0, 0, 0, 1);
  app->p_SetCol(255, 255, 255);
  app->p_Rect(0, 0, 640, 480);
  app->m_drawCount = 14;
  BeginFrame();
  app->p_OnRender();
  EXPECT_EQ(RgbOf(dev, 320, 240), (Rgb{0, 0, 0}));
  app->m_drawCount = 15;
  app->p_OnRender();
  EXPECT_EQ(RgbOf(dev, 320, 240), (Rgb{255, 255, 255}));
}

// With the procedural player on, the first thing a render does is load tune
// stages, drawing frames of the tune on the back buffer to read them back;
// the picture the player sees is the game's alone.
TEST_F(Replay, TheTuneReadBacksLeaveNoTraceInThePicture) {
  Window(640, 480);
  const std::filesystem::path home = std::filesystem::current_path();
  const std::string dir = render_test::TempDir() + "/replay-tune";
  std::filesystem::create_directories(dir + "/data/tunes");
  std::vector<unsigned char> px(512 * 512 * 4, 255);  // every cell white: blue 255
  render_test::WritePng(dir + "/data/tunes/bright.png", 512, 512, 4, px);
  ASSERT_EQ(chdir(dir.c_str()), 0);

  vx_Quorvex_HasMusic = 1;
  gc_assign(app->m_music, (new c_QZPlayer())->m_new());
  app->m_music->p_QZ_StartTune(String("bright"), 1, 100);
  app->m_music->p_QZ_LoadChunk();  // the picture
  ASSERT_NE(app->m_music->m_tuneImage, nullptr);
  app->m_music->m_loadStage = 5;   // the next frame decodes frames 0 to 2

  Records();
  BeginFrame();
  app->p_OnRender();
  vx_Quorvex_HasMusic = 0;
  std::filesystem::current_path(home);

  EXPECT_EQ(app->m_music->m_loadStage, 8);
  EXPECT_EQ(app->m_music->m_patternCount[0], 2) << "three frames were decoded in this render";
  EXPECT_EQ(app->m_music->m_tune[2 * 4096 + 7], 31);
  const Rgb red{255, 0, 0}, black{0, 0, 0};
  for (int xy : {0, 10, 32, 63}) EXPECT_EQ(RgbOf(dev, xy, xy), black) << xy;
  EXPECT_EQ(RgbOf(dev, 100, 100), red);
}

}  // namespace
