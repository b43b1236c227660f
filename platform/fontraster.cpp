// FreeType renders, fontconfig finds the file. Every glyph of code page 1251 is rendered when the
// font is opened, into one block, so drawing never allocates.
#include "platform/fontraster.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Code points of bytes 0x80..0xFF; 0 for the unassigned 0x98.
const unsigned short kCp1251High[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C,
    0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122, 0x0459, 0x203A,
    0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9,
    0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    // 0xC0..0xFF: А..я in order.
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417, 0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D,
    0x041E, 0x041F, 0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427, 0x0428, 0x0429, 0x042A, 0x042B,
    0x042C, 0x042D, 0x042E, 0x042F, 0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437, 0x0438, 0x0439,
    0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F, 0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F};

// Letter frequencies per thousand that the average character width of a font is defined by,
// so a face's average does not depend on how many other glyphs it happens to carry.
const struct {
  char c;
  int weight;
} kAvgWeights[] = {{'a', 64}, {'b', 14}, {'c', 27}, {'d', 35}, {'e', 100}, {'f', 20}, {'g', 14}, {'h', 42},
                   {'i', 63}, {'j', 3},  {'k', 6},  {'l', 35}, {'m', 20},  {'n', 56}, {'o', 56}, {'p', 17},
                   {'q', 4},  {'r', 49}, {'s', 56}, {'t', 71}, {'u', 31},  {'v', 10}, {'w', 18}, {'x', 3},
                   {'y', 18}, {'z', 2},  {' ', 166}};

struct Glyph {
  int left, top;  // bitmap offset from the pen on the baseline (top: upward)
  int width, rows;
  int advance;
  size_t offset;  // into PlatFont::coverage
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
  int height, ascent;
  Glyph glyphs[256];
  unsigned char* coverage;
};

unsigned plat_cp1251_to_unicode(unsigned char byte) { return byte < 0x80 ? byte : kCp1251High[byte - 0x80]; }

PlatFont* plat_font_open(const char* face_name, int cell_height_px, int avg_char_width_px, int weight) {
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
  // GDI's positive height is the cell (ascent + descent as the OS/2 table gives them for
  // Windows); a negative one is the em. Zero is GDI's default of 16 pixels.
  double units = face->units_per_EM;
  double asc = face->ascender, desc = -face->descender;
  if (const TT_OS2* os2 = (const TT_OS2*)FT_Get_Sfnt_Table(face, FT_SFNT_OS2)) {
    if (os2->usWinAscent + os2->usWinDescent > 0) {
      asc = os2->usWinAscent;
      desc = os2->usWinDescent;
    }
  }
  if (asc + desc <= 0) asc = units, desc = 0;
  if (cell_height_px == 0) cell_height_px = 16;
  if (cell_height_px > 1024 || cell_height_px < -1024) cell_height_px = cell_height_px > 0 ? 1024 : -1024;
  double ppem_y = cell_height_px > 0 ? cell_height_px * units / (asc + desc) : -cell_height_px;
  double ppem_x = ppem_y;
  if (avg_char_width_px > 0 && avg_char_width_px <= 1024) {
    double sum = 0;
    int total = 0;
    for (const auto& w : kAvgWeights) {
      FT_UInt gi = FT_Get_Char_Index(face, (FT_ULong)w.c);
      if (gi && FT_Load_Glyph(face, gi, FT_LOAD_NO_SCALE) == 0) {
        sum += (double)face->glyph->advance.x * w.weight;
        total += w.weight;
      }
    }
    if (total > 0 && sum > 0) ppem_x = avg_char_width_px * units / (sum / total);
  }
  if (FT_Set_Char_Size(face, (FT_F26Dot6)std::lround(ppem_x * 64), (FT_F26Dot6)std::lround(ppem_y * 64), 72, 72) != 0) {
    FT_Done_Face(face);
    return nullptr;
  }
  PlatFont* font = (PlatFont*)std::calloc(1, sizeof(PlatFont));
  if (!font) {
    FT_Done_Face(face);
    return nullptr;
  }
  double scale = face->size->metrics.y_ppem ? (double)face->size->metrics.y_ppem / units : ppem_y / units;
  font->ascent = (int)std::lround(asc * scale);
  font->height = font->ascent + (int)std::lround(desc * scale);
  // Two passes: sizes first, then one block for all coverage.
  size_t total = 0;
  for (int pass = 0; pass < 2; ++pass) {
    size_t at = 0;
    for (int b = 0; b < 256; ++b) {
      Glyph& g = font->glyphs[b];
      unsigned cp = plat_cp1251_to_unicode((unsigned char)b);
      FT_UInt gi = cp >= 0x20 ? FT_Get_Char_Index(face, cp) : 0;
      if (FT_Load_Glyph(face, gi, FT_LOAD_DEFAULT) != 0 || FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) {
        g = Glyph{};
        continue;
      }
      const FT_Bitmap& bm = face->glyph->bitmap;
      g.left = face->glyph->bitmap_left;
      g.top = face->glyph->bitmap_top;
      g.width = (int)bm.width;
      g.rows = (int)bm.rows;
      g.advance = (int)((face->glyph->advance.x + 32) >> 6);
      g.offset = at;
      if (pass == 1 && bm.buffer) {
        for (int r = 0; r < g.rows; ++r)
          std::memcpy(font->coverage + at + (size_t)r * g.width, bm.buffer + (ptrdiff_t)r * bm.pitch, (size_t)g.width);
      }
      at += (size_t)g.width * g.rows;
    }
    if (pass == 0) {
      total = at;
      font->coverage = (unsigned char*)std::malloc(total ? total : 1);
      if (!font->coverage) {
        std::free(font);
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
  std::free(font->coverage);
  std::free(font);
}

int plat_font_draw(PlatFont* font, const unsigned char* text, int len, int x, int y, PlatFontPlot plot, void* ctx) {
  if (!font || !text || len <= 0) return 0;
  int pen = x;
  int base = y + font->ascent;
  for (int i = 0; i < len; ++i) {
    const Glyph& g = font->glyphs[text[i]];
    const unsigned char* cov = font->coverage + g.offset;
    int gx = pen + g.left, gy = base - g.top;
    for (int r = 0; r < g.rows; ++r)
      for (int c = 0; c < g.width; ++c) {
        unsigned char v = cov[r * g.width + c];
        if (v && plot) plot(ctx, gx + c, gy + r, v);
      }
    pen += g.advance;
  }
  return pen - x;
}

int plat_font_text_width(PlatFont* font, const unsigned char* text, int len) {
  if (!font || !text || len <= 0) return 0;
  int w = 0;
  for (int i = 0; i < len; ++i) w += font->glyphs[text[i]].advance;
  return w;
}

int plat_font_height(PlatFont* font) { return font ? font->height : 0; }
int plat_font_ascent(PlatFont* font) { return font ? font->ascent : 0; }
