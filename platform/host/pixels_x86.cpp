// SSE2, AVX2 and AVX-512 pixel loops. Each is compiled for its own instruction set and only
// called when the CPU has it (pixel_kernels.cpp decides). A keyed copy reads the source once and
// writes only the pixels that are not the key, so it runs at the speed of a plain copy whatever
// the picture holds; the last partial vector of a row is done again at the row's end (copies and
// conversions never alias, so doing a pixel twice gives the same result) or masked.
#include "platform/host/pixels_x86.h"

#if PIX_HAVE_X86
// GCC 12 warns inside its own AVX-512 headers (their _mm512_undefined_* helpers), not in this code.
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#include <cstring>

#define T_SSE2 __attribute__((target("sse2")))
#define T_AVX2 __attribute__((target("avx2")))
#define T_AVX512 __attribute__((target("avx512f,avx512bw")))

namespace {

// Colours whose two bytes are equal (black above all) are memset's job, which is as fast as it gets.
bool fill_as_bytes(uint8_t* d, ptrdiff_t pitch, int32_t n, int32_t h, uint16_t c) {
  if ((c >> 8) != (c & 255)) return false;
  for (int32_t y = 0; y < h; ++y, d += pitch) std::memset(d, c & 255, (size_t)n * 2);
  return true;
}

// ---------------------------------------------------------------- SSE2

T_SSE2 void fill_sse2(uint8_t* d, ptrdiff_t pitch, int32_t n, int32_t h, uint16_t c) {
  if (fill_as_bytes(d, pitch, n, h, c)) return;
  const __m128i v = _mm_set1_epi16((short)c);
  for (int32_t y = 0; y < h; ++y, d += pitch) {
    uint16_t* p = (uint16_t*)d;
    int32_t x = 0;
    for (; x + 8 <= n; x += 8) _mm_storeu_si128((__m128i*)(p + x), v);
    for (; x < n; ++x) p[x] = c;
  }
}

// 0xFFFF in each lane whose pixel is a key colour: (v - lo) <= span, unsigned.
T_SSE2 inline __m128i key_sse2(__m128i v, __m128i lo, __m128i span) {
  return _mm_cmpeq_epi16(_mm_subs_epu16(_mm_sub_epi16(v, lo), span), _mm_setzero_si128());
}

T_SSE2 inline void keyed8_sse2(uint16_t* d, const uint16_t* s, __m128i lo, __m128i span) {
  const __m128i v = _mm_loadu_si128((const __m128i*)s);
  const __m128i key = key_sse2(v, lo, span);
  const int m = _mm_movemask_epi8(key);
  if (m == 0) {
    _mm_storeu_si128((__m128i*)d, v);
  } else if (m != 0xFFFF) {
    const __m128i o = _mm_loadu_si128((const __m128i*)d);
    _mm_storeu_si128((__m128i*)d, _mm_or_si128(_mm_and_si128(key, o), _mm_andnot_si128(key, v)));
  }
}

T_SSE2 void copy_keyed_sse2(uint8_t* d, ptrdiff_t d_pitch, const uint8_t* s, ptrdiff_t s_pitch, int32_t n,
                            int32_t h, uint16_t lo, uint16_t hi) {
  const __m128i vlo = _mm_set1_epi16((short)lo), vspan = _mm_set1_epi16((short)(uint16_t)(hi - lo));
  for (int32_t y = 0; y < h; ++y, d += d_pitch, s += s_pitch) {
    uint16_t* dp = (uint16_t*)d;
    const uint16_t* sp = (const uint16_t*)s;
    int32_t x = 0;
    for (; x + 8 <= n; x += 8) keyed8_sse2(dp + x, sp + x, vlo, vspan);
    if (x == n) continue;
    if (n >= 8) {
      keyed8_sse2(dp + n - 8, sp + n - 8, vlo, vspan);
    } else {
      for (; x < n; ++x)
        if ((uint16_t)(sp[x] - lo) > (uint16_t)(hi - lo)) dp[x] = sp[x];
    }
  }
}

// Four 32-bit lanes, each holding one RGB565 pixel, widened to X8R8G8B8.
T_SSE2 inline __m128i xrgb4_sse2(__m128i v, __m128i alpha) {
  const __m128i r = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, _mm_set1_epi32(0xF800)), 8),
                                 _mm_slli_epi32(_mm_and_si128(v, _mm_set1_epi32(0xE000)), 3));
  const __m128i g = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, _mm_set1_epi32(0x07E0)), 5),
                                 _mm_srli_epi32(_mm_and_si128(v, _mm_set1_epi32(0x0600)), 1));
  const __m128i b = _mm_or_si128(_mm_slli_epi32(_mm_and_si128(v, _mm_set1_epi32(0x001F)), 3),
                                 _mm_srli_epi32(_mm_and_si128(v, _mm_set1_epi32(0x001C)), 2));
  return _mm_or_si128(_mm_or_si128(r, g), _mm_or_si128(b, alpha));
}

T_SSE2 inline void xrgb8_sse2(uint32_t* d, const uint16_t* s, __m128i alpha) {
  const __m128i v = _mm_loadu_si128((const __m128i*)s), z = _mm_setzero_si128();
  _mm_storeu_si128((__m128i*)d, xrgb4_sse2(_mm_unpacklo_epi16(v, z), alpha));
  _mm_storeu_si128((__m128i*)(d + 4), xrgb4_sse2(_mm_unpackhi_epi16(v, z), alpha));
}

void to_xrgb_tail(uint32_t* d, const uint16_t* s, int32_t n, uint32_t alpha) {
  for (int32_t x = 0; x < n; ++x) {
    uint32_t v = s[x];
    d[x] = ((v & 0xF800u) << 8) | ((v & 0xE000u) << 3) | ((v & 0x07E0u) << 5) | ((v & 0x0600u) >> 1) |
           ((v & 0x001Fu) << 3) | ((v & 0x001Cu) >> 2) | alpha;
  }
}

T_SSE2 void to_xrgb_sse2(uint32_t* d, const uint16_t* s, int32_t n, uint32_t alpha) {
  const __m128i a = _mm_set1_epi32((int)alpha);
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) xrgb8_sse2(d + x, s + x, a);
  if (x == n) return;
  if (n >= 8)
    xrgb8_sse2(d + n - 8, s + n - 8, a);
  else
    to_xrgb_tail(d + x, s + x, n - x, alpha);
}

void scale_row_plain(uint32_t* d, const uint32_t* s, const int32_t* map, int32_t n) {
  for (int32_t x = 0; x < n; ++x) d[x] = s[map[x]];
}

// ---------------------------------------------------------------- AVX2

T_AVX2 void fill_avx2(uint8_t* d, ptrdiff_t pitch, int32_t n, int32_t h, uint16_t c) {
  if (fill_as_bytes(d, pitch, n, h, c)) return;
  const __m256i v = _mm256_set1_epi16((short)c);
  for (int32_t y = 0; y < h; ++y, d += pitch) {
    uint16_t* p = (uint16_t*)d;
    int32_t x = 0;
    for (; x + 16 <= n; x += 16) _mm256_storeu_si256((__m256i*)(p + x), v);
    if (x < n && n >= 16) {
      _mm256_storeu_si256((__m256i*)(p + n - 16), v);
      continue;
    }
    for (; x < n; ++x) p[x] = c;
  }
}

T_AVX2 inline void keyed16_avx2(uint16_t* d, const uint16_t* s, __m256i lo, __m256i span) {
  const __m256i v = _mm256_loadu_si256((const __m256i*)s);
  const __m256i key =
      _mm256_cmpeq_epi16(_mm256_subs_epu16(_mm256_sub_epi16(v, lo), span), _mm256_setzero_si256());
  const int m = _mm256_movemask_epi8(key);
  if (m == 0) {
    _mm256_storeu_si256((__m256i*)d, v);
  } else if (m != -1) {
    const __m256i o = _mm256_loadu_si256((const __m256i*)d);
    _mm256_storeu_si256((__m256i*)d, _mm256_blendv_epi8(v, o, key));
  }
}

T_AVX2 void copy_keyed_avx2(uint8_t* d, ptrdiff_t d_pitch, const uint8_t* s, ptrdiff_t s_pitch, int32_t n,
                            int32_t h, uint16_t lo, uint16_t hi) {
  if (n < 16) return copy_keyed_sse2(d, d_pitch, s, s_pitch, n, h, lo, hi);
  const __m256i vlo = _mm256_set1_epi16((short)lo), vspan = _mm256_set1_epi16((short)(uint16_t)(hi - lo));
  for (int32_t y = 0; y < h; ++y, d += d_pitch, s += s_pitch) {
    uint16_t* dp = (uint16_t*)d;
    const uint16_t* sp = (const uint16_t*)s;
    int32_t x = 0;
    for (; x + 16 <= n; x += 16) keyed16_avx2(dp + x, sp + x, vlo, vspan);
    if (x < n) keyed16_avx2(dp + n - 16, sp + n - 16, vlo, vspan);
  }
}

T_AVX2 inline __m256i xrgb8_avx2(__m256i v, __m256i alpha) {
  const __m256i r = _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(0xF800)), 8),
                                    _mm256_slli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(0xE000)), 3));
  const __m256i g = _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(0x07E0)), 5),
                                    _mm256_srli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(0x0600)), 1));
  const __m256i b = _mm256_or_si256(_mm256_slli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(0x001F)), 3),
                                    _mm256_srli_epi32(_mm256_and_si256(v, _mm256_set1_epi32(0x001C)), 2));
  return _mm256_or_si256(_mm256_or_si256(r, g), _mm256_or_si256(b, alpha));
}

T_AVX2 inline void xrgb16_avx2(uint32_t* d, const uint16_t* s, __m256i alpha) {
  const __m128i a = _mm_loadu_si128((const __m128i*)s), b = _mm_loadu_si128((const __m128i*)(s + 8));
  _mm256_storeu_si256((__m256i*)d, xrgb8_avx2(_mm256_cvtepu16_epi32(a), alpha));
  _mm256_storeu_si256((__m256i*)(d + 8), xrgb8_avx2(_mm256_cvtepu16_epi32(b), alpha));
}

T_AVX2 void to_xrgb_avx2(uint32_t* d, const uint16_t* s, int32_t n, uint32_t alpha) {
  if (n < 16) return to_xrgb_sse2(d, s, n, alpha);
  const __m256i a = _mm256_set1_epi32((int)alpha);
  int32_t x = 0;
  for (; x + 16 <= n; x += 16) xrgb16_avx2(d + x, s + x, a);
  if (x < n) xrgb16_avx2(d + n - 16, s + n - 16, a);
}

// Eight outputs whose sources lie within eight pixels (any enlargement) are one permute of the
// eight source pixels from the first one on.
T_AVX2 void scale_row_avx2(uint32_t* d, const uint32_t* s, const int32_t* map, int32_t n) {
  int32_t x = 0;
  for (; x + 8 <= n; x += 8) {
    const int32_t b = map[x];
    if (map[x + 7] - b < 8) {
      const __m256i idx =
          _mm256_sub_epi32(_mm256_loadu_si256((const __m256i*)(map + x)), _mm256_set1_epi32(b));
      _mm256_storeu_si256((__m256i*)(d + x),
                          _mm256_permutevar8x32_epi32(_mm256_loadu_si256((const __m256i*)(s + b)), idx));
    } else {
      scale_row_plain(d + x, s, map + x, 8);
    }
  }
  scale_row_plain(d + x, s, map + x, n - x);
}

// ---------------------------------------------------------------- AVX-512 (F and BW)

inline __mmask32 tail_mask(int32_t n) { return (__mmask32)((1ull << (n & 31)) - 1); }

T_AVX512 void fill_avx512(uint8_t* d, ptrdiff_t pitch, int32_t n, int32_t h, uint16_t c) {
  if (fill_as_bytes(d, pitch, n, h, c)) return;
  const __m512i v = _mm512_set1_epi16((short)c);
  const int32_t full = n & ~31;
  const __mmask32 tail = tail_mask(n);
  for (int32_t y = 0; y < h; ++y, d += pitch) {
    uint16_t* p = (uint16_t*)d;
    for (int32_t x = 0; x < full; x += 32) _mm512_storeu_si512(p + x, v);
    if (tail) _mm512_mask_storeu_epi16(p + full, tail, v);
  }
}

// Only the pixels that are not the key are written: no read of the destination at all.
T_AVX512 void copy_keyed_avx512(uint8_t* d, ptrdiff_t d_pitch, const uint8_t* s, ptrdiff_t s_pitch, int32_t n,
                                int32_t h, uint16_t lo, uint16_t hi) {
  const __m512i vlo = _mm512_set1_epi16((short)lo), vspan = _mm512_set1_epi16((short)(uint16_t)(hi - lo));
  const int32_t full = n & ~31;
  const __mmask32 tail = tail_mask(n);
  for (int32_t y = 0; y < h; ++y, d += d_pitch, s += s_pitch) {
    uint16_t* dp = (uint16_t*)d;
    const uint16_t* sp = (const uint16_t*)s;
    for (int32_t x = 0; x < full; x += 32) {
      const __m512i v = _mm512_loadu_si512(sp + x);
      const __mmask32 key = _mm512_cmple_epu16_mask(_mm512_sub_epi16(v, vlo), vspan);
      if (key == 0)
        _mm512_storeu_si512(dp + x, v);
      else
        _mm512_mask_storeu_epi16(dp + x, (__mmask32)~key, v);
    }
    if (tail) {
      const __m512i v = _mm512_maskz_loadu_epi16(tail, sp + full);
      const __mmask32 key = _mm512_cmple_epu16_mask(_mm512_sub_epi16(v, vlo), vspan);
      _mm512_mask_storeu_epi16(dp + full, tail & (__mmask32)~key, v);
    }
  }
}

T_AVX512 inline __m512i xrgb16_avx512(__m512i v, __m512i alpha) {
  const __m512i r = _mm512_or_si512(_mm512_slli_epi32(_mm512_and_si512(v, _mm512_set1_epi32(0xF800)), 8),
                                    _mm512_slli_epi32(_mm512_and_si512(v, _mm512_set1_epi32(0xE000)), 3));
  const __m512i g = _mm512_or_si512(_mm512_slli_epi32(_mm512_and_si512(v, _mm512_set1_epi32(0x07E0)), 5),
                                    _mm512_srli_epi32(_mm512_and_si512(v, _mm512_set1_epi32(0x0600)), 1));
  const __m512i b = _mm512_or_si512(_mm512_slli_epi32(_mm512_and_si512(v, _mm512_set1_epi32(0x001F)), 3),
                                    _mm512_srli_epi32(_mm512_and_si512(v, _mm512_set1_epi32(0x001C)), 2));
  return _mm512_or_si512(_mm512_or_si512(r, g), _mm512_or_si512(b, alpha));
}

T_AVX512 void to_xrgb_avx512(uint32_t* d, const uint16_t* s, int32_t n, uint32_t alpha) {
  const __m512i a = _mm512_set1_epi32((int)alpha);
  const int32_t full = n & ~31;
  for (int32_t x = 0; x < full; x += 32) {
    const __m512i v = _mm512_loadu_si512(s + x);
    _mm512_storeu_si512(d + x, xrgb16_avx512(_mm512_cvtepu16_epi32(_mm512_castsi512_si256(v)), a));
    _mm512_storeu_si512(d + x + 16, xrgb16_avx512(_mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(v, 1)), a));
  }
  const __mmask32 tail = tail_mask(n);
  if (!tail) return;
  const __m512i v = _mm512_maskz_loadu_epi16(tail, s + full);
  _mm512_mask_storeu_epi32(d + full, (__mmask16)(tail & 0xFFFF),
                           xrgb16_avx512(_mm512_cvtepu16_epi32(_mm512_castsi512_si256(v)), a));
  _mm512_mask_storeu_epi32(d + full + 16, (__mmask16)(tail >> 16),
                           xrgb16_avx512(_mm512_cvtepu16_epi32(_mm512_extracti64x4_epi64(v, 1)), a));
}

// Sixteen outputs from sixteen source pixels, or thirty-two for reductions down to a half.
T_AVX512 void scale_row_avx512(uint32_t* d, const uint32_t* s, const int32_t* map, int32_t n) {
  int32_t x = 0;
  for (; x + 16 <= n; x += 16) {
    const int32_t b = map[x], span = map[x + 15] - b;
    const __m512i idx = _mm512_sub_epi32(_mm512_loadu_si512(map + x), _mm512_set1_epi32(b));
    if (span < 16) {
      _mm512_storeu_si512(d + x, _mm512_permutexvar_epi32(idx, _mm512_loadu_si512(s + b)));
    } else if (span < 32) {
      _mm512_storeu_si512(
          d + x, _mm512_permutex2var_epi32(_mm512_loadu_si512(s + b), idx, _mm512_loadu_si512(s + b + 16)));
    } else {
      scale_row_plain(d + x, s, map + x, 16);
    }
  }
  scale_row_plain(d + x, s, map + x, n - x);
}

}  // namespace

void pix_x86_kernels(int level, PixKernels* k) {
  if (level >= PIX_AVX512)
    *k = PixKernels{fill_avx512, copy_keyed_avx512, to_xrgb_avx512, scale_row_avx512};
  else if (level == PIX_AVX2)
    *k = PixKernels{fill_avx2, copy_keyed_avx2, to_xrgb_avx2, scale_row_avx2};
  else
    *k = PixKernels{fill_sse2, copy_keyed_sse2, to_xrgb_sse2, scale_row_plain};
}

#endif
