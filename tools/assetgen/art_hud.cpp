// The score panel: the slots plate, the digits 0 to 9 in 25 x 35 cells and the caption.
#include <cmath>
#include <cstdio>

#include "platform/lang.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/art_common.h"
#include "tools/assetgen/art_text.h"

namespace {

// Bright digits with a dark rim, readable over any background at a glance.
void ag_hud_text(AgCanvas* c, const char* utf8, int cell, int x, int y, int top, int bottom, bool centred_at_x) {
  AgMask m, outline;
  ag_mask_init(&m, c->w, c->h);
  if (centred_at_x) ag_text_centred(&m, "Liberation Sans", cell, 700, utf8, x, y);
  else ag_text(&m, "Liberation Sans", cell, 700, utf8, x, y);
  ag_mask_dilate(&m, &outline, 1.6f);
  ag_mask_paint(c, &outline, ag_rgb(0.04f, 0.06f, 0.22f), ag_rgb(0.04f, 0.06f, 0.22f), 0, 1, 1.0f);
  ag_mask_paint(c, &m, ag_rgb(1.0f, 1.0f, 1.0f), ag_rgb(0.35f, 0.65f, 1.0f), top, bottom, 1.0f);
}

}  // namespace

AgPixels ag_art_digits(int lang) {
  AgCanvas c;
  ag_canvas_init(&c, 252, 70);
  for (int d = 0; d < 10; ++d) {
    char s[2] = {(char)('0' + d), 0};
    // Each digit within its own cell: drawn on its own so no glyph spills into a neighbour.
    AgCanvas cell;
    ag_canvas_init(&cell, 25, 35);
    ag_hud_text(&cell, s, 40, 12, -3, 4, 30, true);
    for (int y = 0; y < 35; ++y)
      for (int x = 0; x < 25; ++x) {
        const float* p = ag_at(&cell, x, y);
        ag_blend(&c, d * 25 + x, y, ag_rgb(p[0], p[1], p[2]), p[3]);
      }
  }
  AgCanvas cap;
  ag_canvas_init(&cap, 100, 35);
  // TRANSLATORS: the score's caption, left of the digits; at most about 95 pixels of 32-pixel bold.
  ag_hud_text(&cap, lang_text(lang, N_("Очки")), 32, 4, 0, 6, 28, false);
  for (int y = 0; y < 35; ++y)
    for (int x = 0; x < 100; ++x) {
      const float* p = ag_at(&cap, x, y);
      ag_blend(&c, x, 35 + y, ag_rgb(p[0], p[1], p[2]), p[3]);
    }
  return ag_finalise(&c, AG_KEY_MAGENTA, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}

AgPixels ag_art_slots() {
  AgCanvas c;
  ag_canvas_init(&c, 204, 60);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 204; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      // A plate with its top-right corner cut away.
      float cut = (px - 178.0f) + (10.0f - py);
      float cover = ag_clamp01(0.5f - cut) * ag_clamp01(py - 1.0f) * ag_clamp01(203.0f - px);
      if (cover <= 0.0f) continue;
      bool bevel = py < 4.0f || cut > -3.0f || px > 200.0f;
      AgColour metal = ag_mix(ag_rgb(0.22f, 0.26f, 0.40f), ag_rgb(0.10f, 0.12f, 0.22f), py / 60.0f);
      if (bevel) metal = ag_rgb(0.45f, 0.55f, 0.85f);
      ag_blend(&c, x, y, metal, cover);
    }
  for (int i = 0; i < 4; ++i) {
    int x0 = 10 + i * 47, y0 = 14, x1 = x0 + 40, y1 = 50;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) {
        bool rim = x == x0 || y == y0 || x == x1 - 1 || y == y1 - 1;
        float g = (float)(y - y0) / (float)(y1 - y0);
        AgColour glass = ag_mix(ag_rgb(0.05f, 0.10f, 0.26f), ag_rgb(0.02f, 0.04f, 0.12f), g);
        if (y < y0 + 6) glass = ag_add(glass, ag_rgb(0.06f, 0.08f, 0.14f));
        ag_blend(&c, x, y, rim ? ag_rgb(0.30f, 0.50f, 1.0f) : glass, 1.0f);
      }
    // A small status light under each slot.
    for (int x = x0 + 14; x < x0 + 26; ++x) ag_blend(&c, x, 54, ag_rgb(0.35f, 0.80f, 1.0f), 1.0f);
  }
  for (int i = 0; i < 4; ++i) ag_blend(&c, 5 + i * 0, 6 + i * 14, ag_rgb(0.6f, 0.7f, 0.9f), 1.0f);
  return ag_finalise(&c, AG_KEY_MAGENTA, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}
