// Input as the screens see it (game/controls.cpp): the logical controls from
// keys, joystick buttons and stick, iCade characters and presses, and the key
// lock that lets Back close a panel once. The pointer is in test_flow.cpp.
#include "framework/input.h"
#include "tests/support/myapp.h"

namespace {

using Controls = StartedAppTest;

TEST_F(Controls, EachControlHasItsKeysJoystickButtonsAndPresses) {
  struct Row {
    int control;
    std::vector<int> keys, buttons, presses;
  };
  const Row rows[] = {{0, {38, 87}, {9}, {0}},
                      {3, {37, 65}, {8}, {3}},
                      {5, {39, 68}, {10}, {5}},
                      {8, {40, 83}, {11}, {8}},
                      {10, {90, 74, 32, 13}, {0}, {10}},
                      {11, {88, 75, 17}, {1}, {11}},
                      {12, {67, 76, 16}, {2}, {12}},
                      {13, {86, 73}, {3}, {13}},
                      {14, {66, 85}, {4}, {14}},
                      {15, {78, 79}, {5}, {15}},
                      {99, {27, 192, 46, 8}, {6, 7, 14}, {16, 17, 19}}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.control);
    for (int key : r.keys) {
      Key(key, true);
      for (const Row& o : rows)
        EXPECT_EQ(app->p_PlayKey(o.control, 0, -1), o.control == r.control) << key;
      Key(key, false);
    }
    for (int b : r.buttons) {
      Key(256 + 32 * 3 + b, true);  // player 3's button
      EXPECT_EQ(app->p_PlayKey(r.control, 0, 3), 1) << "button " << b;
      EXPECT_EQ(app->p_PlayKey(r.control, 0, 0) + app->p_PlayKey(r.control, 0, -1), 0)
          << "only player 3's";
      Key(256 + 32 * 3 + b, false);
    }
    for (int p : r.presses) {
      app->m_ctrl[p] = 1;
      EXPECT_EQ(app->p_PlayKeyAll(r.control, 0), 4) << "a press is every player's, m_ctrl " << p;
      app->m_ctrl[p] = 0;
    }
  }
  Key(27, true);
  EXPECT_EQ(app->p_PlayKey(99, 1, -2) + app->p_PlayKey(7, 1, 0), 0) << "no such player or control";
}

TEST_F(Controls, TheStickIsADirectionBeyondPointFourInModeOne) {
  struct Case {
    float x, y;
    int control, mode1;
  };
  for (Case k : {Case{0, 0.5f, 0, 1}, Case{0, 0.4f, 0, 0}, Case{-0.41f, -0.9f, 3, 1},
                 Case{-0.41f, -0.9f, 8, 1}, Case{-0.41f, -0.9f, 5, 0}}) {
    Stick(k.x, k.y);  // y grows upward
    Update();
    EXPECT_EQ(app->p_PlayKey(k.control, 1, 0), k.mode1)
        << k.x << "," << k.y << " control " << k.control;
    EXPECT_EQ(app->p_PlayKey(k.control, 0, 0) + app->p_PlayKey(k.control, 1, 1), 0)
        << "player 0 in mode 1";
  }
}

TEST_F(Controls, WithTheICadeOnLettersAreCharactersThatHoldUntilTheirReleaseLetter) {
  vx_Quorvex_iCadeControls = 1;
  Key(87, true);  // W
  Key(192, true);
  input->m__joyStates[0]->m_joyy[0] = 1;
  EXPECT_EQ(app->p_PlayKey(0, 1, 0) + app->p_PlayKey(99, 1, 0), 0) << "letters, 192 and the stick";
  Key(38, true);
  Key(27, true);
  EXPECT_EQ(app->p_PlayKey(0, 1, 0) + app->p_PlayKey(99, 1, 0), 2)
      << "arrows and Escape still count";
  const char held[] = "WXADHJKYUIOL", released[] = "EZQCRNPTFMGV";
  const int entries[] = {0, 8, 3, 5, 10, 11, 12, 13, 14, 15, 16, 17};
  for (int i = 0; i < 12; ++i) {
    SCOPED_TRACE(held[i]);
    host.KeyEvent(3, held[i] + 32 * (i % 2));  // either case
    app->m_ctrl[18] = 1;                       // a one-update press
    app->p_ICadeStep();
    app->p_ClearOneShots();
    EXPECT_EQ(app->m_ctrl[entries[i]], 2) << "survives the clearing of one-update presses";
    EXPECT_EQ(app->m_ctrl[18], 0);
    host.KeyEvent(3, released[i]);
    app->p_ICadeStep();
    EXPECT_EQ(app->m_ctrl[entries[i]], 0);
    input->p_EndUpdate();
  }
}

TEST_F(Controls, HoldingBackClosesTheCreditsOnceUntilEverythingIsReleased) {
  app->m_showCredits = 1;
  Key(27, true);
  Update();
  EXPECT_EQ(app->m_showCredits, 0);
  app->m_showCredits = 1;
  Update(3);
  EXPECT_EQ(app->m_showCredits, 1) << "a held key acts once";
  Key(27, false);
  Update();
  Tap(27);
  EXPECT_EQ(app->m_showCredits, 0) << "a new press closes it again";
}

}  // namespace
