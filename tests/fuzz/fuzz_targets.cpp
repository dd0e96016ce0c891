// The fuzz targets' bodies (see fuzz_targets.h) and the libFuzzer entry.
#include "tests/fuzz/fuzz_targets.h"

#include <cstdio>
#include <cstdlib>

#include "game/myapp.h"
#include "host/audio/audio_loaders.h"
#include "host/render/gxtk_graphics.h"
#include "stb_image.h"
#include "tests/support/game_rig.h"

namespace {

// String::Load: UTF-8 with or without a byte-order mark, UTF-16 with one, or
// the Latin-1 fallback. Never more units than bytes; the text converts back.
std::string StringLoad(const unsigned char* data, size_t size) {
  String s = String::Load(data, (int)size);
  if (s.Length() > (int)size || s.ToUtf8().size() > 3 * (size_t)s.Length()) std::abort();
  return std::to_string(s.Length()) + " units" + (size && _str_load_err ? " (invalid UTF-8)" : "");
}

// The whole app over the recording devices and the scripted window layer,
// made once, so that a loaded value reaches every screen.
GameRig* rig = nullptr;
c_MyApp* app = nullptr;

// A few hundred updates from the title screen: round the carousel, every
// line of the options, a game with the fire held, the pause menu, quitting
// into the game over and back to the menu, the credits. Escape only where it
// closes a panel: on the title screen it would end the program.
void PlayEveryScreen() {
  rig->audio->calls.clear();  // the recorder keeps only this input's calls
  app->m_gameMode = kModeMenu;
  app->m_showOptions = app->m_showCredits = app->m_paused = app->m_gameOver = 0;
  for (int key : {39, 39, 37}) rig->Tap(key);
  app->m_showOptions = 1;
  app->m_optSel = 0;
  rig->Update(31);
  for (int line = 0; line < 8; ++line) rig->Tap(40);
  rig->Tap(27);
  rig->Update(31);
  app->m_gameType = 1;
  app->m_gameMode = kModeNewGame;  // as the menu hands over
  rig->Update();
  rig->Press(320, 240);
  rig->Update(60);
  rig->MouseButton(false);
  rig->Tap(27);
  rig->Update(15);
  rig->Tap(37), rig->Tap(37), rig->Tap(32);  // quit
  rig->Update(200);
  app->m_gameMode = kModeMenu;
  app->m_gameOver = 0;
  rig->Tap(78);  // the credits
  rig->Update(31);
  rig->Tap(32);
}

// The saved-state payload through p_LoadPayload, from a first start's state:
// the options with limits stay inside them, then every screen is played with
// what was loaded. "same" when saving again gives the text back, "defaults"
// when nothing was taken.
std::string StateLoad(const unsigned char* data, size_t size) {
  static String defaults;
  if (!app) {
    rig = new GameRig();
    if (!rig->Make()) std::abort();
    rig->Start();
    app = rig->app;
    app->p_LoadPayload(String());
    defaults = app->p_SavePayload();
  }
  app->p_LoadPayload(defaults);
  const String text = String::Load(data, (int)size);
  app->p_LoadPayload(text);
  const Array<int>& opt = app->m_opt;
  if (opt[kOptPadX] < 64 || opt[kOptPadY] < 64 || opt[kOptPadSize] < 8 || opt[kOptOverscan] != 1)
    std::abort();
  const String saved = app->p_SavePayload();
  PlayEveryScreen();
  gc_collect_all(nullptr);  // the arrays each text split into go now
  return saved == text ? "same" : saved == defaults ? "defaults" : "changed";
}

// A sound loader: no data and its reason, or as many bytes as length, channels
// and format say.
template <unsigned char* (*Loader)(FILE*, int*, int*, int*, int*)>
std::string SoundLoad(const unsigned char* data, size_t size) {
  // No bytes, no file (fmemopen refuses a size of 0): the loader says so too.
  FILE* f = size ? fmemopen(const_cast<unsigned char*>(data), size, "rb") : nullptr;
  int length = 0, channels = 0, format = 0, hertz = 0;
  unsigned char* pcm = Loader(f, &length, &channels, &format, &hertz);
  if (f) std::fclose(f);
  if (!pcm && !vx_audio_load_err) std::abort();  // a refusal always says why
  if (!pcm) return std::string("rejected: ") + vx_audio_load_err;
  if (length < 0 || channels < 1 || format < 1 || vx_audio_load_err) std::abort();
  // Touch every byte: a short buffer shows up under the address sanitizer.
  unsigned sum = 0;
  for (long long i = 0; i < (long long)length * channels * format; ++i) sum += pcm[i];
  std::free(pcm);
  if (sum == 0xffffffffu) std::abort();  // keeps the reads
  return "loaded " + std::to_string(length) + " " + std::to_string(channels) + " " +
         std::to_string(format) + " " + std::to_string(hertz);
}

// Pictures: decoded by the host's own decoder (gxtk_DecodeImage, which refuses
// what would not fit a texture first), then a surface takes the pixels and
// premultiplies them as a loaded picture's would be.
std::string ImageLoad(const unsigned char* data, size_t size) {
  FILE* f = size ? fmemopen(const_cast<unsigned char*>(data), size, "rb") : nullptr;
  int w = 0, h = 0, depth = 0;
  unsigned char* pixels = gxtk_DecodeImage(f, &w, &h, &depth);
  if (f) std::fclose(f);
  if (!pixels) return "rejected";
  gxtkSurface* surface = new gxtkSurface();
  surface->SetData(pixels, w, h, depth);  // owns the pixels from here
  surface->Discard();
  gc_collect_all(nullptr);  // nothing holds the surface: it goes now
  return "loaded " + std::to_string(w) + "x" + std::to_string(h) + "x" + std::to_string(depth);
}

}  // namespace

FuzzBody FuzzTarget(const std::string& name) {
  [[maybe_unused]] static const bool collectorReady =
      (gc_init_lists(), true);  // before any body runs
  return name == "string_load"  ? StringLoad
         : name == "state_load" ? StateLoad
         : name == "wav_load"   ? SoundLoad<LoadWAV>
         : name == "ogg_load"   ? SoundLoad<LoadOGG>
         : name == "image_load" ? ImageLoad
                                : nullptr;
}

#ifdef QUORVEX_FUZZ_TARGET  // the libFuzzer build: one executable per target
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  static const FuzzBody body = FuzzTarget(QUORVEX_FUZZ_TARGET);
  body(data, size);
  return 0;
}
#endif
