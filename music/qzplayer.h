// c_QZPlayer: a small tracker-style music player. A tune is a PNG whose pixels
// hold 64-row patterns for five voices (two drum kits, lead, accompaniment,
// bass); from a seed the player picks the instrument samples, which pattern
// each voice plays and which voices rest, and re-picks them every few bars, so
// one tune image gives endless variations.
//
// Loading is spread over frames (p_QZ_Alive_R, at the start of a render: up to
// three of 70 stages, each one sample file or one 64 x 64 frame drawn and read
// back); playback runs in the update (p_QZ_Alive_U). Voice v plays on audio
// channel m_baseChannel - 1 - v; a player never given a base channel by
// p_QZ_Init makes no audio call at all.
#pragma once

#include "framework/audio.h"
#include "framework/graphics.h"
#include "runtime/runtime.h"

class c_QZPlayer : public Object {
 public:
  int m_baseChannel = 0;
  Array<int> m_ranges;       // [1] drum kits, [2] leads, [3] accompaniments, [4] basses
  int m_loadStage = 0;       // 0: idle, else the next stage (1 to 70)
  Array<int> m_choice;       // [1] kit A, [2] kit B, [3] lead, [4] accompaniment, [5] bass
  Array<c_Sound*> m_drumsA;  // sounds at [1] to [8]
  Array<c_Sound*> m_drumsB;
  Array<c_Sound*> m_inst;  // [2] lead, [3] accompaniment, [4] bass: slot = voice
  String m_tunePath;
  c_Image* m_tuneImage = nullptr;
  Array<int> m_tune;  // pattern * 4096 + voice * 512 + row * 8 + field
  Array<int> m_patternCount;
  int m_nextStep = 0;  // vx_app_Millisecs at which the next row is due
  int m_state = 0;     // 0 stopped, 2 playing
  int m_voices = 5;
  Array<int> m_channel;
  Array<int> m_sounding;
  Array<int> m_pattern;
  int m_step = 0;  // row 0 to 63
  int m_sectionBars = 0;
  Array<int> m_mute;
  Array<int> m_fill;
  Array<int> m_nextMute;
  float m_chordPitch = 0.0f;
  String m_chord;  // remaining chord letters, the first is this bar's
  Array<float> m_rate;
  Array<float> m_env;
  float m_masterVolume = 0.5f;
  Array<float> m_vol;
  int m_loopFlag = 1;
  int m_tempo = 95;  // a row lasts 8000 / m_tempo ms
  int m_tuneSeed = 0;
  int m_section = 0;

  c_QZPlayer* m_new();
  void mark() override;

  int p_QZ_Init(int baseChannel, int drumKits, int leads, int accompaniments, int basses);
  int p_QZ_StartTune(String name, int seed, int tempo);
  int p_QZ_LoadChunk();
  int p_QZ_Alive_R();
  int p_QZ_Alive_U(int paused, int musicOn);
  int p_QZ_MusicPlay();
  int p_QZ_PlayNote(int voice, int note, int volume, int effect, int argument);
  int p_QZ_Stop(int all);
  String p_QZ_GetChord(int index);
  float p_GetPitch(int step);
  float p_GetPitch_Alpha(int characterCode);
  int p_Rand(float low, float high);

 private:
  void SeedAndAdvance(int seed, int draws);
  void Silence();
  void DecodeFrame(int frame);
};
