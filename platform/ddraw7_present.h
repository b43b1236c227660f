// Inside the platform layer only: showing a 16-bit frame in the game's SDL window.
#pragma once
#include <cstdint>

#include "platform/wintypes.h"

// Shows the frame in the window of `hwnd` (or the game's main window), scaled to fit in
// proportion with nearest-neighbour sampling, black bars around. False when there is no window
// or SDL refuses; the frame is then simply not shown.
bool plat_present_565(HWND hwnd, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch);

// Where a frame of src_w x src_h lands in an output of out_w x out_h: the largest rectangle of
// the frame's proportions that fits, centred.
void plat_fit_rect(int32_t src_w, int32_t src_h, int out_w, int out_h, int* x, int* y, int* w, int* h);
