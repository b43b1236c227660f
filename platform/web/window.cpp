// The page as the game's one window: the canvas, its present, the host's start and the pump.
#include "platform/host/window.h"

#include <emscripten.h>

#include <cstdio>

#include "platform/host/audio.h"
#include "platform/host/events.h"
#include "platform/host/present.h"
#include "platform/host/settings.h"
#include "platform/host/volume.h"
#include "platform/web/web.h"

namespace {

HWND g_window = nullptr;  // the one window the page shows
constexpr int kPauseWakeMs = 100;

}  // namespace

bool plat_host_start(char*, size_t) {
  web_start(plat_options.integer_scale, plat_options.smooth);
  return true;
}

void plat_host_stop() {}

void plat_catch_quit_signals() {}  // a page gets no signals: closing the tab ends it

bool plat_video_start(char*, size_t) { return true; }

// The canvas is the window: 1024 x 768 game pixels whatever the page's size (the page scales).
bool plat_window_open(HWND key, const char* title, int* width, int* height, bool, char* why,
                      size_t why_size) {
  if (g_window) {
    std::snprintf(why, why_size, "the page shows one window only");
    return false;
  }
  g_window = key;
  *width = 1024;
  *height = 768;
  web_window_open(title);
  return true;
}

void plat_window_raise(HWND) {}
void plat_window_close(HWND key) {
  if (key != g_window) return;
  g_window = nullptr;
  web_present_drop();
}
bool plat_window_known(HWND hwnd) { return hwnd && hwnd == g_window; }
HWND plat_main_window() { return g_window; }
int plat_windows(HWND* out, int max) {
  if (!g_window || max < 1) return 0;
  out[0] = g_window;
  return 1;
}
void plat_window_cursor(bool shown) { web_cursor(shown); }

bool plat_present_565(HWND, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  if (!g_window) return false;
  web_present(pixels, width, height, pitch);
  return true;
}

const char* plat_present_route() { return web_route(); }

// The page hidden or without the focus: no frame runs, the sound holds, the browser gets the
// time; the game goes on from the same frame when the page comes back.
void plat_pump_pass(const PlatEventSink* to) {
  plat_pump_events(to);
  if (!plat_options.pause_unfocused || !web_unfocused()) return;
  plat_audio_pause(true);
  web_present_flush();
  while (web_unfocused()) {
    emscripten_sleep(kPauseWakeMs);
    plat_pump_events(to);
  }
  to->forget_motion();  // the pointer's travel over other windows is not the game's
  plat_audio_pause(false);
}
