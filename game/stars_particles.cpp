// The game screen's three small effects: the starfield that streams out of
// the centre and swirls with the ship, the particle pool of sparks, chunks and
// floating numbers, and the glow sprite (a picture plus its additive halo).
//
// All state lives in fixed float arrays of c_MyApp (10 floats a record, a
// record is free when its first value is 0); nothing is allocated per update
// except the text of a floating number. Random numbers come from the shared
// generator in the order written, so effects replay with the game.
#include <cmath>

#include "framework/random.h"
#include "game/helpers.h"

namespace {

// The last record of a pool, kept inside its array whatever the limit says.
int LastRecord(int limit, int records) { return limit < records ? limit : records - 1; }

// Particle colours by index; everything else is a dim grey.
void PaletteColour(int index, float* rgb) {
  static const float kPalette[9][3] = {
      {1.0f, 0.1f, 0.1f}, {1.0f, 0.5f, 0.1f}, {1.0f, 1.0f, 0.1f},
      {0.1f, 1.0f, 0.1f}, {0.1f, 1.0f, 1.0f}, {0.1f, 0.1f, 1.0f},
      {0.5f, 0.1f, 1.0f}, {1.0f, 0.1f, 0.5f}, {1.0f, 1.0f, 1.0f},
  };
  for (int ch = 0; ch < 3; ++ch)
    rgb[ch] = (index >= 1 && index <= 9 ? kPalette[index - 1][ch] : 0.3f) * 255.0f;
}

// A star that left the screen starts again at the centre; now and then its
// return launches the bonus orb (play cancels it again below level 4).
void RespawnStar(c_MyApp& app, float* s) {
  s[kStarX] = vx_Quorvex_jscrw / 2.0f;
  s[kStarY] = vx_Quorvex_jscrh / 2.0f;
  s[kStarSpeed] = 0.2f + 0.6f * vx_random_Rnd();
  s[kStarDirection] = 360.0f * vx_random_Rnd();
  s[kStarFrame] = std::floor(255.99f * vx_random_Rnd());
  if (vx_random_Rnd() * 32.0f < 1.0f && app.m_bonusTime == 0) {
    app.m_bonusTime = 1;
    app.m_bonusAngle = (int)(45.0f + 270.0f * vx_random_Rnd());
  }
}

}  // namespace

void c_MyApp::p_ResetStars(int n) {
  if (n >= 1 && n <= 499) {
    m_starCount = n;
  } else {
    n = m_starCount;
  }
  if (n < 0) return;
  n = LastRecord(n, kStarRecords);
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  for (int i = 0; i <= n; ++i) {
    float* s = &m_stars[i * kRecordFloats];
    s[kStarFrame] = std::floor(255.99f * vx_random_Rnd());
    s[kStarX] = W / 2.0f;
    s[kStarY] = H / 2.0f;
    s[kStarSpeed] = 0.2f + 0.6f * vx_random_Rnd();
    s[kStarSpin] = 360.0f * vx_random_Rnd();
    s[kStarSpinRate] = vx_random_Rnd() - 0.5f;
    s[kStarDirection] = 360.0f * vx_random_Rnd();
  }
}

void c_MyApp::p_DoStars(float ignored, float turn) {
  (void)ignored;
  p_ResetDraw();
  // The stars rush during a level's lead-in and lead-out.
  float k = 0.3f;
  if (m_phase != 0) {
    k = (float)std::abs(m_phase) / 20.0f + 0.3f;
    if (k < 0.3f) k = 0.3f;
    if (k > 7.0f) k = 7.0f;
  }
  const float m = vx_Quorvex_overscan + 16.0f;
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  const int last = LastRecord(m_starCount, kStarRecords);
  for (int i = 0; i <= last; ++i) {
    float* s = &m_stars[i * kRecordFloats];
    s[kStarDirection] += turn;
    s[kStarX] += k * s[kStarSpeed] * Sind(s[kStarDirection]);
    s[kStarY] -= k * s[kStarSpeed] * Cosd(s[kStarDirection]);
    // Each edge test sees the star where the previous one left it.
    if (s[kStarX] < -m) RespawnStar(*this, s);
    if (s[kStarX] > W + m) RespawnStar(*this, s);
    if (s[kStarY] < -m) RespawnStar(*this, s);
    if (s[kStarY] > H + m) RespawnStar(*this, s);
    s[kStarSpin] += s[kStarSpinRate];
    p_Alpha(s[kStarSpeed] * 0.5f);
    p_DrawImg(kImgParts, s[kStarX], s[kStarY], s[kStarFrame]);
  }
  p_ResetDraw();
}

void c_MyApp::p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed) {
  if (angle == kNotGiven) angle = 360.0f * vx_random_Rnd();
  if (speed == kNotGiven) speed = 5.0f + 5.0f * vx_random_Rnd();
  if (m_maxParticles < 0) return;
  for (int i = LastRecord(m_maxParticles, kParticleRecords); i >= 0; --i) {
    float* p = &m_particles[i * kRecordFloats];
    if (p[kParticleKind] != 0.0f) continue;
    p[kParticleKind] = (float)kind;
    p[kParticleX] = x;
    p[kParticleY] = y;
    p[kParticleVX] = speed * Sind(angle);
    p[kParticleVY] = -speed * Cosd(angle);
    p[kParticleRot] = 360.0f * vx_random_Rnd();
    p[kParticleSpin] = 16.0f * vx_random_Rnd() - 8.0f;
    if (kind == kChunk) {  // chunks fly nose first and do not tumble
      p[kParticleSpin] = 0.0f;
      p[kParticleRot] = angle;
    }
    p[kParticleLife] = 0.7f + 0.6f * vx_random_Rnd();
    p[kParticleColour] = (float)colour;
    p[kParticleFrame] = std::floor(255.99f * vx_random_Rnd());
    return;
  }
  // a full pool loses the particle
}

void c_MyApp::p_DoParticles() {
  p_ResetDraw();
  if (m_maxParticles >= 0) {
    const int last = LastRecord(m_maxParticles, kParticleRecords);
    float rgb[3];
    for (int i = 0; i <= last; ++i) {
      float* p = &m_particles[i * kRecordFloats];
      if (p[kParticleKind] <= 0.0f) continue;
      const int kind = (int)p[kParticleKind];
      p[kParticleX] += p[kParticleVX];
      p[kParticleY] += p[kParticleVY];
      p[kParticleRot] += p[kParticleSpin];
      p_SetRot(kind == kFloatingNumber ? 0.0f : p[kParticleRot]);  // drawn turned by -rotation
      if (kind == 2) {
        p[kParticleVX] *= 0.95f;
        p[kParticleVY] += 0.2f;
      }
      float& life = p[kParticleLife];
      p_Alpha(life < 1.0f ? life : 1.0f);
      p_SetSize(1.0f, kNotGiven);
      PaletteColour((int)p[kParticleColour], rgb);
      p_SetCol(rgb[0], rgb[1], rgb[2], kNotGiven);
      if (kind >= 1 && kind <= 3) {
        p_DrawImg(kImgParts, p[kParticleX], p[kParticleY], p[kParticleFrame]);
      } else if (kind == kChunk) {
        p[kParticleVX] *= 0.96f;
        p[kParticleVY] *= 0.96f;
        p_SetCol(255.0f, 255.0f, 255.0f, kNotGiven);
        p_SetSize(0.75f, kNotGiven);
        p_DrawGlow(kImgSprites, p[kParticleX], p[kParticleY], (int)p[kParticleColour] + 8);
      } else if (kind == kFloatingNumber) {
        p_Text(p[kParticleX], p[kParticleY], String((int)p[kParticleFrame]), 1.0f, 1.0f);
      }
      life -= 0.01f;
      if (kind == kChunk) life -= 0.01f;
      if (life < 0.0f) p[kParticleKind] = 0.0f;
    }
  }
  p_ResetDraw();
}

void c_MyApp::p_DrawGlow(int image, float x, float y, int frame) {
  p_DrawImg(image, x, y, (float)frame);
  const float sizeX = m_drawSizeX, sizeY = m_drawSizeY, alpha = m_drawAlpha;
  p_SetSize(sizeX * 1.75f, sizeY * 1.75f);
  p_Alpha(alpha * 0.5f);
  p_Blend(3);
  p_DrawImg(image + kGlowOffset, x, y,
            (float)frame);  // dropped like any record when the list is full
  p_SetSize(sizeX, sizeY);
  p_Alpha(alpha);
  p_Blend(1);
}
