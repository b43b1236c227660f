// The fill and the keyed copy in WebAssembly SIMD: eight pixels a step, as the SSE2 loops do.
#include "platform/host/pixels_wasm.h"

#if PIX_HAVE_WASM
#include <wasm_simd128.h>

#include <cstring>

namespace {

void fill_wasm(uint8_t* d, ptrdiff_t pitch, int32_t n, int32_t h, uint16_t c) {
  if ((c >> 8) == (c & 255)) {  // black above all: memset's job
    for (int32_t y = 0; y < h; ++y, d += pitch) std::memset(d, c & 255, (size_t)n * 2);
    return;
  }
  const v128_t v = wasm_i16x8_splat((int16_t)c);
  for (int32_t y = 0; y < h; ++y, d += pitch) {
    uint16_t* p = (uint16_t*)d;
    int32_t x = 0;
    for (; x + 8 <= n; x += 8) wasm_v128_store(p + x, v);
    for (; x < n; ++x) p[x] = c;
  }
}

// Every lane whose pixel is no key colour takes the source; the others keep the destination.
// Applying it twice to the same pixels gives the same result, so a row's tail overlaps.
inline void keyed8_wasm(uint16_t* d, const uint16_t* s, v128_t lo, v128_t hi) {
  const v128_t v = wasm_v128_load(s);
  const v128_t keep = wasm_v128_or(wasm_u16x8_lt(v, lo), wasm_u16x8_gt(v, hi));
  if (!wasm_v128_any_true(keep)) return;
  if (wasm_i16x8_all_true(keep)) {
    wasm_v128_store(d, v);
    return;
  }
  wasm_v128_store(d, wasm_v128_bitselect(v, wasm_v128_load(d), keep));
}

void copy_keyed_wasm(uint8_t* d, ptrdiff_t d_pitch, const uint8_t* s, ptrdiff_t s_pitch, int32_t n, int32_t h,
                     uint16_t lo, uint16_t hi) {
  const v128_t vlo = wasm_i16x8_splat((int16_t)lo), vhi = wasm_i16x8_splat((int16_t)hi);
  for (int32_t y = 0; y < h; ++y, d += d_pitch, s += s_pitch) {
    uint16_t* dp = (uint16_t*)d;
    const uint16_t* sp = (const uint16_t*)s;
    int32_t x = 0;
    for (; x + 8 <= n; x += 8) keyed8_wasm(dp + x, sp + x, vlo, vhi);
    if (x == n) continue;
    if (n >= 8) {
      keyed8_wasm(dp + n - 8, sp + n - 8, vlo, vhi);
    } else {
      for (; x < n; ++x)
        if (sp[x] < lo || sp[x] > hi) dp[x] = sp[x];
    }
  }
}

}  // namespace

void pix_wasm_kernels(PixKernels* k) {
  k->fill = fill_wasm;
  k->copy_keyed = copy_keyed_wasm;
}
#endif
