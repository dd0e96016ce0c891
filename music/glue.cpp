// The game's music glue: starting a music track on the audio module's music
// channel under the sound option. The moments that choose and stop tracks sit
// with the code they belong to: the next track at phase 50 of a lead-in and
// the stop at phase -50 and at the game-over trigger in game/gameplay.cpp, the
// stop at the banner's end in game/gameover.cpp, the first track of a game in
// p_LoadGame. The procedural player is only touched behind vx_Quorvex_HasMusic.
#include "framework/audio.h"
#include "game/myapp.h"

int c_MyApp::p_PlayTune(String name, int loop) {
  const String path = String("sfx/") + name + String(".ogg");
  if (m_musicOn != 0) {
    vx_audio_StopMusic();
    m_musicOn = 0;
  }
  // Sound modes 1 (effects and music) and 3 (music only) play music.
  if ((m_opt[5] & ~2) == 1) {
    vx_audio_PlayMusic(path, loop);
    m_musicOn = 1;  // a missing file is the audio module's business
  }
  return 0;
}
