// A process for the graphics module's fatal paths:
//   frames <png> <count>   LoadImage2 in 64 x 64 frames, prints the frame corners
//   push <n>               n matrix pushes in a frame
//   pop                    one pop of the empty stack
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/framework/graphics/graphics_env.h"

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  std::string mode = argv[1];
  if (mode == "frames" && argc == 4) {
    if (!graphics_test::StartModule()) return 3;
    c_Image* img = vx_graphics_LoadImage2(String(argv[2]), 64, 64, std::atoi(argv[3]), 0);
    if (!img) return 4;
    std::string line;
    for (int i = 0; i < img->m_frames.Length(); ++i) {
      if (i) line += " ";
      line += std::to_string(img->m_frames[i]->m_x) + "," + std::to_string(img->m_frames[i]->m_y);
    }
    std::printf("%s\n", line.c_str());
    return 0;
  }
  gc_assign(vx_graphics_context, (new c_GraphicsContext())->m_new());
  vx_graphics_BeginRender();
  if (mode == "push" && argc == 3) {
    int n = std::atoi(argv[2]);
    for (int i = 0; i < n; ++i) vx_graphics_PushMatrix();
    return 0;
  }
  if (mode == "pop") {
    vx_graphics_PopMatrix();
    return 0;
  }
  return 2;
}
