// The enemies: two asteroids that turn once about a tilted axis over their strip (so the loop has
// no seam in either playing direction), lit from the upper left; two small hostile craft, one
// spinning, one pulsing.
#include <cmath>
#include <map>

#include "tools/assetgen/art.h"
#include "tools/assetgen/art_common.h"
#include "tools/assetgen/mesh.h"
#include "tools/assetgen/noise.h"

namespace {

struct AgCrater {
  float c[3];
  float radius, depth;
};

struct AgRockStyle {
  uint32_t seed;
  int craters;
  float bumps;          // amplitude of the noise relief
  float stretch[3];     // body proportions
  AgColour light, dark;  // albedo range
};

void ag_normalise(float* v) {
  float l = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  v[0] /= l;
  v[1] /= l;
  v[2] /= l;
}

// Unit icosphere subdivided `levels` times.
void ag_icosphere(AgMesh* m, int levels) {
  const float t = 1.6180339f;
  float base[12][3] = {{-1, t, 0}, {1, t, 0}, {-1, -t, 0}, {1, -t, 0}, {0, -1, t}, {0, 1, t},
                       {0, -1, -t}, {0, 1, -t}, {t, 0, -1}, {t, 0, 1}, {-t, 0, -1}, {-t, 0, 1}};
  static const uint32_t faces[60] = {0, 11, 5, 0, 5, 1, 0, 1, 7, 0, 7, 10, 0, 10, 11, 1, 5, 9, 5, 11, 4,
                                     11, 10, 2, 10, 7, 6, 7, 1, 8, 3, 9, 4, 3, 4, 2, 3, 2, 6, 3, 6, 8,
                                     3, 8, 9, 4, 9, 5, 2, 4, 11, 6, 2, 10, 8, 6, 7, 9, 8, 1};
  m->v.clear();
  m->tri.assign(faces, faces + 60);
  for (auto& b : base) {
    AgVertex v{};
    v.x = b[0];
    v.y = b[1];
    v.z = b[2];
    float p[3] = {v.x, v.y, v.z};
    ag_normalise(p);
    v.x = p[0];
    v.y = p[1];
    v.z = p[2];
    m->v.push_back(v);
  }
  for (int l = 0; l < levels; ++l) {
    std::map<uint64_t, uint32_t> mid;
    std::vector<uint32_t> next;
    auto midpoint = [&](uint32_t a, uint32_t b) {
      uint64_t key = a < b ? ((uint64_t)a << 32 | b) : ((uint64_t)b << 32 | a);
      auto it = mid.find(key);
      if (it != mid.end()) return it->second;
      AgVertex v{};
      float p[3] = {m->v[a].x + m->v[b].x, m->v[a].y + m->v[b].y, m->v[a].z + m->v[b].z};
      ag_normalise(p);
      v.x = p[0];
      v.y = p[1];
      v.z = p[2];
      m->v.push_back(v);
      uint32_t idx = (uint32_t)m->v.size() - 1;
      mid[key] = idx;
      return idx;
    };
    for (size_t i = 0; i < m->tri.size(); i += 3) {
      uint32_t a = m->tri[i], b = m->tri[i + 1], c = m->tri[i + 2];
      uint32_t ab = midpoint(a, b), bc = midpoint(b, c), ca = midpoint(c, a);
      next.insert(next.end(), {a, ab, ca, b, bc, ab, c, ca, bc, ab, bc, ca});
    }
    m->tri.swap(next);
  }
}

// The rock in its own frame: relief from noise and craters, albedo darker in the craters.
void ag_rock(AgMesh* m, const AgRockStyle* st) {
  ag_icosphere(m, 3);
  AgRng rng{st->seed};
  std::vector<AgCrater> craters((size_t)st->craters);
  for (AgCrater& c : craters) {
    for (float& k : c.c) k = ag_rng_range(&rng, -1, 1);
    ag_normalise(c.c);
    c.radius = ag_rng_range(&rng, 0.22f, 0.55f);
    c.depth = ag_rng_range(&rng, 0.08f, 0.18f);
  }
  for (AgVertex& v : m->v) {
    float r = 1.0f + st->bumps * ag_fbm3(v.x * 1.3f, v.y * 1.3f, v.z * 1.3f, st->seed, 4, 0.5f);
    float floor_dark = 0.0f;
    for (const AgCrater& c : craters) {
      float d = std::acos(std::fmax(-1.0f, std::fmin(1.0f, v.x * c.c[0] + v.y * c.c[1] + v.z * c.c[2])));
      float q = d / c.radius;
      if (q < 1.0f) {
        r -= c.depth * (1.0f - q * q);
        floor_dark = std::fmax(floor_dark, 1.0f - q);
      }
      r += c.depth * 0.6f * std::exp(-(q - 1.0f) * (q - 1.0f) * 40.0f);
    }
    float tone = ag_clamp01(0.5f + 0.9f * ag_fbm3(v.x * 3.0f, v.y * 3.0f, v.z * 3.0f, st->seed + 7, 3, 0.55f));
    tone *= 1.0f - 0.35f * ag_smooth(0.0f, 0.6f, floor_dark);
    v.albedo = ag_mix(st->dark, st->light, tone);
    v.spec = 0.06f;
    v.emit = 0.0f;
    v.x *= r * st->stretch[0];
    v.y *= r * st->stretch[1];
    v.z *= r * st->stretch[2];
  }
  ag_mesh_smooth_normals(m, 0, 0);
}

AgPixels ag_rock_strip(const AgRockStyle* st, int fw, int fh, int frames, int width, float tilt) {
  AgMesh body;
  ag_rock(&body, st);
  float radius = 0.0f;
  for (const AgVertex& v : body.v) radius = std::fmax(radius, std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z));
  float scale = (std::fmin((float)fw, (float)fh) * 0.5f - 0.6f) / radius;
  AgCanvas c;
  ag_canvas_init(&c, width, fh);
  AgLight light = ag_default_light();
  // A low sun from the left: a clear terminator shows the turning relief.
  light.dir[0] = -0.80f;
  light.dir[1] = -0.35f;
  light.dir[2] = 0.50f;
  light.key = ag_rgb(1.45f, 1.35f, 1.2f);
  light.ambient = ag_rgb(0.04f, 0.04f, 0.08f);
  light.rim = ag_rgb(0.10f, 0.14f, 0.32f);
  for (int f = 0; f < frames; ++f) {
    AgMesh m = body;
    float spin[9], tx[9], tz[9], r[9];
    ag_rot_y(2.0f * AG_PI * (float)f / (float)frames, spin);
    ag_rot_x(tilt, tx);
    ag_rot_z(0.4f, tz);
    ag_rot_mul(tx, spin, r);
    ag_rot_mul(tz, r, r);
    ag_mesh_rotate(&m, r);
    ag_render_mesh(&c, f * fw, 0, fw, fh, &m, scale, fw * 0.5f, fh * 0.5f, &light, 4);
  }
  return ag_finalise(&c, AG_KEY_MAGENTA, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}

void ag_mesh_append(AgMesh* dst, const AgMesh* src) {
  uint32_t base = (uint32_t)dst->v.size();
  dst->v.insert(dst->v.end(), src->v.begin(), src->v.end());
  for (uint32_t i : src->tri) dst->tri.push_back(base + i);
}

// A dome of radius r at height z0, flattened by squash.
struct AgDome {
  float r, squash, z0;
  AgColour col, glow;
  float emit, spec, glow_from;
};
void ag_dome_fn(const void* ctx, float u, float v, AgVertex* o) {
  const AgDome* d = (const AgDome*)ctx;
  float a = u * 2.0f * AG_PI, e = v * AG_PI * 0.5f;  // v 0: the top, 1: the rim
  float s = std::sin(e);
  o->x = d->r * s * std::cos(a);
  o->y = d->r * s * std::sin(a);
  o->z = d->z0 + d->r * d->squash * std::cos(e);
  float g = 1.0f - ag_smooth(d->glow_from, d->glow_from + 0.25f, v);
  o->albedo = ag_mix(d->col, d->glow, g);
  o->emit = d->emit * g;
  o->spec = d->spec;
}

// A blade: a thin curved plate from the hub outward, swept by `sweep` radians at the tip.
struct AgBlade {
  float r0, r1, width, thick, sweep;
  AgColour col, tip;
};
void ag_blade_fn(const void* ctx, float u, float v, AgVertex* o) {
  const AgBlade* b = (const AgBlade*)ctx;
  float a = u * 2.0f * AG_PI;
  float c = std::cos(a) * 0.5f;  // across the blade
  float rad = b->r0 + (b->r1 - b->r0) * v;
  float w = b->width * (1.0f - 0.7f * v);
  float ang = b->sweep * v * v + c * w / rad;
  o->x = rad * std::cos(ang);
  o->y = rad * std::sin(ang);
  o->z = b->thick * (1.0f - v * 0.7f) * std::sin(a);
  o->albedo = ag_mix(b->col, b->tip, ag_smooth(0.6f, 1.0f, v));
  o->spec = 0.4f;
  o->emit = 0.25f * ag_smooth(0.75f, 1.0f, v);
}

AgPixels ag_craft_strip(int kind) {
  int frames = kind == 0 ? 15 : 10, width = kind == 0 ? 300 : 200;
  AgCanvas c;
  ag_canvas_init(&c, width, 20);
  AgLight light = ag_default_light();
  for (int f = 0; f < frames; ++f) {
    float phase = (float)f / (float)frames;
    AgMesh m;
    if (kind == 0) {
      // Three swept blades round a glowing hub; a third of a turn over the strip.
      AgDome hub{3.6f, 0.8f, 0.5f, ag_rgb(0.45f, 0.12f, 0.20f), ag_rgb(1.0f, 0.55f, 0.15f), 0.95f, 0.5f, 0.35f};
      ag_mesh_add_surface(&m, 16, 6, true, ag_dome_fn, &hub);
      for (int k = 0; k < 3; ++k) {
        AgMesh blade;
        AgBlade b{2.5f, 9.3f, 5.5f, 1.2f, 0.9f, ag_rgb(0.80f, 0.22f, 0.32f), ag_rgb(1.0f, 0.62f, 0.30f)};
        ag_mesh_add_surface(&blade, 8, 8, true, ag_blade_fn, &b);
        float r[9];
        ag_rot_z(2.0f * AG_PI * (float)k / 3.0f, r);
        ag_mesh_rotate(&blade, r);
        ag_mesh_append(&m, &blade);
      }
      float r[9];
      ag_rot_z(-2.0f * AG_PI / 3.0f * phase, r);
      ag_mesh_rotate(&m, r);
    } else {
      // An armoured orb with four fins and an eye whose glow swells and fades once per loop.
      float pulse = 0.5f + 0.5f * std::cos(2.0f * AG_PI * phase);
      AgColour eye = ag_mix(ag_rgb(0.55f, 0.15f, 0.55f), ag_rgb(1.0f, 0.75f, 1.0f), pulse);
      AgDome orb{6.0f, 0.9f, -1.0f, ag_rgb(0.35f, 0.30f, 0.48f), eye, 0.6f + 0.4f * pulse, 0.7f, 0.18f + 0.12f * pulse};
      ag_mesh_add_surface(&m, 20, 8, true, ag_dome_fn, &orb);
      for (int k = 0; k < 4; ++k) {
        AgMesh fin;
        AgBlade b{4.5f, 9.5f, 3.5f, 0.8f, 0.0f, ag_rgb(0.30f, 0.26f, 0.42f), ag_mix(ag_rgb(0.5f, 0.2f, 0.6f), ag_rgb(1.0f, 0.5f, 0.9f), pulse)};
        ag_mesh_add_surface(&fin, 8, 6, true, ag_blade_fn, &b);
        float r[9];
        ag_rot_z(AG_PI * 0.5f * (float)k + AG_PI * 0.25f, r);
        ag_mesh_rotate(&fin, r);
        ag_mesh_append(&m, &fin);
      }
      float r[9];
      ag_rot_z(AG_PI * 0.5f * phase, r);
      ag_mesh_rotate(&m, r);
    }
    ag_render_mesh(&c, f * 20, 0, 20, 20, &m, 1.0f, 10.0f, 10.0f, &light, 4);
  }
  return ag_finalise(&c, AG_KEY_MAGENTA, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}

}  // namespace

AgPixels ag_art_asteroid1() {
  AgRockStyle st{0xA57E801u, 7, 0.26f, {1.0f, 0.95f, 1.0f}, ag_rgb(0.80f, 0.68f, 0.55f), ag_rgb(0.30f, 0.24f, 0.20f)};
  return ag_rock_strip(&st, 29, 29, 18, 524, 0.5f);
}

AgPixels ag_art_asteroid2() {
  AgRockStyle st{0xA57E802u, 9, 0.30f, {0.92f, 1.12f, 0.95f}, ag_rgb(0.72f, 0.66f, 0.68f), ag_rgb(0.24f, 0.21f, 0.26f)};
  return ag_rock_strip(&st, 40, 45, 20, 800, 0.35f);
}

AgPixels ag_art_small1() { return ag_craft_strip(0); }
AgPixels ag_art_small2() { return ag_craft_strip(1); }
