// The scalar reference of the pixel loops and the choice of level.
#include "platform/host/pixels.h"

#include <cstdlib>
#include <cstring>

#include "platform/host/pixels_wasm.h"
#include "platform/host/pixels_x86.h"

namespace {

void fill_scalar(uint8_t* d, ptrdiff_t d_pitch, int32_t n, int32_t h, uint16_t colour) {
  for (int32_t y = 0; y < h; ++y, d += d_pitch) {
    uint16_t* p = (uint16_t*)d;
    for (int32_t x = 0; x < n; ++x) p[x] = colour;
  }
}

void copy_keyed_scalar(uint8_t* d, ptrdiff_t d_pitch, const uint8_t* s, ptrdiff_t s_pitch, int32_t n,
                       int32_t h, uint16_t lo, uint16_t hi) {
  for (int32_t y = 0; y < h; ++y, d += d_pitch, s += s_pitch) {
    uint16_t* dp = (uint16_t*)d;
    const uint16_t* sp = (const uint16_t*)s;
    for (int32_t x = 0; x < n; ++x) {
      uint16_t v = sp[x];
      if (v < lo || v > hi) dp[x] = v;
    }
  }
}

void to_xrgb_scalar(uint32_t* d, const uint16_t* s, int32_t n, uint32_t alpha) {
  for (int32_t x = 0; x < n; ++x) {
    uint32_t v = s[x];
    d[x] = ((v & 0xF800u) << 8) | ((v & 0xE000u) << 3) | ((v & 0x07E0u) << 5) | ((v & 0x0600u) >> 1) |
           ((v & 0x001Fu) << 3) | ((v & 0x001Cu) >> 2) | alpha;
  }
}

void scale_row_scalar(uint32_t* d, const uint32_t* s, const int32_t* map, int32_t n) {
  for (int32_t x = 0; x < n; ++x) d[x] = s[map[x]];
}

constexpr PixKernels kScalar = {fill_scalar, copy_keyed_scalar, to_xrgb_scalar, scale_row_scalar};

int g_level = PIX_SCALAR;

int detect() {
  int best = PIX_SCALAR;
#if PIX_HAVE_X86
  __builtin_cpu_init();
  if (__builtin_cpu_supports("sse2")) best = PIX_SSE2;
  if (best == PIX_SSE2 && __builtin_cpu_supports("avx2")) best = PIX_AVX2;
  if (best == PIX_AVX2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
    best = PIX_AVX512;
#endif
#if PIX_HAVE_WASM
  best = PIX_SSE2;  // WebAssembly's 128-bit lanes, when the build enables them
#endif
  if (const char* want = std::getenv("TARVELLIN_SIMD")) {
    for (int l = PIX_SCALAR; l < best; ++l)
      if (std::strcmp(want, pix_level_name(l)) == 0) best = l;
  }
  return best;
}

}  // namespace

PixKernels pix_k = kScalar;

int pix_best_level() {
  static const int best = detect();
  return best;
}

int pix_set_level(int level) {
  if (level > pix_best_level()) level = pix_best_level();
  if (level < PIX_SCALAR) level = PIX_SCALAR;
  pix_k = kScalar;
#if PIX_HAVE_X86
  if (level >= PIX_SSE2) pix_x86_kernels(level, &pix_k);
#endif
#if PIX_HAVE_WASM
  if (level >= PIX_SSE2) pix_wasm_kernels(&pix_k);
#endif
  g_level = level;
  return level;
}

int pix_level() { return g_level; }

const char* pix_level_name(int level) {
  static const char* const names[] = {"scalar", "sse2", "avx2", "avx512"};
  return level >= PIX_SCALAR && level <= PIX_AVX512 ? names[level] : "?";
}

const PixKernels& pix_reference() { return kScalar; }

// Chosen before main, so that no frame ever sees the scalar loops by accident.
[[maybe_unused]] static const int g_initial_level = pix_set_level(PIX_AVX512);
