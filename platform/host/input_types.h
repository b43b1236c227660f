// What the input border hands around: one mouse read and which screen the game shows.
#pragma once
#include "platform/wintypes.h"

// One read of the mouse, laid out as DIMOUSESTATE: relative motion, wheel, four buttons.
struct PlatMouse {
  LONG dx, dy, dz;
  BYTE buttons[4];
};

// What the game shows: the pads steer in play and move the game's cursor elsewhere.
enum PlatScreen { PLAT_SCREEN_PLAY, PLAT_SCREEN_MENU, PLAT_SCREEN_INFO };
