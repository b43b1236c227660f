// The SDL event pump, and the pause while the window has lost the focus.
#include "platform/host/events.h"

#define SDL_MAIN_HANDLED
#include <SDL.h>

#include <atomic>
#include <csignal>
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
// The pause polls in steps this long (ms): SDL's own wait polls the joysticks every millisecond
// while a pad is attached, and a step still sees the focus come back well within 0.1 s.
constexpr Uint32 kPauseStepMs = 30;
std::atomic<bool> g_paused{false};
std::atomic<int> g_pauses{0};

// Quit signals caught (the handler only counts) and how many of them the pump has turned into
// a close.
volatile sig_atomic_t g_signals = 0;
sig_atomic_t g_signals_taken = 0;
// What the sound waits last saw of SDL's queue, and when (SDL ticks).
constexpr Uint64 kLookMs = 50;
Uint64 g_last_look = 0;
bool g_look_now = true;  // the first look, and the first after a window event was pushed, is at once
bool g_close_seen = false;

void on_quit_signal(int) { g_signals = g_signals + 1; }

// False when there is no window to close yet.
bool close_all(const PlatEventSink* to) {
  HWND windows[8];
  const int n = plat_windows(windows, 8);
  for (int i = 0; i < n; ++i) to->message(windows[i], WM_CLOSE);
  return n > 0;
}

// A signal closes the windows, as the system's close does; one caught before there is a window
// waits for it.
void take_signals(const PlatEventSink* to) {
  const sig_atomic_t caught = g_signals;
  if (caught == g_signals_taken || !close_all(to)) return;
  g_signals_taken = caught;
  g_unfocused = 0;
  g_close_seen = false;
}

void handle(const SDL_Event& ev, const PlatEventSink* to) {
  switch (ev.type) {
    case SDL_QUIT:
      close_all(to);
      g_close_seen = false;
      g_unfocused = 0;  // the close must reach the game, not wait for the focus
      break;
    case SDL_WINDOWEVENT: {
      HWND w = plat_window_of_sdl(ev.window.windowID);
      if (!w) break;
      switch (ev.window.event) {
        case SDL_WINDOWEVENT_CLOSE:
          to->message(w, WM_CLOSE);
          g_unfocused = 0;
          g_close_seen = false;
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
  for (;;) {
    SDL_Event ev;
    while (g_unfocused && SDL_PollEvent(&ev)) handle(ev, to);
    take_signals(to);
    if (!g_unfocused || !plat_window_of_sdl(g_unfocused)) break;
    SDL_Delay(kPauseStepMs);
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
  take_signals(to);
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
                                  SDL_WINDOWEVENT_MINIMIZED,  SDL_WINDOWEVENT_RESTORED,
                                  SDL_WINDOWEVENT_CLOSE,      SDL_WINDOWEVENT_EXPOSED};
  ev.window.event = kEvents[what];
  SDL_PushEvent(&ev);
  g_look_now = true;
}

void plat_catch_quit_signals() {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction old {};
    if (sigaction(sig, nullptr, &old) != 0 || old.sa_handler == SIG_IGN) continue;  // nohup
    struct sigaction sa {};
    sa.sa_handler = on_quit_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(sig, &sa, nullptr);
  }
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");  // SDL's would turn them into its quit event
}

bool plat_quit_waiting() {
  if (g_signals != g_signals_taken) return true;
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
  const Uint64 now = SDL_GetTicks64();
  if (g_close_seen || (!g_look_now && now - g_last_look < kLookMs)) return g_close_seen;
  g_last_look = now;
  g_look_now = false;
  // Looked at, not taken: the next pass's pump handles them in their order.
  SDL_PumpEvents();
  SDL_Event evs[64];
  g_close_seen = SDL_PeepEvents(evs, 1, SDL_PEEKEVENT, SDL_QUIT, SDL_QUIT) > 0;
  const int n = SDL_PeepEvents(evs, 64, SDL_PEEKEVENT, SDL_WINDOWEVENT, SDL_WINDOWEVENT);
  for (int i = 0; i < n; ++i)
    if (evs[i].window.event == SDL_WINDOWEVENT_CLOSE && plat_window_of_sdl(evs[i].window.windowID))
      g_close_seen = true;
  return g_close_seen;
}

bool plat_host_start(char* why, size_t why_size) {
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_EVENTS) == 0) return true;
  SDL_snprintf(why, why_size, "%s", SDL_GetError());
  return false;
}

void plat_host_stop() { SDL_Quit(); }
