// The game application: one object, c_MyApp, holds every piece of game state
// in preallocated fields, and its methods are split over game/ by concern:
//   flow.cpp        create, update, render, suspend/resume, the loader
//   drawing.cpp     drawing state, the draw list, hit tests
//   text.cpp        bitmap text and number formatting
//   assets.cpp      picture, font and sound loading, the new-game set-up
//   effects.cpp     sound effects on the rotating channels
//   controls.cpp    pointer, logical controls, iCade, on-screen pad, tilt
//   savedata.cpp    the saved settings, badges and score tables
//   gameplay.cpp, stars_particles.cpp, steering.cpp, gameover.cpp  the game
//   menu.cpp, options.cpp, badges.cpp, credits.cpp                 the shell
//   music/glue.cpp  the music tracks
// Fields are public: each concern's file keeps its private helpers in an
// anonymous namespace and reaches the state directly. The numbers every file
// agrees on (record layouts, slots, controls, options, modes, keys) are named
// in vocabulary.h; the few helpers several files share live in helpers.h
// (angles, clamping, held controls) and gear.h (the options gear).
//
// Left out: nothing here touches the renderer; screens only record drawing
// (the replay in flow.cpp is the one place that draws).
#pragma once

#include "framework/framework.h"
#include "game/vocabulary.h"
#include "runtime/runtime.h"

// The procedural music player; on the desktop it is created and never driven
// unless --procedural-music sets vx_Quorvex_HasMusic.
#include "music/qzplayer.h"

// The completion callback of an HTTP request. The game never makes one; the
// application still carries the interface so its shape stays as designed.
#ifndef QUORVEX_FRAMEWORK_HAS_HTTP_INTERFACE
class c_IOnHttpRequestComplete : public gc_interface {};
#endif

// The game's module globals (defined in vxmain.cpp, set by vxInit).
extern float vx_Quorvex_jscrw;    // virtual screen width (W), recomputed each render
extern float vx_Quorvex_jscrh;    // virtual screen height (H)
extern float vx_Quorvex_rawscrw;  // design size the scale is computed from
extern float vx_Quorvex_rawscrh;
extern float vx_Quorvex_overscan;  // border in device pixels (TV mode only)
extern int vx_Quorvex_isOuya;      // console/TV behaviour; 0 on the desktop
extern int vx_Quorvex_DebugMode;   // F1: rate readout, steering diagnostic
extern int vx_Quorvex_iCadeControls;
extern int vx_Quorvex_AccelerometerControls;  // 0 on the desktop
extern int vx_Quorvex_OnScreenControls;       // 0 on the desktop
extern int vx_Quorvex_HasMusicStream;         // music tracks as music files
extern int vx_Quorvex_HasMusic;               // the procedural player; 0 here
extern Array<String> vx_Quorvex_CreditText;   // the credit lines

// Builds the credit lines once at start-up (credits.cpp).
Array<String> vx_Quorvex_BuildCreditText();
// Adds the game's lines to the host's state dump (dump.cpp).
void vx_Quorvex_InstallDump();

class c_MyApp : public c_App, public virtual c_IOnHttpRequestComplete {
 public:
  // ---- Application and screen flow ----
  int m_logoSounded = 0;
  int m_gameMode = 0;
  int m_deviceWidth = 0;
  int m_deviceHeight = 0;
  c_QZPlayer* m_music = nullptr;
  float m_tiltCentreX = 0;
  float m_tiltCentreY = 0;
  float m_clearR = 0;
  float m_clearG = 0;
  float m_clearB = 0;
  float m_clearAlpha = 0;
  int m_hdFactor = 1;
  float m_imgScale = 1;
  Array<c_Image*> m_img;  // 100 image slots
  Array<int> m_imgSize;   // 300: [3n] cell width, [3n+1] cell height, [3n+2] frames
  int m_font = 0;
  int m_loadPhase = 0;
  int m_gameType = 0;
  int m_menuSlide = 0;
  int m_paused = 0;
  int m_pauseState = 0;
  int m_pausePanelY = 0;
  int m_i = 0;
  Array<int> m_popBadge;     // 15: badge number of each pop-up slot
  Array<int> m_popTime;      // 15: age of each pop-up slot, 0 = free
  Array<bool> m_badges;      // 256 earned flags
  Array<int> m_ctrl;         // 20 logical control states (0 off, 1 one update, 2 iCade held)
  Array<int> m_opt;          // 25 saved options
  Array<int> m_hiScores;     // 150: three best-ten and three latest-ten tables
  Array<int> m_sfxChannels;  // 33: channel of each rotating effect slot
  int m_renderLast = 0;
  int m_renderRateNow = 0;
  int m_renderRate = 0;
  float m_scaleX = 0;
  float m_scaleY = 0;
  int m_scaleAxis = 0;
  int m_landscape = 0;
  int m_drawCount = 0;
  Array<float> m_drawList;  // 37500: the frame's 15-float draw records
  int m_lastChar = 0;
  float m_clock = 0;
  int m_hideHud = 0;
  int m_musicOn = 0;
  int m_updateLast = 0;
  int m_updateRateNow = 0;
  int m_updateRate = 0;
  int m_mouseX = 0;
  int m_mouseY = 0;
  int m_mouseOldX = 0;
  int m_mouseOldY = 0;
  int m_mouseWasDown = 0;
  int m_mouseDown = 0;
  int m_mouseHit = 0;
  Array<int> m_touchDown;  // 10
  Array<int> m_touchX;     // 10, kPointUp when up
  Array<int> m_touchY;     // 10, kPointUp when up
  int m_tapLock = 0;
  int m_keyLock = 0;
  int m_showCredits = 0;
  int m_showOptions = 0;
  int m_showBadges = 0;
  float m_bgTargetR = 0;
  float m_bgTargetG = 0;
  float m_bgTargetB = 0;
  float m_bgR = 0;
  float m_bgG = 0;
  float m_bgB = 0;
  float m_viewX = 0;
  float m_viewY = 0;
  float m_viewW = 0;
  float m_viewH = 0;
  float m_drawSizeX = 0;
  float m_drawSizeY = 0;
  float m_drawRot = 0;
  float m_drawR = 0;
  float m_drawG = 0;
  float m_drawB = 0;
  float m_drawAlpha = 0;
  int m_drawBlend = 0;
  int m_pauseTouched = 0;
  int m_sfxNext = 0;
  Array<c_Sound*> m_sfx;  // 100 sound slots
  int m_j = 0;
  int m_k = 0;
  int m_score = 0;
  int m_spin = 0;

  // ---- Play: steering ----
  int m_steerMode = 0;  // 1 digital, 2 analogue
  float m_stickX = 0;
  float m_stickY = 0;
  int m_stickAnchorX = -1;  // -1 when no drag
  int m_stickAnchorY = 0;
  float m_keyStickX = 0;
  float m_keyStickY = 0;
  // ---- Play: board, ship, shots, rings ----
  Array<float> m_grid;    // 25000: 50-cell-wide rows of 10-float cells
  Array<float> m_player;  // 512
  Array<float> m_shots;   // 510: 51 records of 10
  Array<float> m_rings;   // 50
  int m_shownScore = 0;
  int m_level = 0;
  int m_phase = 0;
  int m_track = 0;
  int m_blobCount = 0;
  int m_danger = 0;
  int m_bonusTime = 0;
  int m_bonusAngle = 0;
  // ---- Play: stars and particles ----
  int m_starCount = 100;
  Array<float> m_stars;  // 5100: records of 10
  int m_maxParticles = 250;
  Array<float> m_particles;  // 5100: records of 10

  int m_gameOver = 0;
  int m_gameOverTime = 0;
  int m_creditsSlide = 0;
  int m_optionsSlide = 0;
  int m_pinching = 0;
  int m_pinchLast = 0;
  int m_padX = 0;
  int m_padY = 0;
  float m_padScale = 0;
  float m_tiltX = 0;
  float m_tiltY = 0;
  float m_tiltSmoothX = 0;
  float m_tiltSmoothY = 0;

  // ---- Main menu ----
  int m_menuSel = 0;
  float m_menuPanelW = 0;
  int m_menuRows = 0;
  float m_menuScroll = 0;
  float m_menuScrollTarget = 0;
  float m_menuScrollVel = 0;
  float m_menuDrag = 0;
  int m_menuJump = 0;
  float m_menuSpin = 0;
  int m_menuVertical = 0;
  // ---- Options and pause ----
  int m_optSel = 0;
  int m_optKeyLock = 0;
  int m_optTapLock = 0;
  int m_fullscreen = 0;
  int m_pauseSel = 0;
  // ---- Badges panel and credits ----
  float m_badgesScroll = 0;
  float m_creditScroll = 0;
  int m_creditLine = 0;

  c_MyApp();
  // Runs the constructor's work and then c_App::m_new (registers the app and
  // its delegate with the host).
  c_MyApp* m_new();
  void mark() override;

  // ---- Lifecycle (flow.cpp) ----
  int p_OnCreate() override;
  int p_OnSuspend() override;
  int p_OnResume() override;
  int p_OnUpdate() override;
  int p_OnRender() override;
  void p_Dispatch();  // the screen of the current mode and its after-screen rules
  void p_InGame();
  void p_Reload();
  void p_Loader();
  void p_WaitStart(int style);
  void p_RateReadout();
  int p_Rand(float low, float high);  // the shared generator's integer draw

  // ---- Drawing (drawing.cpp) ----
  void p_ResetDraw();
  void p_CLS2D(float r, float g, float b, float a);
  void p_Alpha(float a);
  void p_SetSize(float sx, float sy = kNotGiven);
  void p_SetRot(float degrees);
  void p_SetCol(float r, float g, float b, float a = kNotGiven);
  void p_Blend(int mode);
  void p_DrawImg(int slot, float x, float y, float frame);
  void p_Rect(float x, float y, float w, float h);
  void p_Oval(float x, float y, float rx, float ry);
  int p_Button(int slot, float x, float y, int frame);
  int p_Button2(float x, float y, int frame);  // slot 97, the icon sheet
  bool p_Button0(int slot, float x, float y, int frame);
  int p_Touch(float x, float y, float w, float h);
  int p_MouseIn_Centered(float x, float y, float w, float h);
  // Appends one record with the current state; false when the list is full.
  bool p_Record(float kind, float x, float y, float sizeX, float sizeY, float frame);

  // ---- Text (text.cpp) ----
  void p_Text(float x, float y, String text, float alignX, float alignY);
  String p_rstr(int value, int digits, String pad);
  String p_rstr2(int value, String pad);  // 10 digits

  // ---- Assets and effects (assets.cpp, effects.cpp) ----
  String p_PictureName(String name);  // + "-hd" / "-hd2" by m_hdFactor, + ".png"
  void ReleaseImage(int slot);
  void p_LoadImg(int slot, String name, int frameW, int frameH, int frameCount, int flags);
  void p_LoadFont(int slot, String name, int charW, int charH);
  void p_LoadSFX(int number);
  void p_PlaySFX(int number, float rate, float volume = 1, float pan = 0);
  void p_LoadGame();

  // ---- Controls (controls.cpp) ----
  int p_PlayKey(int control, int mode, int player);
  int p_PlayKeyAll(int control, int mode);
  void p_PointerStep();
  void p_KeyLockStep();
  void p_ICadeStep();
  void p_ClearOneShots();
  void p_OnScreenPad();
  void p_TiltReadout();

  // ---- Saved data (savedata.cpp) ----
  void p_Save();
  void p_Load();
  String p_SavePayload();  // the 98-field text p_Save hands over
  void p_LoadPayload(String text);

  // ---- Gameplay (gameplay.cpp, stars_particles.cpp, steering.cpp, gameover.cpp) ----
  void p_Game();
  void p_PutBlob(int x, int y, int kind);
  void p_Shoot(float x, float y, float angle, float speed, int frame, int kind);
  void p_ResetStars(int n);
  void p_DoStars(float ignored, float turn);
  void p_ThrowParticle(float x, float y, int kind, int colour, float angle, float speed);
  void p_DoParticles();
  void p_DrawGlow(int image, float x, float y, int frame);
  void p_AnalogueControl();
  float p_Turn();  // this update's turn from the steering state
  static int m_WhichWayDoIGo(float a, float b, int lo, int hi);
  void p_GameOver();
  String p_MyNth();
  void p_LoadMenu();

  // ---- Menu, options, pause, quit (menu.cpp, options.cpp) ----
  void p_Menu();
  void p_OptionBox();
  void p_OptionActed();
  void p_OptionClose();
  void p_PauseMenu();
  void p_OuyaQuit();
  void p_iCade(int on);
  void p_FullscreenFlip();

  // ---- Badges and credits (badges.cpp, credits.cpp) ----
  String p_BadgeID(int n);
  String p_BadgeName(int n);
  String p_BadgeDetail(int n);
  void p_ShowBadges();
  void p_BadgesBox();
  void p_CreditBox();

  // ---- Music glue (music/glue.cpp) ----
  int p_PlayTune(String name, int loop);
};

// Flips between full screen and a window without remembering the choice
// (p_FullscreenFlip remembers it; the start-up restores it). False when
// there is no desktop host to ask.
bool SwitchFullscreen(c_MyApp& app);
