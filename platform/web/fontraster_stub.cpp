// TEMPORARY until the baked glyph table lands: fonts open and measure, but draw nothing.
#include "platform/host/fontraster.h"

struct PlatFont {
  int height;
};

namespace {
PlatFont g_font{16};
}

PlatFont* plat_font_open(const char*, int height_px, int, int, PlatFontQuality) {
  g_font.height = height_px > 0 ? height_px : height_px < 0 ? -height_px : 16;
  return &g_font;
}
void plat_font_close(PlatFont*) {}
int plat_font_draw(const PlatFont*, const unsigned char*, int len, int, int, PlatFontSpan, void*) { return len * 8; }
int plat_font_text_width(const PlatFont*, const unsigned char*, int len) { return len * 8; }
int plat_font_height(const PlatFont* f) { return f->height; }
int plat_font_ascent(const PlatFont* f) { return f->height * 4 / 5; }
int plat_font_descent(const PlatFont* f) { return f->height - f->height * 4 / 5; }
int plat_font_avg_width(const PlatFont*) { return 8; }
int plat_font_smoothed(const PlatFont*) { return 0; }
unsigned plat_cp1251_to_unicode(unsigned char b) { return b; }
