#include "tests/support/devices.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "host/platform/glfw2.h"
#include "tests/support/openal.h"

namespace test_support {

namespace {

// A test that chose no OpenAL output gets the silent one, so no device of the
// process ever opens a sound card (set at start-up, before any device opens).
// One file for every process: written aside, then renamed into place whole.
bool ChooseNullOutput() {
  if (std::getenv("ALSOFT_CONF")) return false;
  const auto dir = std::filesystem::temp_directory_path();
  const auto mine = dir / ("quorvex-null-alsoft." + std::to_string(getpid()));
  const std::string env = openal_test::DriverConfig(mine, "null");
  std::filesystem::rename(mine, dir / "quorvex-null-alsoft.conf");
  openal_test::UseConfig(env.substr(0, env.find('=') + 1) +
                         (dir / "quorvex-null-alsoft.conf").string());
  return true;
}
const bool g_nullOutput = ChooseNullOutput();

}  // namespace

gxtkSurface* RecordingGraphics::Surface(int w, int h) {
  gxtkSurface* s = new gxtkSurface();
  s->width = w, s->height = h, s->depth = 4, s->format = GL_RGBA;
  s->data = static_cast<unsigned char*>(std::calloc((size_t)std::max(w, 1) * std::max(h, 1), 4));
  return s;
}

const RecordingGraphics::Call* RecordingGraphics::Last(const std::string& name) const {
  for (auto it = calls.rbegin(); it != calls.rend(); ++it)
    if (it->name == name) return &*it;
  return nullptr;
}

std::string RecordingGraphics::Log() const {
  std::string s;
  for (const Call& c : calls) {
    s += (s.empty() ? "" : " ") + c.name + "(";
    for (size_t i = 0; i < c.args.size(); ++i) s += (i ? "," : "") + Num(c.args[i]);
    s += ")";
  }
  return s;
}

gxtkSurface* RecordingGraphics::LoadSurface(String path) {
  opened.push_back(path.ToUtf8());
  Note("LoadSurface", {});
  if (forward) return gxtkGraphics::LoadSurface(path);
  if (files.empty()) return LoadSurface__UNSAFE__(new gxtkSurface(), path);  // decoded, no texture
  auto it = files.find(opened.back());
  return it == files.end() ? nullptr : Surface(it->second.first, it->second.second);
}

std::string Num(float v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.4g", v);
  return buf;
}

RecordingAudio::RecordingAudio() {
  (void)g_nullOutput;
  Close();
}

c_Sound* RecordingAudio::Sound(const std::string& name) {
  gxtkSample* s = new gxtkSample();
  names[s] = name;
  return (new c_Sound())->m_new(s);
}

int RecordingAudio::Count(const std::string& prefix) const {
  return (int)std::count_if(calls.begin(), calls.end(), [&](const std::string& c) {
    return c.compare(0, prefix.size(), prefix) == 0;
  });
}

std::string RecordingAudio::Calls() const {
  std::string s;
  for (const std::string& c : calls) s += (s.empty() ? "" : " ") + c;
  return s;
}

bool RecordingAudio::Exists(const std::string& path) const {
  return files.empty() || std::find(files.begin(), files.end(), path) != files.end();
}

gxtkSample* RecordingAudio::LoadSample(String path) {
  const std::string p = path.ToUtf8();
  opened.push_back(p);
  Note("load:" + p);
  gxtkSample* s = Exists(p) ? new gxtkSample() : nullptr;
  if (s) names[s] = p.substr(p.rfind('/') + 1);
  return s;
}

int RecordingAudio::PlaySample(gxtkSample* sample, int channel, int flags) {
  auto it = names.find(sample);
  Note("play" + std::to_string(channel) + ":" + (it == names.end() ? "?" : it->second) + "," +
       std::to_string(flags));
  return 0;
}

int RecordingAudio::PlayMusic(String path, int flags) {
  const std::string p = path.ToUtf8();
  Note("music:" + p + "," + std::to_string(flags));
  return Exists(p) ? 0 : -1;
}

bool OpenWindow(int w, int h) {
  static VxGlfwGame* host = glfw2::glfwInit() ? new VxGlfwGame() : nullptr;
  if (!host) return false;
  const int seq = glfwGraphicsSeq;
  host->SetGlfwWindow(w, h, 8, 8, 8, 8, 0, 0, false);
  int ww = 0, hh = 0;
  glfw2::glfwGetWindowSize(&ww, &hh);
  return glfwGraphicsSeq == seq + 1 && ww == w && hh == h;
}

bool FakeHost::PollJoystick(int port, Array<float> joyx, Array<float> joyy, Array<float> joyz,
                            Array<bool> buttons) {
  polled.push_back(port);
  if (port < 0 || port >= 4 || !pads[port].present) return false;
  const Pad& p = pads[port];
  for (int i = 0; i < 2; ++i) joyx[i] = p.x[i], joyy[i] = p.y[i], joyz[i] = p.z[i];
  for (int b = 0; b < 32 && b < buttons.Length(); ++b) buttons[b] = p.buttons[b];
  return true;
}

}  // namespace test_support
