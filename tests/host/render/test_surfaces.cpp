// Surfaces: the premultiplied copy, texture creation with the power-of-two
// fallback, re-creation after a window switch, Discard, and pictures decoded
// from real PNG files (and files that are not pictures at all).
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "tests/host/render/render_env.h"

namespace render_test {
namespace {

using Surfaces = RenderTest;

unsigned char* Copy(const std::vector<unsigned char>& bytes) {
  unsigned char* p = (unsigned char*)std::malloc(bytes.size());
  std::memcpy(p, bytes.data(), bytes.size());
  return p;
}

TEST_F(Surfaces, SetDataPremultipliesByDepth) {
  gxtkSurface& grey = *new gxtkSurface();  // collected objects live on the heap
  grey.SetData(Copy({200, 9}), 1, 1, 1);
  EXPECT_EQ(grey.format, (GLenum)GL_LUMINANCE);
  EXPECT_EQ(grey.data[0], 200) << "no alpha, stored as it is";

  gxtkSurface& greyAlpha = *new gxtkSurface();
  greyAlpha.SetData(Copy({200, 128, 255, 255}), 2, 1, 2);
  EXPECT_EQ(greyAlpha.format, (GLenum)GL_LUMINANCE_ALPHA);
  EXPECT_EQ(greyAlpha.data[0], 200 * 128 / 255);
  EXPECT_EQ(greyAlpha.data[1], 128);
  EXPECT_EQ(greyAlpha.data[2], 255);

  gxtkSurface& rgb = *new gxtkSurface();
  rgb.SetData(Copy({10, 20, 30}), 1, 1, 3);
  EXPECT_EQ(rgb.format, (GLenum)GL_RGB);
  EXPECT_EQ(rgb.data[2], 30);

  gxtkSurface& rgba = *new gxtkSurface();
  rgba.SetData(Copy({255, 100, 3, 51, 9, 9, 9, 0}), 2, 1, 4);
  EXPECT_EQ(rgba.format, (GLenum)GL_RGBA);
  EXPECT_EQ(rgba.width, 2);
  EXPECT_EQ(rgba.depth, 4);
  EXPECT_EQ(rgba.data[0], 51);
  EXPECT_EQ(rgba.data[1], 100 * 51 / 255);
  EXPECT_EQ(rgba.data[2], 0) << "3 x 51 / 255 truncates";
  EXPECT_EQ(rgba.data[3], 51);
  EXPECT_EQ(rgba.data[4], 0);
}

TEST_F(Surfaces, BindMakesATextureOfTheSurfaceSize) {
  gxtkSurface* s = SurfaceOf(100, 60, std::vector<unsigned char>(100 * 60 * 4, 255));
  EXPECT_EQ(s->seq, glfwGraphicsSeq);
  EXPECT_TRUE(glIsTexture(s->texture));
  EXPECT_FLOAT_EQ(s->uscale, 1.0f / 100);
  EXPECT_FLOAT_EQ(s->vscale, 1.0f / 60);
  GLint w = 0;
  glBindTexture(GL_TEXTURE_2D, s->texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  EXPECT_EQ(w, 100);
}

TEST_F(Surfaces, RefusedSizeFallsBackToPowersOfTwo) {
  gxtkSurface::forcePowerOfTwo = true;
  std::vector<unsigned char> px(100 * 60 * 4, 0);
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 100; ++x) {
      unsigned char* p = &px[(y * 100 + x) * 4];
      p[0] = (unsigned char)(x * 2);
      p[1] = (unsigned char)(y * 4);
      p[3] = 255;
    }
  }
  gxtkSurface* s = SurfaceOf(100, 60, px);
  EXPECT_FLOAT_EQ(s->uscale, 1.0f / 128);
  EXPECT_FLOAT_EQ(s->vscale, 1.0f / 64);
  GLint w = 0, h = 0;
  glBindTexture(GL_TEXTURE_2D, s->texture);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, 128);
  EXPECT_EQ(h, 64);
  // The image still maps pixel for pixel into the larger texture.
  g->DrawSurface(s, 0, 0);
  EXPECT_EQ(RgbOf(g, 0, 0), (Rgb{0, 0, 0}));
  EXPECT_EQ(RgbOf(g, 99, 59), (Rgb{198, 236, 0}));
  EXPECT_EQ(RgbOf(g, 37, 11), (Rgb{74, 44, 0}));
  EXPECT_EQ(RgbOf(g, 100, 30), (Rgb{0, 0, 0})) << "nothing beyond the image";

  gxtkSurface* tiny = SurfaceOf(1, 3, std::vector<unsigned char>(12, 255));
  EXPECT_FLOAT_EQ(tiny->uscale, 1.0f) << "sizes below 2 become 1";
  EXPECT_FLOAT_EQ(tiny->vscale, 1.0f / 4);
}

TEST_F(Surfaces, NewWindowRecreatesEveryTextureOnFirstUse) {
  std::vector<unsigned char> px = {255, 0, 0, 255, 0, 255, 0, 128, 0, 0, 255, 255, 9, 9, 9, 0};
  gxtkSurface* a = SurfaceOf(2, 2, px);
  gxtkSurface* b = g->CreateSurface(2, 1);
  Array<int> argb(2);
  argb[0] = (int)0xff102030;
  argb[1] = (int)0x80ffffff;
  g->WritePixels2(b, argb, 0, 0, 2, 1, 0, 2);
  g->DrawSurface(a, 0, 0);
  g->DrawSurface(b, 0, 10);
  Rgb before[4] = {RgbOf(g, 0, 0), RgbOf(g, 1, 0), RgbOf(g, 0, 10), RgbOf(g, 1, 10)};
  g->EndRender();
  int oldSeq = glfwGraphicsSeq;

  ASSERT_TRUE(OpenWindow());
  EXPECT_EQ(glfwGraphicsSeq, oldSeq + 1);
  EXPECT_EQ(a->seq, oldSeq) << "nothing happens until the surface is used";
  g = new gxtkGraphics();
  g->BeginRender();
  g->Cls(0, 0, 0);
  g->DrawSurface(a, 0, 0);
  g->DrawSurface(b, 0, 10);
  g->Flush();
  EXPECT_EQ(a->seq, glfwGraphicsSeq);
  EXPECT_EQ(b->seq, glfwGraphicsSeq);
  EXPECT_EQ(gxtkGraphics::counters.texturesMade, 2);
  EXPECT_EQ(gxtkGraphics::counters.textureUploads, 2) << "each uploads its pixel copy once";
  EXPECT_EQ(RgbOf(g, 0, 0), before[0]);
  EXPECT_EQ(RgbOf(g, 1, 0), before[1]);
  EXPECT_EQ(RgbOf(g, 0, 10), before[2]);
  EXPECT_EQ(RgbOf(g, 1, 10), before[3]);
  EXPECT_EQ(before[1], (Rgb{0, 128, 0}));
  EXPECT_EQ(before[3], (Rgb{128, 128, 128}));

  // Drawn again in the same window: bound, not re-made.
  g->DrawSurface(a, 0, 0);
  g->Flush();
  EXPECT_EQ(gxtkGraphics::counters.texturesMade, 2);
}

TEST_F(Surfaces, SurfacesMadeBeforeAnyWindowWaitForOne) {
  int seq = glfwGraphicsSeq;
  glfwGraphicsSeq = 0;
  gxtkSurface& s = *new gxtkSurface();
  s.width = s.height = 2;
  s.depth = 4;
  s.format = GL_RGBA;
  s.Bind();
  EXPECT_EQ(s.seq, -1);
  EXPECT_EQ(s.texture, 0u);
  glfwGraphicsSeq = seq;
}

TEST_F(Surfaces, DiscardFreesTextureAndPixels) {
  gxtkSurface* s = SurfaceOf(2, 2, std::vector<unsigned char>(16, 255));
  GLuint tex = s->texture;
  ASSERT_TRUE(glIsTexture(tex));
  s->Discard();
  EXPECT_EQ(s->data, nullptr);
  EXPECT_EQ(s->seq, -1);
  EXPECT_FALSE(glIsTexture(tex));
  s->Discard();  // twice is harmless
  EXPECT_EQ(s->data, nullptr);
}

TEST_F(Surfaces, PngFilesDecodeWithTheirOwnComponentCount) {
  std::string dir = TempDir();
  WritePng(dir + "/grey.png", 2, 1, 1, {10, 250});
  WritePng(dir + "/greyalpha.png", 1, 1, 2, {200, 128});
  WritePng(dir + "/rgb.png", 1, 2, 3, {1, 2, 3, 4, 5, 6});
  WritePng(dir + "/rgba.png", 2, 1, 4, {255, 0, 0, 255, 0, 255, 0, 51});

  int w = 0, h = 0, depth = 0;
  unsigned char* p = Host()->LoadImageData(String((dir + "/rgb.png").c_str()), &w, &h, &depth);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(w, 1);
  EXPECT_EQ(h, 2);
  EXPECT_EQ(depth, 3);
  EXPECT_EQ(p[3], 4) << "rows top first";
  std::free(p);

  struct Case {
    const char* name;
    int depth;
    GLenum format;
  } cases[] = {{"grey", 1, GL_LUMINANCE},
               {"greyalpha", 2, GL_LUMINANCE_ALPHA},
               {"rgb", 3, GL_RGB},
               {"rgba", 4, GL_RGBA}};
  for (const Case& c : cases) {
    gxtkSurface* s = g->LoadSurface(String((dir + "/" + c.name + ".png").c_str()));
    ASSERT_NE(s, nullptr) << c.name;
    EXPECT_EQ(s->depth, c.depth) << c.name;
    EXPECT_EQ(s->format, c.format) << c.name;
    EXPECT_EQ(s->seq, glfwGraphicsSeq) << "loaded surfaces get their texture at once";
  }
  gxtkSurface* rgba = g->LoadSurface(String((dir + "/rgba.png").c_str()));
  EXPECT_EQ(rgba->data[4 + 1], 51) << "premultiplied on load";
  g->DrawSurface(rgba, 0, 0);
  EXPECT_EQ(RgbOf(g, 0, 0), (Rgb{255, 0, 0}));
  EXPECT_EQ(RgbOf(g, 1, 0), (Rgb{0, 51, 0}));

  gxtkSurface* grey = g->LoadSurface(String((dir + "/grey.png").c_str()));
  g->DrawSurface(grey, 10, 0);
  EXPECT_EQ(RgbOf(g, 11, 0), (Rgb{250, 250, 250}));
}

TEST_F(Surfaces, DataPathsAreReadFromTheDataFolder) {
  std::string dir = TempDir();
  std::filesystem::create_directories(dir + "/game/data/gfx");
  WritePng(dir + "/game/data/gfx/dot.png", 1, 1, 4, {1, 2, 3, 255});
  char cwd[4096];
  ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
  ASSERT_EQ(chdir((dir + "/game").c_str()), 0);
  gxtkSurface* s = g->LoadSurface(String("zorbel://data/gfx/dot.png"));
  gxtkSurface* other = g->LoadSurface(String("zorbel://elsewhere/gfx/dot.png"));
  ASSERT_EQ(chdir(cwd), 0);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->data[2], 3);
  EXPECT_EQ(other, nullptr);
}

TEST_F(Surfaces, MissingAndBrokenFilesLoadAsNull) {
  std::string dir = TempDir();
  EXPECT_EQ(g->LoadSurface(String((dir + "/absent.png").c_str())), nullptr);
  WriteBytes(dir + "/empty.png", "");
  WriteBytes(dir + "/text.png", "this is not a picture at all");
  WriteBytes(dir + "/header.png", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16));
  // A real picture cut off in the middle of its data.
  std::vector<unsigned char> px(64 * 64 * 4);
  for (size_t i = 0; i < px.size(); ++i) px[i] = (unsigned char)(i * 7);
  WritePng(dir + "/whole.png", 64, 64, 4, px);
  {
    FILE* f = fopen((dir + "/whole.png").c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::string bytes(100, '\0');
    size_t n = fread(&bytes[0], 1, bytes.size(), f);
    fclose(f);
    WriteBytes(dir + "/cut.png", bytes.substr(0, n));
  }
  // A header claiming a 30000 x 30000 picture with no pixel data at all.
  WriteBytes(dir + "/huge.png",
             std::string("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x75\x30\0\0\x75\x30\x08\x06\0\0\0"
                         "\0\0\0\0\0\0\0\0IEND\xae\x42\x60\x82",
                         8 + 25 + 12));
  for (const char* name : {"empty", "text", "header", "cut", "huge"}) {
    String path((dir + "/" + name + ".png").c_str());
    EXPECT_EQ(g->LoadSurface(path), nullptr) << name;
    int w = -1, h = -1, d = -1;
    EXPECT_EQ(Host()->LoadImageData(path, &w, &h, &d), nullptr) << name;
  }
  EXPECT_EQ(g->LoadSurface(String("")), nullptr);
  EXPECT_NE(g->LoadSurface(String((dir + "/whole.png").c_str())), nullptr);
}

TEST_F(Surfaces, UnsafeLoadMakesNoTextureUntilCompleted) {
  std::string dir = TempDir();
  WritePng(dir + "/later.png", 3, 1, 4, {9, 9, 9, 255, 9, 9, 9, 255, 9, 9, 9, 255});
  gxtkSurface* s = new gxtkSurface();
  EXPECT_EQ(g->LoadSurface__UNSAFE__(s, String((dir + "/later.png").c_str())), s);
  EXPECT_EQ(s->seq, -1);
  EXPECT_EQ(s->texture, 0u);
  EXPECT_EQ(s->width, 3);
  EXPECT_TRUE(s->OnUnsafeLoadComplete());
  EXPECT_EQ(s->seq, glfwGraphicsSeq);
  EXPECT_TRUE(glIsTexture(s->texture));
  EXPECT_EQ(g->LoadSurface__UNSAFE__(new gxtkSurface(), String((dir + "/none.png").c_str())),
            nullptr);
}

}  // namespace
}  // namespace render_test
