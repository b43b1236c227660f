// Remapped keys and toggle fire at the input border.
#pragma once
#include <string>

#include "platform/host/settings.h"
#include "platform/wintypes.h"

// Takes one "KEY=GAMEKEY" into the tables of *o: KEY as SDL names keys ("Space", "Right Ctrl")
// or "pad:NAME" with SDL's button names, GAMEKEY one of the game's keys or "none". Null when
// taken, else why not, with the valid names.
const char* plat_keymap_add(PlatOptions* o, const char* spec);
// Which key a "KEY=GAMEKEY" maps: its DIK code, 256 + the SDL button for "pad:NAME"; -1 when
// KEY names none.
int plat_keymap_slot(const char* spec);
// The key bytes as --map makes them: a mapped key gives its game key instead of its own.
void plat_keymap_apply(const PlatOptions& o, BYTE keys[256]);
// --fire-toggle: the fire key's presses start and stop a continuous fire, which only play keeps.
void plat_fire_toggle(BYTE keys[256], bool in_play);
// Sets the latch, as a replay handed to the player left it; a fire key held then is no new press.
void plat_fire_latch_set(bool on);

// What the host names: (keynames.cpp over SDL, web/keynames.cpp in the browser) each key --map
// takes and each pad button, appended to *out as " 'NAME'" and " pad:NAME".
void plat_key_names(std::string* out);
void plat_pad_button_names(std::string* out);
