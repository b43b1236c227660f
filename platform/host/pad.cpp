// Game controllers through SDL's GameController API and its mapping database.
#include "platform/host/pad.h"

#include <SDL.h>

#include <cstdlib>

#include "platform/host/padmap.h"
#include "platform/host/settings.h"

namespace {

constexpr int kMaxPads = 8;
constexpr Uint64 kLongestStep = 100;  // ms; a read after a pause does not jump the cursor
static_assert(SDL_CONTROLLER_BUTTON_MAX <= PLAT_PAD_BUTTONS && SDL_CONTROLLER_AXIS_MAX <= PLAT_PAD_AXES);

SDL_GameController* g_pads[kMaxPads];
Uint64 g_last_motion = 0;

bool read_pads(PlatPadState* s) {
  *s = PlatPadState{};
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

bool plat_pad_button_escapes(int screen, int button) { return plat_padmap_escapes(screen, button); }

void plat_pad_keys(int screen, BYTE keys[256]) {
  PlatPadState s;
  if (read_pads(&s)) plat_padmap_keys(screen, s, keys);
}

void plat_pad_mouse(int screen, PlatMouse* m) {
  PlatPadState s;
  const Uint64 now = SDL_GetTicks64();
  const Uint64 ms = g_last_motion ? SDL_min(now - g_last_motion, kLongestStep) : 0;
  g_last_motion = now;
  const bool any = screen != PLAT_SCREEN_PLAY && read_pads(&s);
  plat_padmap_mouse(screen, any ? &s : nullptr, (double)ms, m);
}
