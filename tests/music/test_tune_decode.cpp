// Tune pictures decoded on a real window: each frame drawn over black and read
// back, the blue channel's top five bits per pixel, the pattern counts per
// band, the 70 loading stages spread three to a frame, and the clear that
// leaves no trace of the decoding.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "framework/app.h"
#include "music/qzplayer.h"
#include "tests/framework/graphics/graphics_env.h"

namespace {

c_QZPlayer* g_player = nullptr;
void MarkPlayer() {
  gc_mark_q(g_player);
  gc_mark_q(vx_graphics_context);
}

constexpr int kSheet = 512;  // 8 x 8 frames of 64 x 64

struct Sheet {
  std::vector<unsigned char> px = std::vector<unsigned char>(kSheet * kSheet * 4, 0);
  // Pixel (x, y) of frame f, opaque unless told.
  void Set(int f, int x, int y, int r, int g, int b, int a = 255) {
    const int sx = (f % 8) * 64 + x, sy = (f / 8) * 64 + y;
    unsigned char* p = &px[(sy * kSheet + sx) * 4];
    p[0] = (unsigned char)r;
    p[1] = (unsigned char)g;
    p[2] = (unsigned char)b;
    p[3] = (unsigned char)a;
  }
};

int Tune(c_QZPlayer* p, int f, int x, int y) { return p->m_tune[f * 4096 + (x / 8) * 512 + y * 8 + x % 8]; }

class TuneDecode : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(graphics_test::StartModule()) << "a GL window is needed (run under Xvfb)";
    home = std::filesystem::current_path();
    dir = render_test::TempDir() + "/music";
    std::filesystem::create_directories(dir + "/data/tunes/T");
    ASSERT_EQ(chdir(dir.c_str()), 0);

    // Opaque black everywhere, so empty cells read 0.
    for (int f = 0; f < 64; ++f) {
      for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) sheet.Set(f, x, y, 0, 0, 0);
      }
    }
    gc_clear_roots();
    gc_add_root(MarkPlayer);
    player = (new c_QZPlayer())->m_new();
    g_player = player;
    gc_mark();  // roots are otherwise only walked at the next sweep
    player->p_QZ_Init(32, 4, 3, 3, 4);
    graphics_test::Device()->BeginRender();
    vx_graphics_BeginRender();
  }
  void TearDown() override {
    vx_graphics_EndRender();
    graphics_test::Device()->EndRender();
    g_player = nullptr;
    gc_collect_all(nullptr);
    gc_clear_roots();
    if (!home.empty()) std::filesystem::current_path(home);
  }

  void Write(const std::string& name) {
    render_test::WritePng(dir + "/data/tunes/" + name + ".png", kSheet, kSheet, 4, sheet.px);
  }
  // Renders frames until loading is done; returns how many it took.
  int LoadAll() {
    int frames = 0;
    while (player->m_loadStage != 0 && frames < 100) {
      player->p_QZ_Alive_R();
      ++frames;
    }
    return frames;
  }
  render_test::Rgb At(int x, int y) { return render_test::RgbOf(graphics_test::Device(), x, y); }

  std::filesystem::path home;
  std::string dir;
  Sheet sheet;
  c_QZPlayer* player = nullptr;
};

}  // namespace

TEST_F(TuneDecode, EachValueIsTheTopFiveBitsOfBlueAndCountsTheLastFrameOfEachBand) {
  sheet.Set(0, 16, 3, 0, 0, 255);      // voice 2, note of row 3: 31
  sheet.Set(0, 17, 3, 0, 0, 7);        // 0
  sheet.Set(0, 18, 3, 255, 255, 16);   // red and green ignored: 2
  sheet.Set(0, 19, 3, 0, 0, 255, 0);   // transparent: 0
  sheet.Set(2, 20, 60, 0, 0, 100);     // voice 2 again in frame 2: 12
  sheet.Set(5, 27, 0, 0, 0, 248);      // voice 3 only in frame 5, none before
  sheet.Set(62, 0, 63, 0, 0, 40);      // voice 0 in the last decoded frame
  sheet.Set(63, 8, 0, 0, 0, 255);      // frame 63 is never read
  sheet.Set(1, 60, 9, 0, 0, 200);      // band 7: decoded, never played
  for (int i = 0; i < 256; ++i) sheet.Set(10, 40 + i % 8, i / 8, 0, 0, i);  // every blue
  Write("T/one");

  player->p_QZ_StartTune(String("T/one"), 1, 100);
  ASSERT_EQ(player->m_loadStage, 1);
  EXPECT_EQ(LoadAll(), 24);  // 70 stages, three a frame
  ASSERT_NE(player->m_tuneImage, nullptr);
  EXPECT_EQ(graphics_test::Device()->Count("ReadPixels"), 63);

  EXPECT_EQ(Tune(player, 0, 16, 3), 31);
  EXPECT_EQ(Tune(player, 0, 17, 3), 0);
  EXPECT_EQ(Tune(player, 0, 18, 3), 2);
  EXPECT_EQ(Tune(player, 0, 19, 3), 0);
  EXPECT_EQ(Tune(player, 2, 20, 60), 12);
  EXPECT_EQ(Tune(player, 5, 27, 0), 31);
  EXPECT_EQ(Tune(player, 62, 0, 63), 5);
  EXPECT_EQ(Tune(player, 63, 8, 0), 0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(Tune(player, 10, 40 + i % 8, i / 8), i >> 3) << "blue " << i;

  EXPECT_EQ(player->m_patternCount[0], 62);
  EXPECT_EQ(player->m_patternCount[1], 0);
  EXPECT_EQ(player->m_patternCount[2], 2);
  EXPECT_EQ(player->m_patternCount[3], 5);
  EXPECT_EQ(player->m_patternCount[4], 0);
  EXPECT_EQ(player->m_patternCount[5], 10);
  EXPECT_EQ(player->m_patternCount[7], 1);

  // The last frame of loading was cleared: no trace of the read-backs.
  for (int y : {0, 10, 40, 63, 90}) {
    for (int x : {0, 16, 32, 63, 100}) {
      EXPECT_EQ(At(x, y), (render_test::Rgb{0, 0, 0})) << x << "," << y;
    }
  }
}

TEST_F(TuneDecode, StagesRestartsAndAMissingPicture) {
  sheet.Set(0, 16, 3, 0, 0, 255);
  sheet.Set(4, 16, 0, 0, 0, 255);
  Write("T/one");
  player->p_QZ_StartTune(String("T/one"), 1, 100);
  LoadAll();
  ASSERT_EQ(player->m_patternCount[2], 4);

  // Stage 70 is the last: one call ends loading.
  player->m_loadStage = 70;
  player->p_QZ_LoadChunk();
  EXPECT_EQ(player->m_loadStage, 0);

  // With nothing to load a frame only clears the screen.
  const int reads = graphics_test::Device()->Count("ReadPixels");
  vx_graphics_SetColor(255, 0, 0);
  vx_graphics_DrawRect(0, 0, 128, 96);
  player->p_QZ_Alive_R();
  EXPECT_EQ(graphics_test::Device()->Count("ReadPixels"), reads);
  EXPECT_EQ(At(70, 50), (render_test::Rgb{0, 0, 0}));
  EXPECT_EQ(At(5, 5), (render_test::Rgb{0, 0, 0}));

  // The same tune again loads nothing and keeps its counts.
  player->p_QZ_StartTune(String("T/one"), 9, 100);
  EXPECT_EQ(player->m_loadStage, 0);
  EXPECT_EQ(player->m_patternCount[2], 4);

  // A tune whose picture is missing resets the counts, runs its 70 stages
  // without decoding and leaves the old notes where they were.
  const int readsBefore = graphics_test::Device()->Count("ReadPixels");
  player->p_QZ_StartTune(String("T/missing"), 1, 100);
  EXPECT_EQ(player->m_patternCount[2], 0);
  EXPECT_EQ(LoadAll(), 24);
  EXPECT_EQ(player->m_tuneImage, nullptr);
  EXPECT_EQ(graphics_test::Device()->Count("ReadPixels"), readsBefore);
  EXPECT_EQ(player->m_patternCount[2], 0);
  EXPECT_EQ(Tune(player, 0, 16, 3), 31);
}
