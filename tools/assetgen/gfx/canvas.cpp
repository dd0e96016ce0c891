// Canvas helpers that are not templates: polygon distance, blur, PNG output.
#include "canvas.h"

#include <cstdint>
#include <filesystem>

#include <stb_image_write.h>

namespace gfx {

namespace sd {

float Polygon(float x, float y, const std::vector<Pt>& v) {
  const size_t n = v.size();
  float d = (x - v[0].x) * (x - v[0].x) + (y - v[0].y) * (y - v[0].y);
  float sign = 1.0f;
  for (size_t i = 0, j = n - 1; i < n; j = i, ++i) {
    const float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
    const float wx = x - v[i].x, wy = y - v[i].y;
    const float l2 = ex * ex + ey * ey;
    const float h = l2 > 0 ? std::min(1.0f, std::max(0.0f, (wx * ex + wy * ey) / l2)) : 0.0f;
    const float bx = wx - ex * h, by = wy - ey * h;
    d = std::min(d, bx * bx + by * by);
    const bool c1 = y >= v[i].y, c2 = y<v[j].y, c3 = ex * wy> ey * wx;
    if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) sign = -sign;
  }
  return sign * std::sqrt(d);
}

std::vector<Pt> RegularPolygon(float cx, float cy, float r, int n, float rotDeg) {
  std::vector<Pt> v;
  for (int i = 0; i < n; ++i) {
    const float a = (rotDeg + 360.0f * i / n) * kPi / 180.0f;
    v.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
  }
  return v;
}

std::vector<Pt> StarPolygon(float cx, float cy, float rOut, float rIn, int points, float rotDeg) {
  std::vector<Pt> v;
  for (int i = 0; i < points * 2; ++i) {
    const float a = (rotDeg + 180.0f * i / points) * kPi / 180.0f;
    const float r = (i % 2) ? rIn : rOut;
    v.push_back({cx + r * std::sin(a), cy - r * std::cos(a)});
  }
  return v;
}

}  // namespace sd

void BlurCell(Canvas& c, int ox, int oy, int cw, int ch, float sigma) {
  const int rad = std::max(1, (int)std::ceil(sigma * 3));
  std::vector<float> k(rad * 2 + 1);
  float sum = 0;
  for (int i = -rad; i <= rad; ++i) sum += k[i + rad] = std::exp(-(i * i) / (2 * sigma * sigma));
  for (float& v : k) v /= sum;
  std::vector<float> tmp((size_t)cw * ch * 4, 0.0f);
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (int i = std::max(-rad, -x); i <= std::min(rad, cw - 1 - x); ++i) {
        const float* p = c.At(ox + x + i, oy + y);
        for (int ch4 = 0; ch4 < 4; ++ch4) acc[ch4] += p[ch4] * k[i + rad];
      }
      for (int ch4 = 0; ch4 < 4; ++ch4) tmp[((size_t)y * cw + x) * 4 + ch4] = acc[ch4];
    }
  for (int y = 0; y < ch; ++y)
    for (int x = 0; x < cw; ++x) {
      float acc[4] = {0, 0, 0, 0};
      for (int i = std::max(-rad, -y); i <= std::min(rad, ch - 1 - y); ++i) {
        const float* p = &tmp[((size_t)(y + i) * cw + x) * 4];
        for (int ch4 = 0; ch4 < 4; ++ch4) acc[ch4] += p[ch4] * k[i + rad];
      }
      float* d = c.At(ox + x, oy + y);
      for (int ch4 = 0; ch4 < 4; ++ch4) d[ch4] = acc[ch4];
    }
}

bool WritePng(const std::string& path, const Canvas& c) {
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::vector<uint8_t> out((size_t)c.w * c.h * 4);
  for (size_t i = 0; i < (size_t)c.w * c.h; ++i) {
    const float* p = &c.px[i * 4];
    const float a = std::min(1.0f, std::max(0.0f, p[3]));
    const uint8_t a8 = (uint8_t)std::lround(a * 255.0f);
    for (int ch = 0; ch < 3; ++ch) {
      // Fully transparent pixels keep black so that unused space compresses well.
      const float v = a8 > 0 ? std::min(1.0f, std::max(0.0f, p[ch] / a)) : 0.0f;
      out[i * 4 + ch] = (uint8_t)std::lround(v * 255.0f);
    }
    out[i * 4 + 3] = a8;
  }
  return stbi_write_png(path.c_str(), c.w, c.h, 4, out.data(), c.w * 4) != 0;
}

}  // namespace gfx
