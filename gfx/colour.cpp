// Packing 8-bit red, green and blue into 16-bit pixels, and the sprite sheets' colour key.
#include "gfx/colour.h"

Rgb16 gfx_colour_key = 0;
int32_t gfx_rgb_bit_count = 0;

// Each field is masked after its arithmetic shift, so out-of-range input never carries over.
int32_t gfx_rgb565(int32_t r, int32_t g, int32_t b) {
  return ((r >> 3) & 31) * 2048 + ((g >> 2) & 63) * 32 + ((b >> 3) & 31);
}

int32_t gfx_rgb555(int32_t r, int32_t g, int32_t b) {
  return ((r >> 3) & 31) * 1024 + ((g >> 3) & 31) * 32 + ((b >> 3) & 31);
}

// Always the 5.6.5 magenta, whatever format the display reports later.
void gfx_init_colour_key() { gfx_colour_key = (Rgb16)(gfx_rgb565(255, 0, 255) & 0xFFFF); }

namespace {
// Runs before the entry, so the key exists before any surface does.
const int colour_key_ready = (gfx_init_colour_key(), 1);
}  // namespace
