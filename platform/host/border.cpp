// The input border both hosts share: the tap, the message sink, the screen question, what the
// key map, the pads and fire's latch do to a read. The devices are read by each host (border_devices.h).
#include <cstring>

#include "platform/host/border_devices.h"
#include "platform/host/events.h"
#include "platform/host/input.h"
#include "platform/host/keymap.h"
#include "platform/host/pad.h"
#include "platform/host/settings.h"
#include "platform/host/window.h"

namespace {

const PlatInputTap* g_tap = nullptr;
void (*g_sink)(HWND, UINT) = nullptr;
int (*g_screen)() = nullptr;
bool g_replay = false;  // the keys read are a replay's, the latch with them

// Everything that changes input happens here, before a tap sees the bytes: the key map, the
// pads, then fire's latch.
void border_keys(BYTE* keys) {
  const int now = plat_border_screen();
  plat_keymap_apply(plat_options, keys);
  plat_pad_keys(now, keys);
  if (plat_options.fire_toggle && !g_replay) plat_fire_toggle(keys, now == PLAT_SCREEN_PLAY);
}

void window_message(HWND hwnd, UINT message) {
  if (g_tap && !g_tap->message(message)) return;
  if (g_sink) g_sink(hwnd, message);
}

void escape() {
  if (g_tap) g_tap->escape();
}

// Back, and B on the information screen, end a replay as Escape does.
void pad_button(int button) {
  if (plat_pad_button_escapes(plat_border_screen(), button)) escape();
}

void forget_motion() { plat_input_forget_motion(); }

const PlatEventSink kEvents = {window_message, escape, plat_border_wheel, pad_button, forget_motion};

void read_keyboard(BYTE* out, bool consume) {
  if (plat_border_read_keys(out, consume)) border_keys(out);
}

void read_mouse(PlatMouse* out) {
  std::memset(out, 0, sizeof *out);
  if (plat_border_read_mouse(out)) plat_pad_mouse(plat_border_screen(), out);
}

}  // namespace

int plat_border_screen() { return g_screen ? g_screen() : PLAT_SCREEN_PLAY; }

void plat_border_pump() {
  if (!g_tap) plat_pump_events(&kEvents);
}

void plat_input_set_tap(const PlatInputTap* tap) { g_tap = tap; }
void plat_input_set_screen(int (*screen)()) { g_screen = screen; }
void plat_input_set_sink(void (*post)(HWND, UINT)) { g_sink = post; }

void plat_input_pump() { plat_pump_pass(&kEvents); }

void plat_input_pass() {
  if (g_tap) g_tap->pass();
}

void plat_input_loop_end() {
  if (g_tap) g_tap->loop_end();
}

bool plat_input_game_quit() { return g_tap && g_tap->game_quit(); }

// The caller's buffer gets the state only when the read succeeds in the end.
HRESULT plat_input_keyboard(HRESULT hr, BYTE keys[256]) {
  BYTE state[256] = {};
  if (hr == S_OK) read_keyboard(state, true);
  if (g_tap) hr = g_tap->keyboard(hr, state);
  if (hr == S_OK) std::memcpy(keys, state, 256);
  return hr;
}

HRESULT plat_input_mouse(HRESULT hr, PlatMouse* m) {
  PlatMouse state{};
  if (hr == S_OK) read_mouse(&state);
  plat_border_mouse_given(state);
  if (g_tap) hr = g_tap->mouse(hr, &state);
  if (hr == S_OK) *m = state;
  return hr;
}

SHORT plat_input_async(int dik) {
  BYTE keys[256] = {};
  read_keyboard(keys, false);
  SHORT state = (dik > 0 && dik < 256 && (keys[dik] & 0x80)) ? (SHORT)0x8000 : 0;
  return g_tap ? g_tap->async(dik, state) : state;
}

void plat_input_post(UINT message) {
  if (!g_sink) return;
  if (message == WM_QUIT) {
    g_sink(nullptr, WM_QUIT);
    return;
  }
  if (HWND main = plat_main_window()) g_sink(main, message);
}

void plat_input_set_replay(bool on, bool fire) {
  if (g_replay && !on) plat_fire_latch_set(fire);
  g_replay = on;
}
