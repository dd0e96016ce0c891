#include "tests/support/game_rig.h"

#include <cstdio>

#include "framework/app.h"
#include "framework/input.h"
#include "host/platform/glfw2_scripted.h"
#include "host/platform/options.h"

namespace {

// The framework's delegate, except that the devices are the rig's: they
// are in place before the start, so the app's creation already meets them.
class TestDelegate : public c_GameDelegate {
 public:
  void StartGame() override { vx_app__app->p_OnCreate(); }
};

}  // namespace

bool GameRig::Make() {
  glfw2_script::Reset();
  vx_host_options = VxHostOptions();
  if (!glfwInit()) return false;
  gc_clear_roots();
  vxInit();
  vxMain();
  app = dynamic_cast<c_MyApp*>(vx_app__app);
  TestDelegate* d = gc_assign(vx_app__delegate, new TestDelegate());
  host.SetDelegate(d);
  gc_assign(vx_graphics_device,
            gc_assign(d->m__graphics, gfx = new test_support::RecordingGraphics()));
  gc_assign(vx_audio_device, gc_assign(d->m__audio, audio = new test_support::RecordingAudio()));
  gc_assign(vx_input_device, gc_assign(d->m__input, input = (new c_InputDevice())->m_new()));
  gc_mark();  // roots are otherwise walked only at the next sweep
  return true;
}

void GameRig::Clear() {
  gc_clear_roots();  // everything of the app goes
  gc_collect_all(nullptr);
  glfwTerminate();
}

void GameRig::Start() {
  host.StartGame();
  for (int i = 0; i < 100 && app->m_loadPhase != 0; ++i) Update();
}

void GameRig::Update(int n) {
  for (int i = 0; i < n; ++i) {
    host.now += 16;
    host.UpdateGame();
    gfx->Clear();  // only the last frame's calls are kept
    host.RenderGame();
  }
}

void GameRig::Key(int code, bool down) { host.KeyEvent(down ? 1 : 2, code); }

void GameRig::Tap(int code) {
  Key(code, true);
  Update();
  Key(code, false);
  Update();
}

void GameRig::Stick(float x, float y) { host.pads[0] = {true, {x, 0}, {y, 0}, {}, {}}; }

void GameRig::Mouse(int x, int y) { host.MouseEvent(6, 0, mouseX_ = (float)x, mouseY_ = (float)y); }

void GameRig::MouseButton(bool down) { host.MouseEvent(down ? 4 : 5, 0, mouseX_, mouseY_); }

void GameRig::NewGame(int type) {
  app->m_gameType = type;
  app->m_gameMode = kModeNewGame;  // as the menu hands over
  Update();
}

std::vector<DrawRecord> GameRig::Records() const {
  std::vector<DrawRecord> out;
  for (int at = 0; at + kDrawRecordFloats <= app->m_drawCount; at += kDrawRecordFloats) {
    out.push_back(ReadDrawRecord(&app->m_drawList[at]));
  }
  return out;
}

int GameRig::Glyphs(float top, float bottom) const {
  int n = 0;
  for (const DrawRecord& r : Records()) n += r.kind == app->m_font && r.y >= top && r.y < bottom;
  return n;
}

int GameRig::Plays(int effect) const {
  char name[16];
  std::snprintf(name, sizeof name, ":%03d.wav,", effect);
  int n = 0;
  for (const std::string& c : audio->calls)
    n += c.rfind("play", 0) == 0 && c.find(name) != std::string::npos;
  return n;
}
