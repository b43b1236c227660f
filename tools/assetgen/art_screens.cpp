// The menu and information pictures, the three buttons and the cursor. Black is their key: what
// is meant to be seen is never black, what is black shows the picture below.
#include <cmath>

#include "platform/lang.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/art_common.h"
#include "tools/assetgen/art_space.h"
#include "tools/assetgen/art_text.h"

namespace {

const char* const AG_SANS = "Liberation Sans";
const char* const AG_SERIF = "Liberation Serif";

// Coverage of a rounded rectangle at pixel (x, y), antialiased over one pixel.
float ag_round_rect(float x, float y, float x0, float y0, float x1, float y1, float r) {
  float cx = std::fmin(std::fmax(x, x0 + r), x1 - r), cy = std::fmin(std::fmax(y, y0 + r), y1 - r);
  float d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
  return ag_clamp01(r - d + 0.5f);
}

// A dark glass plate with a thin bright border, laid over a picture.
void ag_glass_panel(AgCanvas* c, int x0, int y0, int x1, int y1, float r, AgColour border, float opacity) {
  for (int y = y0 - 2; y < y1 + 2; ++y)
    for (int x = x0 - 2; x < x1 + 2; ++x) {
      float px = x + 0.5f, py = y + 0.5f;
      float outer = ag_round_rect(px, py, (float)x0, (float)y0, (float)x1, (float)y1, r);
      float inner = ag_round_rect(px, py, x0 + 1.5f, y0 + 1.5f, x1 - 1.5f, y1 - 1.5f, r - 1.5f);
      if (outer <= 0.0f) continue;
      float shade = 1.0f - 0.35f * (float)(y - y0) / (float)(y1 - y0);
      ag_blend(c, x, y, ag_scale(ag_rgb(0.02f, 0.03f, 0.10f), shade), inner * opacity);
      ag_blend(c, x, y, border, (outer - inner) * 0.9f);
    }
}

// Darkens a rectangle softly, where the overlay's small text must stay readable.
void ag_shade_area(AgCanvas* c, int x0, int y0, int x1, int y1, float k) {
  for (int y = 0; y < c->h; ++y)
    for (int x = 0; x < c->w; ++x) {
      float dx = std::fmax(0.0f, std::fmax((float)(x0 - x), (float)(x - x1)));
      float dy = std::fmax(0.0f, std::fmax((float)(y0 - y), (float)(y - y1)));
      float d = std::sqrt(dx * dx + dy * dy);
      float f = 1.0f - k * (1.0f - ag_smooth(0.0f, 40.0f, d));
      if (f >= 1.0f) continue;
      float* p = ag_at(c, x, y);
      p[0] *= f;
      p[1] *= f;
      p[2] *= f;
    }
}

// Big title text: blue glow, dark outline, a bright fill fading to steel toward the bottom.
void ag_title(AgCanvas* c, const char* face, int cell, const char* utf8, int cx, int y, float glow) {
  AgMask m, outline, halo;
  ag_mask_init(&m, c->w, c->h);
  ag_text_centred(&m, face, cell, 700, utf8, cx, y);
  if (glow > 0.0f) {
    ag_mask_dilate(&m, &halo, 3.0f);
    ag_mask_blur(&halo, &halo, 6);
    ag_mask_glow(c, &halo, ag_rgb(0.25f, 0.45f, 1.0f), glow);
  }
  ag_mask_dilate(&m, &outline, cell / 40.0f + 1.0f);
  ag_mask_paint(c, &outline, ag_rgb(0.03f, 0.05f, 0.16f), ag_rgb(0.03f, 0.05f, 0.16f), 0, 1, 1.0f);
  int top = y + cell / 5, bottom = y + cell * 4 / 5;
  ag_mask_paint(c, &m, ag_rgb(1.0f, 1.0f, 1.0f), ag_rgb(0.40f, 0.62f, 1.0f), top, bottom, 1.0f);
}

void ag_line(AgCanvas* c, const char* face, int cell, int weight, const char* utf8, int cx, int y, AgColour col) {
  AgMask m, outline;
  ag_mask_init(&m, c->w, c->h);
  ag_text_centred(&m, face, cell, weight, utf8, cx, y);
  ag_mask_dilate(&m, &outline, 1.5f);
  ag_mask_paint(c, &outline, ag_rgb(0.01f, 0.02f, 0.07f), ag_rgb(0.01f, 0.02f, 0.07f), 0, 1, 0.8f);
  ag_mask_paint(c, &m, col, col, 0, 1, 1.0f);
}

}  // namespace

AgPixels ag_art_menu(int lang) {
  AgCanvas c;
  ag_canvas_init(&c, 1024, 768);
  AgNebula n{0x3E4A0001u, ag_rgb(0.015f, 0.018f, 0.05f), ag_rgb(0.40f, 0.14f, 0.60f), ag_rgb(0.10f, 0.35f, 0.70f), 0.9f, 0.75f, 0.0f};
  ag_space_nebula(&c, &n);
  ag_space_stars(&c, 0x3E4A57A4u, 1800, 1.1f);
  ag_space_planet(&c, 150.0f, 980.0f, 470.0f, ag_rgb(0.45f, 0.55f, 0.85f), ag_rgb(0.12f, 0.20f, 0.50f), ag_rgb(0.35f, 0.60f, 1.0f), 0x3E4A91A7u);
  ag_space_planet(&c, 850.0f, 560.0f, 38.0f, ag_rgb(0.75f, 0.55f, 0.45f), ag_rgb(0.45f, 0.30f, 0.40f), ag_rgb(0.9f, 0.6f, 0.5f), 0x3E4A91A8u);
  ag_shade_area(&c, 0, 0, 300, 20, 0.6f);
  ag_shade_area(&c, 960, 750, 1024, 768, 0.6f);
  ag_title(&c, AG_SANS, 128, lang_text(lang, N_("ТАРВЕЛЛИН")), 512, 120, 0.9f);
  ag_line(&c, AG_SANS, 28, 400, lang_text(lang, N_("космическая стрелялка")), 512, 262, ag_rgb(0.70f, 0.80f, 1.0f));
  ag_glass_panel(&c, 432, 330, 602, 540, 14.0f, ag_rgb(0.30f, 0.45f, 0.95f), 0.55f);
  return ag_finalise(&c, AG_KEY_BLACK, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}

AgPixels ag_art_info(int lang) {
  AgCanvas c;
  ag_canvas_init(&c, 1024, 768);
  AgNebula n{0x1AF00001u, ag_rgb(0.012f, 0.016f, 0.045f), ag_rgb(0.10f, 0.28f, 0.55f), ag_rgb(0.35f, 0.12f, 0.50f), 0.8f, 0.6f, 0.0f};
  ag_space_nebula(&c, &n);
  ag_space_stars(&c, 0x1AF057A4u, 1500, 1.0f);
  ag_glass_panel(&c, 202, 110, 822, 690, 18.0f, ag_rgb(0.30f, 0.45f, 0.95f), 0.72f);
  ag_title(&c, AG_SANS, 72, lang_text(lang, N_("ТАРВЕЛЛИН")), 512, 128, 0.7f);
  AgColour pale = ag_rgb(0.72f, 0.82f, 1.0f), white = ag_rgb(0.95f, 0.97f, 1.0f), gold = ag_rgb(1.0f, 0.85f, 0.55f);
  ag_line(&c, AG_SANS, 24, 400, lang_text(lang, N_("космическая стрелялка, версия 1.0")), 512, 212, pale);
  ag_line(&c, AG_SERIF, 34, 700, lang_text(lang, N_("Авторы")), 512, 262, gold);
  ag_line(&c, AG_SANS, 26, 400, lang_text(lang, N_("Игру сделала команда «Тарвеллин»")), 512, 310, white);
  ag_line(&c, AG_SERIF, 34, 700, lang_text(lang, N_("На чём построено")), 512, 370, gold);
  // The same picture serves both builds, so it names what each one runs on.
  ag_line(&c, AG_SANS, 24, 400, lang_text(lang, N_("На Linux — SDL2, FreeType и Fontconfig")), 512, 418, white);
  ag_line(&c, AG_SANS, 24, 400, lang_text(lang, N_("На Windows — DirectX и GDI")), 512, 452, white);
  ag_line(&c, AG_SANS, 24, 400, lang_text(lang, N_("GoogleTest и Google Benchmark — проверки")), 512, 486, white);
  ag_line(&c, AG_SANS, 24, 400, lang_text(lang, N_("Шрифты Liberation — надписи на картинках")), 512, 520, white);
  ag_line(&c, AG_SANS, 22, 400, lang_text(lang, N_("Все картинки и звуки созданы программой игры.")), 512, 574, pale);
  ag_line(&c, AG_SANS, 24, 700, lang_text(lang, N_("Esc — назад в меню")), 512, 630, ag_rgb(0.55f, 0.75f, 1.0f));
  ag_shade_area(&c, 0, 0, 300, 20, 0.6f);
  return ag_finalise(&c, AG_KEY_BLACK, AG_ALPHA_THRESHOLD, AG_SPRITE_EDGE);
}

AgPixels ag_art_button(int index, int lang) {
  // TRANSLATORS: a menu button, 27-pixel bold letters on a 120-pixel plate: keep it short.
  static const char* const captions[3] = {N_("Старт"), N_("Авторы"), N_("Выход")};
  AgCanvas c;
  ag_canvas_init(&c, 120, 100);
  for (int state = 0; state < 2; ++state) {
    int oy = state * 50;
    bool focus = state == 1;
    AgColour top = focus ? ag_rgb(0.22f, 0.38f, 0.85f) : ag_rgb(0.10f, 0.16f, 0.42f);
    AgColour bottom = focus ? ag_rgb(0.06f, 0.12f, 0.40f) : ag_rgb(0.03f, 0.05f, 0.18f);
    AgColour rim = focus ? ag_rgb(0.70f, 0.95f, 1.0f) : ag_rgb(0.30f, 0.48f, 0.95f);
    for (int y = 0; y < 50; ++y)
      for (int x = 0; x < 120; ++x) {
        float px = x + 0.5f, py = y + 0.5f;
        float outer = ag_round_rect(px, py, 1, 2, 119, 48, 12);
        float inner = ag_round_rect(px, py, 3, 4, 117, 46, 10);
        if (outer <= 0.0f) continue;
        AgColour body = ag_mix(top, bottom, (py - 4.0f) / 42.0f);
        if (py < 20.0f) body = ag_add(body, ag_scale(ag_rgb(0.25f, 0.3f, 0.45f), (1.0f - py / 20.0f) * (focus ? 0.5f : 0.3f)));
        ag_blend(&c, x, oy + y, rim, outer);
        ag_blend(&c, x, oy + y, body, inner);
      }
    AgMask m, outline, halo;
    ag_mask_init(&m, 120, 100);
    ag_text_centred(&m, AG_SANS, 27, 700, lang_text(lang, captions[index]), 60, oy + 10);
    if (focus) {
      ag_mask_dilate(&m, &halo, 2.0f);
      ag_mask_blur(&halo, &halo, 2);
      ag_mask_glow(&c, &halo, ag_rgb(0.4f, 0.7f, 1.0f), 0.8f);
    }
    ag_mask_dilate(&m, &outline, 1.2f);
    ag_mask_paint(&c, &outline, ag_rgb(0.02f, 0.03f, 0.12f), ag_rgb(0.02f, 0.03f, 0.12f), 0, 1, 0.9f);
    AgColour t0 = focus ? ag_rgb(1.0f, 1.0f, 1.0f) : ag_rgb(0.80f, 0.88f, 1.0f);
    AgColour t1 = focus ? ag_rgb(0.75f, 0.92f, 1.0f) : ag_rgb(0.50f, 0.65f, 0.95f);
    ag_mask_paint(&c, &m, t0, t1, oy + 16, oy + 36, 1.0f);
  }
  return ag_finalise(&c, AG_KEY_BLACK, AG_ALPHA_THRESHOLD, ag_rgb(0.02f, 0.03f, 0.10f));
}

// The arrow: its tip is the top-left pixel, the point the game tests against the buttons.
AgPixels ag_art_cursor() {
  static const float poly[7][2] = {{0, 0}, {0, 21}, {5, 16.5f}, {9, 25}, {12.5f, 23.5f}, {8.5f, 15.5f}, {15, 15.5f}};
  AgCanvas c;
  ag_canvas_init(&c, 60, 30);
  AgMask fill;
  ag_mask_init(&fill, 30, 30);
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 30; ++x) {
      int inside = 0;
      for (int sy = 0; sy < 4; ++sy)
        for (int sx = 0; sx < 4; ++sx) {
          float px = x + (sx + 0.5f) / 4.0f, py = y + (sy + 0.5f) / 4.0f;
          bool in = false;
          for (int i = 0, j = 6; i < 7; j = i++) {
            if ((poly[i][1] > py) != (poly[j][1] > py) &&
                px < (poly[j][0] - poly[i][0]) * (py - poly[i][1]) / (poly[j][1] - poly[i][1]) + poly[i][0])
              in = !in;
          }
          inside += in;
        }
      fill.a[(size_t)y * 30 + x] = inside / 16.0f;
    }
  AgMask outline;
  ag_mask_dilate(&fill, &outline, 1.3f);
  outline.a[0] = 1.0f;
  for (int f = 0; f < 2; ++f) {
    AgColour top = f ? ag_rgb(1.0f, 1.0f, 1.0f) : ag_rgb(0.75f, 0.92f, 1.0f);
    AgColour bottom = f ? ag_rgb(0.55f, 0.85f, 1.0f) : ag_rgb(0.25f, 0.50f, 1.0f);
    AgColour edge = f ? ag_rgb(0.15f, 0.30f, 0.85f) : ag_rgb(0.08f, 0.14f, 0.45f);
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 30; ++x) {
        ag_blend(&c, f * 30 + x, y, edge, outline.a[(size_t)y * 30 + x]);
        ag_blend(&c, f * 30 + x, y, ag_mix(top, bottom, y / 25.0f), fill.a[(size_t)y * 30 + x]);
      }
    ag_blend(&c, f * 30, 0, top, 1.0f);
  }
  return ag_finalise(&c, AG_KEY_BLACK, AG_ALPHA_THRESHOLD, ag_rgb(0.08f, 0.14f, 0.45f));
}
