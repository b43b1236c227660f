// FreeType renders, fontconfig finds the file. Every glyph of code page 1251 is rendered when the
// font is opened, as runs of set pixels in one block, so drawing tests no empty pixel and allocates
// nothing.
#include "platform/host/fontraster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H
#include FT_GASP_H

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Code points of bytes 0x80..0xFF; 0 for the unassigned 0x98.
const unsigned short kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    // 0xC0..0xFF: А..я in order.
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C,
    0x041D, 0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429,
    0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436,
    0x0437, 0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443,
    0x0444, 0x0445, 0x0446, 0x0447, 0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

// One run of set pixels of a glyph, relative to the pen at the cell's top.
struct Span {
  int dx, dy, len;
  unsigned cov;  // offset of `len` grey levels in PlatFont::coverage, or kSolid
};
constexpr unsigned kSolid = ~0u;

struct Glyph {
  int advance;
  unsigned first, count;  // runs in PlatFont::spans
};

FT_Library g_ft = nullptr;

bool ft_ready() {
  if (!g_ft && FT_Init_FreeType(&g_ft) != 0) g_ft = nullptr;
  return g_ft != nullptr;
}

// fontconfig keeps its configuration and caches for the life of the process; they are given
// back at exit so leak checkers see only the program's own memory.
void fonts_at_exit() {
  FcFini();
  if (g_ft) FT_Done_FreeType(g_ft);
  g_ft = nullptr;
}

bool find_face_file(const char* name, int weight, char* path, size_t path_size, int* index) {
  static bool registered = false;
  if (!registered) {
    registered = true;
    std::atexit(fonts_at_exit);
  }
  if (!FcInit()) return false;
  FcPattern* pat = FcPatternCreate();
  if (!pat) return false;
  FcPatternAddString(pat, FC_FAMILY, (const FcChar8*)(name && *name ? name : "serif"));
  FcPatternAddInteger(pat, FC_WEIGHT, weight >= 700 ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pat, FcMatchPattern);
  FcDefaultSubstitute(pat);
  FcResult res;
  FcPattern* match = FcFontMatch(nullptr, pat, &res);
  FcPatternDestroy(pat);
  if (!match) return false;
  FcChar8* file = nullptr;
  bool ok = FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file &&
            std::strlen((const char*)file) < path_size;
  if (ok) {
    std::strcpy(path, (const char*)file);
    if (FcPatternGetInteger(match, FC_INDEX, 0, index) != FcResultMatch) *index = 0;
  }
  FcPatternDestroy(match);
  return ok;
}

}  // namespace

struct PlatFont {
  int height, ascent, descent, avg_width;
  bool smooth;
  Glyph glyphs[256];
  Span* spans;
  unsigned char* coverage;
};

namespace {

// GDI's mapping of a logical font's height to pixels per em: a positive height is the cell, which
// the OS/2 table's Windows ascent and descent span; a negative one is the em itself.
struct CellMetrics {
  int ppem, ascent, descent;
};

CellMetrics cell_metrics(FT_Face face, const TT_OS2* os2, int height_px) {
  double units = face->units_per_EM;
  double asc = face->ascender, desc = -face->descender;
  if (os2 && os2->usWinAscent + os2->usWinDescent > 0) {
    asc = os2->usWinAscent;
    desc = os2->usWinDescent;
  }
  if (asc + desc <= 0) asc = units, desc = 0;
  if (height_px == 0) height_px = 16;
  if (height_px > 1024 || height_px < -1024) height_px = height_px > 0 ? 1024 : -1024;
  CellMetrics m;
  m.ppem = (int)std::lround(height_px > 0 ? height_px * units / (asc + desc) : -height_px);
  if (m.ppem < 1) m.ppem = 1;
  m.ascent = (int)std::lround(asc * m.ppem / units);
  m.descent = (int)std::lround(desc * m.ppem / units);
  return m;
}

// Walks the rendered bitmap's rows as runs of set pixels; only the two formats asked for are
// read, and only within their stated rows and pitch. Returns false for any other bitmap.
template <typename Emit>
bool bitmap_runs(const FT_Bitmap& bm, bool mono, Emit emit) {
  const int w = (int)bm.width, rows = (int)bm.rows;
  if (w == 0 || rows == 0) return true;
  if (!bm.buffer || bm.pitch <= 0) return false;
  if (mono ? (bm.pixel_mode != FT_PIXEL_MODE_MONO || bm.pitch < (w + 7) / 8)
           : (bm.pixel_mode != FT_PIXEL_MODE_GRAY || bm.num_grays != 256 || bm.pitch < w))
    return false;
  for (int r = 0; r < rows; ++r) {
    const unsigned char* row = bm.buffer + (ptrdiff_t)r * bm.pitch;
    auto level = [&](int c) -> unsigned char {
      return mono ? ((row[c >> 3] >> (7 - (c & 7))) & 1) * 255 : row[c];
    };
    for (int c = 0; c < w;) {
      if (!level(c)) {
        ++c;
        continue;
      }
      int end = c;
      bool solid = true;
      while (end < w && level(end)) solid &= level(end++) == 255;
      emit(r, c, end - c, solid ? nullptr : row + c);
      c = end;
    }
  }
  return true;
}

}  // namespace

unsigned plat_cp1251_to_unicode(unsigned char byte) { return byte < 0x80 ? byte : kCp1251High[byte - 0x80]; }

PlatFont* plat_font_open(const char* face_name, int height_px, int avg_char_width_px, int weight,
                         PlatFontQuality quality) {
  if (!ft_ready()) return nullptr;
  char path[1024];
  int index = 0;
  if (!find_face_file(face_name, weight, path, sizeof path, &index)) return nullptr;
  FT_Face face;
  if (FT_New_Face(g_ft, path, index, &face) != 0) return nullptr;
  if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  const TT_OS2* os2 = (const TT_OS2*)FT_Get_Sfnt_Table(face, FT_SFNT_OS2);
  const CellMetrics cell = cell_metrics(face, os2, height_px);
  // The width is scaled so that the face's stored average becomes the one asked for, whatever
  // the letters that average was taken over.
  double ppem_x = cell.ppem;
  if (avg_char_width_px > 0 && avg_char_width_px <= 1024 && os2 && os2->xAvgCharWidth > 0)
    ppem_x = (double)avg_char_width_px * face->units_per_EM / os2->xAvgCharWidth;
  if (ppem_x > 4096) ppem_x = 4096;  // a face claiming a tiny average must not make huge glyphs
  if (FT_Set_Char_Size(face, (FT_F26Dot6)std::lround(ppem_x * 64), (FT_F26Dot6)cell.ppem * 64, 72, 72) != 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  bool smooth = quality == PLAT_FONT_SMOOTH;
  if (quality == PLAT_FONT_GASP) {
    FT_Int gasp = FT_Get_Gasp(face, (FT_UInt)cell.ppem);
    smooth = gasp == FT_GASP_NO_TABLE || (gasp & FT_GASP_DO_GRAY);
  }
  PlatFont* font = (PlatFont*)std::calloc(1, sizeof(PlatFont));
  if (!font) {
    FT_Done_Face(face);
    return nullptr;
  }
  font->ascent = cell.ascent;
  font->descent = cell.descent;
  font->height = cell.ascent + cell.descent;
  font->smooth = smooth;
  const double avg_units = os2 && os2->xAvgCharWidth > 0 ? os2->xAvgCharWidth : face->units_per_EM / 2.0;
  font->avg_width = (int)std::lround(avg_units * (double)face->size->metrics.x_scale / 65536.0 / 64.0);

  // Outlines only: an embedded bitmap could be in any format. A monochrome target gets the
  // face's full hinting, as GDI's aliased text does.
  const FT_Int32 load = FT_LOAD_NO_BITMAP | (smooth ? FT_LOAD_TARGET_NORMAL : FT_LOAD_TARGET_MONO);
  const FT_Render_Mode mode = smooth ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO;
  // Two passes: count the runs and grey levels, then fill one block of each.
  size_t span_total = 0, cov_total = 0;
  for (int pass = 0; pass < 2; ++pass) {
    size_t spans = 0, cov = 0;
    for (int b = 0; b < 256; ++b) {
      Glyph& g = font->glyphs[b];
      g = Glyph{0, (unsigned)spans, 0};
      unsigned cp = plat_cp1251_to_unicode((unsigned char)b);
      FT_UInt gi = cp >= 0x20 ? FT_Get_Char_Index(face, cp) : 0;
      if (FT_Load_Glyph(face, gi, load) != 0 || FT_Render_Glyph(face->glyph, mode) != 0) continue;
      const FT_GlyphSlot slot = face->glyph;
      g.advance = (int)((slot->advance.x + 32) >> 6);
      const int dx = slot->bitmap_left, dy = cell.ascent - slot->bitmap_top;
      size_t first = spans, first_cov = cov;
      bool ok = bitmap_runs(slot->bitmap, !smooth, [&](int r, int c, int n, const unsigned char* levels) {
        if (pass == 1) {
          font->spans[spans] = Span{dx + c, dy + r, n, levels ? (unsigned)cov : kSolid};
          if (levels) std::memcpy(font->coverage + cov, levels, (size_t)n);
        }
        ++spans;
        if (levels) cov += (size_t)n;
      });
      if (!ok) spans = first, cov = first_cov;  // refused: the glyph draws nothing
      g.count = (unsigned)(spans - first);
    }
    if (pass == 0) {
      span_total = spans;
      cov_total = cov;
      if (span_total < 0xFFFFFFFFu && cov_total < kSolid) {
        font->spans = (Span*)std::malloc((span_total ? span_total : 1) * sizeof(Span));
        font->coverage = (unsigned char*)std::malloc(cov_total ? cov_total : 1);
      }
      if (!font->spans || !font->coverage) {
        plat_font_close(font);
        FT_Done_Face(face);
        return nullptr;
      }
    }
  }
  FT_Done_Face(face);
  return font;
}

void plat_font_close(PlatFont* font) {
  if (!font) return;
  std::free(font->spans);
  std::free(font->coverage);
  std::free(font);
}

int plat_font_draw(const PlatFont* font, const unsigned char* text, int len, int x, int y, PlatFontSpan span,
                   void* ctx) {
  if (!font || !text || len <= 0) return 0;
  int pen = x;
  for (int i = 0; i < len; ++i) {
    const Glyph& g = font->glyphs[text[i]];
    if (span)
      for (unsigned s = g.first; s < g.first + g.count; ++s) {
        const Span& run = font->spans[s];
        span(ctx, pen + run.dx, y + run.dy, run.len, run.cov == kSolid ? nullptr : font->coverage + run.cov);
      }
    pen += g.advance;
  }
  return pen - x;
}

int plat_font_text_width(const PlatFont* font, const unsigned char* text, int len) {
  if (!font || !text || len <= 0) return 0;
  int w = 0;
  for (int i = 0; i < len; ++i) w += font->glyphs[text[i]].advance;
  return w;
}

int plat_font_height(const PlatFont* font) { return font ? font->height : 0; }
int plat_font_ascent(const PlatFont* font) { return font ? font->ascent : 0; }
int plat_font_descent(const PlatFont* font) { return font ? font->descent : 0; }
int plat_font_avg_width(const PlatFont* font) { return font ? font->avg_width : 0; }
int plat_font_smoothed(const PlatFont* font) { return font && font->smooth ? 1 : 0; }
