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

// ---- The steps of one update of play, in the order p_Game takes them ----

// 1. The backdrop eases toward the level's colour.
void FadeBackdrop(c_MyApp& app) {
  app.p_CLS2D(app.m_bgR, app.m_bgG, app.m_bgB, 0.5f);
  app.m_bgR -= (app.m_bgR - app.m_bgTargetR) / 32.0f;
  app.m_bgG -= (app.m_bgG - app.m_bgTargetG) / 32.0f;
  app.m_bgB -= (app.m_bgB - app.m_bgTargetB) / 32.0f;
}

// 4. The faint disc behind the board.
void DrawBackdropDisc(c_MyApp& app, const Geometry& geo) {
  app.p_SetSize(geo.c / 8.0f, kNotGiven);
  app.p_SetCol(255.0f, 255.0f, 255.0f, kNotGiven);
  app.p_Alpha(0.4f);
  app.p_DrawImg(kImgBackdrop, geo.W / 2.0f, geo.H / 2.0f, 0.0f);
}

// 5. One backdrop ring: a new spin, size and frame early in a lead-in, growing
// in, and pushed outward along its spin while the phase is negative.
void DrawRing(c_MyApp& app, const Geometry& geo, float* ring) {
  if (app.m_phase >= 61) {
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
  const float spinNow = ring[kRingSpin] * app.m_clock;
  float x = geo.W / 2.0f, y = geo.H / 2.0f;
  if (app.m_phase < 0) {
    x += Sind(spinNow) * 16.0f * (float)app.m_phase;
    y -= Cosd(spinNow) * 16.0f * (float)app.m_phase;
  }
  app.p_Alpha(0.1f);
  app.p_SetSize(geo.c / ring[kRingDivisor] * ring[kRingGrowth], kNotGiven);
  app.p_SetRot(spinNow);  // drawn turned by -(spin x clock)
  app.p_DrawImg(kImgBackdrop, x, y, ring[kRingFrame]);
}

// 6. Drop-in: a new level's blobs wait above the board until phase 20.
void DropIn(c_MyApp& app, float* cell, bool paused) {
  if (app.m_phase >= 21) {
    cell[kCellDrop] = -(60.0f + 20.0f * vx_random_Rnd());
  } else if (app.m_phase != 20) {
    if (cell[kCellDrop] < 0.0f && !paused) cell[kCellDrop] += 1.7f + 1.6f * vx_random_Rnd();
    if (cell[kCellDrop] > 0.0f) cell[kCellDrop] = 0.0f;
  }
}

// 6. Spreading. Empty cells run the timer too and "spread" nothing, which
// re-drops an empty neighbour; the random draws are the same either way.
void Spread(c_MyApp& app, float* cell, int x, int y, float baseSpread) {
  const int kind = (int)cell[kCellKind];
  float f = baseSpread;
  if (kind == 17) f *= 0.5f;
  if (kind == 20) f = 0.0f;
  if (kind == 21) f = 3.0f;
  cell[kCellTimer] += (0.7f + 1.5f * vx_random_Rnd()) * f;
  if (cell[kCellTimer] > 180.0f) {
    const int d = (int)(1.0f + 3.9f * vx_random_Rnd());
    if (d == 1) app.p_PutBlob(x, y - 1, kind);
    else if (d == 2) app.p_PutBlob(x + 1, y, kind);
    else if (d == 3) app.p_PutBlob(x, y + 1, kind);
    else app.p_PutBlob(x - 1, y, kind);
    cell[kCellTimer] = 0.0f;
  }
}

// 6. Destruction: the burst of a blob broken by last update's shots.
void Burst(c_MyApp& app, float* cell, float px, float py) {
  const int colour = ((int)cell[kCellKind] - 1) % 8;
  for (int p = 0; p < 4; ++p) app.p_ThrowParticle(px, py, kChunk, colour, kNotGiven, kNotGiven);
  cell[kCellKind] = 0.0f;
  app.m_score += 5;
  const int sound = kSfxBurst + (int)std::floor(1.9f * vx_random_Rnd());
  const float rate = 0.8f + 0.4f * vx_random_Rnd();
  app.p_PlaySFX(sound, rate);
}

// 6. A blob of the disc, smaller while it falls and at half size once damaged.
void DrawBlob(c_MyApp& app, const float* cell, float px, float py, float u) {
  float s = Clamp((cell[kCellDrop] + 60.0f) / 60.0f, 0.05f, 1.0f);
  if (cell[kCellStrength] < 1.0f) s *= 0.5f;
  app.p_SetSize(s * u, kNotGiven);
  app.p_DrawImg(kImgSprites, px, py, cell[kCellKind] - 1.0f);
}

// 6. The board pass, column by column.
void BoardPass(c_MyApp& app, const Geometry& geo, bool paused) {
  app.p_SetSize(geo.u, kNotGiven);
  app.p_SetRot(0.0f);
  app.p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  app.p_Blend(1);
  app.m_blobCount = 0;
  const float baseSpread = 0.7f + 0.07f * (float)app.m_level;
  for (int x = 0; x < kBoard; ++x) {
    for (int y = 0; y < kBoard; ++y) {
      float* cell = &app.m_grid[CellIndex(x, y)];
      const float px = geo.ox + (float)x * geo.c;
      const float py = geo.oy + (float)y * geo.c;
      DropIn(app, cell, paused);
      if (!paused && Landed(cell[kCellDrop])) Spread(app, cell, x, y, baseSpread);
      if (cell[kCellStrength] < 0.0f && cell[kCellKind] > 0.0f) Burst(app, cell, px, py);
      // Only the disc is drawn and counted.
      if (cell[kCellKind] > 0.0f && InDisc(x, y)) {
        DrawBlob(app, cell, px, py, geo.u);
        app.m_blobCount += 1;
      }
    }
  }
}

// 7. What a level's phase brings when it moves on: the next track, the
// clearing bonus, the lead-out's sound and the music's end.
void PhaseEvents(c_MyApp& app) {
  if (app.m_phase == 50) {
    app.m_track = (app.m_track + 1) % 5;
    // With the procedural player in their place no music file starts.
    if (vx_Quorvex_HasMusicStream == 1) app.p_PlayTune(String(kTrackNames[app.m_track]), 1);
  }
  if (app.m_phase == -2 && app.m_level >= 1) {
    app.m_score += 100;
    app.p_PlaySFX(kSfxLevelClear, 1.0f);
  }
  if (app.m_phase == -20) app.p_PlaySFX(kSfxWhoosh, 1.0f);
  if (app.m_phase == -50) StopTune(app);
}

// 7. Level progress: lead-in 90..0, play at 0, lead-out -1..-91.
void LevelProgress(c_MyApp& app) {
  const int before = app.m_phase;
  if (before > 0) {
    app.m_phase = before - 1;
    if (app.m_blobCount == 0 && app.m_phase <= 0) app.m_phase -= 1;
  } else if (app.m_blobCount == 0) {
    app.m_phase -= 1;
  }
  // A phase held still (a hidden blob spreading back onto the disc during a
  // lead-out) must not repeat its event every update.
  if (app.m_phase != before) PhaseEvents(app);
  if (app.m_blobCount == 0 && app.m_phase < -90) NewLevel(app);
}

// The ship this update: its angle on the ring and where that puts it.
struct Ship {
  float angle, x, y;
};

// 8. The bonus orb travels out from the centre; the ship collects it by
// being over it once it has nearly arrived.
void MoveOrb(c_MyApp& app, const Geometry& geo, float a, bool paused) {
  if (app.m_player[kShipPower] > 0.0f || app.m_level < 4) {
    app.m_bonusTime = 0;
    return;
  }
  if (app.m_bonusTime < 1 || paused) return;
  if (app.m_bonusTime < 180) app.m_bonusTime += 1;
  const float t = (float)app.m_bonusTime / 180.0f;
  const float b = (float)app.m_bonusAngle;
  app.p_SetSize(1.5f * geo.u, kNotGiven);
  app.p_SetRot(8.0f * app.m_clock);  // spins at -8 x clock
  app.p_DrawGlow(kImgSprites, geo.W / 2.0f + geo.R * t * Sind(b),
                 geo.H / 2.0f - geo.R * t * Cosd(b), 24);
  if (app.m_bonusTime > 160 && std::fabs(b - a) < 8.0f) {
    app.m_bonusTime = 0;
    app.m_player[kShipPower] = 100.0f;
    app.p_PlaySFX(kSfxOrb, 1.0f);
  }
}

// 8. The ship's angle kept in range, the orb, the turn, then the ship itself,
// or the sparks it sheds once the game is over.
Ship OrbAndShip(c_MyApp& app, const Geometry& geo, float turn, bool paused) {
  float a = app.m_player[kShipAngle];
  if (a > 360.0f) a -= 360.0f;
  if (a < 0.0f) a += 360.0f;
  app.m_player[kShipAngle] = a;
  MoveOrb(app, geo, a, paused);
  if (app.m_gameOver == 0 && !paused) {
    a = std::fmod(a + turn, 360.0f);
    app.m_player[kShipAngle] = a;
  }
  const Ship ship = {a, geo.W / 2.0f + geo.R * Sind(a), geo.H / 2.0f - geo.R * Cosd(a)};
  app.p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  app.p_Blend(1);
  app.p_SetSize(2.0f * geo.u, kNotGiven);
  app.p_SetRot(a + 180.0f);  // nose toward the centre
  if (app.m_gameOver == 0) {
    app.p_DrawGlow(kImgSprites, ship.x, ship.y, 56);
  } else {
    for (int p = 0; p < 4; ++p) {
      const int colour = (int)(2.9f * vx_random_Rnd());
      app.p_ThrowParticle(ship.x, ship.y, kChunk, colour, kNotGiven, kNotGiven);
    }
  }
  return ship;
}

// 9a. Firing: a single shot every four updates, or with power a pair from
// beside the ship every three.
void Fire(c_MyApp& app, const Geometry& geo, float turn, const Ship& ship) {
  const float a = ship.angle, u = geo.u;
  float* player = app.m_player.Data();
  int fire = 0;
  if (app.m_mouseDown > 0 || app.p_PlayKey(kCtrlFire, 1, 0) || app.p_PlayKey(kCtrlButton2, 1, 0) ||
      app.p_PlayKey(kCtrlButton3, 1, 0) || app.p_PlayKey(kCtrlButton4, 1, 0))
    fire = 1;
  if (app.m_gameOver || app.m_paused || app.m_tapLock || app.m_keyLock) fire = 0;
  if (player[kShipFireDelay] > 0.0f) player[kShipFireDelay] -= 1.0f;
  if (!fire) player[kShipFireDelay] = 0.0f;
  // Play is phase 0. A lead-out held still by a blob spread back onto the
  // disc plays too, or the player could only watch the board fill up.
  const bool inPlay = app.m_phase <= 0 && app.m_blobCount > 0;
  if (!(fire && player[kShipFireDelay] < 1.0f && inPlay)) return;
  const float heading = turn * 3.0f + a + 180.0f;  // leads the turn
  if (player[kShipPower] > 0.0f) {
    player[kShipFireDelay] = 3.0f;
    player[kShipPower] -= 1.0f;
    if (player[kShipPower] < 1.0f) app.p_PlaySFX(kSfxPowerDown, 1.0f);
    const int frame = (int)player[kShipColourCycle];
    for (int side = -1; side <= 1; side += 2) {
      const float at = a + 3.5f * (float)side;
      const float speed = (10.0f + 2.9f * vx_random_Rnd()) * u;
      app.p_Shoot(geo.W / 2.0f + geo.R * Sind(at), geo.H / 2.0f - geo.R * Cosd(at), heading, speed,
                  frame, 1);
    }
  } else {
    player[kShipFireDelay] = 4.0f;
    const float speed = (10.0f + 2.9f * vx_random_Rnd()) * u;
    app.p_Shoot(ship.x, ship.y, heading, speed, 4, 1);
  }
  player[kShipColourCycle] = (float)(((int)player[kShipColourCycle] + 1) % 8);
}

// 9b. A shot damages at most one cell: its own, or the first landed
// neighbour in column order.
void ShotHits(c_MyApp& app, const Geometry& geo, float* s) {
  const int cx = (int)((s[kShotX] - geo.ox) / geo.c);
  const int cy = (int)((s[kShotY] - geo.oy) / geo.c);
  if (OnBoard(cx, cy) && app.m_grid[CellIndex(cx, cy) + kCellKind] > 0.0f &&
      Landed(app.m_grid[CellIndex(cx, cy) + kCellDrop])) {
    HitBlob(app, &app.m_grid[CellIndex(cx, cy)], s, 16.0f);
    return;
  }
  for (int nx = cx - 1; nx <= cx + 1; ++nx)
    for (int ny = cy - 1; ny <= cy + 1; ++ny) {
      if (s[kShotKind] <= 0.0f || !OnBoard(nx, ny)) continue;
      float* cell = &app.m_grid[CellIndex(nx, ny)];
      if (cell[kCellKind] > 0.0f && Landed(cell[kCellDrop])) HitBlob(app, cell, s, 8.0f);
    }
}

// 9b. Shots fly, hit, are drawn, and end off screen; all stand still while paused.
void MoveShots(c_MyApp& app, const Geometry& geo, bool paused) {
  app.p_SetSize(geo.u, kNotGiven);
  app.p_SetRot(0.0f);
  app.p_SetCol(255.0f, 255.0f, 255.0f, 1.0f);
  app.p_Blend(1);
  if (paused) return;
  for (int i = 0; i < kShotRecords; ++i) {
    float* s = &app.m_shots[i * kRecordFloats];
    if (s[kShotKind] <= 0.0f) continue;
    s[kShotX] += s[kShotVX];
    s[kShotY] += s[kShotVY];
    ShotHits(app, geo, s);
    app.p_SetRot(s[kShotHeading]);  // drawn turned by -heading
    app.p_DrawGlow(kImgSprites, s[kShotX], s[kShotY], (int)s[kShotFrame]);
    const float x = s[kShotX], y = s[kShotY];
    if (x < -32.0f || x > geo.W + 32.0f || y < -32.0f || y > geo.H + 32.0f) s[kShotKind] = 0.0f;
  }
}

// 11. The shown score and power ease toward the real ones; the score is drawn.
void ShowScore(c_MyApp& app, const Geometry& geo) {
  app.m_shownScore -= (app.m_shownScore - app.m_score) / 6;
  if (std::abs(app.m_shownScore - app.m_score) < 6) app.m_shownScore = app.m_score;
  if (app.m_hideHud == 0) {
    app.p_SetSize(2.0f, kNotGiven);
    app.p_SetRot(0.0f);
    app.p_SetCol(100.0f, 255.0f, 100.0f, 0.8f);
    app.p_Text(geo.W / 2.0f, 16.0f, app.p_rstr(app.m_shownScore, 8, String("0")), 1.0f, 1.0f);
  }
  app.m_player[kShipShownPower] +=
      (app.m_player[kShipPower] - app.m_player[kShipShownPower]) / 30.0f;
}

// The danger meter's colour and length.
struct DangerMeter {
  float r, g, alpha, length;
};

// 11. Danger from the blobs on the disc: the meter flashes from 152 blobs,
// the alarm sounds from 169, and 202 end the game.
DangerMeter Danger(c_MyApp& app) {
  const int d = (int)(0.6f * (float)app.m_blobCount);
  app.m_danger = d;
  DangerMeter m = {(float)(2 * d), (float)(255 - 2 * d), 0.5f, (float)(2 * d)};
  if (d > 90) {
    m.r = 255.0f - std::fabs(120.0f * Sind(32.0f * app.m_clock));
    m.g = 0.0f;
    m.alpha = 0.8f;
    if (d > 120 && app.m_gameOver == 0) {
      app.m_gameOver = 1;
      app.p_PlaySFX(kSfxGameOver, 1.0f);
      StopTune(app);
    }
    if (d > 100) {
      if (100.0f * std::fabs(Sind(48.0f * app.m_clock)) > 98.0f && app.m_gameOver == 0) {
        app.p_PlaySFX(kSfxAlarm, 1.0f);
      }
      m.length = 200.0f;
      app.m_danger = 100;
    }
  }
  return m;
}

struct Box {
  float x, y, w, h;
};

// 11. A meter: a white frame, a dark track inside it and, when there is one,
// its filled part.
void DrawMeter(c_MyApp& app, Box frame, Box track, Box fill, bool filled, float r, float g,
               float alpha) {
  app.p_SetCol(255.0f, 255.0f, 255.0f, 0.5f);
  app.p_Rect(frame.x, frame.y, frame.w, frame.h);
  app.p_SetCol(0.0f, 0.0f, 0.0f, 0.5f);
  app.p_Rect(track.x, track.y, track.w, track.h);
  if (filled) {
    app.p_SetCol(r, g, 0.0f, alpha);
    app.p_Rect(fill.x, fill.y, fill.w, fill.h);
  }
}

// 11. The power meter and the danger meter: upright at the sides of a wide
// screen, across the top of a tall one.
void DrawMeters(c_MyApp& app, const Geometry& geo, const DangerMeter& m) {
  const float W = geo.W, H = geo.H, p = app.m_player[kShipShownPower], L = m.length;
  app.p_SetSize(1.0f, kNotGiven);
  if (app.m_landscape == 1) {
    DrawMeter(app, {15.0f, H / 2.0f - 101.0f, 18.0f, 202.0f},
              {16.0f, H / 2.0f - 100.0f, 16.0f, 200.0f},
              {16.0f, H / 2.0f + 100.0f - 2.0f * p, 16.0f, 2.0f * p}, p > 0.0f, 0.0f, 255.0f, 0.5f);
    DrawMeter(app, {W - 33.0f, H / 2.0f - 101.0f, 18.0f, 202.0f},
              {W - 32.0f, H / 2.0f - 100.0f, 16.0f, 200.0f},
              {W - 32.0f, H / 2.0f + 100.0f - L, 16.0f, L}, L > 0.0f, m.r, m.g, m.alpha);
  } else {
    DrawMeter(app, {W / 2.0f - 101.0f, 31.0f, 202.0f, 18.0f},
              {W / 2.0f - 100.0f, 32.0f, 200.0f, 16.0f},
              {W / 2.0f - 100.0f, 32.0f, 2.0f * p, 16.0f}, p > 0.0f, 0.0f, 255.0f, 0.5f);
    DrawMeter(app, {W / 2.0f - 101.0f, 55.0f, 202.0f, 18.0f},
              {W / 2.0f - 100.0f, 56.0f, 200.0f, 16.0f}, {W / 2.0f - 100.0f, 56.0f, L, 16.0f},
              L > 0.0f, m.r, m.g, m.alpha);
  }
}

// 12. The orb's chance, from level 4 or when the board is nearly full.
void OrbChance(c_MyApp& app) {
  if ((app.m_level > 3 || app.m_danger > 90) && app.m_bonusTime == 0 &&
      app.m_player[kShipPower] == 0.0f) {
    if (vx_random_Rnd() * 1800.0f < 1.0f) {
      app.m_bonusTime = 1;
      app.m_bonusAngle = (int)(45.0f + vx_random_Rnd() * 270.0f);
    }
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
  FadeBackdrop(*this);

  // 2. Geometry, then the turn from the stick the previous update left.
  const Geometry geo = MakeGeometry();
  const float turn = p_Turn();
  p_AnalogueControl();
  const bool paused = m_paused != 0;

  // 3. The starfield swirls with the ship's turning.
  p_ResetDraw();
  p_DoStars(0.0f, turn / 12.0f);

  // 4. Backdrop disc.
  DrawBackdropDisc(*this, geo);

  // 5. Rings: renewed during the first part of a lead-in, flung apart in a lead-out.
  for (int j = 1; j <= 3; ++j) DrawRing(*this, geo, &m_rings[kRecordFloats * j]);

  // 6. Board pass: every cell drops in, spreads and may burst; the disc is
  // drawn and counted.
  BoardPass(*this, geo, paused);

  // 7. Level progress.
  LevelProgress(*this);

  // 8. Orb and ship.
  const Ship ship = OrbAndShip(*this, geo, turn, paused);

  // 9. Firing, then the shots.
  Fire(*this, geo, turn, ship);
  MoveShots(*this, geo, paused);

  // 10. Debris.
  p_DoParticles();

  // 11. Score, meters and the game-over test.
  ShowScore(*this, geo);
  const DangerMeter danger = Danger(*this);
  if (m_hideHud == 0) DrawMeters(*this, geo, danger);

  // 12. Orb chance.
  OrbChance(*this);
}
