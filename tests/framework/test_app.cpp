// The application base and the game delegate: one application per process,
// the devices made at start, the update and frame brackets, suspend and resume
// order, event routing, the app module's calls into the host, and the
// framework's start-up (globals and the order of the collector roots). The
// ways the program ends run as child processes (app_probe.cpp).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/framework.h"
#include "host/glfw2_scripted.h"
#include "tests/support/process.h"

namespace {

std::string g_log;
void Log(const std::string& s) {
  if (!g_log.empty()) g_log += ' ';
  g_log += s;
}

// Sound goes to a file through OpenAL's wave output: no sound card needed.
void UseWaveAudio() {
  const std::string dir = ::testing::TempDir();
  const std::string conf = dir + "framework_app_alsoft.conf";
  FILE* f = std::fopen(conf.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fprintf(f, "[general]\ndrivers=wave\n[wave]\nfile=%sframework_app_out.wav\n", dir.c_str());
  std::fclose(f);
  setenv("ALSOFT_CONF", conf.c_str(), 1);
}

class FakeHost : public VxGame {
 public:
  std::string saved;
  bool PollJoystick(int port, Array<float>, Array<float>, Array<float>, Array<bool>) override {
    Log("poll" + std::to_string(port));
    return false;
  }
  int Millisecs() override { return 4321; }
  int SaveState(String state) override {
    saved = state.ToUtf8();
    return 17;
  }
  String LoadState() override { return String("1|2|"); }
};

class RecordingApp : public c_App {
 public:
  int p_OnCreate() override {
    Log("create");
    devicesAtCreate = vx_graphics_device && vx_audio_device && vx_input_device &&
                      vx_app__delegate->m__graphics == vx_graphics_device &&
                      vx_app__delegate->m__audio == vx_audio_device &&
                      vx_app__delegate->m__input == vx_input_device;
    firstCharAtCreate = vx_graphics_context->m_firstChar;
    return 0;
  }
  int p_OnSuspend() override {
    Log("app-suspend");
    return 0;
  }
  int p_OnResume() override {
    Log("app-resume");
    return 0;
  }
  int p_OnUpdate() override {
    Log("update");
    hitDuringUpdate = vx_input_KeyHit(65);
    return 0;
  }
  int p_OnRender() override {
    Log("render");
    deviceDuringRender = vx_graphics_renderDevice;
    colorDuringRender = vx_graphics_context->m_colorR;
    return 0;
  }

  bool devicesAtCreate = false;
  int firstCharAtCreate = -1;
  int hitDuringUpdate = -1;
  gxtkGraphics* deviceDuringRender = nullptr;
  float colorDuringRender = -1;
};

// A renderer that reports a chosen mode and logs what the frame asks of it.
class FakeGraphics : public gxtkGraphics {
 public:
  int mode = 1;
  int Width() override { return 640; }
  int Height() override { return 480; }
  int BeginRender() override {
    Log("begin");
    return mode;
  }
  void EndRender() override { Log("end"); }
  void DiscardGraphics() override { Log("discard"); }
  int SetColor(float, float, float) override {
    Log("color");
    return 0;
  }
  int SetAlpha(float) override {
    Log("alpha");
    return 0;
  }
  int SetBlend(int) override {
    Log("blend");
    return 0;
  }
  int SetScissor(int, int, int, int) override {
    Log("scissor");
    return 0;
  }
  int SetMatrix(float, float, float, float, float, float) override { return 0; }
};

// An audio device with its OpenAL side closed at once; it logs the pause calls.
class FakeAudio : public gxtkAudio {
 public:
  FakeAudio() { Close(); }
  int Suspend() override {
    Log("audio-suspend");
    return 0;
  }
  int Resume() override {
    Log("audio-resume");
    return 0;
  }
};

class RecordingSource : public Object, public virtual c_IAsyncEventSource {
 public:
  int p_UpdateAsyncEvents() override { return 0; }
};

class AppTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { UseWaveAudio(); }
  void SetUp() override {
    glfw2_script::Reset();
    vx_framework_Init();
    app_ = new RecordingApp();
    app_->m_new();
    g_log.clear();
  }
  // Devices of our own in place of the real ones, without starting the game.
  void UseFakes() {
    gc_assign(vx_app__delegate->m__graphics, (gxtkGraphics*)(fakeGraphics_ = new FakeGraphics()));
    gc_assign(vx_graphics_device, vx_app__delegate->m__graphics);
    gc_assign(vx_app__delegate->m__audio, (gxtkAudio*)new FakeAudio());
    gc_assign(vx_audio_device, vx_app__delegate->m__audio);
    gc_assign(vx_app__delegate->m__input, (new c_InputDevice())->m_new());
    gc_assign(vx_input_device, vx_app__delegate->m__input);
  }

  void TearDown() override {
    // Lets the wave output of a started game's device finish.
    if (vx_audio_device) vx_audio_device->Close();
    vx_app__game = nullptr;
  }

  FakeHost hostObject_;
  FakeHost* host_ = &hostObject_;
  RecordingApp* app_ = nullptr;
  FakeGraphics* fakeGraphics_ = nullptr;
};

TEST_F(AppTest, NewAppRegistersItselfAndHandsItsDelegateToTheHost) {
  EXPECT_EQ(vx_app__app, app_);
  ASSERT_NE(vx_app__delegate, nullptr);
  EXPECT_EQ(host_->Delegate(), vx_app__delegate);
  EXPECT_EQ(vx_app__delegate->m__graphics, nullptr);
  EXPECT_EQ(vx_app__delegate->m__audio, nullptr);
  EXPECT_EQ(vx_app__delegate->m__input, nullptr);
}

TEST_F(AppTest, StartGameMakesTheDevicesAndTheDefaultFontBeforeOnCreate) {
  host_->StartGame();
  EXPECT_EQ(g_log, "create");
  EXPECT_TRUE(app_->devicesAtCreate);
  EXPECT_EQ(app_->firstCharAtCreate, 32);
  for (int j = 0; j < 4; ++j) EXPECT_NE(vx_input_device->m__joyStates[j], nullptr) << j;
}

TEST_F(AppTest, UpdateSeesHitsCountedSinceTheLastUpdateThenClearsThem) {
  UseFakes();
  vx_app__delegate->KeyEvent(1, 65);
  vx_app__delegate->UpdateGame();
  EXPECT_EQ(g_log, "poll0 update");
  EXPECT_EQ(app_->hitDuringUpdate, 1);
  EXPECT_EQ(vx_input_KeyHit(65), 0);
  EXPECT_EQ(vx_input_KeyDown(65), 1);
  vx_app__delegate->UpdateGame();
  EXPECT_EQ(app_->hitDuringUpdate, 0);
}

TEST_F(AppTest, UpdateThroughTheHostAfterStart) {
  host_->StartGame();
  host_->KeyEvent(1, 65);
  g_log.clear();
  host_->UpdateGame();
  EXPECT_EQ(g_log, "poll0 update");
  EXPECT_EQ(app_->hitDuringUpdate, 1);
  EXPECT_EQ(vx_input_KeyHit(65), 0);
}

TEST_F(AppTest, FrameResetsTheDrawingStateAroundTheAppsRender) {
  UseFakes();
  vx_graphics_context->m_colorR = 7;
  vx_app__delegate->RenderGame();
  EXPECT_EQ(g_log, "begin color alpha blend scissor render end");
  EXPECT_EQ(app_->deviceDuringRender, fakeGraphics_);
  EXPECT_EQ(app_->colorDuringRender, 255);
  EXPECT_EQ(vx_graphics_renderDevice, nullptr);
}

TEST_F(AppTest, FrameWithoutDrawingStillRendersTheAppWithoutReset) {
  UseFakes();
  fakeGraphics_->mode = 0;
  vx_graphics_context->m_colorR = 7;
  vx_app__delegate->RenderGame();
  EXPECT_EQ(g_log, "begin render end");
  EXPECT_EQ(app_->deviceDuringRender, nullptr);
  EXPECT_EQ(app_->colorDuringRender, 7);
}

TEST_F(AppTest, LoadingFrameDrawsNothingFromTheApp) {
  UseFakes();
  fakeGraphics_->mode = 2;
  vx_app__delegate->RenderGame();
  EXPECT_EQ(g_log, "begin color alpha blend scissor end");
  EXPECT_EQ(vx_graphics_renderDevice, nullptr);
}

TEST_F(AppTest, SuspendTellsTheAppFirstAndResumeTellsItLast) {
  UseFakes();
  vx_app__delegate->SuspendGame();
  vx_app__delegate->ResumeGame();
  EXPECT_EQ(g_log, "app-suspend audio-suspend audio-resume app-resume");
}

TEST_F(AppTest, PointerTouchAndMotionEventsReachTheInputDevice) {
  UseFakes();
  vx_app__delegate->MouseEvent(4, 0, 10, 20);
  EXPECT_EQ(vx_input_MouseDown(0), 1);
  EXPECT_EQ(vx_input_MouseX(), 10);
  vx_app__delegate->MouseEvent(5, 0, 10, 20);
  EXPECT_EQ(vx_input_MouseDown(0), 0);
  vx_app__delegate->TouchEvent(7, 3, 30, 40);
  EXPECT_EQ(vx_input_TouchDown(3), 1);
  EXPECT_EQ(vx_input_TouchY(3), 40);
  vx_app__delegate->MotionEvent(10, 0, 0.25f, 0.5f, 1);
  EXPECT_EQ(vx_input_AccelX(), 0.25f);
  vx_app__delegate->MotionEvent(3, 0, 9, 9, 9);
  EXPECT_EQ(vx_input_AccelY(), 0.5f);
  vx_app__delegate->KeyEvent(3, 'q');
  EXPECT_EQ(vx_input_GetChar(), 'q');
  vx_app__delegate->DiscardGraphics();
  EXPECT_EQ(g_log, "discard");
}

TEST_F(AppTest, AppModuleReachesTheHost) {
  EXPECT_EQ(vx_app_SetUpdateRate(60), 0);
  EXPECT_EQ(vx_app__updateRate, 60);
  EXPECT_EQ(host_->UpdateRate(), 60);
  EXPECT_EQ(vx_app_Millisecs(), 4321);
  EXPECT_EQ(vx_app_SaveState(String("9|8|")), 17);
  EXPECT_EQ(host_->saved, "9|8|");
  EXPECT_EQ(vx_app_LoadState(), String("1|2|"));
}

TEST_F(AppTest, FrameworkStartSetsEveryModuleGlobal) {
  vx_random_Seed = 99;
  vx_app_SetUpdateRate(30);
  vx_framework_Init();
  EXPECT_EQ(vx_random_Seed, 1234);
  EXPECT_EQ(vx_app__game, host_);
  EXPECT_EQ(vx_app__app, nullptr);
  EXPECT_EQ(vx_app__delegate, nullptr);
  EXPECT_EQ(vx_app__updateRate, 0);
  EXPECT_EQ(vx_graphics_device, nullptr);
  EXPECT_EQ(vx_graphics_renderDevice, nullptr);
  ASSERT_NE(vx_graphics_context, nullptr);
  EXPECT_EQ(vx_graphics_context->m_matrixStack.Length(), 192);
  EXPECT_EQ(vx_audio_device, nullptr);
  EXPECT_EQ(vx_input_device, nullptr);
  ASSERT_NE(vx_asyncevent__sources, nullptr);
  EXPECT_EQ(vx_asyncevent__sources->p_Length2(), 0);
  EXPECT_EQ(vx_asyncevent__current, nullptr);
  EXPECT_EQ(vx_asyncevent_UpdateAsyncEvents(), 0);
}

// After a full cycle the collector queues the roots afresh, in registration
// order, so the grey list shows that order directly.
TEST_F(AppTest, RootsAreQueuedInTheirFixedOrder) {
  UseFakes();
  FakeGraphics* renderDevice = new FakeGraphics();
  RecordingSource* current = new RecordingSource();
  RecordingSource* nil = new RecordingSource();
  gc_assign(vx_graphics_renderDevice, (gxtkGraphics*)renderDevice);
  gc_assign(vx_asyncevent__current, (c_IAsyncEventSource*)current);
  gc_assign(c_Stack::m_NIL, (c_IAsyncEventSource*)nil);
  gc_collect_all(nullptr);
  std::vector<gc_object*> queued;
  for (gc_object* o = gc_queued_list.succ; o != gc_head(gc_queued_list); o = o->succ) {
    queued.push_back(o);
  }
  const std::vector<gc_object*> expected = {
      vx_app__app,           vx_app__delegate,     vx_graphics_device, vx_graphics_context,
      vx_audio_device,       vx_input_device,      renderDevice,       current,
      nil,                   vx_asyncevent__sources};
  EXPECT_EQ(queued, expected);
  vx_graphics_renderDevice = nullptr;
  vx_asyncevent__current = nullptr;
  c_Stack::m_NIL = nullptr;
}

TEST_F(AppTest, DevicesSurviveCollectionThroughTheRoots) {
  host_->StartGame();
  gxtkAudio* audio = vx_audio_device;
  c_InputDevice* input = vx_input_device;
  const long long before = gc_destroyed_count;
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_EQ(vx_audio_device, audio);
  EXPECT_EQ(vx_input_device, input);
  // Everything reachable from the roots: the app, delegate, devices, font
  // attempt and stack all stayed.
  vx_app__delegate->KeyEvent(1, 90);
  EXPECT_EQ(vx_input_KeyHit(90), 1);
  (void)before;
}

// The ways the program ends, as real processes.
ProcessResult Probe(const char* mode) { return RunProcess({APP_PROBE, mode}); }

TEST(AppEnding, SecondApplicationStopsTheProgram) {
  const ProcessResult r = Probe("twice");
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.status, 255);
  EXPECT_EQ(r.out.rfind("first app created\nZorbel Runtime Error : App has already been created\n", 0),
            0u)
      << r.out;
  EXPECT_EQ(r.out.find("second app created"), std::string::npos);
}

// The close and back keys end at once on their key down (also when back was
// already held), a release alone does not, and EndApp ends with no report.
TEST(AppEnding, EachWayOfEndingGivesItsStatusAndOutput) {
  const struct {
    const char* mode;
    int status;
    const char* out;
  } cases[] = {{"close", 0, "before\n"},
               {"back", 0, "before\n"},
               {"back-held", 0, "before\n"},
               {"close-release", 7, "still running\n"},
               {"endapp", 0, "before\n"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mode);
    const ProcessResult r = Probe(c.mode);
    EXPECT_TRUE(r.exited);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
  }
}

TEST(AppEnding, WindowCloseThroughTheHostLoopEndsWithStatusZero) {
  ProcessOptions opt;
  opt.env.push_back("ALSOFT_DRIVERS=null");
  const ProcessResult r = RunProcess({APP_PROBE, "loop-close"}, opt);
  EXPECT_TRUE(r.exited);
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, "first update\n");
}

}  // namespace

namespace {

// The whole bracket through the desktop host's own loop on the scripted window
// layer: the app swaps in a logging renderer when it is created.
class LoopApp : public c_App {
 public:
  int p_OnCreate() override {
    fake = new FakeGraphics();
    gc_assign(vx_app__delegate->m__graphics, (gxtkGraphics*)fake);
    gc_assign(vx_graphics_device, vx_app__delegate->m__graphics);
    vx_app_SetUpdateRate(60);
    events.push_back('C');
    return 0;
  }
  int p_OnUpdate() override {
    events.push_back('U');
    hits += vx_input_KeyHit(65);
    if (vx_input_KeyHit(65)) heldWhenHit = vx_input_KeyDown(65);
    return 0;
  }
  int p_OnRender() override {
    events.push_back('R');
    if (vx_graphics_renderDevice != fake) renderedWithoutDevice = true;
    return 0;
  }

  FakeGraphics* fake = nullptr;
  std::string events;
  int hits = 0;
  int heldWhenHit = -1;
  bool renderedWithoutDevice = false;
};

TEST(AppLoop, HostLoopRunsUpdatesBetweenFramesAndKeyHitsLastOneUpdate) {
  UseWaveAudio();
  glfw2_script::Reset();
  glfw2::glfwInit();
  VxGlfwGame host;
  vx_framework_Init();
  LoopApp* app = new LoopApp();
  app->m_new();
  ASSERT_EQ(host.Delegate(), vx_app__delegate);
  glfw2_script::Key(0.105, 'A', GLFW_PRESS);
  glfw2_script::Key(0.106, 'A', GLFW_RELEASE);
  glfw2_script::CloseWindow(0.5);
  host.Run();
  if (vx_audio_device) vx_audio_device->Close();

  const std::string& ev = app->events;
  ASSERT_GE(ev.size(), 3u);
  EXPECT_EQ(ev.substr(0, 2), "CR");  // created, then the first frame before any update
  int updates = 0, run = 0, longestRun = 0;
  for (char c : ev.substr(1)) {
    if (c == 'U') {
      ++updates;
      longestRun = std::max(longestRun, ++run);
    } else {
      run = 0;
    }
  }
  // Half a second at 60 updates a second, at most four updates per frame.
  EXPECT_NEAR(updates, 30, 2);
  EXPECT_LE(longestRun, 4);
  EXPECT_EQ(app->hits, 1);
  EXPECT_EQ(app->heldWhenHit, 0);
  EXPECT_FALSE(app->renderedWithoutDevice);
  vx_app__game = nullptr;
}

}  // namespace
