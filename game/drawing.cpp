// Drawing for the screens: the drawing state (size, rotation, colour, alpha,
// blend), the frame's draw list of 15-float records, and the pointer hit tests
// of buttons and boxes. Nothing here touches the renderer; the replay in
// flow.cpp turns the records into draw calls.
//
// Left out: clipping and sorting. Records replay in the order they were made,
// and a full list drops further records without a word.
#include "game/myapp.h"

namespace {

// Half sizes of an image slot's cell at the current size, in virtual pixels.
// A slot outside the table has no size, so nothing can hit it.
void HalfCell(const c_MyApp& app, int slot, float* hw, float* hh) {
  if (slot < 0 || slot >= kImageSlots) {
    *hw = *hh = 0;
    return;
  }
  *hw = (float)app.m_imgSize[3 * slot] * app.m_imgScale * app.m_drawSizeX / 2;
  *hh = (float)app.m_imgSize[3 * slot + 1] * app.m_imgScale * app.m_drawSizeY / 2;
}

bool Inside(float x, float y, float hw, float hh, float tx, float ty) {
  return x - hw < tx && tx < x + hw && y - hh < ty && ty < y + hh;
}

}  // namespace

void c_MyApp::p_ResetDraw() {
  m_drawSizeX = 1;
  m_drawSizeY = 1;
  m_drawRot = 0;
  m_drawR = 255;
  m_drawG = 255;
  m_drawB = 255;
  m_drawAlpha = 1;
  m_drawBlend = 1;
}

void c_MyApp::p_CLS2D(float r, float g, float b, float a) {
  m_viewX = 0;
  m_viewY = 0;
  m_viewW = vx_Quorvex_jscrw;
  m_viewH = vx_Quorvex_jscrh;
  if (r > kNotGiven) {
    m_clearR = r;
    m_clearG = g;
    m_clearB = b;
    m_clearAlpha = a;
  }
  p_ResetDraw();
  m_drawCount = 0;
}

void c_MyApp::p_Alpha(float a) { m_drawAlpha = a; }

void c_MyApp::p_SetSize(float sx, float sy) {
  m_drawSizeX = sx;
  m_drawSizeY = sy > kNotGiven ? sy : sx;
}

void c_MyApp::p_SetRot(float degrees) { m_drawRot = -degrees; }

void c_MyApp::p_SetCol(float r, float g, float b, float a) {
  m_drawR = r;
  m_drawG = g;
  m_drawB = b;
  if (a > kNotGiven) m_drawAlpha = a;
}

void c_MyApp::p_Blend(int mode) { m_drawBlend = mode; }

bool c_MyApp::p_Record(float kind, float x, float y, float sizeX, float sizeY, float frame) {
  if (m_drawCount >= kMaxDrawRecords * kDrawRecordFloats) return false;
  float* rec = m_drawList.Data() + m_drawCount;
  rec[kDrawKind] = kind;
  rec[kDrawX] = x;
  rec[kDrawY] = y;
  rec[kDrawRot] = m_drawRot;
  rec[kDrawSizeX] = sizeX;
  rec[kDrawSizeY] = sizeY;
  rec[kDrawFrame] = frame;
  rec[kDrawAlpha] = m_drawAlpha;
  rec[kDrawR] = m_drawR;
  rec[kDrawG] = m_drawG;
  rec[kDrawB] = m_drawB;
  rec[kDrawBlend] = (float)m_drawBlend;
  m_drawCount += kDrawRecordFloats;
  return true;
}

void c_MyApp::p_DrawImg(int slot, float x, float y, float frame) {
  p_Record((float)slot, x, y, m_drawSizeX, m_drawSizeY, frame);
}

void c_MyApp::p_Rect(float x, float y, float w, float h) { p_Record(kRectKind, x, y, w, h, 0); }

void c_MyApp::p_Oval(float x, float y, float rx, float ry) { p_Record(kOvalKind, x, y, rx, ry, 0); }

// Points that are up hold kPointUp and fall outside every box, so the down flags
// need not be read here.
int c_MyApp::p_Button(int slot, float x, float y, int frame) {
  p_DrawImg(slot, x, y, (float)frame);
  if (m_mouseDown <= 0) return 0;
  float hw, hh;
  HalfCell(*this, slot, &hw, &hh);
  for (int i = 0; i < 10; ++i) {
    if (Inside(x, y, hw, hh, (float)m_touchX[i], (float)m_touchY[i])) return 1;
  }
  return 0;
}

int c_MyApp::p_Button2(float x, float y, int frame) { return p_Button(kImgIcons, x, y, frame); }

bool c_MyApp::p_Button0(int slot, float x, float y, int frame) {
  p_DrawImg(slot, x, y, (float)frame);
  if (m_mouseDown <= 0) return false;
  float hw, hh;
  HalfCell(*this, slot, &hw, &hh);
  return Inside(x, y, hw, hh, (float)m_touchX[0], (float)m_touchY[0]);
}

// The box is generous on the right and bottom, where a finger covers what it
// aims at.
int c_MyApp::p_Touch(float x, float y, float w, float h) {
  p_Rect(x, y, w, h);
  for (int i = 0; i < 10; ++i) {
    if (m_touchDown[i] == 0) continue;
    const float tx = (float)m_touchX[i], ty = (float)m_touchY[i];
    if (x - 6 < tx && tx < x + w + 12 && y - 6 < ty && ty < y + h + 12) return 1;
  }
  return 0;
}

int c_MyApp::p_MouseIn_Centered(float x, float y, float w, float h) {
  for (int i = 0; i < 10; ++i) {
    if (m_touchDown[i] == 0) continue;
    if (Inside(x, y, w / 2, h / 2, (float)m_touchX[i], (float)m_touchY[i])) return 1;
  }
  return 0;
}
