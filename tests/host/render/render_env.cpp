// Shared set-up of the renderer tests (see render_env.h).
#include "tests/host/render/render_env.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

#include <unistd.h>

#include "host/glfw2.h"
#include "stb_image_write.h"

namespace render_test {

namespace {

VxZorbelGame* host = nullptr;
std::string tempDir;

void RemoveTempDir() {
  if (!tempDir.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(tempDir, ec);
  }
}

}  // namespace

VxGlfwGame* Host() {
  if (!host) {
    if (!glfwInit()) return nullptr;
    host = new VxZorbelGame();
  }
  return host;
}

bool OpenWindow(int width, int height) {
  VxGlfwGame* h = Host();
  if (!h) return false;
  int seq = glfwGraphicsSeq;
  h->SetGlfwWindow(width, height, 8, 8, 8, 8, 0, 0, false);
  int w = 0, hh = 0;
  glfwGetWindowSize(&w, &hh);
  return glfwGraphicsSeq == seq + 1 && w == width && hh == height;
}

int PixelOf(gxtkGraphics* g, int x, int y) {
  Array<int> px(1);
  px[0] = 0x12345678;
  g->ReadPixels(px, x, y, 1, 1, 0, 1);
  return px[0];
}

Rgb RgbOf(gxtkGraphics* g, int x, int y) {
  int p = PixelOf(g, x, y);
  return Rgb{(p >> 16) & 255, (p >> 8) & 255, p & 255};
}

std::string TempDir() {
  if (tempDir.empty()) {
    char tmpl[] = "/tmp/quorvex-render-XXXXXX";
    const char* made = mkdtemp(tmpl);
    if (made) tempDir = made;
    std::atexit(RemoveTempDir);
  }
  return tempDir;
}

void WritePng(const std::string& path, int w, int h, int comp,
              const std::vector<unsigned char>& px) {
  ASSERT_EQ(px.size(), (size_t)w * h * comp);
  ASSERT_NE(stbi_write_png(path.c_str(), w, h, comp, px.data(), w * comp), 0) << path;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream f(path, std::ios::binary);
  f << bytes;
}

void RenderTest::SetUp() {
  static bool windowOpen = false;
  if (!windowOpen || glfwGraphicsSeq == 0) windowOpen = OpenWindow();
  ASSERT_TRUE(windowOpen) << "a GL window is needed (run under Xvfb)";
  gxtkSurface::forcePowerOfTwo = false;
  g = new gxtkGraphics();
  ASSERT_EQ(g->Width(), kWidth);
  ASSERT_EQ(g->Height(), kHeight);
  g->BeginRender();
  g->Cls(0, 0, 0);
}

void RenderTest::TearDown() {
  gxtkSurface::forcePowerOfTwo = false;
  if (g) g->EndRender();
}

gxtkSurface* RenderTest::SurfaceOf(int w, int h, const std::vector<unsigned char>& rgba) {
  unsigned char* copy = (unsigned char*)std::malloc(rgba.size());
  std::memcpy(copy, rgba.data(), rgba.size());
  gxtkSurface* s = new gxtkSurface();
  s->SetData(copy, w, h, 4);
  s->Bind();
  return s;
}

std::ostream& operator<<(std::ostream& os, const Rgb& c) {
  return os << "(" << c.r << ", " << c.g << ", " << c.b << ")";
}

bool operator==(const Rgb& a, const Rgb& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

}  // namespace render_test
