// What the pads do at the input border, shared by the Linux host (SDL's GameController API) and
// the browser's (the Gamepad API): buttons and axes in SDL's numbering, every pad read as one.
#pragma once
#include "platform/host/input_types.h"

constexpr int PLAT_PAD_BUTTONS = 21;  // A, B, X, Y, Back, Guide, Start, ... as SDL numbers them
constexpr int PLAT_PAD_AXES = 6;      // left x, left y, right x, right y, left and right trigger

// Several pads act as one: a button held on any, each axis as the one pushed furthest.
struct PlatPadState {
  bool buttons[PLAT_PAD_BUTTONS];
  int axes[PLAT_PAD_AXES];  // -32768..32767
};

// True when `button` is Escape on `screen`: its --map wherever the pad acts; unmapped, Back
// everywhere and B on the information screen.
bool plat_padmap_escapes(int screen, int button);
// ORs what the pads hold into the key bytes: every key in play, Escape elsewhere.
void plat_padmap_keys(int screen, const PlatPadState& s, BYTE keys[256]);
// Outside play, the cursor's motion over `ms` milliseconds (the left stick, and a button that
// steers in play nudges it) and the click (a button that fires in play) added to a mouse read.
// In play, or with no pad (s null), it only forgets the fractions of a pixel not moved yet.
void plat_padmap_mouse(int screen, const PlatPadState* s, double ms, PlatMouse* m);
