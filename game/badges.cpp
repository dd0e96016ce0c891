// Badges: the names and descriptions table and the pop-up stack that slides a
// notice in from the left for each newly shown badge. Nothing on the desktop
// awards one; queuing a notice means giving a free slot a number and age 1.
#include "game/myapp.h"

namespace {

constexpr int kShownSlots = 13;
constexpr float kNoticeW = 160;

}  // namespace

String c_MyApp::p_BadgeID(int n) {
  if (n == 0) return String("Test Badge|This is a Test Badge which has no purpose.");
  return String();
}

String c_MyApp::p_BadgeName(int n) {
  String text = p_BadgeID(n);
  int bar = text.Find(String("|"), 0);
  return bar < 0 ? String() : text.Slice(0, bar);
}

String c_MyApp::p_BadgeDetail(int n) {
  String text = p_BadgeID(n);
  int bar = text.Find(String("|"), 0);
  return bar < 0 ? String() : text.Slice(bar + 1);
}

void c_MyApp::p_ShowBadges() {
  p_ResetDraw();
  const float H = vx_Quorvex_jscrh;
  for (int i = 0; i < kShownSlots; ++i) {
    int t = m_popTime[i];
    if (t < 1) continue;
    t += 1;
    m_popTime[i] = t;
    // In at 16 pixels an update, out again after 230.
    float x = 16.0f * t - kNoticeW;
    if (t > 230) x = 16.0f * (240 - t) - kNoticeW;
    if (x > 0) x = 0;
    if (t > 240) m_popTime[i] = 0;  // still drawn this update
    float y = H - 34.0f * (i + 1);
    int badge = m_popBadge[i];
    p_SetCol(0, 0, 80, 0.8f);
    p_Rect(x, y, kNoticeW, 32);
    p_SetCol(255, 255, 255, 1);
    p_SetSize(1, kNotGiven);
    p_Text(x + 16, y + 4, p_BadgeName(badge), 0, 0);
    if (badge >= 0 && badge <= 63) {
      p_SetSize(0.5f, kNotGiven);
      p_DrawImg(kImgBadges, x + 144, y + 16, (float)badge);
      p_SetSize(1, kNotGiven);
    }
  }
}

// Nothing opens this panel on the desktop; it is a plain backdrop so the
// badge flags have somewhere to be shown when a screen does.
void c_MyApp::p_BadgesBox() {
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  p_ResetDraw();
  p_SetCol(255, 150, 10, 0.85f);
  p_Rect(0, 0, W, H);
  p_SetCol(120, 20, 20, 0.85f);
  p_Rect(32, 32, W - 64, H - 64);
  p_SetCol(255, 255, 255, 1);
  p_SetSize(2, kNotGiven);
  p_Text(0.5f * W, 56, String("Badges"), 1, 1);
  p_ResetDraw();
}
