// Threads: Start runs the body on its own thread until Wait joins it.
#include "host/services/thread.h"

#include <gtest/gtest.h>
#include <unistd.h>

namespace {

class Gate : public VxThread {
 public:
  std::atomic<bool> open{false};
  std::atomic<int> runs{0};
  void Run__UNSAFE__() override {
    while (!open) usleep(1000);
    ++runs;
  }
};

TEST(HostThread, StartRunsTheBodyOnceOnItsOwnThreadUntilWaitedAndCanStartAgain) {
  Gate* t = new Gate();
  t->Start();
  t->Start();  // already running: nothing
  EXPECT_TRUE(t->IsRunning()) << "the body waits at the gate, not this thread";
  t->open = true;
  t->Wait();
  EXPECT_FALSE(t->IsRunning());
  t->Start();
  while (t->running == 1) usleep(1000);
  EXPECT_EQ(t->running.load(), 2) << "finished, not yet joined";
  EXPECT_FALSE(t->IsRunning());
  t->Start();
  t->Wait();
  t->Wait();  // nothing to wait for
  EXPECT_EQ(t->runs.load(), 3);
}

}  // namespace
