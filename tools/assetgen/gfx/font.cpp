// The stroke alphabet behind both bitmap fonts, the title logo and the contact sheet's
// labels. Glyphs live on a grid: capitals and digits rows 0..6, x-height from row 2,
// descenders to row 8; strokes run between grid points (mostly straight and 45 degrees,
// so the 1x font stays pixel-crisp) and are drawn as round-ended lines at any scale.
// Widths follow the game's pen advance (7, with its kerning of w m W M i f l j s k r z t n),
// so proportional spacing comes out even although every glyph sits in a fixed cell.
#include <cstdlib>
#include <vector>

#include "pictures.h"

namespace gfx {

namespace {

struct GlyphDef {
  char ch;
  int width;
  const char* strokes;  // polylines "x,y x,y ..." separated by '|'; one point is a dot
};

const GlyphDef kGlyphs[] = {
    {'!', 1, "0,0 0,4|0,6"},
    {'"', 3, "0,0 0,1|2,0 2,1"},
    {'#', 5, "1,0 1,6|3,0 3,6|0,2 4,2|0,4 4,4"},
    {'$', 5, "4,1 1,1 0,2 1,3 3,3 4,4 3,5 0,5|2,0 2,6"},
    {'%', 5, "0,0 1,0 1,1 0,1 0,0|4,1 0,5|3,5 4,5 4,6 3,6 3,5"},
    {'&', 5, "4,6 1,3 1,1 2,0 3,1 3,2 0,4 0,5 1,6 2,6 4,4"},
    {'\'', 1, "0,0 0,1"},
    {'(', 2, "1,0 0,1 0,5 1,6"},
    {')', 2, "0,0 1,1 1,5 0,6"},
    {'*', 5, "2,1 2,5|0,2 4,4|4,2 0,4"},
    {'+', 5, "2,1 2,5|0,3 4,3"},
    {',', 2, "1,5 1,6 0,7"},
    {'-', 4, "0,3 3,3"},
    {'.', 1, "0,6"},
    {'/', 5, "4,0 4,1 0,5 0,6"},
    {'0', 5, "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0|1,4 3,2"},
    {'1', 3, "0,1 1,0 1,6|0,6 2,6"},
    {'2', 5, "0,1 1,0 3,0 4,1 4,2 0,6 4,6"},
    {'3', 5, "0,0 4,0 2,2 3,2 4,3 4,5 3,6 1,6 0,5"},
    {'4', 5, "3,6 3,0 0,3 0,4 4,4"},
    {'5', 5, "4,0 0,0 0,2 3,2 4,3 4,5 3,6 1,6 0,5"},
    {'6', 5, "3,0 2,0 0,2 0,5 1,6 3,6 4,5 4,4 3,3 0,3"},
    {'7', 5, "0,0 4,0 4,1 2,3 2,6"},
    {'8', 5, "1,0 3,0 4,1 4,2 3,3 1,3 0,2 0,1 1,0|1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3"},
    {'9', 5, "4,3 1,3 0,2 0,1 1,0 3,0 4,1 4,4 2,6 1,6"},
    {':', 1, "0,2|0,5"},
    {';', 2, "1,2|1,5 1,6 0,7"},
    {'<', 4, "3,0 0,3 3,6"},
    {'=', 4, "0,2 3,2|0,4 3,4"},
    {'>', 4, "0,0 3,3 0,6"},
    {'?', 5, "0,1 1,0 3,0 4,1 4,2 2,4|2,6"},
    {'@', 5, "3,4 3,2 1,2 1,4 4,4 4,1 3,0 1,0 0,1 0,5 1,6 4,6"},
    {'A', 5, "0,6 0,2 2,0 4,2 4,6|0,4 4,4"},
    {'B', 5, "0,0 0,6 3,6 4,5 4,4 3,3 0,3|0,0 3,0 4,1 4,2 3,3"},
    {'C', 5, "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5"},
    {'D', 5, "0,0 0,6 2,6 4,4 4,2 2,0 0,0"},
    {'E', 5, "4,0 0,0 0,6 4,6|0,3 3,3"},
    {'F', 5, "4,0 0,0 0,6|0,3 3,3"},
    {'G', 5, "4,1 3,0 1,0 0,1 0,5 1,6 3,6 4,5 4,3 2,3"},
    {'H', 5, "0,0 0,6|4,0 4,6|0,3 4,3"},
    {'I', 3, "0,0 2,0|1,0 1,6|0,6 2,6"},
    {'J', 5, "1,0 4,0|3,0 3,5 2,6 1,6 0,5"},
    {'K', 5, "0,0 0,6|4,0 1,3 4,6|0,3 1,3"},
    {'L', 5, "0,0 0,6 4,6"},
    {'M', 7, "0,6 0,0 3,3 6,0 6,6"},
    {'N', 5, "0,6 0,0|0,1 4,5|4,6 4,0"},
    {'O', 5, "1,0 3,0 4,1 4,5 3,6 1,6 0,5 0,1 1,0"},
    {'P', 5, "0,6 0,0 3,0 4,1 4,2 3,3 0,3"},
    {'Q', 5, "1,0 3,0 4,1 4,4 2,6 1,6 0,5 0,1 1,0|2,4 4,6"},
    {'R', 5, "0,6 0,0 3,0 4,1 4,2 3,3 0,3|2,3 4,5 4,6"},
    {'S', 5, "4,1 3,0 1,0 0,1 0,2 1,3 3,3 4,4 4,5 3,6 1,6 0,5"},
    {'T', 5, "0,0 4,0|2,0 2,6"},
    {'U', 5, "0,0 0,5 1,6 3,6 4,5 4,0"},
    {'V', 5, "0,0 0,4 2,6 4,4 4,0"},
    {'W', 7, "0,0 0,6 3,3 6,6 6,0"},
    {'X', 5, "0,0 0,1 4,5 4,6|4,0 4,1 0,5 0,6"},
    {'Y', 5, "0,0 0,1 2,3 4,1 4,0|2,3 2,6"},
    {'Z', 5, "0,0 4,0 4,1 0,5 0,6 4,6"},
    {'[', 2, "1,0 0,0 0,6 1,6"},
    {'\\', 5, "0,0 0,1 4,5 4,6"},
    {']', 2, "0,0 1,0 1,6 0,6"},
    {'^', 5, "0,2 2,0 4,2"},
    {'_', 5, "0,7 4,7"},
    {'`', 2, "0,0 1,1"},
    {'a', 5, "1,2 3,2 4,3 4,6|4,4 1,4 0,5 1,6 4,6"},
    {'b', 5, "0,0 0,6 3,6 4,5 4,3 3,2 0,2"},
    {'c', 5, "4,2 1,2 0,3 0,5 1,6 4,6"},
    {'d', 5, "4,0 4,6 1,6 0,5 0,3 1,2 4,2"},
    {'e', 5, "0,4 4,4 4,3 3,2 1,2 0,3 0,5 1,6 4,6"},
    {'f', 3, "2,0 1,1 1,6|0,2 2,2"},
    {'g', 5, "4,2 1,2 0,3 0,4 1,5 4,5|4,2 4,7 3,8 0,8"},
    {'h', 5, "0,0 0,6|0,2 3,2 4,3 4,6"},
    {'i', 2, "0,2 1,2 1,6|1,0"},
    {'j', 4, "1,2 3,2 3,7 2,8 0,8|3,0"},
    {'k', 4, "0,0 0,6|3,2 1,4 3,6|0,4 1,4"},
    {'l', 2, "0,0 0,5 1,6"},
    {'m', 7, "0,6 0,2|0,3 1,2 2,2 3,3 3,6|3,3 4,2 5,2 6,3 6,6"},
    {'n', 4, "0,6 0,2|0,3 1,2 2,2 3,3 3,6"},
    {'o', 5, "1,2 3,2 4,3 4,5 3,6 1,6 0,5 0,3 1,2"},
    {'p', 5, "0,8 0,2 3,2 4,3 4,5 3,6 0,6"},
    {'q', 5, "4,8 4,2 1,2 0,3 0,5 1,6 4,6"},
    {'r', 4, "0,6 0,2|0,3 1,2 3,2"},
    {'s', 4, "3,2 1,2 0,3 1,4 2,4 3,5 2,6 0,6"},
    {'t', 4, "1,0 1,5 2,6 3,6|0,2 3,2"},
    {'u', 5, "0,2 0,5 1,6 3,6 4,5|4,2 4,6"},
    {'v', 5, "0,2 0,4 2,6 4,4 4,2"},
    {'w', 7, "0,2 0,5 1,6 2,6 3,5 3,3|3,5 4,6 5,6 6,5 6,2"},
    {'x', 5, "0,2 4,6|4,2 0,6"},
    {'y', 5, "0,2 0,4 1,5 4,5|4,2 4,7 3,8 0,8"},
    {'z', 4, "0,2 3,2 0,5 0,6 3,6"},
    {'{', 3, "2,0 1,1 1,2 0,3 1,4 1,5 2,6"},
    {'|', 1, "0,0 0,7"},
    {'}', 3, "0,0 1,1 1,2 2,3 1,4 1,5 0,6"},
    {'~', 5, "0,3 1,2 3,4 4,3"},
};

struct Glyph {
  int width = 0;
  std::vector<std::vector<sd::Pt>> lines;
};

const std::vector<Glyph>& Table() {
  static const std::vector<Glyph> table = [] {
    std::vector<Glyph> t(128);
    for (const GlyphDef& d : kGlyphs) {
      Glyph& g = t[(unsigned char)d.ch];
      g.width = d.width;
      g.lines.emplace_back();
      for (const char* p = d.strokes; *p;) {
        if (*p == '|') {
          g.lines.emplace_back();
          ++p;
        } else if (*p == ' ') {
          ++p;
        } else {
          char* end = nullptr;
          const float x = std::strtof(p, &end);
          const float y = std::strtof(end + 1, &end);
          g.lines.back().push_back({x, y});
          p = end;
        }
      }
    }
    return t;
  }();
  return table;
}

}  // namespace

int GlyphWidth(int ch) { return ch > 32 && ch < 128 ? Table()[ch].width : 0; }

int GameAdvance(int ch) {
  switch (ch) {
    case 'w':
    case 'm':
      return 9;
    case 'W':
    case 'M':
      return 8;
    case 'i':
    case 'f':
    case 'l':
      return 4;
    case 'j':
    case 's':
    case 'k':
    case 'r':
    case 'z':
    case 't':
    case 'n':
      return 6;
    default:
      return 7;
  }
}

int StrokeGlyph(const Cell& c, int ch, float x, float y, float ux, float uy, float r, Rgba colour) {
  if (ch <= 32 || ch >= 128) return 0;
  const Glyph& g = Table()[ch];
  if (g.width == 0) return 0;
  std::vector<sd::Pt> a, b;  // segment ends in design units
  float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
  for (const auto& line : g.lines) {
    for (size_t i = 0; i < line.size(); ++i) {
      const sd::Pt p{x + (line[i].x + 0.5f) * ux, y + (line[i].y + 0.5f) * uy};
      const sd::Pt q = i + 1 < line.size() ? sd::Pt{x + (line[i + 1].x + 0.5f) * ux,
                                                    y + (line[i + 1].y + 0.5f) * uy}
                                           : p;
      if (i + 1 < line.size() || line.size() == 1) {
        a.push_back(p);
        b.push_back(q);
      }
      x0 = std::min(x0, p.x);
      y0 = std::min(y0, p.y);
      x1 = std::max(x1, p.x);
      y1 = std::max(y1, p.y);
    }
  }
  auto dist = [&](float px, float py) {
    float d = 1e9f;
    for (size_t i = 0; i < a.size(); ++i)
      d = std::min(d, sd::Segment(px, py, a[i].x, a[i].y, b[i].x, b[i].y));
    return d - r;
  };
  Fill(c, x0 - r, y0 - r, x1 + r, y1 + r, dist, colour);
  return g.width;
}

void PaintEditundo(const Cell& c, int frame) {
  const int ch = frame + 32;
  const int w = GlyphWidth(ch);
  if (w == 0) return;
  Cell cc = c;
  cc.crisp = c.s < 1.5f;
  // The pen sits at the cell centre (8); the glyph fills the middle of its own advance box.
  const int left = (int)std::floor(4.5f + (GameAdvance(ch) - w) * 0.5f);
  StrokeGlyph(cc, ch, (float)left, 4.0f, 1.0f, 1.0f, 0.5f, Rgba{1, 1, 1, 1});
}

void PaintVrin(const Cell& c, int frame) {
  const int ch = frame + 32;
  const int w = GlyphWidth(ch);
  if (w == 0) return;
  Cell cc = c;
  cc.crisp = c.s < 1.5f;
  // Columns 0 and 9 stay blank: the framework trims one on each side.
  const int left = 1 + (8 - w) / 2;
  StrokeGlyph(cc, ch, (float)left, 2.0f, 1.0f, 1.0f, 0.5f, Rgba{1, 1, 1, 1});
}

}  // namespace gfx
