// The credits panel: a television test card that assembles itself from flying
// cells, a short window of scrolling credit lines fading toward its edges, the
// title logo on the band and four dials with live screen and rate figures.
#include <cmath>
#include <cstdlib>

#include "framework/framework.h"
#include "game/helpers.h"

namespace {

// Entries in screen order; the list wraps after the last one.
const char* const kCredits[49] = {
    "",
    "A Game by",
    "The Quorvex developers",
    "quorvex.example",
    "",
    "-=-=-",
    "",
    "Developed using",
    "C++ with GLFW and OpenGL",
    "quorvex.example/source",
    "",
    "-=-=-",
    "",
    "Graphics",
    "",
    "Most graphics by",
    "our own asset generator",
    "",
    "Font: Quorvex Pixel",
    "The Quorvex developers",
    "Lowercase added by",
    "The Quorvex developers",
    "",
    "",
    "-=-=-",
    "",
    "Audio",
    "",
    "Sound and Music by",
    "our own synthesiser",
    "C++",
    "OpenAL Soft",
    "stb_vorbis",
    "libvorbis",
    "or whatever else",
    "is handy!",
    "",
    "-=-=-",
    "",
    "Thanks to",
    "our play testers",
    "everyone who filed an issue",
    "everyone who sent a patch",
    "our friends and families",
    "you, for playing",
    "and everyone else",
    "quorvex.example/community",
    "",
    "-=-=-",
};

int Clamp255(float v) { return Clamp((int)v, 0, 255); }

// A dial: white rim, grey face.
void Dial(c_MyApp* app, float x, float y, float radius) {
  app->p_SetCol(255, 255, 255, kNotGiven);
  app->p_Oval(x, y, radius, radius);
  app->p_SetCol(128, 128, 128, kNotGiven);
  app->p_Oval(x, y, radius - 3, radius - 3);
  app->p_SetCol(255, 255, 255, kNotGiven);
}

void Figures(c_MyApp* app, float x, float y, int a, int b, int c) {
  app->p_Text(x, y - 16, String(a), 0.8f, 0.8f);
  app->p_Text(x, y, String(b), 0.8f, 0.8f);
  app->p_Text(x, y + 16, String(c), 0.8f, 0.8f);
}

// The test card laid over the screen: square cells of side s, c + 1 columns
// by r + 1 rows from (x0, y0), each drawn d wide while the panel slides in
// (k is how far it still has to go, alpha how opaque it is).
struct Card {
  float W, H, k, alpha, s;
  int c, r;
  float x0, y0, d;
};

// 1. The grid of the card for a slide-in counter t of 0..30.
Card MakeCard(float t) {
  Card g;
  g.W = vx_Quorvex_jscrw;
  g.H = vx_Quorvex_jscrh;
  g.k = 30 - t;
  g.alpha = t / 30;
  g.s = g.W / 12 > g.H / 12 ? g.W / 12 : g.H / 12;
  g.c = (int)(g.W / g.s);
  g.r = (int)(g.H / g.s);
  g.x0 = g.W / 2 - g.c * g.s / 2;
  g.y0 = g.H / 2 - g.r * g.s / 2;
  g.d = t < 20 ? (t / 20) * g.s : g.s;
  return g;
}

// 2. An inner cell: white with a grey face, or a piece of the grey band
// along the second row from the bottom.
void InnerCell(c_MyApp* app, const Card& g, int i, int j, float x, float y) {
  const float d = g.d;
  app->p_SetCol(128, 128, 128, kNotGiven);
  if (j == g.r - 1 && i == g.c - 3) {
    // The band's last cell; on a narrow screen (6 columns or fewer) it
    // is also its first, and starts inside the cell.
    app->p_Rect(i <= 3 ? x + 2 : x - 6, y + 2, d + 4, d - 4);
  } else if (j == g.r - 1 && i > 3 && i < g.c - 2) {
    app->p_Rect(x - 6, y + 2, d + 24, d - 4);
  } else {
    app->p_Rect(x + 2, y + 2, d - 4, d - 4);
  }
}

// 2. An edge cell (not a corner): the colour ramps of the card's border,
// red to green along the top, grey along the bottom, blue-green down the
// left and blue-red down the right.
void EdgeCell(c_MyApp* app, const Card& g, int i, int j, float x, float y) {
  const float d = g.d;
  const int c = g.c, r = g.r;
  const float u = 512.0f / (c - 2) * (i - 1), v = 512.0f / (r - 2) * (j - 1);
  const int A = Clamp255(u), B = Clamp255(512 - u), C = Clamp255(v), D = Clamp255(512 - v);
  const int E = Clamp255(255.0f / (c - 2) * (i - 1));
  if (j == 0) {
    app->p_SetCol((float)A, (float)B, 0, kNotGiven);
    app->p_Rect(x + 8, y, d - 16, d);
  } else if (j == r) {
    app->p_SetCol((float)E, (float)E, (float)E, kNotGiven);
    app->p_Rect(x + 8, y, d - 16, d);
  } else if (i == 0) {
    app->p_SetCol(0, (float)D, (float)C, kNotGiven);
    app->p_Rect(x, y + 8, d, d - 16);
  } else {
    app->p_SetCol((float)D, 0, (float)C, kNotGiven);
    app->p_Rect(x, y + 8, d, d - 16);
  }
}

// 2. Cells fly in from outside, the outer ones fastest.
void FlyingCells(c_MyApp* app, const Card& g) {
  const float s = g.s, k = g.k, d = g.d;
  const int c = g.c, r = g.r;
  for (int i = 0; i <= c; ++i) {
    for (int j = 0; j <= r; ++j) {
      int oi = i - c / 2, oj = j - r / 2;
      if (oi < 1) oi -= 1;
      if (oj < 1) oj -= 1;
      const float x = k * oi * std::abs(oi) + i * s + g.x0 - d / 2;
      const float y = k * oj * std::abs(oj) + j * s + g.y0 - d / 2;
      const bool edge = i == 0 || i == c || j == 0 || j == r;
      if (edge) app->p_SetCol(0, 0, 0, kNotGiven);
      else app->p_SetCol(255, 255, 255, kNotGiven);
      app->p_Rect(x, y, d + 1, d + 1);
      const bool corner = (i == 0 || i == c) && (j == 0 || j == r);
      if (!edge) InnerCell(app, g, i, j, x, y);
      else if (!corner) EdgeCell(app, g, i, j, x, y);
    }
  }
}

// 4. Credit lines scroll up and fade toward the window's edges; up or down
// speeds them in the same direction.
void CreditLines(c_MyApp* app, const Card& g) {
  app->m_creditScroll -= 0.3f;
  if (Held(app, kCtrlDown) || Held(app, kCtrlUp)) app->m_creditScroll -= 1.5f;
  if (app->m_creditScroll < -16) {
    app->m_creditScroll += 16;
    app->m_creditLine += 1;
  }
  const int count = vx_Quorvex_CreditText.Length();
  for (int n = -3; n <= 4 && count > 0; ++n) {
    int entry = (n + app->m_creditLine) % count;
    if (entry < 0) entry += count;
    float a = std::fabs(16 * n + app->m_creditScroll) / 40 - 0.3f;
    app->p_SetCol(255, 255, 255, a < 0 ? 1 : a > 1 ? 0 : 1 - a);
    app->p_Text(g.W / 2 + 24, 16 * n + g.H / 2 - 24 * g.k + app->m_creditScroll,
                vx_Quorvex_CreditText[entry], 0.8f, 0.8f);
  }
}

// 6. Four corner dials: the device size and update rate, the virtual size
// and render rate, the gear, the studio logo.
void CornerDials(c_MyApp* app, const Card& g) {
  const float k = g.k, s = g.s, d = g.d;
  app->p_ResetDraw();
  app->p_Alpha(g.alpha);
  const float left = 1.5f * s + g.x0 - 6 * k, right = (g.c - 1.5f) * s + g.x0 + 6 * k;
  const float top = 1.5f * s + g.y0 - 3 * k, bottom = (g.r - 1.5f) * s + g.y0 + 3 * k;
  Dial(app, left, top, d);
  Figures(app, left, top, vx_graphics_DeviceWidth(), vx_graphics_DeviceHeight(), app->m_updateRate);
  Dial(app, right, top, d);
  Figures(app, right, top, (int)vx_Quorvex_jscrw, (int)vx_Quorvex_jscrh, app->m_renderRate);
  Dial(app, left, bottom, d);
  app->p_DrawImg(kImgButtons, left, bottom, 12);
  Dial(app, right, bottom, d);
  app->p_SetSize(0.3f, kNotGiven);
  app->p_DrawImg(kImgStudioLogo, right, bottom, 0);
  app->p_ResetDraw();
}

// 7. Any press, or fire, closes the panel; it slides out over 30 updates.
void CloseOnPress(c_MyApp* app) {
  if (app->m_mouseDown > 0 && app->m_tapLock == 0) {
    app->m_tapLock = 1;
    app->m_showCredits = 0;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  if (AnyHeld(app, {kCtrlR1, kCtrlFire, kCtrlButton2}) && app->m_keyLock == 0) {
    app->m_keyLock = 1;
    app->m_showCredits = 0;
    app->p_PlaySFX(kSfxClick, 1, 1, 0);
  }
}

}  // namespace

Array<String> vx_Quorvex_BuildCreditText() {
  Array<String> text(49);
  for (int i = 0; i < 49; ++i) text[i] = String(kCredits[i]);
  return text;
}

void c_MyApp::p_CreditBox() {
  // 1. The grid.
  const Card card = MakeCard((float)m_creditsSlide);
  p_ResetDraw();
  p_Alpha(card.alpha);

  // 2. Cells fly in from outside, the outer ones fastest.
  FlyingCells(this, card);

  // 3. The test-card circle.
  p_SetCol(255, 255, 255, card.alpha);
  p_DrawImg(kImgTestCard, card.W / 2, card.H / 2 - 24 * card.k, 0);

  // 4. Credit lines.
  CreditLines(this, card);

  // 5. The title logo on the band.
  p_SetSize(0.4f, kNotGiven);
  p_SetCol(255, 255, 255, card.alpha);
  p_DrawImg(kImgTitleLogo, card.W / 2, 4 * card.k + (card.r - 1) * card.s + card.y0, 0);

  // 6. Four corner dials.
  CornerDials(this, card);

  // 7. Any press, or fire, closes the panel.
  CloseOnPress(this);
}
