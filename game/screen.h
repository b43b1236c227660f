// What every play step shares: the screen's size, the held-key test, the surface caps.
#pragma once
#include <cstdint>

#include "input/input.h"
#include "platform/win32.h"

#ifndef DDSCAPS_VIDEOMEMORY
#define DDSCAPS_VIDEOMEMORY 0x00004000
#endif

constexpr int32_t GAME_SCREEN_WIDTH = 1024;
constexpr int32_t GAME_SCREEN_HEIGHT = 768;

// Held in this frame; there is no edge detection anywhere in play.
inline bool game_key_held(int dik) { return (inp_key_state[dik & 0xFF] & 0x80) != 0; }
