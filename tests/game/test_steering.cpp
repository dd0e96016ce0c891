// Ship steering (game/steering.cpp): keys, the joystick and a drag each give
// one turn per update, taken from the stick the update before left.
#include <tuple>

#include "tests/support/myapp.h"

namespace {

class Steering : public StartedAppTest {
 protected:
  void SetUp() override {
    StartedAppTest::SetUp();
    NewGame(1);
  }
  float Angle() const { return app->m_player[kShipAngle]; }
};

TEST_F(Steering, HeldKeysTurnFasterEachUpdateAndTheShipCoastsWhenReleased) {
  Key(37, true);  // Left: clockwise round the ring, so the angle grows
  Update(4);
  EXPECT_EQ(app->m_steerMode, 1);
  EXPECT_NEAR(app->m_keyStickX, -0.6f, 1e-5) << "0.15 more each update";
  EXPECT_NEAR(Angle(), 180 + 0.9f + 1.8f + 2.7f, 1e-3)
      << "6 degrees for a full stick, one update late";
  Key(37, false);
  Update(4);
  EXPECT_NEAR(app->m_keyStickX, 0.0f, 1e-5) << "back 0.2 an update";
  EXPECT_NEAR(Angle(), 185.4f + 3.6f + 2.4f + 1.2f, 1e-3);
}

TEST_F(Steering, AJoystickPastItsDeadZoneTurnsTheShipTheShortWayAndSnapsNearTheAim) {
  // The short way is the smaller signed step; half a turn goes back.
  const float from[] = {0, 0, 350, -30, 10, 90}, to[] = {180, 179, 10, 10, 350, 90};
  const int way[] = {-179, 179, 20, 40, -19, 0};
  for (int i = 0; i < 6; ++i)
    EXPECT_EQ(c_MyApp::m_WhichWayDoIGo(from[i], to[i], 0, 359), way[i]) << i;

  Stick(0.15f, -0.2f);
  Update(2);
  EXPECT_EQ(std::make_pair(app->m_steerMode, Angle()), std::make_pair(1, 180.0f))
      << "inside the dead zone";
  Stick(0.3f, 0);  // right: the ring point at 90 degrees
  Update(3);
  EXPECT_EQ(std::make_tuple(app->m_steerMode, app->m_stickX, Angle()),
            std::make_tuple(2, 0.3f, 168.0f))
      << "at most 6 degrees an update";
  app->m_player[kShipAngle] = 91;
  Update();
  EXPECT_FLOAT_EQ(Angle(), 90.0f) << "within 2 degrees it snaps onto the aim";
  Stick(0, 0.3f);  // up: the stick's y grows upward, the screen's downward
  Update(2);
  EXPECT_EQ(std::make_pair(app->m_stickY, Angle()), std::make_pair(-0.3f, 84.0f));
}

TEST_F(Steering, ADragIsAStickAroundWhereItStartedWhichTrailsAFarPointer) {
  Press(300, 200);
  Update();
  Mouse(307, 207);
  Update();
  EXPECT_FLOAT_EQ(app->m_stickX + app->m_stickY, 0.0f)
      << "7 pixels both ways is inside the dead zone";
  Mouse(308, 207);
  Update();
  EXPECT_FLOAT_EQ(app->m_stickX, 8.0f / 72.0f) << "72 pixels for a full stick";
  Mouse(500, 210);
  Update(5);
  EXPECT_EQ(std::make_tuple(app->m_stickAnchorX, app->m_stickAnchorY, app->m_stickX),
            std::make_tuple(320, 200, 1.0f))
      << "4 pixels an update once 64 away";
  MouseButton(false);
  Update();
  EXPECT_EQ(std::make_pair(app->m_stickAnchorX, app->m_steerMode), std::make_pair(-1, 1));
}

}  // namespace
