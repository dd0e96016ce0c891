// Gamepad mappings a player adds for a pad the window layer does not know, in
// SDL's text format: one "GUID,name,element:input,..." a line.
#pragma once

#include <string>

// The number (from 1) of the first line of `text` that is neither blank, a
// comment nor a well-formed mapping; 0 when every line is fine.
int vx_pads_BadMappingLine(const std::string& text);

// At start-up, after glfwInit: adds the mappings of $SDL_GAMECONTROLLERCONFIG
// and of gamecontrollerdb.txt in $XDG_CONFIG_HOME/quorvex/ (~/.config/quorvex/
// when unset). A malformed source is reported once on standard error and
// ignored as a whole.
void vx_pads_AddMappings();
