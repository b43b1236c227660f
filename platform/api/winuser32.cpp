// Windows and messages: window classes, the game's windows and one fixed message queue. The
// host's window shows them; the input border brings the system's messages.
#include "platform/api/winuser32.h"

#include <cstring>

#include "platform/host/clock.h"
#include "platform/host/input.h"
#include "platform/host/window.h"
#include "platform/port/options.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_internal.h"

namespace {

constexpr int kClassCount = 8;
constexpr int kWindowCount = 4;
constexpr int kQueueSize = 256;  // posting fails beyond, except for what ends the program

struct ClassRec {
  char name[64];
  WNDPROC proc;
};

struct WindowRec {
  HWND__ handle;
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
HDC__ g_paint_dc;

WindowRec* find_window(HWND hwnd) {
  for (WindowRec& w : g_windows)
    if (w.used && &w.handle == hwnd) return &w;
  return nullptr;
}

// What ends the program: never dropped for want of room.
bool ends_program(UINT message) { return message == WM_CLOSE || message == WM_DESTROY || message == WM_QUIT; }

MSG& queued(int i) { return g_queue[(g_queue_head + i) % kQueueSize]; }

bool queue_push(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  // As on Windows, an expose while one is waiting for the same window adds none.
  if (message == WM_PAINT)
    for (int i = 0; i < g_queue_len; ++i)
      if (queued(i).message == WM_PAINT && queued(i).hwnd == hwnd) return true;
  if (g_queue_len == kQueueSize) {
    if (!ends_program(message)) return false;
    // The oldest message that does not end the program makes room; a queue full of those
    // already ends it at the first one taken.
    int drop = 0;
    while (drop < g_queue_len && ends_program(queued(drop).message)) ++drop;
    if (drop == g_queue_len) return false;
    for (int i = drop; i + 1 < g_queue_len; ++i) queued(i) = queued(i + 1);
    --g_queue_len;
  }
  queued(g_queue_len) = MSG{hwnd, message, wparam, lparam, GetTickCount(), POINT{0, 0}};
  ++g_queue_len;
  return true;
}

// The border's window messages join the queue; its quit ends the loop.
void system_post(HWND hwnd, UINT message) {
  if (message == WM_QUIT) {
    PostQuitMessage(0);
    return;
  }
  if (find_window(hwnd)) queue_push(hwnd, message, 0, 0);
}

}  // namespace

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
  if (!w) return nullptr;
  char why[256];
  if (!plat_video_start(why, sizeof why)) {
    plat_set_fatal("cannot open the display: %s", why);
    return nullptr;
  }
  if (!plat_window_open(&w->handle, title ? title : "", &width, &height, (style & WS_VISIBLE) != 0, why,
                        sizeof why)) {
    plat_set_fatal("cannot create the game window: %s", why);
    return nullptr;
  }
  w->used = true;
  w->proc = cls->proc;
  plat_input_set_sink(system_post);
  seam_trace("CreateWindowExA %s %dx%d", title ? title : "", width, height);
  w->proc(&w->handle, WM_CREATE, 0, 0);
  if (style & WS_VISIBLE) plat_window_raise(&w->handle);
  return &w->handle;
}

BOOL WINAPI PeekMessageA(LPMSG msg, HWND, UINT, UINT, UINT remove) {
  plat_input_set_sink(system_post);
  plat_input_pass();  // before the pump: a demo's messages join the queue where recorded ones did
  plat_input_pump();  // a pause for a lost focus waits here, inside the pass: a demo sees none
  SEAM_FAULT_COUNT("PeekMessageA");
  // The quit message goes ahead of what is still queued, so that a quit key held for several
  // frames (each posting another message) cannot keep the program running.
  if (g_quit_pending) {
    *msg = MSG{nullptr, WM_QUIT, (WPARAM)g_quit_code, 0, GetTickCount(), POINT{0, 0}};
    if (remove & PM_REMOVE) {
      g_quit_pending = false;
      plat_input_loop_end();
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
  if (message == WM_DESTROY && plat_input_game_quit()) return TRUE;  // the player takes over instead
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
  plat_window_cursor(g_cursor_count >= 0);
  return g_cursor_count;
}

// Milliseconds in 32 bits: wraps after 49.7 days, as the game expects.
DWORD WINAPI GetTickCount(void) { return plat_clock_ticks(); }

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
    if (w.used) plat_window_close(&w.handle);
    w = WindowRec{};
  }
  g_class_count = 0;
  g_queue_head = g_queue_len = 0;
  g_quit_pending = false;
  g_quit_code = 0;
  g_cursor_count = 0;
}
