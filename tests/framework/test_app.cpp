// The application base and the game delegate: one application per process, the
// devices made at start, the update and frame brackets, suspend and resume
// order, event routing, the app module's calls into the host, the framework's
// start-up and its collector roots, and the ways the framework ends the program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/framework.h"
#include "tests/support/devices.h"
#include "tests/support/process.h"

namespace {

test_support::RecordingGraphics* g_gfx =
    nullptr;  // the app notes its own calls in the device's log
test_support::RecordingAudio* g_audio = nullptr;

class RecordingApp : public c_App {
 public:
  int p_OnCreate() override {
    c_GameDelegate* d = vx_app__delegate;
    devicesAtCreate = d->m__graphics && d->m__audio && d->m__input &&
                      d->m__graphics == vx_graphics_device && d->m__audio == vx_audio_device &&
                      d->m__input == vx_input_device;
    firstCharAtCreate = vx_graphics_context->m_firstChar;
    return 0;
  }
  int p_OnSuspend() override { return g_audio->calls.push_back("app-suspend"), 0; }
  int p_OnResume() override { return g_audio->calls.push_back("app-resume"), 0; }
  int p_OnUpdate() override { return hitDuringUpdate = vx_input_KeyHit(65), 0; }
  // Noted as "OnRender(drawing on the device?, colour red)".
  int p_OnRender() override {
    const float drawing = vx_graphics_renderDevice == g_gfx ? 1 : 0;
    g_gfx->calls.push_back({"OnRender", {drawing, vx_graphics_context->m_colorR}});
    return 0;
  }
  bool devicesAtCreate = false;
  int firstCharAtCreate = -1, hitDuringUpdate = -1;
};

class App : public ::testing::Test {
 protected:
  void SetUp() override {
    host.now = 4321, vx_random_Seed = 99;
    vx_framework_Init();
    app = new RecordingApp();
    app->m_new();
    // Recording devices in place of the real ones, without starting the game.
    c_GameDelegate* d = vx_app__delegate;
    g_gfx = new test_support::RecordingGraphics(), g_audio = new test_support::RecordingAudio();
    gc_assign(vx_graphics_device, gc_assign(d->m__graphics, (gxtkGraphics*)g_gfx));
    gc_assign(vx_audio_device, gc_assign(d->m__audio, (gxtkAudio*)g_audio));
    gc_assign(vx_input_device, gc_assign(d->m__input, (new c_InputDevice())->m_new()));
  }
  void TearDown() override { vx_app__game = nullptr; }
  test_support::FakeHost host;
  RecordingApp* app = nullptr;
};

// Start-up reseeds the generator (taking the host is the app module's test);
// StartGame makes the devices and the default font before OnCreate.
TEST_F(App, StartUpAndStartGameMakeEverythingBeforeOnCreate) {
  EXPECT_EQ(vx_random_Seed, 1234);
  host.StartGame();
  EXPECT_NE(vx_graphics_device, g_gfx);
  EXPECT_TRUE(app->devicesAtCreate);
  EXPECT_EQ(app->firstCharAtCreate, 32);
  vx_audio_device->Close();
}

TEST_F(App, HostEventsReachTheDevicesAndAnUpdatePollsRunsTheAppThenClearsTheHits) {
  vx_app__delegate->KeyEvent(1, 65);  // (the game's tests send mouse events and typed keys)
  vx_app__delegate->TouchEvent(7, 3, 30, 40);
  vx_app__delegate->MotionEvent(10, 0, 0.25f, 0.5f, 1);
  vx_app__delegate->MotionEvent(9, 0, 5, 5, 5);  // only the accelerometer event counts
  vx_app__delegate->DiscardGraphics();
  EXPECT_EQ(vx_input_TouchY(3), 40);
  EXPECT_EQ(vx_input_AccelY(), 0.5f);
  EXPECT_EQ(g_gfx->Log(), "DiscardGraphics()");
  vx_app__delegate->UpdateGame();
  EXPECT_EQ(host.polled, std::vector<int>{0});
  EXPECT_EQ(app->hitDuringUpdate, 1);
  vx_app__delegate->UpdateGame();
  EXPECT_EQ(app->hitDuringUpdate, 0);
}

// The renderer's mode: 1 a frame (state reset around the app's render), 0 no
// drawing (the app still renders, without a device), 2 loading (nothing of the app).
TEST_F(App, FrameBracketsTheAppsRenderByTheRenderersMode) {
  const std::string reset = "SetColor(255,255,255) SetAlpha(1) SetBlend(0) SetScissor(0,0,640,480)";
  const std::pair<int, std::string> cases[] = {
      {1, "BeginRender() " + reset + " OnRender(1,255) EndRender()"},
      {0, "BeginRender() OnRender(0,7) EndRender()"},
      {2, "BeginRender() " + reset + " EndRender()"}};
  for (const auto& [mode, log] : cases) {
    g_gfx->Clear();
    g_gfx->mode = mode;
    vx_graphics_context->m_colorR = 7;
    vx_app__delegate->RenderGame();
    EXPECT_EQ(g_gfx->Log(), log) << mode;
    EXPECT_EQ(vx_graphics_renderDevice, nullptr) << mode;
  }
}

TEST_F(App, SuspendTellsTheAppFirstAndResumeTellsItLast) {
  vx_app__delegate->SuspendGame();
  vx_app__delegate->ResumeGame();
  EXPECT_EQ(g_audio->Calls(), "app-suspend suspend resume app-resume");
}

TEST_F(App, AppModuleReachesTheHostAndWithoutOneGivesNothing) {
  host.state = "1|2|";
  host.saveResult = 17;
  vx_app_SetUpdateRate(60);
  EXPECT_EQ(host.UpdateRate(), 60);
  EXPECT_EQ(vx_app_Millisecs(), 4321);
  EXPECT_EQ(vx_app_LoadState(), String("1|2|"));
  EXPECT_EQ(vx_app_SaveState(String("9|8|")), 17);
  EXPECT_EQ(host.state, "9|8|");
  vx_app__game = nullptr;
  EXPECT_EQ(vx_app_Millisecs(), 0);
  EXPECT_EQ(vx_app_SaveState(String("x")), -1);
  EXPECT_EQ(vx_app_LoadState().Length(), 0);
}

class Source : public Object, public virtual c_IAsyncEventSource {
 public:
  int p_UpdateAsyncEvents() override { return 0; }
};

// After a full cycle the collector queues the roots afresh, in registration
// order, so the grey list shows that order directly.
TEST_F(App, RootsAreQueuedInTheirFixedOrder) {
  auto* renderDevice = new test_support::RecordingGraphics();
  Source *current = new Source(), *nil = new Source();
  gc_assign(vx_graphics_renderDevice, (gxtkGraphics*)renderDevice);
  gc_assign(vx_asyncevent__current, (c_IAsyncEventSource*)current);
  gc_assign(c_Stack::m_NIL, (c_IAsyncEventSource*)nil);
  gc_collect_all(nullptr);
  std::vector<gc_object*> queued;
  for (gc_object* o = gc_queued_list.succ; o != gc_head(gc_queued_list); o = o->succ)
    queued.push_back(o);
  const std::vector<gc_object*> expected = {
      vx_app__app,           vx_app__delegate, vx_graphics_device,
      vx_graphics_context,   vx_audio_device,  vx_input_device,
      renderDevice,          current,          nil,
      vx_asyncevent__sources};
  EXPECT_EQ(queued, expected);
  vx_graphics_renderDevice = nullptr, vx_asyncevent__current = nullptr, c_Stack::m_NIL = nullptr;
}

// The ways the framework ends the program, in the probe: a second application;
// the close and back keys (on their key down, also when back was already held;
// not on a release or a typed character); EndApp; and from the graphics module,
// frames that do not fit their surface and a matrix stack over- or underflow.
TEST(FrameworkEnding, EachWayGivesItsStatusAndOutput) {
  const std::string error = "Zorbel Runtime Error : ", running = "still running\n",
                    frame = error + "Image frame outside surface\n\n";
  const struct {
    std::vector<std::string> args;
    int status;
    std::string out;
  } cases[] = {{{"twice"}, 255, error + "App has already been created\n\n"},
               {{"keys", "1:432", "1:65"}, 0, ""},
               {{"keys", "1:416", "1:65"}, 0, ""},
               {{"keys", "h416", "1:416"}, 0, ""},
               {{"endapp"}, 0, ""},
               {{"keys", "2:432", "3:432", "2:416", "3:416", "1:431", "1:417"}, 7, running},
               {{"frames", "200", "128", "4"}, 7, running},
               {{"frames", "200", "100", "4"}, 255, frame},
               {{"frames", "32", "100", "1"}, 255, frame},
               {{"push", "33"}, 255, error + "Matrix stack overflow\n\n"},
               {{"pop"}, 255, error + "Matrix stack underflow\n\n"}};
  for (const auto& c : cases) {
    std::vector<std::string> argv = {QUORVEX_PROBE, "framework"};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const ProcessResult r = RunProcess(argv);
    EXPECT_EQ(r.status, c.status) << c.args[0] << " " << c.args.back();
    EXPECT_EQ(r.out, "before\n" + c.out) << c.args[0] << " " << c.args.back();
  }
}

}  // namespace
