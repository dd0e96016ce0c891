// The input device through the events a host delivers and the queries the game
// makes: hits visible for one update, held flags, the mouse / first-touch
// mirror, the hit and character queue limits, out-of-range codes, and the
// joystick poll through a host that reports chosen joysticks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/input.h"

namespace {

// A host whose joysticks are set by the test; it records every poll.
class JoystickHost : public VxGame {
 public:
  bool present[4] = {false, false, false, false};
  bool pressed[4][32] = {};
  float stickX[4] = {0, 0, 0, 0};
  float stickY[4] = {0, 0, 0, 0};
  std::vector<int> polled;

  bool PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                    Array<bool> buttons) override {
    polled.push_back(port);
    if (!present[port]) return false;
    joyx[0] = stickX[port];
    joyy[0] = stickY[port];
    joyx[1] = -stickX[port];
    joyy[1] = -stickY[port];
    joyz[0] = joyz[1] = 0;
    for (int b = 0; b < 32; ++b) buttons[b] = pressed[port][b];
    return true;
  }
};

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = vx_app__game;
    vx_app__game = &host_;
    vx_input_SetInputDevice((new c_InputDevice())->m_new());
    dev_ = vx_input_device;
  }
  void TearDown() override {
    vx_app__game = saved_;
    vx_input_device = nullptr;
  }
  void Down(int key) { dev_->p_KeyEvent(1, key); }
  void Up(int key) { dev_->p_KeyEvent(2, key); }
  // One update as the delegate runs it; `during` sees this update's input.
  template <class F>
  void Update(F during) {
    dev_->p_BeginUpdate();
    during();
    dev_->p_EndUpdate();
  }

  JoystickHost host_;
  VxGame* saved_ = nullptr;
  c_InputDevice* dev_ = nullptr;
};

TEST_F(InputTest, NewDeviceHasFourJoysticksAndNothingHeld) {
  for (int j = 0; j < 4; ++j) {
    ASSERT_NE(dev_->m__joyStates[j], nullptr);
    EXPECT_EQ(dev_->m__joyStates[j]->m_joyx.Length(), 2);
    EXPECT_EQ(dev_->m__joyStates[j]->m_buttons.Length(), 32);
  }
  EXPECT_EQ(dev_->m__keyHitQueue.Length(), 33);
  EXPECT_EQ(dev_->m__charQueue.Length(), 32);
  for (int k = 1; k < 512; ++k) ASSERT_EQ(vx_input_KeyDown(k) + vx_input_KeyHit(k), 0) << k;
}

TEST_F(InputTest, PressAndReleaseBetweenUpdatesCountsOneHitForTheNextUpdate) {
  Down(65);
  Up(65);
  Update([] {
    EXPECT_EQ(vx_input_KeyHit(65), 1);
    EXPECT_EQ(vx_input_KeyDown(65), 0);
  });
  Update([] { EXPECT_EQ(vx_input_KeyHit(65), 0); });
}

TEST_F(InputTest, HeldKeyHitsOnceAndRepeatsAddNothing) {
  Down(32);
  Update([] {
    EXPECT_EQ(vx_input_KeyHit(32), 1);
    EXPECT_EQ(vx_input_KeyDown(32), 1);
  });
  Down(32);  // the window layer's auto-repeat
  Down(32);
  Update([] {
    EXPECT_EQ(vx_input_KeyHit(32), 0);
    EXPECT_EQ(vx_input_KeyDown(32), 1);
  });
  Up(32);
  Down(32);
  Update([] { EXPECT_EQ(vx_input_KeyHit(32), 1); });
}

TEST_F(InputTest, ReleaseOfAKeyNotHeldChangesNothing) {
  Up(70);
  Update([] { EXPECT_EQ(vx_input_KeyHit(70) + vx_input_KeyDown(70), 0); });
}

TEST_F(InputTest, LeftButtonPressesFirstTouchToo) {
  dev_->p_MouseEvent(4, 0, 12, 34);
  Update([] {
    EXPECT_EQ(vx_input_MouseDown(0), 1);
    EXPECT_EQ(vx_input_TouchDown(0), 1);
    EXPECT_EQ(vx_input_MouseHit(0), 1);
    EXPECT_EQ(vx_input_KeyHit(384), 1);
    EXPECT_EQ(vx_input_MouseX(), 12);
    EXPECT_EQ(vx_input_MouseY(), 34);
    EXPECT_EQ(vx_input_TouchX(0), 12);
    EXPECT_EQ(vx_input_TouchY(0), 34);
  });
  dev_->p_MouseEvent(5, 0, 99, 99);
  EXPECT_EQ(vx_input_MouseDown(0), 0);
  EXPECT_EQ(vx_input_TouchDown(0), 0);
  // Releasing does not move the pointer.
  EXPECT_EQ(vx_input_MouseX(), 12);
  EXPECT_EQ(vx_input_TouchY(0), 34);
}

TEST_F(InputTest, OtherMouseButtonsAreNotMirrored) {
  dev_->p_MouseEvent(4, 1, 5, 6);
  dev_->p_MouseEvent(4, 2, 5, 6);
  EXPECT_EQ(vx_input_KeyDown(2), 1);
  EXPECT_EQ(vx_input_KeyDown(3), 1);
  EXPECT_EQ(vx_input_TouchDown(0), 0);
  EXPECT_EQ(vx_input_KeyHit(384), 0);
}

TEST_F(InputTest, FirstTouchPressesLeftButtonAndMovesThePointer) {
  dev_->p_TouchEvent(7, 0, 40, 50);
  EXPECT_EQ(vx_input_MouseDown(0), 1);
  EXPECT_EQ(vx_input_MouseHit(0), 1);
  EXPECT_EQ(vx_input_MouseX(), 40);
  dev_->p_TouchEvent(9, 0, 41, 51);
  EXPECT_EQ(vx_input_MouseY(), 51);
  dev_->p_TouchEvent(8, 0, 0, 0);
  EXPECT_EQ(vx_input_MouseDown(0), 0);
  EXPECT_EQ(vx_input_TouchX(0), 41);
}

TEST_F(InputTest, LaterTouchesKeepTheirOwnPosition) {
  dev_->p_TouchEvent(7, 5, 70, 80);
  EXPECT_EQ(vx_input_TouchDown(5), 1);
  EXPECT_EQ(vx_input_KeyHit(389), 1);
  EXPECT_EQ(vx_input_TouchX(5), 70);
  EXPECT_EQ(vx_input_TouchY(5), 80);
  EXPECT_EQ(vx_input_MouseX(), 0);
  EXPECT_EQ(vx_input_MouseDown(0), 0);
  dev_->p_TouchEvent(9, 31, 3, 4);
  EXPECT_EQ(vx_input_TouchX(31), 3);
}

TEST_F(InputTest, MouseMoveIsTouchZeroMove) {
  dev_->p_MouseEvent(6, -1, 300, 200);
  EXPECT_EQ(vx_input_MouseX(), 300);
  EXPECT_EQ(vx_input_TouchX(0), 300);
  EXPECT_EQ(vx_input_TouchY(0), 200);
  EXPECT_EQ(vx_input_MouseDown(0), 0);
}

TEST_F(InputTest, HitQueueHoldsThirtyThreeHitsPerUpdate) {
  for (int k = 100; k < 133; ++k) Down(k);
  Down(133);
  Update([] {
    for (int k = 100; k < 133; ++k) EXPECT_EQ(vx_input_KeyHit(k), 1) << k;
    // The 34th key is held but its hit was dropped.
    EXPECT_EQ(vx_input_KeyDown(133), 1);
    EXPECT_EQ(vx_input_KeyHit(133), 0);
  });
  // The next update has room again.
  Down(134);
  Update([] { EXPECT_EQ(vx_input_KeyHit(134), 1); });
}

TEST_F(InputTest, MirrorHitIsDroppedWhenTheQueueFills) {
  for (int k = 100; k < 132; ++k) Down(k);
  dev_->p_MouseEvent(4, 0, 1, 1);  // the 33rd hit fits, its mirror does not
  EXPECT_EQ(vx_input_KeyHit(1), 1);
  EXPECT_EQ(vx_input_KeyHit(384), 0);
  EXPECT_EQ(vx_input_KeyDown(384), 1);
}

TEST_F(InputTest, CharacterQueueKeepsThirtyTwoPerUpdate) {
  for (int c = 0; c < 33; ++c) dev_->p_KeyEvent(3, 'A' + c);
  Update([] {
    for (int c = 0; c < 32; ++c) EXPECT_EQ(vx_input_GetChar(), 'A' + c);
    EXPECT_EQ(vx_input_GetChar(), 0);
    EXPECT_EQ(vx_input_GetChar(), 0);
  });
  Update([] { EXPECT_EQ(vx_input_GetChar(), 0); });
  dev_->p_KeyEvent(3, 0x263A);
  Update([] { EXPECT_EQ(vx_input_GetChar(), 0x263A); });
}

TEST_F(InputTest, CharactersDoNotPressKeys) {
  dev_->p_KeyEvent(3, 65);
  EXPECT_EQ(vx_input_KeyDown(65), 0);
  EXPECT_EQ(vx_input_KeyHit(65), 0);
}

TEST_F(InputTest, QueriesOutsideTheKeyRangeReadZero) {
  Down(511);
  Down(1);
  EXPECT_EQ(vx_input_KeyDown(511), 1);
  for (int k : {0, -1, 512, 100000, -100000}) {
    EXPECT_EQ(vx_input_KeyDown(k), 0) << k;
    EXPECT_EQ(vx_input_KeyHit(k), 0) << k;
  }
  // Mouse buttons are codes button + 1; touch i is code 384 + i.
  EXPECT_EQ(vx_input_MouseDown(510), 1);
  EXPECT_EQ(vx_input_MouseDown(511), 0);
  EXPECT_EQ(vx_input_MouseDown(-1), 0);
  EXPECT_EQ(vx_input_TouchDown(127), 1);
  EXPECT_EQ(vx_input_TouchDown(128), 0);
  EXPECT_EQ(vx_input_TouchDown(-383), 1);
  EXPECT_EQ(vx_input_TouchDown(-384), 0);
}

TEST_F(InputTest, TouchPositionsOutsideThirtyTwoReadZero) {
  dev_->p_TouchEvent(9, 31, 7, 8);
  EXPECT_EQ(vx_input_TouchX(31), 7);
  for (int i : {32, 33, -1, 1000}) {
    EXPECT_EQ(vx_input_TouchX(i), 0.0f) << i;
    EXPECT_EQ(vx_input_TouchY(i), 0.0f) << i;
  }
}

// A host that sent a bad code would otherwise write outside the arrays; the
// sanitizer build catches any such write.
TEST_F(InputTest, EventsWithOutOfRangeCodesAreIgnored) {
  for (int k : {0, -1, 512, 4096, -70000}) {
    Down(k);
    Up(k);
  }
  for (int i : {32, -1, 5000}) {
    dev_->p_TouchEvent(7, i, 1, 2);
    dev_->p_TouchEvent(9, i, 1, 2);
    dev_->p_TouchEvent(8, i, 1, 2);
  }
  dev_->p_MouseEvent(4, 600, 1, 2);
  dev_->p_MouseEvent(4, -5, 1, 2);
  EXPECT_EQ(dev_->m__keyHitPut, 0);
  for (int k = 1; k < 512; ++k) ASSERT_EQ(vx_input_KeyDown(k), 0) << k;
}

TEST_F(InputTest, JoystickCodesAreABitwiseOrOfBaseUnitAndButton) {
  host_.present[0] = host_.present[1] = host_.present[2] = true;
  host_.pressed[0][0] = true;
  host_.pressed[2][5] = true;
  Update([] {
    EXPECT_EQ(vx_input_JoyHit(0, 0), 1);
    EXPECT_EQ(vx_input_KeyHit(256), 1);
    EXPECT_EQ(vx_input_JoyHit(5, 2), 1);
    EXPECT_EQ(vx_input_KeyHit(325), 1);
    EXPECT_EQ(vx_input_JoyDown(5, 2), 1);
    // 256 | 8 * 32 is 256 again, so unit 8 reads unit 0.
    EXPECT_EQ(vx_input_JoyDown(0, 8), 1);
    // 256 | 16 * 32 is 768: outside the codes.
    EXPECT_EQ(vx_input_JoyDown(0, 16), 0);
  });
}

TEST_F(InputTest, JoystickButtonHitsOnceWhileHeldAndReleasesWithThePoll) {
  host_.present[0] = true;
  host_.pressed[0][3] = true;
  Update([] { EXPECT_EQ(vx_input_JoyHit(3, 0), 1); });
  Update([] {
    EXPECT_EQ(vx_input_JoyHit(3, 0), 0);
    EXPECT_EQ(vx_input_JoyDown(3, 0), 1);
  });
  host_.pressed[0][3] = false;
  Update([] { EXPECT_EQ(vx_input_JoyDown(3, 0), 0); });
}

TEST_F(InputTest, JoystickPollStopsAtTheFirstMissingJoystick) {
  host_.present[0] = true;
  host_.present[2] = host_.present[3] = true;
  host_.pressed[2][1] = true;
  host_.pressed[3][1] = true;
  host_.stickX[2] = 0.5f;
  Update([] {
    EXPECT_EQ(vx_input_JoyDown(1, 2), 0);
    EXPECT_EQ(vx_input_JoyDown(1, 3), 0);
    EXPECT_EQ(vx_input_JoyX(0, 2), 0.0f);
  });
  EXPECT_EQ(host_.polled, (std::vector<int>{0, 1}));
  host_.present[1] = true;
  host_.polled.clear();
  Update([] {
    EXPECT_EQ(vx_input_JoyHit(1, 2), 1);
    EXPECT_EQ(vx_input_JoyHit(1, 3), 1);
    EXPECT_EQ(vx_input_JoyX(0, 2), 0.5f);
    EXPECT_EQ(vx_input_JoyX(1, 2), -0.5f);
  });
  EXPECT_EQ(host_.polled, (std::vector<int>{0, 1, 2, 3}));
}

TEST_F(InputTest, NoJoystickAtAllPollsOnlyTheFirst) {
  Update([] {});
  EXPECT_EQ(host_.polled, (std::vector<int>{0}));
}

TEST_F(InputTest, JoystickButtonsTakeNoPartInTheMirror) {
  host_.present[0] = true;
  host_.pressed[0][0] = true;
  Update([] {
    EXPECT_EQ(vx_input_KeyDown(256), 1);
    EXPECT_EQ(vx_input_KeyDown(1), 0);
    EXPECT_EQ(vx_input_KeyDown(384), 0);
  });
}

TEST_F(InputTest, JoystickHitsShareTheHitQueue) {
  host_.present[0] = true;
  for (int b = 0; b < 32; ++b) host_.pressed[0][b] = true;
  Down(65);
  Down(66);
  Update([] {
    EXPECT_EQ(vx_input_KeyHit(65), 1);
    EXPECT_EQ(vx_input_KeyHit(66), 1);
    for (int b = 0; b < 31; ++b) EXPECT_EQ(vx_input_JoyHit(b, 0), 1) << b;
    EXPECT_EQ(vx_input_JoyHit(31, 0), 0);
    EXPECT_EQ(vx_input_JoyDown(31, 0), 1);
  });
}

TEST_F(InputTest, JoystickStickQueriesOutsideTheRecordsReadZero) {
  EXPECT_EQ(vx_input_JoyX(0, 4), 0.0f);
  EXPECT_EQ(vx_input_JoyY(2, 0), 0.0f);
  EXPECT_EQ(vx_input_JoyX(-1, 0), 0.0f);
  EXPECT_EQ(vx_input_JoyY(0, -1), 0.0f);
}

TEST_F(InputTest, AccelerometerFollowsMotionEventsOnly) {
  dev_->p_MotionEvent(10, 0, 0.1f, 0.2f, 0.3f);
  EXPECT_EQ(vx_input_AccelX(), 0.1f);
  EXPECT_EQ(vx_input_AccelY(), 0.2f);
  EXPECT_EQ(dev_->m__accelZ, 0.3f);
  dev_->p_MotionEvent(9, 0, 5, 5, 5);
  EXPECT_EQ(vx_input_AccelX(), 0.1f);
}

TEST_F(InputTest, KeyboardSwitchGoesToTheHost) {
  EXPECT_EQ(vx_input_EnableKeyboard(), 1);
  EXPECT_TRUE(host_.KeyboardEnabled());
  EXPECT_EQ(vx_input_DisableKeyboard(), 1);
  EXPECT_FALSE(host_.KeyboardEnabled());
  EXPECT_EQ(dev_->p_SetKeyboardEnabled(true), 1);
  EXPECT_TRUE(host_.KeyboardEnabled());
}

TEST(InputWithoutHost, PollAndQueriesAreSafe) {
  VxGame* saved = vx_app__game;
  vx_app__game = nullptr;
  c_InputDevice* dev = (new c_InputDevice())->m_new();
  dev->p_BeginUpdate();
  dev->p_EndUpdate();
  EXPECT_EQ(vx_input_EnableKeyboard(), 1);
  vx_input_device = nullptr;
  EXPECT_EQ(vx_input_KeyDown(1), 0);
  EXPECT_EQ(vx_input_GetChar(), 0);
  EXPECT_EQ(vx_input_TouchX(0), 0.0f);
  vx_app__game = saved;
}

c_InputDevice* g_rootedDevice = nullptr;
void MarkRootedDevice() { gc_mark_q(g_rootedDevice); }

TEST(InputCollection, RootedDeviceKeepsAllItsParts) {
  gc_add_root(MarkRootedDevice);
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  gc_assign(g_rootedDevice, (new c_InputDevice())->m_new());
  const long long before = gc_destroyed_count;
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_EQ(gc_destroyed_count, before);
  g_rootedDevice->p_KeyEvent(1, 200);
  EXPECT_EQ(g_rootedDevice->p_KeyHit(200), 1);
  EXPECT_EQ(g_rootedDevice->m__joyStates[3]->m_buttons.Length(), 32);
  // Unrooted, the device, its four records and their arrays all go.
  g_rootedDevice = nullptr;
  gc_collect_all(nullptr);
  gc_collect_all(nullptr);
  EXPECT_GE(gc_destroyed_count - before, 1 + 4);
}

}  // namespace
