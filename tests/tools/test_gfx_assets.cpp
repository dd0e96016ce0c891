// Picture assets as the game reads them: the generator writes into a fresh folder and every
// picture is decoded with stb_image like the renderer does, cut into frames by the graphics
// module's rule (cells wrapping into rows), and checked at the frames the game draws.
// The inventory below is written out independently of the generator's own table.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <stb_image.h>
#include <unistd.h>

#include "tools/assetgen/gfx/gfx.h"

namespace fs = std::filesystem;

namespace {

struct Expected {
  const char* name;
  int cellW, cellH, frames;
  std::vector<int> drawn;  // frames the game draws
};

std::vector<int> Range(int from, int to) {
  std::vector<int> v;
  for (int i = from; i <= to; ++i) v.push_back(i);
  return v;
}

const std::vector<Expected>& Inventory() {
  static const std::vector<Expected> inv = {
      {"common/icons", 32, 32, 16, {0, 1, 3, 6, 7}},
      {"common/Buttons", 64, 64, 16, {0, 1, 2, 8, 9, 10, 12}},
      {"common/dpad", 32, 32, 16, {0, 1, 4, 5, 6, 9}},
      {"common/DRVLLogo", 256, 256, 1, {0}},
      {"common/Testcard_Circle", 256, 256, 1, {0}},
      {"fonts/editundo", 16, 16, 128, Range(1, 94)},
      {"menu", 256, 256, 4, {0, 1, 2, 3}},
      {"logo", 256, 128, 1, {0}},
      {"parts", 8, 8, 256, Range(0, 255)},
      {"BadgesA", 64, 64, 64, Range(0, 63)},
      {"gfx", 32, 32, 64, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 24, 56}},
      {"gfx_glow", 32, 32, 64, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 18, 19, 20, 24, 56}},
  };
  return inv;
}

const char* Suffix(int scale) { return scale == 1 ? "" : scale == 2 ? "-hd" : "-hd2"; }

struct Image {
  int w = 0, h = 0;
  std::vector<unsigned char> px;  // RGBA
  bool ok() const { return w > 0; }
  const unsigned char* At(int x, int y) const { return &px[((size_t)y * w + x) * 4]; }
};

Image Load(const fs::path& p) {
  Image im;
  int n = 0;
  unsigned char* data = stbi_load(p.string().c_str(), &im.w, &im.h, &n, 4);
  if (!data) {
    im.w = im.h = 0;
    return im;
  }
  im.px.assign(data, data + (size_t)im.w * im.h * 4);
  stbi_image_free(data);
  return im;
}

// Frame positions by the graphics module's rule for frames of a given size, wrapping into rows.
// Empty when a frame would fall outside the surface.
std::vector<std::pair<int, int>> CutFrames(int surfW, int surfH, int fw, int fh, int count) {
  std::vector<std::pair<int, int>> out;
  int x = 0, y = 0;
  for (int i = 0; i < count; ++i) {
    if (x + fw > surfW) {
      y += fh;
      x = 0;
      if (fw > surfW) return {};
    }
    if (y + fh > surfH) return {};
    out.push_back({x, y});
    x += fw;
  }
  return out;
}

struct Ink {
  int pixels = 0;  // alpha above half
  int x0 = 1 << 30, y0 = 1 << 30, x1 = -1, y1 = -1;
  double cx = 0, cy = 0;  // alpha-weighted centre, relative to the frame
  double r = 0, g = 0, b = 0, a = 0;
};

Ink Measure(const Image& im, int fx, int fy, int fw, int fh) {
  Ink k;
  for (int y = 0; y < fh; ++y)
    for (int x = 0; x < fw; ++x) {
      const unsigned char* p = im.At(fx + x, fy + y);
      const double a = p[3] / 255.0;
      if (p[3] > 127) {
        ++k.pixels;
        k.x0 = std::min(k.x0, x), k.y0 = std::min(k.y0, y), k.x1 = std::max(k.x1, x), k.y1 = std::max(k.y1, y);
      }
      k.cx += a * (x + 0.5), k.cy += a * (y + 0.5), k.a += a;
      k.r += a * p[0], k.g += a * p[1], k.b += a * p[2];
    }
  if (k.a > 0) k.cx /= k.a, k.cy /= k.a, k.r /= k.a, k.g /= k.a, k.b /= k.a;
  return k;
}

std::vector<unsigned char> Bytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::vector<unsigned char>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// The checks read the data folder and contact sheet the build wrote, so every
// test process sees the files the game runs with without drawing them again;
// only the repeat-run and failure checks run the generator, in a scratch folder.
class GfxAssets : public ::testing::Test {
 protected:
  static fs::path data;
  static fs::path sheet;
  static fs::path scratch;
  static void SetUpTestSuite() {
    data = QUORVEX_DATA_DIR;
    sheet = QUORVEX_SHEET;
    scratch = fs::temp_directory_path() / ("quorvex_gfx_" + std::to_string(::getpid()));
    fs::remove_all(scratch);
    fs::create_directories(scratch);
  }
  static void TearDownTestSuite() { fs::remove_all(scratch); }
  static Image Picture(const std::string& name, int scale) { return Load(data / (name + Suffix(scale) + ".png")); }
};
fs::path GfxAssets::data, GfxAssets::sheet, GfxAssets::scratch;

TEST_F(GfxAssets, EveryPictureExistsAtThreeScalesInWholeRowsOfCells) {
  for (const Expected& e : Inventory()) {
    Image base = Picture(e.name, 1);
    ASSERT_TRUE(base.ok()) << e.name;
    for (int s : {1, 2, 4}) {
      SCOPED_TRACE(std::string(e.name) + Suffix(s));
      Image im = Picture(e.name, s);
      ASSERT_TRUE(im.ok());
      const int cw = e.cellW * s, ch = e.cellH * s;
      EXPECT_EQ(im.w, base.w * s);
      EXPECT_EQ(im.h, base.h * s);
      EXPECT_EQ(im.w % cw, 0);
      EXPECT_EQ(im.h % ch, 0);
      const int cols = im.w / cw, rows = im.h / ch;
      EXPECT_EQ(rows, (e.frames + cols - 1) / cols) << "no spare rows";
      EXPECT_EQ((int)CutFrames(im.w, im.h, cw, ch, e.frames).size(), e.frames) << "frames fit the surface";
    }
  }
}

TEST_F(GfxAssets, FramesTheGameDrawsHaveInkAtEveryScale) {
  for (const Expected& e : Inventory()) {
    for (int s : {1, 2, 4}) {
      Image im = Picture(e.name, s);
      ASSERT_TRUE(im.ok()) << e.name;
      const auto frames = CutFrames(im.w, im.h, e.cellW * s, e.cellH * s, e.frames);
      ASSERT_EQ((int)frames.size(), e.frames);
      for (int f : e.drawn) {
        const Ink k = Measure(im, frames[f].first, frames[f].second, e.cellW * s, e.cellH * s);
        EXPECT_GE(k.pixels, std::max(1, s * s / 2)) << e.name << Suffix(s) << " frame " << f << " is empty";
      }
    }
  }
}

TEST_F(GfxAssets, SpritesAreCentredInTheirCellsAndHalosFadeBeforeTheEdge) {
  for (const char* name : {"gfx", "gfx_glow"}) {
    Image im = Picture(name, 2);
    ASSERT_TRUE(im.ok());
    for (int f : {4, 16, 18, 19, 20, 24, 56}) {
      const int fx = (f % 8) * 64, fy = (f / 8) * 64;
      const Ink k = Measure(im, fx, fy, 64, 64);
      EXPECT_NEAR(k.cx, 32, 5) << name << " frame " << f;
      EXPECT_NEAR(k.cy, 32, 5) << name << " frame " << f;
      if (std::string(name) == "gfx_glow") {
        int edge = 0;
        for (int i = 0; i < 64; ++i)
          edge = std::max({edge, (int)im.At(fx + i, fy)[3], (int)im.At(fx + i, fy + 63)[3], (int)im.At(fx, fy + i)[3],
                           (int)im.At(fx + 63, fy + i)[3]});
        EXPECT_EQ(edge, 0) << "halo frame " << f << " reaches its cell edge";
      }
    }
  }
}

TEST_F(GfxAssets, TheFourBlobsDifferInColourAndOutline) {
  Image im = Picture("gfx", 1);
  ASSERT_TRUE(im.ok());
  const int blobs[4] = {16, 18, 19, 20};
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) {
      const int a = blobs[i], b = blobs[j];
      const Ink ka = Measure(im, (a % 8) * 32, (a / 8) * 32, 32, 32), kb = Measure(im, (b % 8) * 32, (b / 8) * 32, 32, 32);
      const double colour = std::sqrt((ka.r - kb.r) * (ka.r - kb.r) + (ka.g - kb.g) * (ka.g - kb.g) + (ka.b - kb.b) * (ka.b - kb.b));
      int differ = 0;
      for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
          differ += (im.At((a % 8) * 32 + x, (a / 8) * 32 + y)[3] > 127) != (im.At((b % 8) * 32 + x, (b / 8) * 32 + y)[3] > 127);
      EXPECT_GT(colour, 40) << "frames " << a << " and " << b << " have nearly the same colour";
      EXPECT_GT(differ, 40) << "frames " << a << " and " << b << " have nearly the same outline";
    }
}

TEST_F(GfxAssets, LargerScalesAreDrawnAtTheirOwnResolution) {
  Image one = Picture("gfx", 1), four = Picture("gfx", 4);
  ASSERT_TRUE(one.ok() && four.ok());
  int mixedBlocks = 0;
  double diff = 0;
  int n = 0;
  for (int f : {16, 19, 56}) {
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x) {
        const int px = (f % 8) * 32 + x, py = (f / 8) * 32 + y;
        int lo = 255, hi = 0, sum = 0;
        for (int j = 0; j < 4; ++j)
          for (int i = 0; i < 4; ++i) {
            const int a = four.At(px * 4 + i, py * 4 + j)[3];
            lo = std::min(lo, a), hi = std::max(hi, a), sum += a;
          }
        mixedBlocks += hi - lo > 64;
        diff += std::fabs(sum / 16.0 - one.At(px, py)[3]) / 255.0;
        ++n;
      }
  }
  EXPECT_GT(mixedBlocks, 60) << "the 4x picture is made of 4x4 blocks: an enlargement";
  EXPECT_LT(diff / n, 0.08) << "the 4x picture does not show the same design";
}

TEST_F(GfxAssets, GameFontHasOneCentredGlyphPerPrintableCharacter) {
  for (int s : {1, 2, 4}) {
    SCOPED_TRACE(Suffix(s));
    Image im = Picture("fonts/editundo", s);
    ASSERT_TRUE(im.ok());
    const int cell = 16 * s;
    const auto frames = CutFrames(im.w, im.h, cell, cell, 128);
    ASSERT_EQ(frames.size(), 128u);
    EXPECT_EQ(Measure(im, frames[0].first, frames[0].second, cell, cell).pixels, 0) << "space has ink";
    std::set<std::vector<bool>> shapes;
    for (int ch = 33; ch <= 126; ++ch) {
      const int f = ch - 32;
      const Ink k = Measure(im, frames[f].first, frames[f].second, cell, cell);
      ASSERT_GT(k.pixels, 0) << "no glyph for '" << (char)ch << "'";
      // The pen is the cell centre; a glyph stays within its advance of 7 (+ kerning) around it
      // and inside the line height of 10, centred on the cell.
      EXPECT_NEAR((k.x0 + k.x1 + 1) / 2.0, 8.0 * s, 2.5 * s) << (char)ch;
      EXPECT_GE(k.y0, 3 * s) << (char)ch;
      EXPECT_LE(k.y1 + 1, 13 * s) << (char)ch;
      EXPECT_LE(k.x1 - k.x0 + 1, 7 * s) << (char)ch;
      std::vector<bool> mask;
      for (int y = 0; y < cell; ++y)
        for (int x = 0; x < cell; ++x) mask.push_back(im.At(frames[f].first + x, frames[f].second + y)[3] > 127);
      shapes.insert(mask);
    }
    EXPECT_EQ(shapes.size(), 94u) << "two characters share one glyph";
  }
}

TEST_F(GfxAssets, GameFontIsCrispAtOneTimesAndProportional) {
  Image im = Picture("fonts/editundo", 1);
  ASSERT_TRUE(im.ok());
  for (size_t i = 3; i < im.px.size(); i += 4) ASSERT_TRUE(im.px[i] == 0 || im.px[i] == 255) << "blurred pixel at 1x";
  auto width = [&](char ch) {
    const int f = ch - 32;
    const Ink k = Measure(im, (f % 16) * 16, (f / 16) * 16, 16, 16);
    return k.x1 - k.x0 + 1;
  };
  EXPECT_LT(width('i'), width('a'));
  EXPECT_LT(width('l'), width('o'));
  EXPECT_GT(width('m'), width('n'));
  EXPECT_GT(width('W'), width('E'));
}

TEST_F(GfxAssets, DefaultFontHas96BorderedGlyphsSideBySide) {
  for (int s : {1, 2, 4}) {
    Image im = Load(data / (std::string("vrin_font") + Suffix(s) + ".png"));
    ASSERT_TRUE(im.ok());
    ASSERT_EQ(im.w % 96, 0);
    const int fw = im.w / 96;
    EXPECT_EQ(fw, 10 * s);
    for (int f = 0; f < 96; ++f) {
      int border = 0;
      for (int y = 0; y < im.h; ++y) border = std::max({border, (int)im.At(f * fw, y)[3], (int)im.At(f * fw + fw - 1, y)[3]});
      EXPECT_EQ(border, 0) << "glyph " << f << " touches the column the framework trims";
      const Ink k = Measure(im, f * fw + 1, 0, fw - 2, im.h);
      if (f >= 1 && f <= 94) {
        EXPECT_GT(k.pixels, 0) << "no glyph for '" << (char)(f + 32) << "'";
      } else if (f == 0) {
        EXPECT_EQ(k.pixels, 0);
      }
    }
  }
}

TEST_F(GfxAssets, ContactSheetShowsFramesOnDark) {
  Image im = Load(sheet);
  ASSERT_TRUE(im.ok());
  EXPECT_GE(im.w, 1000);
  EXPECT_GT(im.h, 1000);
  const unsigned char* corner = im.At(im.w - 1, im.h - 1);
  EXPECT_EQ(corner[3], 255);
  EXPECT_LT(corner[0] + corner[1] + corner[2], 100);
  EXPECT_NE(fs::canonical(sheet.parent_path()), fs::canonical(data)) << "the sheet belongs outside data/";
}

TEST_F(GfxAssets, TwoRunsWriteIdenticalFiles) {
  const fs::path again = scratch / "again";
  ASSERT_EQ(GenerateGfx(again.string()), 0);
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(again)) {
    if (!entry.is_regular_file()) continue;
    const fs::path rel = fs::relative(entry.path(), again);
    EXPECT_EQ(Bytes(entry.path()), Bytes(data / rel)) << rel;
    ++files;
  }
  EXPECT_EQ(files, 13 * 3);
}

TEST_F(GfxAssets, UnwritableFolderIsReported) {
  const fs::path blocker = scratch / "blocker";
  std::ofstream(blocker) << "a file where a folder should be";
  EXPECT_NE(GenerateGfx((blocker / "data").string()), 0);
}

}  // namespace
