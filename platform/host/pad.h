// Game controllers at the input border: every pad connected acts as one, and becomes key bytes
// in play and the game's own cursor in the menu and on the information screen.
#pragma once
#include "platform/host/input_types.h"

// With the video: SDL's controller subsystem (unless --no-gamepad) and the configuration
// folder's mappings. Pads present are opened as their arrival events come in.
void plat_pad_start();
// Hot-plug, from the event pump: a pad arrived (SDL's device index) or went (instance id).
void plat_pad_added(int device_index);
void plat_pad_removed(int instance_id);
// A --map of a pad button holds wherever the pad acts. Outside play a button acts by its game key:
// Escape is Escape, fire clicks, an arrow nudges the cursor, any other key does nothing.
// True when `button` (SDL's number) is Escape on `screen`: unless mapped, Back everywhere and B
// on the information screen.
bool plat_pad_button_escapes(int screen, int button);

// ORs what the pads hold into the key bytes: every mapped key in play, Escape elsewhere.
void plat_pad_keys(int screen, BYTE keys[256]);
// Adds the cursor's motion and the click (the south button unless mapped) to a mouse read
// outside play.
void plat_pad_mouse(int screen, PlatMouse* m);
