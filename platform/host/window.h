// Inside the platform layer only: the SDL objects behind the Win32 handles.
#pragma once
#include <SDL.h>

#include "platform/api/wintypes.h"

SDL_Window* plat_sdl_window(HWND hwnd);  // null for an unknown handle
SDL_Window* plat_main_sdl_window();      // the game's one window, or null
// Makes sure SDL's video is up; false (with the fatal message set) when it cannot start.
bool plat_video_start();
// Pumps SDL's events into the message queue; called by PeekMessageA and the input reads.
void plat_pump_events();
// Queues a message of the window system (WM_PAINT, WM_CLOSE) for the game's window, as the pump
// would: the demo replay's way in. False when there is no window or the queue is full.
bool plat_post_system_message(UINT message);
// Wheel motion gathered by the pump since the last call, in WHEEL_DELTA units.
long plat_take_wheel();
