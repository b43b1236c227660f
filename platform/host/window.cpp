// The SDL windows behind the game's window handles.
#include "platform/host/window.h"

#include <SDL.h>

#include "platform/host/pad.h"
#include "platform/host/settings.h"

namespace {

constexpr int kWindowCount = 4;

struct HostWindow {
  HWND key;
  SDL_Window* sdl;
};

HostWindow g_windows[kWindowCount];

HostWindow* find(HWND key) {
  for (HostWindow& w : g_windows)
    if (w.sdl && w.key == key) return &w;
  return nullptr;
}

// SDL falls back to its headless drivers when no display can be reached; a player would see
// nothing at all, so those count as no display unless they were asked for by name.
bool video_headless() {
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  bool headless = driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0 ||
                             SDL_strcmp(driver, "evdev") == 0);
  return headless && !(asked && SDL_strcasecmp(asked, driver) == 0);
}

void desktop_size(int display, int* w, int* h) {
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
    *w = desktop.w;
    *h = desktop.h;
  }
}

// The game's size times --scale, less while that would not fit on the desktop.
void window_size(int display, int* w, int* h) {
  int dw = 0, dh = 0;
  desktop_size(display, &dw, &dh);
  int s = plat_options.scale;
  while (s > 1 && dw > 0 && (*w * s > dw || *h * s > dh)) --s;
  *w *= s;
  *h *= s;
}

bool start_video(char* why_out, size_t why_size) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) return true;
  const char* x_display = SDL_getenv("DISPLAY");
  const bool asked = SDL_getenv("SDL_VIDEODRIVER") && *SDL_getenv("SDL_VIDEODRIVER");
  // A display that is named but refuses the first connection (a busy X server) gets a few
  // more tries before the game gives up; each try is short, so nothing hangs.
  char why[256] = "no X11 or Wayland display found (is DISPLAY set?)";
  // With only X named, a busy server's refusal must not send SDL on to Wayland, whose probe
  // prints its own complaint on stderr before the retry below succeeds.
  const char* wayland = SDL_getenv("WAYLAND_DISPLAY");
  if (!asked && x_display && *x_display && !(wayland && *wayland)) SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (attempt > 0) SDL_Delay(250);
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
      if (!video_headless()) return true;
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    } else {
      SDL_snprintf(why, sizeof why, "%s", SDL_GetError());
    }
    if (asked || !x_display || !*x_display) break;
    // Ask X11 by name, so that its own reason is the one reported.
    if (SDL_VideoInit("x11") == 0) {
      SDL_VideoQuit();
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && !video_headless()) return true;
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    } else {
      SDL_snprintf(why, sizeof why, "X11 display %s: %s", x_display, SDL_GetError());
    }
  }
  SDL_snprintf(why_out, why_size, "%s", why);
  return false;
}

}  // namespace

bool plat_video_start(char* why_out, size_t why_size) {
  if (!start_video(why_out, why_size)) return false;
  plat_pad_start();
  return true;
}

bool plat_window_open(HWND key, const char* title, int* width, int* height, bool visible, char* why,
                      size_t why_size) {
  HostWindow* slot = nullptr;
  for (HostWindow& w : g_windows)
    if (!w.sdl) {
      slot = &w;
      break;
    }
  if (!slot) {
    SDL_snprintf(why, why_size, "too many windows");
    return false;
  }
  Uint32 flags = (visible ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN) | SDL_WINDOW_ALLOW_HIGHDPI;
  int pos = 0;
  if (plat_options.window) {
    window_size(0, width, height);
    pos = (int)SDL_WINDOWPOS_CENTERED;
    flags |= SDL_WINDOW_RESIZABLE;
  } else {
    // Full screen covers the desktop from its top-left corner at the desktop's size, also
    // without a window manager to stretch it; the presented picture is scaled to fit.
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    desktop_size(0, width, height);
  }
  SDL_Window* sdl = SDL_CreateWindow(title, pos, pos, *width, *height, flags);
  if (!sdl) {
    SDL_snprintf(why, why_size, "%s", SDL_GetError());
    return false;
  }
  *slot = HostWindow{key, sdl};
  return true;
}

void plat_window_raise(HWND key) {
  SDL_Window* win = plat_sdl_window(key);
  if (!win) return;
  SDL_RaiseWindow(win);
  if (SDL_GetKeyboardFocus() == win) plat_window_capture(win, true);
}

void plat_window_close(HWND key) {
  if (HostWindow* w = find(key)) {
    SDL_DestroyWindow(w->sdl);
    *w = HostWindow{};
  }
}

bool plat_window_known(HWND hwnd) { return hwnd && find(hwnd); }

SDL_Window* plat_sdl_window(HWND hwnd) {
  HostWindow* w = hwnd ? find(hwnd) : nullptr;
  return w ? w->sdl : nullptr;
}

SDL_Window* plat_main_sdl_window() {
  for (HostWindow& w : g_windows)
    if (w.sdl) return w.sdl;
  return nullptr;
}

HWND plat_main_window() {
  for (HostWindow& w : g_windows)
    if (w.sdl) return w.key;
  return nullptr;
}

int plat_windows(HWND* out, int max) {
  int n = 0;
  for (HostWindow& w : g_windows)
    if (w.sdl && n < max) out[n++] = w.key;
  return n;
}

HWND plat_window_of_sdl(uint32_t id) {
  for (HostWindow& w : g_windows)
    if (w.sdl && SDL_GetWindowID(w.sdl) == id) return w.key;
  return nullptr;
}

void plat_window_capture(SDL_Window* win, bool on) {
  if (!win) return;
  SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
}

// The size is set by hand as well, so that it also holds without a window manager.
void plat_window_toggle_fullscreen(SDL_Window* win) {
  const int display = SDL_GetWindowDisplayIndex(win);
  int w = 1024, h = 768;
  if (SDL_GetWindowFlags(win) & SDL_WINDOW_FULLSCREEN) {
    window_size(display, &w, &h);
    SDL_SetWindowFullscreen(win, 0);
    SDL_SetWindowResizable(win, SDL_TRUE);
    SDL_SetWindowSize(win, w, h);
    SDL_SetWindowPosition(win, (int)SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                          (int)SDL_WINDOWPOS_CENTERED_DISPLAY(display));
  } else {
    desktop_size(display, &w, &h);
    SDL_Rect at{0, 0, w, h};
    SDL_GetDisplayBounds(display < 0 ? 0 : display, &at);
    SDL_SetWindowPosition(win, at.x, at.y);
    SDL_SetWindowSize(win, w, h);
    SDL_SetWindowFullscreen(win, SDL_WINDOW_FULLSCREEN_DESKTOP);
  }
}

void plat_window_cursor(bool shown) {
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
}
