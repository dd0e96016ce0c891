// Shared pieces of the host tests: a recording delegate, a host whose
// protected state the tests may read, and the fixture that runs them over the
// scripted window layer.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "host/game.h"
#include "host/glfw2_scripted.h"
#include "host/options.h"

// Records every delegate call as a short line ("U", "R", "K1:46", "M4:0:10:20")
// and runs optional hooks inside them.
class RecordingDelegate : public VxGameDelegate {
 public:
  std::vector<std::string> log;
  std::vector<double> updateTimes;  // the window layer's clock at each update, seconds
  std::vector<int> updateMs;        // the host's Millisecs at each update
  int updates = 0, renders = 0, starts = 0, suspends = 0, resumes = 0;
  std::function<void()> onStart;
  std::function<void(int)> onUpdate;  // with the update's number, from 1
  std::function<void()> onSuspend;

  void StartGame() override;
  void SuspendGame() override;
  void ResumeGame() override;
  void UpdateGame() override;
  void RenderGame() override;
  void KeyEvent(int event, int data) override;
  void MouseEvent(int event, int data, float x, float y) override;

  // The log joined with spaces, for readable failures.
  std::string Joined() const;
  int Count(const std::string& entry) const;
};

class TestHost : public VxZorbelGame {
 public:
  bool Iconified() const { return _iconified; }
  double NextUpdate() const { return _nextUpdate; }
  double UpdatePeriod() const { return _updatePeriod; }
};

// A fresh scripted window layer and default options for each test, a
// recording delegate on the host; the options are reset again afterwards.
class ScriptedHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glfw2_script::Reset();
    vx_host_options = VxHostOptions();
    ASSERT_TRUE(glfwInit());
    d = new RecordingDelegate();
    host.SetDelegate(d);
  }
  void TearDown() override {
    vx_host_options = VxHostOptions();
    glfwTerminate();
  }

  TestHost host;
  RecordingDelegate* d = nullptr;
};
