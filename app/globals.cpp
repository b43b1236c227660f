#include "app/globals.h"

HWND game_window = nullptr;
HINSTANCE game_instance = nullptr;
int32_t game_state = GAME_STATE_MENU;
int32_t game_frame_delay_ms = 30;
uint8_t game_mouse_down = 0;
