// The last presented frame as a 24-bit BMP file, for tests and headless tools.
#include <cstdio>
#include <cstdlib>

#include "platform/seams/seams_video.h"

bool seam_save_frame_bmp(const char* path) {
  const uint16_t* px;
  int w, h, pitch;
  if (!path || !seam_last_frame(&px, &w, &h, &pitch)) return false;
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  int row = (w * 3 + 3) & ~3;
  uint32_t data = (uint32_t)row * (uint32_t)h;
  uint8_t hdr[54] = {'B', 'M'};
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) hdr[at + i] = (uint8_t)(v >> (8 * i));
  };
  put32(2, 54 + data);
  put32(10, 54);
  put32(14, 40);
  put32(18, (uint32_t)w);
  put32(22, (uint32_t)h);
  hdr[26] = 1;
  hdr[28] = 24;
  put32(34, data);
  bool ok = std::fwrite(hdr, 1, sizeof hdr, f) == sizeof hdr;
  uint8_t* line = (uint8_t*)std::calloc((size_t)row, 1);
  for (int y = h - 1; ok && line && y >= 0; --y) {
    const uint16_t* s = px + (size_t)y * pitch;
    for (int x = 0; x < w; ++x) {
      uint16_t v = s[x];
      uint8_t r = (uint8_t)((v >> 11) & 31), g = (uint8_t)((v >> 5) & 63), b = (uint8_t)(v & 31);
      line[x * 3 + 0] = (uint8_t)((b << 3) | (b >> 2));
      line[x * 3 + 1] = (uint8_t)((g << 2) | (g >> 4));
      line[x * 3 + 2] = (uint8_t)((r << 3) | (r >> 2));
    }
    ok = std::fwrite(line, 1, (size_t)row, f) == (size_t)row;
  }
  std::free(line);
  return std::fclose(f) == 0 && ok && line;
}
