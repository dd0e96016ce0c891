// The picture loader on any bytes: stb_image decodes as VxGlfwGame::
// LoadImageData does, then the surface takes the pixels and premultiplies
// them as a loaded picture's would be.
#include <cstdio>

#include "host/gxtk_graphics.h"
#include "stb_image.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  if (size == 0) return 0;
  FILE* f = fmemopen(const_cast<unsigned char*>(data), size, "rb");
  if (!f) return 0;
  int w = 0, h = 0, depth = 0;
  // Refuse what would not fit a texture anyway, before decoding it.
  if (!stbi_info_from_file(f, &w, &h, &depth) || w > 4096 || h > 4096) {
    std::fclose(f);
    return 0;
  }
  unsigned char* pixels = stbi_load_from_file(f, &w, &h, &depth, 0);
  std::fclose(f);
  if (!pixels) return 0;
  static bool started = false;
  if (!started) {
    gc_init_lists();
    started = true;
  }
  gxtkSurface* surface = new gxtkSurface();
  surface->SetData(pixels, w, h, depth);  // owns the pixels from here
  surface->Discard();
  gc_collect_all(nullptr);  // nothing holds the surface: it goes now
  return 0;
}
