// Asset slots and sound effects of the application: which file each picture,
// font and effect load opens at each resolution class, how the loaded picture
// is cut into frames and what sizes are kept for hit tests, how effects rotate
// over 24 channels under the sound option, and the set-up of a new game.
// The devices are the real renderer and audio classes with their file and
// channel calls observed, so every call the game makes is seen in order.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "framework/audio.h"
#include "framework/graphics.h"
#include "game/myapp.h"

namespace {

// A renderer whose files are a table of picture sizes (path -> width, height);
// a path not in the table is a missing file.
class ObservedGraphics : public gxtkGraphics {
 public:
  std::map<std::string, std::pair<int, int>> files;
  std::vector<std::string> opened;

  gxtkSurface* LoadSurface(String path) override {
    opened.push_back(path.ToUtf8());
    auto it = files.find(opened.back());
    if (it == files.end()) return nullptr;
    gxtkSurface* s = new gxtkSurface();
    s->width = it->second.first;
    s->height = it->second.second;
    s->depth = 4;
    s->data = static_cast<unsigned char*>(std::calloc(4, 1));  // a pixel copy to let go of
    return s;
  }
};

// An audio device that logs its channel calls and knows which sample files exist.
class ObservedAudio : public gxtkAudio {
 public:
  std::vector<std::string> files;
  std::vector<std::string> opened;
  std::vector<std::string> calls;

  gxtkSample* LoadSample(String path) override {
    opened.push_back(path.ToUtf8());
    for (const std::string& f : files) {
      if (f == opened.back()) {
        gxtkSample* sample = new gxtkSample();
        sample->buffer = 77;  // stands for the sound data a reload must let go of
        return sample;
      }
    }
    return nullptr;
  }
  int PlaySample(gxtkSample*, int channel, int flags) override {
    calls.push_back("play " + std::to_string(channel) + " " + std::to_string(flags));
    return 0;
  }
  int StopChannel(int channel) override {
    calls.push_back("stop " + std::to_string(channel));
    return 0;
  }
  int SetRate(int channel, float v) override { return Log("rate", channel, v); }
  int SetVolume(int channel, float v) override { return Log("volume", channel, v); }
  int SetPan(int channel, float v) override { return Log("pan", channel, v); }

 private:
  int Log(const char* what, int channel, float v) {
    char text[64];
    std::snprintf(text, sizeof text, "%s %d %g", what, channel, (double)v);
    calls.push_back(text);
    return 0;
  }
};

std::string Data(const std::string& name) { return "zorbel://data/" + name; }

class Assets : public ::testing::Test {
 protected:
  c_MyApp* app = nullptr;
  ObservedGraphics* gfx = nullptr;
  ObservedAudio* audio = nullptr;

  static void SetUpTestSuite() {
    // No sound card is needed: the device opens OpenAL's silent backend.
    std::FILE* f = std::fopen("assets_alsoft.conf", "w");
    if (f) {
      std::fputs("[general]\ndrivers=null\n", f);
      std::fclose(f);
    }
    setenv("ALSOFT_CONF", "assets_alsoft.conf", 1);
  }

  void SetUp() override {
    vx_Quorvex_jscrw = 640;
    vx_Quorvex_jscrh = 480;
    app = new c_MyApp();
    gfx = new ObservedGraphics();
    audio = new ObservedAudio();
    vx_graphics_SetGraphicsDevice(gfx);
    vx_audio_SetAudioDevice(audio);
  }

  void TearDown() override {
    vx_graphics_SetGraphicsDevice(nullptr);
    vx_audio_SetAudioDevice(nullptr);
    audio->Close();
  }

  void Factor(int f) {
    app->m_hdFactor = f;
    app->m_imgScale = 1.0f / (float)f;
  }

  // The channel of each play, in order.
  std::vector<int> PlayedChannels() {
    std::vector<int> out;
    for (const std::string& c : audio->calls) {
      if (c.rfind("stop ", 0) == 0) out.push_back(std::atoi(c.c_str() + 5));
    }
    return out;
  }
};

TEST_F(Assets, PicturesOpenTheFileOfTheirResolutionClass) {
  const char* expected[5] = {"", "common/icons.png", "common/icons-hd.png", "", "common/icons-hd2.png"};
  for (int f : {1, 2, 4}) {
    Factor(f);
    gfx->opened.clear();
    app->p_LoadImg(97, String("common/icons"), 32, 32, 16, 1);
    ASSERT_EQ(gfx->opened.size(), 1u);
    EXPECT_EQ(gfx->opened[0], Data(expected[f])) << "factor " << f;
    EXPECT_EQ(app->p_PictureName(String("menu")).ToUtf8(),
              f == 1 ? "menu.png" : (f == 2 ? "menu-hd.png" : "menu-hd2.png"));
  }
}

TEST_F(Assets, AtFactorTwoAPictureIsCutIntoFramesOfTwiceTheSize) {
  Factor(2);
  gfx->files[Data("gfx-hd.png")] = {128, 64};
  app->p_LoadImg(1, String("gfx"), 32, 16, 4, 1);
  c_Image* image = app->m_img[1];
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(image->p_Width(), 64);
  EXPECT_EQ(image->p_Height(), 32);
  ASSERT_EQ(image->p_Frames(), 4);
  EXPECT_EQ(image->m_frames[1]->m_x, 64);
  EXPECT_EQ(image->m_frames[2]->m_x, 0);
  EXPECT_EQ(image->m_frames[2]->m_y, 32) << "frames wrap into the next row";
  EXPECT_EQ(image->m_tx, 32.0f) << "flag 1 centres the handle";
  EXPECT_EQ(app->m_imgSize[3], 64);
  EXPECT_EQ(app->m_imgSize[4], 32);
  EXPECT_EQ(app->m_imgSize[5], 4);
}

TEST_F(Assets, AFailedLoadEmptiesTheSlotButKeepsTheSizesForHitTests) {
  gfx->files[Data("logo.png")] = {256, 128};
  app->p_LoadImg(98, String("logo"), 256, 128, 1, 1);
  ASSERT_NE(app->m_img[98], nullptr);
  gfx->files.clear();
  Factor(2);
  app->p_LoadImg(98, String("logo"), 256, 128, 1, 1);
  EXPECT_EQ(app->m_img[98], nullptr) << "the old picture never stays behind a failed load";
  EXPECT_EQ(app->m_imgSize[3 * 98], 512);
  EXPECT_EQ(app->m_imgSize[3 * 98 + 1], 256);
  EXPECT_EQ(app->m_imgSize[3 * 98 + 2], 1);
}

// A reload (after every window resize) lets go of the old pictures' pixels
// and the old sounds' data at once instead of when the collector sweeps.
TEST_F(Assets, AReloadLetsGoOfTheOldPicturesAndSoundsAtOnce) {
  gfx->files[Data("logo.png")] = {256, 128};
  gfx->files[Data("fonts/editundo.png")] = {256, 128};
  app->p_LoadImg(98, String("logo"), 256, 128, 1, 1);
  app->p_LoadFont(90, String("fonts/editundo"), 7, 10);
  ASSERT_NE(app->m_img[98], nullptr);
  gxtkSurface* oldLogo = app->m_img[98]->m_surface;
  gxtkSurface* oldFont = app->m_img[90]->m_surface;
  app->p_LoadImg(98, String("logo"), 256, 128, 1, 1);
  app->p_LoadFont(90, String("fonts/editundo"), 7, 10);
  EXPECT_EQ(oldLogo->data, nullptr);
  EXPECT_EQ(oldFont->data, nullptr);
  ASSERT_NE(app->m_img[98], nullptr);
  EXPECT_NE(app->m_img[98]->m_surface->data, nullptr) << "the new picture keeps its own";

  audio->files = {Data("sfx/007.wav")};
  app->p_LoadSFX(7);
  gxtkSample* oldSound = app->m_sfx[7]->m_sample;
  app->p_LoadSFX(7);
  EXPECT_EQ(oldSound->buffer, 0u);
  EXPECT_EQ(app->m_sfx[7]->m_sample->buffer, 77u);
  app->m_sfx[7]->m_sample->buffer = 0;  // not a real buffer: nothing to delete
}

TEST_F(Assets, AFontAtFactorFourHasLargeCellsAndKeepsItsVirtualAdvance) {
  Factor(4);
  gfx->files[Data("fonts/editundo-hd2.png")] = {1024, 512};
  app->p_LoadFont(90, String("fonts/editundo"), 10, 14);
  ASSERT_EQ(gfx->opened.size(), 1u);
  EXPECT_EQ(gfx->opened[0], Data("fonts/editundo-hd2.png"));
  c_Image* font = app->m_img[90];
  ASSERT_NE(font, nullptr);
  EXPECT_EQ(font->p_Width(), 64);
  EXPECT_EQ(font->p_Height(), 64);
  EXPECT_EQ(font->p_Frames(), 128);
  EXPECT_EQ(app->m_imgSize[270], 10);
  EXPECT_EQ(app->m_imgSize[271], 14);
  EXPECT_EQ(app->m_imgSize[272], 128);
  EXPECT_EQ(app->m_font, 90);
}

TEST_F(Assets, SlotsOutsideTheTablesLoadNothing) {
  app->m_font = 90;
  app->p_LoadImg(100, String("menu"), 8, 8, 1, 1);
  app->p_LoadImg(-1, String("menu"), 8, 8, 1, 1);
  app->p_LoadFont(100, String("fonts/editundo"), 7, 10);
  app->p_LoadSFX(100);
  app->p_LoadSFX(-3);
  EXPECT_TRUE(gfx->opened.empty());
  EXPECT_TRUE(audio->opened.empty());
  EXPECT_EQ(app->m_font, 90);
}

TEST_F(Assets, EffectFilesHaveThreeDigitNames) {
  audio->files = {Data("sfx/007.wav")};
  app->p_LoadSFX(7);
  app->p_LoadSFX(42);
  app->p_LoadSFX(0);
  app->p_LoadSFX(99);
  const std::vector<std::string> expected = {Data("sfx/007.wav"), Data("sfx/042.wav"),
                                             Data("sfx/000.wav"), Data("sfx/099.wav")};
  EXPECT_EQ(audio->opened, expected);
  ASSERT_NE(app->m_sfx[7], nullptr);
  EXPECT_NE(app->m_sfx[7]->m_sample, nullptr);
  EXPECT_EQ(app->m_sfx[42], nullptr) << "a missing file leaves the slot empty";
}

TEST_F(Assets, EffectsRotateOverTwentyFourChannelsStartingAtOne) {
  for (int i = 0; i < 33; ++i) app->m_sfxChannels[i] = 100 + i;  // tell slots from channels
  app->m_opt[5] = 1;
  for (int n = 0; n < 49; ++n) app->p_PlaySFX(1, 1);
  const std::vector<int> channels = PlayedChannels();
  ASSERT_EQ(channels.size(), 49u);
  for (int n = 0; n < 49; ++n) EXPECT_EQ(channels[n], 100 + (n + 1) % 24) << "effect " << n;
  EXPECT_EQ(app->m_sfxNext, 49 % 24);
}

TEST_F(Assets, AnEffectStopsItsChannelPlaysAndThenSetsRateVolumeAndPan) {
  audio->files = {Data("sfx/095.wav")};
  app->p_LoadSFX(95);
  app->m_opt[5] = 2;
  app->p_PlaySFX(95, 1.5f, 0.25f, -0.5f);
  const std::vector<std::string> expected = {"stop 1", "play 1 0", "rate 1 1.5", "volume 1 0.25",
                                             "pan 1 -0.5"};
  EXPECT_EQ(audio->calls, expected);

  audio->calls.clear();
  app->p_PlaySFX(95, 1);
  const std::vector<std::string> shortForm = {"stop 2", "play 2 0", "rate 2 1", "volume 2 1",
                                              "pan 2 0"};
  EXPECT_EQ(audio->calls, shortForm) << "the short form plays at volume 1, pan 0";
}

TEST_F(Assets, AMissingEffectOnlyStopsAndSetsUpItsChannel) {
  app->m_opt[5] = 1;
  app->p_PlaySFX(13, 2);
  app->p_PlaySFX(500, 1);  // beyond the table: still takes its slot, plays nothing
  const std::vector<std::string> expected = {"stop 1", "rate 1 2", "volume 1 1", "pan 1 0",
                                             "stop 2", "rate 2 1", "volume 2 1", "pan 2 0"};
  EXPECT_EQ(audio->calls, expected);
}

TEST_F(Assets, TheSoundOptionSilencesEffectsWhenOffOrMusicOnly) {
  audio->files = {Data("sfx/001.wav")};
  app->p_LoadSFX(1);
  for (int option : {0, 3, 4, -1}) {
    app->m_opt[5] = option;
    app->p_PlaySFX(1, 1);
    EXPECT_TRUE(audio->calls.empty()) << "option " << option;
    EXPECT_EQ(app->m_sfxNext, 0) << "a silenced effect takes no slot";
  }
  for (int option : {1, 2}) {
    audio->calls.clear();
    app->m_opt[5] = option;
    app->p_PlaySFX(1, 1);
    EXPECT_EQ(audio->calls.size(), 5u) << "option " << option;
  }
}

TEST_F(Assets, WithoutAnAudioDeviceEffectsAreSilentAndStillRotate) {
  vx_audio_SetAudioDevice(nullptr);
  app->m_opt[5] = 1;
  app->p_LoadSFX(5);
  app->p_PlaySFX(5, 1);
  app->p_PlaySFX(5, 1);
  EXPECT_EQ(app->m_sfx[5], nullptr);
  EXPECT_EQ(app->m_sfxNext, 2);
  EXPECT_TRUE(audio->calls.empty());
}

TEST_F(Assets, ANewGameStartsFromACleanBoardAndShip) {
  vx_Quorvex_jscrh = 360;
  audio->files = {Data("sfx/010.wav")};
  app->p_LoadSFX(10);
  app->m_opt[5] = 1;
  app->m_gameType = 3;
  app->m_score = 77;
  app->m_gameOver = 1;
  app->m_gameOverTime = 40;
  app->m_paused = 1;
  app->m_level = 5;
  app->m_phase = 2;
  for (int i = 0; i < 25000; ++i) app->m_grid[i] = 9;
  for (int i = 0; i < 512; ++i) app->m_player[i] = 9;
  for (int i = 0; i < 5100; ++i) app->m_particles[i] = 9;

  app->p_LoadGame();

  EXPECT_EQ(app->m_gameMode, 10);
  EXPECT_EQ(app->m_score, 0);
  EXPECT_EQ(app->m_gameOver, 0);
  EXPECT_EQ(app->m_gameOverTime, 0);
  EXPECT_EQ(app->m_paused, 0);
  EXPECT_EQ(app->m_bgB, 80.0f);
  EXPECT_EQ(app->m_bgTargetB, 80.0f);
  EXPECT_EQ(app->m_bgR + app->m_bgG + app->m_bgTargetR + app->m_bgTargetG, 0.0f);
  EXPECT_EQ(app->m_track, 3);
  EXPECT_EQ(app->m_level, 0);
  EXPECT_EQ(app->m_phase, 0);
  EXPECT_EQ(app->m_maxParticles, 250);
  ASSERT_GE(audio->calls.size(), 2u);
  EXPECT_EQ(audio->calls[1], "play 1 0") << "the start effect 10 sounds";

  for (int r = 0; r <= 250; ++r) EXPECT_EQ(app->m_particles[10 * r], 0.0f) << "particle " << r;
  EXPECT_EQ(app->m_player[1], 180.0f);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(app->m_player[100 * k], 1.0f);
    EXPECT_EQ(app->m_player[100 * k + 1], 128.0f);
    EXPECT_EQ(app->m_player[100 * k + 2], (float)k * 360 / 5);
  }
  EXPECT_EQ(app->m_player[0], 0.0f);
  EXPECT_EQ(app->m_player[499], 0.0f);
  EXPECT_EQ(app->m_player[500], 9.0f) << "only the first 500 floats are the ship's";
  for (int row = 0; row <= 32; ++row) {
    for (int col = 0; col <= 32; ++col) {
      for (int f = 0; f < 10; ++f) ASSERT_EQ(app->m_grid[(row * 50 + col) * 10 + f], 0.0f);
    }
  }
  EXPECT_EQ(app->m_grid[(0 * 50 + 33) * 10], 9.0f) << "columns past the board stay as they were";
  EXPECT_EQ(app->m_k, 33);
}

}  // namespace
