// The pictures the game loads and the frame painters that draw them. Each painter draws
// one frame into a cell; the cell carries its own scale, so the same code draws 1x, 2x and 4x.
#pragma once

#include <string>

#include "canvas.h"

namespace gfx {

using FramePainter = void (*)(const Cell& cell, int frame);

struct Picture {
  const char* name;  // file name without the resolution suffix and ".png"
  int cellW, cellH;  // design size of one frame
  int frames;
  int columns;  // frames per row of the sheet
  FramePainter paint;
};

// Every picture of the data folder, in loader order.
const Picture* Pictures(int* count);

// The game's icon, one square picture per size (pixels), written as icons/quorvex-<size>.png.
// The build passes the sizes in, since it also installs each into the desktop's icon theme.
inline constexpr int kIconSizes[] = {QUORVEX_ICON_SIZES};
Canvas DrawAppIcon(int size);

// Sprites: shots, debris, blobs, orb and ship ("gfx"), their halos ("gfx_glow"), particles.
void PaintGfx(const Cell& c, int frame);
void PaintGlow(const Cell& c, int frame);
void PaintParts(const Cell& c, int frame);

// Menu and interface pictures.
void PaintMenu(const Cell& c, int frame);
void PaintLogo(const Cell& c, int frame);
void PaintIcons(const Cell& c, int frame);
void PaintButtons(const Cell& c, int frame);
void PaintDpad(const Cell& c, int frame);
void PaintStudio(const Cell& c, int frame);
void PaintTestcard(const Cell& c, int frame);
void PaintBadge(const Cell& c, int frame);

// Fonts: the game's 128-glyph font (frame k = character k + 32, 16 x 16 cells) and the
// framework's default font (96 glyphs of 10 x 14 with a blank column on each side).
void PaintEditundo(const Cell& c, int frame);
void PaintVrin(const Cell& c, int frame);

// The stroke glyphs themselves, for titles and labels: draws character ch with its grid's
// top-left at (x, y) in design units, each grid step being ux by uy design pixels and the
// stroke radius r. Returns the glyph's ink width in grid columns (0 when it has none).
int StrokeGlyph(const Cell& c, int ch, float x, float y, float ux, float uy, float r, Rgba colour);
// Ink width in grid columns of a character's glyph (0 for space and unknown characters).
int GlyphWidth(int ch);
// The pen advance the game uses for a character at 1x (7 plus its kerning).
int GameAdvance(int ch);

}  // namespace gfx
