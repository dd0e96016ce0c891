// The application's life: construction, creation, the fifteen steps of every
// update with the screen dispatch, the render that replays the draw list onto
// the device, suspend and resume, the in-game overlay, and the asset loader
// that brings one picture or sound in per update behind a loading display.
//
// Left out: the "Click to Start" waiting screen (style 0), which no screen
// mode of this program reaches.
#include <cmath>

#include "framework/audio.h"
#include "framework/graphics.h"
#include "framework/input.h"
#include "framework/random.h"
#include "game/helpers.h"

namespace {

constexpr int kLastPhase = 27;

// Picture resolution class for a device: 1, 2 above 630 pixels, 4 above 1230.
int ResolutionClass() {
  const int w = vx_graphics_DeviceWidth(), h = vx_graphics_DeviceHeight();
  if (w > 1230 || h > 1230) return 4;
  if (w > 630 || h > 630) return 2;
  return 1;
}

void ApplyResolutionClass(c_MyApp& app) {
  app.m_hdFactor = ResolutionClass();
  app.m_imgScale = 1.0f / (float)app.m_hdFactor;
}

// Rate meters: an instantaneous rate from the time since the last call,
// smoothed over about ten calls. The same time twice keeps the last rate.
void Meter(int& last, int& now, int& smoothed) {
  const int t = vx_app_Millisecs();
  if (t > last) now = 1000 / (t - last);
  smoothed = (smoothed * 9 + now) / 10;
  last = t;
}

// Moves a slide-in counter one step toward 30 while its panel is open, toward 0 otherwise.
int Slide(int value, bool open) {
  if (open) return value < 30 ? value + 1 : 30;
  return value > 0 ? value - 1 : 0;
}

// A game in progress is always paused when the program goes to the background.
void PauseRule(c_MyApp& app) {
  if (app.m_gameMode < kModePlay) {
    app.m_paused = 0;
    app.m_pauseState = 0;
    app.m_pausePanelY = 0;
  } else {
    app.m_paused = 1;
    app.m_pauseState = 1;
    app.m_pausePanelY = (int)(vx_Quorvex_jscrh / 2.0f);
  }
}

void PauseGame(c_MyApp& app) {
  app.m_paused = 1;
  app.m_pauseState = 1;
  app.m_pauseSel = 0;
  app.p_PlaySFX(kSfxConfirm, 1, 0.5f, 0);
}

}  // namespace

c_MyApp::c_MyApp() {
  gc_assign(m_music, (new c_QZPlayer())->m_new());
  gc_assign(m_img, Array<c_Image*>(kImageSlots));
  gc_assign(m_imgSize, Array<int>(300));
  gc_assign(m_popBadge, Array<int>(15));
  gc_assign(m_popTime, Array<int>(15));
  gc_assign(m_badges, Array<bool>(256));
  gc_assign(m_ctrl, Array<int>(kCtrlEntries));
  gc_assign(m_opt, Array<int>(kOptCount));
  gc_assign(m_hiScores, Array<int>(150));
  gc_assign(m_sfxChannels, Array<int>(33));
  gc_assign(m_drawList, Array<float>(kDrawListFloats));
  gc_assign(m_touchDown, Array<int>(10));
  gc_assign(m_touchX, Array<int>(10));
  gc_assign(m_touchY, Array<int>(10));
  gc_assign(m_sfx, Array<c_Sound*>(kSoundSlots));
  gc_assign(m_grid, Array<float>(kGridFloats));
  gc_assign(m_player, Array<float>(512));
  gc_assign(m_shots, Array<float>(510));
  gc_assign(m_rings, Array<float>(50));
  // Until a lead-in renews them the rings have no size and a finite scale
  // (the widest divisor), so the first game's first frames draw nothing wrong.
  for (int j = 1; j <= 3; ++j) m_rings[kRecordFloats * j + kRingDivisor] = 20.0f;
  gc_assign(m_stars, Array<float>(5100));
  gc_assign(m_particles, Array<float>(5100));
  m_opt[kOptSound] = kSoundAll;
  for (int i = 0; i < 33; ++i) m_sfxChannels[i] = i;
  p_ResetDraw();
}

c_MyApp* c_MyApp::m_new() {
  c_App::m_new();
  return this;
}

void c_MyApp::mark() {
  c_App::mark();
  gc_mark_q(m_music);
  gc_mark_q(m_img);
  gc_mark_q(m_imgSize);
  gc_mark_q(m_popBadge);
  gc_mark_q(m_popTime);
  gc_mark_q(m_badges);
  gc_mark_q(m_ctrl);
  gc_mark_q(m_opt);
  gc_mark_q(m_hiScores);
  gc_mark_q(m_sfxChannels);
  gc_mark_q(m_drawList);
  gc_mark_q(m_touchDown);
  gc_mark_q(m_touchX);
  gc_mark_q(m_touchY);
  gc_mark_q(m_sfx);
  gc_mark_q(m_grid);
  gc_mark_q(m_player);
  gc_mark_q(m_shots);
  gc_mark_q(m_rings);
  gc_mark_q(m_stars);
  gc_mark_q(m_particles);
}

int c_MyApp::p_Rand(float low, float high) { return vx_random_RandInt(low, high); }

int c_MyApp::p_OnCreate() {
  if (vx_Quorvex_isOuya == 1) vx_Quorvex_overscan = 64;
  m_gameMode = kModeMenu;
  vx_app_SetUpdateRate(60);
  m_deviceWidth = vx_graphics_DeviceWidth();
  m_deviceHeight = vx_graphics_DeviceHeight();
  if (vx_Quorvex_HasMusic == 1) m_music->p_QZ_Init(32, 4, 3, 3, 4);
  m_tiltCentreX = 0;
  m_tiltCentreY = 0;
  p_Reload();
  m_gameType = 2;
  m_menuSlide = -32;
  m_paused = 0;
  m_pauseState = -1;
  m_pausePanelY = -64;
  for (int i = 0; i < 15; ++i) {
    m_popBadge[i] = 0;
    m_popTime[i] = 0;
  }
  for (int i = 0; i < 128; ++i) m_badges[i] = false;
  ClearControls(*this);
  for (int i = 0; i < kOptCount; ++i) m_opt[i] = 0;
  m_opt[kOptSound] = kSoundAll;
  for (int i = 0; i <= 30; ++i) m_hiScores[i] = 0;
  p_Load();
  // The next start opens in the mode last chosen.
  if (m_opt[kOptFullscreen] == 1) SwitchFullscreen(*this);
  for (int i = 0; i <= 32; ++i) m_sfxChannels[i] = i;
  return 0;
}

int c_MyApp::p_OnUpdate() {
  // 1. The clock that drives pulsing and spinning.
  m_clock += 0.1f;

  // 2. Global keys.
  if (vx_Quorvex_isOuya == 0) {
    m_ctrl[kCtrlBackKey] = vx_input_KeyHit(kKeyBack);
  } else {
    m_ctrl[kCtrlBackKey] = vx_input_KeyHit(kKeyJoyMenu) ? 1 : 0;
  }
  if (vx_input_KeyHit(kKeyF1)) vx_Quorvex_DebugMode = 1 - vx_Quorvex_DebugMode;
  if (vx_input_KeyHit(kKeyF2)) m_hideHud = 1 - m_hideHud;
  if (vx_input_KeyHit(kKeyF11)) p_FullscreenFlip();
  // F4 and closing the window end the program at once, saving nothing.
  if (vx_input_KeyHit(kKeyF4) || vx_input_KeyHit(kKeyClose)) vx_app_EndApp();

  // 3. Pending asynchronous work.
  vx_asyncevent_UpdateAsyncEvents();

  // 4. The music file follows the pause state.
  if (vx_Quorvex_HasMusicStream == 1 && m_musicOn == 1) {
    if (m_paused == 0) {
      vx_audio_ResumeMusic();
    } else {
      vx_audio_PauseMusic();
    }
  }

  // 5. Update-rate meter.
  Meter(m_updateLast, m_updateRateNow, m_updateRate);

  // 6. The procedural player, only where it is switched on.
  if (vx_Quorvex_HasMusic == 1) {
    const int sound = m_opt[kOptSound];
    m_music->p_QZ_Alive_U(m_paused, (sound == kSoundAll || sound == kSoundMusic) ? 1 : 0);
  }

  // 7. Pointer and touch; 8. the key lock.
  p_PointerStep();
  p_KeyLockStep();

  // 9. The screen of the mode, or the loader while assets come in.
  if (m_loadPhase == 0) p_Dispatch();
  if (m_loadPhase > 0) p_Loader();

  // 10. iCade characters.
  if (vx_Quorvex_iCadeControls == 1) p_ICadeStep();

  // 11. On-screen presses last one update; iCade holds stay.
  p_ClearOneShots();

  // 12. On-screen pad; 13. tilt readout.
  if (vx_Quorvex_OnScreenControls == 1 && m_gameMode > kModeClickToStart &&
      vx_Quorvex_iCadeControls == 0) {
    p_OnScreenPad();
  }
  if (vx_Quorvex_AccelerometerControls == 1 && vx_Quorvex_iCadeControls == 0) p_TiltReadout();
  if (vx_Quorvex_iCadeControls == 1) {
    m_tiltX = 0;
    m_tiltY = 0;
    m_tiltSmoothX = 0;
    m_tiltSmoothY = 0;
  }

  // 14. Rate readout.
  if (vx_Quorvex_DebugMode == 1 && m_gameMode != kModeClickToStart) p_RateReadout();

  // 15. Badge pop-ups over everything.
  p_ShowBadges();
  return 0;
}

void c_MyApp::p_Dispatch() {
  switch (m_gameMode) {
    case kModeMenu:
      p_Menu();
      break;
    case kModeStoreScore:
      p_LoadMenu();
      p_PlaySFX(kSfxJingle, 1);
      m_gameMode = kModeMenu;
      break;
    case kModeQuitDialog:
      p_OuyaQuit();
      break;
    case kModePlay:
      p_Game();
      p_InGame();
      break;
    case kModeNewGame:
      p_LoadGame();
      break;
    default:
      break;
  }

  const bool dying = m_gameMode == kModePlay && m_gameOver > 0;
  if (dying || m_gameMode == kModeMenu || m_gameMode == kModeStoreScore) p_GameOver();
  if (m_gameMode == kModeMenu) {
    if (m_showCredits == 1 || m_creditsSlide > 0) {
      p_CreditBox();
      m_creditsSlide = Slide(m_creditsSlide, m_showCredits == 1);
    }
    if (m_showBadges == 1) p_BadgesBox();
  }
  if (m_showOptions == 1 || m_optionsSlide > 0) {
    p_OptionBox();
    m_optionsSlide = Slide(m_optionsSlide, m_showOptions == 1);
  }
}

void c_MyApp::p_RateReadout() {
  p_ResetDraw();
  const float y = vx_Quorvex_AccelerometerControls == 1 && vx_Quorvex_iCadeControls == 0
                      ? vx_Quorvex_jscrh / 2.0f
                      : vx_Quorvex_jscrh - 16.0f;
  p_Text(16, y,
         String(m_renderRate) + String(":") + String(m_scaleX) + String(",") + String(m_scaleY), 0,
         0);
}

int c_MyApp::p_OnRender() {
  if (vx_Quorvex_HasMusic == 1) m_music->p_QZ_Alive_R();
  Meter(m_renderLast, m_renderRateNow, m_renderRate);

  const int dw = vx_graphics_DeviceWidth(), dh = vx_graphics_DeviceHeight();
  vx_graphics_SetColor(m_clearR, m_clearG, m_clearB);
  vx_graphics_SetAlpha(m_clearAlpha);
  vx_graphics_DrawRect(-1, -1, (float)(dw + 2), (float)(dh + 2));
  vx_graphics_SetColor(255, 255, 255);
  vx_graphics_SetAlpha(1);

  // A new device size reloads every asset at its resolution, from the next update.
  if (dw != m_deviceWidth || dh != m_deviceHeight) {
    m_loadPhase = 1;
    m_deviceWidth = dw;
    m_deviceHeight = dh;
  }
  if (dw <= 0 || dh <= 0) return 0;  // an iconified window has nothing to show

  // One uniform scale: one side of the virtual screen is the design size.
  const float b = vx_Quorvex_overscan;
  const float sx = ((float)dw - 2 * b) / vx_Quorvex_rawscrw;
  const float sy = ((float)dh - 2 * b) / vx_Quorvex_rawscrh;
  float f;
  if (sy <= sx) {
    m_scaleAxis = 1;
    f = (float)dw / vx_Quorvex_rawscrw;
    m_scaleX = m_scaleY = sx;
  } else {
    m_scaleAxis = 2;
    f = (float)dh / vx_Quorvex_rawscrh;
    m_scaleX = m_scaleY = sy;
  }
  vx_Quorvex_jscrw = (float)dw / f;
  vx_Quorvex_jscrh = (float)dh / f;
  m_landscape = vx_Quorvex_jscrw < vx_Quorvex_jscrh ? 0 : 1;

  // The replay: the one place that draws.
  const float k = m_scaleX;
  const float by = b * (float)dh / (float)dw;
  const float* rec = m_drawList.Data();
  int blend = -1;
  for (int at = 0; at + kDrawRecordFloats <= m_drawCount;
       at += kDrawRecordFloats, rec += kDrawRecordFloats) {
    const float X = k * rec[kDrawX] + b, Y = k * rec[kDrawY] + by;
    vx_graphics_SetAlpha(rec[kDrawAlpha]);
    vx_graphics_SetColor(rec[kDrawR], rec[kDrawG], rec[kDrawB]);
    const int mode = rec[kDrawBlend] == 3.0f ? 1 : 0;
    if (mode != blend) {
      vx_graphics_SetBlend(mode);
      blend = mode;
    }
    const float kind = rec[kDrawKind];
    const float w = rec[kDrawSizeX], h = rec[kDrawSizeY];
    if (kind == kRectKind) {
      vx_graphics_DrawRect(X, Y, k * w, k * h);
    } else if (kind == kOvalKind) {
      vx_graphics_DrawEllipse(X, Y, k * w, k * h);
    } else if (kind >= 0 && kind < kImageSlots) {
      c_Image* image = m_img[(int)kind];
      if (image) {
        vx_graphics_DrawImage2(image, X, Y, rec[kDrawRot], w * k * m_imgScale, h * k * m_imgScale,
                               (int)rec[kDrawFrame]);
      }
    }
  }
  if (blend != 0) vx_graphics_SetBlend(0);
  vx_graphics_SetAlpha(0.5f);
  vx_graphics_SetColor(255, 255, 255);
  return 0;
}

int c_MyApp::p_OnSuspend() {
  vx_app__game->SetKeyboardEnabled(false);
  vx_Quorvex_iCadeControls = 0;
  ClearControls(*this);
  PauseRule(*this);
  vx_app_SetUpdateRate(5);
  p_Save();
  return 0;
}

int c_MyApp::p_OnResume() {
  PauseRule(*this);
  vx_app_SetUpdateRate(60);
  vx_app__game->SetKeyboardEnabled(false);
  vx_Quorvex_iCadeControls = 0;
  ClearControls(*this);
  return 0;
}

void c_MyApp::p_InGame() {
  p_ResetDraw();
  m_menuSlide = -32;

  const bool pauseKey = p_PlayKeyAll(kCtrlBack, 1) > 0 ||
                        (vx_Quorvex_isOuya == 1 && p_PlayKeyAll(kCtrlButton4, 1) > 0);
  if (pauseKey && m_paused == 0 && m_keyLock == 0) {
    m_keyLock = 1;
    PauseGame(*this);
  }

  if (m_hideHud == 0) {
    p_DrawImg(kImgIcons, 16, 16, 0);
    m_pauseTouched = 0;
    if (m_mouseDown != 0) {
      const float hw = (float)m_imgSize[3 * kImgIcons] * m_imgScale * m_drawSizeX * 0.5f;
      const float hh = (float)m_imgSize[3 * kImgIcons + 1] * m_imgScale * m_drawSizeY * 0.5f;
      for (int i = 0; i < 10; ++i) {
        const float tx = (float)m_touchX[i], ty = (float)m_touchY[i];
        if (tx > 16 - hw && tx < 16 + hw && ty > 16 - hh && ty < 16 + hh) m_pauseTouched = 1;
      }
    }
    if (m_pauseTouched == 1 && m_paused == 0) {
      m_tapLock = 1;
      PauseGame(*this);
    }
  }

  if (m_paused == 1) p_PauseMenu();
}

void c_MyApp::p_Reload() {
  m_clearR = 0;
  m_clearG = 0;
  m_clearB = 0;
  m_clearAlpha = 1;
  ApplyResolutionClass(*this);
  p_LoadImg(kImgStudioLogo, String("common/DRVLLogo"), 256, 256, 1, 1);
  const String suffix =
      m_hdFactor == 4 ? String("-hd2") : (m_hdFactor == 2 ? String("-hd") : String());
  const int cell = 16 * m_hdFactor;
  ReleaseImage(kImgFont);
  gc_assign(m_img[kImgFont],
            vx_graphics_LoadImage2(String("fonts/editundo") + suffix + String(".png"), cell, cell,
                                   128, 1));
  m_imgSize[3 * kImgFont] = 7;
  m_imgSize[3 * kImgFont + 1] = 10;
  m_imgSize[3 * kImgFont + 2] = 128;
  m_font = kImgFont;
  m_loadPhase = 1;
}

void c_MyApp::p_Loader() {
  ApplyResolutionClass(*this);
  switch (m_loadPhase) {
    case 1:
      p_LoadImg(kImgIcons, String("common/icons"), 32, 32, 16, 1);
      p_LoadSFX(kSfxJingle);
      break;
    case 2:
      p_LoadImg(kImgButtons, String("common/Buttons"), 64, 64, 16, 1);
      break;
    case 3:
      p_LoadImg(kImgDPad, String("common/dpad"), 32, 32, 16, 1);
      break;
    case 4:
      p_LoadImg(kImgStudioLogo, String("common/DRVLLogo"), 256, 256, 1, 1);
      if (m_logoSounded == 0) {
        p_PlaySFX(kSfxJingle, 1);
        m_logoSounded = 1;
      }
      break;
    case 5:
      p_LoadImg(kImgTestCard, String("common/Testcard_Circle"), 256, 256, 1, 1);
      break;
    case 6:
      p_LoadFont(kImgFont, String("fonts/editundo"), 7, 10);
      break;
    case 7:
      p_LoadSFX(1);
      break;
    case 8:
      p_LoadSFX(95);
      break;
    case 9:
      p_LoadSFX(kSfxConfirm);
      break;
    case 10:
      p_LoadSFX(kSfxClick);
      break;
    case 11:
      p_LoadImg(kImgBackdrop, String("menu"), 256, 256, 4, 1);
      break;
    case 12:
      p_LoadImg(kImgTitleLogo, String("logo"), 256, 128, 1, 1);
      break;
    case 13:
      p_LoadImg(kImgParts, String("parts"), 8, 8, 256, 1);
      break;
    case 14:
      p_LoadImg(kImgBadges, String("BadgesA"), 64, 64, 64, 1);
      break;
    case 15:
      p_LoadImg(kImgSprites, String("gfx"), 32, 32, 64, 1);
      break;
    case 16:
      p_LoadImg(kImgSpriteGlow, String("gfx_glow"), 32, 32, 64, 1);
      break;
    default:
      if (m_loadPhase >= 17 && m_loadPhase <= kLastPhase) {
        static const int kSounds[11] = {2, 3, 10, 4, 5, 6, 11, 7, 12, 13, 14};
        p_LoadSFX(kSounds[m_loadPhase - 17]);
      }
      break;
  }
  m_loadPhase += 1;
  if (m_loadPhase > kLastPhase + 1) m_loadPhase = 0;
  p_WaitStart(1);
}

void c_MyApp::p_WaitStart(int style) {
  if (style != 1) return;  // only the loading display exists
  const float W = vx_Quorvex_jscrw, H = vx_Quorvex_jscrh;
  p_CLS2D(40, 40, 80, 1);
  const float r = W < H ? W : H;
  const int a0 = m_spin;
  m_spin += 16;

  p_SetCol(250, 250, 250);
  for (int i = 0; i <= 10; ++i) {
    const float a = (float)(a0 + 196 + 16 * i);
    p_Alpha((float)i / 10.0f);
    p_Oval(W / 2 + Sind(a) * r / 4, H / 2 - Cosd(a) * r / 4, 8, 8);
  }
  p_SetCol(255, 255, 0, 0.8f);
  p_Oval(W / 2, H / 2, 0.3f * r, 0.3f * r);
  p_SetCol(250, 160, 60, 0.7f);
  p_Rect(0, 0.4f * H, W, 0.2f * H);
  p_SetCol(255, 255, 255, 1);
  p_DrawImg(kImgStudioLogo, W / 2, 0.48f * H, 0);
  p_SetCol(50, 50, 50);
  for (int i = 0; i <= 10; ++i) {
    const float a = (float)(a0 + 16 + 16 * i);
    p_Alpha((float)i / 10.0f);
    p_Oval(W / 2 + Sind(a) * r / 4, H / 2 - Cosd(a) * r / 4, 8, 8);
  }
}
