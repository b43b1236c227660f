// The window procedure of the game window.
#pragma once
#include "platform/win32.h"

LRESULT CALLBACK game_window_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
