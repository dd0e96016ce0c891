// Small helpers several files of game/ share: angles in degrees, clamping,
// the screens' held-control test, and letting go of controls and music.
//
// Left out: anything with state; these only read or reset c_MyApp's fields.
#pragma once

#include <cmath>
#include <initializer_list>

#include "framework/audio.h"
#include "game/myapp.h"

// Sine and cosine of an angle in degrees, worked out in double precision and
// rounded to float once: positions on the ring, shots, stars, sparks and the
// loading dots.
inline float Sind(float degrees) { return (float)std::sin((double)degrees * 0.017453292519943295); }
inline float Cosd(float degrees) { return (float)std::cos((double)degrees * 0.017453292519943295); }

// The text writer's pair: degrees to radians through the single-precision
// factor, the sine and cosine kept in double precision, so a rotated line
// lands where it always did.
inline double SindWide(float degrees) { return std::sin((double)(degrees * 0.0174532924f)); }
inline double CosdWide(float degrees) { return std::cos((double)(degrees * 0.0174532924f)); }

template <typename T>
T Clamp(T v, T lo, T hi) {
  return v < lo ? lo : (v > hi ? hi : v);
}

// A logical control held by any player, the stick counting as a direction.
inline bool Held(c_MyApp* app, int control) { return app->p_PlayKeyAll(control, 1) > 0; }

inline bool AnyHeld(c_MyApp* app, std::initializer_list<int> controls) {
  for (int c : controls)
    if (Held(app, c)) return true;
  return false;
}

// Lets go of every control entry an on-screen button or the iCade may hold.
inline void ClearControls(c_MyApp& app) {
  for (int i = 0; i <= kLastOneShot; ++i) app.m_ctrl[i] = 0;
}

// Stops the music file (the lead-out, game over, a silent sound mode).
inline void StopTune(c_MyApp& app) {
  vx_audio_StopMusic();
  app.m_musicOn = 0;
}
