// Windows and messages over one SDL window and one fixed message queue.
#include "platform/winuser32.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/demo.h"
#include "platform/options.h"
#include "platform/seams.h"
#include "platform/seams_internal.h"
#include "platform/screenshot.h"
#include "platform/sdl_window.h"
#include "platform/volume.h"

namespace {

constexpr int kClassCount = 8;
constexpr int kWindowCount = 4;
constexpr int kQueueSize = 256;

struct ClassRec {
  char name[64];
  WNDPROC proc;
};

struct WindowRec {
  HWND__ handle;
  SDL_Window* sdl;
  WNDPROC proc;
  bool used;
};

ClassRec g_classes[kClassCount];
int g_class_count = 0;
WindowRec g_windows[kWindowCount];

// One queue of posted messages, a fixed ring: posting never allocates.
MSG g_queue[kQueueSize];
int g_queue_head = 0;
int g_queue_len = 0;
bool g_quit_pending = false;
int g_quit_code = 0;

int g_cursor_count = 0;
long g_wheel = 0;
char g_fatal[512];
HDC__ g_paint_dc;

WindowRec* find_window(HWND hwnd) {
  for (WindowRec& w : g_windows)
    if (w.used && &w.handle == hwnd) return &w;
  return nullptr;
}

WindowRec* window_of_sdl(Uint32 id) {
  for (WindowRec& w : g_windows)
    if (w.used && w.sdl && SDL_GetWindowID(w.sdl) == id) return &w;
  return nullptr;
}

bool queue_push(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (g_queue_len == kQueueSize) return false;
  MSG& m = g_queue[(g_queue_head + g_queue_len) % kQueueSize];
  m = MSG{hwnd, message, wparam, lparam, GetTickCount(), POINT{0, 0}};
  ++g_queue_len;
  return true;
}

// A message from the window system; a demo notes it, or brings its own in its place.
void system_message(HWND hwnd, UINT message) {
  if (plat_demo_window_message(message)) queue_push(hwnd, message, 0, 0);
}

}  // namespace

bool plat_post_system_message(UINT message) {
  for (WindowRec& w : g_windows)
    if (w.used) return queue_push(&w.handle, message, 0, 0);
  return false;
}

void plat_set_fatal(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(g_fatal, sizeof g_fatal, fmt, ap);
  va_end(ap);
}
const char* plat_fatal_message() { return g_fatal; }
void plat_clear_fatal() { g_fatal[0] = 0; }

SDL_Window* plat_sdl_window(HWND hwnd) {
  WindowRec* w = find_window(hwnd);
  return w ? w->sdl : nullptr;
}

SDL_Window* plat_main_sdl_window() {
  for (WindowRec& w : g_windows)
    if (w.used && w.sdl) return w.sdl;
  return nullptr;
}

// SDL falls back to its headless drivers when no display can be reached; a player would see
// nothing at all, so those count as no display unless they were asked for by name.
static bool plat_video_headless() {
  const char* driver = SDL_GetCurrentVideoDriver();
  const char* asked = SDL_getenv("SDL_VIDEODRIVER");
  bool headless = driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0 ||
                             SDL_strcmp(driver, "evdev") == 0);
  return headless && !(asked && SDL_strcasecmp(asked, driver) == 0);
}

bool plat_video_start() {
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
      if (!plat_video_headless()) return true;
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    } else {
      SDL_snprintf(why, sizeof why, "%s", SDL_GetError());
    }
    if (asked || !x_display || !*x_display) break;
    // Ask X11 by name, so that its own reason is the one reported.
    if (SDL_VideoInit("x11") == 0) {
      SDL_VideoQuit();
      if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0 && !plat_video_headless()) return true;
      SDL_QuitSubSystem(SDL_INIT_VIDEO);
    } else {
      SDL_snprintf(why, sizeof why, "X11 display %s: %s", x_display, SDL_GetError());
    }
  }
  plat_set_fatal("cannot open the display: %s", why);
  return false;
}

static void set_capture(SDL_Window* win, bool on) {
  // Relative motion while the game has focus; the pointer is free again when it loses it.
  if (!win) return;
  SDL_SetRelativeMouseMode(on ? SDL_TRUE : SDL_FALSE);
}

static void desktop_size(int display, int* w, int* h) {
  SDL_DisplayMode desktop;
  if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &desktop) == 0 && desktop.w > 0 && desktop.h > 0) {
    *w = desktop.w;
    *h = desktop.h;
  }
}

// The game's size times --scale, less while that would not fit on the desktop.
static void window_size(int display, int* w, int* h) {
  int dw = 0, dh = 0;
  desktop_size(display, &dw, &dh);
  int s = plat_options.scale;
  while (s > 1 && dw > 0 && (*w * s > dw || *h * s > dh)) --s;
  *w *= s;
  *h *= s;
}

// F11: between the desktop's full screen and a window of the chosen scale. The size is set by
// hand as well, so that it also holds without a window manager.
static void toggle_fullscreen(SDL_Window* win) {
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

void plat_pump_events() {
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  SDL_Event ev;
  while (SDL_PollEvent(&ev)) {
    switch (ev.type) {
      case SDL_QUIT:
        for (WindowRec& w : g_windows)
          if (w.used) system_message(&w.handle, WM_CLOSE);
        break;
      case SDL_WINDOWEVENT: {
        WindowRec* w = window_of_sdl(ev.window.windowID);
        if (!w) break;
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) system_message(&w->handle, WM_CLOSE);
        else if (ev.window.event == SDL_WINDOWEVENT_EXPOSED) system_message(&w->handle, WM_PAINT);
        else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) set_capture(w->sdl, true);
        else if (ev.window.event == SDL_WINDOWEVENT_FOCUS_LOST) set_capture(w->sdl, false);
        break;
      }
      case SDL_KEYDOWN:
        if (ev.key.keysym.scancode == SDL_SCANCODE_F11 && !ev.key.repeat)
          if (WindowRec* w = window_of_sdl(ev.key.windowID)) toggle_fullscreen(w->sdl);
        // F10 and F12 act here; their key bytes still reach the game, which ignores them.
        if (ev.key.keysym.scancode == SDL_SCANCODE_F10 && !ev.key.repeat) plat_volume_toggle_mute();
        if (ev.key.keysym.scancode == SDL_SCANCODE_F12 && !ev.key.repeat)
          plat_screenshot_take(std::time(nullptr));
        if (ev.key.keysym.scancode == SDL_SCANCODE_ESCAPE) plat_demo_interrupt();  // ends a replay
        break;
      case SDL_MOUSEWHEEL:
        g_wheel += (long)ev.wheel.y * 120;
        break;
      default:
        break;
    }
  }
}

long plat_take_wheel() {
  long w = g_wheel;
  g_wheel = 0;
  return w;
}

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc) {
  HRESULT hr;
  if (seam_fault("RegisterClassExA", &hr)) return 0;
  if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc || !wc->lpszClassName) return 0;
  if (g_class_count == kClassCount || std::strlen(wc->lpszClassName) >= sizeof g_classes[0].name) return 0;
  for (int i = 0; i < g_class_count; ++i)
    if (std::strcmp(g_classes[i].name, wc->lpszClassName) == 0) return 0;  // already registered
  ClassRec& c = g_classes[g_class_count++];
  std::strcpy(c.name, wc->lpszClassName);
  c.proc = wc->lpfnWndProc;
  seam_trace("RegisterClassExA %s", c.name);
  return (ATOM)g_class_count;
}

HWND WINAPI CreateWindowExA(DWORD, LPCSTR class_name, LPCSTR title, DWORD style, int, int, int width,
                            int height, HWND, HMENU, HINSTANCE, LPVOID) {
  HRESULT hr;
  if (seam_fault("CreateWindowExA", &hr)) {
    plat_set_fatal("cannot create the game window");
    return nullptr;
  }
  ClassRec* cls = nullptr;
  for (int i = 0; i < g_class_count; ++i)
    if (class_name && std::strcmp(g_classes[i].name, class_name) == 0) cls = &g_classes[i];
  if (!cls) return nullptr;
  WindowRec* w = nullptr;
  for (WindowRec& slot : g_windows)
    if (!slot.used) {
      w = &slot;
      break;
    }
  if (!w || !plat_video_start()) return nullptr;
  Uint32 flags = ((style & WS_VISIBLE) ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN) | SDL_WINDOW_ALLOW_HIGHDPI;
  int pos = 0;
  if (plat_options.window) {
    window_size(0, &width, &height);
    pos = (int)SDL_WINDOWPOS_CENTERED;
    flags |= SDL_WINDOW_RESIZABLE;
  } else {
    // Full screen covers the desktop from its top-left corner at the desktop's size, also
    // without a window manager to stretch it; the presented picture is scaled to fit.
    flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    desktop_size(0, &width, &height);
  }
  SDL_Window* sdl = SDL_CreateWindow(title ? title : "", pos, pos, width, height, flags);
  if (!sdl) {
    plat_set_fatal("cannot create the game window: %s", SDL_GetError());
    return nullptr;
  }
  w->used = true;
  w->sdl = sdl;
  w->proc = cls->proc;
  seam_trace("CreateWindowExA %s %dx%d", title ? title : "", width, height);
  w->proc(&w->handle, WM_CREATE, 0, 0);
  if (style & WS_VISIBLE) {
    SDL_RaiseWindow(sdl);
    if (SDL_GetKeyboardFocus() == sdl) set_capture(sdl, true);
  }
  return &w->handle;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT remove) {
  plat_demo_pass();  // before the pump: a demo's messages join the queue where recorded ones did
  plat_pump_events();
  SEAM_FAULT_COUNT("PeekMessageA");
  // The quit message goes ahead of what is still queued, so that a quit key held for several
  // frames (each posting another message) cannot keep the program running.
  if (g_quit_pending) {
    *msg = MSG{nullptr, WM_QUIT, (WPARAM)g_quit_code, 0, GetTickCount(), POINT{0, 0}};
    if (remove & PM_REMOVE) {
      g_quit_pending = false;
      plat_demo_loop_end();
    }
    return TRUE;
  }
  if (g_queue_len > 0) {
    *msg = g_queue[g_queue_head];
    if (remove & PM_REMOVE) {
      g_queue_head = (g_queue_head + 1) % kQueueSize;
      --g_queue_len;
    }
    return TRUE;
  }
  return FALSE;
}

BOOL WINAPI TranslateMessage(const MSG*) { return FALSE; }  // no character messages are needed

LRESULT WINAPI DispatchMessageA(const MSG* msg) {
  if (!msg) return 0;
  WindowRec* w = find_window(msg->hwnd);
  if (!w) return 0;
  return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  HRESULT hr;
  if (seam_fault("PostMessageA", &hr)) return FALSE;
  if (hwnd && !find_window(hwnd)) return FALSE;
  if (message == WM_DESTROY && plat_demo_quit_posted()) return TRUE;  // the player takes over instead
  seam_trace("PostMessageA %u", message);
  return queue_push(hwnd, message, wparam, lparam) ? TRUE : FALSE;
}

void WINAPI PostQuitMessage(int exit_code) {
  seam_trace("PostQuitMessage %d", exit_code);
  g_quit_pending = true;
  g_quit_code = exit_code;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM) {
  // Closing the window ends the game through the same path as the quit keys.
  if (message == WM_CLOSE) {
    if (WindowRec* w = find_window(hwnd)) w->proc(hwnd, WM_DESTROY, 0, 0);
  }
  return 0;
}

HDC WINAPI BeginPaint(HWND, PAINTSTRUCT* paint) {
  if (paint) {
    std::memset(paint, 0, sizeof *paint);
    paint->hdc = &g_paint_dc;
  }
  return &g_paint_dc;
}

BOOL WINAPI EndPaint(HWND, const PAINTSTRUCT*) { return TRUE; }

HICON WINAPI LoadIconA(HINSTANCE, LPCSTR) {
  static HICON__ icon;
  return &icon;
}

HCURSOR WINAPI LoadCursorA(HINSTANCE, LPCSTR) {
  static HICON__ cursor;
  return &cursor;
}

HGDIOBJ WINAPI GetStockObject(int) {
  static HBRUSH__ brush;
  return &brush;
}

int WINAPI ShowCursor(BOOL show) {
  g_cursor_count += show ? 1 : -1;
  seam_trace("ShowCursor %d", show ? 1 : 0);
  if (SDL_WasInit(SDL_INIT_VIDEO)) SDL_ShowCursor(g_cursor_count >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return g_cursor_count;
}

DWORD WINAPI GetTickCount(void) {
  DWORD now;
  if (!seam_clock_read(&now)) {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    // Milliseconds in 32 bits: wraps after 49.7 days, as the game expects.
    now = (DWORD)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
  }
  return plat_demo_ticks(now);
}

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

BOOL WINAPI SetRectEmpty(LPRECT rect) { return SetRect(rect, 0, 0, 0, 0); }

BOOL WINAPI IsRectEmpty(const RECT* rect) {
  return !rect || rect->right <= rect->left || rect->bottom <= rect->top;
}

BOOL WINAPI IntersectRect(LPRECT dest, const RECT* a, const RECT* b) {
  if (!dest || !a || !b) return FALSE;
  RECT r{a->left > b->left ? a->left : b->left, a->top > b->top ? a->top : b->top,
         a->right < b->right ? a->right : b->right, a->bottom < b->bottom ? a->bottom : b->bottom};
  if (IsRectEmpty(&r)) {
    SetRectEmpty(dest);
    return FALSE;
  }
  *dest = r;
  return TRUE;
}

BOOL WINAPI OffsetRect(LPRECT rect, int dx, int dy) {
  if (!rect) return FALSE;
  rect->left += dx;
  rect->right += dx;
  rect->top += dy;
  rect->bottom += dy;
  return TRUE;
}

// Test seam: forget windows, classes and queued messages between tests.
void seam_windows_reset() {
  for (WindowRec& w : g_windows) {
    if (w.used && w.sdl) SDL_DestroyWindow(w.sdl);
    w = WindowRec{};
  }
  g_class_count = 0;
  g_queue_head = g_queue_len = 0;
  g_quit_pending = false;
  g_quit_code = 0;
  g_cursor_count = 0;
}
