// Bitmap text and number formatting. Text is drawn glyph by glyph from the
// current font (a 128-frame picture, frame k showing code k + 32) as image
// records of the draw list, with a small per-letter kerning, alignment of the
// whole string around a point, rotation, and the two-character line break
// backslash + "n".
//
// Left out: a real newline character (it is a glyph like any other code) and
// any wrapping; callers break their lines themselves.
#include "game/helpers.h"

namespace {

// Narrow and wide letters of the font; everything else advances by charW.
int Kern(int c) {
  switch (c) {
    case 'w':
    case 'm':
      return 2;
    case 'W':
    case 'M':
      return 1;
    case 'i':
    case 'f':
    case 'l':
      return -3;
    case 'j':
    case 's':
    case 'k':
    case 'r':
    case 'z':
    case 't':
    case 'n':
      return -1;
    default:
      return 0;
  }
}

}  // namespace

void c_MyApp::p_Text(float x, float y, String text, float alignX, float alignY) {
  const int font = (m_font >= 0 && m_font < 100) ? m_font : 0;
  const int charW = m_imgSize[3 * font];
  const int charH = m_imgSize[3 * font + 1];
  const int n = text.Length();
  const Char* s = text.Data();

  // The width of the whole string, line breaks included, truncated after every
  // character: a multi-line text is placed as one block.
  int width = 0;
  for (int i = 0; i < n; ++i) {
    width = (int)((float)width + (float)(charW + Kern(s[i])) * m_drawSizeX);
  }

  const float r = m_drawRot;
  const float h = (float)charH * m_drawSizeY;
  const float sx = (float)((double)x + SindWide(-r - 90) * (double)width * alignX / 2 +
                           SindWide(-r) * (double)h * (alignY - 1) / 2);
  const float sy = (float)((double)y - CosdWide(-r - 90) * (double)width * alignX / 2 -
                           CosdWide(-r) * (double)h * (alignY - 1) / 2);
  const double advX = SindWide(90 - r), advY = CosdWide(90 - r);
  const double lineX = SindWide(180 - r), lineY = CosdWide(180 - r);

  float px = sx, py = sy;
  int lines = 0;
  // One trailing space follows the text, so reading one character past the
  // last real one is always defined (it only advances the pen).
  auto at = [&](int i) -> int { return i < n ? (int)s[i] : ' '; };
  int i = 0;
  while (i < n + 1) {
    const int c = at(i);
    if (c == '\\' && at(i + 1) == 'n') {
      i += 2;
      ++lines;
      const double d = (double)((float)lines * (float)charH * m_drawSizeY);
      px = (float)((double)sx + lineX * d);
      py = (float)((double)sy - lineY * d);
      continue;
    }
    ++i;
    if (c >= 33 && c <= 159) p_DrawImg(font, px, py, (float)(c - 32));
    if (c == 0) continue;
    const double adv = (double)((float)(charW + Kern(c)) * m_drawSizeX);
    px = (float)((double)px + advX * adv);
    py = (float)((double)py - advY * adv);
  }
}

String c_MyApp::p_rstr(int value, int digits, String pad) {
  if (digits < 1) return String();
  String s;
  for (int i = 0; i <= digits; ++i) s += pad;
  s += String(value);
  if (s.Length() <= digits) return s;
  return s.Slice(s.Length() - digits);
}

String c_MyApp::p_rstr2(int value, String pad) { return p_rstr(value, 10, pad); }
