// The key and pad button names --map takes in the browser: SDL's, from the table keynames.h
// holds, so that a configuration written on Linux means the same here.
#include <strings.h>

#include <cstring>
#include <string>

#include "platform/host/keymap.h"
#include "platform/web/keynames.h"
#include "platform/web/web.h"

int plat_keymap_slot(const char* spec) {
  const char* eq = std::strrchr(spec, '=');
  if (!eq || eq == spec) return -1;
  const std::string key(spec, eq - spec);
  if (!strncasecmp(key.c_str(), "pad:", 4)) {
    for (int b = 0; b < WEB_PAD_BUTTONS; ++b)
      if (!strcasecmp(kWebPadButtonNames[b], key.c_str() + 4)) return 256 + b;
    return -1;
  }
  for (const WebKeyName& k : kWebKeyNames)
    if (!strcasecmp(k.name, key.c_str())) return k.dik;
  return -1;
}

void plat_key_names(std::string* out) {
  for (const WebKeyName& k : kWebKeyNames) *out += std::string(" '") + k.name + "'";
}

void plat_pad_button_names(std::string* out) {
  for (int b = 0; b < WEB_PAD_BUTTONS; ++b) *out += std::string(" pad:") + kWebPadButtonNames[b];
}
