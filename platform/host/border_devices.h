// Inside the hosts only: what the shared input border (border.cpp) and each host's device reads
// (host/input.cpp over SDL, web/input.cpp over the page) give each other.
#pragma once
#include "platform/host/input_types.h"
#include "platform/wintypes.h"

// ---- The border's, for the reads.
int plat_border_screen();  // which screen the game shows (PLAT_SCREEN_*)
void plat_border_pump();   // the system's events, unless a tap takes them where a pass begins

// ---- The host's: its devices, read raw.
// The key bytes (0x80: held); `consume` is a keyboard read, which forgets presses already given
// (an async look leaves them). False when there is no device to read: the bytes are zeroed and the
// border adds nothing (no map, pads or latch).
bool plat_border_read_keys(BYTE keys[256], bool consume);
// Likewise the mouse, into a zeroed *m, before the pads add to it.
bool plat_border_read_mouse(PlatMouse* m);
// A mouse read as the game is given it (before a tap sees it), whatever the device's verdict.
void plat_border_mouse_given(const PlatMouse& m);
void plat_border_wheel(long delta);  // from the pump, in WHEEL_DELTA units
