// The game's icon for desktops and the window: the dark disc board with its bright rim,
// the ship on the rim and a few blobs. Each size is drawn on its own at four times its
// resolution and averaged down, with fewer and bigger pieces at the small sizes so that
// the 16 px icon still reads as a board, a ship and three blobs. Corners stay transparent.
// Left out: any text (the name is the desktop's to show).
#include <cmath>

#include "pictures.h"

namespace gfx {

namespace {

constexpr int kSupersample = 4;
constexpr float kDesign = 64;  // design units across the icon
constexpr float kCentre = kDesign / 2;

// About 28 design units, set so that the rim's top, bottom and sides fall on whole pixel
// rows and columns: at the small sizes they then show as solid lines.
float RimRadius(int size) { return (std::ceil(size * 28 / kDesign) - 0.5f) * kDesign / size; }

// Frames of "gfx" the icon borrows, and the palette entries of the plain blobs.
enum {
  kFrameCyanShot = 5,
  kFrameArmoured = 16,
  kFrameSpreading = 18,
  kFrameBasic = 19,
  kFrameFast = 20,
  kFrameShip = 56
};
const Rgba kYellow = C(255, 228, 48), kOrange = C(255, 146, 36), kGreen = C(70, 255, 96);

struct Piece {
  int frame;      // "gfx" frame, drawn as the game draws it
  float x, y, r;  // centre and radius of the blob's body, design units
  Rgba plain;     // colour of the plain disc that stands for it at small sizes
};

// Large icons: the four blob kinds with their faces and a shot on its way to the board.
const Piece kLargeBlobs[] = {{kFrameBasic, 22, 22, 7.0f, kYellow},
                             {kFrameSpreading, 42, 20, 6.5f, kOrange},
                             {kFrameArmoured, 44, 38, 6.0f, C(190, 196, 210)},
                             {kFrameFast, 21, 39, 5.5f, kGreen}};
// Small icons: three big plain blobs, nothing thinner than a pixel.
const Piece kSmallBlobs[] = {{kFrameBasic, 20.5f, 23, 7.0f, kYellow},
                             {kFrameSpreading, 43.5f, 23, 7.0f, kOrange},
                             {kFrameFast, 32, 34, 6.5f, kGreen}};

// Paints "gfx" frame `frame` with its 32 x 32 cell centred on (x, y) and `box` design
// units across; the sprite painters draw into a cell of their own at that scale.
void Sprite(const Cell& c, int frame, float x, float y, float box) {
  const float s = c.s * box / 32;
  const int size = (int)std::ceil(32 * s);
  Cell sub{c.canvas,
           c.ox + (int)std::lround((x - box / 2) * c.s),
           c.oy + (int)std::lround((y - box / 2) * c.s),
           size,
           size,
           s};
  sub.cw = std::min(sub.cw, c.canvas->w - sub.ox);
  sub.ch = std::min(sub.ch, c.canvas->h - sub.oy);
  PaintGfx(sub, frame);
}

void Board(const Cell& c, int size) {
  // One pixel of the final icon in design units: strokes never get thinner than that.
  const float px = kDesign / size;
  const float rimHalf = std::max(1.1f, 0.55f * px), rim = RimRadius(size);
  Fill(
      c, 0, 0, kDesign, kDesign,
      [=](float x, float y) { return sd::Circle(x, y, kCentre, kCentre, rim); },
      [](float x, float y) {
        const float t = std::min(1.0f, sd::Len(x - kCentre + 4, y - kCentre + 5) / 30.0f);
        return Mix(C(34, 30, 96), C(6, 6, 34), t);
      });
  if (size >=
      64) {  // the board's faint rings, one per five cells of radius as in the game's backdrop
    for (float r : {7.0f, 14.0f, 21.0f})
      Fill(
          c, 0, 0, kDesign, kDesign,
          [=](float x, float y) { return sd::Ring(x, y, kCentre, kCentre, r, 0.35f); },
          C(200, 215, 255, 0.22f));
  }
  if (size >= 48) {  // a halo outside the rim, fading out well before the corners
    Fill(
        c, 0, 0, kDesign, kDesign,
        [=](float x, float y) { return sd::Ring(x, y, kCentre, kCentre, rim + 1, 2.5f); },
        [=](float x, float y) {
          const float t = std::min(1.0f, std::fabs(sd::Len(x - kCentre, y - kCentre) - rim) / 3.5f);
          return C(60, 220, 255, 0.45f * (1 - t) * (1 - t));
        });
  }
  Fill(
      c, 0, 0, kDesign, kDesign,
      [=](float x, float y) { return sd::Ring(x, y, kCentre, kCentre, rim, rimHalf); },
      C(120, 230, 255));
  if (size >= 48)
    Fill(
        c, 0, 0, kDesign, kDesign,
        [=](float x, float y) { return sd::Ring(x, y, kCentre, kCentre, rim, rimHalf * 0.35f); },
        C(240, 255, 255));
}

void PlainBlob(const Cell& c, const Piece& b, int size) {
  const float px = kDesign / size;
  Fill(
      c, b.x - b.r - 1, b.y - b.r - 1, b.x + b.r + 1, b.y + b.r + 1,
      [&](float x, float y) { return sd::Circle(x, y, b.x, b.y, b.r); },
      [&](float x, float y) {
        const float t =
            std::min(1.0f, sd::Len(x - b.x + b.r * 0.35f, y - b.y + b.r * 0.35f) / (b.r * 1.5f));
        return Mix(Mix(b.plain, C(255, 255, 255), 0.45f), Mix(b.plain, C(0, 0, 0), 0.2f), t);
      });
  if (size >= 24) {  // a highlight, once it can be a pixel of its own
    const float hr = std::max(b.r * 0.28f, 0.6f * px);
    Fill(
        c, b.x - b.r, b.y - b.r, b.x + b.r, b.y + b.r,
        [&](float x, float y) {
          return sd::Circle(x, y, b.x - b.r * 0.38f, b.y - b.r * 0.38f, hr);
        },
        C(255, 255, 255, 0.8f));
  }
}

// The ship reduced to a bright arrowhead: the sprite's flames and cockpit would only
// blur it at a few pixels across.
void PlainShip(const Cell& c) {
  const std::vector<sd::Pt> hull = {{32, 44}, {41, 57}, {32, 53.5f}, {23, 57}};
  Fill(
      c, 20, 40, 44, 62, [&](float x, float y) { return sd::Polygon(x, y, hull); },
      [](float, float y) {
        return Mix(C(235, 255, 255), C(70, 180, 240),
                   std::min(1.0f, std::max(0.0f, (y - 45) / 14)));
      });
}

void Pieces(const Cell& c, int size) {
  if (size >= 48) {
    // A blob's body fills 25 of its 32 sprite units.
    for (const Piece& b : kLargeBlobs) Sprite(c, b.frame, b.x, b.y, b.r * 32 / 12.5f);
    Sprite(c, kFrameCyanShot, 32, 37, 13);
    Sprite(c, kFrameShip, 32, 53, 18);
  } else {
    for (const Piece& b : kSmallBlobs) PlainBlob(c, b, size);
    PlainShip(c);
  }
}

// The average of each block of `k` x `k` pixels (the canvas is premultiplied, so a plain mean).
Canvas Shrink(const Canvas& big, int k) {
  Canvas out(big.w / k, big.h / k);
  for (int y = 0; y < out.h; ++y)
    for (int x = 0; x < out.w; ++x) {
      float* d = out.At(x, y);
      for (int yy = 0; yy < k; ++yy)
        for (int xx = 0; xx < k; ++xx) {
          const float* s = big.At(x * k + xx, y * k + yy);
          for (int i = 0; i < 4; ++i) d[i] += s[i];
        }
      for (int i = 0; i < 4; ++i) d[i] /= (float)(k * k);
    }
  return out;
}

void Over(Canvas& dst, const Canvas& src) {
  for (size_t i = 0; i < dst.px.size(); i += 4) {
    const float a = src.px[i + 3];
    for (int k = 0; k < 4; ++k) dst.px[i + k] = src.px[i + k] + dst.px[i + k] * (1 - a);
  }
}

// A dark edge of about `radius` pixels around the pieces: keeps the ship apart from the
// bright rim it sits on and the blobs apart from each other at the small sizes.
Canvas Shadow(const Canvas& pieces, int radius) {
  Canvas out(pieces.w, pieces.h);
  for (int y = 0; y < out.h; ++y)
    for (int x = 0; x < out.w; ++x) {
      float a = 0;
      for (int yy = std::max(0, y - radius); yy <= std::min(out.h - 1, y + radius); ++yy)
        for (int xx = std::max(0, x - radius); xx <= std::min(out.w - 1, x + radius); ++xx)
          if ((xx - x) * (xx - x) + (yy - y) * (yy - y) <= radius * radius)
            a = std::max(a, pieces.At(xx, yy)[3]);
      float* d = out.At(x, y);
      a *= 0.85f;
      d[0] = 0.02f * a, d[1] = 0.02f * a, d[2] = 0.10f * a, d[3] = a;
    }
  return out;
}

}  // namespace

Canvas DrawAppIcon(int size) {
  const int big = size * kSupersample;
  const float scale = big / kDesign;
  Canvas board(big, big), pieces(big, big);
  Board(Cell{&board, 0, 0, big, big, scale}, size);
  Pieces(Cell{&pieces, 0, 0, big, big, scale}, size);
  Canvas icon = Shrink(board, kSupersample);
  const Canvas front = Shrink(pieces, kSupersample);
  Over(icon, Shadow(front, std::max(1, size / 64)));
  Over(icon, front);
  return icon;
}

}  // namespace gfx
