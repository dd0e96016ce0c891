// Controls as the screens read them: the pointer step in virtual pixels, the
// logical controls of p_PlayKey from every source (keys, joystick buttons and
// stick, on-screen presses, iCade characters), the key lock that lets Back
// close a panel once, and the limits of the on-screen pad. Input arrives
// through the real input device's event calls, as the host delivers it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/input.h"
#include "game/myapp.h"

namespace {

constexpr int kUp = -3717;

class Controls : public ::testing::Test {
 protected:
  c_MyApp* app = nullptr;
  c_InputDevice* input = nullptr;

  void SetUp() override {
    vx_Quorvex_jscrw = 640;
    vx_Quorvex_jscrh = 480;
    vx_Quorvex_overscan = 0;
    vx_Quorvex_iCadeControls = 0;
    vx_Quorvex_isOuya = 0;
    input = (new c_InputDevice())->m_new();
    vx_input_SetInputDevice(input);
    app = new c_MyApp();
    app->m_scaleX = app->m_scaleY = 2;
  }
  void TearDown() override {
    vx_Quorvex_iCadeControls = 0;
    vx_Quorvex_isOuya = 0;
    vx_input_SetInputDevice(nullptr);
  }

  void Key(int code, bool down) { input->p_KeyEvent(down ? 1 : 2, code); }
  void Stick(int player, float x, float y) {
    input->m__joyStates[player]->m_joyx[0] = x;
    input->m__joyStates[player]->m_joyy[0] = y;
  }
  // One update's bookkeeping of the input module: hits and characters go.
  void EndUpdate() { input->p_EndUpdate(); }
};

TEST_F(Controls, TheMouseIsInVirtualPixelsAndAFreshPressReportsNoMovement) {
  input->p_MouseEvent(6, 0, 101, 61);
  app->p_PointerStep();
  EXPECT_EQ(app->m_mouseX, 50) << "device pixels over the scale, truncated";
  EXPECT_EQ(app->m_mouseY, 30);
  EXPECT_EQ(app->m_mouseDown, 0);

  input->p_MouseEvent(6, 0, 300, 200);
  input->p_MouseEvent(4, 0, 300, 200);
  app->p_PointerStep();
  EXPECT_EQ(app->m_mouseX, 150);
  EXPECT_EQ(app->m_mouseOldX, 150) << "a fresh press starts a drag without a jump";
  EXPECT_EQ(app->m_mouseOldY, 100);
  EXPECT_EQ(app->m_mouseDown, 1);
  EXPECT_EQ(app->m_mouseHit, 1);
  EndUpdate();

  input->p_MouseEvent(6, 0, 340, 180);
  app->p_PointerStep();
  EXPECT_EQ(app->m_mouseOldX, 150) << "while held the previous position is kept";
  EXPECT_EQ(app->m_mouseX, 170);
  EXPECT_EQ(app->m_mouseY, 90);
  EXPECT_EQ(app->m_mouseHit, 0);
}

TEST_F(Controls, TouchPointsThatAreUpReadTheMarkerAndATouchHoldsThePointer) {
  input->p_TouchEvent(7, 3, 40, 60);
  app->p_PointerStep();
  for (int i = 0; i < 10; ++i) {
    if (i == 3) continue;
    EXPECT_EQ(app->m_touchDown[i], 0) << i;
    EXPECT_EQ(app->m_touchX[i], kUp) << i;
    EXPECT_EQ(app->m_touchY[i], kUp) << i;
  }
  EXPECT_EQ(app->m_touchDown[3], 1);
  EXPECT_EQ(app->m_touchX[3], 20);
  EXPECT_EQ(app->m_touchY[3], 30);
  EXPECT_EQ(app->m_mouseDown, 1) << "a touch counts as the pointer being down";
  EXPECT_EQ(app->m_mouseWasDown, 0) << "but the button's own state stays up";

  app->m_tapLock = 1;
  app->p_PointerStep();
  EXPECT_EQ(app->m_tapLock, 1) << "the lock holds while something is down";
  input->p_TouchEvent(8, 3, 40, 60);
  app->p_PointerStep();
  EXPECT_EQ(app->m_touchX[3], kUp);
  EXPECT_EQ(app->m_mouseDown, 0);
  EXPECT_EQ(app->m_tapLock, 0) << "released once nothing is down";
}

TEST_F(Controls, BackIsEveryOneOfItsKeysButtonsAndPresses) {
  EXPECT_EQ(app->p_PlayKey(99, 1, 0), 0);
  for (int key : {27, 192, 46, 8}) {
    Key(key, true);
    EXPECT_EQ(app->p_PlayKey(99, 1, 0), 1) << "key " << key;
    EXPECT_EQ(app->p_PlayKey(99, 0, -1), 1) << "the keyboard is everyone's, key " << key;
    Key(key, false);
    EXPECT_EQ(app->p_PlayKey(99, 1, 0), 0) << "key " << key;
  }
  for (int button : {6, 7, 14}) {
    Key(256 + button, true);
    EXPECT_EQ(app->p_PlayKey(99, 1, 0), 1) << "button " << button;
    EXPECT_EQ(app->p_PlayKey(99, 1, 1), 0) << "player 0's button is not player 1's";
    EXPECT_EQ(app->p_PlayKey(99, 1, -1), 0) << "player -1 reads no joystick";
    Key(256 + button, false);
  }
  Key(256 + 32 * 2 + 7, true);
  EXPECT_EQ(app->p_PlayKey(99, 1, 2), 1);
  EXPECT_EQ(app->p_PlayKeyAll(99, 1), 1);
  Key(256 + 32 * 2 + 7, false);
  for (int entry : {16, 17, 19}) {
    app->m_ctrl[entry] = 1;
    EXPECT_EQ(app->p_PlayKey(99, 1, 0), 1) << "m_ctrl " << entry;
    EXPECT_EQ(app->p_PlayKeyAll(99, 1), 4) << "an on-screen press counts for every player";
    app->m_ctrl[entry] = 0;
  }
  Key(27, true);
  EXPECT_EQ(app->p_PlayKey(99, 1, -2), 0) << "other negative players hold nothing";
  EXPECT_EQ(app->p_PlayKey(7, 1, 0), 0) << "a control outside the table";
}

TEST_F(Controls, EachControlHasItsKeysAndJoystickButton) {
  struct Row {
    int control;
    std::vector<int> keys;
    int button;
  };
  const Row rows[] = {{0, {38, 87}, 9},          {3, {37, 65}, 8},  {5, {39, 68}, 10},
                      {8, {40, 83}, 11},         {10, {90, 74, 32, 13}, 0},
                      {11, {88, 75, 17}, 1},     {12, {67, 76, 16}, 2}, {13, {86, 73}, 3},
                      {14, {66, 85}, 4},         {15, {78, 79}, 5}};
  for (const Row& r : rows) {
    for (int key : r.keys) {
      Key(key, true);
      EXPECT_EQ(app->p_PlayKey(r.control, 0, 0), 1) << "control " << r.control << " key " << key;
      for (const Row& other : rows) {
        if (other.control != r.control && other.control != 99) {
          EXPECT_EQ(app->p_PlayKey(other.control, 0, 0), 0) << key << " is not " << other.control;
        }
      }
      Key(key, false);
    }
    Key(256 + 32 * 3 + r.button, true);
    EXPECT_EQ(app->p_PlayKey(r.control, 0, 3), 1) << "control " << r.control;
    EXPECT_EQ(app->p_PlayKey(r.control, 0, 0), 0);
    Key(256 + 32 * 3 + r.button, false);
    app->m_ctrl[r.control] = 2;
    EXPECT_EQ(app->p_PlayKey(r.control, 0, 1), 1);
    app->m_ctrl[r.control] = 0;
  }
}

TEST_F(Controls, TheStickCountsAsADirectionOnlyInModeOneAndBeyondPointFour) {
  Stick(0, 0, 0.5f);
  EXPECT_EQ(app->p_PlayKey(0, 0, 0), 0) << "mode 0 ignores the stick";
  EXPECT_EQ(app->p_PlayKey(0, 1, 0), 1) << "up is positive y";
  EXPECT_EQ(app->p_PlayKey(8, 1, 0), 0);
  EXPECT_EQ(app->p_PlayKey(0, 1, 1), 0) << "only that player's stick";
  Stick(0, 0, 0.4f);
  EXPECT_EQ(app->p_PlayKey(0, 1, 0), 0) << "0.4 itself is still the centre";
  Stick(0, -0.41f, -0.9f);
  EXPECT_EQ(app->p_PlayKey(3, 1, 0), 1);
  EXPECT_EQ(app->p_PlayKey(5, 1, 0), 0);
  EXPECT_EQ(app->p_PlayKey(8, 1, 0), 1);
  EXPECT_EQ(app->p_PlayKey(8, 1, -1), 0) << "player -1 has no stick";
  Stick(1, 0.7f, 0);
  EXPECT_EQ(app->p_PlayKey(5, 1, 1), 1);
  EXPECT_EQ(app->p_PlayKeyAll(5, 1), 1);
}

TEST_F(Controls, WithTheICadeOnLettersAndTheStickAreCharactersOnly) {
  vx_Quorvex_iCadeControls = 1;
  Key(87, true);  // W
  EXPECT_EQ(app->p_PlayKey(0, 1, 0), 0);
  Key(87, false);
  Key(38, true);  // the Up arrow is no letter
  EXPECT_EQ(app->p_PlayKey(0, 1, 0), 1);
  Key(38, false);
  Key(192, true);
  EXPECT_EQ(app->p_PlayKey(99, 1, 0), 0) << "key 192 is sent by the iCade too";
  Key(192, false);
  Key(27, true);
  EXPECT_EQ(app->p_PlayKey(99, 1, 0), 1);
  Key(27, false);
  Stick(0, 0, 1);
  EXPECT_EQ(app->p_PlayKey(0, 1, 0), 0);
  Key(256 + 9, true);
  EXPECT_EQ(app->p_PlayKey(0, 1, 0), 1) << "joystick buttons still count";
}

TEST_F(Controls, AnICadeHoldSurvivesTheOneShotClearingAndAPadPressLastsOneUpdate) {
  vx_Quorvex_iCadeControls = 1;
  for (char c : std::string("wHd")) input->p_KeyEvent(3, c);
  app->m_ctrl[11] = 1;  // an on-screen press this update
  app->p_ICadeStep();
  EXPECT_EQ(app->m_lastChar, 0) << "the queue is read to its end";
  EXPECT_EQ(app->m_ctrl[0], 2);
  EXPECT_EQ(app->m_ctrl[10], 2);
  EXPECT_EQ(app->m_ctrl[5], 2);
  app->p_ClearOneShots();
  EXPECT_EQ(app->m_ctrl[0], 2);
  EXPECT_EQ(app->m_ctrl[10], 2);
  EXPECT_EQ(app->m_ctrl[11], 0);
  EXPECT_EQ(app->p_PlayKey(0, 1, 0), 1);
  EndUpdate();

  for (char c : std::string("eR")) input->p_KeyEvent(3, c);
  app->p_ICadeStep();
  EXPECT_EQ(app->m_ctrl[0], 0);
  EXPECT_EQ(app->m_ctrl[10], 0);
  EXPECT_EQ(app->m_ctrl[5], 2) << "D is still held until C";
  EndUpdate();

  const char pairs[][2] = {{'X', 'Z'}, {'A', 'Q'}, {'J', 'N'}, {'K', 'P'}, {'Y', 'T'},
                           {'U', 'F'}, {'I', 'M'}, {'O', 'G'}, {'L', 'V'}};
  const int entries[] = {8, 3, 11, 12, 13, 14, 15, 16, 17};
  for (int i = 0; i < 9; ++i) {
    input->p_KeyEvent(3, pairs[i][0]);
    app->p_ICadeStep();
    EXPECT_EQ(app->m_ctrl[entries[i]], 2) << pairs[i][0];
    input->p_KeyEvent(3, pairs[i][1] + 32);  // lower case alike
    app->p_ICadeStep();
    EXPECT_EQ(app->m_ctrl[entries[i]], 0) << pairs[i][1];
    EndUpdate();
  }
}

TEST_F(Controls, HoldingBackClosesTheCreditsPanelOnceUntilEverythingIsReleased) {
  app->m_gameMode = 1;
  app->m_showCredits = 1;
  Key(27, true);
  app->p_KeyLockStep();
  EXPECT_EQ(app->m_showCredits, 0);
  EXPECT_EQ(app->m_keyLock, 1);
  EXPECT_EQ(app->m_tapLock, 1);

  app->m_showCredits = 1;  // opened again while Escape is still held
  for (int i = 0; i < 5; ++i) app->p_KeyLockStep();
  EXPECT_EQ(app->m_showCredits, 1) << "a held key acts once";

  Key(27, false);
  app->p_KeyLockStep();
  EXPECT_EQ(app->m_keyLock, 0);
  app->m_tapLock = 0;
  Key(27, true);
  app->p_KeyLockStep();
  EXPECT_EQ(app->m_showCredits, 0) << "a new press closes it again";
}

TEST_F(Controls, BackClosesPanelsOnlyInTheMenuAndTheOptionsPanelHoldsBothLocks) {
  app->m_gameMode = 10;
  app->m_showBadges = 1;
  Key(8, true);
  app->p_KeyLockStep();
  EXPECT_EQ(app->m_showBadges, 1) << "not in play";
  EXPECT_EQ(app->m_keyLock, 0);
  app->m_gameMode = 1;
  app->p_KeyLockStep();
  EXPECT_EQ(app->m_showBadges, 0);
  Key(8, false);

  app->m_showOptions = 1;
  app->p_KeyLockStep();
  EXPECT_EQ(app->m_keyLock, 1) << "the options panel keeps the locks set every update";
  EXPECT_EQ(app->m_tapLock, 1);
}

TEST_F(Controls, ThePadStaysInsideTheScreenAndItsSizeWithinEightToTwentyFive) {
  app->m_opt[10] = 0;
  app->m_opt[11] = 1000;
  app->m_opt[12] = 99;
  app->p_OnScreenPad();
  EXPECT_EQ(app->m_opt[10], 32);
  EXPECT_EQ(app->m_opt[11], 448);
  EXPECT_EQ(app->m_opt[12], 25);
  EXPECT_EQ(app->m_padX, 32);
  EXPECT_EQ(app->m_padY, 32);
  EXPECT_FLOAT_EQ(app->m_padScale, 2.5f);

  app->m_opt[10] = 9999;
  app->m_opt[11] = -5;
  app->m_opt[12] = 3;
  app->p_OnScreenPad();
  EXPECT_EQ(app->m_opt[10], 608);
  EXPECT_EQ(app->m_opt[11], 32);
  EXPECT_EQ(app->m_opt[12], 8);
  EXPECT_EQ(app->m_padY, 448);
}

TEST_F(Controls, APadDirectionPressesItsControlForOneUpdateUnlessPaused) {
  for (int slot : {94}) {
    app->m_imgSize[3 * slot] = 32;
    app->m_imgSize[3 * slot + 1] = 32;
  }
  app->m_imgScale = 1;
  app->m_opt[10] = 100;
  app->m_opt[11] = 100;
  app->m_opt[12] = 10;
  // The left arrow sits 32 pixels left of the centre (100, 380).
  app->m_mouseDown = 1;
  app->m_touchX[0] = 68;
  app->m_touchY[0] = 380;
  app->p_OnScreenPad();
  EXPECT_EQ(app->m_ctrl[3], 1);
  EXPECT_EQ(app->m_ctrl[5], 0);
  app->p_ClearOneShots();
  EXPECT_EQ(app->m_ctrl[3], 0);
  app->m_paused = 1;
  app->m_touchDown[0] = 1;
  app->p_OnScreenPad();
  EXPECT_EQ(app->m_ctrl[3], 0) << "a paused game's pad does not steer";
}

}  // namespace
