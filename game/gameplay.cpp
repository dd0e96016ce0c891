// The game itself: one update of play (board, blobs, ship, orb, shots, meters),
// the new-level set-up, and the two pool helpers p_PutBlob and p_Shoot.
//
// Everything here records drawing into the draw list and takes its random
// numbers from the one shared generator, in a fixed order, so that the same
// inputs from the same seed replay the same game. Stars, particles and the glow
// sprite live in stars_particles.cpp, the stick and turn rule in steering.cpp,
// the banner and score tables in gameover.cpp, track changes in music/glue.cpp.
#include <cmath>

#include "framework/random.h"
#include "game/helpers.h"

namespace {

// A blob that has landed (drop offset above -5) can be hit and can spread.
inline bool Landed(float drop) { return drop > -5.0f; }

// Backdrop geometry of this update.
struct Geometry {
  float W, H, c, u, ox, oy, R;
};

Geometry MakeGeometry() {
  Geometry g;
  g.W = vx_Quorvex_jscrw;
  g.H = vx_Quorvex_jscrh;
  g.c = (g.W < g.H ? g.W : g.H) / 35.0f;
  g.u = g.c / 22.0f;
  g.ox = g.W / 2.0f - 15.75f * g.c;
  g.oy = g.H / 2.0f - 15.75f * g.c;
  g.R = 14.4f * g.c;
  return g;
}

const char* const kTrackNames[5] = {"Advocator", "Diagram", "Eccentricity", "Feelings", "Keyboard"};

// Takes the level one step up and drops its blobs in: kinds get tougher and
// faster with the level, and each game type has its own count and first level.
void NewLevel(c_MyApp& app) {
  app.m_level += 1;
  if (app.m_gameType == 2 && app.m_level < 3) app.m_level = 3;
  if (app.m_gameType == 3 && app.m_level < 6) app.m_level = 6;

  // A new backdrop that is neither too dark nor too bright.
  float r, g, b;
  do {
    r = (float)(app.p_Rand(0, 4) * 20);
    g = (float)(app.p_Rand(0, 4) * 20);
    b = (float)(app.p_Rand(0, 4) * 20);
  } while (!(r + g + b > 40.0f && r + g + b < 100.0f));
  if (app.m_level == 1) {
    r = 0.0f;
    g = 0.0f;
    b = 80.0f;
  }
  app.m_bgTargetR = r;
  app.m_bgTargetG = g;
  app.m_bgTargetB = b;

  app.m_phase = 90;
  for (int y = 0; y < kBoard; ++y)
    for (int x = 0; x < kBoard; ++x) {
      float* cell = &app.m_grid[CellIndex(x, y)];
      for (int f = 0; f < kRecordFloats; ++f) cell[f] = 0.0f;
    }

  int n = app.m_gameType == 3 ? 20 : (app.m_gameType == 2 ? 12 : 8);
  for (int i = 1; i <= n; ++i) {
    int x = (int)(9.6f + 12.8f * vx_random_Rnd());
    int y = (int)(9.6f + 12.8f * vx_random_Rnd());
    int k = (int)(8.0f * vx_random_Rnd());
    int kind = 20;
    if (app.m_level >= 3 && k == 1) kind = 19;
    if (app.m_level >= 5 && k == 2) kind = 17;
    if (app.m_level >= 8 && k == 3) kind = 21;
    // Each level also carries at least one of its toughest kinds.
    if (app.m_level >= 3 && i == n - 4) kind = 19;
    if (app.m_level >= 6 && i == n - 3) kind = 17;
    if (app.m_level >= 8 && i == n - 2) kind = 21;
    app.p_PutBlob(x, y, kind);  // a taken cell keeps its blob
  }
}

// One hit on a landed blob: a point, a sound and a few sparks along the shot.
void HitBlob(c_MyApp& app, float* cell, float* shot, float spread) {
  cell[kCellStrength] = cell[kCellStrength] - 0.6f;
  shot[kShotKind] = 0.0f;
  app.m_score += 1;
  int sound = kSfxHit + (int)(2.9f * vx_random_Rnd());
  float rate = 0.8f + 0.4f * vx_random_Rnd();
  app.p_PlaySFX(sound, rate);
  int colour = ((int)cell[kCellKind] - 1) % 8;
  for (int p = 0; p < 5; ++p) {
    float dir = shot[kShotHeading] + 2.0f * spread * vx_random_Rnd() - spread;
    app.p_ThrowParticle(shot[kShotX], shot[kShotY], kChunk, colour, dir, kNotGiven);
  }
}

}  // namespace

void c_MyApp::p_PutBlob(int x, int y, int kind) {
  if (!OnBoard(x, y)) return;
  float* cell = &m_grid[CellIndex(x, y)];
  if (cell[kCellKind] != 0.0f) return;
  cell[kCellKind] = (float)kind;
  cell[kCellDrop] = -60.0f;
  cell[kCellTimer] = 0.0f;
  cell[kCellStrength] = kind == 17 ? 6.0f : (kind == 21 ? 1.0f : 3.0f);
}

void c_MyApp::p_Shoot(float x, float y, float angle, float speed, int frame, int kind) {
  for (int i = kShotRecords - 1; i >= 0; --i) {
    float* s = &m_shots[i * kRecordFloats];
    if (s[kShotKind] != 0.0f) continue;
    s[kShotKind] = (float)kind;
    s[kShotX] = x;
    s[kShotY] = y;
    s[kShotVX] = Sind(angle) * speed;
    s[kShotVY] = -Cosd(angle) * speed;
    s[kShotHeading] = angle;
    s[kShotFrame] = (float)frame;
    return;
  }
  // every record in flight: the shot is lost
}

void c_MyApp::p_Game() {
  // 1. Fill and fade: the previous frame shows through at half strength.
  p_CLS2D(m_bgR, m_bgG, m_bgB, 0.5f);
  m_bgR -= (m_bgR - m_bgTargetR) / 32.0f;
  m_bgG -= (m_bgG - m_bgTargetG) / 32.0f;
  m_bgB -= (m_bgB - m_bgTargetB) / 32.0f;

  // 2. Geometry, then the turn from the stick the previous update left.
  const Geometry geo = MakeGeometry();
  const float W = geo.W, H = geo.H, c = geo.c, u = geo.u;
  const float turn = p_Turn();
  p_AnalogueControl();
  const bool paused = m_paused != 0;

  // 3. The starfield swirls with the ship's turning.
  p_ResetDraw();
  p_DoStars(0.0f, turn / 12.0f);

  // 4. Backdrop disc.
  p_SetSize(c / 8.0f, kNotGiven);
  p_SetCol(255.0f, 255.0f, 255.0f, kNotGiven);
  p_Alpha(0.4f);
  p_DrawImg(kImgBackdrop, W / 2.0f, H / 2.0f, 0.0f);

  // 5. Rings: renewed during the first part of a lead-in, flung apart in a lead-out.
  for (int j = 1; j <= 3; ++j) {
    float* ring = &m_rings[kRecordFloats * j];
    if (m_phase >= 61) {
      ring[kRingGrowth] = 0.0f;
      float spin = 0.4f + 3.1f * vx_random_Rnd();
      if (vx_random_Rnd() * 5.0f < 2.5f) spin = -spin;
      ring[kRingSpin] = spin;
      ring[kRingDivisor] = 8.5f + 11.5f * vx_random_Rnd();
      ring[kRingFrame] = std::floor(3.9f * vx_random_Rnd());
    }
    if (ring[kRingGrowth] < 1.0f) {
      ring[kRingGrowth] += 0.05f + 0.02f * vx_random_Rnd();
      if (ring[kRingGrowth] > 1.0f) ring[kRingGrowth] = 1.0f;
    }
    const float spinNow = ring[kRingSpin] * m_clock;
    float x = W / 2.0f, y = H / 2.0f;
    if (m_phase < 0) {
      x += Sind(spinNow) * 16.0f * (float)m_phase;
      y -= Cosd(spinNow) * 16.0f * (float)m_phase;
    }
    p_Alpha(0.1f);
    p_SetSize(c / ring[kRingDivisor] * ring[kRingGrowth], kNotGiven);
    p_SetRot(spinNow);  // drawn turned by -(spin x clock)
    p_DrawImg(kImgBackdrop, x, y, ring[kRingFrame]);
  }

  // 6. Board pass: every cell drops in, spreads and may burst; the disc is
  // drawn and counted.
  p_SetSize(u, kNotGiven);
  p_SetRot(0.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  p_Blend(1);
  m_blobCount = 0;
  const float baseSpread = 0.7f + 0.07f * (float)m_level;
  for (int x = 0; x < kBoard; ++x) {
    for (int y = 0; y < kBoard; ++y) {
      float* cell = &m_grid[CellIndex(x, y)];
      const float px = geo.ox + (float)x * c;
      const float py = geo.oy + (float)y * c;

      // Drop-in: a new level's blobs wait above the board until phase 20.
      if (m_phase >= 21) {
        cell[kCellDrop] = -(60.0f + 20.0f * vx_random_Rnd());
      } else if (m_phase != 20) {
        if (cell[kCellDrop] < 0.0f && !paused) cell[kCellDrop] += 1.7f + 1.6f * vx_random_Rnd();
        if (cell[kCellDrop] > 0.0f) cell[kCellDrop] = 0.0f;
      }

      // Spreading. Empty cells run the timer too and "spread" nothing, which
      // re-drops an empty neighbour; the random draws are the same either way.
      if (!paused && Landed(cell[kCellDrop])) {
        const int kind = (int)cell[kCellKind];
        float f = baseSpread;
        if (kind == 17) f *= 0.5f;
        if (kind == 20) f = 0.0f;
        if (kind == 21) f = 3.0f;
        cell[kCellTimer] += (0.7f + 1.5f * vx_random_Rnd()) * f;
        if (cell[kCellTimer] > 180.0f) {
          const int d = (int)(1.0f + 3.9f * vx_random_Rnd());
          if (d == 1) p_PutBlob(x, y - 1, kind);
          else if (d == 2) p_PutBlob(x + 1, y, kind);
          else if (d == 3) p_PutBlob(x, y + 1, kind);
          else p_PutBlob(x - 1, y, kind);
          cell[kCellTimer] = 0.0f;
        }
      }

      // Destruction: the burst of a blob broken by last update's shots.
      if (cell[kCellStrength] < 0.0f && cell[kCellKind] > 0.0f) {
        const int colour = ((int)cell[kCellKind] - 1) % 8;
        for (int p = 0; p < 4; ++p) p_ThrowParticle(px, py, kChunk, colour, kNotGiven, kNotGiven);
        cell[kCellKind] = 0.0f;
        m_score += 5;
        const int sound = kSfxBurst + (int)std::floor(1.9f * vx_random_Rnd());
        const float rate = 0.8f + 0.4f * vx_random_Rnd();
        p_PlaySFX(sound, rate);
      }

      // Drawing and counting: only the disc.
      if (cell[kCellKind] > 0.0f && InDisc(x, y)) {
        float s = Clamp((cell[kCellDrop] + 60.0f) / 60.0f, 0.05f, 1.0f);
        if (cell[kCellStrength] < 1.0f) s *= 0.5f;
        p_SetSize(s * u, kNotGiven);
        p_DrawImg(kImgSprites, px, py, cell[kCellKind] - 1.0f);
        m_blobCount += 1;
      }
    }
  }

  // 7. Level progress: lead-in 90..0, play at 0, lead-out -1..-91.
  {
    const int before = m_phase;
    if (before > 0) {
      m_phase = before - 1;
      if (m_blobCount == 0 && m_phase <= 0) m_phase -= 1;
    } else if (m_blobCount == 0) {
      m_phase -= 1;
    }
    // A phase held still (a hidden blob spreading back onto the disc during a
    // lead-out) must not repeat its event every update.
    if (m_phase != before) {
      if (m_phase == 50) {
        m_track = (m_track + 1) % 5;
        // With the procedural player in their place no music file starts.
        if (vx_Quorvex_HasMusicStream == 1) p_PlayTune(String(kTrackNames[m_track]), 1);
      }
      if (m_phase == -2 && m_level >= 1) {
        m_score += 100;
        p_PlaySFX(kSfxLevelClear, 1.0f);
      }
      if (m_phase == -20) p_PlaySFX(kSfxWhoosh, 1.0f);
      if (m_phase == -50) StopTune(*this);
    }
    if (m_blobCount == 0 && m_phase < -90) NewLevel(*this);
  }

  // 8. Orb and ship.
  float a = m_player[kShipAngle];
  if (a > 360.0f) a -= 360.0f;
  if (a < 0.0f) a += 360.0f;
  m_player[kShipAngle] = a;
  if (m_player[kShipPower] > 0.0f || m_level < 4) {
    m_bonusTime = 0;
  } else if (m_bonusTime >= 1 && !paused) {
    if (m_bonusTime < 180) m_bonusTime += 1;
    const float t = (float)m_bonusTime / 180.0f;
    const float b = (float)m_bonusAngle;
    p_SetSize(1.5f * u, kNotGiven);
    p_SetRot(8.0f * m_clock);  // spins at -8 x clock
    p_DrawGlow(kImgSprites, W / 2.0f + geo.R * t * Sind(b), H / 2.0f - geo.R * t * Cosd(b), 24);
    if (m_bonusTime > 160 && std::fabs(b - a) < 8.0f) {
      m_bonusTime = 0;
      m_player[kShipPower] = 100.0f;
      p_PlaySFX(kSfxOrb, 1.0f);
    }
  }
  if (m_gameOver == 0 && !paused) {
    a = std::fmod(a + turn, 360.0f);
    m_player[kShipAngle] = a;
  }
  const float sx = W / 2.0f + geo.R * Sind(a);
  const float sy = H / 2.0f - geo.R * Cosd(a);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  p_Blend(1);
  p_SetSize(2.0f * u, kNotGiven);
  p_SetRot(a + 180.0f);  // nose toward the centre
  if (m_gameOver == 0) {
    p_DrawGlow(kImgSprites, sx, sy, 56);
  } else {
    for (int p = 0; p < 4; ++p) {
      const int colour = (int)(2.9f * vx_random_Rnd());
      p_ThrowParticle(sx, sy, kChunk, colour, kNotGiven, kNotGiven);
    }
  }

  // 9a. Firing.
  {
    int fire = 0;
    if (m_mouseDown > 0 || p_PlayKey(kCtrlFire, 1, 0) || p_PlayKey(kCtrlButton2, 1, 0) ||
        p_PlayKey(kCtrlButton3, 1, 0) || p_PlayKey(kCtrlButton4, 1, 0))
      fire = 1;
    if (m_gameOver || m_paused || m_tapLock || m_keyLock) fire = 0;
    if (m_player[kShipFireDelay] > 0.0f) m_player[kShipFireDelay] -= 1.0f;
    if (!fire) m_player[kShipFireDelay] = 0.0f;
    // Play is phase 0. A lead-out held still by a blob spread back onto the
    // disc plays too, or the player could only watch the board fill up.
    const bool inPlay = m_phase <= 0 && m_blobCount > 0;
    if (fire && m_player[kShipFireDelay] < 1.0f && inPlay) {
      const float heading = turn * 3.0f + a + 180.0f;  // leads the turn
      if (m_player[kShipPower] > 0.0f) {
        m_player[kShipFireDelay] = 3.0f;
        m_player[kShipPower] -= 1.0f;
        if (m_player[kShipPower] < 1.0f) p_PlaySFX(kSfxPowerDown, 1.0f);
        const int frame = (int)m_player[kShipColourCycle];
        for (int side = -1; side <= 1; side += 2) {
          const float at = a + 3.5f * (float)side;
          const float speed = (10.0f + 2.9f * vx_random_Rnd()) * u;
          p_Shoot(W / 2.0f + geo.R * Sind(at), H / 2.0f - geo.R * Cosd(at), heading, speed, frame, 1);
        }
      } else {
        m_player[kShipFireDelay] = 4.0f;
        const float speed = (10.0f + 2.9f * vx_random_Rnd()) * u;
        p_Shoot(sx, sy, heading, speed, 4, 1);
      }
      m_player[kShipColourCycle] = (float)(((int)m_player[kShipColourCycle] + 1) % 8);
    }
  }

  // 9b. Shots: each damages at most one cell, its own or the first landed
  // neighbour in column order.
  p_SetSize(u, kNotGiven);
  p_SetRot(0.0f);
  p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  p_Blend(1);
  if (!paused) {
    for (int i = 0; i < kShotRecords; ++i) {
      float* s = &m_shots[i * kRecordFloats];
      if (s[kShotKind] <= 0.0f) continue;
      s[kShotX] += s[kShotVX];
      s[kShotY] += s[kShotVY];
      const int cx = (int)((s[kShotX] - geo.ox) / c);
      const int cy = (int)((s[kShotY] - geo.oy) / c);
      if (OnBoard(cx, cy) && m_grid[CellIndex(cx, cy) + kCellKind] > 0.0f &&
          Landed(m_grid[CellIndex(cx, cy) + kCellDrop])) {
        HitBlob(*this, &m_grid[CellIndex(cx, cy)], s, 16.0f);
      } else {
        for (int nx = cx - 1; nx <= cx + 1; ++nx)
          for (int ny = cy - 1; ny <= cy + 1; ++ny) {
            if (s[kShotKind] <= 0.0f || !OnBoard(nx, ny)) continue;
            float* cell = &m_grid[CellIndex(nx, ny)];
            if (cell[kCellKind] > 0.0f && Landed(cell[kCellDrop])) HitBlob(*this, cell, s, 8.0f);
          }
      }
      p_SetRot(s[kShotHeading]);  // drawn turned by -heading
      p_DrawGlow(kImgSprites, s[kShotX], s[kShotY], (int)s[kShotFrame]);
      const float x = s[kShotX], y = s[kShotY];
      if (x < -32.0f || x > W + 32.0f || y < -32.0f || y > H + 32.0f) s[kShotKind] = 0.0f;
    }
  }

  // 10. Debris.
  p_DoParticles();

  // 11. Score, meters and the game-over test.
  m_shownScore -= (m_shownScore - m_score) / 6;
  if (std::abs(m_shownScore - m_score) < 6) m_shownScore = m_score;
  if (m_hideHud == 0) {
    p_SetSize(2.0f, kNotGiven);
    p_SetRot(0.0f);
    p_SetCol(100.0f, 255.0f, 100.0f, 0.8f);
    p_Text(W / 2.0f, 16.0f, p_rstr(m_shownScore, 8, String("0")), 1.0f, 1.0f);
  }
  m_player[kShipShownPower] += (m_player[kShipPower] - m_player[kShipShownPower]) / 30.0f;

  const int d = (int)(0.6f * (float)m_blobCount);
  m_danger = d;
  float meterR = (float)(2 * d), meterG = (float)(255 - 2 * d), meterAlpha = 0.5f;
  float L = (float)(2 * d);
  if (d > 90) {
    meterR = 255.0f - std::fabs(120.0f * Sind(32.0f * m_clock));
    meterG = 0.0f;
    meterAlpha = 0.8f;
    if (d > 120 && m_gameOver == 0) {
      m_gameOver = 1;
      p_PlaySFX(kSfxGameOver, 1.0f);
      StopTune(*this);
    }
    if (d > 100) {
      if (100.0f * std::fabs(Sind(48.0f * m_clock)) > 98.0f && m_gameOver == 0) p_PlaySFX(kSfxAlarm, 1.0f);
      L = 200.0f;
      m_danger = 100;
    }
  }
  if (m_hideHud == 0) {
    const float p = m_player[kShipShownPower];
    p_SetSize(1.0f, kNotGiven);
    if (m_landscape == 1) {
      p_SetCol(255.0f, 255.0f, 255.0f, 0.5f);
      p_Rect(15.0f, H / 2.0f - 101.0f, 18.0f, 202.0f);
      p_SetCol(0.0f, 0.0f, 0.0f, 0.5f);
      p_Rect(16.0f, H / 2.0f - 100.0f, 16.0f, 200.0f);
      if (p > 0.0f) {
        p_SetCol(0.0f, 255.0f, 0.0f, 0.5f);
        p_Rect(16.0f, H / 2.0f + 100.0f - 2.0f * p, 16.0f, 2.0f * p);
      }
      p_SetCol(255.0f, 255.0f, 255.0f, 0.5f);
      p_Rect(W - 33.0f, H / 2.0f - 101.0f, 18.0f, 202.0f);
      p_SetCol(0.0f, 0.0f, 0.0f, 0.5f);
      p_Rect(W - 32.0f, H / 2.0f - 100.0f, 16.0f, 200.0f);
      if (L > 0.0f) {
        p_SetCol(meterR, meterG, 0.0f, meterAlpha);
        p_Rect(W - 32.0f, H / 2.0f + 100.0f - L, 16.0f, L);
      }
    } else {
      p_SetCol(255.0f, 255.0f, 255.0f, 0.5f);
      p_Rect(W / 2.0f - 101.0f, 31.0f, 202.0f, 18.0f);
      p_SetCol(0.0f, 0.0f, 0.0f, 0.5f);
      p_Rect(W / 2.0f - 100.0f, 32.0f, 200.0f, 16.0f);
      if (p > 0.0f) {
        p_SetCol(0.0f, 255.0f, 0.0f, 0.5f);
        p_Rect(W / 2.0f - 100.0f, 32.0f, 2.0f * p, 16.0f);
      }
      p_SetCol(255.0f, 255.0f, 255.0f, 0.5f);
      p_Rect(W / 2.0f - 101.0f, 55.0f, 202.0f, 18.0f);
      p_SetCol(0.0f, 0.0f, 0.0f, 0.5f);
      p_Rect(W / 2.0f - 100.0f, 56.0f, 200.0f, 16.0f);
      if (L > 0.0f) {
        p_SetCol(meterR, meterG, 0.0f, meterAlpha);
        p_Rect(W / 2.0f - 100.0f, 56.0f, L, 16.0f);
      }
    }
  }

  // 12. Orb chance, from level 4 or when the board is nearly full.
  if ((m_level > 3 || m_danger > 90) && m_bonusTime == 0 && m_player[kShipPower] == 0.0f) {
    if (vx_random_Rnd() * 1800.0f < 1.0f) {
      m_bonusTime = 1;
      m_bonusAngle = (int)(45.0f + vx_random_Rnd() * 270.0f);
    }
  }
}
