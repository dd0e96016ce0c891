// The graphics module: the drawing state the game sees (colour, alpha, blend,
// scissor, a 2D affine matrix with a 32-deep stack, the current font) in one
// c_GraphicsContext, images cut from surfaces into frames, and the
// vx_graphics_* calls that forward to the renderer device between the
// framework's begin and end of a frame.
//
// Draw calls outside a frame (no render device) draw nothing. A matrix push
// beyond 32 levels or a pop of an empty stack is a runtime error rather than a
// write outside the stack.
// Left out: text drawing (the game draws its own bitmap text), render targets.
#pragma once

#include "host/render/gxtk_graphics.h"
#include "runtime/runtime.h"

class c_Image;

class c_GraphicsContext : public Object {
 public:
  static constexpr int kMatrixDepth = 32;

  c_Image* m_defaultFont = nullptr;
  c_Image* m_font = nullptr;
  int m_firstChar = 0;
  int m_matrixSp = 0;  // in floats, a multiple of 6
  float m_ix = 1, m_iy = 0, m_jx = 0, m_jy = 1, m_tx = 0, m_ty = 0;
  int m_tformed = 0;
  int m_matDirty = 0;
  float m_colorR = 0, m_colorG = 0, m_colorB = 0;
  float m_alpha = 0;
  int m_blend = 0;
  float m_scissorX = 0, m_scissorY = 0, m_scissorW = 0, m_scissorH = 0;
  Array<float> m_matrixStack;  // 192 floats: 32 saved matrices

  c_GraphicsContext() {}
  // Allocates the matrix stack.
  c_GraphicsContext* m_new();
  void mark() override;
};

// A frame's top-left corner in its image's surface.
class c_Frame : public Object {
 public:
  int m_x = 0;
  int m_y = 0;

  c_Frame() {}
  c_Frame* m_new(int x, int y);
  c_Frame* m_new2();
};

class c_Image : public Object {
 public:
  // Flags.
  static constexpr int kMidHandle = 1;      // handle at the frame's centre
  static constexpr int kXPadding = 2;       // one-pixel border left and right of each frame
  static constexpr int kYPadding = 4;       // one-pixel border above and below each frame
  static constexpr int kFullFrame = 65536;  // one frame covering the whole surface

  gxtkSurface* m_surface = nullptr;
  int m_width = 0;
  int m_height = 0;
  Array<c_Frame*> m_frames;
  int m_flags = 0;
  float m_tx = 0;
  float m_ty = 0;
  c_Image* m_source = nullptr;

  c_Image() {}
  c_Image* m_new();
  void mark() override;

  int p_Width() { return m_width; }
  int p_Height() { return m_height; }
  int p_Frames() { return m_frames.Length(); }
  int p_SetHandle(float tx, float ty);
  int p_ApplyFlags(int flags);
  // Frames side by side across the whole surface.
  c_Image* p_Init(gxtkSurface* surf, int frameCount, int flags);
  // Frames of a given size from (x, y), wrapping into rows inside the source
  // rectangle; "Image frame outside surface" when they do not fit.
  c_Image* p_Init2(gxtkSurface* surf, int x, int y, int frameWidth, int frameHeight, int frameCount,
                   int flags, c_Image* source, int srcX, int srcY, int srcWidth, int srcHeight);
};

extern gxtkGraphics* vx_graphics_device;
extern c_GraphicsContext* vx_graphics_context;
extern gxtkGraphics* vx_graphics_renderDevice;

// State and device.
int vx_graphics_SetGraphicsDevice(gxtkGraphics* dev);
int vx_graphics_DeviceWidth();
int vx_graphics_DeviceHeight();
int vx_graphics_BeginRender();
int vx_graphics_EndRender();
int vx_graphics_SetColor(float r, float g, float b);
int vx_graphics_SetAlpha(float alpha);
int vx_graphics_SetBlend(int blend);
int vx_graphics_SetScissor(float x, float y, float w, float h);
int vx_graphics_Cls(float r, float g, float b);
int vx_graphics_SetFont(c_Image* font, int firstChar);
int vx_graphics_ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch);

// Matrix.
int vx_graphics_PushMatrix();
int vx_graphics_PopMatrix();
int vx_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty);
int vx_graphics_SetMatrix2(Array<float> m);
int vx_graphics_Transform(float ix, float iy, float jx, float jy, float tx, float ty);
int vx_graphics_Transform2(Array<float> m);
int vx_graphics_Translate(float x, float y);
int vx_graphics_Rotate(float angle);
int vx_graphics_Scale(float x, float y);

// Drawing (each validates the matrix first).
int vx_graphics_DrawPoint(float x, float y);
int vx_graphics_DrawRect(float x, float y, float w, float h);
int vx_graphics_DrawLine(float x1, float y1, float x2, float y2);
int vx_graphics_DrawOval(float x, float y, float w, float h);
int vx_graphics_DrawEllipse(float x, float y, float xr, float yr);
int vx_graphics_DrawPoly(Array<float> verts);
int vx_graphics_DrawImage(c_Image* image, float x, float y, int frame);
int vx_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX,
                           float scaleY, int frame);

// Images from data files (paths made absolute by the data-path rule); null when
// the file is missing or unreadable.
c_Image* vx_graphics_LoadImage(String path, int frameCount, int flags);
c_Image* vx_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount,
                                int flags);
