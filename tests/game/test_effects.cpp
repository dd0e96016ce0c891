// Sound effects on the rotating channels (game/effects.cpp) under the sound
// option, on the recording audio device.
#include "tests/support/myapp.h"

namespace {

using Effects = MyAppTest;

TEST_F(Effects, InTheModesWithEffectsEachTakesTheNextOf24SlotsStopsItsChannelPlaysAndSetsItUp) {
  for (int i = 0; i < 33; ++i) app->m_sfxChannels[i] = 100 + i;  // tell slots from channels
  app->p_LoadSFX(95);
  for (int mode : {0, 3, 4, -1, 1, 2}) {  // a silenced effect takes no slot
    app->m_opt[kOptSound] = mode;
    app->p_PlaySFX(95, 1.5f, 0.25f, -0.5f);
  }
  app->p_PlaySFX(500, 1);  // beyond the table: its slot, but nothing to play
  EXPECT_EQ(audio->Calls(),
            "load:zorbel://data/sfx/095.wav stop101 play101:095.wav,0 rate101=1.5 vol101=0.25 "
            "pan101=-0.5 "
            "stop102 play102:095.wav,0 rate102=1.5 vol102=0.25 pan102=-0.5 stop103 rate103=1 "
            "vol103=1 pan103=0");
  for (int n = 3; n < 49; ++n) app->p_PlaySFX(95, 1);
  EXPECT_EQ(audio->calls.back(), "pan101=0") << "the 49th effect is back on slot 1";
  EXPECT_EQ(app->m_sfxNext, 1);
}

}  // namespace
