// GDI: the records the game's picture and clip code uses, and text into the device context of a
// surface. Declared as the SDK declares them.
#pragma once
#include <cstdint>

#include "platform/wintypes.h"

#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) ((BYTE)(rgb))
#define GetGValue(rgb) ((BYTE)(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) ((BYTE)((rgb) >> 16))

#define TRANSPARENT 1
#define OPAQUE 2
#define CLR_INVALID 0xFFFFFFFF
#define GDI_ERROR 0xFFFFFFFFL
#define PC_NOCOLLAPSE 0x04
#define RDH_RECTANGLES 1
#define BI_RGB 0L
#define BI_RLE8 1L
#define BI_RLE4 2L
#define BI_BITFIELDS 3L

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_NORMAL 400
#define FW_BOLD 700
#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define RUSSIAN_CHARSET 204
#define OUT_DEFAULT_PRECIS 0
#define OUT_STRING_PRECIS 1
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define DEFAULT_PITCH 0
#define FF_DONTCARE 0

#pragma pack(push, 2)
struct BITMAPFILEHEADER {
  WORD bfType;
  DWORD bfSize;
  WORD bfReserved1;
  WORD bfReserved2;
  DWORD bfOffBits;
};
#pragma pack(pop)
static_assert(sizeof(BITMAPFILEHEADER) == 14, "BMP file header is 14 bytes on disk");

struct BITMAPINFOHEADER {
  DWORD biSize;
  LONG biWidth;
  LONG biHeight;
  WORD biPlanes;
  WORD biBitCount;
  DWORD biCompression;
  DWORD biSizeImage;
  LONG biXPelsPerMeter;
  LONG biYPelsPerMeter;
  DWORD biClrUsed;
  DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40, "BMP info header is 40 bytes on disk");

struct RGBQUAD {
  BYTE rgbBlue;
  BYTE rgbGreen;
  BYTE rgbRed;
  BYTE rgbReserved;
};

struct PALETTEENTRY {
  BYTE peRed;
  BYTE peGreen;
  BYTE peBlue;
  BYTE peFlags;
};

struct RGNDATAHEADER {
  DWORD dwSize;
  DWORD iType;
  DWORD nCount;
  DWORD nRgnSize;
  RECT rcBound;
};
static_assert(sizeof(RGNDATAHEADER) == 32, "region header is 32 bytes");

struct RGNDATA {
  RGNDATAHEADER rdh;
  char Buffer[1];
};
typedef RGNDATA* LPRGNDATA;

HFONT WINAPI CreateFontA(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight,
                         DWORD bItalic, DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet,
                         DWORD iOutPrecision, DWORD iClipPrecision, DWORD iQuality, DWORD iPitchAndFamily,
                         LPCSTR pszFaceName);
BOOL WINAPI DeleteObject(HGDIOBJ ho);
HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ h);
int WINAPI SetBkMode(HDC hdc, int mode);
COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color);
BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR lpString, int c);

// Inside the platform layer only: device contexts over 16-bit pixel memory, handed out by
// IDirectDrawSurface7::GetDC. Null when every context is in use.
HDC plat_dc_acquire(uint8_t* pixels, int32_t width, int32_t height, int32_t pitch_bytes);
void plat_dc_release(HDC dc);

// Inside the platform layer and its tools: what the rasteriser was asked for a font CreateFontA
// made, or, for a null font, for the system font that text falls back to when none is selected.
// The face name lives as long as the font. False for a handle that is no font. The browser's
// glyph table is baked from these, so it holds exactly the fonts GDI opens.
struct PlatFontSpec;
bool plat_gdi_font_spec(HFONT font, PlatFontSpec* spec);
