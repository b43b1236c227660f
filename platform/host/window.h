// The SDL windows behind the game's window handles: video start, sizing, F11, the capture.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/wintypes.h"

struct SDL_Window;

// Makes sure SDL's video is up; false (the reason in `why`) when it cannot start.
bool plat_video_start(char* why, size_t why_size);
// Opens the SDL window behind the handle `key`: the desktop's full screen, or with --window a
// window of the chosen scale. *width and *height become its size. False, the reason in `why`,
// when SDL refuses.
bool plat_window_open(HWND key, const char* title, int* width, int* height, bool visible, char* why,
                      size_t why_size);
// Brings a shown window forward and captures the mouse when it has the focus.
void plat_window_raise(HWND key);
void plat_window_close(HWND key);
bool plat_window_known(HWND hwnd);       // an open window's handle
SDL_Window* plat_sdl_window(HWND hwnd);  // null for an unknown handle
SDL_Window* plat_main_sdl_window();      // the game's one window, or null
HWND plat_main_window();                 // its handle, or null
int plat_windows(HWND* out, int max);    // the open windows' handles, oldest slot first
HWND plat_window_of_sdl(uint32_t id);    // the handle of SDL's window `id`, or null
// Relative mouse motion while the game has the focus; the pointer is free again without it.
void plat_window_capture(SDL_Window* win, bool on);
// F11: between the desktop's full screen and a window of the chosen scale.
void plat_window_toggle_fullscreen(SDL_Window* win);
// The pointer's visibility, by ShowCursor's count.
void plat_window_cursor(bool shown);
