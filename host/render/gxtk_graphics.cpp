// The renderer device and its surfaces on OpenGL 1.x client-side arrays, and
// the host's image decoder (VxGlfwGame::LoadImageData, through stb_image).
//
// One 1024-vertex buffer per device; a batch holds one kind of primitive with
// one texture. Colours are premultiplied by alpha here, so both blend modes use
// GL_ONE as the source factor, and surfaces premultiply their pixel copy.
// Left out: detecting a texture the driver refuses even at power-of-two size.
#include "host/render/gxtk_graphics.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/platform/game.h"
#include "stb_image.h"
#include "stb_image_write.h"

gxtkFrameCounters gxtkGraphics::counters;
gxtkFrameCounters gxtkGraphics::lastFrame;

namespace {
int g_windowWidth = 0, g_windowHeight = 0;
bool g_frameFinished = false;
}  // namespace

void gxtkGraphics::SetWindowSize(int width, int height) {
  g_windowWidth = width;
  g_windowHeight = height;
}

bool gxtkGraphics::TakeFinishedFrame() {
  const bool finished = g_frameFinished;
  g_frameFinished = false;
  return finished;
}
bool gxtkSurface::forcePowerOfTwo = false;

namespace {

constexpr int kVertexStride = sizeof(gxtkVertex);
constexpr float kTwoPi = 6.2831855f;
constexpr int kMinOvalSegments = 12;

// A colour channel as a byte; out-of-range and NaN values are clamped rather
// than converted with undefined results.
unsigned char ToByte(float v) {
  if (!(v > 0)) return 0;
  if (v >= 255) return 255;
  return (unsigned char)(int)v;
}

int PowerOfTwoAtLeast(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

bool IsPowerOfTwo(int n) { return n > 0 && (n & (n - 1)) == 0; }

GLenum FormatOfDepth(int depth) {
  switch (depth) {
    case 1:
      return GL_LUMINANCE;
    case 2:
      return GL_LUMINANCE_ALPHA;
    case 3:
      return GL_RGB;
    default:
      return GL_RGBA;
  }
}

void DrainGlErrors() {
  for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
  }
}

void CountDraw(int vertices) {
  gxtkGraphics::counters.drawCalls += 1;
  gxtkGraphics::counters.vertices += vertices;
}

}  // namespace

// ---------------------------------------------------------------------------
// gxtkGraphics

gxtkGraphics::gxtkGraphics() : width(g_windowWidth), height(g_windowHeight) {
  for (int q = 0; q < kMaxQuads; ++q) {
    unsigned short* i = &quadIndices[q * 6];
    unsigned short base = (unsigned short)(q * 4);
    i[0] = base;
    i[1] = (unsigned short)(base + 1);
    i[2] = (unsigned short)(base + 2);
    i[3] = base;
    i[4] = (unsigned short)(base + 2);
    i[5] = (unsigned short)(base + 3);
  }
  RepackColor();
}

int gxtkGraphics::Width() { return width; }
int gxtkGraphics::Height() { return height; }

int gxtkGraphics::BeginRender() {
  width = g_windowWidth;
  height = g_windowHeight;
  counters = gxtkFrameCounters();

  glViewport(0, 0, width, height);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, width, height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  glEnableClientState(GL_VERTEX_ARRAY);
  glVertexPointer(2, GL_FLOAT, kVertexStride, &vertices[0].x);
  glEnableClientState(GL_TEXTURE_COORD_ARRAY);
  glTexCoordPointer(2, GL_FLOAT, kVertexStride, &vertices[0].u);
  glEnableClientState(GL_COLOR_ARRAY);
  glColorPointer(4, GL_UNSIGNED_BYTE, kVertexStride, &vertices[0].rgba);

  glEnable(GL_BLEND);
  glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  blendInForce = 0;
  // The scissor state may belong to another context; the frame sets it anew.
  scissorInForce = -1;
  glDisable(GL_TEXTURE_2D);
  primCount = 0;
  primSurf = nullptr;  // the surface of last frame's batch may be gone
  return 1;
}

// The frame as drawn, top row first, into a PNG; a failure only says so.
void gxtk_SaveScreenshot(const std::string& path) {
  const int w = g_windowWidth, h = g_windowHeight;
  if (w <= 0 || h <= 0) return;
  std::vector<unsigned char> px((size_t)w * h * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, w, h, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
  const size_t row = (size_t)w * 4;
  for (int top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
    std::swap_ranges(px.begin() + top * row, px.begin() + (top + 1) * row,
                     px.begin() + bottom * row);
  }
  for (size_t i = 3; i < px.size(); i += 4) px[i] = 255;  // as seen: opaque
  if (!stbi_write_png(path.c_str(), w, h, 4, px.data(), (int)row)) {
    std::fprintf(stderr, "quorvex: cannot write the screenshot %s\n", path.c_str());
  }
}

void gxtkGraphics::EndRender() {
  Flush();
  lastFrame = counters;
  g_frameFinished = true;
}

void gxtkGraphics::DiscardGraphics() {}

int gxtkGraphics::Cls(float cr, float cg, float cb) {
  primCount = 0;
  glClearColor(cr / 255.0f, cg / 255.0f, cb / 255.0f, 1);
  glClear(GL_COLOR_BUFFER_BIT);
  return 0;
}

void gxtkGraphics::RepackColor() {
  unsigned char bytes[4] = {ToByte(r * alpha), ToByte(g * alpha), ToByte(b * alpha),
                            ToByte(255 * alpha)};
  std::memcpy(&color, bytes, 4);
}

int gxtkGraphics::SetAlpha(float a) {
  alpha = a;
  RepackColor();
  return 0;
}

int gxtkGraphics::SetColor(float cr, float cg, float cb) {
  r = cr;
  g = cg;
  b = cb;
  RepackColor();
  return 0;
}

int gxtkGraphics::SetBlend(int blend) {
  int mode = blend == 1 ? 1 : 0;
  if (mode == blendInForce) return 0;  // same picture, so keep the batch
  Flush();
  if (mode == 1) {
    glBlendFunc(GL_ONE, GL_ONE);
  } else {
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
  }
  blendInForce = mode;
  return 0;
}

int gxtkGraphics::SetScissor(int x, int y, int w, int h) {
  bool whole = x == 0 && y == 0 && w == Width() && h == Height();
  int glY = Height() - y - h;
  if (whole) {
    if (scissorInForce == 0) return 0;
    Flush();
    glDisable(GL_SCISSOR_TEST);
    scissorInForce = 0;
    return 0;
  }
  if (scissorInForce == 1 && scissorRect[0] == x && scissorRect[1] == glY && scissorRect[2] == w &&
      scissorRect[3] == h) {
    return 0;
  }
  Flush();
  glEnable(GL_SCISSOR_TEST);
  // A negative size is a GL error that would leave the old rectangle; clip it to empty.
  glScissor(x, glY, w < 0 ? 0 : w, h < 0 ? 0 : h);
  scissorInForce = 1;
  scissorRect[0] = x;
  scissorRect[1] = glY;
  scissorRect[2] = w;
  scissorRect[3] = h;
  return 0;
}

int gxtkGraphics::SetMatrix(float mix, float miy, float mjx, float mjy, float mtx, float mty) {
  ix = mix;
  iy = miy;
  jx = mjx;
  jy = mjy;
  tx = mtx;
  ty = mty;
  // Written so that any NaN counts as transformed.
  tformed = !(ix == 1 && iy == 0 && jx == 0 && jy == 1 && tx == 0 && ty == 0);
  return 0;
}

gxtkVertex* gxtkGraphics::Begin(int type, int count, gxtkSurface* surf) {
  if (primType != type || primSurf != surf || primCount + count > kMaxVertices) {
    Flush();
    primType = type;
    primSurf = surf;
  }
  gxtkVertex* v = &vertices[primCount];
  primCount += count;
  return v;
}

void gxtkGraphics::Put(gxtkVertex* v, float x, float y) {
  if (tformed) {
    v->x = ix * x + jx * y + tx;
    v->y = iy * x + jy * y + ty;
  } else {
    v->x = x;
    v->y = y;
  }
  std::memcpy(v->rgba, &color, 4);
}

void gxtkGraphics::Put(gxtkVertex* v, float x, float y, float u, float tv) {
  Put(v, x, y);
  v->u = u;
  v->v = tv;
}

void gxtkGraphics::Flush() {
  if (primCount <= 0) return;
  counters.flushes += 1;
  bool textured = primSurf != nullptr;
  if (textured) {
    glEnable(GL_TEXTURE_2D);
    primSurf->Bind();
  }
  switch (primType) {
    case kPoints:
      glDrawArrays(GL_POINTS, 0, primCount);
      CountDraw(primCount);
      break;
    case kLines:
      glDrawArrays(GL_LINES, 0, primCount);
      CountDraw(primCount);
      break;
    case kTriangles:
      glDrawArrays(GL_TRIANGLES, 0, primCount);
      CountDraw(primCount);
      break;
    case kQuads:
      glDrawElements(GL_TRIANGLES, primCount / 4 * 6, GL_UNSIGNED_SHORT, quadIndices);
      CountDraw(primCount);
      break;
    default:
      for (int first = 0; first + primType <= primCount; first += primType) {
        glDrawArrays(GL_TRIANGLE_FAN, first, primType);
        CountDraw(primType);
      }
      break;
  }
  if (textured) glDisable(GL_TEXTURE_2D);
  primCount = 0;
}

int gxtkGraphics::DrawPoint(float x, float y) {
  gxtkVertex* v = Begin(kPoints, 1, nullptr);
  Put(v, x, y);
  return 0;
}

int gxtkGraphics::DrawLine(float x1, float y1, float x2, float y2) {
  gxtkVertex* v = Begin(kLines, 2, nullptr);
  Put(v, x1, y1);
  Put(v + 1, x2, y2);
  return 0;
}

int gxtkGraphics::DrawRect(float x, float y, float w, float h) {
  gxtkVertex* v = Begin(kQuads, 4, nullptr);
  Put(v, x, y);
  Put(v + 1, x + w, y);
  Put(v + 2, x + w, y + h);
  Put(v + 3, x, y + h);
  return 0;
}

int gxtkGraphics::OvalSegments(float w, float h) const {
  float xr = w * 0.5f;
  float yr = h * 0.5f;
  float n;
  if (tformed) {
    float dx = std::sqrt((ix * xr) * (ix * xr) + (iy * xr) * (iy * xr));
    float dy = std::sqrt((jx * yr) * (jx * yr) + (jy * yr) * (jy * yr));
    n = std::trunc(dx + dy);  // before the test: a sum of 11.5 still gives 12
  } else {
    n = std::fabs(std::trunc(xr)) + std::fabs(std::trunc(yr));
  }
  // Compared as floats: a huge or NaN size must not reach an int conversion.
  if (!(n > 11)) return kMinOvalSegments;
  if (n > kMaxVertices) return kMaxVertices;
  return (int)n & ~3;
}

int gxtkGraphics::DrawOval(float x, float y, float w, float h) {
  float xr = w * 0.5f;
  float yr = h * 0.5f;
  int n = OvalSegments(w, h);
  gxtkVertex* v = Begin(n, n, nullptr);
  for (int i = 0; i < n; ++i) {
    float angle = (float)i * kTwoPi / (float)n;
    Put(v + i, x + xr + std::cos(angle) * xr, y + yr - std::sin(angle) * yr);
  }
  return 0;
}

int gxtkGraphics::DrawPoly(Array<float> verts) {
  int n = verts.Length() / 2;
  if (n < 1 || n > kMaxVertices) return 0;
  gxtkVertex* v = Begin(n, n, nullptr);
  for (int i = 0; i < n; ++i) Put(v + i, verts[i * 2], verts[i * 2 + 1]);
  return 0;
}

int gxtkGraphics::DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy) {
  int n = verts.Length() / 4;
  if (n < 1 || n > kMaxVertices || !surface) return 0;
  // The scales are known only once the texture exists for this window.
  if (surface->seq != glfwGraphicsSeq) surface->Bind();
  gxtkVertex* v = Begin(n, n, surface);
  for (int i = 0; i < n; ++i) {
    const float* p = &verts[i * 4];
    Put(v + i, p[0], p[1], (p[2] + srcx) * surface->uscale, (p[3] + srcy) * surface->vscale);
  }
  return 0;
}

int gxtkGraphics::DrawSurface(gxtkSurface* surface, float x, float y) {
  if (!surface) return 0;
  if (surface->seq != glfwGraphicsSeq) surface->Bind();
  float w = (float)surface->width;
  float h = (float)surface->height;
  float u1 = w * surface->uscale;
  float v1 = h * surface->vscale;
  gxtkVertex* v = Begin(kQuads, 4, surface);
  Put(v, x, y, 0, 0);
  Put(v + 1, x + w, y, u1, 0);
  Put(v + 2, x + w, y + h, u1, v1);
  Put(v + 3, x, y + h, 0, v1);
  return 0;
}

int gxtkGraphics::DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                               int srch) {
  if (!surface) return 0;
  if (surface->seq != glfwGraphicsSeq) surface->Bind();
  float u0 = srcx * surface->uscale;
  float v0 = srcy * surface->vscale;
  float u1 = (srcx + srcw) * surface->uscale;
  float v1 = (srcy + srch) * surface->vscale;
  gxtkVertex* v = Begin(kQuads, 4, surface);
  Put(v, x, y, u0, v0);
  Put(v + 1, x + srcw, y, u1, v0);
  Put(v + 2, x + srcw, y + srch, u1, v1);
  Put(v + 3, x, y + srch, u0, v1);
  return 0;
}

int gxtkGraphics::ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
  Flush();
  if (w <= 0 || h <= 0 || offset < 0 || pitch < 0) return 0;
  // Every row must land inside the array.
  long long last = (long long)offset + (long long)(h - 1) * pitch + w;
  if (last > pixels.Length()) return 0;
  glPixelStorei(GL_PACK_ALIGNMENT, 4);
  if (pitch == w) {
    // One read of the packed block (GL gives the bottom row first), then the
    // rows are turned over in place.
    int* block = &pixels[offset];
    glReadPixels(x, height - y - h, w, h, GL_BGRA, GL_UNSIGNED_BYTE, block);
    for (int top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
      std::swap_ranges(block + top * w, block + top * w + w, block + bottom * w);
    }
    return 0;
  }
  for (int i = 0; i < h; ++i) {
    // Row i from the top is GL row (height - y - 1 - i) from the bottom.
    glReadPixels(x, height - y - 1 - i, w, 1, GL_BGRA, GL_UNSIGNED_BYTE,
                 &pixels[offset + i * pitch]);
  }
  return 0;
}

int gxtkGraphics::WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h,
                               int offset, int pitch) {
  Flush();
  if (!surface || w <= 0 || h <= 0 || offset < 0 || pitch < 0) return 0;
  long long last = (long long)offset + (long long)(h - 1) * pitch + w;
  if (last > pixels.Length()) return 0;
  surface->SetSubData(x, y, w, h, &pixels[offset], pitch);
  return 0;
}

gxtkSurface* gxtkGraphics::CreateSurface(int w, int h) {
  gxtkSurface* surface = new gxtkSurface();
  surface->width = w;
  surface->height = h;
  surface->depth = 4;
  surface->format = GL_RGBA;
  surface->Bind();
  return surface;
}

gxtkSurface* gxtkGraphics::LoadSurface(String path) {
  gxtkSurface* surface = LoadSurface__UNSAFE__(new gxtkSurface(), path);
  if (!surface) return nullptr;
  surface->Bind();
  return surface;
}

gxtkSurface* gxtkGraphics::LoadSurface__UNSAFE__(gxtkSurface* surface, String path) {
  VxGlfwGame* host = VxGlfwGame::_glfwGame;
  if (!surface || !host) return nullptr;
  int w = 0, h = 0, depth = 0;
  unsigned char* pixels = host->LoadImageData(path, &w, &h, &depth);
  if (!pixels) return nullptr;
  surface->SetData(pixels, w, h, depth);
  return surface;
}

// ---------------------------------------------------------------------------
// gxtkSurface

gxtkSurface::~gxtkSurface() {
  if (seq == glfwGraphicsSeq) glDeleteTextures(1, &texture);
  std::free(data);
}

int gxtkSurface::Discard() {
  if (seq == glfwGraphicsSeq) {
    glDeleteTextures(1, &texture);
    seq = -1;
  }
  std::free(data);
  data = nullptr;
  return 0;
}

int gxtkSurface::Width() { return width; }
int gxtkSurface::Height() { return height; }
int gxtkSurface::Loaded() { return 1; }

bool gxtkSurface::OnUnsafeLoadComplete() {
  Bind();
  return true;
}

void gxtkSurface::SetData(unsigned char* pixels, int w, int h, int d) {
  std::free(data);
  data = pixels;
  width = w;
  height = h;
  depth = d;
  format = FormatOfDepth(d);
  long long count = (long long)w * h;
  if (!pixels || count <= 0) return;
  if (d == 2) {
    for (long long i = 0; i < count; ++i) {
      unsigned char* p = pixels + i * 2;
      p[0] = (unsigned char)(p[0] * p[1] / 255);
    }
  } else if (d == 4) {
    for (long long i = 0; i < count; ++i) {
      unsigned char* p = pixels + i * 4;
      int a = p[3];
      p[0] = (unsigned char)(p[0] * a / 255);
      p[1] = (unsigned char)(p[1] * a / 255);
      p[2] = (unsigned char)(p[2] * a / 255);
    }
  }
}

void gxtkSurface::SetSubData(int x, int y, int w, int h, const int* argb, int pitch) {
  if (format != GL_RGBA || !argb) return;
  // A rectangle outside the surface would write outside the copy.
  if (x < 0 || y < 0 || w <= 0 || h <= 0 || x + w > width || y + h > height) return;
  if (!data) {
    data = (unsigned char*)std::calloc((size_t)width * height, 4);
    if (!data) return;
  }
  for (int row = 0; row < h; ++row) {
    const int* src = argb + (long long)row * pitch;
    unsigned char* dst = data + ((size_t)(y + row) * width + x) * 4;
    for (int col = 0; col < w; ++col) {
      unsigned int p = (unsigned int)src[col];
      unsigned int a = p >> 24;
      dst[col * 4 + 0] = (unsigned char)(((p >> 16) & 255) * a / 255);
      dst[col * 4 + 1] = (unsigned char)(((p >> 8) & 255) * a / 255);
      dst[col * 4 + 2] = (unsigned char)((p & 255) * a / 255);
      dst[col * 4 + 3] = (unsigned char)a;
    }
  }
  if (seq != glfwGraphicsSeq) return;  // made for an old window: the next Bind uploads it
  glBindTexture(GL_TEXTURE_2D, texture);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  if (x == 0 && w == width) {
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, y, w, h, GL_RGBA, GL_UNSIGNED_BYTE,
                    data + (size_t)y * width * 4);
    gxtkGraphics::counters.textureUploads += 1;
  } else {
    for (int row = 0; row < h; ++row) {
      glTexSubImage2D(GL_TEXTURE_2D, 0, x, y + row, w, 1, GL_RGBA, GL_UNSIGNED_BYTE,
                      data + ((size_t)(y + row) * width + x) * 4);
      gxtkGraphics::counters.textureUploads += 1;
    }
  }
}

void gxtkSurface::Bind() {
  if (glfwGraphicsSeq == 0) return;
  if (seq == glfwGraphicsSeq) {
    glBindTexture(GL_TEXTURE_2D, texture);
    return;
  }
  seq = glfwGraphicsSeq;
  glGenTextures(1, &texture);
  glBindTexture(GL_TEXTURE_2D, texture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);

  // Errors left by earlier calls must not pass for a refused size.
  DrainGlErrors();
  int texWidth = width;
  int texHeight = height;
  bool refused;
  if (forcePowerOfTwo && !(IsPowerOfTwo(width) && IsPowerOfTwo(height))) {
    refused = true;
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, format, texWidth, texHeight, 0, format, GL_UNSIGNED_BYTE,
                 nullptr);
    gxtkGraphics::counters.texturesMade += 1;
    refused = glGetError() != GL_NO_ERROR;
  }
  if (refused) {
    texWidth = PowerOfTwoAtLeast(width);
    texHeight = PowerOfTwoAtLeast(height);
    glTexImage2D(GL_TEXTURE_2D, 0, format, texWidth, texHeight, 0, format, GL_UNSIGNED_BYTE,
                 nullptr);
    gxtkGraphics::counters.texturesMade += 1;
  }
  uscale = 1.0f / (float)texWidth;
  vscale = 1.0f / (float)texHeight;

  if (data) {
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, width, height, format, GL_UNSIGNED_BYTE, data);
    gxtkGraphics::counters.textureUploads += 1;
  }
}

// ---------------------------------------------------------------------------
// The host's image decoder

unsigned char* gxtk_DecodeImage(FILE* file, int* width, int* height, int* depth) {
  // The size from the header first: a hostile header (a top-down picture's
  // negative height reads as a huge one) must not ask for gigabytes.
  int w = 0, h = 0, n = 0;
  if (!file || !stbi_info_from_file(file, &w, &h, &n)) return nullptr;
  if (w < 1 || h < 1 || w > kMaxPictureSide || h > kMaxPictureSide) return nullptr;
  return stbi_load_from_file(file, width, height, depth, 0);
}

unsigned char* VxGlfwGame::LoadImageData(String path, int* width, int* height, int* depth) {
  FILE* file = OpenFile(path, String("rb"));
  if (!file) return nullptr;
  unsigned char* pixels = gxtk_DecodeImage(file, width, height, depth);
  std::fclose(file);
  return pixels;
}
