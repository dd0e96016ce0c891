// Replay benchmark (a tool, not a test): 2,499 draw records per frame through
// the graphics module, the way the game replays its draw list, reporting draw
// calls, vertices, batches, texture uploads and time per frame.
//
// Usage: graphics_bench [frames]   (needs a display; under Xvfb in CI machines)
// Two orders are measured: records grouped by layer as the game writes them,
// and the worst case with blend and kind changing on every record.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "tests/framework/graphics/graphics_env.h"

namespace {

constexpr int kRecords = 2499;

struct Record {
  int kind;  // 0 image, 1 rect, 2 oval
  int frame;
  int blend;
  float x, y, rot, sx, sy, alpha, r, g, b;
};

unsigned seed = 1234;
float Rnd(float lo, float hi) {
  seed = seed * 1664525u + 1013904223u;
  return lo + (hi - lo) * (float)(seed >> 8) / 16777216.0f;
}

std::vector<Record> Grouped() {
  std::vector<Record> list;
  auto add = [&](int n, int kind, int blend) {
    for (int i = 0; i < n; ++i) {
      list.push_back({kind, (int)Rnd(0, 16), blend, Rnd(0, 640), Rnd(0, 480), Rnd(0, 360),
                      Rnd(0.25f, 0.75f), Rnd(0.25f, 0.75f), Rnd(0.3f, 1), Rnd(0, 255), Rnd(0, 255),
                      Rnd(0, 255)});
    }
  };
  add(600, 1, 0);  // stars
  add(900, 0, 0);  // board
  add(700, 0, 1);  // particles, additive
  add(200, 2, 1);  // glow
  add(kRecords - 2400, 0, 0);  // text and ship
  return list;
}

std::vector<Record> Interleaved() {
  std::vector<Record> list = Grouped();
  for (size_t i = 0; i < list.size(); ++i) {
    list[i].kind = (int)(i % 3);
    list[i].blend = (int)(i % 2);
  }
  return list;
}

// Returns the milliseconds spent issuing the records (before the final flush
// and the buffer swap, where the GL does most of its work).
double Replay(gxtkGraphics* dev, c_Image* sheet, const std::vector<Record>& list) {
  dev->BeginRender();
  vx_graphics_BeginRender();
  vx_graphics_Cls(0, 0, 40);
  auto start = std::chrono::steady_clock::now();
  for (const Record& r : list) {
    vx_graphics_SetAlpha(r.alpha);
    vx_graphics_SetColor(r.r, r.g, r.b);
    vx_graphics_SetBlend(r.blend);
    if (r.kind == 1) {
      vx_graphics_DrawRect(r.x, r.y, 2 * r.sx, 2 * r.sy);
    } else if (r.kind == 2) {
      vx_graphics_DrawEllipse(r.x, r.y, 12 * r.sx, 12 * r.sy);
    } else {
      vx_graphics_DrawImage2(sheet, r.x, r.y, r.rot, r.sx, r.sy, r.frame);
    }
  }
  double ms =
      std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  vx_graphics_EndRender();
  dev->EndRender();
  return ms;
}

void Measure(const char* name, gxtkGraphics* dev, c_Image* sheet, const std::vector<Record>& list,
             int frames) {
  Replay(dev, sheet, list);  // warm-up: textures made
  double submit = 0;
  auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < frames; ++i) submit += Replay(dev, sheet, list);
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                  .count();
  const gxtkFrameCounters& c = gxtkGraphics::lastFrame;
  std::printf(
      "%-12s records %d  draw calls %d  vertices %d  batches %d  uploads %d  "
      "%.3f ms/frame (%.3f ms issuing)\n",
      name, (int)list.size(), c.drawCalls, c.vertices, c.flushes, c.textureUploads, ms / frames,
      submit / frames);
}

}  // namespace

int main(int argc, char** argv) {
  int frames = argc > 1 ? std::atoi(argv[1]) : 200;
  if (frames < 1) frames = 1;
  if (!render_test::OpenWindow(640, 480)) {
    std::fprintf(stderr, "graphics_bench: no window (is a display available?)\n");
    return 1;
  }
  gxtkGraphics* dev = new gxtkGraphics();
  vx_graphics_SetGraphicsDevice(dev);
  gc_assign(vx_graphics_context, (new c_GraphicsContext())->m_new());

  // A 256 x 256 sheet of 16 frames, made in memory.
  gxtkSurface* surf = dev->CreateSurface(256, 256);
  Array<int> px(256 * 256);
  for (int i = 0; i < px.Length(); ++i) px[i] = (int)(0xff000000u | (unsigned)(i * 2654435761u >> 8));
  dev->WritePixels2(surf, px, 0, 0, 256, 256, 0, 256);
  c_Image* sheet = (new c_Image())->m_new()->p_Init2(surf, 0, 0, 64, 64, 16, 1, nullptr, 0, 0,
                                                     256, 256);

  Measure("grouped", dev, sheet, Grouped(), frames);
  Measure("interleaved", dev, sheet, Interleaved(), frames);
  return 0;
}
