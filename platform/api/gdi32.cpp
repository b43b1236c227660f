// GDI text over surface memory: fonts in a fixed table, device contexts in another.
#include "platform/api/gdi32.h"

#include <cstdio>
#include <cstring>

#include "platform/host/fontraster.h"
#include "platform/seams/seams.h"

namespace {

constexpr int kFontCount = 16;  // CreateFontA returns null when all are in use
constexpr int kDcCount = 8;     // GetDC fails when all are out

struct FontRec {
  HFONT__ handle;
  PlatFont* font;
  char face[64];
  PlatFontSpec spec;
  bool used;
};

// GDI's system font stand-in for a context with no font selected.
constexpr PlatFontSpec kSystemFont{"sans-serif", 16, 0, FW_BOLD, PLAT_FONT_MONO};

struct DcRec {
  HDC__ handle;
  uint8_t* pixels;
  int32_t width, height, pitch;
  FontRec* font;
  COLORREF text_colour;
  int bk_mode;
  bool used;
};

FontRec g_fonts[kFontCount];
DcRec g_dcs[kDcCount];
FontRec g_default_font;  // GDI's system font stand-in, opened on first need

FontRec* font_of(HGDIOBJ h) {
  for (FontRec& f : g_fonts)
    if (f.used && (void*)&f.handle == h) return &f;
  return nullptr;
}

DcRec* dc_of(HDC h) {
  for (DcRec& d : g_dcs)
    if (d.used && &d.handle == h) return &d;
  return nullptr;
}

uint16_t pack565(COLORREF c) {
  return (uint16_t)(((GetRValue(c) >> 3) << 11) | ((GetGValue(c) >> 2) << 5) | (GetBValue(c) >> 3));
}

struct SpanCtx {
  DcRec* dc;
  uint16_t colour;
};

// One run of a glyph, clipped to the surface. A fully covered run is the text colour; a grey
// level blends it over the pixel.
void span_565(void* p, int x, int y, int len, const unsigned char* cov) {
  SpanCtx* ctx = (SpanCtx*)p;
  DcRec* dc = ctx->dc;
  if (y < 0 || y >= dc->height || x >= dc->width || x + len <= 0) return;
  int from = x < 0 ? -x : 0, to = x + len > dc->width ? dc->width - x : len;
  uint16_t* px = (uint16_t*)(dc->pixels + (size_t)y * dc->pitch) + x;
  const unsigned s = ctx->colour;
  if (!cov) {
    for (int i = from; i < to; ++i) px[i] = (uint16_t)s;
    return;
  }
  for (int i = from; i < to; ++i) {
    unsigned d = px[i], a = cov[i], ia = 255 - a;
    unsigned r = (((s >> 11) & 31) * a + ((d >> 11) & 31) * ia + 127) / 255;
    unsigned g = (((s >> 5) & 63) * a + ((d >> 5) & 63) * ia + 127) / 255;
    unsigned b = ((s & 31) * a + (d & 31) * ia + 127) / 255;
    px[i] = (uint16_t)((r << 11) | (g << 5) | b);
  }
}

// GDI's default quality follows the face's own grid-fitting table; the explicit ones force it.
PlatFontQuality quality_of(DWORD q) {
  if (q == NONANTIALIASED_QUALITY) return PLAT_FONT_MONO;
  if (q == ANTIALIASED_QUALITY) return PLAT_FONT_SMOOTH;
  return PLAT_FONT_GASP;
}

}  // namespace

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int, int, int cWeight, DWORD, DWORD, DWORD, DWORD, DWORD,
                         DWORD, DWORD iQuality, DWORD, LPCSTR pszFaceName) {
  HRESULT hr;
  if (seam_fault("CreateFontA", &hr)) return nullptr;
  FontRec* slot = nullptr;
  for (FontRec& f : g_fonts)
    if (!f.used) {
      slot = &f;
      break;
    }
  if (!slot) return nullptr;
  // The name is kept with the font (and cut to fit), so the record says what was opened.
  if (pszFaceName) std::snprintf(slot->face, sizeof slot->face, "%s", pszFaceName);
  const PlatFontSpec spec{pszFaceName ? slot->face : nullptr, cHeight, cWidth < 0 ? -cWidth : cWidth, cWeight,
                          quality_of(iQuality)};
  PlatFont* pf =
      plat_font_open(spec.face_name, spec.height_px, spec.avg_char_width_px, spec.weight, spec.quality);
  if (!pf) return nullptr;
  slot->font = pf;
  slot->spec = spec;
  slot->used = true;
  seam_trace("CreateFontA %s %dx%d", pszFaceName ? pszFaceName : "", cHeight, cWidth);
  return &slot->handle;
}

BOOL WINAPI DeleteObject(HGDIOBJ ho) {
  FontRec* f = font_of(ho);
  if (!f) return FALSE;
  for (DcRec& d : g_dcs)
    if (d.used && d.font == f) return FALSE;  // GDI refuses to delete a selected object
  plat_font_close(f->font);
  *f = FontRec{};
  return TRUE;
}

HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h) {
  DcRec* dc = dc_of(hdc);
  FontRec* f = font_of(h);
  if (!dc || !f) return nullptr;
  FontRec* old = dc->font;
  dc->font = f;
  return old ? (HGDIOBJ)&old->handle : (HGDIOBJ)&g_default_font.handle;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  DcRec* dc = dc_of(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  int old = dc->bk_mode;
  dc->bk_mode = mode;
  return old;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  DcRec* dc = dc_of(hdc);
  if (!dc) return CLR_INVALID;
  COLORREF old = dc->text_colour;
  dc->text_colour = color & 0xFFFFFF;
  return old;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c) {
  HRESULT hr;
  if (seam_fault("TextOutA", &hr)) return FALSE;
  DcRec* dc = dc_of(hdc);
  if (!dc || c < 0 || (!lpString && c > 0)) return FALSE;
  if (c == 0) return TRUE;
  PlatFont* font = nullptr;
  if (dc->font) {
    font = dc->font->font;
  } else {
    const PlatFontSpec& s = kSystemFont;
    if (!g_default_font.font)
      g_default_font.font =
          plat_font_open(s.face_name, s.height_px, s.avg_char_width_px, s.weight, s.quality);
    font = g_default_font.font;
  }
  if (!font) return FALSE;
  const unsigned char* text = (const unsigned char*)lpString;
  if (dc->bk_mode == OPAQUE) {
    // GDI's default background colour is white.
    int w = plat_font_text_width(font, text, c), h = plat_font_height(font);
    for (int yy = y < 0 ? 0 : y; yy < y + h && yy < dc->height; ++yy)
      for (int xx = x < 0 ? 0 : x; xx < x + w && xx < dc->width; ++xx)
        ((uint16_t*)(dc->pixels + (size_t)yy * dc->pitch))[xx] = 0xFFFF;
  }
  SpanCtx ctx{dc, pack565(dc->text_colour)};
  plat_font_draw(font, text, c, x, y, span_565, &ctx);
  return TRUE;
}

bool plat_gdi_font_spec(HFONT h, PlatFontSpec* spec) {
  const FontRec* f = h ? font_of(h) : nullptr;
  if (!spec || (h && !f)) return false;
  *spec = f ? f->spec : kSystemFont;
  return true;
}

HDC plat_dc_acquire(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch_bytes) {
  if (!pixels || width <= 0 || height <= 0 || pitch_bytes < width * 2) return nullptr;
  for (DcRec& d : g_dcs)
    if (!d.used) {
      // A fresh context: GDI's defaults of black text on an opaque background, system font.
      d.pixels = pixels;
      d.width = width;
      d.height = height;
      d.pitch = pitch_bytes;
      d.font = nullptr;
      d.text_colour = 0;
      d.bk_mode = OPAQUE;
      d.used = true;
      return &d.handle;
    }
  return nullptr;
}

void plat_dc_release(HDC hdc) {
  if (DcRec* d = dc_of(hdc)) *d = DcRec{};
}
