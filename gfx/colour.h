// 16-bit pixel values and the display's reported pixel format.
#pragma once
#include <cstdint>

typedef uint16_t Rgb16;

extern Rgb16 gfx_colour_key;        // magenta 0xF81F, set before the entry runs
extern int32_t gfx_rgb_bit_count;   // bits per pixel the primary surface reports

int32_t gfx_rgb565(int32_t r, int32_t g, int32_t b);
int32_t gfx_rgb555(int32_t r, int32_t g, int32_t b);
void gfx_init_colour_key();
