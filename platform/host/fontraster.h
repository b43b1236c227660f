// Text rasterising over FreeType and fontconfig, shared by GDI text and the asset generator.
// No classes and no FreeType types here, so tools that do not include FreeType can use it.
#pragma once

struct PlatFont;

// How glyphs are rasterised. GASP follows the face's own table as GDI's default quality does:
// grey only at the sizes the table asks for it, else aliased and fully hinted.
enum PlatFontQuality { PLAT_FONT_GASP, PLAT_FONT_SMOOTH, PLAT_FONT_MONO };

// Opens the face fontconfig matches for `face_name` ("Times New Roman" finds a metric-compatible
// serif), mapped as GDI maps a logical font: `height_px` positive is the cell (ascent + descent),
// negative the em, 0 GDI's default; `avg_char_width_px` scales the width so that the face's stored
// average character width becomes it (0: the natural width); `weight` a FW_ value (700 and above
// picks a bold style). Every glyph of code page 1251 is rasterised here, as runs of set pixels.
// Null when no face can be loaded.
PlatFont* plat_font_open(const char* face_name, int height_px, int avg_char_width_px, int weight,
                         PlatFontQuality quality);

// What plat_font_open is asked, as one record: GDI keeps it for each font it makes, and the
// browser build finds its baked glyphs by it.
struct PlatFontSpec {
  const char* face_name;
  int height_px, avg_char_width_px, weight;
  PlatFontQuality quality;
};
void plat_font_close(PlatFont* font);

// Draws code page 1251 bytes with the cell's top-left corner at (x, y): `span` is called once per
// horizontal run of set pixels, `len` pixels from (x, y) to the right, with `coverage` null when
// the run is fully covered, else `len` values 1..255. Nothing is clipped here: the callback clips.
// Returns the advance in pixels. Allocates nothing.
typedef void (*PlatFontSpan)(void* ctx, int x, int y, int len, const unsigned char* coverage);
int plat_font_draw(const PlatFont* font, const unsigned char* cp1251, int len, int x, int y,
                   PlatFontSpan span, void* ctx);

// The advance of the bytes in pixels, as plat_font_draw would move.
int plat_font_text_width(const PlatFont* font, const unsigned char* cp1251, int len);

// Cell metrics in pixels, as GDI's TEXTMETRIC gives them: height = ascent + descent.
int plat_font_height(const PlatFont* font);
int plat_font_ascent(const PlatFont* font);
int plat_font_descent(const PlatFont* font);
int plat_font_avg_width(const PlatFont* font);
// 1 when the glyphs carry grey levels, 0 when they are aliased.
int plat_font_smoothed(const PlatFont* font);

// The Unicode code point of a code page 1251 byte (0 for the one unassigned byte, 0x98).
unsigned plat_cp1251_to_unicode(unsigned char byte);
