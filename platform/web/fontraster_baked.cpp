// platform/host/fontraster.h over the baked glyph table: the browser build has no FreeType, so
// the fonts the game opens were rasterised at build time by the native code and are drawn here
// run for run as the native code draws them. The unit test compiles this file under
// PLAT_FONT_NAMESPACE to hold it against the native rasteriser in one binary.
#include <cstdlib>
#include <cstring>

#include "platform/host/fontraster.h"
#include "platform/web/glyphs_baked.h"

#ifdef PLAT_FONT_NAMESPACE
namespace PLAT_FONT_NAMESPACE {
#endif

struct PlatFont {
  const BakedFont* baked;
};

// Only the exact parameters a font was baked with find it: any other size or style would draw
// other pixels than the native build, so it is refused as a font that cannot be loaded.
PlatFont* plat_font_open(const char* face_name, int height_px, int avg_char_width_px, int weight,
                         PlatFontQuality quality) {
  const char* face = face_name ? face_name : "";
  for (int i = 0; i < kBakedFontCount; ++i) {
    const PlatFontSpec& s = kBakedFonts[i].spec;
    if (s.height_px != height_px || s.avg_char_width_px != avg_char_width_px || s.weight != weight ||
        s.quality != quality || std::strcmp(s.face_name ? s.face_name : "", face) != 0)
      continue;
    PlatFont* font = (PlatFont*)std::malloc(sizeof(PlatFont));
    if (font) font->baked = &kBakedFonts[i];
    return font;
  }
  return nullptr;
}

void plat_font_close(PlatFont* font) { std::free(font); }

int plat_font_draw(const PlatFont* font, const unsigned char* text, int len, int x, int y, PlatFontSpan span,
                   void* ctx) {
  if (!font || !text || len <= 0) return 0;
  const BakedFont& f = *font->baked;
  int pen = x;
  for (int i = 0; i < len; ++i) {
    const BakedGlyph& g = f.glyphs[text[i]];
    if (span)
      for (uint32_t s = g.first; s < g.first + g.count; ++s) {
        const BakedRun& run = f.runs[s];
        span(ctx, pen + run.dx, y + run.dy, run.len,
             run.coverage == kBakedSolid ? nullptr : f.coverage + run.coverage);
      }
    pen += g.advance;
  }
  return pen - x;
}

int plat_font_text_width(const PlatFont* font, const unsigned char* text, int len) {
  if (!font || !text || len <= 0) return 0;
  int w = 0;
  for (int i = 0; i < len; ++i) w += font->baked->glyphs[text[i]].advance;
  return w;
}

int plat_font_height(const PlatFont* font) { return font ? font->baked->height : 0; }
int plat_font_ascent(const PlatFont* font) { return font ? font->baked->ascent : 0; }
int plat_font_descent(const PlatFont* font) { return font ? font->baked->descent : 0; }
int plat_font_avg_width(const PlatFont* font) { return font ? font->baked->avg_width : 0; }
int plat_font_smoothed(const PlatFont* font) { return font ? font->baked->smoothed : 0; }

unsigned plat_cp1251_to_unicode(unsigned char byte) { return kBakedCp1251[byte]; }

#ifdef PLAT_FONT_NAMESPACE
}
#endif
