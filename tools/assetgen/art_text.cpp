#include "tools/assetgen/art_text.h"

#include <cmath>
#include <string>

#include "platform/host/fontraster.h"
#include "tools/assetgen/writers.h"

void ag_mask_init(AgMask* m, int w, int h) {
  m->w = w;
  m->h = h;
  m->a.assign((size_t)w * (size_t)h, 0.0f);
}

static void ag_span(void* ctx, int x, int y, int len, const unsigned char* coverage) {
  AgMask* m = (AgMask*)ctx;
  for (int i = 0; i < len; ++i) {
    if (x + i < 0 || y < 0 || x + i >= m->w || y >= m->h) continue;
    float& p = m->a[(size_t)y * m->w + x + i];
    float c = (coverage ? coverage[i] : 255) / 255.0f;
    if (c > p) p = c;
  }
}

bool ag_text(AgMask* m, const char* face, int cell_h, int weight, const char* utf8, int x, int y) {
  PlatFont* f = plat_font_open(face, cell_h, 0, weight, PLAT_FONT_SMOOTH);
  if (!f) return false;
  std::string s = ag_cp1251(utf8);
  plat_font_draw(f, (const unsigned char*)s.data(), (int)s.size(), x, y, ag_span, m);
  plat_font_close(f);
  return true;
}

int ag_text_width(const char* face, int cell_h, int weight, const char* utf8) {
  PlatFont* f = plat_font_open(face, cell_h, 0, weight, PLAT_FONT_SMOOTH);
  if (!f) return 0;
  std::string s = ag_cp1251(utf8);
  int w = plat_font_text_width(f, (const unsigned char*)s.data(), (int)s.size());
  plat_font_close(f);
  return w;
}

bool ag_text_centred(AgMask* m, const char* face, int cell_h, int weight, const char* utf8, int cx, int y) {
  return ag_text(m, face, cell_h, weight, utf8, cx - ag_text_width(face, cell_h, weight, utf8) / 2, y);
}

// The covered area grown by pad, clipped to the mask: the mask operations work only there.
static bool ag_mask_bbox(const AgMask* m, int pad, int* x0, int* y0, int* x1, int* y1) {
  *x0 = m->w;
  *y0 = m->h;
  *x1 = -1;
  *y1 = -1;
  for (int y = 0; y < m->h; ++y)
    for (int x = 0; x < m->w; ++x)
      if (m->a[(size_t)y * m->w + x] > 0.0f) {
        if (x < *x0) *x0 = x;
        if (x > *x1) *x1 = x;
        if (y < *y0) *y0 = y;
        if (y > *y1) *y1 = y;
      }
  if (*x1 < 0) return false;
  *x0 = *x0 - pad < 0 ? 0 : *x0 - pad;
  *y0 = *y0 - pad < 0 ? 0 : *y0 - pad;
  *x1 = *x1 + pad >= m->w ? m->w - 1 : *x1 + pad;
  *y1 = *y1 + pad >= m->h ? m->h - 1 : *y1 + pad;
  return true;
}

void ag_mask_dilate(const AgMask* src, AgMask* dst, float radius) {
  AgMask out;
  ag_mask_init(&out, src->w, src->h);
  int r = (int)std::ceil(radius);
  int bx0, by0, bx1, by1;
  if (!ag_mask_bbox(src, r, &bx0, &by0, &bx1, &by1)) {
    *dst = out;
    return;
  }
  for (int y = by0; y <= by1; ++y)
    for (int x = bx0; x <= bx1; ++x) {
      float best = 0.0f;
      for (int dy = -r; dy <= r; ++dy)
        for (int dx = -r; dx <= r; ++dx) {
          float d = std::sqrt((float)(dx * dx + dy * dy));
          float k = ag_clamp01(radius + 0.5f - d);
          if (k <= 0.0f) continue;
          float v = ag_mask_at(src, x + dx, y + dy) * k;
          if (v > best) best = v;
        }
      out.a[(size_t)y * out.w + x] = best;
    }
  *dst = out;
}

void ag_mask_blur(const AgMask* src, AgMask* dst, int radius) {
  AgMask a = *src, b;
  ag_mask_init(&b, src->w, src->h);
  float inv = 1.0f / (float)(2 * radius + 1);
  int bx0, by0, bx1, by1;
  if (!ag_mask_bbox(src, 3 * radius + 1, &bx0, &by0, &bx1, &by1)) {
    *dst = a;
    return;
  }
  for (int pass = 0; pass < 3; ++pass) {
    for (int y = by0; y <= by1; ++y)
      for (int x = bx0; x <= bx1; ++x) {
        float s = 0.0f;
        for (int d = -radius; d <= radius; ++d) s += ag_mask_at(&a, x + d, y);
        b.a[(size_t)y * a.w + x] = s * inv;
      }
    for (int y = by0; y <= by1; ++y)
      for (int x = bx0; x <= bx1; ++x) {
        float s = 0.0f;
        for (int d = -radius; d <= radius; ++d) s += ag_mask_at(&b, x, y + d);
        a.a[(size_t)y * a.w + x] = s * inv;
      }
  }
  *dst = a;
}

void ag_mask_paint(AgCanvas* c, const AgMask* m, AgColour top, AgColour bottom, int y0, int y1,
                   float strength) {
  for (int y = 0; y < m->h && y < c->h; ++y) {
    AgColour col = ag_mix(top, bottom, ag_clamp01((float)(y - y0) / (float)(y1 - y0 > 0 ? y1 - y0 : 1)));
    for (int x = 0; x < m->w && x < c->w; ++x) ag_blend(c, x, y, col, m->a[(size_t)y * m->w + x] * strength);
  }
}

void ag_mask_glow(AgCanvas* c, const AgMask* m, AgColour col, float strength) {
  for (int y = 0; y < m->h && y < c->h; ++y)
    for (int x = 0; x < m->w && x < c->w; ++x)
      ag_add_light(c, x, y, col, m->a[(size_t)y * m->w + x] * strength);
}
