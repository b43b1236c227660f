// The two player ships: one model each, rendered at rising roll angles so the strip reads as
// one craft banking from full left (frame 0) through level to full right.
#include <cmath>

#include "tools/assetgen/art.h"
#include "tools/assetgen/art_common.h"
#include "tools/assetgen/mesh.h"

namespace {

// A lofted body along y: elliptic sections, pointed nose, blunt tail.
struct AgBody {
  float x, y0, y1, w, h, z;
  float nose;  // fraction of the length over which the nose opens up
  float tail;  // width kept at the tail, as a fraction
  AgColour col, stripe;
  float spec, emit;
};

void ag_body_fn(const void* ctx, float u, float v, AgVertex* o) {
  const AgBody* b = (const AgBody*)ctx;
  float t = v;
  float r = std::sqrt(ag_clamp01(t / b->nose));
  r *= 1.0f - (1.0f - b->tail) * ag_smooth(0.55f, 1.0f, t);
  float a = u * 2.0f * AG_PI;
  o->x = b->x + b->w * r * std::cos(a);
  o->z = b->z + b->h * r * std::sin(a);
  o->y = b->y0 + (b->y1 - b->y0) * t;
  float panel = std::fmod(t * 7.0f, 1.0f) < 0.08f ? 0.8f : 1.0f;
  float side = std::fabs(std::cos(a));
  o->albedo = ag_scale(ag_mix(b->col, b->stripe, ag_smooth(0.55f, 0.9f, side) * 0.8f), panel);
  o->spec = b->spec;
  o->emit = b->emit;
}

// A wing: a thin lens-shaped section swept between the root and tip chords.
struct AgWing {
  float root_x, root_le, root_te;
  float tip_x, tip_le, tip_te;
  float thick_root, thick_tip, z, dihedral;
  AgColour col, edge, tip_col;
  float side;  // -1 left, +1 right
};

void ag_wing_fn(const void* ctx, float u, float v, AgVertex* o) {
  const AgWing* w = (const AgWing*)ctx;
  float a = u * 2.0f * AG_PI;
  float c = (1.0f - std::cos(a)) * 0.5f;  // 0 leading edge .. 1 trailing edge
  float le = w->root_le + (w->tip_le - w->root_le) * v, te = w->root_te + (w->tip_te - w->root_te) * v;
  float x = w->root_x + (w->tip_x - w->root_x) * v;
  float th = w->thick_root + (w->thick_tip - w->thick_root) * v;
  o->x = w->side * x;
  o->y = le + (te - le) * c;
  o->z = w->z + w->dihedral * v + th * std::sin(a) * (1.0f - c * 0.6f);
  AgColour col = ag_mix(w->col, w->edge, 1.0f - ag_smooth(0.0f, 0.28f, c));
  col = ag_mix(col, w->tip_col, ag_smooth(0.78f, 0.92f, v));
  float panel = std::fmod(v * 4.0f, 1.0f) < 0.07f ? 0.82f : 1.0f;
  o->albedo = ag_scale(col, panel);
  o->spec = 0.35f;
  o->emit = 0.0f;
}

// An upright fin along y at x: thin, rising from z0 by height.
struct AgFin {
  float x, le, te, top_le, top_te, z0, height, thick;
  AgColour col;
};

void ag_fin_fn(const void* ctx, float u, float v, AgVertex* o) {
  const AgFin* f = (const AgFin*)ctx;
  float a = u * 2.0f * AG_PI;
  float c = (1.0f - std::cos(a)) * 0.5f;
  float le = f->le + (f->top_le - f->le) * v, te = f->te + (f->top_te - f->te) * v;
  o->x = f->x + f->thick * (1.0f - v * 0.6f) * std::sin(a);
  o->y = le + (te - le) * c;
  o->z = f->z0 + f->height * v;
  o->albedo = ag_mix(f->col, ag_rgb(0.35f, 0.45f, 1.0f), ag_smooth(0.7f, 1.0f, v));
  o->spec = 0.3f;
  o->emit = 0.0f;
}

void ag_add_wings(AgMesh* m, AgWing w) {
  for (float side : {-1.0f, 1.0f}) {
    w.side = side;
    ag_mesh_add_surface(m, 16, 8, true, ag_wing_fn, &w);
  }
}

// Exhaust: a hot core with a tail of blue flame pointing down the screen.
void ag_exhaust(AgCanvas* c, int fx, int fy, int fw, int fh, float x, float y, float r, float len) {
  for (int py = 0; py < fh; ++py) {
    for (int px = 0; px < fw; ++px) {
      float dx = (px + 0.5f - x) / r, dy = (py + 0.5f - y);
      float along = dy > 0.0f ? dy / len : dy / (r * 0.8f);
      float d = std::sqrt(dx * dx / (1.0f + 0.0f * along) + along * along);
      float k = 1.0f - d;
      if (k <= 0.0f) continue;
      AgColour col = ag_mix(ag_rgb(0.15f, 0.35f, 1.0f), ag_rgb(0.9f, 0.97f, 1.0f), ag_smooth(0.35f, 0.9f, k));
      ag_add_light(c, fx + px, fy + py, col, ag_smooth(0.0f, 0.45f, k));
    }
  }
}

struct AgShipModel {
  AgMesh mesh;
  float engines[4][3];  // nozzle positions in model space
  float engine_r[4], engine_len[4];
  int engine_count;
};

void ag_ship1_model(AgShipModel* s) {
  AgColour hull = ag_rgb(0.70f, 0.76f, 0.90f), dark = ag_rgb(0.25f, 0.30f, 0.55f);
  AgBody body{0, -26, 22, 8.0f, 6.0f, 0, 0.35f, 0.7f, hull, dark, 0.45f, 0.0f};
  ag_mesh_add_surface(&s->mesh, 20, 16, true, ag_body_fn, &body);
  AgBody canopy{0, -17, -1, 3.6f, 3.0f, 4.4f, 0.45f, 0.25f, ag_rgb(0.10f, 0.28f, 0.55f), ag_rgb(0.05f, 0.12f, 0.3f), 1.0f, 0.12f};
  ag_mesh_add_surface(&s->mesh, 16, 10, true, ag_body_fn, &canopy);
  AgWing wing{5, -4, 17, 43, 9, 19, 2.4f, 0.7f, -0.5f, 1.2f, hull, ag_rgb(0.22f, 0.45f, 1.0f), ag_rgb(0.55f, 0.32f, 0.95f), 1};
  ag_add_wings(&s->mesh, wing);
  for (float side : {-1.0f, 1.0f}) {
    AgBody pod{side * 19.5f, -2, 24, 3.4f, 3.4f, 0.5f, 0.3f, 0.85f, ag_rgb(0.48f, 0.50f, 0.62f), ag_rgb(0.20f, 0.24f, 0.45f), 0.5f, 0.0f};
    ag_mesh_add_surface(&s->mesh, 14, 10, true, ag_body_fn, &pod);
    AgFin fin{side * 5.5f, 9, 20, 16, 22, 3.0f, 6.5f, 0.9f, hull};
    ag_mesh_add_surface(&s->mesh, 8, 4, true, ag_fin_fn, &fin);
  }
  s->engine_count = 3;
  float e[3][3] = {{-19.5f, 24.5f, 0.5f}, {19.5f, 24.5f, 0.5f}, {0, 22.5f, 0}};
  for (int i = 0; i < 3; ++i) {
    for (int k = 0; k < 3; ++k) s->engines[i][k] = e[i][k];
    s->engine_r[i] = i == 2 ? 4.6f : 3.6f;
    s->engine_len[i] = i == 2 ? 9.0f : 7.0f;
  }
}

void ag_ship0_model(AgShipModel* s) {
  AgColour hull = ag_rgb(0.76f, 0.76f, 0.90f), dark = ag_rgb(0.36f, 0.28f, 0.62f);
  AgBody body{0, -27, 21, 6.2f, 5.0f, 0, 0.42f, 0.75f, hull, dark, 0.5f, 0.0f};
  ag_mesh_add_surface(&s->mesh, 18, 16, true, ag_body_fn, &body);
  AgBody canopy{0, -16, -3, 2.8f, 2.4f, 3.6f, 0.45f, 0.3f, ag_rgb(0.10f, 0.30f, 0.60f), ag_rgb(0.05f, 0.12f, 0.3f), 1.0f, 0.12f};
  ag_mesh_add_surface(&s->mesh, 14, 8, true, ag_body_fn, &canopy);
  AgWing wing{4, -2, 18, 27, 14, 20, 2.0f, 0.6f, -0.3f, 0.8f, hull, ag_rgb(0.45f, 0.30f, 0.95f), ag_rgb(0.25f, 0.55f, 1.0f), 1};
  ag_add_wings(&s->mesh, wing);
  AgWing canard{3, -14, -8, 11, -9, -6, 1.2f, 0.4f, 0.2f, 0.3f, hull, ag_rgb(0.45f, 0.30f, 0.95f), ag_rgb(0.45f, 0.30f, 0.95f), 1};
  ag_add_wings(&s->mesh, canard);
  for (float side : {-1.0f, 1.0f}) {
    AgBody pod{side * 6.5f, 4, 22, 2.6f, 2.8f, -0.5f, 0.3f, 0.85f, ag_rgb(0.48f, 0.50f, 0.62f), ag_rgb(0.22f, 0.22f, 0.45f), 0.5f, 0.0f};
    ag_mesh_add_surface(&s->mesh, 12, 8, true, ag_body_fn, &pod);
  }
  AgFin fin{0, 8, 19, 15, 21, 3.5f, 5.5f, 0.8f, hull};
  ag_mesh_add_surface(&s->mesh, 8, 4, true, ag_fin_fn, &fin);
  s->engine_count = 2;
  float e[2][3] = {{-6.5f, 22.5f, -0.5f}, {6.5f, 22.5f, -0.5f}};
  for (int i = 0; i < 2; ++i) {
    for (int k = 0; k < 3; ++k) s->engines[i][k] = e[i][k];
    s->engine_r[i] = 3.4f;
    s->engine_len[i] = 8.0f;
  }
}

AgPixels ag_ship_strip(void (*model)(AgShipModel*), int fw, int fh, int frames, int level, float max_roll,
                       float cy, int width) {
  AgCanvas c;
  ag_canvas_init(&c, width, fh);
  AgLight light = ag_default_light();
  for (int f = 0; f < frames; ++f) {
    AgShipModel s;
    model(&s);
    // Frame 0 is full left: left wing down (positive roll about the long axis).
    float roll = max_roll * (float)(level - f) / (float)level;
    float r[9];
    ag_rot_y(-roll, r);
    ag_mesh_rotate(&s.mesh, r);
    float cx = fw * 0.5f;
    for (int e = 0; e < s.engine_count; ++e) {
      float x = s.engines[e][0], y = s.engines[e][1], z = s.engines[e][2];
      float rx = r[0] * x + r[1] * y + r[2] * z, ry = r[3] * x + r[4] * y + r[5] * z;
      ag_exhaust(&c, f * fw, 0, fw, fh, cx + rx, cy + ry, s.engine_r[e] * (0.6f + 0.4f * std::fabs(r[0])), s.engine_len[e]);
    }
    ag_render_mesh(&c, f * fw, 0, fw, fh, &s.mesh, 1.0f, cx, cy, &light, 4);
  }
  return ag_finalise(&c, AG_KEY_MAGENTA, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}

}  // namespace

void ag_icon_ship(AgCanvas* c, float scale, float cx, float cy, float roll) {
  AgShipModel s;
  ag_ship1_model(&s);
  float r[9];
  ag_rot_y(-roll, r);
  ag_mesh_rotate(&s.mesh, r);
  for (int e = 0; e < s.engine_count; ++e) {
    float x = s.engines[e][0], y = s.engines[e][1], z = s.engines[e][2];
    float rx = r[0] * x + r[1] * y + r[2] * z, ry = r[3] * x + r[4] * y + r[5] * z;
    ag_exhaust(c, 0, 0, c->w, c->h, cx + rx * scale, cy + ry * scale, s.engine_r[e] * scale, s.engine_len[e] * scale);
  }
  AgLight light = ag_default_light();
  ag_render_mesh(c, 0, 0, c->w, c->h, &s.mesh, scale, cx, cy, &light, 4);
}

AgPixels ag_art_ship0() { return ag_ship_strip(ag_ship0_model, 60, 60, 5, 2, 0.75f, 29.0f, 300); }
AgPixels ag_art_ship1() { return ag_ship_strip(ag_ship1_model, 90, 57, 15, 7, 0.85f, 28.0f, 1352); }
