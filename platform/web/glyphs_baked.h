// The glyph table of the browser build, which has no FreeType: every font the game opens,
// rasterised at build time by the native code (tools/glyphbake writes the table), drawn by
// platform/web/fontraster_baked.cpp.
#pragma once
#include <cstdint>

#include "platform/host/fontraster.h"

// A run of set pixels relative to the pen at the cell's top: `coverage` is the offset of `len`
// grey levels in the font's coverage block, or kBakedSolid for a fully covered run.
struct BakedRun {
  int16_t dx, dy;
  uint16_t len;
  uint32_t coverage;
};
constexpr uint32_t kBakedSolid = 0xFFFFFFFFu;

struct BakedGlyph {
  int32_t advance;
  uint32_t first, count;  // runs in BakedFont::runs
};

struct BakedFont {
  PlatFontSpec spec;  // what plat_font_open must be asked to find this font
  int height, ascent, descent, avg_width, smoothed;
  BakedGlyph glyphs[256];
  const BakedRun* runs;
  const unsigned char* coverage;
};

extern const BakedFont kBakedFonts[];
extern const int kBakedFontCount;
// plat_cp1251_to_unicode of every byte.
extern const uint16_t kBakedCp1251[256];
