// Game controllers through the Gamepad API, with the Linux build's mapping: SDL's button and
// axis numbering (library_web.js converts the standard mapping), the same keys in play and the
// same cursor elsewhere.
#include "platform/host/pad.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdlib>

#include "platform/host/keys.h"
#include "platform/host/settings.h"
#include "platform/web/web.h"

namespace {

enum { A, B, X, Y, BACK, GUIDE, START, LSTICK, RSTICK, LSHOULDER, RSHOULDER, UP, DOWN, LEFT, RIGHT };
enum { LEFTX, LEFTY, RIGHTX, RIGHTY, TRIGGERLEFT, TRIGGERRIGHT };

constexpr int kHeld = 32767 / 3;        // past a third of its travel an axis counts as held
constexpr int kCursorDead = 32767 / 8;  // a worn stick at rest must not move the cursor
constexpr int kCursorSpeed = 1024;      // pixels a second at full tilt: the screen's width
constexpr int kNudge = 4;               // pixels per read while the D-pad is held
constexpr double kLongestStep = 100;    // ms; a read after a pause does not jump the cursor

uint8_t g_buttons[WEB_PAD_BUTTONS];
int32_t g_axes[WEB_PAD_AXES];
int g_count = 0;
double g_last_motion = 0;
float g_carry_x = 0, g_carry_y = 0;

constexpr BYTE kPlayKeys[WEB_PAD_BUTTONS] = {
    DIK_LCONTROL, 0,     DIK_Q,  DIK_W,    DIK_ESCAPE, 0,        0, 0, 0,
    DIK_A,        DIK_S, DIK_UP, DIK_DOWN, DIK_LEFT,   DIK_RIGHT};
static_assert(WEB_PAD_BUTTONS <= (int)sizeof PlatOptions::pad_map);

void hold(BYTE keys[256], int dik, bool on) {
  if (on && dik) keys[dik] = 0x80;
}

LONG cursor_step(int v, double ms, float* carry) {
  if (std::abs(v) <= kCursorDead) return 0;
  *carry += (float)v / 32767.0f * kCursorSpeed * (float)ms / 1000.0f;
  LONG whole = (LONG)*carry;
  *carry -= (float)whole;
  return whole;
}

}  // namespace

void web_pad_poll() { g_count = plat_options.gamepad ? web_read_pads(g_buttons, g_axes) : 0; }

void plat_pad_start() {}

bool plat_pad_button_escapes(int screen, int button) {
  return button == BACK || (screen == PLAT_SCREEN_INFO && button == B);
}

void plat_pad_keys(int screen, BYTE keys[256]) {
  if (!g_count) return;
  if (screen != PLAT_SCREEN_PLAY) {
    for (int b = 0; b < WEB_PAD_BUTTONS; ++b)
      hold(keys, DIK_ESCAPE, g_buttons[b] && plat_pad_button_escapes(screen, b));
    return;
  }
  for (int b = 0; b < WEB_PAD_BUTTONS; ++b) {
    const uint8_t to = plat_options.pad_map[b];
    if (to != PLAT_MAP_NONE) hold(keys, to ? to : kPlayKeys[b], g_buttons[b]);
  }
  hold(keys, DIK_LEFT, g_axes[LEFTX] < -kHeld);
  hold(keys, DIK_RIGHT, g_axes[LEFTX] > kHeld);
  hold(keys, DIK_UP, g_axes[LEFTY] < -kHeld);
  hold(keys, DIK_DOWN, g_axes[LEFTY] > kHeld);
  hold(keys, DIK_O, g_axes[RIGHTY] < -kHeld);  // up: faster
  hold(keys, DIK_P, g_axes[RIGHTY] > kHeld);
  hold(keys, DIK_LCONTROL, g_axes[TRIGGERRIGHT] > kHeld);
}

void plat_pad_mouse(int screen, PlatMouse* m) {
  const double now = emscripten_get_now();
  const double ms = g_last_motion ? std::min(now - g_last_motion, kLongestStep) : 0;
  g_last_motion = now;
  if (screen == PLAT_SCREEN_PLAY || !g_count) {
    g_carry_x = g_carry_y = 0;
    return;
  }
  m->dx += cursor_step(g_axes[LEFTX], ms, &g_carry_x);
  m->dy += cursor_step(g_axes[LEFTY], ms, &g_carry_y);
  m->dx += kNudge * (g_buttons[RIGHT] - g_buttons[LEFT]);
  m->dy += kNudge * (g_buttons[DOWN] - g_buttons[UP]);
  if (g_buttons[A]) m->buttons[0] = 0x80;
}
