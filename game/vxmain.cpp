// The game's module globals and the two entry hooks the host calls at start-up:
// vxInit sets every global (framework first, then the game's), vxMain creates
// the one application object.
#include "game/myapp.h"
#include "host/platform/game.h"
#include "host/platform/options.h"

float vx_Quorvex_jscrw = 0;
float vx_Quorvex_jscrh = 0;
float vx_Quorvex_rawscrw = 0;
float vx_Quorvex_rawscrh = 0;
float vx_Quorvex_overscan = 0;
int vx_Quorvex_isOuya = 0;
int vx_Quorvex_DebugMode = 0;
int vx_Quorvex_iCadeControls = 0;
int vx_Quorvex_AccelerometerControls = 0;
int vx_Quorvex_OnScreenControls = 0;
int vx_Quorvex_HasMusicStream = 0;
int vx_Quorvex_HasMusic = 0;
Array<String> vx_Quorvex_CreditText;

namespace {

void MarkCreditText() { gc_mark_q(vx_Quorvex_CreditText); }

}  // namespace

void vxInit() {
  vx_framework_Init();

  vx_Quorvex_jscrw = 640;
  vx_Quorvex_jscrh = 480;
  vx_Quorvex_rawscrw = 640;
  vx_Quorvex_rawscrh = 480;
  vx_Quorvex_overscan = 0;
  vx_Quorvex_isOuya = 0;
  vx_Quorvex_DebugMode = 0;
  vx_Quorvex_iCadeControls = 0;
  vx_Quorvex_AccelerometerControls = 0;
  vx_Quorvex_OnScreenControls = 0;
  vx_Quorvex_HasMusicStream = 1;
  vx_Quorvex_HasMusic = 0;
  // The one way to hear the procedural player on the desktop.
  if (vx_host_options.proceduralMusic) {
    vx_Quorvex_HasMusic = 1;
    vx_Quorvex_HasMusicStream = 0;
  }
  gc_assign(vx_Quorvex_CreditText, vx_Quorvex_BuildCreditText());

  gc_add_root(MarkCreditText);
  vx_Quorvex_InstallDump();
}

int vxMain() {
  (new c_MyApp())->m_new();
  return 0;
}
