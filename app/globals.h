// Game-wide records of the main loop, read by every subsystem: the window, the state, the pacing.
#pragma once
#include <cstdint>

#include "platform/win32.h"

constexpr int32_t GAME_STATE_MENU = 10;
constexpr int32_t GAME_STATE_PLAY = 12;
constexpr int32_t GAME_STATE_INFO = 13;
constexpr int32_t GAME_FRAME_DELAY_MAX = 90;

extern HWND game_window;
extern HINSTANCE game_instance;
extern int32_t game_state;           // one of GAME_STATE_*; the program opens in the menu
extern int32_t game_frame_delay_ms;  // least length of a frame, 1..GAME_FRAME_DELAY_MAX, 30 at start
extern uint8_t game_mouse_down;      // left mouse button level in this frame
