#include "tests/support/myapp.h"

#include <cstdio>

#include "framework/app.h"
#include "framework/input.h"
#include "host/glfw2_scripted.h"
#include "host/options.h"

namespace {

// The framework's delegate, except that the devices are the fixture's: they
// are in place before the start, so the app's creation already meets them.
class TestDelegate : public c_GameDelegate {
 public:
  void StartGame() override { vx_app__app->p_OnCreate(); }
};

}  // namespace

void MyAppTest::SetUp() {
  glfw2_script::Reset();
  vx_host_options = VxHostOptions();
  ASSERT_TRUE(glfwInit());
  gc_clear_roots();
  vxInit();
  vxMain();
  app = dynamic_cast<c_MyApp*>(vx_app__app);
  TestDelegate* d = gc_assign(vx_app__delegate, new TestDelegate());
  host.SetDelegate(d);
  gc_assign(vx_graphics_device, gc_assign(d->m__graphics, gfx = new test_support::RecordingGraphics()));
  gc_assign(vx_audio_device, gc_assign(d->m__audio, audio = new test_support::RecordingAudio()));
  gc_assign(vx_input_device, gc_assign(d->m__input, input = (new c_InputDevice())->m_new()));
  gc_mark();  // roots are otherwise walked only at the next sweep
}

void MyAppTest::TearDown() {
  gc_clear_roots();  // everything of this test goes
  gc_collect_all(nullptr);
  glfwTerminate();
}

void MyAppTest::Start() {
  host.StartGame();
  for (int i = 0; i < 100 && app->m_loadPhase != 0; ++i) Update();
}

void MyAppTest::Update(int n) {
  for (int i = 0; i < n; ++i) {
    host.now += 16;
    host.UpdateGame();
    gfx->Clear();  // only the last frame's calls are kept
    host.RenderGame();
  }
}

void MyAppTest::Key(int code, bool down) { host.KeyEvent(down ? 1 : 2, code); }

void MyAppTest::Tap(int code) {
  Key(code, true);
  Update();
  Key(code, false);
  Update();
}

void MyAppTest::Stick(float x, float y) { host.pads[0] = {true, {x, 0}, {y, 0}, {}, {}}; }

void MyAppTest::Mouse(int x, int y) { host.MouseEvent(6, 0, mouseX_ = (float)x, mouseY_ = (float)y); }

void MyAppTest::MouseButton(bool down) { host.MouseEvent(down ? 4 : 5, 0, mouseX_, mouseY_); }

void MyAppTest::NewGame(int type) {
  app->m_gameType = type;
  app->m_gameMode = 11;  // as the menu hands over
  Update();
}

std::vector<DrawRecord> MyAppTest::Records() const {
  std::vector<DrawRecord> out;
  for (int at = 0; at + 15 <= app->m_drawCount; at += 15) {
    const float* r = &app->m_drawList[at];
    out.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[10], r[11], r[12], r[13]});
  }
  return out;
}

int MyAppTest::Glyphs(float top, float bottom) const {
  int n = 0;
  for (const DrawRecord& r : Records()) n += r.kind == app->m_font && r.y >= top && r.y < bottom;
  return n;
}

int MyAppTest::Plays(int effect) const {
  char name[16];
  std::snprintf(name, sizeof name, ":%03d.wav,", effect);
  int n = 0;
  for (const std::string& c : audio->calls) n += c.rfind("play", 0) == 0 && c.find(name) != std::string::npos;
  return n;
}
