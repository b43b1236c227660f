// Presenting through SDL's framebuffer route (SDL_GetWindowSurface / SDL_UpdateWindowSurface):
// on a machine without a GPU it costs a fraction of the GL renderer's time. The route has no
// vsync; the game's own frame pacing sets the rate.
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/ddraw7_present.h"
#include "platform/sdl_window.h"
#include "platform/seams_video.h"

namespace {

// RGB565 to the window's 32-bit format in two lookups, one per byte of the pixel.
struct Convert32 {
  Uint32 format = 0;
  Uint32 lo[256];
  Uint32 hi[256];
};
Convert32 g_conv;

// Nearest-neighbour maps, rebuilt only when the window's size changes.
constexpr int kMaxMap = 8192;
int32_t g_xmap[kMaxMap];
int32_t g_ymap[kMaxMap];
int g_map_sw = 0, g_map_sh = 0, g_map_dw = 0, g_map_dh = 0;

void build_conv(const SDL_PixelFormat* f) {
  for (int b = 0; b < 256; ++b) {
    // Low byte: the low 3 bits of green and all of blue; high byte: red and the top of green.
    // 8-bit green is (g6 << 2) | (g6 >> 4); the parts from each byte occupy disjoint bits.
    Uint32 g_lo = (Uint32)(b >> 5), blue = (Uint32)(b & 31);
    Uint32 red = (Uint32)(b >> 3), g_hi = (Uint32)(b & 7);
    Uint32 bl8 = (blue << 3) | (blue >> 2);
    Uint32 r8 = (red << 3) | (red >> 2);
    g_conv.lo[b] = (bl8 << f->Bshift) | ((g_lo << 2) << f->Gshift);
    g_conv.hi[b] = (r8 << f->Rshift) | (((g_hi << 5) | (g_hi >> 1)) << f->Gshift) | f->Amask;
  }
  g_conv.format = f->format;
}

void build_maps(int32_t sw, int32_t sh, int dw, int dh) {
  for (int x = 0; x < dw; ++x) g_xmap[x] = (int32_t)((int64_t)x * sw / dw);
  for (int y = 0; y < dh; ++y) g_ymap[y] = (int32_t)((int64_t)y * sh / dh);
  g_map_sw = sw;
  g_map_sh = sh;
  g_map_dw = dw;
  g_map_dh = dh;
}

}  // namespace

void plat_fit_rect(int32_t src_w, int32_t src_h, int out_w, int out_h, int* x, int* y, int* w, int* h) {
  int dw = out_w, dh = src_w > 0 ? (int)((int64_t)out_w * src_h / src_w) : 0;
  if (dh > out_h) {
    dh = out_h;
    dw = src_h > 0 ? (int)((int64_t)out_h * src_w / src_h) : 0;
  }
  *w = dw;
  *h = dh;
  *x = (out_w - dw) / 2;
  *y = (out_h - dh) / 2;
}

bool plat_present_565(HWND hwnd, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  SDL_Window* win = hwnd ? plat_sdl_window(hwnd) : nullptr;
  if (!win) win = plat_main_sdl_window();
  if (!win || !pixels || width <= 0 || height <= 0) return false;
  // Without this SDL may put the window surface on a GL texture (llvmpipe on a machine without
  // a GPU), several times dearer than the driver's own framebuffer (XShm on X11).
  static bool hinted = false;
  if (!hinted) {
    SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
    hinted = true;
  }
  SDL_Surface* out = SDL_GetWindowSurface(win);
  if (!out) return false;
  int W = out->w, H = out->h;
  if (W <= 0 || H <= 0) return false;
  int ox, oy, dw, dh;
  plat_fit_rect(width, height, W, H, &ox, &oy, &dw, &dh);
  if (dw <= 0 || dh <= 0 || dw > kMaxMap || dh > kMaxMap) return false;
  if (SDL_MUSTLOCK(out) && SDL_LockSurface(out) != 0) return false;
  const SDL_PixelFormat* f = out->format;
  if (f->BytesPerPixel == 4) {
    if (g_conv.format != f->format) build_conv(f);
    if (dw != g_map_dw || dh != g_map_dh || width != g_map_sw || height != g_map_sh) build_maps(width, height, dw, dh);
    uint8_t* base = (uint8_t*)out->pixels;
    for (int y = 0; y < oy; ++y) std::memset(base + (size_t)y * out->pitch, 0, (size_t)W * 4);
    for (int y = oy + dh; y < H; ++y) std::memset(base + (size_t)y * out->pitch, 0, (size_t)W * 4);
    bool one_to_one = dw == width && dh == height;
    bool xrgb = f->Rshift == 16 && f->Gshift == 8 && f->Bshift == 0;
    Uint32 alpha = f->Amask;
    for (int y = 0; y < dh; ++y) {
      Uint32* d = (Uint32*)(base + (size_t)(y + oy) * out->pitch);
      for (int x = 0; x < ox; ++x) d[x] = 0;
      for (int x = ox + dw; x < W; ++x) d[x] = 0;
      d += ox;
      const uint8_t* srow = pixels + (size_t)g_ymap[y] * pitch;
      if (one_to_one && xrgb) {
        // The common case, in shifts the compiler turns into vector code: each 5- or 6-bit
        // field widened to 8 bits by repeating its top bits.
        const uint16_t* s = (const uint16_t*)srow;
        for (int x = 0; x < dw; ++x) {
          Uint32 v = s[x];
          d[x] = ((v & 0xF800u) << 8) | ((v & 0xE000u) << 3) | ((v & 0x07E0u) << 5) | ((v & 0x0600u) >> 1) |
                 ((v & 0x001Fu) << 3) | ((v & 0x001Cu) >> 2) | alpha;
        }
      } else if (one_to_one) {
        const uint16_t* s = (const uint16_t*)srow;
        for (int x = 0; x < dw; ++x) {
          uint16_t v = s[x];
          d[x] = g_conv.lo[v & 255] | g_conv.hi[v >> 8];
        }
      } else {
        const uint16_t* s = (const uint16_t*)srow;
        for (int x = 0; x < dw; ++x) {
          uint16_t v = s[g_xmap[x]];
          d[x] = g_conv.lo[v & 255] | g_conv.hi[v >> 8];
        }
      }
    }
    if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
  } else {
    // Uncommon window formats: let SDL convert and scale through a wrapper made once per frame
    // size. Slower, but only reached on displays of fewer or more than 32 bits. The flip swaps
    // the chain's two pixel blocks, so the wrapper is pointed at this frame's each time.
    if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
    static SDL_Surface* wrap = nullptr;
    if (!wrap || wrap->w != width || wrap->h != height || wrap->pitch != pitch) {
      if (wrap) SDL_FreeSurface(wrap);
      wrap = SDL_CreateRGBSurfaceWithFormatFrom((void*)pixels, width, height, 16, pitch, SDL_PIXELFORMAT_RGB565);
      if (!wrap) return false;
    }
    wrap->pixels = (void*)pixels;
    SDL_FillRect(out, nullptr, 0);
    SDL_Rect dst{ox, oy, dw, dh};
    if (SDL_BlitScaled(wrap, nullptr, out, &dst) != 0) return false;
  }
  return SDL_UpdateWindowSurface(win) == 0;
}

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
