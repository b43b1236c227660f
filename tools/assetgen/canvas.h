// Drawing surface of the generator: straight (not premultiplied) RGBA in floats, 0..1, and the
// small deterministic random source every picture and sound draws from.
#pragma once
#include <cmath>
#include <cstdint>
#include <vector>

#include "tools/assetgen/writers.h"

// splitmix64: our own, so the output never depends on the C library's rand().
struct AgRng {
  uint64_t state;
};
inline uint32_t ag_rng_u32(AgRng* r) {
  uint64_t z = (r->state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return (uint32_t)((z ^ (z >> 31)) >> 32);
}
inline float ag_rng_unit(AgRng* r) { return (float)(ag_rng_u32(r) >> 8) * (1.0f / 16777216.0f); }
inline float ag_rng_range(AgRng* r, float lo, float hi) { return lo + (hi - lo) * ag_rng_unit(r); }

struct AgColour {
  float r, g, b;
};
inline AgColour ag_rgb(float r, float g, float b) { return AgColour{r, g, b}; }
inline AgColour ag_rgb8(int r, int g, int b) { return AgColour{r / 255.0f, g / 255.0f, b / 255.0f}; }
inline AgColour ag_mix(AgColour a, AgColour b, float t) {
  return AgColour{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}
inline AgColour ag_scale(AgColour a, float s) { return AgColour{a.r * s, a.g * s, a.b * s}; }
inline AgColour ag_add(AgColour a, AgColour b) { return AgColour{a.r + b.r, a.g + b.g, a.b + b.b}; }

inline float ag_clamp01(float v) { return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v); }
inline float ag_smooth(float e0, float e1, float x) {
  float t = ag_clamp01((x - e0) / (e1 - e0));
  return t * t * (3.0f - 2.0f * t);
}
constexpr float AG_PI = 3.14159265358979f;

struct AgCanvas {
  int w = 0, h = 0;
  std::vector<float> px;  // r, g, b, a per pixel, rows top-down
};
inline void ag_canvas_init(AgCanvas* c, int w, int h) {
  c->w = w;
  c->h = h;
  c->px.assign((size_t)w * (size_t)h * 4, 0.0f);
}
inline float* ag_at(AgCanvas* c, int x, int y) { return &c->px[((size_t)y * (size_t)c->w + (size_t)x) * 4]; }
inline const float* ag_at(const AgCanvas* c, int x, int y) {
  return &c->px[((size_t)y * (size_t)c->w + (size_t)x) * 4];
}

// Paints colour with coverage a over the pixel (source-over on straight alpha).
inline void ag_blend(AgCanvas* c, int x, int y, AgColour col, float a) {
  if (x < 0 || y < 0 || x >= c->w || y >= c->h || a <= 0.0f) return;
  if (a > 1.0f) a = 1.0f;
  float* p = ag_at(c, x, y);
  float out_a = a + p[3] * (1.0f - a);
  if (out_a <= 0.0f) return;
  float k = p[3] * (1.0f - a);
  p[0] = (col.r * a + p[0] * k) / out_a;
  p[1] = (col.g * a + p[1] * k) / out_a;
  p[2] = (col.b * a + p[2] * k) / out_a;
  p[3] = out_a;
}
// Adds light (glows, flares) without changing coverage beyond a.
inline void ag_add_light(AgCanvas* c, int x, int y, AgColour col, float a) {
  if (x < 0 || y < 0 || x >= c->w || y >= c->h || a <= 0.0f) return;
  float* p = ag_at(c, x, y);
  float na = p[3] + a * (1.0f - p[3]);
  if (na <= 0.0f) return;
  // Light adds to what the pixel shows over black.
  float r = p[0] * p[3] + col.r * a, g = p[1] * p[3] + col.g * a, b = p[2] * p[3] + col.b * a;
  p[0] = r / na;
  p[1] = g / na;
  p[2] = b / na;
  p[3] = na;
}

// 4 x 4 Bayer threshold in (0, 1).
inline float ag_bayer(int x, int y) {
  static const int m[16] = {0, 8, 2, 10, 12, 4, 14, 6, 3, 11, 1, 9, 15, 7, 13, 5};
  return (m[(y & 3) * 4 + (x & 3)] + 0.5f) / 16.0f;
}

enum AgAlphaMode {
  AG_ALPHA_THRESHOLD,  // crisp edges: coverage of at least a third is solid
  AG_ALPHA_DITHER,     // screen-door transparency for smoke and fading fire
};

// To 5.6.5 words with ordered dithering; uncovered pixels become the key, covered ones are
// shaded toward `edge` by their coverage and kept off the key.
inline std::vector<uint16_t> ag_finalise(const AgCanvas* c, AgKey key, AgAlphaMode mode, AgColour edge) {
  std::vector<uint16_t> out((size_t)c->w * (size_t)c->h);
  uint16_t keyv = key == AG_KEY_MAGENTA ? AG_KEY_MAGENTA_565 : 0;
  for (int y = 0; y < c->h; ++y) {
    for (int x = 0; x < c->w; ++x) {
      const float* p = ag_at(c, x, y);
      float a = p[3];
      float d = ag_bayer(x, y);
      bool solid = mode == AG_ALPHA_THRESHOLD ? a >= 0.34f : a > d * 0.96f + 0.02f;
      if (!solid) {
        out[(size_t)y * c->w + x] = keyv;
        continue;
      }
      float k = mode == AG_ALPHA_THRESHOLD ? a : 1.0f;
      if (k > 1.0f) k = 1.0f;
      float r = p[0] * k + edge.r * (1.0f - k), g = p[1] * k + edge.g * (1.0f - k),
            b = p[2] * k + edge.b * (1.0f - k);
      int ri = (int)std::floor(ag_clamp01(r) * 31.0f + d), gi = (int)std::floor(ag_clamp01(g) * 63.0f + d),
          bi = (int)std::floor(ag_clamp01(b) * 31.0f + d);
      if (ri > 31) ri = 31;
      if (gi > 63) gi = 63;
      if (bi > 31) bi = 31;
      uint16_t v = (uint16_t)((ri << 11) | (gi << 5) | bi);
      out[(size_t)y * c->w + x] = ag_key_safe(v, key);
    }
  }
  return out;
}
