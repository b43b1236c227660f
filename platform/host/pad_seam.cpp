// Test seam: virtual gamepads, attached through SDL, for the tests and for scripts (a FIFO).
#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/seams/seams_pad.h"

namespace {

constexpr int kMaxPads = 8;
SDL_Joystick* g_pads[kMaxPads];

int device_index_of(SDL_Joystick* js) {
  const SDL_JoystickID id = SDL_JoystickInstanceID(js);
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
  return -1;
}

SDL_Joystick* pad(int n) { return n >= 0 && n < kMaxPads ? g_pads[n] : nullptr; }

int g_fifo = -2;  // -2: not looked for yet; -1: none
std::string g_pending;
int g_last = -1;

void run_line(const std::string& line) {
  char what[16] = "", name[32] = "";
  int value = 0;
  if (std::sscanf(line.c_str(), "%15s %31s %d", what, name, &value) < 1) return;
  bool ok = true;
  if (!std::strcmp(what, "attach"))
    ok = (g_last = seam_pad_attach()) >= 0;
  else if (!std::strcmp(what, "detach"))
    seam_pad_detach(g_last);
  else if (!std::strcmp(what, "button"))
    ok = seam_pad_button(g_last, name, value != 0);
  else if (!std::strcmp(what, "axis"))
    ok = seam_pad_axis(g_last, name, value);
  else
    ok = false;
  if (!ok) std::fprintf(stderr, "tarvellin: test pad: cannot '%s'\n", line.c_str());
}

}  // namespace

int seam_pad_attach() {
  if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return -1;
  // The test's input arrives whether or not the window holds the focus.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  for (int n = 0; n < kMaxPads; ++n) {
    if (g_pads[n]) continue;
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index < 0) return -1;
    g_pads[n] = SDL_JoystickOpen(index);
    if (!g_pads[n]) return -1;
    return n;
  }
  return -1;
}

bool seam_pad_button(int n, const char* name, bool down) {
  const SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(name);
  return pad(n) && b != SDL_CONTROLLER_BUTTON_INVALID &&
         SDL_JoystickSetVirtualButton(pad(n), b, down ? SDL_PRESSED : SDL_RELEASED) == 0;
}

bool seam_pad_axis(int n, const char* name, int value) {
  const SDL_GameControllerAxis a = SDL_GameControllerGetAxisFromString(name);
  return pad(n) && a != SDL_CONTROLLER_AXIS_INVALID &&
         SDL_JoystickSetVirtualAxis(pad(n), a, (Sint16)SDL_clamp(value, -32768, 32767)) == 0;
}

void seam_pad_detach(int n) {
  SDL_Joystick* js = pad(n);
  if (!js) return;
  const int index = device_index_of(js);
  SDL_JoystickClose(js);
  if (index >= 0) SDL_JoystickDetachVirtual(index);
  g_pads[n] = nullptr;
}

void seam_pad_detach_all() {
  for (int n = 0; n < kMaxPads; ++n) seam_pad_detach(n);
}

void seam_pad_script_poll() {
  if (g_fifo == -2) {
    const char* path = std::getenv("TARVELLIN_TEST_PAD");
    g_fifo = path && *path ? open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
  }
  if (g_fifo < 0) return;
  char buf[512];
  ssize_t got;
  while ((got = read(g_fifo, buf, sizeof buf)) > 0) g_pending.append(buf, (size_t)got);
  for (size_t eol; (eol = g_pending.find('\n')) != std::string::npos;) {
    run_line(g_pending.substr(0, eol));
    g_pending.erase(0, eol + 1);
  }
}
