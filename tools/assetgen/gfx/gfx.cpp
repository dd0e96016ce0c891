// GenerateGfx: draws every picture of the inventory at 1x, 2x and 4x and the icon at each
// of its sizes on a few threads and writes them as PNG (see gfx.h), then lays the 1x frames
// and the icons out on the contact sheet.
#include "gfx.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "pictures.h"

namespace gfx {

namespace {

const Picture kPictures[] = {
    {"common/icons", 32, 32, 16, 4, PaintIcons},
    {"common/Buttons", 64, 64, 16, 4, PaintButtons},
    {"common/dpad", 32, 32, 16, 4, PaintDpad},
    {"common/DRVLLogo", 256, 256, 1, 1, PaintStudio},
    {"common/Testcard_Circle", 256, 256, 1, 1, PaintTestcard},
    {"fonts/editundo", 16, 16, 128, 16, PaintEditundo},
    {"menu", 256, 256, 4, 2, PaintMenu},
    {"logo", 256, 128, 1, 1, PaintLogo},
    {"parts", 8, 8, 256, 16, PaintParts},
    {"BadgesA", 64, 64, 64, 8, PaintBadge},
    {"gfx", 32, 32, 64, 8, PaintGfx},
    {"gfx_glow", 32, 32, 64, 8, PaintGlow},
    {"vrin_font", 10, 14, 96, 96, PaintVrin},
};

Canvas DrawPicture(const Picture& p, int scale) {
  const int cw = p.cellW * scale, ch = p.cellH * scale;
  const int rows = (p.frames + p.columns - 1) / p.columns;
  Canvas canvas(p.columns * cw, rows * ch);
  for (int f = 0; f < p.frames; ++f) {
    Cell cell{&canvas, (f % p.columns) * cw, (f / p.columns) * ch, cw, ch, (float)scale};
    p.paint(cell, f);
  }
  return canvas;
}

const char* Suffix(int scale) { return scale == 1 ? "" : scale == 2 ? "-hd" : "-hd2"; }

// The icon of each size is <data dir>/icons/quorvex-<size>.png.
const char kIconStem[] = "icons/quorvex-";

// --- Contact sheet ---------------------------------------------------------------

constexpr int kSheetW = 1280, kPad = 6, kLabelH = 12, kTitleH = 16;

void Text(Canvas& sheet, int x, int y, const std::string& s, Rgba col) {
  Cell cell{&sheet, 0, 0, sheet.w, sheet.h, 1.0f, true};
  float pen = (float)x;
  for (char ch : s) {
    StrokeGlyph(cell, (unsigned char)ch, pen, (float)y, 1, 1, 0.5f, col);
    pen += GlyphWidth((unsigned char)ch) ? GlyphWidth((unsigned char)ch) + 1 : 4;
  }
}

int TileW(const Picture& p) { return std::max(p.cellW, 20) + kPad; }

// Copies a w x h block of src onto the sheet over the tile colour, so a cell's extent
// shows as a lighter square.
void Tile(Canvas& sheet, const Canvas& src, int sx, int sy, int w, int h, int tx, int ty) {
  const float bg[3] = {0.10f, 0.11f, 0.17f};
  for (int yy = 0; yy < h; ++yy)
    for (int xx = 0; xx < w; ++xx) {
      float* d = sheet.At(tx + xx, ty + yy);
      const float* s = src.At(sx + xx, sy + yy);
      for (int k = 0; k < 3; ++k) d[k] = s[k] + bg[k] * (1 - s[3]);
      d[3] = 1;
    }
}

// Walks the layout; with a sheet it also draws. Returns the height used.
int LayoutSheet(const std::vector<Canvas>& frames1x, const std::vector<Canvas>& icons,
                Canvas* sheet) {
  int count = 0;
  const Picture* pics = Pictures(&count);
  int y = kPad;
  for (int i = 0; i < count; ++i) {
    const Picture& p = pics[i];
    if (sheet) {
      char title[160];
      std::snprintf(title, sizeof title, "%s  %dx%d  %d frames", p.name, p.cellW, p.cellH,
                    p.frames);
      Text(*sheet, kPad, y, title, C(255, 230, 120));
    }
    y += kTitleH;
    const int perRow = std::max(1, (kSheetW - kPad) / TileW(p));
    for (int f = 0; f < p.frames; ++f) {
      const int tx = kPad + (f % perRow) * TileW(p),
                ty = y + (f / perRow) * (p.cellH + kLabelH + kPad);
      if (!sheet) continue;
      Tile(*sheet, frames1x[i], (f % p.columns) * p.cellW, (f / p.columns) * p.cellH, p.cellW,
           p.cellH, tx, ty);
      Text(*sheet, tx, ty + p.cellH + 1, std::to_string(f), C(150, 170, 200));
    }
    const int rows = (p.frames + perRow - 1) / perRow;
    y += rows * (p.cellH + kLabelH + kPad) + kPad;
  }
  // The icon at every size, side by side.
  if (sheet)
    Text(*sheet, kPad, y, std::string(kIconStem) + "<size>  the desktop icon", C(255, 230, 120));
  y += kTitleH;
  int x = kPad, tallest = 0;
  for (const Canvas& icon : icons) {
    if (sheet) {
      Tile(*sheet, icon, 0, 0, icon.w, icon.h, x, y);
      Text(*sheet, x, y + icon.h + 1, std::to_string(icon.w), C(150, 170, 200));
    }
    x += std::max(icon.w, 20) + kPad;
    tallest = std::max(tallest, icon.h);
  }
  return y + tallest + kLabelH + 2 * kPad;
}

bool WriteSheet(const std::string& path, const std::vector<Canvas>& frames1x,
                const std::vector<Canvas>& icons) {
  Canvas sheet(kSheetW, LayoutSheet(frames1x, icons, nullptr));
  for (size_t i = 0; i < sheet.px.size(); i += 4) {
    sheet.px[i] = 0.03f, sheet.px[i + 1] = 0.03f, sheet.px[i + 2] = 0.07f, sheet.px[i + 3] = 1;
  }
  LayoutSheet(frames1x, icons, &sheet);
  return WritePng(path, sheet);
}

}  // namespace

const Picture* Pictures(int* count) {
  *count = (int)(sizeof kPictures / sizeof kPictures[0]);
  return kPictures;
}

}  // namespace gfx

int GenerateGfx(const std::string& dataDir, const std::string& sheetPath) {
  using namespace gfx;
  std::error_code ec;
  std::filesystem::create_directories(dataDir, ec);
  if (ec || !std::filesystem::is_directory(dataDir)) {
    std::fprintf(stderr, "assetgen: cannot create %s\n", dataDir.c_str());
    return 1;
  }
  int count = 0;
  const Picture* pics = Pictures(&count);
  const int icons = (int)(sizeof kIconSizes / sizeof kIconSizes[0]);
  std::vector<Canvas> frames1x(count), iconCanvases(icons);
  std::atomic<int> next{0}, failures{0};
  const int tasks = icons + count * 3;
  auto write = [&](const std::string& path, const Canvas& canvas) {
    if (!WritePng(path, canvas)) {
      std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
      ++failures;
    }
  };
  auto worker = [&] {
    for (int t; (t = next++) < tasks;) {
      if (t < icons) {  // the icons first: the largest is the biggest single job
        const int i = icons - 1 - t;
        iconCanvases[i] = DrawAppIcon(kIconSizes[i]);
        write(dataDir + "/" + kIconStem + std::to_string(kIconSizes[i]) + ".png", iconCanvases[i]);
        continue;
      }
      // Then the largest pictures first: the 4x pictures, then 2x, then 1x.
      const int u = t - icons;
      const int scale = u < count ? 4 : u < 2 * count ? 2 : 1;
      const Picture& p = pics[u % count];
      Canvas canvas = DrawPicture(p, scale);
      write(dataDir + "/" + p.name + Suffix(scale) + ".png", canvas);
      if (scale == 1) frames1x[u % count] = std::move(canvas);
    }
  };
  const unsigned hw = std::thread::hardware_concurrency();
  const int threads = (int)std::max(1u, std::min(4u, hw ? hw : 2u));
  std::vector<std::thread> pool;
  for (int i = 1; i < threads; ++i) pool.emplace_back(worker);
  worker();
  for (std::thread& th : pool) th.join();
  if (!sheetPath.empty() && !WriteSheet(sheetPath, frames1x, iconCanvases)) {
    std::fprintf(stderr, "assetgen: cannot write %s\n", sheetPath.c_str());
    ++failures;
  }
  return failures == 0 ? 0 : 1;
}
