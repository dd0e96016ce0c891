// A c_MyApp on the title screen as the loader leaves it, without a window:
// 640 x 480 landscape, sound off, the cell sizes of the font, buttons, icons
// and studio logo that the hit tests read, and no touch point down.
#pragma once

#include "game/myapp.h"

inline c_MyApp* NewShellApp() {
  vx_Quorvex_jscrw = 640;
  vx_Quorvex_jscrh = 480;
  c_MyApp* app = new c_MyApp();
  app->m_opt[5] = 0;
  app->m_landscape = 1;
  app->m_gameMode = 1;
  app->m_font = 90;
  const int sizes[][4] = {{90, 7, 10, 128}, {95, 64, 64, 16}, {97, 32, 32, 16}, {93, 256, 256, 1}};
  for (const auto& s : sizes) {
    app->m_imgSize[3 * s[0]] = s[1];
    app->m_imgSize[3 * s[0] + 1] = s[2];
    app->m_imgSize[3 * s[0] + 2] = s[3];
  }
  for (int i = 0; i < 10; ++i) app->m_touchX[i] = app->m_touchY[i] = -3717;
  return app;
}
