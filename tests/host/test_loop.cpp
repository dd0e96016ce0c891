// The host's Run loop driven through the scripted window layer: timing,
// catch-up, window states, the close button, held keys on a window switch.
#include <gtest/gtest.h>

#include <cmath>

#include "host/glfw2_scripted.h"
#include "host/options.h"
#include "tests/host/host_test_util.h"

namespace {

const double kPeriod = 1.0 / 60;

class HostLoop : public ScriptedHostTest {
 protected:
  // The framework sets the rate while starting; so does this delegate.
  void StartAt60() {
    d->onStart = [this] { host.SetUpdateRate(60); };
  }
  // Index of the n-th (from 0) entry equal to e, or -1.
  int Nth(const std::string& e, int n) {
    for (size_t i = 0; i < d->log.size(); ++i)
      if (d->log[i] == e && n-- == 0) return (int)i;
    return -1;
  }
};

TEST_F(HostLoop, RateZeroRendersOncePerEventBatchAndNeverUpdates) {
  glfw2_script::Key(1.0, 'X', GLFW_PRESS);
  glfw2_script::Key(1.0, 'X', GLFW_RELEASE);
  glfw2_script::Key(2.0, 'Y', GLFW_PRESS);
  host.Run();
  EXPECT_EQ(d->Joined(), "S R R K1:88 K2:88 R K1:89 R");
  EXPECT_EQ(d->updates, 0);
  EXPECT_EQ(glfw2_script::GetStats().sleeps, 0);  // it blocked instead
}

TEST_F(HostLoop, SteadyPlayUpdatesOncePerPeriodAndRendersAfterEach) {
  StartAt60();
  d->onUpdate = [](int n) {
    if (n == 30) glfw2_script::CloseWindow(glfw2_script::Now());
  };
  host.Run();
  ASSERT_EQ(d->updates, 30);
  for (int i = 0; i < 30; ++i) EXPECT_NEAR(d->updateTimes[i], (i + 1) * kPeriod, 1e-9) << i;
  // Start render, then exactly one render after every update.
  EXPECT_EQ(d->renders, 31);
  for (int i = 0; i < 29; ++i) EXPECT_EQ(d->log[Nth("U", i) + 1], "R") << i;
}

TEST_F(HostLoop, LongStallRunsFourUpdatesThenOneRenderAndRestartsTimingFromNow) {
  StartAt60();
  double stallEnd = 0;
  d->onUpdate = [&](int n) {
    if (n == 3) {
      glfw2_script::Advance(1.0);
      stallEnd = glfw2_script::Now();
    }
    if (n == 10) glfw2_script::CloseWindow(glfw2_script::Now());
  };
  host.Run();
  int u3 = Nth("U", 2);
  ASSERT_GE(u3, 0);
  std::string after;
  for (int i = u3; i < u3 + 8 && i < (int)d->log.size(); ++i) after += d->log[i] + " ";
  // Four updates, one render, then the restarted timing gives the next update
  // at once and one update per frame again.
  EXPECT_EQ(after, "U U U U R U R U ");
  EXPECT_NEAR(d->updateTimes[6], stallEnd, 1e-9);           // update 7: timing restarted now
  EXPECT_NEAR(d->updateTimes[7], stallEnd + kPeriod, 1e-9);  // then one period apart
}

TEST_F(HostLoop, RateChangeInsideAnUpdateMakesTheNextUpdateOneNewPeriodLater) {
  StartAt60();
  d->onUpdate = [&](int n) {
    if (n == 3) host.SetUpdateRate(20);
    if (n == 6) glfw2_script::CloseWindow(glfw2_script::Now());
  };
  host.Run();
  ASSERT_EQ(d->updates, 6);
  EXPECT_NEAR(d->updateTimes[3] - d->updateTimes[2], 1.0 / 20, 1e-9);
  EXPECT_NEAR(d->updateTimes[4] - d->updateTimes[3], 1.0 / 20, 1e-9);
}

TEST_F(HostLoop, RateZeroInsideCatchUpEndsItAndRendersAtOnce) {
  StartAt60();
  d->onUpdate = [&](int n) {
    if (n == 2) glfw2_script::Advance(1.0);
    if (n == 3) host.SetUpdateRate(0);
  };
  glfw2_script::Key(5.0, 'K', GLFW_PRESS);  // one more event batch, then nothing
  host.Run();
  EXPECT_EQ(d->updates, 3);
  int u3 = Nth("U", 2);
  ASSERT_GE(u3, 0);
  ASSERT_LT(u3 + 1, (int)d->log.size());
  EXPECT_EQ(d->log[u3 + 1], "R");
  // From then on a render per event batch, no timed updates.
  EXPECT_EQ(host.UpdateRate(), 0);
  EXPECT_EQ(d->Count("K1:75"), 1);
}

TEST_F(HostLoop, MinimisingSuspendsOnceAndRestoringResumesOnceWithoutABurst) {
  StartAt60();
  bool iconifiedAtSuspend = false;
  d->onSuspend = [&] { iconifiedAtSuspend = host.Iconified(); };
  glfw2_script::SetIconified(0.5, true);
  glfw2_script::Key(1.0, 'M', GLFW_PRESS);  // an event while minimised
  glfw2_script::SetIconified(3.0, false);
  glfw2_script::CloseWindow(3.5);
  host.Run();
  EXPECT_EQ(d->suspends, 1);
  EXPECT_EQ(d->resumes, 1);
  EXPECT_TRUE(iconifiedAtSuspend);
  EXPECT_FALSE(host.Iconified());
  int p = Nth("P", 0), q = Nth("Q", 0);
  ASSERT_LT(p, q);
  for (int i = p + 1; i < q; ++i) {
    EXPECT_NE(d->log[i], "R") << "rendered while minimised";
    EXPECT_NE(d->log[i], "U") << "updated while minimised";
  }
  EXPECT_EQ(d->Count("K1:77"), 1);  // input still arrives
  // After the resume: one update right away, then one period apart.
  int within = 0;
  for (double t : d->updateTimes)
    if (t >= 3.0 && t < 3.0 + kPeriod / 2) ++within;
  EXPECT_EQ(within, 1);
  EXPECT_EQ(d->log[q + 1], "U");
  EXPECT_EQ(d->log[q + 2], "R");
}

TEST_F(HostLoop, LosingFocusSuspendsButStillRendersOnEachEvent) {
  StartAt60();
  glfw2_script::SetActive(0.5, false);
  glfw2_script::Key(1.0, 'A', GLFW_PRESS);
  glfw2_script::Key(1.5, 'B', GLFW_PRESS);
  glfw2_script::SetActive(2.0, true);
  glfw2_script::CloseWindow(2.5);
  host.Run();
  EXPECT_EQ(d->suspends, 1);
  EXPECT_EQ(d->resumes, 1);
  EXPECT_FALSE(host.Iconified());
  int p = Nth("P", 0), q = Nth("Q", 0);
  ASSERT_LT(p, q);
  std::string between;
  for (int i = p + 1; i < q; ++i) between += d->log[i] + " ";
  // A frame when suspending, then one per wake-up: after each key, and the
  // wake-up that brings the focus back resumes before drawing.
  EXPECT_EQ(between, "R K1:65 R K1:66 R ");
  for (double t : d->updateTimes) EXPECT_FALSE(t > 0.5 && t < 2.0) << t;
}

TEST_F(HostLoop, CloseButtonSendsKeyDownAndUpOf432AndTheWindowStaysOpen) {
  StartAt60();
  glfw2_script::CloseRequest(0.1);
  glfw2_script::CloseWindow(0.5);
  host.Run();
  int down = Nth("K1:432", 0);
  ASSERT_GE(down, 0);
  EXPECT_EQ(d->log[down + 1], "K2:432");
  EXPECT_EQ(d->Count("K1:432"), 1);
  // Still running after the request: updates up to the scripted end.
  EXPECT_GT(d->updateTimes.back(), 0.45);
}

TEST_F(HostLoop, SwitchingToFullScreenWithAKeyHeldSendsItsKeyUpFirst) {
  StartAt60();
  int seqBefore = glfwGraphicsSeq;
  int opensAtSwitch = -1;
  glfw2_script::Key(0.1, GLFW_KEY_LEFT, GLFW_PRESS);
  glfw2_script::Call(0.2, [&] {
    opensAtSwitch = glfw2_script::GetStats().opens;
    host.SetGlfwWindow(1920, 1080, 8, 8, 8, 0, 0, 0, true);
  });
  glfw2_script::CloseWindow(0.3);
  host.Run();
  EXPECT_EQ(opensAtSwitch, 1);
  int down = Nth("K1:37", 0), up = Nth("K2:37", 0);
  ASSERT_GE(down, 0);
  ASSERT_GT(up, down);
  const glfw2_script::Stats& s = glfw2_script::GetStats();
  EXPECT_EQ(s.opens, 2);
  EXPECT_EQ(s.mode, GLFW_FULLSCREEN);
  EXPECT_EQ(s.width, 1920);
  EXPECT_EQ(s.title, "");  // only a windowed window gets the title
  EXPECT_EQ(glfwGraphicsSeq, seqBefore + 2);
}

TEST_F(HostLoop, FastClockStepsOnePeriodPerUpdateWithoutSleeping) {
  vx_host_options.fast = true;
  StartAt60();
  d->onUpdate = [](int n) {
    if (n == 120) glfw2_script::CloseWindow(glfw2_script::Now());
  };
  host.Run();
  ASSERT_EQ(d->updates, 120);
  EXPECT_EQ(glfw2_script::GetStats().sleeps, 0);
  EXPECT_EQ(glfw2_script::Now(), 0.0);  // the window layer's clock never moved
  // Millisecs follows the fast clock: 120 updates are two seconds.
  EXPECT_EQ(d->updateMs.front(), 16);
  EXPECT_NEAR(d->updateMs.back(), 2000, 1);
  EXPECT_EQ(d->renders, 121);
}

TEST_F(HostLoop, EndsWhenTheWindowIsGone) {
  StartAt60();
  glfw2_script::CloseWindow(0.06);
  host.Run();
  EXPECT_FALSE(glfw2_script::WindowOpen());
  EXPECT_EQ(d->updates, 3);
}

}  // namespace
