// The game's lines of the state dump written at exit (--dump): what a scripted
// session left behind, one "name value" per line, so two runs of the same
// script can be compared as text.
#include <cstdio>
#include <string>

#include "framework/random.h"
#include "game/myapp.h"
#include "host/audio/gxtk_audio.h"
#include "host/platform/script.h"
#include "host/render/gxtk_graphics.h"

namespace {

void Line(std::string& out, const char* name, int value) {
  out += name;
  out += ' ';
  out += std::to_string(value);
  out += '\n';
}

// Floats are written to three decimals: enough to tell states apart, and
// the same on every run of the same script.
void LineF(std::string& out, const char* name, float value) {
  char text[64];
  std::snprintf(text, sizeof text, "%s %.3f\n", name, (double)value);
  out += text;
}

void DumpGame(std::string& out) {
  const c_MyApp* app = dynamic_cast<c_MyApp*>(vx_app__app);
  if (!app) return;
  Line(out, "mode", app->m_gameMode);
  Line(out, "load_phase", app->m_loadPhase);
  Line(out, "game_type", app->m_gameType);
  Line(out, "level", app->m_level);
  Line(out, "phase", app->m_phase);
  Line(out, "score", app->m_score);
  Line(out, "shown_score", app->m_shownScore);
  Line(out, "blob_count", app->m_blobCount);
  Line(out, "danger", app->m_danger);
  Line(out, "game_over", app->m_gameOver);
  Line(out, "game_over_time", app->m_gameOverTime);
  LineF(out, "power", app->m_player[kShipPower]);
  LineF(out, "ship_angle", app->m_player[kShipAngle]);
  Line(out, "paused", app->m_paused);
  Line(out, "options_open", app->m_showOptions);
  Line(out, "credits_open", app->m_showCredits);
  Line(out, "menu_sel", app->m_menuSel);
  Line(out, "sound_mode", app->m_opt[kOptSound]);
  Line(out, "seed", vx_random_Seed);
  Line(out, "draw_calls", gxtkGraphics::lastFrame.drawCalls);
  Line(out, "records", app->m_drawCount / kDrawRecordFloats);
  // Music: the files' channel, the procedural player's five voices (channels
  // 27 to 31) and the effects below them.
  Line(out, "music_on", app->m_musicOn);
  if (app->m_music) {
    Line(out, "tune_state", app->m_music->m_state);
    Line(out, "tune_load_stage", app->m_music->m_loadStage);
    Line(out, "tune_section", app->m_music->m_section);
  }
  if (vx_audio_device) {
    long long effects = 0, voices = 0;
    for (int c = 0; c < 27; ++c) effects += vx_audio_device->plays[c];
    for (int c = 27; c < 32; ++c) voices += vx_audio_device->plays[c];
    Line(out, "effect_plays", (int)effects);
    Line(out, "tune_plays", (int)voices);
    Line(out, "music_plays", (int)vx_audio_device->plays[gxtkAudio::kMusicChannel]);
  }
  for (int i = 0; i < 60; ++i) {
    const std::string name = "hiscore_" + std::to_string(i);
    Line(out, name.c_str(), app->m_hiScores[i]);
  }
}

}  // namespace

void vx_Quorvex_InstallDump() { vx_host_dumpHook = DumpGame; }
