// Shared set-up of the graphics module tests (see graphics_env.h).
#include "tests/framework/graphics/graphics_env.h"

namespace graphics_test {

namespace {
RecordingGraphics* device = nullptr;
}

int RecordingGraphics::SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
  calls.push_back({"SetMatrix", {ix, iy, jx, jy, tx, ty}});
  return gxtkGraphics::SetMatrix(ix, iy, jx, jy, tx, ty);
}

int RecordingGraphics::SetScissor(int x, int y, int w, int h) {
  calls.push_back({"SetScissor", {(float)x, (float)y, (float)w, (float)h}});
  return gxtkGraphics::SetScissor(x, y, w, h);
}

int RecordingGraphics::DrawOval(float x, float y, float w, float h) {
  calls.push_back({"DrawOval", {x, y, w, h}});
  return gxtkGraphics::DrawOval(x, y, w, h);
}

int RecordingGraphics::DrawSurface(gxtkSurface* s, float x, float y) {
  calls.push_back({"DrawSurface", {x, y}});
  return gxtkGraphics::DrawSurface(s, x, y);
}

int RecordingGraphics::DrawSurface2(gxtkSurface* s, float x, float y, int sx, int sy, int sw,
                                    int sh) {
  calls.push_back({"DrawSurface2", {x, y, (float)sx, (float)sy, (float)sw, (float)sh}});
  return gxtkGraphics::DrawSurface2(s, x, y, sx, sy, sw, sh);
}

int RecordingGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset,
                                  int pitch) {
  calls.push_back({"ReadPixels", {(float)x, (float)y, (float)w, (float)h, (float)offset,
                                  (float)pitch}});
  return gxtkGraphics::ReadPixels(pixels, x, y, w, h, offset, pitch);
}

int RecordingGraphics::Count(const std::string& name) const {
  int n = 0;
  for (const Call& c : calls) n += c.name == name;
  return n;
}

const RecordingGraphics::Call* RecordingGraphics::Last(const std::string& name) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
    if (it->name == name) return &*it;
  }
  return nullptr;
}

bool StartModule() {
  static bool open = false;
  if (!open) open = render_test::OpenWindow();
  if (!open) return false;
  device = new RecordingGraphics();
  vx_graphics_renderDevice = nullptr;
  vx_graphics_SetGraphicsDevice(device);
  gc_assign(vx_graphics_context, (new c_GraphicsContext())->m_new());
  return true;
}

RecordingGraphics* Device() { return device; }

}  // namespace graphics_test
