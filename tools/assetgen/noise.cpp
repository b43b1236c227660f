#include "tools/assetgen/noise.h"

#include <cmath>

static uint32_t ag_hash(uint32_t x, uint32_t y, uint32_t z, uint32_t seed) {
  uint32_t h = seed * 0x27D4EB2Fu ^ x * 0x85EBCA6Bu ^ y * 0xC2B2AE35u ^ z * 0x165667B1u;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  h *= 0x297A2D39u;
  h ^= h >> 15;
  return h;
}

static float ag_fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

static float ag_grad2(uint32_t h, float dx, float dy) {
  static const float gx[8] = {1, -1, 0, 0, 0.7071f, -0.7071f, 0.7071f, -0.7071f};
  static const float gy[8] = {0, 0, 1, -1, 0.7071f, 0.7071f, -0.7071f, -0.7071f};
  return gx[h & 7] * dx + gy[h & 7] * dy;
}

static int ag_wrap(int v, int period) {
  if (period <= 0) return v;
  int m = v % period;
  return m < 0 ? m + period : m;
}

float ag_noise2(float x, float y, uint32_t seed, int period_x, int period_y) {
  float fx = std::floor(x), fy = std::floor(y);
  int ix = (int)fx, iy = (int)fy;
  float dx = x - fx, dy = y - fy;
  int x0 = ag_wrap(ix, period_x), x1 = ag_wrap(ix + 1, period_x);
  int y0 = ag_wrap(iy, period_y), y1 = ag_wrap(iy + 1, period_y);
  float n00 = ag_grad2(ag_hash((uint32_t)x0, (uint32_t)y0, 0, seed), dx, dy);
  float n10 = ag_grad2(ag_hash((uint32_t)x1, (uint32_t)y0, 0, seed), dx - 1, dy);
  float n01 = ag_grad2(ag_hash((uint32_t)x0, (uint32_t)y1, 0, seed), dx, dy - 1);
  float n11 = ag_grad2(ag_hash((uint32_t)x1, (uint32_t)y1, 0, seed), dx - 1, dy - 1);
  float u = ag_fade(dx), v = ag_fade(dy);
  float a = n00 + (n10 - n00) * u, b = n01 + (n11 - n01) * u;
  return (a + (b - a) * v) * 1.41f;
}

static float ag_grad3(uint32_t h, float dx, float dy, float dz) {
  switch (h % 12) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx + dz;
    case 5: return -dx + dz;
    case 6: return dx - dz;
    case 7: return -dx - dz;
    case 8: return dy + dz;
    case 9: return -dy + dz;
    case 10: return dy - dz;
    default: return -dy - dz;
  }
}

float ag_noise3(float x, float y, float z, uint32_t seed) {
  float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
  uint32_t ix = (uint32_t)(int)fx, iy = (uint32_t)(int)fy, iz = (uint32_t)(int)fz;
  float dx = x - fx, dy = y - fy, dz = z - fz;
  float u = ag_fade(dx), v = ag_fade(dy), w = ag_fade(dz);
  float c[2][2][2];
  for (int k = 0; k < 2; ++k)
    for (int j = 0; j < 2; ++j)
      for (int i = 0; i < 2; ++i)
        c[k][j][i] = ag_grad3(ag_hash(ix + i, iy + j, iz + k, seed), dx - i, dy - j, dz - k);
  float x00 = c[0][0][0] + (c[0][0][1] - c[0][0][0]) * u, x10 = c[0][1][0] + (c[0][1][1] - c[0][1][0]) * u;
  float x01 = c[1][0][0] + (c[1][0][1] - c[1][0][0]) * u, x11 = c[1][1][0] + (c[1][1][1] - c[1][1][0]) * u;
  float y0 = x00 + (x10 - x00) * v, y1 = x01 + (x11 - x01) * v;
  return (y0 + (y1 - y0) * w) * 0.95f;
}

float ag_fbm2(float x, float y, uint32_t seed, int octaves, int period_x, int period_y, float gain) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * ag_noise2(x, y, seed + (uint32_t)o * 101u, period_x, period_y);
    norm += amp;
    amp *= gain;
    x *= 2.0f;
    y *= 2.0f;
    period_x *= 2;
    period_y *= 2;
  }
  return sum / norm;
}

float ag_fbm3(float x, float y, float z, uint32_t seed, int octaves, float gain) {
  float sum = 0.0f, amp = 1.0f, norm = 0.0f;
  for (int o = 0; o < octaves; ++o) {
    sum += amp * ag_noise3(x, y, z, seed + (uint32_t)o * 101u);
    norm += amp;
    amp *= gain;
    x *= 2.0f;
    y *= 2.0f;
    z *= 2.0f;
  }
  return sum / norm;
}
