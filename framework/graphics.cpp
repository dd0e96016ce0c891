// The graphics module: drawing state, matrix stack, images and frames, fonts.
//
// Every call that draws goes to vx_graphics_renderDevice, which is set only
// between vx_graphics_BeginRender and vx_graphics_EndRender; outside a frame
// those calls draw nothing. The matrix reaches the device lazily: it is handed
// over (validated) just before the next draw.
// Left out: text drawing and image grabbing (the game does neither here).
#include "framework/graphics.h"

#include <cmath>

#include "host/services/data.h"

gxtkGraphics* vx_graphics_device = nullptr;
c_GraphicsContext* vx_graphics_context = nullptr;
gxtkGraphics* vx_graphics_renderDevice = nullptr;

namespace {

constexpr int kMatrixFloats = 6;
constexpr float kDegToRad = 0.0174532924f;

c_GraphicsContext* Context() { return vx_graphics_context; }

// Recomputes the identity test and marks the matrix for the device.
void MatrixChanged() {
  c_GraphicsContext* c = Context();
  bool identity =
      c->m_ix == 1 && c->m_iy == 0 && c->m_jx == 0 && c->m_jy == 1 && c->m_tx == 0 && c->m_ty == 0;
  c->m_tformed = identity ? 0 : 1;
  c->m_matDirty = 1;
}

// Hands the current matrix to the render device when it has changed. False
// when there is nothing to draw on.
bool Validate() {
  gxtkGraphics* dev = vx_graphics_renderDevice;
  c_GraphicsContext* c = Context();
  if (!dev || !c) return false;
  if (c->m_matDirty) {
    dev->SetMatrix(c->m_ix, c->m_iy, c->m_jx, c->m_jy, c->m_tx, c->m_ty);
    c->m_matDirty = 0;
  }
  return true;
}

// The frame an image draw refers to, or null when it has none of that number.
c_Frame* FrameOf(c_Image* image, int frame) {
  if (!image || frame < 0 || frame >= image->m_frames.Length()) return nullptr;
  return image->m_frames[frame];
}

// Draws one frame of `image` with its top-left at (x, y) in current coordinates.
void DrawFrame(c_Image* image, c_Frame* f, float x, float y) {
  gxtkGraphics* dev = vx_graphics_renderDevice;
  if (image->m_flags & c_Image::kFullFrame) {
    dev->DrawSurface(image->m_surface, x, y);
  } else {
    dev->DrawSurface2(image->m_surface, x, y, f->m_x, f->m_y, image->m_width, image->m_height);
  }
}

}  // namespace

// ---------------------------------------------------------------------------
// c_GraphicsContext, c_Frame, c_Image

c_GraphicsContext* c_GraphicsContext::m_new() {
  gc_assign(m_matrixStack, Array<float>(kMatrixDepth * kMatrixFloats));
  return this;
}

void c_GraphicsContext::mark() {
  Object::mark();
  gc_mark_q(m_defaultFont);
  gc_mark_q(m_font);
  gc_mark_q(m_matrixStack);
}

c_Frame* c_Frame::m_new(int x, int y) {
  m_x = x;
  m_y = y;
  return this;
}

c_Frame* c_Frame::m_new2() { return this; }

c_Image* c_Image::m_new() { return this; }

void c_Image::mark() {
  Object::mark();
  gc_mark_q(m_surface);
  gc_mark_q(m_frames);
  gc_mark_q(m_source);
}

int c_Image::p_SetHandle(float tx, float ty) {
  m_tx = tx;
  m_ty = ty;
  m_flags &= ~kMidHandle;
  return 0;
}

int c_Image::p_ApplyFlags(int flags) {
  m_flags = flags;
  int count = m_frames.Length();
  if (m_flags & kXPadding) {
    for (int i = 0; i < count; ++i) m_frames[i]->m_x += 1;
    m_width -= 2;
  }
  if (m_flags & kYPadding) {
    for (int i = 0; i < count; ++i) m_frames[i]->m_y += 1;
    m_height -= 2;
  }
  if (m_flags & kMidHandle) p_SetHandle(m_width * 0.5f, m_height * 0.5f);
  if (count == 1 && m_frames[0]->m_x == 0 && m_frames[0]->m_y == 0 && m_surface &&
      m_width == m_surface->Width() && m_height == m_surface->Height()) {
    m_flags |= kFullFrame;
  }
  return 0;
}

c_Image* c_Image::p_Init(gxtkSurface* surf, int frameCount, int flags) {
  // No frames would divide by zero; a picture always has at least one.
  if (frameCount < 1) frameCount = 1;
  gc_assign(m_surface, surf);
  m_width = surf ? surf->Width() / frameCount : 0;
  m_height = surf ? surf->Height() : 0;
  gc_assign(m_frames, Array<c_Frame*>(frameCount));
  for (int i = 0; i < frameCount; ++i) {
    gc_assign(m_frames[i], (new c_Frame())->m_new(m_width * i, 0));
  }
  p_ApplyFlags(flags);
  return this;
}

c_Image* c_Image::p_Init2(gxtkSurface* surf, int x, int y, int frameWidth, int frameHeight,
                          int frameCount, int flags, c_Image* source, int srcX, int srcY,
                          int srcWidth, int srcHeight) {
  gc_assign(m_surface, surf);
  gc_assign(m_source, source);
  m_width = frameWidth;
  m_height = frameHeight;
  if (frameCount < 0) frameCount = 0;
  gc_assign(m_frames, Array<c_Frame*>(frameCount));
  for (int i = 0; i < frameCount; ++i) {
    if (x + m_width > srcWidth) {
      y += m_height;
      x = 0;
      if (m_width > srcWidth) vxError(String("Image frame outside surface"));
    }
    if (y + m_height > srcHeight) vxError(String("Image frame outside surface"));
    gc_assign(m_frames[i], (new c_Frame())->m_new(x + srcX, y + srcY));
    x += m_width;
  }
  p_ApplyFlags(flags);
  return this;
}

// ---------------------------------------------------------------------------
// State and device

int vx_graphics_SetGraphicsDevice(gxtkGraphics* dev) {
  gc_assign(vx_graphics_device, dev);
  return 0;
}

int vx_graphics_DeviceWidth() { return vx_graphics_device ? vx_graphics_device->Width() : 0; }

int vx_graphics_DeviceHeight() { return vx_graphics_device ? vx_graphics_device->Height() : 0; }

int vx_graphics_BeginRender() {
  gc_assign(vx_graphics_renderDevice, vx_graphics_device);
  c_GraphicsContext* c = Context();
  if (!c) return 0;
  c->m_matrixSp = 0;
  c->m_ix = 1;
  c->m_iy = 0;
  c->m_jx = 0;
  c->m_jy = 1;
  c->m_tx = 0;
  c->m_ty = 0;
  c->m_tformed = 0;
  c->m_matDirty = 1;
  vx_graphics_SetColor(255, 255, 255);
  vx_graphics_SetAlpha(1);
  vx_graphics_SetBlend(0);
  vx_graphics_SetScissor(0, 0, (float)vx_graphics_DeviceWidth(), (float)vx_graphics_DeviceHeight());
  return 0;
}

int vx_graphics_EndRender() {
  vx_graphics_renderDevice = nullptr;
  return 0;
}

int vx_graphics_SetColor(float r, float g, float b) {
  c_GraphicsContext* c = Context();
  c->m_colorR = r;
  c->m_colorG = g;
  c->m_colorB = b;
  if (vx_graphics_renderDevice) vx_graphics_renderDevice->SetColor(r, g, b);
  return 0;
}

int vx_graphics_SetAlpha(float alpha) {
  Context()->m_alpha = alpha;
  if (vx_graphics_renderDevice) vx_graphics_renderDevice->SetAlpha(alpha);
  return 0;
}

int vx_graphics_SetBlend(int blend) {
  Context()->m_blend = blend;
  if (vx_graphics_renderDevice) vx_graphics_renderDevice->SetBlend(blend);
  return 0;
}

int vx_graphics_SetScissor(float x, float y, float w, float h) {
  c_GraphicsContext* c = Context();
  c->m_scissorX = x;
  c->m_scissorY = y;
  c->m_scissorW = w;
  c->m_scissorH = h;
  if (vx_graphics_renderDevice) {
    vx_graphics_renderDevice->SetScissor((int)x, (int)y, (int)w, (int)h);
  }
  return 0;
}

int vx_graphics_Cls(float r, float g, float b) {
  if (vx_graphics_renderDevice) vx_graphics_renderDevice->Cls(r, g, b);
  return 0;
}

int vx_graphics_SetFont(c_Image* font, int firstChar) {
  c_GraphicsContext* c = Context();
  if (!font) {
    if (!c->m_defaultFont) {
      gc_assign(c->m_defaultFont, vx_graphics_LoadImage(String("vrin_font.png"), 96, 2));
    }
    font = c->m_defaultFont;
    firstChar = 32;
  }
  gc_assign(c->m_font, font);
  c->m_firstChar = firstChar;
  return 0;
}

int vx_graphics_ReadPixels(Array<int> pixels, int x, int y, int w, int h, int offset, int pitch) {
  if (!pitch) pitch = w;
  if (vx_graphics_renderDevice) {
    vx_graphics_renderDevice->ReadPixels(pixels, x, y, w, h, offset, pitch);
  }
  return 0;
}

// ---------------------------------------------------------------------------
// Matrix

int vx_graphics_PushMatrix() {
  c_GraphicsContext* c = Context();
  int sp = c->m_matrixSp;
  if (sp < 0 || sp + kMatrixFloats > c->m_matrixStack.Length()) {
    vxError(String("Matrix stack overflow"));
  }
  float* m = &c->m_matrixStack[sp];
  m[0] = c->m_ix;
  m[1] = c->m_iy;
  m[2] = c->m_jx;
  m[3] = c->m_jy;
  m[4] = c->m_tx;
  m[5] = c->m_ty;
  c->m_matrixSp = sp + kMatrixFloats;
  return 0;
}

int vx_graphics_PopMatrix() {
  c_GraphicsContext* c = Context();
  int sp = c->m_matrixSp - kMatrixFloats;
  if (sp < 0 || sp + kMatrixFloats > c->m_matrixStack.Length()) {
    vxError(String("Matrix stack underflow"));
  }
  c->m_matrixSp = sp;
  const float* m = &c->m_matrixStack[sp];
  return vx_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int vx_graphics_SetMatrix(float ix, float iy, float jx, float jy, float tx, float ty) {
  c_GraphicsContext* c = Context();
  c->m_ix = ix;
  c->m_iy = iy;
  c->m_jx = jx;
  c->m_jy = jy;
  c->m_tx = tx;
  c->m_ty = ty;
  MatrixChanged();
  return 0;
}

int vx_graphics_SetMatrix2(Array<float> m) {
  if (m.Length() < 6) return 0;
  return vx_graphics_SetMatrix(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int vx_graphics_Transform(float ix, float iy, float jx, float jy, float tx, float ty) {
  c_GraphicsContext* c = Context();
  float ix2 = c->m_ix * ix + c->m_jx * iy;
  float iy2 = c->m_iy * ix + c->m_jy * iy;
  float jx2 = c->m_ix * jx + c->m_jx * jy;
  float jy2 = c->m_iy * jx + c->m_jy * jy;
  float tx2 = c->m_ix * tx + c->m_jx * ty + c->m_tx;
  float ty2 = c->m_iy * tx + c->m_jy * ty + c->m_ty;
  return vx_graphics_SetMatrix(ix2, iy2, jx2, jy2, tx2, ty2);
}

int vx_graphics_Transform2(Array<float> m) {
  if (m.Length() < 6) return 0;
  return vx_graphics_Transform(m[0], m[1], m[2], m[3], m[4], m[5]);
}

int vx_graphics_Translate(float x, float y) { return vx_graphics_Transform(1, 0, 0, 1, x, y); }

int vx_graphics_Rotate(float angle) {
  float r = angle * kDegToRad;
  float s = (float)std::sin((double)r);
  float c = (float)std::cos((double)r);
  return vx_graphics_Transform(c, -s, s, c, 0, 0);
}

int vx_graphics_Scale(float x, float y) { return vx_graphics_Transform(x, 0, 0, y, 0, 0); }

// ---------------------------------------------------------------------------
// Drawing

int vx_graphics_DrawPoint(float x, float y) {
  if (Validate()) vx_graphics_renderDevice->DrawPoint(x, y);
  return 0;
}

int vx_graphics_DrawRect(float x, float y, float w, float h) {
  if (Validate()) vx_graphics_renderDevice->DrawRect(x, y, w, h);
  return 0;
}

int vx_graphics_DrawLine(float x1, float y1, float x2, float y2) {
  if (Validate()) vx_graphics_renderDevice->DrawLine(x1, y1, x2, y2);
  return 0;
}

int vx_graphics_DrawOval(float x, float y, float w, float h) {
  if (Validate()) vx_graphics_renderDevice->DrawOval(x, y, w, h);
  return 0;
}

int vx_graphics_DrawEllipse(float x, float y, float xr, float yr) {
  if (Validate()) vx_graphics_renderDevice->DrawOval(x - xr, y - yr, xr * 2, yr * 2);
  return 0;
}

int vx_graphics_DrawPoly(Array<float> verts) {
  if (Validate()) vx_graphics_renderDevice->DrawPoly(verts);
  return 0;
}

int vx_graphics_DrawImage(c_Image* image, float x, float y, int frame) {
  c_Frame* f = FrameOf(image, frame);
  if (!f || !Validate()) return 0;
  DrawFrame(image, f, x - image->m_tx, y - image->m_ty);
  return 0;
}

int vx_graphics_DrawImage2(c_Image* image, float x, float y, float rotation, float scaleX,
                           float scaleY, int frame) {
  c_Frame* f = FrameOf(image, frame);
  if (!f || !vx_graphics_renderDevice) return 0;
  vx_graphics_PushMatrix();
  vx_graphics_Transform(1, 0, 0, 1, x, y);
  vx_graphics_Rotate(rotation);
  vx_graphics_Transform(scaleX, 0, 0, scaleY, 0, 0);
  vx_graphics_Transform(1, 0, 0, 1, -image->m_tx, -image->m_ty);
  Validate();
  DrawFrame(image, f, 0, 0);
  vx_graphics_PopMatrix();
  return 0;
}

// ---------------------------------------------------------------------------
// Loading

c_Image* vx_graphics_LoadImage(String path, int frameCount, int flags) {
  if (!vx_graphics_device) return nullptr;
  gxtkSurface* surface = vx_graphics_device->LoadSurface(vx_data_FixDataPath(path));
  if (!surface) return nullptr;
  return (new c_Image())->m_new()->p_Init(surface, frameCount, flags);
}

c_Image* vx_graphics_LoadImage2(String path, int frameWidth, int frameHeight, int frameCount,
                                int flags) {
  if (!vx_graphics_device) return nullptr;
  gxtkSurface* surface = vx_graphics_device->LoadSurface(vx_data_FixDataPath(path));
  if (!surface) return nullptr;
  return (new c_Image())
      ->m_new()
      ->p_Init2(surface, 0, 0, frameWidth, frameHeight, frameCount, flags, nullptr, 0, 0,
                surface->Width(), surface->Height());
}
