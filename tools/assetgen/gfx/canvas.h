// Drawing surface of the picture generator: premultiplied float RGBA pixels, shapes filled
// from signed distance functions with one-pixel anti-aliasing, a Gaussian blur for halos,
// and PNG output. Shapes are described in design pixels (the 1x size) and evaluated at
// the cell's own scale, so every resolution is drawn rather than resampled.
#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace gfx {

struct Rgba {
  float r = 0, g = 0, b = 0, a = 0;  // straight colour, 0..1
};
inline Rgba C(int r, int g, int b, float a = 1.0f) {
  return Rgba{r / 255.0f, g / 255.0f, b / 255.0f, a};
}
inline Rgba Mix(const Rgba& x, const Rgba& y, float t) {
  return Rgba{x.r + (y.r - x.r) * t, x.g + (y.g - x.g) * t, x.b + (y.b - x.b) * t,
              x.a + (y.a - x.a) * t};
}
inline Rgba WithAlpha(Rgba c, float a) {
  c.a = a;
  return c;
}

struct Canvas {
  int w = 0, h = 0;
  std::vector<float> px;  // premultiplied r, g, b, a per pixel
  Canvas() = default;
  Canvas(int width, int height) : w(width), h(height), px((size_t)width * height * 4, 0.0f) {}
  float* At(int x, int y) { return &px[((size_t)y * w + x) * 4]; }
  const float* At(int x, int y) const { return &px[((size_t)y * w + x) * 4]; }
};

enum class Blend { Over, Add };

// One frame being drawn: the cell's pixel rectangle and its scale (pixels per design pixel).
// crisp: coverage is all or nothing (the 1x bitmap fonts), otherwise anti-aliased.
struct Cell {
  Canvas* canvas;
  int ox, oy, cw, ch;
  float s;
  bool crisp = false;
};

// Fills every pixel of the cell whose centre lies inside sdf (design units; negative inside),
// limited to the design box x0..x1, y0..y1. paint(x, y) gives the straight colour there.
template <class Sdf, class Paint>
void Fill(const Cell& c, float x0, float y0, float x1, float y1, Sdf sdf, Paint paint,
          Blend blend = Blend::Over) {
  int px0 = std::max(0, (int)std::floor(x0 * c.s) - 1),
      py0 = std::max(0, (int)std::floor(y0 * c.s) - 1);
  int px1 = std::min(c.cw, (int)std::ceil(x1 * c.s) + 1),
      py1 = std::min(c.ch, (int)std::ceil(y1 * c.s) + 1);
  const float inv = 1.0f / c.s;
  for (int y = py0; y < py1; ++y) {
    const float dy = (y + 0.5f) * inv;
    for (int x = px0; x < px1; ++x) {
      const float dx = (x + 0.5f) * inv;
      const float d = sdf(dx, dy) * c.s;
      float cov = c.crisp ? (d < 0.0f ? 1.0f : 0.0f) : std::min(1.0f, std::max(0.0f, 0.5f - d));
      if (cov <= 0.0f) continue;
      const Rgba col = paint(dx, dy);
      const float a = col.a * cov;
      if (a <= 0.0f) continue;
      float* p = c.canvas->At(c.ox + x, c.oy + y);
      if (blend == Blend::Over) {
        p[0] = col.r * a + p[0] * (1 - a);
        p[1] = col.g * a + p[1] * (1 - a);
        p[2] = col.b * a + p[2] * (1 - a);
        p[3] = a + p[3] * (1 - a);
      } else {
        p[0] = std::min(1.0f, p[0] + col.r * a);
        p[1] = std::min(1.0f, p[1] + col.g * a);
        p[2] = std::min(1.0f, p[2] + col.b * a);
        p[3] = std::min(1.0f, p[3] + a);
      }
    }
  }
}

template <class Sdf>
void Fill(const Cell& c, float x0, float y0, float x1, float y1, Sdf sdf, Rgba colour,
          Blend blend = Blend::Over) {
  Fill(
      c, x0, y0, x1, y1, sdf, [colour](float, float) { return colour; }, blend);
}

// Whole-cell fill (the box is the cell).
template <class Sdf, class Paint>
void FillCell(const Cell& c, Sdf sdf, Paint paint, Blend blend = Blend::Over) {
  Fill(c, 0, 0, c.cw / c.s, c.ch / c.s, sdf, paint, blend);
}

// Signed distances, design units.
namespace sd {
inline float Len(float x, float y) { return std::sqrt(x * x + y * y); }
inline float Circle(float x, float y, float cx, float cy, float r) {
  return Len(x - cx, y - cy) - r;
}
inline float Ring(float x, float y, float cx, float cy, float r, float halfWidth) {
  return std::fabs(Len(x - cx, y - cy) - r) - halfWidth;
}
inline float Segment(float x, float y, float ax, float ay, float bx, float by) {
  const float pax = x - ax, pay = y - ay, bax = bx - ax, bay = by - ay;
  const float l2 = bax * bax + bay * bay;
  const float h = l2 > 0 ? std::min(1.0f, std::max(0.0f, (pax * bax + pay * bay) / l2)) : 0.0f;
  return Len(pax - bax * h, pay - bay * h);
}
inline float Capsule(float x, float y, float ax, float ay, float bx, float by, float r) {
  return Segment(x, y, ax, ay, bx, by) - r;
}
inline float Box(float x, float y, float cx, float cy, float hw, float hh, float round = 0) {
  const float qx = std::fabs(x - cx) - hw + round, qy = std::fabs(y - cy) - hh + round;
  return Len(std::max(qx, 0.0f), std::max(qy, 0.0f)) + std::min(std::max(qx, qy), 0.0f) - round;
}
inline float Ellipse(float x, float y, float cx, float cy, float rx, float ry) {
  // Good enough away from very flat ellipses: scaled circle distance.
  const float k = Len((x - cx) / rx, (y - cy) / ry);
  return (k - 1.0f) * std::min(rx, ry);
}
struct Pt {
  float x, y;
};
float Polygon(float x, float y, const std::vector<Pt>& v);  // exact, any simple polygon
std::vector<Pt> RegularPolygon(float cx, float cy, float r, int n, float rotDeg);
std::vector<Pt> StarPolygon(float cx, float cy, float rOut, float rIn, int points, float rotDeg);
}  // namespace sd

// Separable Gaussian blur of the four channels of one cell, in place (edges read as empty).
void BlurCell(Canvas& c, int ox, int oy, int cw, int ch, float sigma);

// PNG of the canvas (straight alpha, 8 bits). Creates the folder. False on failure.
bool WritePng(const std::string& path, const Canvas& c);

// Deterministic hash noise in 0..1 for design decisions that should look random.
inline float Hash(unsigned a, unsigned b = 0) {
  unsigned h = a * 374761393u + b * 668265263u + 0x9e3779b9u;
  h = (h ^ (h >> 13)) * 1274126177u;
  h ^= h >> 16;
  return (h & 0xffffff) / 16777216.0f;
}

constexpr float kPi = 3.14159265358979f;

}  // namespace gfx
