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

}  // namespace

Array<String> vx_Quorvex_BuildCreditText() {
  Array<String> text(49);
  for (int i = 0; i < 49; ++i) text[i] = String(kCredits[i]);
  return text;
}

void c_MyApp::p_CreditBox() {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  const float t = (float)m_creditsSlide;
  const float k = 30 - t;
  const float alpha = t / 30;

  // 1. The grid.
  const float s = W / 12 > H / 12 ? W / 12 : H / 12;
  const int c = (int)(W / s), r = (int)(H / s);
  const float x0 = W / 2 - c * s / 2, y0 = H / 2 - r * s / 2;
  const float d = t < 20 ? (t / 20) * s : s;
  p_ResetDraw();
  p_Alpha(alpha);

  // 2. Cells fly in from outside, the outer ones fastest.
  for (int i = 0; i <= c; ++i) {
    for (int j = 0; j <= r; ++j) {
      int oi = i - c / 2, oj = j - r / 2;
      if (oi < 1) oi -= 1;
      if (oj < 1) oj -= 1;
      const float x = k * oi * std::abs(oi) + i * s + x0 - d / 2;
      const float y = k * oj * std::abs(oj) + j * s + y0 - d / 2;
      const bool edge = i == 0 || i == c || j == 0 || j == r;
      if (edge)
        p_SetCol(0, 0, 0, kNotGiven);
      else
        p_SetCol(255, 255, 255, kNotGiven);
      p_Rect(x, y, d + 1, d + 1);
      if (!edge) {
        p_SetCol(128, 128, 128, kNotGiven);
        if (j == r - 1 && i == c - 3) {
          // The band's last cell; on a narrow screen (6 columns or fewer) it
          // is also its first, and starts inside the cell.
          p_Rect(i <= 3 ? x + 2 : x - 6, y + 2, d + 4, d - 4);
        } else if (j == r - 1 && i > 3 && i < c - 2) {
          // The band along the second row from the bottom.
          p_Rect(x - 6, y + 2, d + 24, d - 4);
        } else {
          p_Rect(x + 2, y + 2, d - 4, d - 4);
        }
        continue;
      }
      const bool corner = (i == 0 || i == c) && (j == 0 || j == r);
      if (corner) continue;
      const float u = 512.0f / (c - 2) * (i - 1), v = 512.0f / (r - 2) * (j - 1);
      const int A = Clamp255(u), B = Clamp255(512 - u), C = Clamp255(v), D = Clamp255(512 - v);
      const int E = Clamp255(255.0f / (c - 2) * (i - 1));
      if (j == 0) {
        p_SetCol((float)A, (float)B, 0, kNotGiven);
        p_Rect(x + 8, y, d - 16, d);
      } else if (j == r) {
        p_SetCol((float)E, (float)E, (float)E, kNotGiven);
        p_Rect(x + 8, y, d - 16, d);
      } else if (i == 0) {
        p_SetCol(0, (float)D, (float)C, kNotGiven);
        p_Rect(x, y + 8, d, d - 16);
      } else {
        p_SetCol((float)D, 0, (float)C, kNotGiven);
        p_Rect(x, y + 8, d, d - 16);
      }
    }
  }

  // 3. The test-card circle.
  p_SetCol(255, 255, 255, alpha);
  p_DrawImg(kImgTestCard, W / 2, H / 2 - 24 * k, 0);

  // 4. Credit lines scroll up and fade toward the window's edges; up or down
  // speeds them in the same direction.
  m_creditScroll -= 0.3f;
  if (Held(this, kCtrlDown) || Held(this, kCtrlUp)) m_creditScroll -= 1.5f;
  if (m_creditScroll < -16) {
    m_creditScroll += 16;
    m_creditLine += 1;
  }
  const int count = vx_Quorvex_CreditText.Length();
  for (int n = -3; n <= 4 && count > 0; ++n) {
    int entry = (n + m_creditLine) % count;
    if (entry < 0) entry += count;
    float a = std::fabs(16 * n + m_creditScroll) / 40 - 0.3f;
    p_SetCol(255, 255, 255, a < 0 ? 1 : a > 1 ? 0 : 1 - a);
    p_Text(W / 2 + 24, 16 * n + H / 2 - 24 * k + m_creditScroll, vx_Quorvex_CreditText[entry],
           0.8f, 0.8f);
  }

  // 5. The title logo on the band.
  p_SetSize(0.4f, kNotGiven);
  p_SetCol(255, 255, 255, alpha);
  p_DrawImg(kImgTitleLogo, W / 2, 4 * k + (r - 1) * s + y0, 0);

  // 6. Four corner dials.
  p_ResetDraw();
  p_Alpha(alpha);
  const float left = 1.5f * s + x0 - 6 * k, right = (c - 1.5f) * s + x0 + 6 * k;
  const float top = 1.5f * s + y0 - 3 * k, bottom = (r - 1.5f) * s + y0 + 3 * k;
  Dial(this, left, top, d);
  Figures(this, left, top, vx_graphics_DeviceWidth(), vx_graphics_DeviceHeight(), m_updateRate);
  Dial(this, right, top, d);
  Figures(this, right, top, (int)vx_Quorvex_jscrw, (int)vx_Quorvex_jscrh, m_renderRate);
  Dial(this, left, bottom, d);
  p_DrawImg(kImgButtons, left, bottom, 12);
  Dial(this, right, bottom, d);
  p_SetSize(0.3f, kNotGiven);
  p_DrawImg(kImgStudioLogo, right, bottom, 0);
  p_ResetDraw();

  // 7. Any press, or fire, closes the panel; it slides out over 30 updates.
  if (m_mouseDown > 0 && m_tapLock == 0) {
    m_tapLock = 1;
    m_showCredits = 0;
    p_PlaySFX(kSfxClick, 1, 1, 0);
  }
  if ((Held(this, kCtrlR1) || Held(this, kCtrlFire) || Held(this, kCtrlButton2)) && m_keyLock == 0) {
    m_keyLock = 1;
    m_showCredits = 0;
    p_PlaySFX(kSfxClick, 1, 1, 0);
  }
}
