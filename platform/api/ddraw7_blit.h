// The pixel work behind Blt: fills and copies of RGB565 rectangles over plain memory, clipped
// beforehand by the caller.
#pragma once
#include "platform/wintypes.h"

// A surface's pixels as the copies see them.
struct DdPixels {
  uint8_t* pixels;
  int32_t pitch;  // bytes from one row to the next
  int32_t width;
};

bool dd_rect_empty(const RECT& r);
bool dd_rect_inside(const RECT& r, int32_t w, int32_t h);
RECT dd_rect_intersect(const RECT& a, const RECT& b);
uint16_t* dd_row_of(const DdPixels& s, int32_t y);

void dd_fill_rect(const DdPixels& d, const RECT& r, uint16_t colour);
// Copies the part `clip` of the destination rectangle `dr` from source rectangle `sr`, sampling
// nearest when the sizes differ. Key: source pixels in [lo, hi] are skipped.
void dd_copy_rect(const DdPixels& d, const RECT& dr, const RECT& clip, const DdPixels& s, const RECT& sr,
                  bool keyed, uint16_t lo, uint16_t hi);
