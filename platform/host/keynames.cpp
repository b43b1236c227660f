// The key and pad button names --map takes: SDL's own, over the native key map.
#include <SDL.h>
#include <strings.h>

#include <cstring>
#include <string>

#include "platform/host/keymap.h"
#include "platform/host/keys.h"

int plat_keymap_slot(const char* spec) {
  const char* eq = std::strrchr(spec, '=');
  if (!eq || eq == spec) return -1;
  const std::string key(spec, eq - spec);
  if (!strncasecmp(key.c_str(), "pad:", 4)) {
    SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(key.c_str() + 4);
    return b == SDL_CONTROLLER_BUTTON_INVALID ? -1 : 256 + b;
  }
  const int dik = plat_dik_of_scancode(SDL_GetScancodeFromName(key.c_str()));
  return dik ? dik : -1;
}

void plat_key_names(std::string* out) {
  for (int sc = 0; sc < SDL_NUM_SCANCODES; ++sc) {
    const char* name = SDL_GetScancodeName((SDL_Scancode)sc);
    if (plat_dik_of_scancode(sc) && *name) *out += std::string(" '") + name + "'";
  }
}

void plat_pad_button_names(std::string* out) {
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
    *out += std::string(" pad:") + SDL_GameControllerGetStringForButton((SDL_GameControllerButton)b);
}
