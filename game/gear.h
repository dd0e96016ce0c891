// The gear drawn by the menu, the options panel and the pause menu: three
// counter-rotating layers of the button sheet (slot 95) at one place.
#pragma once

#include "game/myapp.h"

// Draws the three layers at the current size, colour and alpha; the top layer
// is hit-tested like a button. Leaves the rotation at 0.
inline int DrawGear(c_MyApp* app, float x, float y, float spin) {
  app->p_SetRot(-0.66f * spin);
  app->p_DrawImg(kImgButtons, x, y, 8);
  app->p_SetRot(0.33f * spin);
  app->p_DrawImg(kImgButtons, x, y, 9);
  app->p_SetRot(spin);
  int hit = app->p_Button(kImgButtons, x, y, 10);
  app->p_SetRot(0);
  return hit;
}
