// Tune pictures decoded on a real window (music/qzplayer_load.cpp): each frame
// drawn over black and read back, a value per pixel from the top five bits of
// its blue, and a clear that leaves no trace. Needs an X display (Xvfb in CI).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "framework/graphics.h"
#include "music/qzplayer.h"
#include "stb_image_write.h"
#include "tests/support/devices.h"
#include "tests/support/files.h"

namespace {

c_QZPlayer* g_player = nullptr;
void MarkPlayer() {
  gc_mark_q(g_player);
  gc_mark_q(vx_graphics_context);
  gc_mark_q(vx_graphics_device);
}

int Tune(int f, int x, int y) { return g_player->m_tune[f * 4096 + (x / 8) * 512 + y * 8 + x % 8]; }

TEST(QZPlayerDecode, EachValueIsTheTopFiveBitsOfBlueAndEachBandCountsItsLastFrameWithNotes) {
  if (!std::getenv("DISPLAY")) GTEST_SKIP() << "needs an X display";
  ASSERT_TRUE(test_support::OpenWindow(128, 96)) << "a GL window is needed (run under Xvfb)";
  // 8 x 8 frames of 64 x 64, opaque black but for the cells set here.
  std::vector<unsigned char> px(512 * 512 * 4, 0);
  for (size_t i = 3; i < px.size(); i += 4) px[i] = 255;
  auto set = [&px](int f, int x, int y, int b, int a = 255, int rg = 0) {
    unsigned char* p = &px[(((f / 8) * 64 + y) * 512 + (f % 8) * 64 + x) * 4];
    p[0] = p[1] = (unsigned char)rg;
    p[2] = (unsigned char)b;
    p[3] = (unsigned char)a;
  };
  // Voice 2 (x 16 to 23), row 3: full blue, low blue, blue under red and green (ignored), a
  // transparent cell; voice 2 in frame 2; voice 3 only in frame 5; voice 0 in the last frame
  // decoded; frame 63, never read.
  struct Cell {
    int f, x, y, b, a, rg, want;
  };
  const Cell cells[] = {{0, 16, 3, 255, 255, 0, 31},  {0, 17, 3, 7, 255, 0, 0},
                        {0, 18, 3, 16, 255, 255, 2},  {0, 19, 3, 255, 0, 0, 0},
                        {2, 20, 60, 100, 255, 0, 12}, {5, 27, 0, 248, 255, 0, 31},
                        {62, 0, 63, 40, 255, 0, 5},   {63, 8, 0, 255, 255, 0, 0}};
  for (const Cell& c : cells) set(c.f, c.x, c.y, c.b, c.a, c.rg);
  for (int i = 0; i < 256; ++i) set(10, 40 + i % 8, i / 8, i);  // every blue
  test_files::ScratchDir dir("quorvex-tunes");
  std::filesystem::create_directories(dir / "data/tunes");
  ASSERT_NE(stbi_write_png((dir / "data/tunes/one.png").c_str(), 512, 512, 4, px.data(), 512 * 4),
            0);
  const std::filesystem::path home = std::filesystem::current_path();
  std::filesystem::current_path(dir.path());

  gc_clear_roots();
  gc_add_root(MarkPlayer);
  gc_assign(vx_graphics_context, (new c_GraphicsContext())->m_new());
  test_support::RecordingGraphics* gfx = new test_support::RecordingGraphics(128, 96);
  gfx->forward = true;
  vx_graphics_SetGraphicsDevice(gfx);
  g_player = (new c_QZPlayer())->m_new();
  gc_mark();
  g_player->p_QZ_Init(32, 4, 3, 3, 4);
  g_player->p_QZ_StartTune(String("one"), 1, 100);
  gfx->BeginRender();
  vx_graphics_BeginRender();
  int frames = 0;
  for (; g_player->m_loadStage != 0 && frames < 100; ++frames) g_player->p_QZ_Alive_R();
  EXPECT_EQ(frames, 24) << "70 stages, three a frame";
  int reads = 0;
  for (const test_support::RecordingGraphics::Call& c : gfx->calls) reads += c.name == "ReadPixels";
  EXPECT_EQ(reads, 63) << "frames 0 to 62";
  for (const Cell& c : cells)
    EXPECT_EQ(Tune(c.f, c.x, c.y), c.want) << c.f << ": " << c.x << "," << c.y;
  for (int i = 0; i < 256; ++i) ASSERT_EQ(Tune(10, 40 + i % 8, i / 8), i >> 3) << "blue " << i;
  EXPECT_EQ(std::vector<int>(g_player->m_patternCount.Data(), g_player->m_patternCount.Data() + 8),
            std::vector<int>({62, 0, 2, 5, 0, 10, 0, 0}));
  Array<int> screen(64 * 64);
  gfx->ReadPixels(screen, 0, 0, 64, 64, 0, 64);
  for (int i = 0; i < 64 * 64; ++i)
    ASSERT_EQ(screen[i] & 0xffffff, 0) << "a trace of the read-backs at " << i;
  vx_graphics_EndRender();
  gfx->EndRender();
  std::filesystem::current_path(home);
}

}  // namespace
