// The gamepad layout the real window layer presents for devices GLFW 3
// recognises as gamepads: buttons 0 A, 1 B, 2 X, 3 Y, 4 left shoulder,
// 5 right shoulder, 6 back, 7 guide, 8 d-pad left, 9 up, 10 right, 11 down,
// 12 and 13 the triggers pressed past half, 14 start; axes left stick x and y,
// left trigger, right stick x and y, right trigger, with Y up positive.
#pragma once

namespace glfw2_pad {

// From GLFW 3's gamepad state (6 axes, 15 buttons in its own order).
void Map(const float axes[6], const unsigned char buttons[15], float outAxes[6],
         unsigned char outButtons[15]);

}  // namespace glfw2_pad
