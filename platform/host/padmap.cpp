// The pads' mapping, without the devices: what a button or a stick gives on each screen.
#include "platform/host/padmap.h"

#include <cstdlib>

#include "platform/host/keys.h"
#include "platform/host/settings.h"

namespace {

enum { A, B, X, Y, BACK, GUIDE, START, LSTICK, RSTICK, LSHOULDER, RSHOULDER, UP, DOWN, LEFT, RIGHT };
enum { LEFTX, LEFTY, RIGHTX, RIGHTY, TRIGGERLEFT, TRIGGERRIGHT };

constexpr int kHeld = 32767 / 3;        // past a third of its travel an axis counts as held
constexpr int kCursorDead = 32767 / 8;  // a worn stick at rest must not move the cursor
constexpr int kCursorSpeed = 1024;      // pixels a second at full tilt: the screen's width
constexpr int kNudge = 4;               // pixels per read while a steering button is held

// The game key of each button in play; 0: none.
constexpr BYTE kPlayKeys[PLAT_PAD_BUTTONS] = {
    DIK_LCONTROL, 0,     DIK_Q,  DIK_W,    DIK_ESCAPE, 0,        0, 0, 0,
    DIK_A,        DIK_S, DIK_UP, DIK_DOWN, DIK_LEFT,   DIK_RIGHT};
static_assert(PLAT_PAD_BUTTONS <= (int)sizeof PlatOptions::pad_map);

float g_carry_x = 0, g_carry_y = 0;  // the fractions of a pixel not moved yet

void hold(BYTE keys[256], int dik, bool on) {
  if (on && dik) keys[dik] = 0x80;
}

// Pixels of motion for a stick's deflection over `ms`, the fraction kept for the next read.
LONG cursor_step(int v, double ms, float* carry) {
  if (std::abs(v) <= kCursorDead) return 0;
  *carry += (float)v / 32767.0f * kCursorSpeed * (float)ms / 1000.0f;
  LONG whole = (LONG)*carry;
  *carry -= (float)whole;
  return whole;
}

// The game key a button gives on `screen`: its mapping wherever the pad acts, else its own
// (in play its key, elsewhere Escape for B on the information screen); 0: none.
BYTE button_key(int screen, int b) {
  const uint8_t to = plat_options.pad_map[b];
  if (to == PLAT_MAP_NONE) return 0;
  if (to) return to;
  if (screen == PLAT_SCREEN_INFO && b == B) return DIK_ESCAPE;
  return kPlayKeys[b];
}

}  // namespace

bool plat_padmap_escapes(int screen, int button) {
  return button >= 0 && button < PLAT_PAD_BUTTONS && button_key(screen, button) == DIK_ESCAPE;
}

void plat_padmap_keys(int screen, const PlatPadState& s, BYTE keys[256]) {
  for (int b = 0; b < PLAT_PAD_BUTTONS; ++b) {
    if (!s.buttons[b]) continue;
    const BYTE key = button_key(screen, b);
    // Outside play only Escape is a key; fire and the arrows act on the cursor instead.
    if (screen == PLAT_SCREEN_PLAY || key == DIK_ESCAPE) hold(keys, key, true);
  }
  if (screen != PLAT_SCREEN_PLAY) return;
  hold(keys, DIK_LEFT, s.axes[LEFTX] < -kHeld);
  hold(keys, DIK_RIGHT, s.axes[LEFTX] > kHeld);
  hold(keys, DIK_UP, s.axes[LEFTY] < -kHeld);
  hold(keys, DIK_DOWN, s.axes[LEFTY] > kHeld);
  hold(keys, DIK_O, s.axes[RIGHTY] < -kHeld);  // up: faster
  hold(keys, DIK_P, s.axes[RIGHTY] > kHeld);
  hold(keys, DIK_LCONTROL, s.axes[TRIGGERRIGHT] > kHeld);
}

void plat_padmap_mouse(int screen, const PlatPadState* s, double ms, PlatMouse* m) {
  if (screen == PLAT_SCREEN_PLAY || !s) {
    g_carry_x = g_carry_y = 0;
    return;
  }
  m->dx += cursor_step(s->axes[LEFTX], ms, &g_carry_x);
  m->dy += cursor_step(s->axes[LEFTY], ms, &g_carry_y);
  for (int b = 0; b < PLAT_PAD_BUTTONS; ++b) {
    if (!s->buttons[b]) continue;
    switch (button_key(screen, b)) {
      case DIK_LEFT:
        m->dx -= kNudge;
        break;
      case DIK_RIGHT:
        m->dx += kNudge;
        break;
      case DIK_UP:
        m->dy -= kNudge;
        break;
      case DIK_DOWN:
        m->dy += kNudge;
        break;
      case DIK_LCONTROL:
        m->buttons[0] = 0x80;
        break;
      default:
        break;
    }
  }
}
