// The picture half of the asset generator: the halo blur with exact values, then every
// picture the build wrote into data/ as the game loads it (stb_image, cells wrapping into
// rows) at its three scales, the fonts' glyph rules and the icon at each of its sizes.
// A second run writes the same bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include <stb_image.h>

#include "tests/support/files.h"
#include "tools/assetgen/gfx/canvas.h"
#include "tools/assetgen/gfx/gfx.h"
#include "tools/assetgen/gfx/pictures.h"

namespace fs = std::filesystem;

namespace {

TEST(GfxCanvas, BlurSpreadsAPointIntoAGaussianOfItsSigma) {
  gfx::Canvas c(41, 41);
  c.At(20, 20)[3] = 1;
  gfx::BlurCell(c, 0, 0, 41, 41, 2.0f);
  EXPECT_NEAR(std::accumulate(c.px.begin(), c.px.end(), 0.0), 1.0, 1e-4)
      << "nothing gained or lost";
  for (int d : {1, 3, 5}) {
    EXPECT_NEAR(c.At(20 + d, 20)[3] / c.At(20, 20)[3], std::exp(-d * d / 8.0), 1e-4) << d;
    EXPECT_NEAR(c.At(20 + d, 20 + d)[3] / c.At(20, 20)[3], std::exp(-d * d / 4.0), 1e-4) << d;
  }
}

struct Image {
  int w = 0, h = 0;
  std::vector<unsigned char> px;  // RGBA
  Image(const std::string& name, int scale)
      : Image(QUORVEX_DATA_DIR "/" + name + Suffix(scale) + ".png") {}
  explicit Image(const std::string& path) {
    int n = 0;
    if (unsigned char* data = stbi_load(path.c_str(), &w, &h, &n, 4)) {
      px.assign(data, data + (size_t)w * h * 4);
      stbi_image_free(data);
    }
  }
  static std::string Suffix(int scale) { return scale == 2 ? "-hd" : scale == 4 ? "-hd2" : ""; }
  const unsigned char* At(int x, int y) const { return &px[((size_t)y * w + x) * 4]; }
  // Pixels of a rectangle at least `alpha` opaque (by default, more than half).
  int Count(int x0, int y0, int cw, int ch, int alpha = 128) const {
    int n = 0;
    for (int y = y0; y < y0 + ch; ++y)
      for (int x = x0; x < x0 + cw; ++x) n += px[((size_t)y * w + x) * 4 + 3] >= alpha;
    return n;
  }
};

// The pictures as the game's loader asks for them, their sheet sizes at 1x,
// and how many of their frames hold ink (the others are never drawn).
struct Expected {
  const char* name;
  int cellW, cellH, frames, sheetW, sheetH, inked;
};
const Expected kPictures[] = {
    {"common/icons", 32, 32, 16, 128, 128, 5},
    {"common/Buttons", 64, 64, 16, 256, 256, 7},
    {"common/dpad", 32, 32, 16, 128, 128, 6},
    {"common/DRVLLogo", 256, 256, 1, 256, 256, 1},
    {"common/Testcard_Circle", 256, 256, 1, 256, 256, 1},
    {"fonts/editundo", 16, 16, 128, 256, 128, 94},
    {"menu", 256, 256, 4, 512, 512, 4},
    {"logo", 256, 128, 1, 256, 128, 1},
    {"parts", 8, 8, 256, 128, 128, 256},
    {"BadgesA", 64, 64, 64, 512, 512, 64},
    {"gfx", 32, 32, 64, 256, 256, 22},
    {"gfx_glow", 32, 32, 64, 256, 256, 22},
    {"vrin_font", 10, 14, 96, 960, 14, 94},  // the framework's default font
};

TEST(GfxData, EveryPictureHasItsSizeAndInkedFramesAtThreeScales) {
  for (const Expected& e : kPictures) {
    for (int s : {1, 2, 4}) {
      SCOPED_TRACE(std::string(e.name) + " x" + std::to_string(s));
      const Image im(e.name, s);
      ASSERT_TRUE(im.w == e.sheetW * s && im.h == e.sheetH * s) << im.w << " x " << im.h;
      const int cw = e.cellW * s, ch = e.cellH * s, columns = im.w / cw;
      int inked = 0;
      for (int f = 0; f < e.frames; ++f)
        inked += im.Count(f % columns * cw, f / columns * ch, cw, ch) >= std::max(1, s * s / 2);
      EXPECT_EQ(inked, e.inked);
    }
  }
  // Halos fade out before their cell's edge.
  const Image glow("gfx_glow", 2);
  for (int x = 0; x < 512; x += 64)
    for (int y = 0; y < 512; y += 64)
      EXPECT_EQ(glow.Count(x, y, 64, 1, 1) + glow.Count(x, y + 63, 64, 1, 1) +
                    glow.Count(x, y, 1, 64, 1) + glow.Count(x + 63, y, 1, 64, 1),
                0)
          << "the halo at " << x << ", " << y;
}

TEST(GfxData, TheFontsHaveOneDistinctGlyphPerPrintableCharacter) {
  for (int s : {1, 2, 4}) {
    SCOPED_TRACE(s);
    // The game's: frame k is character k + 32, in 16 x 16 cells.
    const Image game("fonts/editundo", s);
    EXPECT_TRUE(s > 1 ||
                game.Count(0, 0, game.w, game.h, 1) == game.Count(0, 0, game.w, game.h, 255))
        << "blurred";
    const int cell = 16 * s;
    std::set<std::vector<bool>> shapes;
    for (int f = 1; f <= 94; ++f) {
      std::vector<bool> mask;
      for (int y = f / 16 * cell; y < (f / 16 + 1) * cell; ++y)
        for (int x = f % 16 * cell; x < (f % 16 + 1) * cell; ++x)
          mask.push_back(game.Count(x, y, 1, 1));
      shapes.insert(mask);
    }
    EXPECT_EQ(shapes.size(), 94u) << "two characters share one glyph";
    // The framework's: each glyph between blank columns, which it trims.
    const Image vrin("vrin_font", s);
    for (int x = 0; x < vrin.w; x += 10 * s)
      EXPECT_EQ(vrin.Count(x, 0, 1, vrin.h, 1) + vrin.Count(x + 10 * s - 1, 0, 1, vrin.h, 1), 0)
          << "glyph " << x / s / 10;
  }
}

TEST(GfxData, TheIconIsABrightRimmedDarkDiscWithClearCornersAtEverySize) {
  for (int size : gfx::kIconSizes) {
    SCOPED_TRACE(size);
    const Image icon(QUORVEX_DATA_DIR "/icons/quorvex-" + std::to_string(size) + ".png");
    ASSERT_TRUE(icon.w == size && icon.h == size) << icon.w << " x " << icon.h;
    const int corner = std::max(2, size / 8), far = size - corner;
    EXPECT_EQ(icon.Count(0, 0, corner, corner, 1) + icon.Count(far, 0, corner, corner, 1) +
                  icon.Count(0, far, corner, corner, 1) + icon.Count(far, far, corner, corner, 1),
              0);
    EXPECT_EQ(icon.Count(size / 4, size / 4, size / 2, size / 2, 255), size * size / 4)
        << "the board has a hole";
    // Down the middle from the top: the rim, then the empty board above the blobs.
    auto brightness = [&](int y) {
      const unsigned char* p = icon.At(size / 2, y);
      return (p[0] + p[1] + p[2]) * p[3] / 255;
    };
    int rim = 0;
    for (int y = 0; y < size / 8; ++y) rim = std::max(rim, brightness(y));
    EXPECT_GT(rim, 450);
    EXPECT_LT(brightness(size / 4), 150);
  }
}

TEST(GfxData, ASecondRunWritesTheSameFilesAndAnUnwritableFolderFails) {
  test_files::ScratchDir again("quorvex-gfx");
  ASSERT_EQ(GenerateGfx((again / "data").string(), (again / "sheet.png").string()), 0);
  int files = 0;
  for (const auto& e : fs::recursive_directory_iterator(again / "data")) {
    const fs::path same = QUORVEX_DATA_DIR / e.path().lexically_relative(again / "data");
    EXPECT_TRUE(e.is_directory() || test_files::ReadFile(e) == test_files::ReadFile(same)) << same;
    files += e.is_regular_file();
  }
  EXPECT_EQ(files,
            (int)(sizeof kPictures / sizeof kPictures[0]) * 3 + (int)std::size(gfx::kIconSizes));
  EXPECT_TRUE(test_files::ReadFile(again / "sheet.png") == test_files::ReadFile(QUORVEX_SHEET))
      << "the contact sheet";
  test_files::WriteFile(again / "blocker", "a file where a folder should be");
  EXPECT_NE(GenerateGfx((again / "blocker" / "data").string()), 0);
}

}  // namespace
