// Text rasterising over FreeType and fontconfig, shared by GDI text and the asset generator.
// No classes and no FreeType types here, so tools that do not include FreeType can use it.
#pragma once

struct PlatFont;

// Opens the face fontconfig matches for `face_name` ("Times New Roman" finds a metric-compatible
// serif). `cell_height_px` is the GDI cell height (ascent + descent), `avg_char_width_px` the
// average character width GDI would give it (0: the face's natural width), `weight` a FW_ value
// (700 and above picks a bold style). Null when no face can be loaded.
PlatFont* plat_font_open(const char* face_name, int cell_height_px, int avg_char_width_px, int weight);
void plat_font_close(PlatFont* font);

// Draws code page 1251 bytes with the cell's top-left corner at (x, y); `plot` is called once per
// covered pixel with coverage 1..255 (no clipping is done here: the callback clips). Returns the
// advance in pixels. Glyphs are rendered on first use and cached; drawing allocates nothing after.
typedef void (*PlatFontPlot)(void* ctx, int x, int y, unsigned char coverage);
int plat_font_draw(PlatFont* font, const unsigned char* cp1251, int len, int x, int y, PlatFontPlot plot,
                   void* ctx);

// The advance of the bytes in pixels, as plat_font_draw would move.
int plat_font_text_width(PlatFont* font, const unsigned char* cp1251, int len);

// Cell metrics in pixels: height = ascent + descent.
int plat_font_height(PlatFont* font);
int plat_font_ascent(PlatFont* font);

// The Unicode code point of a code page 1251 byte (0 for the one unassigned byte, 0x98).
unsigned plat_cp1251_to_unicode(unsigned char byte);
