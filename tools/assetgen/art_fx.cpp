// The laser and the three explosions. An explosion is a flash that grows, turns to fire and then
// to smoke, with sparks thrown out; its last frame is empty. Fading uses screen-door dithering,
// since a keyed sprite has no partial transparency.
#include <cmath>

#include "tools/assetgen/art.h"
#include "tools/assetgen/art_common.h"
#include "tools/assetgen/noise.h"

namespace {

struct AgBlast {
  int fw, fh, frames, width;
  float radius;  // fireball radius at full size, pixels
  float aspect;  // horizontal stretch of the fireball
  int sparks;
  bool ring;     // a shock ring races ahead of the fire
  uint32_t seed;
};

// Fire by temperature: white, yellow, orange, red, then soot.
AgColour ag_fire(float t) {
  static const float stops[6] = {0.0f, 0.18f, 0.38f, 0.58f, 0.80f, 1.0f};
  static const AgColour cols[6] = {{0.16f, 0.14f, 0.16f}, {0.32f, 0.20f, 0.16f}, {0.78f, 0.20f, 0.05f},
                                   {1.0f, 0.52f, 0.08f},  {1.0f, 0.86f, 0.40f}, {1.0f, 1.0f, 0.92f}};
  t = ag_clamp01(t);
  for (int i = 1; i < 6; ++i)
    if (t <= stops[i]) return ag_mix(cols[i - 1], cols[i], (t - stops[i - 1]) / (stops[i] - stops[i - 1]));
  return cols[5];
}

AgPixels ag_blast_strip(const AgBlast* b) {
  AgCanvas c;
  ag_canvas_init(&c, b->width, b->fh);
  AgRng rng{b->seed};
  struct Spark {
    float dx, dy, speed, life, len;
  };
  std::vector<Spark> sparks((size_t)b->sparks);
  for (Spark& s : sparks) {
    float a = ag_rng_range(&rng, 0, 2 * AG_PI);
    s.dx = std::cos(a) * b->aspect;
    s.dy = std::sin(a);
    s.speed = ag_rng_range(&rng, 0.7f, 1.45f);
    s.life = ag_rng_range(&rng, 0.35f, 0.85f);
    s.len = ag_rng_range(&rng, 2.0f, 5.0f);
  }
  float cx0 = b->fw * 0.5f, cy0 = b->fh * 0.5f;
  for (int f = 0; f < b->frames; ++f) {
    float t = (float)f / (float)(b->frames - 1);
    float fade = std::pow(1.0f - t, 0.6f);
    float grow = 1.0f - std::pow(1.0f - t, 2.6f);
    float R = b->radius * (0.22f + 0.78f * grow);
    int ox = f * b->fw;
    for (int y = 0; y < b->fh; ++y) {
      for (int x = 0; x < b->fw; ++x) {
        float px = (x + 0.5f - cx0) / b->aspect, py = y + 0.5f - cy0;
        float r = std::sqrt(px * px + py * py);
        if (r > R * 1.6f + 2.0f) continue;
        float n = ag_fbm3(px * 0.09f * 40.0f / b->radius, py * 0.09f * 40.0f / b->radius, t * 2.2f, b->seed, 3, 0.55f);
        float rr = r / (R * (1.0f + 0.45f * n));
        float density = 1.0f - ag_smooth(0.55f, 1.0f, rr);
        // The cloud breaks up as it cools.
        float holes = ag_fbm3(px * 0.16f * 40.0f / b->radius, py * 0.16f * 40.0f / b->radius, t * 1.5f + 4.0f, b->seed + 3, 2, 0.5f);
        density *= ag_clamp01(1.2f - t * t * 1.1f + holes * 1.5f * t);
        float temp = (1.2f - rr * 0.7f) * std::pow(1.0f - t, 0.9f) * 1.3f + 0.2f * n;
        float a = density * fade;
        if (a > 0.0f) ag_blend(&c, ox + x, y, ag_fire(temp), a);
        // The flash: white light growing over the first frames and gone by a third.
        if (t < 0.34f) {
          float rf = b->radius * (0.35f + 1.2f * t);
          float k = (1.0f - t / 0.34f) * (1.0f - ag_smooth(0.0f, rf, r));
          ag_add_light(&c, ox + x, y, ag_rgb(1.0f, 0.97f, 0.85f), k);
        }
        if (b->ring) {
          float rring = b->radius * 1.25f * std::pow(t, 0.55f) + 2.0f;
          float d = std::fabs(r - rring);
          float k = (1.0f - ag_smooth(0.0f, 2.5f + 3.0f * t, d)) * std::pow(1.0f - t, 1.6f);
          if (k > 0.0f) ag_add_light(&c, ox + x, y, ag_rgb(1.0f, 0.75f, 0.45f), k * 0.9f);
        }
      }
    }
    for (const Spark& s : sparks) {
      if (t > s.life) continue;
      float k = 1.0f - t / s.life;
      float dist = b->radius * 1.5f * s.speed * (1.0f - std::pow(1.0f - t, 1.8f)) + 2.0f;
      AgColour col = ag_mix(ag_rgb(1.0f, 0.45f, 0.1f), ag_rgb(1.0f, 0.95f, 0.7f), k);
      for (int i = 0; i < 6; ++i) {
        float back = s.len * (float)i / 5.0f;
        float sx = cx0 + s.dx * (dist - back), sy = cy0 + s.dy * (dist - back);
        int ix = (int)std::floor(sx), iy = (int)std::floor(sy);
        if (ix < 0 || iy < 0 || ix >= b->fw || iy >= b->fh) continue;
        ag_blend(&c, ox + ix, iy, col, i < 2 ? 1.0f : k * (1.0f - 0.12f * (float)i) + 0.2f);
      }
    }
  }
  return ag_finalise(&c, AG_KEY_MAGENTA, AG_ALPHA_DITHER, AG_SPRITE_EDGE);
}

}  // namespace

AgPixels ag_art_blow_big() {
  AgBlast b{128, 105, 16, 2048, 40.0f, 1.2f, 34, false, 0xB10B0001u};
  return ag_blast_strip(&b);
}
AgPixels ag_art_blow_small() {
  AgBlast b{50, 50, 21, 1052, 18.0f, 1.0f, 14, false, 0xB10B0002u};
  return ag_blast_strip(&b);
}
AgPixels ag_art_blow_aster() {
  AgBlast b{120, 120, 10, 1200, 34.0f, 1.0f, 36, true, 0xB10B0003u};
  return ag_blast_strip(&b);
}

// The beam: a white-hot core in a blue sheath, tapered at both ends; the eighth column is key.
AgPixels ag_art_laser() {
  AgCanvas c;
  ag_canvas_init(&c, 8, 37);
  for (int y = 0; y < 37; ++y) {
    float t = (y + 0.5f) / 37.0f;
    float taper = ag_smooth(0.0f, 0.16f, t) * (1.0f - ag_smooth(0.80f, 1.0f, t));
    float head = 1.0f - 0.35f * t;  // brightest at the front
    for (int x = 0; x < 7; ++x) {
      float d = std::fabs((float)x - 3.0f) / (0.35f + 3.3f * taper);
      float i = std::exp(-d * d * 1.4f) * head;
      if (taper <= 0.02f) i = 0.0f;
      AgColour col = ag_mix(ag_rgb(0.10f, 0.25f, 1.0f), ag_rgb(0.55f, 0.85f, 1.0f), ag_smooth(0.25f, 0.6f, i));
      col = ag_mix(col, ag_rgb(1.0f, 1.0f, 1.0f), ag_smooth(0.6f, 0.85f, i));
      ag_blend(&c, x, y, col, i > 0.12f ? 1.0f : 0.0f);
    }
  }
  return ag_finalise(&c, AG_KEY_MAGENTA, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}
