// The input border over the page's events: key bytes by KeyboardEvent.code, presses latched
// between reads, the pointer as the game's cursor, the pads; the same taps and sink as on Linux.
#include "platform/host/input.h"

#include <cstdlib>
#include <cstring>

#include "platform/host/events.h"
#include "platform/host/keymap.h"
#include "platform/host/pad.h"
#include "platform/host/settings.h"
#include "platform/host/volume.h"
#include "platform/host/window.h"
#include "platform/web/web.h"

namespace {

const PlatInputTap* g_tap = nullptr;
void (*g_sink)(HWND, UINT) = nullptr;
int (*g_screen)() = nullptr;
bool g_replay = false;  // the keys read are a replay's, the latch with them

// Where the border believes the game's cursor is, so that it follows the pointer: unknown
// until the first read outside play pins it to the corner (the game clamps at 0).
bool g_cursor_known = false;
bool g_pin_pending = false;  // pinned, and the pointer's place not yet given: the first move counts
int g_held_back = 0;         // buttons pressed while the cursor jumps, given once it has arrived
int g_cursor_x = 0, g_cursor_y = 0;
constexpr int kPin = -4096;
constexpr int kCursorMaxX = 1024, kCursorMaxY = 768;  // the game's clamp, inclusive

int screen() { return g_screen ? g_screen() : PLAT_SCREEN_PLAY; }

void border_keys(BYTE* keys) {
  const int now = screen();
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

void wheel(long) {}  // the page's wheel comes with the mouse read

void pad_button(int button) {
  if (plat_pad_button_escapes(screen(), button)) escape();
}

void forget_motion() { plat_input_forget_motion(); }

const PlatEventSink kEvents = {window_message, escape, wheel, pad_button, forget_motion};

void read_keyboard(BYTE* out, bool consume) {
  if (!g_tap) plat_pump_events(&kEvents);
  web_read_keys(out);
  if (consume) web_keys_seen();
  border_keys(out);
}

int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

void read_mouse(PlatMouse* out) {
  std::memset(out, 0, sizeof *out);
  if (!g_tap) plat_pump_events(&kEvents);
  int32_t m[7];
  web_read_mouse(m);
  const int now = screen();
  bool jumped = false;  // the cursor is sent to the pin or to the pointer in this read
  if (now == PLAT_SCREEN_PLAY) {
    out->dx = m[0];
    out->dy = m[1];
    g_cursor_known = false;  // play moves no cursor; it is found again in the menu
  } else if (!g_cursor_known) {
    if (m[6]) {
      out->dx = kPin;
      out->dy = kPin;
      g_cursor_known = true;
      g_pin_pending = true;
      g_cursor_x = g_cursor_y = 0;
      jumped = true;
    }
  } else {
    // Where the pointer is, as the motion from where the game's cursor is.
    const int x = clamp(m[4], 0, kCursorMaxX), y = clamp(m[5], 0, kCursorMaxY);
    if (m[6] || g_pin_pending) {  // only when it moved: a pad may have moved the cursor since
      out->dx = x - g_cursor_x;
      out->dy = y - g_cursor_y;
      jumped = g_pin_pending;
      g_pin_pending = false;
    }
  }
  // The game tests a click where its cursor stood before this read's motion: a click that came
  // with the pin or the jump to the pointer is held back until the cursor stands there.
  int buttons = m[3] | g_held_back;
  g_held_back = jumped ? buttons : 0;
  if (jumped) buttons = 0;
  out->dz = m[2];
  for (int b = 0; b < 4; ++b) out->buttons[b] = (buttons >> b) & 1 ? 0x80 : 0;
  plat_pad_mouse(now, out);
}

}  // namespace

void plat_pump_events(const PlatEventSink* to) {
  web_pad_poll();
  int32_t value = 0;
  for (int kind; (kind = web_next_event(&value)) != WEB_EV_NONE;) {
    if (kind == WEB_EV_KEY) {
      // F10 acts here; its key byte still reaches the game, which ignores it. F11 is the page's.
      if (value == DIK_F10) plat_volume_toggle_mute();
      if (value == DIK_ESCAPE) to->escape();  // ends a replay
    } else if (kind == WEB_EV_PAD_BUTTON) {
      to->pad_button(value);
    }
  }
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
  // What the game is told it moved is where its cursor goes (clamped as the game clamps).
  if (g_cursor_known && screen() != PLAT_SCREEN_PLAY) {
    g_cursor_x = clamp(g_cursor_x + (int)state.dx, 0, kCursorMaxX);
    g_cursor_y = clamp(g_cursor_y + (int)state.dy, 0, kCursorMaxY);
  }
  if (g_tap) hr = g_tap->mouse(hr, &state);
  if (hr == S_OK) *m = state;
  return hr;
}

SHORT plat_input_async(int dik) {
  BYTE keys[256];
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

void plat_input_forget_motion() { web_forget_motion(); }

void plat_input_set_replay(bool on, bool fire) {
  if (g_replay && !on) plat_fire_latch_set(fire);
  g_replay = on;
}
