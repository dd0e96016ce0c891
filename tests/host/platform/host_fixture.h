// A delegate that writes down every host call, and the fixture that runs a
// host over a fresh scripted window layer.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "host/platform/game.h"
#include "host/platform/glfw2_scripted.h"
#include "host/platform/options.h"

// Each call as an entry: "S" start, "P" suspend, "Q" resume, "U", "R", "K1:46"
// key, "M4:0:10:20" mouse, "T" touch, "O" motion, "D" discard.
class RecordingDelegate : public VxGameDelegate {
 public:
  std::vector<std::string> log;
  std::vector<double> updateTimes;  // the window layer's clock at each update
  std::function<void()> onStart;
  std::function<void(int)> onUpdate;  // with the update's number, from 1

  void StartGame() override {
    log.push_back("S");
    if (onStart) onStart();
  }
  void SuspendGame() override { log.push_back("P"); }
  void ResumeGame() override { log.push_back("Q"); }
  void UpdateGame() override {
    log.push_back("U");
    updateTimes.push_back(glfwGetTime());
    if (onUpdate) onUpdate((int)updateTimes.size());
  }
  void RenderGame() override { log.push_back("R"); }
  void KeyEvent(int event, int data) override {
    log.push_back("K" + std::to_string(event) + ":" + std::to_string(data));
  }
  void MouseEvent(int event, int data, float x, float y) override {
    log.push_back("M" + std::to_string(event) + ":" + std::to_string(data) + ":" +
                  std::to_string((int)x) + ":" + std::to_string((int)y));
  }
  void TouchEvent(int, int, float, float) override { log.push_back("T"); }
  void MotionEvent(int, int, float, float, float) override { log.push_back("O"); }
  void DiscardGraphics() override { log.push_back("D"); }

  // The log joined by spaces, leaving out entries that start with a letter of `skip`.
  std::string Joined(const std::string& skip = "") const {
    std::string s;
    for (const std::string& e : log)
      if (skip.find(e[0]) == std::string::npos) s += (s.empty() ? "" : " ") + e;
    return s;
  }
  int Count(const std::string& entry) const {
    return (int)std::count(log.begin(), log.end(), entry);
  }
};

class ScriptedHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    glfw2_script::Reset();
    vx_host_options = VxHostOptions();
    vx_host_updates = vx_host_renders = vx_host_slots = 0;
    ASSERT_TRUE(glfwInit());
    host.SetDelegate(d);
  }
  void TearDown() override {
    vx_host_options = VxHostOptions();
    glfwTerminate();
  }
  // The framework sets the rate while starting; so does this delegate.
  void StartAt60() {
    d->onStart = [this] { host.SetUpdateRate(60); };
  }

  VxZorbelGame host;
  RecordingDelegate* d = new RecordingDelegate();
};
