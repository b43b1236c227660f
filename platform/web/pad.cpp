// Game controllers through the Gamepad API, with the Linux build's mapping: SDL's button and
// axis numbering (library_web.js converts the standard mapping), the same keys in play and the
// same cursor elsewhere.
#include "platform/host/pad.h"

#include <emscripten.h>

#include <algorithm>

#include "platform/host/padmap.h"
#include "platform/host/settings.h"
#include "platform/web/web.h"

namespace {

constexpr double kLongestStep = 100;  // ms; a read after a pause does not jump the cursor
static_assert(WEB_PAD_BUTTONS == PLAT_PAD_BUTTONS && WEB_PAD_AXES == PLAT_PAD_AXES);

uint8_t g_buttons[WEB_PAD_BUTTONS];
int32_t g_axes[WEB_PAD_AXES];
int g_count = 0;
double g_last_motion = 0;

PlatPadState state() {
  PlatPadState s{};
  for (int b = 0; b < PLAT_PAD_BUTTONS; ++b) s.buttons[b] = g_buttons[b];
  for (int a = 0; a < PLAT_PAD_AXES; ++a) s.axes[a] = g_axes[a];
  return s;
}

}  // namespace

void web_pad_poll() { g_count = plat_options.gamepad ? web_read_pads(g_buttons, g_axes) : 0; }

void plat_pad_start() {}

bool plat_pad_button_escapes(int screen, int button) { return plat_padmap_escapes(screen, button); }

void plat_pad_keys(int screen, BYTE keys[256]) {
  if (g_count) plat_padmap_keys(screen, state(), keys);
}

void plat_pad_mouse(int screen, PlatMouse* m) {
  const double now = emscripten_get_now();
  const double ms = g_last_motion ? std::min(now - g_last_motion, kLongestStep) : 0;
  g_last_motion = now;
  const PlatPadState s = state();
  plat_padmap_mouse(screen, g_count ? &s : nullptr, ms, m);
}
