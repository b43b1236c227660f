// The SDL event pump, and the pause while the window has lost the focus.
#include "platform/host/events.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <atomic>
#include <ctime>

#include "platform/host/audio.h"
#include "platform/host/pad.h"
#include "platform/host/screenshot.h"
#include "platform/host/settings.h"
#include "platform/host/volume.h"
#include "platform/host/window.h"
#include "platform/seams/seams_pad.h"
#include "platform/seams/seams_video.h"

namespace {

// The SDL id of the window whose focus loss (or minimising) is not yet answered by its return:
// 0 when none. Ids are never reused, so a closed window's loss cannot pause a later window.
uint32_t g_unfocused = 0;
// The pause's wait wakes this often (ms) to see a signal SDL turns into a quit event.
constexpr Uint32 kPauseWakeMs = 250;
std::atomic<bool> g_paused{false};
std::atomic<int> g_pauses{0};

void close_all(const PlatEventSink* to) {
  HWND windows[8];
  const int n = plat_windows(windows, 8);
  for (int i = 0; i < n; ++i) to->message(windows[i], WM_CLOSE);
}

void handle(const SDL_Event& ev, const PlatEventSink* to) {
  switch (ev.type) {
    case SDL_QUIT:
      close_all(to);
      g_unfocused = 0;  // the close must reach the game, not wait for the focus
      break;
    case SDL_WINDOWEVENT: {
      HWND w = plat_window_of_sdl(ev.window.windowID);
      if (!w) break;
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          to->message(w, WM_CLOSE);
          g_unfocused = 0;
          break;
        case SDL_WINDOWEVENT_EXPOSED:
          to->message(w, WM_PAINT);
          break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          plat_window_capture(plat_sdl_window(w), true);
          g_unfocused = 0;
          break;
        case SDL_WINDOWEVENT_RESTORED:
          g_unfocused = 0;
          break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          plat_window_capture(plat_sdl_window(w), false);
          g_unfocused = ev.window.windowID;
          break;
        case SDL_WINDOWEVENT_MINIMIZED:
          g_unfocused = ev.window.windowID;
          break;
        default:
          break;
      }
      break;
    }
    case SDL_KEYDOWN:
      if (ev.key.keysym.scancode == SDL_SCANCODE_F11 && !ev.key.repeat)
        if (SDL_Window* w = plat_sdl_window(plat_window_of_sdl(ev.key.windowID)))
          plat_window_toggle_fullscreen(w);
      // F10 and F12 act here; their key bytes still reach the game, which ignores them.
      if (ev.key.keysym.scancode == SDL_SCANCODE_F10 && !ev.key.repeat) plat_volume_toggle_mute();
      if (ev.key.keysym.scancode == SDL_SCANCODE_F12 && !ev.key.repeat)
        plat_screenshot_take(std::time(nullptr));
      if (ev.key.keysym.scancode == SDL_SCANCODE_ESCAPE) to->escape();  // ends a replay
      break;
    case SDL_CONTROLLERDEVICEADDED:
      plat_pad_added(ev.cdevice.which);
      break;
    case SDL_CONTROLLERDEVICEREMOVED:
      plat_pad_removed(ev.cdevice.which);
      break;
    case SDL_CONTROLLERBUTTONDOWN:
      to->pad_button(ev.cbutton.button);
      break;
    case SDL_MOUSEWHEEL:
      to->wheel((long)ev.wheel.y * 120);
      break;
    default:
      break;
  }
}

// Between two passes, so the game goes on from the same frame: the sound holds, the pointer is
// the desktop's and the screen saver may run; the process sleeps in SDL's wait until the focus
// or the window comes back, or a close, which the game must see.
void pause_until_focus(const PlatEventSink* to) {
  SDL_Window* win = SDL_GetWindowFromID(g_unfocused);
  plat_audio_pause(true);
  plat_window_capture(win, false);
  const int cursor = SDL_ShowCursor(SDL_QUERY);
  SDL_ShowCursor(SDL_ENABLE);
  const bool saver = SDL_IsScreenSaverEnabled();
  SDL_EnableScreenSaver();
  ++g_pauses;
  g_paused = true;
  while (g_unfocused && plat_window_of_sdl(g_unfocused)) {
    SDL_Event ev;
    if (SDL_WaitEventTimeout(&ev, (int)kPauseWakeMs)) handle(ev, to);
  }
  g_paused = false;
  if (!saver) SDL_DisableScreenSaver();
  SDL_ShowCursor(cursor);
  if (SDL_GetKeyboardFocus() == win) plat_window_capture(win, true);
  to->forget_motion();  // the pointer's travel over other windows is not the game's
  plat_audio_pause(false);
}

}  // namespace

void plat_pump_events(const PlatEventSink* to) {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  seam_pad_script_poll();
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) handle(ev, to);
}

void plat_pump_pass(const PlatEventSink* to) {
  plat_pump_events(to);
  if (g_unfocused && plat_options.pause_unfocused && plat_window_of_sdl(g_unfocused)) pause_until_focus(to);
}

bool seam_paused() { return g_paused; }
int seam_pauses() { return g_pauses; }
bool seam_screen_saver_allowed() { return SDL_WasInit(SDL_INIT_VIDEO) && SDL_IsScreenSaverEnabled(); }

void seam_window_event(SeamWindowEvent what) {
  SDL_Window* win = plat_main_sdl_window();
  if (!win) return;
  SDL_Event ev{};
  ev.type = SDL_WINDOWEVENT;
  ev.window.windowID = SDL_GetWindowID(win);
  static const Uint8 kEvents[] = {SDL_WINDOWEVENT_FOCUS_LOST, SDL_WINDOWEVENT_FOCUS_GAINED,
                                  SDL_WINDOWEVENT_MINIMIZED, SDL_WINDOWEVENT_RESTORED, SDL_WINDOWEVENT_CLOSE};
  ev.window.event = kEvents[what];
  SDL_PushEvent(&ev);
}

bool plat_host_start(char* why, size_t why_size) {
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_EVENTS) == 0) return true;
  SDL_snprintf(why, why_size, "%s", SDL_GetError());
  return false;
}

void plat_host_stop() { SDL_Quit(); }
