// The renderer device: immediate-mode 2D drawing (points, lines, rectangles,
// ovals, polygons, textured quads) on OpenGL 1.x fixed-function client-side
// vertex arrays, and surfaces (textures that keep a premultiplied copy of their
// pixels so a new window can re-create them).
//
// Primitives of one kind and one texture collect in a single 1024-vertex
// buffer; the buffer is drawn only when the kind or texture changes, the buffer
// is full, or state that affects drawing really changes (a SetBlend or
// SetScissor that repeats what is already in force keeps the batch).
// Transformation happens on the processor, so the GL matrices never change
// inside a frame. Counters of draw calls, vertices and texture uploads are kept
// per frame for tests and the benchmark.
//
// Left out: render targets, shaders, depth, anything beyond GL 1.x client arrays.
#pragma once

#include <GL/gl.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/runtime.h"

class gxtkSurface;

// One vertex as handed to OpenGL: position, texture coordinate, RGBA bytes.
struct gxtkVertex {
  float x, y;
  float u, v;
  unsigned char rgba[4];
};
static_assert(sizeof(gxtkVertex) == 20, "the vertex record is 20 bytes");

// Work counted while a frame is drawn (cheap enough to leave on).
struct gxtkFrameCounters {
  int drawCalls = 0;       // glDrawArrays / glDrawElements calls
  int vertices = 0;        // vertices handed to those calls
  int textureUploads = 0;  // pixel uploads (glTexSubImage2D calls)
  int texturesMade = 0;    // textures created (glTexImage2D, including retries)
  int flushes = 0;         // batches drawn
};

class gxtkGraphics : public Object {
 public:
  static constexpr int kMaxVertices = 1024;
  static constexpr int kMaxQuads = kMaxVertices / 4;
  static constexpr int kQuadIndexCount = kMaxQuads * 6;

  // Batch kinds; any n >= 5 is a batch of n-vertex polygons (triangle fans).
  static constexpr int kPoints = 1, kLines = 2, kTriangles = 3, kQuads = 4;

  int width = 0;
  int height = 0;
  uint32_t color = 0;  // bytes R, G, B, A in memory order, premultiplied
  float r = 255, g = 255, b = 255;
  float alpha = 1;
  float ix = 1, iy = 0, jx = 0, jy = 1, tx = 0, ty = 0;
  bool tformed = false;
  gxtkVertex vertices[kMaxVertices];
  unsigned short quadIndices[kQuadIndexCount];
  int primType = 0;
  int primCount = 0;
  gxtkSurface* primSurf = nullptr;

  // State known to be in force in GL, so repeats cost nothing. -1: unknown.
  int blendInForce = -1;
  int scissorInForce = -1;  // 0 off, 1 on with the rectangle below
  int scissorRect[4] = {0, 0, 0, 0};

  // This frame's work (reset by BeginRender) and the last finished frame's
  // (copied at EndRender). Surfaces count their uploads into `counters`.
  static gxtkFrameCounters counters;
  static gxtkFrameCounters lastFrame;

  // The window's size in pixels. The host tells it whenever it opens a window
  // and before each frame; the renderer never asks the window layer.
  static void SetWindowSize(int width, int height);
  // True once after each EndRender: the host then shows the frame (and saves
  // it first when a screenshot is due).
  static bool TakeFinishedFrame();

  // Takes the window size the host told and fills the quad indices.
  gxtkGraphics();

  virtual int Width();
  virtual int Height();
  virtual int BeginRender();
  virtual void EndRender();
  virtual void DiscardGraphics();
  virtual gxtkSurface* LoadSurface(String path);
  virtual gxtkSurface* LoadSurface__UNSAFE__(gxtkSurface* surface, String path);
  virtual gxtkSurface* CreateSurface(int width, int height);
  virtual int Cls(float r, float g, float b);
  virtual int SetAlpha(float alpha);
  virtual int SetColor(float r, float g, float b);
  virtual int SetBlend(int blend);
  virtual int SetScissor(int x, int y, int w, int h);
  virtual int SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
  virtual int DrawPoint(float x, float y);
  virtual int DrawRect(float x, float y, float w, float h);
  virtual int DrawLine(float x1, float y1, float x2, float y2);
  virtual int DrawOval(float x, float y, float w, float h);
  virtual int DrawPoly(Array<float> verts);
  virtual int DrawPoly2(Array<float> verts, gxtkSurface* surface, int srcx, int srcy);
  virtual int DrawSurface(gxtkSurface* surface, float x, float y);
  virtual int DrawSurface2(gxtkSurface* surface, float x, float y, int srcx, int srcy, int srcw,
                           int srch);
  virtual int ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);
  virtual int WritePixels2(gxtkSurface* surface, Array<int> pixels, int x, int y, int w, int h,
                           int offset, int pitch);

  // Draws the pending batch (nothing when it is empty).
  void Flush();

  // Segments DrawOval uses for a w x h box under the current matrix.
  int OvalSegments(float w, float h) const;

 private:
  // Room for `count` vertices of kind `type` with texture `surf`; flushes when
  // the batch cannot take them. Returns where to write.
  gxtkVertex* Begin(int type, int count, gxtkSurface* surf);
  void Put(gxtkVertex* v, float x, float y);
  void Put(gxtkVertex* v, float x, float y, float u, float tv);
  void RepackColor();
};

class gxtkSurface : public Object {
 public:
  unsigned char* data = nullptr;  // premultiplied pixel copy, malloc'd, owned
  int width = 0;
  int height = 0;
  int depth = 0;
  GLenum format = 0;
  int seq = -1;
  GLuint texture = 0;
  float uscale = 0;
  float vscale = 0;

  // Test switch: behave as a driver without non-power-of-two textures (the
  // first texture creation at such a size is treated as rejected).
  static bool forcePowerOfTwo;

  gxtkSurface() {}
  ~gxtkSurface() override;

  virtual int Discard();
  virtual int Width();
  virtual int Height();
  virtual int Loaded();
  virtual bool OnUnsafeLoadComplete();

  // Takes ownership of `pixels` (malloc'd), premultiplies them in place.
  void SetData(unsigned char* pixels, int width, int height, int depth);
  // ARGB ints (alpha in the high byte) into the copy at (x, y), uploaded at once
  // when the texture belongs to the current window. RGBA surfaces only.
  void SetSubData(int x, int y, int w, int h, const int* argb, int pitch);
  // Binds the texture, creating it for the current window first if needed.
  void Bind();
};

// Saves the frame just drawn (the window's size, top row first) as a PNG.
void gxtk_SaveScreenshot(const std::string& path);

// The longest side of a picture the host decodes; no texture needs more.
constexpr int kMaxPictureSide = 4096;
// Decodes a picture file as stb_image reads it (the file stays open); null
// when it is no picture or a side is outside 1..kMaxPictureSide, which is
// checked from the header before any pixel memory is taken.
unsigned char* gxtk_DecodeImage(FILE* file, int* width, int* height, int* depth);
