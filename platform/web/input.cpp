// The browser's devices at the input border (host/border.cpp): key bytes by KeyboardEvent.code,
// presses latched between reads, the pointer as the game's cursor; the page's event pump.
#include "platform/host/input.h"

#include <cstdint>

#include "platform/host/border_devices.h"
#include "platform/host/events.h"
#include "platform/host/volume.h"
#include "platform/web/web.h"

namespace {

// Where the border believes the game's cursor is, so that it follows the pointer: unknown
// until the first read outside play pins it to the corner (the game clamps at 0).
bool g_cursor_known = false;
bool g_pin_pending = false;  // pinned, and the pointer's place not yet given: the first move counts
int g_held_back = 0;         // buttons pressed while the cursor jumps, given once it has arrived
int g_cursor_x = 0, g_cursor_y = 0;
constexpr int kPin = -4096;
constexpr int kCursorMaxX = 1024, kCursorMaxY = 768;  // the game's clamp, inclusive

int clamp(int v, int lo, int hi) { return v < lo ? lo : v > hi ? hi : v; }

}  // namespace

bool plat_border_read_keys(BYTE keys[256], bool consume) {
  plat_border_pump();
  web_read_keys(keys);
  if (consume) web_keys_seen();
  return true;
}

bool plat_border_read_mouse(PlatMouse* out) {
  plat_border_pump();
  int32_t m[7];
  web_read_mouse(m);
  const int now = plat_border_screen();
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
  return true;
}

// What the game is told it moved is where its cursor goes (clamped as the game clamps).
void plat_border_mouse_given(const PlatMouse& m) {
  if (g_cursor_known && plat_border_screen() != PLAT_SCREEN_PLAY) {
    g_cursor_x = clamp(g_cursor_x + (int)m.dx, 0, kCursorMaxX);
    g_cursor_y = clamp(g_cursor_y + (int)m.dy, 0, kCursorMaxY);
  }
}

void plat_border_wheel(long) {}  // the page's wheel comes with the mouse read

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

void plat_input_forget_motion() { web_forget_motion(); }
