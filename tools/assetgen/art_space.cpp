#include "tools/assetgen/art_space.h"

#include <cmath>
#include <vector>

#include "tools/assetgen/art.h"
#include "tools/assetgen/art_common.h"
#include "tools/assetgen/noise.h"

// The band winds once across the picture's height, so it too meets itself at the wrap.
static float ag_band_centre(float y, float h) { return 512.0f + 230.0f * std::sin(2.0f * AG_PI * y / h) + 60.0f * std::sin(4.0f * AG_PI * y / h + 1.0f); }

void ag_space_nebula(AgCanvas* c, const AgNebula* n) {
  // Clouds are smooth: evaluated on a quarter-size grid and interpolated.
  int gw = c->w / 4 + 2, gh = c->h / 4;
  std::vector<AgColour> grid((size_t)gw * gh);
  int py = c->h / 256;
  for (int gy = 0; gy < gh; ++gy) {
    for (int gx = 0; gx < gw; ++gx) {
      float X = gx * 4.0f, Y = gy * 4.0f;
      float a = ag_fbm2(X / 256.0f, Y / 256.0f, n->seed, 6, 0, py, 0.55f);
      float b = ag_fbm2(X / 128.0f + 17.0f, Y / 128.0f, n->seed + 50, 5, 0, py * 2, 0.6f);
      float mask = 1.0f;
      if (n->band > 0.0f) {
        float d = (X - ag_band_centre(Y, (float)c->h)) / n->band;
        mask = std::exp(-d * d) * 0.85f + 0.15f;
      }
      float ka = ag_smooth(-0.15f, 0.65f, a) * mask;
      float kb = ag_smooth(0.0f, 0.7f, b) * ag_smooth(-0.2f, 0.5f, a) * mask;
      AgColour col = n->base;
      col = ag_add(col, ag_scale(n->cloud_a, ka * n->strength_a));
      col = ag_add(col, ag_scale(n->cloud_b, kb * n->strength_b));
      // Dark dust lanes cut through the brighter clouds.
      float dust = ag_smooth(0.15f, 0.55f, ag_fbm2(X / 96.0f, Y / 96.0f, n->seed + 130, 4, 0, c->h / 96, 0.5f));
      col = ag_scale(col, 1.0f - 0.55f * dust * ka);
      grid[(size_t)gy * gw + gx] = col;
    }
  }
  for (int y = 0; y < c->h; ++y) {
    int g0 = y / 4, g1 = (g0 + 1) % gh;
    float fy = (y % 4) / 4.0f;
    for (int x = 0; x < c->w; ++x) {
      int h0 = x / 4;
      float fx = (x % 4) / 4.0f;
      AgColour top = ag_mix(grid[(size_t)g0 * gw + h0], grid[(size_t)g0 * gw + h0 + 1], fx);
      AgColour bot = ag_mix(grid[(size_t)g1 * gw + h0], grid[(size_t)g1 * gw + h0 + 1], fx);
      AgColour col = ag_mix(top, bot, fy);
      float* p = ag_at(c, x, y);
      p[0] = col.r;
      p[1] = col.g;
      p[2] = col.b;
      p[3] = 1.0f;
    }
  }
}

static void ag_star_light(AgCanvas* c, int x, int y, AgColour col, float k) {
  y = ((y % c->h) + c->h) % c->h;
  if (x < 0 || x >= c->w) return;
  ag_add_light(c, x, y, col, k);
}

void ag_space_stars(AgCanvas* c, uint32_t seed, int count, float brightness) {
  AgRng rng{seed};
  for (int i = 0; i < count; ++i) {
    float x = ag_rng_range(&rng, 0, (float)c->w), y = ag_rng_range(&rng, 0, (float)c->h);
    float u = ag_rng_unit(&rng);
    float b = std::pow(u, 6.0f) * brightness;  // most stars faint, a few bright
    float hue = ag_rng_unit(&rng);
    AgColour col = hue < 0.55f ? ag_rgb(0.75f, 0.85f, 1.0f) : (hue < 0.85f ? ag_rgb(1.0f, 1.0f, 1.0f) : ag_rgb(1.0f, 0.88f, 0.7f));
    int ix = (int)x, iy = (int)y;
    float core = 0.25f + b * 1.2f;
    ag_star_light(c, ix, iy, col, ag_clamp01(core));
    if (b > 0.2f) {
      // Glow and a faint cross flare.
      int r = (int)(2.0f + b * 5.0f);
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          if (!dx && !dy) continue;
          float d = std::sqrt((float)(dx * dx + dy * dy));
          float k = b * 0.6f * std::exp(-d * d / (0.3f + b * 1.5f));
          if ((dx == 0 || dy == 0) && b > 0.45f) k += b * 0.55f * (1.0f - d / (r + 1.0f));
          ag_star_light(c, ix + dx, iy + dy, col, ag_clamp01(k));
        }
    }
  }
}

void ag_space_planet(AgCanvas* c, float cx, float cy, float r, AgColour land, AgColour sea, AgColour air,
                     uint32_t seed) {
  float L[3] = {-0.74f, -0.42f, 0.52f};
  int x0 = (int)(cx - r * 1.15f), x1 = (int)(cx + r * 1.15f) + 1, y0 = (int)(cy - r * 1.15f), y1 = (int)(cy + r * 1.15f) + 1;
  if (x0 < 0) x0 = 0;
  if (y0 < 0) y0 = 0;
  if (x1 > c->w) x1 = c->w;
  if (y1 > c->h) y1 = c->h;
  for (int y = y0; y < y1; ++y)
    for (int x = x0; x < x1; ++x) {
      float dx = (x + 0.5f - cx) / r, dy = (y + 0.5f - cy) / r;
      float d2 = dx * dx + dy * dy;
      float d = std::sqrt(d2);
      float lit_side = ag_clamp01(-(dx * L[0] + dy * L[1]) * -1.0f + 0.3f);
      if (d < 1.0f) {
        float nz = std::sqrt(1.0f - d2);
        float diff = ag_clamp01(dx * L[0] + dy * L[1] + nz * L[2]);
        // Features on the sphere: noise in the surface's own coordinates, banded like a gas giant.
        float lat = dy, lon = std::atan2(dx, nz);
        float n = ag_fbm2(lon * 3.0f, lat * 9.0f + 2.0f * ag_fbm2(lon * 2.0f, lat * 2.0f, seed + 1, 3, 0, 0, 0.5f), seed, 5, 0, 0, 0.5f);
        AgColour base = ag_mix(sea, land, ag_smooth(-0.2f, 0.3f, n));
        AgColour col = ag_scale(base, 0.02f + 1.25f * std::pow(diff, 1.3f));
        float rim = std::pow(1.0f - nz, 3.0f);
        col = ag_add(col, ag_scale(air, rim * (0.3f + 0.9f * diff)));
        float edge = ag_clamp01((1.0f - d) * r);  // antialiased limb
        ag_blend(c, x, y, col, edge);
      } else if (d < 1.15f) {
        float k = std::pow(1.0f - (d - 1.0f) / 0.15f, 2.0f) * (0.15f + 0.85f * lit_side);
        ag_add_light(c, x, y, air, k * 0.7f);
      }
    }
}

AgPixels ag_art_background(int index) {
  AgCanvas c;
  ag_canvas_init(&c, 1024, 768);
  if (index == 0) {
    // Cold violet and blue clouds over deep navy.
    AgNebula n{0x5EA0001u, ag_rgb(0.012f, 0.016f, 0.045f), ag_rgb(0.32f, 0.12f, 0.50f), ag_rgb(0.10f, 0.30f, 0.60f), 0.7f, 0.55f, 0.0f};
    ag_space_nebula(&c, &n);
    ag_space_stars(&c, 0x57A40001u, 1600, 1.0f);
  } else {
    // A winding river of teal and magenta light, the galaxy's arm seen edge-on.
    AgNebula n{0x5EA0002u, ag_rgb(0.010f, 0.018f, 0.040f), ag_rgb(0.06f, 0.36f, 0.50f), ag_rgb(0.50f, 0.12f, 0.45f), 1.0f, 0.8f, 170.0f};
    ag_space_nebula(&c, &n);
    ag_space_stars(&c, 0x57A40002u, 2200, 0.9f);
    ag_space_planet(&c, 820.0f, 250.0f, 46.0f, ag_rgb(0.55f, 0.42f, 0.55f), ag_rgb(0.25f, 0.30f, 0.55f), ag_rgb(0.35f, 0.55f, 1.0f), 0x91A7E7u);
  }
  return ag_finalise(&c, AG_KEY_BLACK, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}
