// Gamepad mappings from the player's environment and configuration folder.
#include "host/platform/pads.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/platform/glfw2.h"

namespace {

bool IsMapping(const std::string& line) {
  std::stringstream fields(line);
  std::string guid, name, element;
  if (!std::getline(fields, guid, ',') || guid.size() != 32) return false;
  for (char c : guid)
    if (!std::isxdigit((unsigned char)c)) return false;
  if (!std::getline(fields, name, ',') || name.empty()) return false;
  int elements = 0;
  while (std::getline(fields, element, ',')) {
    size_t colon = element.find(':');
    if (colon == 0 || colon == std::string::npos || colon + 1 == element.size()) return false;
    ++elements;
  }
  return elements > 0;
}

void Add(const std::string& text, const std::string& source) {
  if (text.empty()) return;
  int bad = vx_pads_BadMappingLine(text);
  if (bad == 0 && glfwAddGamepadMappings(text.c_str())) return;
  std::fprintf(stderr,
               "quorvex: the gamepad mappings of %s are ignored (line %d is not a mapping)\n",
               source.c_str(), bad ? bad : 1);
}

std::string ConfigDir() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/quorvex/";
  const char* home = std::getenv("HOME");
  return std::string(home ? home : "") + "/.config/quorvex/";
}

}  // namespace

int vx_pads_BadMappingLine(const std::string& text) {
  std::stringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || line[start] == '#') continue;
    if (!IsMapping(line.substr(start))) return number;
  }
  return 0;
}

void vx_pads_AddMappings() {
  const char* env = std::getenv("SDL_GAMECONTROLLERCONFIG");
  if (env) Add(env, "SDL_GAMECONTROLLERCONFIG");
  const std::string file = ConfigDir() + "gamecontrollerdb.txt";
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  std::stringstream text;
  text << in.rdbuf();
  Add(text.str(), file);
}
