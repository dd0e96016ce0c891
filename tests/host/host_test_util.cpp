#include "tests/host/host_test_util.h"

#include <algorithm>

#include "host/glfw2.h"

void RecordingDelegate::StartGame() {
  ++starts;
  log.push_back("S");
  if (onStart) onStart();
}

void RecordingDelegate::SuspendGame() {
  ++suspends;
  log.push_back("P");
  if (onSuspend) onSuspend();
}

void RecordingDelegate::ResumeGame() {
  ++resumes;
  log.push_back("Q");
}

void RecordingDelegate::UpdateGame() {
  ++updates;
  log.push_back("U");
  updateTimes.push_back(glfwGetTime());
  updateMs.push_back(VxGame::_game->Millisecs());
  if (onUpdate) onUpdate(updates);
}

void RecordingDelegate::RenderGame() {
  ++renders;
  log.push_back("R");
}

void RecordingDelegate::KeyEvent(int event, int data) {
  log.push_back("K" + std::to_string(event) + ":" + std::to_string(data));
}

void RecordingDelegate::MouseEvent(int event, int data, float x, float y) {
  log.push_back("M" + std::to_string(event) + ":" + std::to_string(data) + ":" +
                std::to_string((int)x) + ":" + std::to_string((int)y));
}

std::string RecordingDelegate::Joined() const {
  std::string s;
  for (const std::string& e : log) s += (s.empty() ? "" : " ") + e;
  return s;
}

int RecordingDelegate::Count(const std::string& entry) const {
  return (int)std::count(log.begin(), log.end(), entry);
}
