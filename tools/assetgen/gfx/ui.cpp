// Menu and interface pictures: the board backdrop and ornamental rings ("menu"), the title
// ("logo"), icons, menu buttons with the gear layers and the dial, the direction pad, the
// studio mark, the test-card circle and the badge icons. Icons and pad arrows are drawn
// white because the game tints them; the rest carries the game's neon-on-dark palette.
#include <cmath>

#include "pictures.h"

namespace gfx {

namespace {

const Rgba kBadge[8] = {C(255, 200, 60),  C(80, 230, 255), C(255, 80, 160),  C(110, 255, 120),
                        C(180, 110, 255), C(255, 130, 50), C(120, 160, 255), C(230, 230, 240)};

void Highlight(const Cell& c, float x, float y, float rx, float ry) {
  Fill(
      c, x - rx - 1, y - ry - 1, x + rx + 1, y + ry + 1,
      [=](float px, float py) { return sd::Ellipse(px, py, x, y, rx, ry); },
      [=](float px, float py) {
        const float t = std::min(1.0f, sd::Len((px - x) / rx, (py - y) / ry));
        return Rgba{1, 1, 1, 0.55f * (1 - t * t)};
      });
}

float Angle(float dx, float dy) { return std::atan2(dx, -dy); }  // 0 up, clockwise

// Ticks around a circle: n marks from radius r0 to r1.
float Ticks(float x, float y, float cx, float cy, int n, float r0, float r1, float halfW) {
  const float dx = x - cx, dy = y - cy;
  const float r = sd::Len(dx, dy);
  const float step = 2 * kPi / n;
  const float a = Angle(dx, dy);
  const float k = std::round(a / step) * step;
  const float along = std::fabs(std::sin(a - k)) * r;
  const float radial = std::max(r0 - r, r - r1);
  return std::max(along - halfW, radial);
}

void MenuBackdrop(const Cell& c) {
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Circle(x, y, 128, 128, 124); },
      [](float x, float y) {
        const float t = sd::Len(x - 128, y - 128) / 124.0f;
        return Rgba{0.75f, 0.82f, 1.0f, 0.22f + 0.25f * t * t};
      });
  for (int i = 1; i <= 15; ++i) {  // one faint ring per board cell of radius
    const float r = i * 8.0f;
    Fill(
        c, 0, 0, 256, 256, [=](float x, float y) { return sd::Ring(x, y, 128, 128, r, 0.45f); },
        Rgba{0.85f, 0.9f, 1.0f, i % 5 == 0 ? 0.45f : 0.2f});
  }
  Fill(
      c, 0, 0, 256, 256,
      [](float x, float y) {
        return std::max(Ticks(x, y, 128, 128, 24, 8, 120, 0.4f), 0.0f - 0.0f);
      },
      Rgba{0.85f, 0.9f, 1.0f, 0.18f});
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Ring(x, y, 128, 128, 122.5f, 1.6f); },
      Rgba{0.95f, 0.97f, 1.0f, 0.8f});
}

void MenuRing1(const Cell& c) {
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Ring(x, y, 128, 128, 112, 3.0f); },
      C(120, 230, 255, 0.9f));
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Ring(x, y, 128, 128, 96, 0.8f); },
      C(200, 240, 255, 0.8f));
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return Ticks(x, y, 128, 128, 60, 100, 106, 0.7f); },
      C(200, 240, 255, 0.9f));
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return Ticks(x, y, 128, 128, 12, 98, 122, 1.6f); },
      C(255, 255, 255));
}

void MenuRing2(const Cell& c) {
  Fill(
      c, 0, 0, 256, 256,
      [](float x, float y) {
        const float dx = x - 128, dy = y - 128;
        const float a = Angle(dx, dy);
        const float seg = std::fabs(std::fmod(a + 4 * kPi, kPi / 6) - kPi / 12) * sd::Len(dx, dy) -
                          26.0f;  // dashes
        return std::max(
            std::min(sd::Ring(x, y, 128, 128, 118, 4.0f), sd::Ring(x, y, 128, 128, 104, 2.0f)),
            seg);
      },
      C(255, 120, 220, 0.9f));
  for (int i = 0; i < 6; ++i) {
    const float a = i * kPi / 3;
    const float px = 128 + 111 * std::sin(a), py = 128 - 111 * std::cos(a);
    Fill(
        c, px - 9, py - 9, px + 9, py + 9,
        [=](float x, float y) { return sd::Ring(x, y, px, py, 6, 1.4f); }, C(255, 220, 250));
  }
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Ring(x, y, 128, 128, 70, 0.8f); },
      C(255, 160, 230, 0.6f));
}

void MenuRing3(const Cell& c) {
  const auto t1 = sd::RegularPolygon(128, 128, 118, 3, 0),
             t2 = sd::RegularPolygon(128, 128, 118, 3, 180);
  const auto hex = sd::RegularPolygon(128, 128, 60, 6, 30);
  Fill(
      c, 0, 0, 256, 256,
      [&](float x, float y) {
        return std::min(
            std::min(std::fabs(sd::Polygon(x, y, t1)), std::fabs(sd::Polygon(x, y, t2))) - 1.8f,
            std::fabs(sd::Polygon(x, y, hex)) - 1.0f);
      },
      C(255, 230, 120, 0.9f));
  for (const auto& p : t1)
    Fill(
        c, p.x - 8, p.y - 8, p.x + 8, p.y + 8,
        [=](float x, float y) { return sd::Circle(x, y, p.x, p.y, 5); }, C(255, 250, 210));
  for (const auto& p : t2)
    Fill(
        c, p.x - 8, p.y - 8, p.x + 8, p.y + 8,
        [=](float x, float y) { return sd::Circle(x, y, p.x, p.y, 5); }, C(255, 250, 210));
}

// Chevron pointing up with its tip at (x, y).
float Chevron(float px, float py, float x, float y, float w, float h, float r) {
  return std::min(sd::Capsule(px, py, x - w, y + h, x, y, r),
                  sd::Capsule(px, py, x, y, x + w, y + h, r));
}

float Gear(float x, float y, float cx, float cy, int teeth, float rIn, float rRoot, float rTip) {
  const float dx = x - cx, dy = y - cy;
  const float a = Angle(dx, dy);
  const float w = std::cos(teeth * a);
  const float r = rRoot + (rTip - rRoot) * std::min(1.0f, std::max(0.0f, (w + 0.1f) * 2.5f));
  const float outer = (sd::Len(dx, dy) - r) * 0.8f;
  return std::max(outer, rIn - sd::Len(dx, dy));
}

void Arrow(const Cell& c, float dirDeg) {
  Fill(
      c, 0, 0, 32, 32, [](float x, float y) { return sd::Box(x, y, 16, 16, 13, 13, 4); },
      C(60, 64, 80, 0.75f));
  Fill(
      c, 0, 0, 32, 32,
      [](float x, float y) { return std::fabs(sd::Box(x, y, 16, 16, 13, 13, 4)) - 0.7f; },
      C(230, 235, 255, 0.9f));
  const auto tri = sd::RegularPolygon(16, 15.5f, 7.5f, 3, dirDeg);
  Fill(
      c, 0, 0, 32, 32, [&](float x, float y) { return sd::Polygon(x, y, tri) - 1.0f; },
      C(255, 255, 255));
}

void Symbol(const Cell& c, int kind, Rgba ink) {
  switch (kind) {
    case 0: {
      const auto v = sd::StarPolygon(32, 32, 15, 6.5f, 5, 0);
      Fill(
          c, 10, 10, 54, 54, [&](float x, float y) { return sd::Polygon(x, y, v) - 1; }, ink);
      break;
    }
    case 1: {
      const std::vector<sd::Pt> bolt = {{35, 14}, {24, 34}, {31, 34}, {28, 50}, {41, 28}, {33, 28}};
      Fill(
          c, 10, 10, 54, 54, [&](float x, float y) { return sd::Polygon(x, y, bolt) - 0.8f; }, ink);
      break;
    }
    case 2:
      Fill(
          c, 10, 10, 54, 54,
          [](float x, float y) {
            const float l = sd::Circle(x, y, 26.5f, 28, 6.5f),
                        r = sd::Circle(x, y, 37.5f, 28, 6.5f);
            const std::vector<sd::Pt> tip = {{20.5f, 31}, {43.5f, 31}, {32, 45}};
            return std::min(std::min(l, r), sd::Polygon(x, y, tip) - 0.5f);
          },
          ink);
      break;
    case 3:
      Fill(
          c, 10, 10, 54, 54,
          [](float x, float y) {
            return std::min(
                std::min(Chevron(x, y, 32, 18, 11, 9, 2.6f), Chevron(x, y, 32, 27, 11, 9, 2.6f)),
                Chevron(x, y, 32, 36, 11, 9, 2.6f));
          },
          ink);
      break;
    case 4: {
      const std::vector<sd::Pt> crown = {{18, 42}, {18, 22}, {25, 31}, {32, 18},
                                         {39, 31}, {46, 22}, {46, 42}};
      Fill(
          c, 10, 10, 54, 54, [&](float x, float y) { return sd::Polygon(x, y, crown) - 0.8f; },
          ink);
      break;
    }
    case 5:
      Fill(
          c, 10, 10, 54, 54,
          [](float x, float y) {
            return std::min(sd::Ring(x, y, 32, 32, 11, 2.2f), sd::Circle(x, y, 32, 32, 4));
          },
          ink);
      break;
    case 6:
      for (int i = 0; i < 9; ++i) {
        const float px = 24 + 8 * (i % 3), py = 24 + 8 * (i / 3);
        Fill(
            c, px - 4, py - 4, px + 4, py + 4,
            [=](float x, float y) { return sd::Circle(x, y, px, py, 2.6f); }, ink);
      }
      break;
    default:
      Fill(
          c, 10, 10, 54, 54,
          [](float x, float y) {
            return std::min(sd::Capsule(x, y, 24, 24, 40, 40, 3),
                            sd::Capsule(x, y, 40, 24, 24, 40, 3));
          },
          ink);
      break;
  }
}

}  // namespace

void PaintMenu(const Cell& c, int frame) {
  switch (frame) {
    case 0:
      return MenuBackdrop(c);
    case 1:
      return MenuRing1(c);
    case 2:
      return MenuRing2(c);
    case 3:
      return MenuRing3(c);
    default:
      return;
  }
}

void PaintLogo(const Cell& c, int) {
  const char* title = "QUORVEX";
  const float ux = 4.6f, uy = 8.6f, r = 3.0f;
  const float total = (7 * 5 + 6 * 2) * ux;
  const float x0 = (256 - total) / 2, y0 = 64 - 3.5f * uy - 8;
  // Soft outer glow first, then the coloured letters, then a white-hot core line.
  for (int pass = 0; pass < 3; ++pass) {
    float x = x0;
    for (int i = 0; title[i]; ++i) {
      const float t = i / 6.0f;
      const Rgba col = Mix(C(60, 230, 255), C(255, 70, 200), t);
      const Rgba use = pass == 0 ? WithAlpha(col, 0.28f) : pass == 1 ? col : C(255, 255, 255, 0.9f);
      const float rr = pass == 0 ? r + 3.5f : pass == 1 ? r : r * 0.35f;
      StrokeGlyph(c, title[i], x, y0, ux, uy, rr, use);
      x += (GlyphWidth(title[i]) + 2) * ux;
    }
  }
  Fill(
      c, 0, 0, 256, 128,
      [=](float x, float y) { return sd::Capsule(x, y, x0 + 10, 104, x0 + total - 10, 104, 1.6f); },
      [=](float x, float) { return Mix(C(60, 230, 255), C(255, 70, 200), (x - x0) / total); });
  Fill(
      c, 0, 0, 256, 128, [=](float x, float y) { return sd::Circle(x, y, 128, 104, 4); },
      C(255, 255, 255));
}

void PaintIcons(const Cell& c, int frame) {
  const Rgba white = C(255, 255, 255), edge = C(20, 24, 40, 0.6f);
  switch (frame) {
    case 0:
      Fill(
          c, 0, 0, 32, 32,
          [](float x, float y) {
            return std::min(sd::Box(x, y, 12, 16, 3.4f, 9.4f, 1.6f),
                            sd::Box(x, y, 20, 16, 3.4f, 9.4f, 1.6f));
          },
          edge);
      Fill(
          c, 0, 0, 32, 32,
          [](float x, float y) {
            return std::min(sd::Box(x, y, 12, 16, 2.5f, 8.5f, 1.2f),
                            sd::Box(x, y, 20, 16, 2.5f, 8.5f, 1.2f));
          },
          white);
      break;
    case 1:
      Fill(
          c, 0, 0, 32, 32,
          [](float x, float y) {
            return std::min(sd::Capsule(x, y, 9, 9, 23, 23, 3.4f),
                            sd::Capsule(x, y, 23, 9, 9, 23, 3.4f));
          },
          edge);
      Fill(
          c, 0, 0, 32, 32,
          [](float x, float y) {
            return std::min(sd::Capsule(x, y, 9, 9, 23, 23, 2.5f),
                            sd::Capsule(x, y, 23, 9, 9, 23, 2.5f));
          },
          white);
      break;
    case 3: {
      const std::vector<sd::Pt> tri = {{11, 7}, {25, 16}, {11, 25}};
      Fill(
          c, 0, 0, 32, 32, [&](float x, float y) { return sd::Polygon(x, y, tri) - 1.9f; }, edge);
      Fill(
          c, 0, 0, 32, 32, [&](float x, float y) { return sd::Polygon(x, y, tri) - 1.0f; }, white);
      break;
    }
    case 6:
      Fill(
          c, 0, 0, 32, 32, [](float x, float y) { return sd::Ring(x, y, 16, 16, 14, 1.3f); },
          white);
      Fill(
          c, 0, 0, 32, 32, [](float x, float y) { return Ticks(x, y, 16, 16, 4, 11, 15.5f, 1.0f); },
          white);
      break;
    case 7:
      Fill(
          c, 0, 0, 32, 32,
          [](float x, float y) {
            return std::min(
                std::min(sd::Ring(x, y, 16, 16, 9, 1.1f), sd::Circle(x, y, 16, 16, 2.2f)),
                std::min(std::min(sd::Capsule(x, y, 16, 3, 16, 10, 0.9f),
                                  sd::Capsule(x, y, 16, 22, 16, 29, 0.9f)),
                         std::min(sd::Capsule(x, y, 3, 16, 10, 16, 0.9f),
                                  sd::Capsule(x, y, 22, 16, 29, 16, 0.9f))));
          },
          white);
      break;
    default:
      return;
  }
}

void PaintButtons(const Cell& c, int frame) {
  if (frame >= 0 && frame <= 2) {
    static const Rgba cols[3] = {C(80, 230, 120), C(255, 190, 50), C(255, 70, 80)};
    const Rgba col = cols[frame];
    Fill(
        c, 0, 0, 64, 64, [](float x, float y) { return sd::Circle(x, y, 32, 32, 28); },
        [&](float x, float y) {
          const float t = std::min(1.0f, sd::Len(x - 26, y - 24) / 36.0f);
          return Mix(Mix(col, C(255, 255, 255), 0.35f), Mix(col, C(10, 10, 30), 0.55f), t);
        });
    Fill(
        c, 0, 0, 64, 64, [](float x, float y) { return sd::Ring(x, y, 32, 32, 26.5f, 1.6f); },
        Mix(col, C(255, 255, 255), 0.6f));
    const int n = frame + 1;
    const float top = 32 - (n - 1) * 4.5f - 4.5f;
    Fill(
        c, 0, 0, 64, 64,
        [=](float x, float y) {
          float d = 1e9f;
          for (int i = 0; i < n; ++i) d = std::min(d, Chevron(x, y, 32, top + i * 9, 11, 9, 2.8f));
          return d;
        },
        C(255, 255, 255));
    return;
  }
  switch (frame) {
    case 8:
      Fill(
          c, 0, 0, 64, 64, [](float x, float y) { return Gear(x, y, 32, 32, 12, 19, 24, 30); },
          [](float, float y) {
            const float t = std::min(1.0f, std::max(0.0f, (y - 4) / 56));
            return Mix(C(200, 220, 240), C(90, 110, 150), t);
          });
      Fill(
          c, 0, 0, 64, 64, [](float x, float y) { return sd::Ring(x, y, 32, 32, 21.5f, 0.7f); },
          C(40, 50, 80, 0.7f));
      break;
    case 9:
      Fill(
          c, 0, 0, 64, 64,
          [](float x, float y) {
            float d = sd::Ring(x, y, 32, 32, 17.5f, 1.6f);
            for (int i = 0; i < 6; ++i) {
              const float a = i * kPi / 3;
              d = std::min(d, sd::Capsule(x, y, 32 + 6 * std::sin(a), 32 - 6 * std::cos(a),
                                          32 + 17 * std::sin(a), 32 - 17 * std::cos(a), 2.0f));
            }
            return d;
          },
          C(120, 220, 255));
      break;
    case 10:
      Fill(
          c, 0, 0, 64, 64,
          [](float x, float y) {
            return std::max(sd::Circle(x, y, 32, 32, 8.5f), 3.2f - sd::Len(x - 32, y - 32));
          },
          [](float x, float y) {
            return Mix(C(255, 255, 255), C(60, 200, 255),
                       std::min(1.0f, sd::Len(x - 30, y - 30) / 10));
          });
      Fill(
          c, 0, 0, 64, 64,
          [](float x, float y) { return sd::Box(x, y, 32, 25.5f, 1.2f, 1.4f, 0.5f); },
          C(20, 40, 80));
      break;
    case 12:
      Fill(
          c, 0, 0, 64, 64, [](float x, float y) { return sd::Circle(x, y, 32, 32, 26); },
          C(18, 22, 44, 0.95f));
      Fill(
          c, 0, 0, 64, 64, [](float x, float y) { return sd::Ring(x, y, 32, 32, 25, 1.6f); },
          C(120, 230, 255));
      Fill(
          c, 0, 0, 64, 64,
          [](float x, float y) {
            const float a = Angle(x - 32, y - 32);
            return std::fabs(a) > 2.4f ? 1.0f : Ticks(x, y, 32, 32, 16, 17, 21, 0.6f);
          },
          C(220, 240, 255));
      Fill(
          c, 0, 0, 64, 64, [](float x, float y) { return sd::Capsule(x, y, 32, 32, 44, 22, 1.3f); },
          C(255, 90, 120));
      Fill(
          c, 0, 0, 64, 64, [](float x, float y) { return sd::Circle(x, y, 32, 32, 3); },
          C(255, 255, 255));
      break;
    default:
      return;
  }
}

void PaintDpad(const Cell& c, int frame) {
  switch (frame) {
    case 0:
      Fill(
          c, 0, 0, 32, 32, [](float x, float y) { return sd::Circle(x, y, 16, 16, 13.5f); },
          [](float x, float y) {
            return Mix(C(255, 150, 160), C(170, 20, 50),
                       std::min(1.0f, sd::Len(x - 13, y - 12) / 16));
          });
      Fill(
          c, 0, 0, 32, 32, [](float x, float y) { return sd::Ring(x, y, 16, 16, 12.8f, 0.8f); },
          C(255, 220, 225));
      Highlight(c, 13, 11, 5, 3);
      break;
    case 1:
      return Arrow(c, 0);
    case 4:
      return Arrow(c, 270);
    case 6:
      return Arrow(c, 90);
    case 9:
      return Arrow(c, 180);
    case 5:
      Fill(
          c, 0, 0, 32, 32, [](float x, float y) { return sd::Box(x, y, 16, 16, 13, 13, 4); },
          C(60, 64, 80, 0.75f));
      Fill(
          c, 0, 0, 32, 32, [](float x, float y) { return sd::Ring(x, y, 16, 16, 5, 1.4f); },
          C(230, 235, 255, 0.9f));
      break;
    default:
      return;
  }
}

void PaintStudio(const Cell& c, int) {
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Circle(x, y, 128, 128, 118); },
      [](float x, float y) {
        return Mix(C(40, 30, 90), C(8, 8, 28), std::min(1.0f, sd::Len(x - 110, y - 100) / 150));
      });
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Ring(x, y, 128, 128, 112, 4); },
      C(80, 230, 255));
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return Ticks(x, y, 128, 128, 36, 100, 104, 1.2f); },
      C(80, 230, 255, 0.7f));
  // Three overlapping petals in light: the studio's mark.
  static const Rgba petals[3] = {C(255, 70, 200), C(60, 230, 255), C(255, 220, 60)};
  for (int i = 0; i < 3; ++i) {
    const float a = i * 2 * kPi / 3;
    const float px = 128 + 26 * std::sin(a), py = 128 - 26 * std::cos(a);
    Fill(
        c, 0, 0, 256, 256, [=](float x, float y) { return sd::Circle(x, y, px, py, 44); },
        WithAlpha(petals[i], 0.75f), Blend::Add);
  }
  const auto star = sd::StarPolygon(128, 128, 24, 9, 4, 0);
  Fill(
      c, 0, 0, 256, 256, [&](float x, float y) { return sd::Polygon(x, y, star); },
      C(255, 255, 255));
}

void PaintTestcard(const Cell& c, int) {
  auto disc = [](float x, float y) { return sd::Circle(x, y, 128, 128, 124); };
  Fill(c, 0, 0, 256, 256, disc, C(120, 120, 128));
  // Grid lines, clipped to the circle.
  Fill(
      c, 0, 0, 256, 256,
      [&](float x, float y) {
        const float gx = std::fabs(std::fmod(x + 8.0f, 16.0f) - 8.0f),
                    gy = std::fabs(std::fmod(y + 8.0f, 16.0f) - 8.0f);
        return std::max(std::min(gx, gy) - 0.6f, disc(x, y));
      },
      C(230, 230, 235));
  static const Rgba bars[8] = {C(235, 235, 235), C(235, 235, 20), C(20, 235, 235), C(20, 235, 20),
                               C(235, 20, 235),  C(235, 20, 20),  C(20, 20, 235),  C(16, 16, 16)};
  for (int i = 0; i < 8; ++i) {
    const float x0 = 24 + i * 26;
    Fill(
        c, 0, 0, 256, 256,
        [&](float x, float y) { return std::max(sd::Box(x, y, x0 + 13, 100, 13, 20), disc(x, y)); },
        bars[i]);
  }
  for (int i = 0; i < 6; ++i) {
    const float x0 = 32 + i * 32;
    const int v = 16 + i * 46;
    Fill(
        c, 0, 0, 256, 256,
        [&](float x, float y) { return std::max(sd::Box(x, y, x0 + 16, 140, 16, 12), disc(x, y)); },
        C(v, v, v));
  }
  Fill(
      c, 0, 0, 256, 256,
      [](float x, float y) {
        return std::min(std::min(sd::Capsule(x, y, 128, 164, 128, 220, 1.2f),
                                 sd::Capsule(x, y, 84, 190, 172, 190, 1.2f)),
                        sd::Ring(x, y, 128, 190, 18, 1.4f));
      },
      C(20, 20, 24));
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Ring(x, y, 128, 128, 122, 3.2f); },
      C(250, 250, 250));
  Fill(
      c, 0, 0, 256, 256, [](float x, float y) { return sd::Ring(x, y, 128, 128, 126.5f, 1.2f); },
      C(16, 16, 16));
}

void PaintBadge(const Cell& c, int frame) {
  const Rgba col = kBadge[(frame / 4) % 8];
  const int shape = frame % 4;
  const std::vector<sd::Pt> hex = sd::RegularPolygon(32, 32, 28, 6, 30);
  const std::vector<sd::Pt> shield = {{8, 10}, {56, 10}, {56, 30}, {32, 58}, {8, 30}};
  const std::vector<sd::Pt> burst = sd::StarPolygon(32, 32, 29, 24, 12, 0);
  auto body = [&](float x, float y) {
    switch (shape) {
      case 0:
        return sd::Circle(x, y, 32, 32, 27);
      case 1:
        return sd::Polygon(x, y, hex) - 1.0f;
      case 2:
        return sd::Polygon(x, y, shield) - 1.5f;
      default:
        return sd::Polygon(x, y, burst) - 0.5f;
    }
  };
  Fill(c, 0, 0, 64, 64, body, [&](float x, float y) {
    const float t = std::min(1.0f, sd::Len(x - 26, y - 22) / 40);
    return Mix(Mix(col, C(255, 255, 255), 0.25f), Mix(col, C(20, 10, 40), 0.6f), t);
  });
  Fill(
      c, 0, 0, 64, 64, [&](float x, float y) { return std::fabs(body(x, y) + 2.5f) - 1.2f; },
      Mix(col, C(255, 255, 255), 0.6f));
  Symbol(c, (frame * 5 + frame / 8) % 8, C(255, 255, 255, 0.95f));
}

}  // namespace gfx
