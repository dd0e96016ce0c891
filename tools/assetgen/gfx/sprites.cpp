// Play-field sprites: shot bolts, glowing debris, the four blobs, the bonus orb and the
// ship ("gfx", 32 x 32 cells), their halos ("gfx_glow", the same frames blurred and
// faded toward the cell edge) and the small particles ("parts", 8 x 8 cells).
// Frames the game never draws stay empty.
#include <cmath>

#include "pictures.h"

namespace gfx {

namespace {

// The particle palette: grey, red, orange, yellow, green, cyan, blue, purple.
const Rgba kPalette[8] = {C(190, 196, 210), C(255, 64, 72),  C(255, 146, 36), C(255, 228, 48),
                          C(70, 255, 96),   C(48, 232, 255), C(80, 120, 255), C(196, 88, 255)};

Rgba Lighter(const Rgba& c, float t) { return Mix(c, Rgba{1, 1, 1, c.a}, t); }
Rgba Darker(const Rgba& c, float t) { return Mix(c, Rgba{0, 0, 0, c.a}, t); }

void Shot(const Cell& c, int colour) {
  const Rgba col = kPalette[colour];
  Fill(
      c, 10, 4, 22, 28, [](float x, float y) { return sd::Capsule(x, y, 16, 8, 16, 24, 3.2f); },
      WithAlpha(col, 0.55f));
  Fill(
      c, 10, 4, 22, 28, [](float x, float y) { return sd::Capsule(x, y, 16, 8.5f, 16, 23, 2.2f); },
      col);
  Fill(
      c, 10, 4, 22, 28, [](float x, float y) { return sd::Capsule(x, y, 16, 9, 16, 20, 1.0f); },
      Lighter(col, 0.85f));
}

void Debris(const Cell& c, int colour) {
  const Rgba col = kPalette[colour];
  std::vector<sd::Pt> v;
  const int n = 5 + colour % 3;
  for (int i = 0; i < n; ++i) {
    const float a = (i + 0.35f * Hash(colour, i)) * 2 * kPi / n;
    const float r = 6.0f + 4.0f * Hash(colour + 17, i);
    v.push_back({16 + r * std::sin(a), 16 - r * std::cos(a)});
  }
  auto shard = [&](float x, float y) { return sd::Polygon(x, y, v) - 0.5f; };
  Fill(c, 4, 4, 28, 28, shard, [&](float x, float y) {
    const float t = std::min(1.0f, sd::Len(x - 15, y - 15) / 9.0f);
    return Mix(Lighter(col, 0.8f), col, t);
  });
  Fill(
      c, 4, 4, 28, 28, [&](float x, float y) { return std::fabs(shard(x, y)) - 0.6f; },
      Lighter(col, 0.5f));
}

void Eye(const Cell& c, float x, float y, float r, float lookX, float lookY,
         Rgba white = C(255, 255, 255)) {
  Fill(
      c, x - r - 1, y - r - 1, x + r + 1, y + r + 1,
      [=](float px, float py) { return sd::Circle(px, py, x, y, r); }, white);
  const float pr = r * 0.55f;
  Fill(
      c, x - r, y - r, x + r, y + r,
      [=](float px, float py) { return sd::Circle(px, py, x + lookX, y + lookY, pr); },
      C(20, 16, 40));
  Fill(
      c, x - r, y - r, x + r, y + r,
      [=](float px, float py) {
        return sd::Circle(px, py, x + lookX - pr * 0.4f, y + lookY - pr * 0.4f, pr * 0.35f);
      },
      C(255, 255, 255, 0.9f));
}

void Highlight(const Cell& c, float x, float y, float rx, float ry) {
  Fill(
      c, x - rx - 1, y - ry - 1, x + rx + 1, y + ry + 1,
      [=](float px, float py) { return sd::Ellipse(px, py, x, y, rx, ry); },
      [=](float px, float py) {
        const float t = std::min(1.0f, sd::Len((px - x) / rx, (py - y) / ry));
        return Rgba{1, 1, 1, 0.55f * (1 - t * t)};
      });
}

// Kind 20: round yellow blob with a friendly face.
void BasicBlob(const Cell& c) {
  const Rgba col = kPalette[3];
  auto body = [](float x, float y) { return sd::Circle(x, y, 16, 16.5f, 12.5f); };
  Fill(c, 2, 2, 30, 30, body, [&](float x, float y) {
    const float t = std::min(1.0f, sd::Len(x - 13, y - 12) / 17.0f);
    return Mix(Lighter(col, 0.55f), Darker(col, 0.3f), t);
  });
  Fill(
      c, 2, 2, 30, 30, [&](float x, float y) { return std::fabs(body(x, y) + 0.8f) - 0.8f; },
      C(255, 250, 190, 0.9f));
  Eye(c, 12, 14.5f, 2.8f, 0.4f, 0.6f);
  Eye(c, 20, 14.5f, 2.8f, 0.4f, 0.6f);
  Fill(
      c, 8, 16, 24, 26,
      [](float x, float y) {
        // Smile: the lower part of a ring.
        return std::max(sd::Ring(x, y, 16, 17.5f, 5.0f, 0.9f), 20.0f - y);
      },
      C(120, 60, 10));
  Highlight(c, 11, 9, 4, 2.2f);
}

// Kind 19: orange five-lobed blob that buds; a spiral core and two small eyes.
void SpreadingBlob(const Cell& c) {
  const Rgba col = kPalette[2];
  auto body = [](float x, float y) {
    const float dx = x - 16, dy = y - 16;
    const float a = std::atan2(dx, -dy);
    return (sd::Len(dx, dy) - (11.0f + 2.6f * std::cos(5 * a))) * 0.75f;
  };
  Fill(c, 0, 0, 32, 32, body, [&](float x, float y) {
    const float t = std::min(1.0f, sd::Len(x - 16, y - 16) / 14.0f);
    return Mix(Lighter(col, 0.35f), Darker(col, 0.35f), t);
  });
  Fill(
      c, 0, 0, 32, 32, [&](float x, float y) { return std::fabs(body(x, y) + 0.7f) - 0.7f; },
      C(255, 214, 150, 0.9f));
  for (int i = 0; i < 5; ++i) {  // buds at the lobe tips
    const float a = i * 2 * kPi / 5;
    const float bx = 16 + 12.2f * std::sin(a), by = 16 - 12.2f * std::cos(a);
    Fill(
        c, bx - 3, by - 3, bx + 3, by + 3,
        [=](float x, float y) { return sd::Circle(x, y, bx, by, 1.6f); }, C(255, 236, 170));
  }
  Fill(
      c, 10, 12, 22, 24, [](float x, float y) { return sd::Circle(x, y, 16, 18.5f, 4.0f); },
      C(150, 52, 0, 0.85f));
  Fill(
      c, 10, 12, 22, 24, [](float x, float y) { return sd::Circle(x, y, 16.8f, 17.8f, 1.6f); },
      C(255, 190, 90));
  Eye(c, 12.5f, 12.5f, 2.2f, 0.5f, 0.3f);
  Eye(c, 19.5f, 12.5f, 2.2f, -0.5f, 0.3f);
}

// Kind 17: silver-grey armoured hexagon with plates, rivets and a visor.
void ArmouredBlob(const Cell& c) {
  const Rgba col = kPalette[0];
  const std::vector<sd::Pt> hex = sd::RegularPolygon(16, 16, 13.0f, 6, 0);
  auto body = [&](float x, float y) { return sd::Polygon(x, y, hex) + 1.5f - 1.5f; };
  Fill(
      c, 1, 1, 31, 31, [&](float x, float y) { return body(x, y); },
      [&](float, float y) {
        const float t = std::min(1.0f, std::max(0.0f, (y - 4) / 24.0f));
        return Mix(Lighter(col, 0.6f), Darker(col, 0.45f), t);
      });
  Fill(
      c, 1, 1, 31, 31, [&](float x, float y) { return std::fabs(body(x, y) + 1.0f) - 0.9f; },
      C(240, 244, 255));
  // Plate seams from the centre to three of the corners.
  for (int i = 0; i < 3; ++i) {
    const sd::Pt p = hex[i * 2 + 1];
    Fill(
        c, 1, 1, 31, 31,
        [=](float x, float y) { return sd::Capsule(x, y, 16, 16, p.x, p.y, 0.45f); },
        C(90, 96, 112, 0.8f));
  }
  for (int i = 0; i < 6; ++i) {
    const sd::Pt p{16 + (hex[i].x - 16) * 0.72f, 16 + (hex[i].y - 16) * 0.72f};
    Fill(
        c, p.x - 2, p.y - 2, p.x + 2, p.y + 2,
        [=](float x, float y) { return sd::Circle(x, y, p.x, p.y, 1.0f); }, C(250, 250, 255));
  }
  Fill(
      c, 6, 10, 26, 20, [](float x, float y) { return sd::Box(x, y, 16, 14.5f, 7.5f, 2.6f, 2.4f); },
      C(26, 30, 48));
  Fill(
      c, 8, 11, 24, 18, [](float x, float y) { return sd::Circle(x, y, 12.5f, 14.5f, 1.5f); },
      C(90, 240, 255));
  Fill(
      c, 8, 11, 24, 18, [](float x, float y) { return sd::Circle(x, y, 19.5f, 14.5f, 1.5f); },
      C(90, 240, 255));
}

// Kind 21: small, spiky, see-through green blob with a bright core and a squint.
void FastBlob(const Cell& c) {
  const Rgba col = kPalette[4];
  const std::vector<sd::Pt> star = sd::StarPolygon(16, 16, 13.0f, 7.5f, 8, 0);
  auto body = [&](float x, float y) { return sd::Polygon(x, y, star) + 0.6f - 0.6f; };
  Fill(c, 1, 1, 31, 31, body, WithAlpha(Darker(col, 0.25f), 0.7f));
  Fill(
      c, 1, 1, 31, 31, [&](float x, float y) { return std::fabs(body(x, y) + 0.6f) - 0.6f; },
      Lighter(col, 0.5f));
  Fill(
      c, 8, 8, 24, 24, [](float x, float y) { return sd::Circle(x, y, 16, 17, 5.0f); },
      [&](float x, float y) {
        const float t = std::min(1.0f, sd::Len(x - 16, y - 17) / 5.0f);
        return Mix(C(240, 255, 220), col, t);
      });
  Eye(c, 13, 15, 1.8f, 0.6f, 0, C(250, 255, 240));
  Eye(c, 19, 15, 1.8f, 0.6f, 0, C(250, 255, 240));
  // Brows slanting inward: in a hurry.
  Fill(
      c, 9, 10, 23, 14,
      [](float x, float y) {
        return std::min(sd::Capsule(x, y, 11, 11.6f, 14.5f, 12.8f, 0.55f),
                        sd::Capsule(x, y, 17.5f, 12.8f, 21, 11.6f, 0.55f));
      },
      C(20, 60, 20));
  Fill(
      c, 18, 20, 24, 25, [](float x, float y) { return sd::Circle(x, y, 21, 22, 1.1f); },
      C(220, 255, 220, 0.8f));
}

void Orb(const Cell& c) {
  Fill(
      c, 4, 4, 28, 28, [](float x, float y) { return sd::Circle(x, y, 16, 16, 8.5f); },
      [](float x, float y) {
        const float t = std::min(1.0f, sd::Len(x - 13.5f, y - 13.5f) / 11.0f);
        return Mix(C(255, 230, 255), C(220, 40, 200), t);
      });
  Fill(
      c, 0, 0, 32, 32,
      [](float x, float y) {
        // A tilted orbit ring, broken where it passes behind the sphere.
        const float rx = x - 16, ry = y - 16;
        const float ca = 0.8660254f, sa = 0.5f;
        const float u = rx * ca + ry * sa, v = -rx * sa + ry * ca;
        const float ring = std::fabs(sd::Len(u / 14.0f, v / 5.0f) - 1.0f) * 5.0f - 0.8f;
        const bool behind = v < 0 && sd::Len(rx, ry) < 9.2f;
        return behind ? 1.0f : ring;
      },
      C(120, 255, 250));
  Fill(
      c, 8, 6, 18, 16,
      [](float x, float y) {
        return std::min(sd::Capsule(x, y, 12.5f, 8, 12.5f, 14, 0.5f),
                        sd::Capsule(x, y, 9.5f, 11, 15.5f, 11, 0.5f));
      },
      C(255, 255, 255));
  Highlight(c, 13, 12.5f, 3.2f, 2.0f);
}

void Ship(const Cell& c) {
  const std::vector<sd::Pt> hull = {{16, 2.5f}, {21, 15},       {28, 25}, {20.5f, 22.5f},
                                    {16, 26},   {11.5f, 22.5f}, {4, 25},  {11, 15}};
  auto body = [&](float x, float y) { return sd::Polygon(x, y, hull); };
  Fill(
      c, 2, 1, 30, 29,
      [](float x, float y) {  // engine flames
        return std::min(sd::Capsule(x, y, 13, 23, 13, 28.5f, 1.6f),
                        sd::Capsule(x, y, 19, 23, 19, 28.5f, 1.6f));
      },
      [](float, float y) {
        return Mix(C(255, 240, 160), C(255, 90, 20, 0.3f),
                   std::min(1.0f, std::max(0.0f, (y - 23) / 6)));
      });
  Fill(c, 2, 1, 30, 29, body, [](float x, float y) {
    const float t = std::min(1.0f, std::max(0.0f, (std::fabs(x - 16) + y * 0.3f) / 16.0f));
    return Mix(C(190, 250, 255), C(20, 120, 200), t);
  });
  Fill(
      c, 2, 1, 30, 29, [&](float x, float y) { return std::fabs(body(x, y) + 0.6f) - 0.6f; },
      C(230, 255, 255));
  Fill(
      c, 2, 1, 30, 29, [](float x, float y) { return sd::Capsule(x, y, 16, 7, 16, 20, 0.5f); },
      C(10, 60, 110, 0.6f));
  Fill(
      c, 12, 8, 20, 20, [](float x, float y) { return sd::Ellipse(x, y, 16, 14, 2.2f, 4.0f); },
      [](float x, float y) {
        const float t = std::min(1.0f, sd::Len((x - 15.3f) / 2.2f, (y - 12.5f) / 4.0f));
        return Mix(C(255, 255, 255), C(255, 60, 160), t);
      });
}

}  // namespace

void PaintGfx(const Cell& c, int frame) {
  if (frame >= 0 && frame < 8) return Shot(c, frame);
  if (frame >= 8 && frame < 16) return Debris(c, frame - 8);
  switch (frame) {
    case 16:
      return ArmouredBlob(c);
    case 18:
      return SpreadingBlob(c);
    case 19:
      return BasicBlob(c);
    case 20:
      return FastBlob(c);
    case 24:
      return Orb(c);
    case 56:
      return Ship(c);
    default:
      return;
  }
}

void PaintGlow(const Cell& c, int frame) {
  PaintGfx(c, frame);
  BlurCell(*c.canvas, c.ox, c.oy, c.cw, c.ch, 2.2f * c.s);
  // Brighten toward the colour, then fade to nothing before the cell edge so the halo,
  // drawn larger than the sprite, never shows a seam.
  for (int y = 0; y < c.ch; ++y)
    for (int x = 0; x < c.cw; ++x) {
      const float dx = ((x + 0.5f) / c.s - 16) / 16, dy = ((y + 0.5f) / c.s - 16) / 16;
      const float r = std::sqrt(dx * dx + dy * dy);
      const float w =
          r >= 1 ? 0.0f : (r < 0.6f ? 1.0f : 0.5f + 0.5f * std::cos((r - 0.6f) / 0.4f * kPi));
      float* p = c.canvas->At(c.ox + x, c.oy + y);
      if (p[3] <= 1e-6f) {
        p[0] = p[1] = p[2] = p[3] = 0;
        continue;
      }
      const float a = std::min(1.0f, p[3] * 1.6f) * w;
      for (int i = 0; i < 3; ++i) p[i] = std::min(1.0f, p[i] / p[3]) * a;
      p[3] = a;
    }
}

void PaintParts(const Cell& c, int frame) {
  // Mostly pale star colours, with a share of neon sparks.
  static const Rgba tints[10] = {
      C(255, 255, 255), C(210, 230, 255), C(255, 240, 210), C(200, 255, 255), C(255, 210, 250),
      kPalette[1],      kPalette[3],      kPalette[4],      kPalette[5],      kPalette[7]};
  const int kind = frame % 8;
  const Rgba col = tints[(int)(Hash(frame, 3) * 10) % 10];
  const float size = 0.6f + 0.4f * Hash(frame, 7);
  const float rot = Hash(frame, 11) * 180;
  const float cx = 4, cy = 4;
  switch (kind) {
    case 0:
      Fill(
          c, 0, 0, 8, 8,
          [=](float x, float y) { return sd::Circle(x, y, cx, cy, 1.2f + 1.2f * size); }, col);
      break;
    case 1: {  // four-point sparkle
      const auto v = sd::StarPolygon(cx, cy, 3.8f * size, 0.8f, 4, rot > 90 ? 45 : 0);
      Fill(
          c, 0, 0, 8, 8, [&](float x, float y) { return sd::Polygon(x, y, v); }, col);
      Fill(
          c, 0, 0, 8, 8, [=](float x, float y) { return sd::Circle(x, y, cx, cy, 0.8f); },
          C(255, 255, 255));
      break;
    }
    case 2: {  // spark streak
      const float a = rot * kPi / 180, l = 3.2f * size;
      Fill(
          c, 0, 0, 8, 8,
          [=](float x, float y) {
            return sd::Capsule(x, y, cx - l * std::sin(a), cy + l * std::cos(a),
                               cx + l * std::sin(a), cy - l * std::cos(a), 0.7f);
          },
          col);
      break;
    }
    case 3:  // soft mote
      Fill(
          c, 0, 0, 8, 8, [=](float x, float y) { return sd::Circle(x, y, cx, cy, 3.5f); },
          [=](float x, float y) {
            const float t = std::min(1.0f, sd::Len(x - cx, y - cy) / 3.5f);
            return WithAlpha(col, (1 - t) * (1 - t));
          });
      break;
    case 4:
      Fill(
          c, 0, 0, 8, 8,
          [=](float x, float y) { return sd::Ring(x, y, cx, cy, 2.0f + 0.8f * size, 0.55f); }, col);
      break;
    case 5:
      Fill(
          c, 0, 0, 8, 8,
          [=](float x, float y) {
            return std::min(sd::Capsule(x, y, cx - 2.8f * size, cy, cx + 2.8f * size, cy, 0.6f),
                            sd::Capsule(x, y, cx, cy - 2.8f * size, cx, cy + 2.8f * size, 0.6f));
          },
          col);
      break;
    case 6: {
      const auto v = sd::RegularPolygon(cx, cy, 2.2f + 1.4f * size, 4, 0);
      Fill(
          c, 0, 0, 8, 8, [&](float x, float y) { return sd::Polygon(x, y, v); }, col);
      break;
    }
    default: {
      const auto v = sd::StarPolygon(cx, cy, 3.6f * size, 1.5f * size, 6, rot);
      Fill(
          c, 0, 0, 8, 8, [&](float x, float y) { return sd::Polygon(x, y, v); }, col);
      break;
    }
  }
}

}  // namespace gfx
