// The game's music glue (music/glue.cpp): a track plays on the music channel
// in the sound modes with music, after the one playing stops.
#include "tests/support/myapp.h"

namespace {

using Glue = MyAppTest;

TEST_F(Glue, SoundModesOneAndThreePlayTheTrackAfterStoppingTheLastOne) {
  for (int mode = 0; mode <= 3; ++mode) {
    app->m_opt[kOptSound] = mode;
    audio->Clear();
    app->p_PlayTune(String("Keyboard"), 1);
    const bool music = mode == 1 || mode == 3;
    EXPECT_EQ(audio->Calls(), mode == 2 ? "stopmusic"
                              : music   ? "music:zorbel://data/sfx/Keyboard.ogg,1"
                                        : "");
    EXPECT_EQ(app->m_musicOn, music) << "mode " << mode;
  }
}

}  // namespace
