// Shared set-up of the renderer tests: one host object and a real window
// (through the host's own window layer, so a window switch is the real one),
// a fresh device per test, pixel reads and PNG files written with stb.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/game.h"
#include "host/gxtk_graphics.h"

namespace render_test {

constexpr int kWidth = 128;
constexpr int kHeight = 96;

// The process's host object (created once, after the window layer started).
VxGlfwGame* Host();
// Opens a new window of the given size through the host (a new GL context and
// a new glfwGraphicsSeq). False when no window can be made.
bool OpenWindow(int width = kWidth, int height = kHeight);

struct Rgb {
  int r, g, b;
};
// The pixel at (x, y), top-left origin, as ARGB from ReadPixels.
int PixelOf(gxtkGraphics* g, int x, int y);
Rgb RgbOf(gxtkGraphics* g, int x, int y);

// A folder of its own under the system's temporary folder, removed at exit.
std::string TempDir();
// Writes a PNG of `comp` components per pixel, rows top first.
void WritePng(const std::string& path, int w, int h, int comp, const std::vector<unsigned char>& px);
void WriteBytes(const std::string& path, const std::string& bytes);

// A window for the suite; a fresh device and a cleared frame per test.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // A surface from RGBA bytes, as a decoded picture would arrive.
  gxtkSurface* SurfaceOf(int w, int h, const std::vector<unsigned char>& rgba);

  gxtkGraphics* g = nullptr;
};

std::ostream& operator<<(std::ostream& os, const Rgb& c);
bool operator==(const Rgb& a, const Rgb& b);

}  // namespace render_test
