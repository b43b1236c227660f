// The BMP reader. Whatever a file's headers say, nothing is read or written outside the buffers:
// sizes are checked against the file's real length before anything is allocated.
#include "gfx/bmp.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/lang.h"

ImageFile gfx_scratch_image;

namespace {

bool read_exact(HFILE f, void* buf, UINT n) { return _lread(f, buf, n) == n; }

// Moves forward to `to`, for pixel data that lie further back than the headers' end.
bool skip_to(HFILE f, LONG at, LONG to) {
  if (to <= at) return true;
  return _llseek(f, to, FILE_BEGIN) == to;
}

// Every refusal closes the file and leaves the record without a picture, so headers read from
// the refused file never describe pixels of an earlier one.
int refuse(HFILE f, ImageFile* image, uint8_t* work) {
  std::free(work);
  bmp_unload(image);
  _lclose(f);
  return 0;
}

// A picture in the chosen language's folder of the data ("en/image/start.bmp") stands in for the
// original; the original is read where the language has none, as in a player's own data folder.
HFILE open_picture(const char* path, OFSTRUCT* of) {
  if (lang_current != LANG_ORIGINAL && path[0] != '/') {
    char local[512];
    int n = std::snprintf(local, sizeof local, "%s/%s", lang_code(lang_current), path);
    if (n > 0 && (size_t)n < sizeof local) {
      HFILE f = OpenFile(local, of, OF_READ);
      if (f != HFILE_ERROR) return f;
    }
  }
  return OpenFile(path, of, OF_READ);
}

}  // namespace

int bmp_load(ImageFile* image, const char* path) {
  if (!image || !path) return 0;
  OFSTRUCT of;
  HFILE f = open_picture(path, &of);
  if (f == HFILE_ERROR) return 0;
  BITMAPFILEHEADER& fh = image->file_header;
  BITMAPINFOHEADER& ih = image->info_header;
  if (!read_exact(f, &fh, sizeof fh) || fh.bfType != 0x4D42) return refuse(f, image, nullptr);
  if (!read_exact(f, &ih, sizeof ih)) return refuse(f, image, nullptr);

  image->layout = BMP_LAYOUT_NONE;
  const int32_t bits = ih.biBitCount;
  if (bits != 8 && bits != 16 && bits != 24) return refuse(f, image, nullptr);
  // Run-length and other packed data cannot be taken as rows of pixels; masks go with 16 bits.
  const bool masked = ih.biCompression == BI_BITFIELDS;
  if (ih.biCompression != BI_RGB && !(masked && bits == 16)) return refuse(f, image, nullptr);
  if (ih.biSize < sizeof ih) return refuse(f, image, nullptr);
  const int32_t width = ih.biWidth;
  const bool top_down = ih.biHeight < 0;
  if (width <= 0 || width > BMP_MAX_SIDE || ih.biHeight == 0 || ih.biHeight < -BMP_MAX_SIDE ||
      ih.biHeight > BMP_MAX_SIDE)
    return refuse(f, image, nullptr);
  const int32_t height = top_down ? -ih.biHeight : ih.biHeight;

  LONG at = (LONG)(sizeof fh + sizeof ih);
  // A larger info header (V4, V5) is followed by its extra fields. The three masks of
  // BI_BITFIELDS are its first extra fields, or follow a 40-byte header: the same 12 bytes.
  LONG headers_end = (LONG)sizeof fh + (LONG)(ih.biSize > 4096 ? 4096 : ih.biSize);
  image->layout = bits == 8 ? BMP_LAYOUT_INDEXED8 : bits == 24 ? BMP_LAYOUT_BGR24 : BMP_LAYOUT_RGB565;
  // Some tools write BI_BITFIELDS after a 40-byte header with the pixels where the masks belong;
  // their pixels are 5.6.5.
  const bool masks_missing =
      masked && ih.biSize < sizeof ih + 12 && fh.bfOffBits >= (DWORD)at && fh.bfOffBits < (DWORD)at + 12;
  if (masks_missing) {
    image->layout = BMP_LAYOUT_MASKS_MISSING;
  } else if (masked) {
    DWORD masks[3];
    if (!read_exact(f, masks, sizeof masks)) return refuse(f, image, nullptr);
    at += (LONG)sizeof masks;
    if (ih.biSize < sizeof ih + sizeof masks) headers_end = at;
    if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F)
      image->layout = BMP_LAYOUT_BITFIELDS565;
    else if (masks[0] == 0x7C00 && masks[1] == 0x03E0 && masks[2] == 0x001F)
      image->layout = BMP_LAYOUT_BITFIELDS555;
    else
      return refuse(f, image, nullptr);  // no other arrangement of the bits is read
  }
  if (!skip_to(f, at, headers_end)) return refuse(f, image, nullptr);
  at = headers_end > at ? headers_end : at;

  if (bits == 8) {
    // The colour table: as many entries as biClrUsed says, 256 when it says 0.
    RGBQUAD table[256];
    DWORD entries = ih.biClrUsed == 0 || ih.biClrUsed > 256 ? 256 : ih.biClrUsed;
    std::memset(table, 0, sizeof table);
    if (!read_exact(f, table, entries * 4)) return refuse(f, image, nullptr);
    at += (LONG)(entries * 4);
    for (int i = 0; i < 256; ++i)
      image->palette[i] = PALETTEENTRY{table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue, PC_NOCOLLAPSE};
  }

  // Rows in the file are padded to 4 bytes (for the game's widths there is no padding).
  const size_t pixel_bytes = (size_t)bits / 8;
  const size_t row_in = ((size_t)width * pixel_bytes + 3) & ~(size_t)3;
  const size_t data_bytes = row_in * (size_t)height;
  if (ih.biSizeImage != 0 && ih.biSizeImage < data_bytes) return refuse(f, image, nullptr);
  if (fh.bfOffBits > (DWORD)at && fh.bfOffBits < 0x7FFFFFFF) {
    if (!skip_to(f, at, (LONG)fh.bfOffBits)) return refuse(f, image, nullptr);
    at = (LONG)fh.bfOffBits;
  }
  // A file that ends before its pixel data is refused before anything is allocated for them.
  LONG end = _llseek(f, 0, FILE_END);
  if (end == HFILE_ERROR || (size_t)end < (size_t)at + data_bytes || _llseek(f, at, FILE_BEGIN) != at)
    return refuse(f, image, nullptr);

  image->top_down = top_down ? 1 : 0;
  image->data_offset = (uint32_t)at;
  uint8_t* work = (uint8_t*)std::malloc(data_bytes);
  if (!work) return refuse(f, image, nullptr);
  if (!read_exact(f, work, (UINT)data_bytes)) return refuse(f, image, work);

  const size_t out_pixel = bits == 8 ? 1 : 2;
  const size_t row_out = (size_t)width * out_pixel;
  bmp_unload(image);
  image->pixels = (uint8_t*)std::malloc(row_out * (size_t)height);
  if (!image->pixels) return refuse(f, image, work);
  for (int32_t y = 0; y < height; ++y) {
    const uint8_t* in = work + (size_t)y * row_in;
    uint8_t* out = image->pixels + (size_t)y * row_out;
    uint16_t* words = (uint16_t*)out;
    if (image->layout == BMP_LAYOUT_BITFIELDS555) {
      // Green widened to six bits by repeating its top bit, as the 24-bit conversion rounds.
      for (int32_t x = 0; x < width; ++x) {
        const uint32_t v = (uint32_t)in[2 * x] | (uint32_t)in[2 * x + 1] << 8;
        const uint32_t g5 = (v >> 5) & 31;
        words[x] = (uint16_t)(((v & 0x7C00) << 1) | (((g5 << 1) | (g5 >> 4)) << 5) | (v & 31));
      }
      continue;
    }
    if (bits != 24) {
      std::memcpy(out, in, row_out);
      continue;
    }
    for (int32_t x = 0; x < width; ++x) {
      const uint8_t* p = in + (size_t)x * 3;
      int32_t v = gfx_rgb_bit_count == 15 ? gfx_rgb555(p[2], p[1], p[0]) : gfx_rgb565(p[2], p[1], p[0]);
      words[x] = (uint16_t)v;
    }
  }
  std::free(work);
  _lclose(f);
  if (bits == 24) ih.biBitCount = 16;
  ih.biHeight = height;
  if (!top_down) bmp_flip_rows(image->pixels, (int32_t)row_out, height);
  return 1;
}

int bmp_unload(ImageFile* image) {
  if (image && image->pixels) {
    std::free(image->pixels);
    image->pixels = nullptr;
  }
  return 1;
}

int bmp_flip_rows(uint8_t* pixels, int32_t row_bytes, int32_t rows) {
  if (rows < 1 || row_bytes <= 0) return 1;
  if (!pixels) return 0;
  size_t row = (size_t)row_bytes;
  uint8_t* copy = (uint8_t*)std::malloc(row * (size_t)rows);
  if (!copy) return 0;
  std::memcpy(copy, pixels, row * (size_t)rows);
  for (int32_t r = 0; r < rows; ++r)
    std::memcpy(pixels + (size_t)(rows - 1 - r) * row, copy + (size_t)r * row, row);
  std::free(copy);
  return 1;
}

int bmp_copyable(const ImageFile* image) {
  return image && image->pixels && image->info_header.biBitCount == 16 ? 1 : 0;
}

int gfx_load_bmp_into_surface(int32_t width, int32_t height, const char* path, Surface surface) {
  if (surface) bmp_load(&gfx_scratch_image, path);
  DDSURFACEDESC2 desc;
  gfx_lock_surface(surface, &desc);
  const ImageFile& img = gfx_scratch_image;
  // Only 16-bit pictures can be copied at 2 bytes a pixel, and only where picture and surface
  // both have pixels.
  if (desc.lpSurface && bmp_copyable(&img)) {
    int32_t w = width, h = height;
    if (w > img.info_header.biWidth) w = img.info_header.biWidth;
    if (h > img.info_header.biHeight) h = img.info_header.biHeight;
    if (w > (int32_t)desc.dwWidth) w = (int32_t)desc.dwWidth;
    if (h > (int32_t)desc.dwHeight) h = (int32_t)desc.dwHeight;
    const size_t src_row = (size_t)img.info_header.biWidth * 2;
    for (int32_t y = 0; y < h && w > 0; ++y)
      std::memcpy((uint8_t*)desc.lpSurface + (size_t)y * desc.lPitch, img.pixels + (size_t)y * src_row,
                  (size_t)w * 2);
  }
  gfx_unlock_surface(surface);
  bmp_unload(&gfx_scratch_image);
  return 1;
}

Surface gfx_picture_load(int32_t width, int32_t height, Rgb16 key, const char* path) {
  Surface s = gfx_create_surface(width, height, DDSCAPS_VIDEOMEMORY, key);
  gfx_load_bmp_into_surface(width, height, path, s);
  return s;
}
