// The input device through the events a host delivers and the queries the game
// makes. Codes: mouse button b is b + 1, joystick j button b is 256 + 32 j + b,
// touch i is 384 + i.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/input.h"
#include "tests/support/devices.h"

namespace {

// A key's hits and held flag as one number: 10 one hit and released, 11 one
// hit and still held, 1 held without a hit.
int HD(int key) { return vx_input_KeyHit(key) * 10 + vx_input_KeyDown(key); }

class Input : public ::testing::Test {
 protected:
  void SetUp() override {
    vx_app__game = &host;
    vx_input_SetInputDevice((new c_InputDevice())->m_new());
    dev = vx_input_device;
  }
  void TearDown() override { vx_app__game = nullptr, vx_input_device = nullptr; }
  void Key(int event, int key) { dev->p_KeyEvent(event, key); }
  // One update as the delegate runs it; `during` sees this update's input.
  template <class F>
  void Update(F during) {
    dev->p_BeginUpdate();
    during();
    dev->p_EndUpdate();
  }
  test_support::FakeHost host;
  c_InputDevice* dev = nullptr;
};

TEST_F(Input, AKeyHitsOnceForTheNextUpdateAndRepeatsAddNothing) {
  Key(1, 65);
  Key(2, 65);
  Key(2, 70);  // a release without a press
  Update([] { EXPECT_EQ(HD(65) + HD(70), 10); });
  Update([] { EXPECT_EQ(HD(65), 0); });
  Key(1, 32);
  Update([] { EXPECT_EQ(HD(32), 11); });
  Key(1, 32);  // the window layer's auto-repeat
  Update([] { EXPECT_EQ(HD(32), 1); });
  Key(2, 32);
  Key(1, 32);
  Update([] { EXPECT_EQ(HD(32), 11); });
}

// The left button and the first touch are one pointer: each presses and
// releases both, a move of either moves both; other buttons and touches keep to
// themselves. After each mouse (4 to 6) or touch (7 to 9) event: the left
// button, the first touch, the mouse's and the first touch's position.
TEST_F(Input, LeftButtonAndFirstTouchAreOnePointer) {
  const struct {
    int event, data;
    float x, y;
    const char* state;
  } steps[] = {{4, 0, 12, 34, "11 11 12 34 12 34"},
               {5, 0, 99, 99, "10 10 12 34 12 34"},  // a release does not move
               {7, 0, 40, 50, "21 21 40 50 40 50"},
               {9, 0, 41, 51, "21 21 41 51 41 51"},
               {8, 0, 0, 0, "20 20 41 51 41 51"},
               {6, -1, 300, 200, "20 20 300 200 300 200"},
               {4, 1, 5, 6, "20 20 5 6 5 6"},
               {7, 5, 70, 80, "20 20 5 6 5 6"}};
  for (const auto& s : steps) {
    s.event < 7 ? dev->p_MouseEvent(s.event, s.data, s.x, s.y)
                : dev->p_TouchEvent(s.event, s.data, s.x, s.y);
    std::string state = std::to_string(HD(1)) + " " + std::to_string(HD(384));
    for (float v : {vx_input_MouseX(), vx_input_MouseY(), vx_input_TouchX(0), vx_input_TouchY(0)})
      state += " " + test_support::Num(v);
    EXPECT_EQ(state, s.state) << &s - steps;
  }
  EXPECT_EQ(HD(2) + HD(389), 22);
  EXPECT_EQ(vx_input_TouchX(5) + vx_input_TouchY(5), 70 + 80);
}

TEST_F(Input, QueuesHoldThirtyThreeHitsAndThirtyTwoCharactersPerUpdate) {
  for (int k = 100; k < 132; ++k) Key(1, k);
  dev->p_MouseEvent(4, 0, 1, 1);  // the 33rd hit fits, its mirror does not
  Key(1, 133);
  Update([] {
    EXPECT_EQ(std::vector<int>({HD(131), HD(1), HD(384), HD(133)}),
              (std::vector<int>{11, 11, 1, 1}));
  });
  Key(1, 134);
  Update([] { EXPECT_EQ(HD(134), 11); });
  for (int c = 0; c < 33; ++c) Key(3, 'A' + c);
  Update([] {
    for (int c = 0; c < 32; ++c) EXPECT_EQ(vx_input_GetChar(), 'A' + c);
    EXPECT_EQ(vx_input_GetChar(), 0);
    EXPECT_EQ(HD('A'), 0) << "characters press no key";
  });
  Update([] { EXPECT_EQ(vx_input_GetChar(), 0); });
}

// A host that sent a bad code would otherwise write outside the arrays; the
// sanitizer build catches any such write.
TEST_F(Input, CodesOutOfRangeAreIgnoredAndReadZero) {
  for (int k : {0, -1, 512, -70000}) Key(1, k);
  for (int i : {32, -1, 5000}) dev->p_TouchEvent(7, i, 1, 2), dev->p_TouchEvent(9, i, 1, 2);
  dev->p_MouseEvent(4, 600, 1, 2);
  EXPECT_EQ(dev->m__keyHitPut, 0);
  Key(1, 511);
  EXPECT_EQ(vx_input_KeyDown(511) + vx_input_MouseDown(510) + vx_input_TouchDown(127), 3);
  for (int k : {0, -1, 512, 100000}) EXPECT_EQ(HD(k), 0) << k;
  EXPECT_EQ(
      vx_input_MouseDown(511) + vx_input_TouchDown(128) + vx_input_TouchX(32) + vx_input_TouchY(-1),
      0);
  for (auto [index, unit] : std::vector<std::pair<int, int>>{{0, 4}, {2, 0}, {-1, 0}, {0, -1}})
    EXPECT_EQ(vx_input_JoyX(index, unit) + vx_input_JoyY(index, unit), 0) << index << "," << unit;
}

TEST_F(Input, JoysticksArePolledUntilTheFirstMissingOne) {
  host.pads[0].present = host.pads[2].present = true;
  host.pads[2].buttons[5] = true;
  Update([] { EXPECT_EQ(vx_input_JoyDown(5, 2), 0); });
  EXPECT_EQ(host.polled, (std::vector<int>{0, 1}));
  host.pads[1].present = true;
  host.pads[2].x[0] = 0.5f, host.pads[2].y[0] = -0.25f, host.pads[2].x[1] = 0.75f,
  host.pads[2].y[1] = 1;
  Update([] {
    EXPECT_EQ(HD(325), 11);
    EXPECT_EQ(vx_input_JoyHit(5, 2) + vx_input_JoyDown(5, 2), 2);
    EXPECT_EQ(vx_input_JoyDown(5, 10), 1) << "256 | 10 * 32 | 5 is unit 2's button again";
    const std::vector<float> sticks = {vx_input_JoyX(0, 2), vx_input_JoyY(0, 2),
                                       vx_input_JoyX(1, 2), vx_input_JoyY(1, 2)};
    EXPECT_EQ(sticks, (std::vector<float>{0.5f, -0.25f, 0.75f, 1}));
  });
  EXPECT_EQ(host.polled, (std::vector<int>{0, 1, 0, 1, 2, 3}));
  Update([] { EXPECT_EQ(HD(325), 1); });
  host.pads[2].buttons[5] = false;
  Update([] { EXPECT_EQ(HD(325), 0); });
}

TEST_F(Input, TheKeyboardSwitchReachesTheHost) {
  vx_input_EnableKeyboard();
  EXPECT_TRUE(host.KeyboardEnabled());
  vx_input_DisableKeyboard();
  EXPECT_FALSE(host.KeyboardEnabled());
}

}  // namespace
