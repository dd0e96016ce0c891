// Starting a tune and loading its instruments stage by stage
// (music/qzplayer_load.cpp), on the game's player without a window.
#include "framework/random.h"
#include "tests/support/myapp.h"

namespace {

using QZPlayerLoad = MyAppTest;

TEST_F(QZPlayerLoad, TheGameSeedPicksTheInstrumentsWhichLoadStageByStage) {
  c_QZPlayer* player = app->m_music;
  player->p_QZ_Init(32, 4, 3, 3, 4);
  player->p_QZ_StartTune(String("Retro/Grimble"), 37171650, 100);
  EXPECT_EQ(std::make_pair(player->m_loadStage, player->m_nextStep),
            std::make_pair(1, host.now + 100));
  int stages = 0;
  for (; player->m_loadStage != 0 && stages < 100; ++stages) player->p_QZ_LoadChunk();
  EXPECT_EQ(stages, 70);
  EXPECT_EQ(gfx->opened, std::vector<std::string>{"zorbel://data/tunes/Retro/Grimble.png"});
  EXPECT_EQ(player->m_tuneImage, nullptr) << "missing here, so nothing was decoded";
  std::string want;
  for (const char* kit : {"d1-", "d3-"})
    for (int k = 1; k <= 8; ++k)
      want += "load:zorbel://data/inst/" + (kit + std::to_string(k)) + ".wav ";
  EXPECT_EQ(audio->Calls(),
            want +
                "load:zorbel://data/inst/lead2.wav load:zorbel://data/inst/accompany2.wav "
                "load:zorbel://data/inst/bass1.wav");

  // The same tune again keeps what it loaded; another starts over.
  player->m_patternCount[2] = 7;
  player->p_QZ_StartTune(String("Retro/Grimble"), 5, 100);
  EXPECT_EQ(std::make_pair(player->m_loadStage, player->m_patternCount[2]), std::make_pair(0, 7));
  player->p_QZ_StartTune(String("Retro/Snorwick"), 5, 100);
  EXPECT_EQ(std::make_pair(player->m_loadStage, player->m_patternCount[2]), std::make_pair(1, 0));
}

TEST_F(QZPlayerLoad, BothDrumKitsAreNeverSilentTogether) {
  // A seed whose draws silence both kits (a voice's silence is its fourth draw after
  // its own seed and eleven discarded draws): kit A plays.
  auto drawnMute = [](int seed, int v) {
    vx_random_Seed = seed + v * 7;
    for (int i = 0; i < 14; ++i) vx_random_Rnd();
    return vx_random_RandInt(0, 1);
  };
  int seed = 0;
  while (!(drawnMute(seed, 0) == 1 && drawnMute(seed, 1) == 1)) ++seed;
  app->m_music->p_QZ_StartTune(String("t"), seed, 100);
  EXPECT_EQ(std::make_pair(app->m_music->m_mute[0], app->m_music->m_mute[1]), std::make_pair(0, 1));
}

}  // namespace
