// Inside the platform layer only: showing a 16-bit frame in the game's SDL window.
#pragma once
#include <cstdint>

#include "platform/wintypes.h"

// Shows the frame in the window of `hwnd` (or the game's main window) at plat_present_rect,
// black around it; nearest-neighbour unless plat_options.smooth. False when there is no window
// or SDL refuses; the frame is then simply not shown.
bool plat_present_565(HWND hwnd, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch);

// Where a frame of src_w x src_h lands in an output of out_w x out_h pixels: the largest
// rectangle of the frame's proportions that fits, centred.
void plat_fit_rect(int32_t src_w, int32_t src_h, int out_w, int out_h, int* x, int* y, int* w, int* h);
// As plat_fit_rect, but with plat_options.integer_scale the largest whole multiple that fits
// (an output smaller than the frame still gets the frame shrunk to fit).
void plat_present_rect(int32_t src_w, int32_t src_h, int out_w, int out_h, int* x, int* y, int* w, int* h);

// How frames are presented and why, once the first one was ("not presented yet" before).
const char* plat_present_route();
// Forgets the route and its SDL objects (before the window goes); the next present chooses
// again. `route` "surface" or "texture" forces one (tests, benchmarks); null chooses by the
// machine, or by TARVELLIN_PRESENT when set.
void plat_present_reset(const char* route);
