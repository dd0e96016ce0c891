// The game's one test fixture: the real c_MyApp over the fake host and the
// recording devices (game_rig.h), made afresh for each test.
#pragma once

#include <gtest/gtest.h>

#include "tests/support/game_rig.h"

class MyAppTest : public ::testing::Test, public GameRig {
 protected:
  void SetUp() override { ASSERT_TRUE(Make()); }
  void TearDown() override { Clear(); }
};

// The same, started: on the title screen at the beginning of each test.
class StartedAppTest : public MyAppTest {
 protected:
  void SetUp() override {
    MyAppTest::SetUp();
    Start();
  }
};
