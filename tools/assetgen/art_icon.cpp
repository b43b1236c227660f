// The program's icon, drawn once at 768 x 768 from the game's own art (its nebula, stars and
// the second ship's model) and reduced by whole factors, so every size is a clean box average.
#include <cmath>

#include "tools/assetgen/art.h"
#include "tools/assetgen/art_space.h"
#include "tools/assetgen/canvas.h"

void ag_icon_ship(AgCanvas* c, float scale, float cx, float cy, float roll);  // art_ships.cpp

namespace {

constexpr int kMaster = 768;  // a multiple of 256 (the nebula wraps on it) divisible by 48 and 128

void ag_icon_master(AgCanvas* c) {
  ag_canvas_init(c, kMaster, kMaster);
  AgNebula n{0x1C0A001u,
             ag_rgb(0.012f, 0.016f, 0.045f),
             ag_rgb(0.32f, 0.12f, 0.50f),
             ag_rgb(0.10f, 0.30f, 0.60f),
             0.9f,
             0.7f,
             0.0f};
  ag_space_nebula(c, &n);
  ag_space_stars(c, 0x1C0A57u, 160, 1.0f);
  ag_space_planet(c, 110.0f, 700.0f, 190.0f, ag_rgb(0.35f, 0.55f, 0.85f), ag_rgb(0.10f, 0.22f, 0.55f),
                  ag_rgb(0.35f, 0.6f, 1.0f), 0x1C0AB1u);
  // The ship fills most of the width, nose up, banking a little.
  ag_icon_ship(c, kMaster * 0.84f / 90.0f, kMaster * 0.5f, kMaster * 0.47f, 0.22f);
  // Rounded corners and a thin cold rim, antialiased by distance to the rounded square.
  const float radius = kMaster * 0.19f, half = kMaster * 0.5f, rim = kMaster * 0.012f;
  for (int y = 0; y < kMaster; ++y) {
    for (int x = 0; x < kMaster; ++x) {
      float qx = std::fabs(x + 0.5f - half) - (half - radius),
            qy = std::fabs(y + 0.5f - half) - (half - radius);
      float ox = qx > 0 ? qx : 0, oy = qy > 0 ? qy : 0;
      float d = std::sqrt(ox * ox + oy * oy) + std::fmin(std::fmax(qx, qy), 0.0f) - radius;  // < 0 inside
      float* p = ag_at(c, x, y);
      p[3] *= ag_clamp01(0.5f - d);
      float edge = ag_clamp01(1.0f - std::fabs(d + rim) / rim);
      if (edge > 0) ag_add_light(c, x, y, ag_rgb(0.35f, 0.55f, 1.0f), 0.6f * edge * p[3]);
    }
  }
}

}  // namespace

std::vector<uint8_t> ag_art_icon(int size) {
  static AgCanvas master;  // drawn once for all sizes
  if (master.w == 0) ag_icon_master(&master);
  std::vector<uint8_t> out;
  if (size <= 0 || kMaster % size != 0) return out;
  const int f = kMaster / size;
  out.resize((size_t)size * (size_t)size * 4);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      // Box average with premultiplied alpha, so transparent corners do not darken the rim.
      float r = 0, g = 0, b = 0, a = 0;
      for (int j = 0; j < f; ++j)
        for (int i = 0; i < f; ++i) {
          const float* p = ag_at(&master, x * f + i, y * f + j);
          r += p[0] * p[3];
          g += p[1] * p[3];
          b += p[2] * p[3];
          a += p[3];
        }
      uint8_t* o = &out[((size_t)y * (size_t)size + (size_t)x) * 4];
      float inv = a > 0 ? 1.0f / a : 0.0f;
      o[0] = (uint8_t)std::lround(255.0f * ag_clamp01(r * inv));
      o[1] = (uint8_t)std::lround(255.0f * ag_clamp01(g * inv));
      o[2] = (uint8_t)std::lround(255.0f * ag_clamp01(b * inv));
      o[3] = (uint8_t)std::lround(255.0f * ag_clamp01(a / (float)(f * f)));
    }
  }
  return out;
}
