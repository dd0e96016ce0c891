// Shared set-up of the graphics module tests and tools: a real window and
// device (see tests/host/render/render_env.h), the module's context, and a
// device that also records what the module asks of it.
#pragma once

#include <string>
#include <vector>

#include "framework/graphics.h"
#include "tests/host/render/render_env.h"

namespace graphics_test {

// A renderer device that notes the calls whose arguments the tests check.
class RecordingGraphics : public gxtkGraphics {
 public:
  struct Call {
    std::string name;
    std::vector<float> args;
  };
  std::vector<Call> calls;

  int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) override;
  int SetScissor(int x, int y, int w, int h) override;
  int DrawOval(float x, float y, float w, float h) override;
  int DrawSurface(gxtkSurface* s, float x, float y) override;
  int DrawSurface2(gxtkSurface* s, float x, float y, int sx, int sy, int sw, int sh) override;
  int ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) override;

  int Count(const std::string& name) const;
  const Call* Last(const std::string& name) const;
};

// Opens the window, makes a recording device the module's device and a fresh
// context. False without a display.
bool StartModule();
RecordingGraphics* Device();

}  // namespace graphics_test
