// The entry: the window class, the one window, the message loop.
#include "app/winmain.h"

#include "app/frame.h"
#include "app/globals.h"
#include "app/startup.h"

LRESULT CALLBACK game_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_CREATE:
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT paint;
      BeginPaint(hwnd, &paint);
      EndPaint(hwnd, &paint);
      return 0;
    }
    default:
      return DefWindowProcA(hwnd, message, wparam, lparam);
  }
}

// The stock application icon and arrow (both resource 32512) in their A form: with UNICODE
// defined, the SDK's IDI_APPLICATION and IDC_ARROW are wide strings that LoadIconA refuses.
static const LPCSTR WIN_STOCK_ICON = MAKEINTRESOURCEA(32512);
static const LPCSTR WIN_STOCK_ARROW = MAKEINTRESOURCEA(32512);

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof(WNDCLASSEXA);
  wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_OWNDC;
  wc.lpfnWndProc = game_window_proc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconA(nullptr, WIN_STOCK_ICON);
  wc.hIconSm = LoadIconA(nullptr, WIN_STOCK_ICON);
  wc.hCursor = LoadCursorA(nullptr, WIN_STOCK_ARROW);
  wc.hbrBackground = (HBRUSH)GetStockObject(BLACK_BRUSH);
  wc.lpszClassName = "WIN3DCLASS";
  if (!RegisterClassExA(&wc)) return 0;

  HWND hwnd = CreateWindowExA(0, "WIN3DCLASS", "GAME", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                              nullptr, instance, nullptr);
  if (!hwnd) return 0;
  game_window = hwnd;
  game_instance = instance;

  game_startup();
  MSG msg = {};
  for (;;) {
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) break;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    game_frame();
  }
  game_shutdown();
  return (int)msg.wParam;
}
