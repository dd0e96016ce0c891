// The application base, the game delegate the host drives, the app module's
// functions and the framework's start-up (module globals and collector roots).
//
// The delegate owns the three devices for the whole run. An update is the
// joystick poll, the application's update, then the clearing of this update's
// hits; a frame is the renderer's begin, the graphics module's state reset, the
// application's render, the module's end and the renderer's end.
//
// Left out: saving on the way out (EndApp ends the process at once) and any
// touch, motion or lost-context handling beyond forwarding.
#include "framework/app.h"

#include "framework/asyncevent.h"
#include "framework/audio.h"
#include "framework/graphics.h"
#include "framework/input.h"
#include "framework/random.h"

VxGame* vx_app__game = nullptr;
c_App* vx_app__app = nullptr;
c_GameDelegate* vx_app__delegate = nullptr;
int vx_app__updateRate = 0;

namespace {

constexpr int kBackKey = 416;

// Renderer modes returned by BeginRender.
constexpr int kRenderNone = 0;
constexpr int kRenderLoading = 2;

// One root per global so the order is exactly the registration order.
void MarkApp() { gc_mark_q(vx_app__app); }
void MarkDelegate() { gc_mark_q(vx_app__delegate); }
void MarkGraphicsDevice() { gc_mark_q(vx_graphics_device); }
void MarkGraphicsContext() { gc_mark_q(vx_graphics_context); }
void MarkRenderDevice() { gc_mark_q(vx_graphics_renderDevice); }
void MarkAudioDevice() { gc_mark_q(vx_audio_device); }
void MarkInputDevice() { gc_mark_q(vx_input_device); }
void MarkAsyncCurrent() { gc_mark_q(vx_asyncevent__current); }
void MarkStackNil() { gc_mark_q(c_Stack::m_NIL); }
void MarkAsyncSources() { gc_mark_q(vx_asyncevent__sources); }

}  // namespace

c_App* c_App::m_new() {
  if (vx_app__app) vxError(String("App has already been created"));
  gc_assign(vx_app__app, this);
  gc_assign(vx_app__delegate, (new c_GameDelegate())->m_new());
  if (vx_app__game) vx_app__game->SetDelegate(vx_app__delegate);
  return this;
}

int c_App::p_OnCreate() { return 0; }
int c_App::p_OnSuspend() { return 0; }
int c_App::p_OnResume() { return 0; }
int c_App::p_OnUpdate() { return 0; }
int c_App::p_OnRender() { return 0; }
int c_App::p_OnLoading() { return 0; }
int c_App::p_OnClose() { vx_app_EndApp(); }
int c_App::p_OnBack() { vx_app_EndApp(); }

c_GameDelegate* c_GameDelegate::m_new() { return this; }

void c_GameDelegate::mark() {
  VxGameDelegate::mark();
  gc_mark_q(m__graphics);
  gc_mark_q(m__audio);
  gc_mark_q(m__input);
}

void c_GameDelegate::StartGame() {
  gc_assign(m__graphics, new gxtkGraphics());
  gc_assign(vx_graphics_device, m__graphics);
  vx_graphics_SetFont(nullptr, 32);
  gc_assign(m__audio, new gxtkAudio());
  gc_assign(vx_audio_device, m__audio);
  // m_new fills the four joystick slots.
  gc_assign(m__input, (new c_InputDevice())->m_new());
  gc_assign(vx_input_device, m__input);
  vx_app__app->p_OnCreate();
}

void c_GameDelegate::SuspendGame() {
  vx_app__app->p_OnSuspend();
  if (m__audio) m__audio->Suspend();
}

void c_GameDelegate::ResumeGame() {
  if (m__audio) m__audio->Resume();
  vx_app__app->p_OnResume();
}

void c_GameDelegate::UpdateGame() {
  if (m__input) m__input->p_BeginUpdate();
  vx_app__app->p_OnUpdate();
  if (m__input) m__input->p_EndUpdate();
}

void c_GameDelegate::RenderGame() {
  const int mode = m__graphics ? m__graphics->BeginRender() : kRenderNone;
  if (mode != kRenderNone) vx_graphics_BeginRender();
  // The application renders even without a device; it must not rely on the
  // reset drawing state then.
  if (mode == kRenderLoading) {
    vx_app__app->p_OnLoading();
  } else {
    vx_app__app->p_OnRender();
  }
  if (mode != kRenderNone) vx_graphics_EndRender();
  if (m__graphics) m__graphics->EndRender();
}

void c_GameDelegate::KeyEvent(int event, int data) {
  if (m__input) m__input->p_KeyEvent(event, data);
  // Checked on every key-down, held or not: closing must always work.
  if (event == c_VxGameEvent::KeyDown) {
    if (data == kVxCloseKey) {
      vx_app__app->p_OnClose();
    } else if (data == kBackKey) {
      vx_app__app->p_OnBack();
    }
  }
}

void c_GameDelegate::MouseEvent(int event, int data, float x, float y) {
  if (m__input) m__input->p_MouseEvent(event, data, x, y);
}

void c_GameDelegate::TouchEvent(int event, int data, float x, float y) {
  if (m__input) m__input->p_TouchEvent(event, data, x, y);
}

void c_GameDelegate::MotionEvent(int event, int data, float x, float y, float z) {
  if (m__input) m__input->p_MotionEvent(event, data, x, y, z);
}

void c_GameDelegate::DiscardGraphics() {
  if (m__graphics) m__graphics->DiscardGraphics();
}

int vx_app_SetUpdateRate(int rate) {
  vx_app__updateRate = rate;
  if (vx_app__game) vx_app__game->SetUpdateRate(rate);
  return 0;
}

int vx_app_Millisecs() { return vx_app__game ? vx_app__game->Millisecs() : 0; }

String vx_app_LoadState() { return vx_app__game ? vx_app__game->LoadState() : String(); }

int vx_app_SaveState(String state) { return vx_app__game ? vx_app__game->SaveState(state) : -1; }

void vx_app_EndApp() { vxError(String()); }

VxGlfwVideoMode* vx_app_DesktopMode() {
  return VxGlfwGame::_glfwGame ? VxGlfwGame::GetGlfwDesktopMode() : nullptr;
}

void vx_app_OpenWindow(int width, int height, int red, int green, int blue, bool fullscreen) {
  if (VxGlfwGame* host = VxGlfwGame::_glfwGame)
    host->SetGlfwWindow(width, height, red, green, blue, 0, 0, 0, fullscreen);
}

void vx_framework_Init() {
  vx_graphics_device = nullptr;
  gc_assign(vx_graphics_context, (new c_GraphicsContext())->m_new());
  vx_graphics_renderDevice = nullptr;
  vx_input_device = nullptr;
  vx_audio_device = nullptr;
  vx_random_Seed = 1234;
  vx_app__game = VxGame::_game;
  vx_app__app = nullptr;
  vx_app__delegate = nullptr;
  vx_app__updateRate = 0;
  gc_assign(vx_asyncevent__sources, (new c_Stack())->m_new());
  vx_asyncevent__current = nullptr;
  c_Stack::m_NIL = nullptr;

  gc_add_root(MarkApp);
  gc_add_root(MarkDelegate);
  gc_add_root(MarkGraphicsDevice);
  gc_add_root(MarkGraphicsContext);
  gc_add_root(MarkAudioDevice);
  gc_add_root(MarkInputDevice);
  gc_add_root(MarkRenderDevice);
  gc_add_root(MarkAsyncCurrent);
  gc_add_root(MarkStackNil);
  gc_add_root(MarkAsyncSources);
}
