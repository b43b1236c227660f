// The levels of the pixel loops and the table of one level's loops (see pixels.h).
#pragma once
#include <cstddef>
#include <cstdint>

enum PixLevel { PIX_SCALAR = 0, PIX_SSE2 = 1, PIX_AVX2 = 2, PIX_AVX512 = 3 };

// Rectangles of `n` 16-bit pixels by `h` rows; pitches in bytes. Source and destination never
// overlap (copies within one surface that overlap take the scalar path in the caller).
struct PixKernels {
  void (*fill)(uint8_t* d, ptrdiff_t d_pitch, int32_t n, int32_t h, uint16_t colour);
  // Source pixels v with lo <= v <= hi are skipped; the rest replace the destination's.
  void (*copy_keyed)(uint8_t* d, ptrdiff_t d_pitch, const uint8_t* s, ptrdiff_t s_pitch, int32_t n, int32_t h,
                     uint16_t lo, uint16_t hi);
  // One row of RGB565 widened to X8R8G8B8 (each field repeats its top bits), `alpha` ORed in.
  void (*to_xrgb)(uint32_t* d, const uint16_t* s, int32_t n, uint32_t alpha);
  // Nearest-neighbour widening of one row: d[x] = s[map[x]] for x < n, map non-decreasing.
  // `s` must be readable 15 pixels past the largest mapped index.
  void (*scale_row)(uint32_t* d, const uint32_t* s, const int32_t* map, int32_t n);
};
