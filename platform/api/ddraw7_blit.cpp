// The pixel work behind Blt, through the pixel kernels.
#include "platform/api/ddraw7_blit.h"

#include <cstring>

#include "platform/host/pixels.h"

bool dd_rect_empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

bool dd_rect_inside(const RECT& r, int32_t w, int32_t h) {
  return r.left >= 0 && r.top >= 0 && r.right <= w && r.bottom <= h;
}

RECT dd_rect_intersect(const RECT& a, const RECT& b) {
  RECT r{a.left > b.left ? a.left : b.left, a.top > b.top ? a.top : b.top,
         a.right < b.right ? a.right : b.right, a.bottom < b.bottom ? a.bottom : b.bottom};
  return r;
}

uint16_t* dd_row_of(const DdPixels& s, int32_t y) { return (uint16_t*)(s.pixels + (size_t)y * s.pitch); }

// Rows of the whole width run on across the pitch's padding as one span: one kernel call,
// no per-row overhead, and the padding between rows is nobody's pixels.
static bool whole_rows(const DdPixels& s, const RECT& r) { return r.left == 0 && r.right == s.width; }

void dd_fill_rect(const DdPixels& d, const RECT& r, uint16_t colour) {
  int32_t w = r.right - r.left, h = r.bottom - r.top;
  uint8_t* p = (uint8_t*)dd_row_of(d, r.top) + (size_t)r.left * 2;
  if (whole_rows(d, r) && h > 1) {
    pix_k.fill(p, 0, (h - 1) * (d.pitch / 2) + w, 1, colour);
    return;
  }
  pix_k.fill(p, d.pitch, w, h, colour);
}

// A copy within one surface whose two rectangles overlap: walk in the direction that never
// reads a pixel already overwritten. Rare (the game never does it), so plain loops.
static void copy_within(const DdPixels& d, const RECT& clip, int32_t sx0, int32_t sy0, bool keyed,
                        uint16_t lo, uint16_t hi) {
  int32_t cw = clip.right - clip.left, rows = clip.bottom - clip.top;
  bool up = clip.top > sy0;
  bool back = clip.left > sx0;
  for (int32_t i = 0; i < rows; ++i) {
    int32_t k = up ? rows - 1 - i : i;
    uint16_t* dp = dd_row_of(d, clip.top + k) + clip.left;
    const uint16_t* sp = dd_row_of(d, sy0 + k) + sx0;
    if (!keyed) {
      std::memmove(dp, sp, (size_t)cw * 2);
    } else if (!back) {
      for (int32_t x = 0; x < cw; ++x) {
        uint16_t v = sp[x];
        if (v < lo || v > hi) dp[x] = v;
      }
    } else {
      for (int32_t x = cw - 1; x >= 0; --x) {
        uint16_t v = sp[x];
        if (v < lo || v > hi) dp[x] = v;
      }
    }
  }
}

void dd_copy_rect(const DdPixels& d, const RECT& dr, const RECT& clip, const DdPixels& s, const RECT& sr,
                  bool keyed, uint16_t lo, uint16_t hi) {
  int32_t dw = dr.right - dr.left, dh = dr.bottom - dr.top;
  int32_t sw = sr.right - sr.left, sh = sr.bottom - sr.top;
  int32_t cw = clip.right - clip.left;
  if (dw == sw && dh == sh) {
    int32_t sx0 = sr.left + (clip.left - dr.left);
    int32_t sy0 = sr.top + (clip.top - dr.top);
    int32_t rows = clip.bottom - clip.top;
    uint8_t* dp = (uint8_t*)dd_row_of(d, clip.top) + (size_t)clip.left * 2;
    const uint8_t* sp = (const uint8_t*)dd_row_of(s, sy0) + (size_t)sx0 * 2;
    const RECT from{sx0, sy0, sx0 + cw, sy0 + rows};
    if (d.pixels == s.pixels && !dd_rect_empty(dd_rect_intersect(clip, from))) {
      copy_within(d, clip, sx0, sy0, keyed, lo, hi);
      return;
    }
    // Whole rows of equal pitches are one span, padding and all (see whole_rows).
    int32_t n = cw, h = rows;
    if (rows > 1 && d.pitch == s.pitch && whole_rows(d, clip) && whole_rows(s, from)) {
      n = (rows - 1) * (d.pitch / 2) + cw;
      h = 1;
    }
    if (keyed) {
      pix_k.copy_keyed(dp, d.pitch, sp, s.pitch, n, h, lo, hi);
    } else {
      for (int32_t y = 0; y < h; ++y)
        std::memcpy(dp + (size_t)y * d.pitch, sp + (size_t)y * s.pitch, (size_t)n * 2);
    }
    return;
  }
  for (int32_t y = clip.top; y < clip.bottom; ++y) {
    int32_t sy = sr.top + (int32_t)((int64_t)(y - dr.top) * sh / dh);
    uint16_t* dp = dd_row_of(d, y);
    const uint16_t* sp = dd_row_of(s, sy);
    for (int32_t x = clip.left; x < clip.right; ++x) {
      uint16_t v = sp[sr.left + (int32_t)((int64_t)(x - dr.left) * sw / dw)];
      if (!keyed || v < lo || v > hi) dp[x] = v;
    }
  }
}
