// What the game remembers between runs: the options, the earned badges and
// the three score tables as one line of "|"-separated integers, each section
// followed by its checksum so that a damaged section is reset on its own.
// The file around the text is the host's.
#include <cstdint>

#include "game/myapp.h"

namespace {

// Checksums add with 32-bit wrap-around, like the values they guard.
int32_t Wrap(int64_t v) { return (int32_t)(uint32_t)(uint64_t)v; }

// A field read the way atoi reads it: at most 63 characters, each cut to a
// byte, leading white space and a sign, then digits up to the first other
// character; 0 when there are none. Overlong numbers wrap instead of
// overflowing.
int ReadField(const String& s) {
  const int n = s.Length() < 63 ? s.Length() : 63;
  int i = 0;
  auto at = [&s](int k) { return (int)(s[k] & 0xff); };
  while (i < n && (at(i) == ' ' || (at(i) >= 9 && at(i) <= 13))) ++i;
  bool negative = false;
  if (i < n && (at(i) == '-' || at(i) == '+')) negative = at(i++) == '-';
  uint32_t value = 0;
  while (i < n && at(i) >= '0' && at(i) <= '9') value = value * 10u + (uint32_t)(at(i++) - '0');
  return (int)(negative ? 0u - value : value);
}

int32_t TableSum(const c_MyApp& app, int t) {
  int64_t sum = 0;
  for (int k = 0; k < 10; ++k) {
    sum = Wrap(sum + (int64_t)(k + 4) * app.m_hiScores[10 * t + k]);
    sum = Wrap(sum + (int64_t)(t + k + 3) * app.m_hiScores[10 * t + k + kLatestTen]);
  }
  return (int32_t)sum;
}

}  // namespace

String c_MyApp::p_SavePayload() {
  String text;
  int64_t optSum = 0;
  for (int i = 0; i < kOptCount; ++i) {
    text += String(m_opt[i]) + String("|");
    optSum = Wrap(optSum + (int64_t)i * m_opt[i]);
  }
  text += String((int)optSum) + String("|");

  int64_t badgeSum = 0;
  for (int g = 0; g < 8; ++g) {
    uint32_t word = 0;
    for (int b = 0; b < 32; ++b)
      if (m_badges[32 * g + b]) word |= 1u << b;
    text += String((int)(int32_t)word) + String("|");
    badgeSum = Wrap(badgeSum + (int32_t)word);
  }
  text += String((int)badgeSum) + String("|");

  for (int t = 0; t < 3; ++t) {
    for (int k = 0; k < 10; ++k) {
      text += String(m_hiScores[10 * t + k]) + String("|");
      text += String(m_hiScores[10 * t + k + kLatestTen]) + String("|");
    }
    text += String((int)TableSum(*this, t)) + String("|");
  }
  return text;
}

void c_MyApp::p_Save() {
  const String payload = p_SavePayload();
  if (vx_Quorvex_DebugMode == 1) vxPrint(payload);
  vx_app_SaveState(payload);
}

void c_MyApp::p_Load() { p_LoadPayload(vx_app__game ? vx_app__game->LoadState() : String()); }

void c_MyApp::p_LoadPayload(String text) {
  if (vx_Quorvex_DebugMode == 1) vxPrint(text);
  // An empty text is no saved state: no section is read.
  Array<String> f = text.Length() > 0 ? text.Split(String("|")) : Array<String>();
  const int n = f.Length();
  int p = 0;

  if (n >= kOptCount + 1) {
    int64_t sum = 0;
    for (int i = 0; i < kOptCount; ++i) {
      m_opt[i] = ReadField(f[i]);
      sum = Wrap(sum + (int64_t)i * m_opt[i]);
    }
    if ((int32_t)sum == ReadField(f[kOptCount])) {
      vxPrint(String("Settings Loaded"));
    } else {
      vxPrint(String("Settings Checksum Invalid"));
      for (int i = 0; i < kOptCount; ++i) m_opt[i] = 0;
      m_opt[kOptSound] = kSoundAll;
    }
    p = kOptCount + 1;
  }

  // Limits hold whatever was read, including nothing.
  if (m_opt[kOptPadX] < 64) m_opt[kOptPadX] = 64;
  if (m_opt[kOptPadY] < 64) m_opt[kOptPadY] = 64;
  if (m_opt[kOptPadSize] < 8) m_opt[kOptPadSize] = 10;
  if (m_opt[kOptOverscan] < 1) m_opt[kOptOverscan] = 64;
  if (vx_Quorvex_isOuya == 1) {
    vx_Quorvex_overscan = (float)m_opt[kOptOverscan];
  } else {
    m_opt[kOptOverscan] = 1;
    vx_Quorvex_overscan = 0;
  }

  if (p + 8 < n) {
    int64_t sum = 0;
    for (int g = 0; g < 8; ++g) {
      const uint32_t word = (uint32_t)ReadField(f[p + g]);
      for (int b = 0; b < 32; ++b) m_badges[32 * g + b] = ((word >> b) & 1u) != 0;
      sum = Wrap(sum + (int32_t)word);
    }
    if ((int32_t)sum == ReadField(f[p + 8])) {
      vxPrint(String("Badges Loaded"));
    } else {
      vxPrint(String("Badge Checksum Invalid"));
      for (int i = 0; i < 256; ++i) m_badges[i] = false;
    }
    p += 9;
  }

  for (int t = 0; t < 3; ++t) {
    if (!(p + 20 < n)) break;  // a short text skips this table and the rest
    for (int k = 0; k < 10; ++k) {
      m_hiScores[10 * t + k] = ReadField(f[p + 2 * k]);
      m_hiScores[10 * t + k + kLatestTen] = ReadField(f[p + 2 * k + 1]);
    }
    if (TableSum(*this, t) == ReadField(f[p + 20])) {
      vxPrint(String("Highscore ") + String(t) + String(" Loaded"));
    } else {
      vxPrint(String("Highscore ") + String(t) + String(" Checksum Invalid"));
      for (int k = 0; k < 10; ++k) {
        m_hiScores[10 * t + k] = 0;
        m_hiScores[10 * t + k + kLatestTen] = 0;
      }
    }
    p += 21;
  }
}
