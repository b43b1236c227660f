// Game controllers through SDL's GameController API and its mapping database.
#include "platform/host/pad.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/host/keys.h"
#include "platform/host/settings.h"

namespace {

constexpr int kMaxPads = 8;
constexpr int kHeld = 32767 / 3;        // past a third of its travel an axis counts as held
constexpr int kCursorDead = 32767 / 8;  // a worn stick at rest must not move the cursor
constexpr int kCursorSpeed = 1024;      // pixels a second at full tilt: the screen's width
constexpr int kNudge = 4;               // pixels per read while the D-pad is held
constexpr Uint64 kLongestStep = 100;    // ms; a read after a pause does not jump the cursor

SDL_GameController* g_pads[kMaxPads];
Uint64 g_last_motion = 0;
float g_carry_x = 0, g_carry_y = 0;  // the fractions of a pixel not moved yet

// The game key of each button in play; 0: none.
struct ButtonKey {
  SDL_GameControllerButton button;
  BYTE dik;
};
constexpr ButtonKey kPlayButtonKeys[] = {
    {SDL_CONTROLLER_BUTTON_A, DIK_LCONTROL},
    {SDL_CONTROLLER_BUTTON_X, DIK_Q},
    {SDL_CONTROLLER_BUTTON_Y, DIK_W},
    {SDL_CONTROLLER_BUTTON_BACK, DIK_ESCAPE},
    {SDL_CONTROLLER_BUTTON_LEFTSHOULDER, DIK_A},
    {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, DIK_S},
    {SDL_CONTROLLER_BUTTON_DPAD_UP, DIK_UP},
    {SDL_CONTROLLER_BUTTON_DPAD_DOWN, DIK_DOWN},
    {SDL_CONTROLLER_BUTTON_DPAD_LEFT, DIK_LEFT},
    {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, DIK_RIGHT},
};
struct ButtonTable {
  BYTE dik[SDL_CONTROLLER_BUTTON_MAX];
  constexpr ButtonTable() : dik() {
    for (const ButtonKey& k : kPlayButtonKeys) dik[k.button] = k.dik;
  }
};
constexpr ButtonTable kPlayButtons;
static_assert(SDL_CONTROLLER_BUTTON_MAX <= (int)sizeof PlatOptions::pad_map);

// Several pads act as one: a button held on any, each axis as the one pushed furthest.
struct PadState {
  bool buttons[SDL_CONTROLLER_BUTTON_MAX];
  int axes[SDL_CONTROLLER_AXIS_MAX];
};

bool read_pads(PadState* s) {
  *s = PadState{};
  bool any = false;
  for (SDL_GameController* pad : g_pads) {
    if (!pad) continue;
    any = true;
    for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b)
      s->buttons[b] = s->buttons[b] || SDL_GameControllerGetButton(pad, (SDL_GameControllerButton)b);
    for (int a = 0; a < SDL_CONTROLLER_AXIS_MAX; ++a) {
      int v = SDL_GameControllerGetAxis(pad, (SDL_GameControllerAxis)a);
      if (std::abs(v) > std::abs(s->axes[a])) s->axes[a] = v;
    }
  }
  return any;
}

void hold(BYTE keys[256], int dik, bool on) {
  if (on && dik) keys[dik] = 0x80;
}

// Pixels of motion for a stick's deflection over `ms`, the fraction kept for the next read.
LONG cursor_step(int v, Uint64 ms, float* carry) {
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
  if (screen == PLAT_SCREEN_INFO && b == SDL_CONTROLLER_BUTTON_B) return DIK_ESCAPE;
  return kPlayButtons.dik[b];
}

}  // namespace

void plat_pad_start() {
  if (!plat_options.gamepad || SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return;
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) return;  // no pads, without a word
  if (!plat_options.pad_mappings.empty())
    SDL_GameControllerAddMappingsFromFile(plat_options.pad_mappings.c_str());
}

void plat_pad_added(int device_index) {
  if (!SDL_IsGameController(device_index)) return;
  SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
  for (SDL_GameController* pad : g_pads)
    if (pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == id) return;
  for (SDL_GameController*& pad : g_pads)
    if (!pad) {
      pad = SDL_GameControllerOpen(device_index);
      return;
    }
}

void plat_pad_removed(int instance_id) {
  for (SDL_GameController*& pad : g_pads)
    if (pad && SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(pad)) == instance_id) {
      SDL_GameControllerClose(pad);
      pad = nullptr;
    }
}

bool plat_pad_button_escapes(int screen, int button) {
  return button >= 0 && button < SDL_CONTROLLER_BUTTON_MAX && button_key(screen, button) == DIK_ESCAPE;
}

void plat_pad_keys(int screen, BYTE keys[256]) {
  PadState s;
  if (!read_pads(&s)) return;
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
    if (!s.buttons[b]) continue;
    const BYTE key = button_key(screen, b);
    // Outside play only Escape is a key; fire and the arrows act on the cursor instead.
    if (screen == PLAT_SCREEN_PLAY || key == DIK_ESCAPE) hold(keys, key, true);
  }
  if (screen != PLAT_SCREEN_PLAY) return;
  hold(keys, DIK_LEFT, s.axes[SDL_CONTROLLER_AXIS_LEFTX] < -kHeld);
  hold(keys, DIK_RIGHT, s.axes[SDL_CONTROLLER_AXIS_LEFTX] > kHeld);
  hold(keys, DIK_UP, s.axes[SDL_CONTROLLER_AXIS_LEFTY] < -kHeld);
  hold(keys, DIK_DOWN, s.axes[SDL_CONTROLLER_AXIS_LEFTY] > kHeld);
  hold(keys, DIK_O, s.axes[SDL_CONTROLLER_AXIS_RIGHTY] < -kHeld);  // up: faster
  hold(keys, DIK_P, s.axes[SDL_CONTROLLER_AXIS_RIGHTY] > kHeld);
  hold(keys, DIK_LCONTROL, s.axes[SDL_CONTROLLER_AXIS_TRIGGERRIGHT] > kHeld);
}

void plat_pad_mouse(int screen, PlatMouse* m) {
  PadState s;
  const Uint64 now = SDL_GetTicks64();
  const Uint64 ms = g_last_motion ? SDL_min(now - g_last_motion, kLongestStep) : 0;
  g_last_motion = now;
  if (screen == PLAT_SCREEN_PLAY || !read_pads(&s)) {
    g_carry_x = g_carry_y = 0;
    return;
  }
  m->dx += cursor_step(s.axes[SDL_CONTROLLER_AXIS_LEFTX], ms, &g_carry_x);
  m->dy += cursor_step(s.axes[SDL_CONTROLLER_AXIS_LEFTY], ms, &g_carry_y);
  // A button that steers in play nudges the cursor; one that fires clicks.
  for (int b = 0; b < SDL_CONTROLLER_BUTTON_MAX; ++b) {
    if (!s.buttons[b]) continue;
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
