// --map and fire's latch at the input border: the game's keys by their overlay names, the keys
// and pad buttons by the names the host gives them (keynames.cpp here, web/keynames.cpp in the
// browser).
#include "platform/host/keymap.h"

#include <strings.h>

#include <cstring>
#include <string>

#include "platform/host/keys.h"

namespace {

struct GameKey {
  const char* name;
  uint8_t dik;
};

constexpr GameKey kGameKeys[] = {
    {"Left", DIK_LEFT},
    {"Right", DIK_RIGHT},
    {"Up", DIK_UP},
    {"Down", DIK_DOWN},
    {"LCtrl", DIK_LCONTROL},
    {"A", DIK_A},
    {"S", DIK_S},
    {"Q", DIK_Q},
    {"W", DIK_W},
    {"O", DIK_O},
    {"P", DIK_P},
    {"Esc", DIK_ESCAPE},
    {"LAlt", DIK_LMENU},
    {"none", PLAT_MAP_NONE},
};

std::string g_why;  // the last refusal's text

bool g_fire_was = false;  // the fire key as the last read found it, before the latch
bool g_fire_on = false;

const char* refuse(const std::string& what, bool list_keys, bool list_buttons) {
  g_why = what + "; valid game keys:";
  for (const GameKey& k : kGameKeys) g_why += std::string(" ") + k.name;
  if (list_keys) {
    g_why += "\nvalid keys:";
    plat_key_names(&g_why);
  }
  if (list_buttons) {
    g_why += "\nvalid pad buttons:";
    plat_pad_button_names(&g_why);
  }
  return g_why.c_str();
}

}  // namespace

const char* plat_keymap_add(PlatOptions* o, const char* spec) {
  const char* eq = std::strrchr(spec, '=');
  if (!eq || eq == spec) return refuse("wants KEY=GAMEKEY", false, false);
  const std::string key(spec, eq - spec);
  const GameKey* to = nullptr;
  for (const GameKey& k : kGameKeys)
    if (!strcasecmp(k.name, eq + 1)) to = &k;
  if (!to) return refuse(std::string("has no game key '") + (eq + 1) + "'", false, false);
  const int slot = plat_keymap_slot(spec);
  const bool pad = !strncasecmp(key.c_str(), "pad:", 4);
  if (slot < 0 && pad) return refuse("has no pad button '" + key + "'", false, true);
  if (slot < 0) return refuse("has no key '" + key + "'", true, false);
  if (pad)
    o->pad_map[slot - 256] = to->dik;
  else
    o->key_map[slot] = to->dik;
  return nullptr;
}

void plat_keymap_apply(const PlatOptions& o, BYTE keys[256]) {
  BYTE own[256];
  std::memcpy(own, keys, 256);
  for (int k = 0; k < 256; ++k)
    if (o.key_map[k]) keys[k] = 0;  // mapped away: gives its own key only if another maps to it
  for (int k = 0; k < 256; ++k)
    if (own[k] && o.key_map[k] && o.key_map[k] != PLAT_MAP_NONE) keys[o.key_map[k]] = 0x80;
}

void plat_fire_toggle(BYTE keys[256], bool in_play) {
  const bool fire = keys[DIK_LCONTROL] & 0x80;
  if (fire && !g_fire_was) g_fire_on = !g_fire_on;
  g_fire_was = fire;
  if (!in_play) g_fire_on = false;
  keys[DIK_LCONTROL] = g_fire_on ? 0x80 : 0;
}

void plat_fire_latch_set(bool on) {
  g_fire_on = on;
  g_fire_was = true;
}
