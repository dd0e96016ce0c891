#include <gtest/gtest.h>

#include "tests/music/music_test_util.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace music_test {

namespace {

c_QZPlayer* g_player = nullptr;
void MarkPlayer() {
  gc_mark_q(g_player);
  gc_mark_q(vx_audio_device);
}

std::string Base(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::string Num(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", v);
  return buf;
}

gxtkSample* RecordingAudio::LoadSample(String path) {
  const std::string p = path.ToUtf8();
  calls.push_back("load:" + p);
  gxtkSample* s = new gxtkSample();
  names[s] = Base(p);
  return s;
}

int RecordingAudio::PlaySample(gxtkSample* s, int channel, int flags) {
  calls.push_back("play" + std::to_string(channel) + ":" + names[s] + "," + std::to_string(flags));
  return 0;
}

int RecordingAudio::StopChannel(int channel) {
  calls.push_back("stop" + std::to_string(channel));
  return 0;
}

int RecordingAudio::SetVolume(int channel, float v) {
  calls.push_back("vol" + std::to_string(channel) + "=" + Num(v));
  return 0;
}

int RecordingAudio::SetPan(int channel, float v) {
  calls.push_back("pan" + std::to_string(channel) + "=" + Num(v));
  return 0;
}

int RecordingAudio::SetRate(int channel, float v) {
  calls.push_back("rate" + std::to_string(channel) + "=" + Num(v));
  return 0;
}

c_Sound* RecordingAudio::Sound(const std::string& name) {
  gxtkSample* s = new gxtkSample();
  names[s] = name;
  return (new c_Sound())->m_new(s);
}

int RecordingAudio::Count(const std::string& prefix) const {
  int n = 0;
  for (const std::string& c : calls) n += c.compare(0, prefix.size(), prefix) == 0;
  return n;
}

void MusicTest::SetUp() {
  const std::string conf = ::testing::TempDir() + "music_null_alsoft.conf";
  std::ofstream(conf) << "[general]\ndrivers=null\n";
  setenv("ALSOFT_CONF", conf.c_str(), 1);
  vx_app__game = &clock;
  gc_clear_roots();
  gc_add_root(MarkPlayer);
  audio = new RecordingAudio();
  gc_assign(vx_audio_device, (gxtkAudio*)audio);
  player = (new c_QZPlayer())->m_new();
  g_player = player;
  gc_mark();  // roots are otherwise only walked at the next sweep
}

void MusicTest::TearDown() {
  g_player = nullptr;
  vx_audio_device = nullptr;
  vx_app__game = nullptr;
  gc_collect_all(nullptr);
  gc_clear_roots();
}

void MusicTest::Ready() {
  player->p_QZ_Init(32, 4, 3, 3, 4);
  player->p_QZ_StartTune(String("t"), 1, 100);
  player->m_loadStage = 0;
  for (int v = 0; v < 5; ++v) {
    player->m_mute[v] = 0;
    player->m_fill[v] = 0;
    player->m_pattern[v] = 0;
  }
  player->m_sectionBars = 4;
  player->m_nextStep = clock.now;
  audio->Clear();
}

void MusicTest::Put(int pattern, int voice, int row, int note, int volume, int effect, int arg) {
  const int i = pattern * 4096 + voice * 512 + row * 8;
  player->m_tune[i] = note;
  player->m_tune[i + 1] = volume;
  player->m_tune[i + 2] = effect;
  player->m_tune[i + 3] = arg;
}

void MusicTest::Row() {
  if (clock.now <= player->m_nextStep) clock.now = player->m_nextStep + 1;
  player->p_QZ_Alive_U(0, 1);
}

}  // namespace music_test
