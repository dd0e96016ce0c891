// The graphics module on a recording device (no window: pictures are a table
// of sizes): images cut into frames, handles and flags, the default font, the
// matrix and its stack, the state reset per frame, and what reaches the device.
// The faults that end the program are with the framework's other endings (test_app.cpp).
#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "framework/graphics.h"
#include "tests/support/devices.h"

namespace {

using test_support::Num;

// "64x32 at 32,16 flags 0: 0,0 32,0": size, handle, flags and frames (of
// more than four, the first three and the last).
std::string Describe(c_Image* img) {
  if (!img) return "null";
  std::string s = Num(img->m_width) + "x" + Num(img->m_height) + " at " + Num(img->m_tx) + "," +
                  Num(img->m_ty) + " flags " + std::to_string(img->m_flags) + ":";
  for (int i = 0, n = img->m_frames.Length(); i < n; i += i == 2 && n > 4 ? n - 3 : 1)
    s += " " + Num(img->m_frames[i]->m_x) + "," + Num(img->m_frames[i]->m_y);
  return s;
}

std::string Matrix(c_GraphicsContext* c) {
  std::string s;
  for (float v : {c->m_ix, c->m_iy, c->m_jx, c->m_jy, c->m_tx, c->m_ty})
    s += (s.empty() ? "" : ",") + Num(v);
  return s;
}

class Graphics : public ::testing::Test {
 protected:
  void SetUp() override {
    dev = new test_support::RecordingGraphics(320, 200);
    const std::tuple<const char*, int, int> pictures[] = {{"wide", 200, 100},
                                                          {"tall", 200, 128},
                                                          {"mid", 64, 32},
                                                          {"both", 20, 10},
                                                          {"vrin_font", 960, 10}};
    for (auto [name, w, h] : pictures)
      dev->files["zorbel://data/" + std::string(name) + ".png"] = {w, h};
    vx_graphics_renderDevice = nullptr;
    vx_graphics_SetGraphicsDevice(dev);
    gc_assign(vx_graphics_context, (new c_GraphicsContext())->m_new());
  }
  c_Image* Load(const std::string& name, int frames, int flags) {
    return vx_graphics_LoadImage(String((name + ".png").c_str()), frames, flags);
  }
  c_GraphicsContext* ctx() { return vx_graphics_context; }
  test_support::RecordingGraphics* dev = nullptr;
};

// LoadImage2 cuts frames in rows; LoadImage's flags: 1 handle at the centre
// (dropped once applied), 2 and 4 a one-pixel border around each frame left
// and right, above and below; one frame covering the surface is marked so.
TEST_F(Graphics, ImagesAreCutIntoFramesAndShapedByTheirFlags) {
  const struct {
    const char* name;
    int frames, flags, frameSize;
    const char* image;
  } cases[] = {{"wide", 3, 0, 64, "64x64 at 0,0 flags 0: 0,0 64,0 128,0"},
               {"tall", 4, 0, 64, "64x64 at 0,0 flags 0: 0,0 64,0 128,0 0,64"},  // the fourth wraps
               {"mid", 1, 1, 0, "64x32 at 32,16 flags 65536: 0,0"},
               {"mid", 2, 0, 0, "32x32 at 0,0 flags 0: 0,0 32,0"},
               {"both", 2, 7, 0, "8x8 at 4,4 flags 6: 1,1 11,1"},  // centred on the trimmed frame
               {"none", 1, 0, 0, "null"},
               {"none", 1, 0, 8, "null"}};
  for (const auto& c : cases) {
    const String path((c.name + std::string(".png")).c_str());
    c_Image* img = c.frameSize
                       ? vx_graphics_LoadImage2(path, c.frameSize, c.frameSize, c.frames, c.flags)
                       : vx_graphics_LoadImage(path, c.frames, c.flags);
    EXPECT_EQ(Describe(img), c.image) << c.name << " " << c.flags;
  }
  c_Image* img = Load("mid", 1, 0);
  img->m_flags = 3;
  img->p_SetHandle(3, 4);
  EXPECT_EQ(img->m_flags, 2) << "a handle set by hand drops the centre flag";
}

TEST_F(Graphics, DefaultFontIsLoadedOnceFromTheDataFolderWithFirstChar32) {
  vx_graphics_SetFont(nullptr, 65);
  c_Image* def = ctx()->m_defaultFont;
  EXPECT_EQ(Describe(def), "8x10 at 0,0 flags 2: 1,0 11,0 21,0 951,0");
  EXPECT_EQ(ctx()->m_firstChar, 32) << "the default font always starts at the space";
  vx_graphics_SetFont(Load("mid", 2, 0), 65);
  vx_graphics_SetFont(nullptr, 0);
  EXPECT_EQ(ctx()->m_font, def);
  EXPECT_EQ(dev->opened.size(), 2u) << "the default font is loaded once";
}

TEST_F(Graphics, TransformsPostMultiplyAndTheStackHoldsThirtyTwo) {
  vx_graphics_Translate(0, 0);
  EXPECT_EQ(ctx()->m_tformed, 0);
  vx_graphics_Translate(10, 20);
  vx_graphics_Scale(2, 3);
  vx_graphics_Translate(1, 1);  // in scaled units: 2 and 3 pixels
  EXPECT_EQ(Matrix(ctx()), "2,0,0,3,12,23");
  EXPECT_EQ(ctx()->m_tformed, 1);
  vx_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  for (int i = 0; i < 32; ++i) vx_graphics_Translate(1, 0), vx_graphics_PushMatrix();
  EXPECT_EQ(ctx()->m_matrixSp, 192);
  for (int i = 32; i > 0; --i) {
    vx_graphics_PopMatrix();
    EXPECT_EQ(ctx()->m_tx, i);
  }
  vx_graphics_Rotate(30);
  EXPECT_EQ(Matrix(ctx()), "0.866,-0.5,0.5,0.866,1,0");
}

// In a frame, state goes to the device at once, the matrix only before a
// draw; images draw their frame at the handle, Image2 under its own matrix;
// nothing draws for a missing frame or outside a frame; the next frame starts
// from a reset state but the font (what it tells the device is in test_app.cpp).
TEST_F(Graphics, WhatReachesTheDeviceInAFrameAndWhatTheNextFrameResets) {
  c_Image* whole = Load("mid", 1, 1);
  c_Image* strip = Load("mid", 2, 0);
  c_Image* font = (new c_Image())->m_new();
  vx_graphics_SetFont(font, 40);
  vx_graphics_BeginRender();
  dev->Clear();
  vx_graphics_SetColor(1, 2, 3);
  vx_graphics_SetAlpha(0.25f);
  vx_graphics_SetBlend(1);
  vx_graphics_SetScissor(1.9f, 2.9f, 10.7f, 5.2f);
  vx_graphics_Translate(5, 0);
  vx_graphics_Translate(5, 0);
  vx_graphics_Cls(0, 0, 0);  // needs no matrix
  vx_graphics_DrawRect(0, 0, 4, 4);
  vx_graphics_DrawRect(0, 8, 4, 4);
  vx_graphics_DrawEllipse(50, 40, 20, 10);  // the oval of its box
  Array<int> px(6);
  vx_graphics_ReadPixels(px, 1, 2, 3, 2, 0, 0);  // pitch 0 is the width
  vx_graphics_SetMatrix(1, 0, 0, 1, 0, 0);
  vx_graphics_DrawImage(whole, 40, 30, 0);
  vx_graphics_DrawImage(strip, 0, 0, 1);  // frames of a larger surface draw a region
  vx_graphics_Translate(1, 1);
  vx_graphics_DrawImage2(whole, 50, 40, 0, 2, 3, 0);  // scaled about the handle (32, 16)
  for (int frame : {2, -1}) vx_graphics_DrawImage(strip, 0, 0, frame);  // no such frame: nothing
  vx_graphics_DrawImage2(whole, 0, 0, 0, 1, 1, 1);
  vx_graphics_DrawImage(nullptr, 0, 0, 0);
  EXPECT_EQ(dev->Log(),
            "SetColor(1,2,3) SetAlpha(0.25) SetBlend(1) SetScissor(1,2,10,5) Cls(0,0,0) "
            "SetMatrix(1,0,0,1,10,0) DrawRect(0,0,4,4) DrawRect(0,8,4,4) DrawOval(30,30,40,20) "
            "ReadPixels(1,2,3,2,0,3) SetMatrix(1,0,0,1,0,0) DrawSurface(8,14) "
            "DrawSurface2(0,0,32,0,32,32) "
            "SetMatrix(2,0,0,3,-13,-7) DrawSurface(0,0)");
  EXPECT_EQ(dev->Last("DrawSurface")->surface, whole->m_surface);
  EXPECT_EQ(ctx()->m_matrixSp, 0) << "the matrix is popped again";
  EXPECT_EQ(Matrix(ctx()), "1,0,0,1,1,1");
  vx_graphics_PushMatrix();
  vx_graphics_EndRender();
  dev->Clear();
  vx_graphics_DrawRect(0, 0, 5, 5);
  vx_graphics_DrawImage(whole, 0, 0, 0);
  vx_graphics_DrawImage2(whole, 0, 0, 0, 1, 1, 0);
  vx_graphics_Cls(0, 0, 0);
  EXPECT_EQ(dev->Log(), "");
  vx_graphics_BeginRender();
  EXPECT_EQ(ctx()->m_colorG + ctx()->m_alpha + ctx()->m_blend + ctx()->m_scissorW,
            255 + 1 + 0 + 320);
  EXPECT_EQ(Matrix(ctx()), "1,0,0,1,0,0");
  EXPECT_EQ(ctx()->m_matrixSp + ctx()->m_tformed, 0);
  EXPECT_EQ(ctx()->m_font, font);
  EXPECT_EQ(ctx()->m_firstChar, 40);
}

}  // namespace
