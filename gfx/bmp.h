// Uncompressed BMP files read into 16-bit pixels (8-bit files keep their palette indices).
#pragma once
#include <cstdint>

#include "gfx/surface.h"
#include "platform/win32.h"

// How the file stored its pixels, as the reader understood it; for reports, since the pixels
// themselves are already in the display's format.
enum BmpLayout : int32_t {
  BMP_LAYOUT_NONE,           // nothing read (refused before the layout was known)
  BMP_LAYOUT_INDEXED8,       // palette indices
  BMP_LAYOUT_RGB565,         // 16-bit BI_RGB, taken as 5.6.5
  BMP_LAYOUT_BITFIELDS565,   // 16-bit with 5.6.5 masks
  BMP_LAYOUT_BITFIELDS555,   // 16-bit with 5.5.5 masks, converted to 5.6.5
  BMP_LAYOUT_MASKS_MISSING,  // 16-bit BI_BITFIELDS whose pixels fill the masks' place: 5.6.5
  BMP_LAYOUT_BGR24,          // 24-bit, converted
};

struct ImageFile {
  BITMAPFILEHEADER file_header;
  BITMAPINFOHEADER info_header;  // biBitCount 16 after a 24-bit file; biHeight positive once loaded
  PALETTEENTRY palette[256];     // 8-bit files only
  uint8_t* pixels;               // owned; rows top-down, biWidth x (biBitCount / 8) bytes, no padding
  BmpLayout layout;
  uint8_t top_down;      // the file stored its rows top row first
  uint32_t data_offset;  // where the file's pixel rows begin
};

// Holds a picture only inside one gfx_load_bmp_into_surface call.
extern ImageFile gfx_scratch_image;

// Files wider or taller than this are refused.
constexpr int32_t BMP_MAX_SIDE = 16384;

int bmp_load(ImageFile* image, const char* path);
int bmp_unload(ImageFile* image);
int bmp_flip_rows(uint8_t* pixels, int32_t row_bytes, int32_t rows);
// 1 when gfx_load_bmp_into_surface copies from this loaded picture (it holds 16-bit pixels).
int bmp_copyable(const ImageFile* image);
// Copies the picture into the surface, only where both have pixels; always 1.
int gfx_load_bmp_into_surface(int32_t width, int32_t height, const char* path, Surface surface);
// A picture as the start-up loads every one: a video-memory surface of the picture's size with
// the given colour key, filled from the file. Null when the surface cannot be created.
Surface gfx_picture_load(int32_t width, int32_t height, Rgb16 key, const char* path);
