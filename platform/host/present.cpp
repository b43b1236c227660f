// Presenting a 16-bit frame. Two routes, chosen once per window:
// - a streaming texture with vsync, when a GPU accelerates SDL's renderer (no tearing, the
//   scaling is free);
// - SDL's framebuffer (SDL_GetWindowSurface / SDL_UpdateWindowSurface) everywhere else: without a
//   GPU the renderer is GL on llvmpipe, several times dearer than XShm. No vsync; the game's own
//   frame pacing sets the rate.
// Either way the frame is widened to 32 bits by SIMD code straight into the memory SDL shows.
#include "platform/host/present.h"

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "platform/host/pixels.h"
#include "platform/host/settings.h"
#include "platform/host/window.h"
#include "platform/seams/seams_video.h"

namespace {

// RGB565 to a 32-bit format other than X8R8G8B8 in two lookups, one per byte of the pixel.
struct Convert32 {
  Uint32 format = 0;
  Uint32 lo[256];
  Uint32 hi[256];
};
Convert32 g_conv;

// Nearest-neighbour maps, rebuilt only when the picture's size changes; one source row widened.
constexpr int kMaxMap = 8192;
int32_t g_xmap[kMaxMap];
int32_t g_ymap[kMaxMap];
int g_map_sw = 0, g_map_sh = 0, g_map_dw = 0, g_map_dh = 0;
uint32_t g_row[kMaxMap + 16];  // the scaling kernel may read 15 pixels past the last

enum class Route { undecided, surface, texture };

struct Presenter {
  Route route = Route::undecided;
  const char* forced = nullptr;  // "surface" or "texture" from a test or TARVELLIN_PRESENT
  Uint32 window_id = 0;
  SDL_Renderer* renderer = nullptr;
  SDL_Texture* texture = nullptr;
  int tex_w = 0, tex_h = 0;
  int tex_smooth = -1;
  SDL_Surface* stage = nullptr;  // the frame at 32 bits, for SDL's linear stretch
  SDL_Surface* wrap = nullptr;   // the frame as an SDL surface, for windows of other depths
  // The window surface and picture rectangle whose black bars are already drawn.
  SDL_Surface* bars_out = nullptr;
  void* bars_pixels = nullptr;
  int bars[6] = {};
  char why[320] = "not presented yet";
};
Presenter g_p;

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

bool is_xrgb(const SDL_PixelFormat* f) {
  return f->BytesPerPixel == 4 && f->Rmask == 0xFF0000u && f->Gmask == 0xFF00u && f->Bmask == 0xFFu;
}

void convert_row(uint32_t* d, const uint16_t* s, int n, const SDL_PixelFormat* f) {
  if (is_xrgb(f)) {
    pix_k.to_xrgb(d, s, n, f->Amask);
    return;
  }
  for (int x = 0; x < n; ++x) d[x] = g_conv.lo[s[x] & 255] | g_conv.hi[s[x] >> 8];
}

// ---------------------------------------------------------------- choosing the route

bool has_render_node() {
  char path[32];
  for (int i = 128; i < 136; ++i) {
    std::snprintf(path, sizeof path, "/dev/dri/renderD%d", i);
    if (access(path, R_OK | W_OK) == 0) return true;
  }
  return false;
}

// The renderer's own name, or for GL the driver's (llvmpipe and its kind run on the CPU).
bool renderer_on_gpu(SDL_Renderer* r, char* name, size_t size) {
  SDL_RendererInfo info;
  if (SDL_GetRendererInfo(r, &info) != 0) return false;
  std::snprintf(name, size, "%s", info.name);
  if (!(info.flags & SDL_RENDERER_ACCELERATED) || std::strcmp(info.name, "software") == 0) return false;
  if (std::strncmp(info.name, "opengl", 6) != 0) return true;
  typedef const unsigned char* (*GetString)(unsigned);
  GetString get = (GetString)SDL_GL_GetProcAddress("glGetString");
  const char* gl = get ? (const char*)get(0x1F01) : nullptr;  // GL_RENDERER
  if (!gl) return false;
  std::snprintf(name, size, "%s on %s", info.name, gl);
  for (const char* soft : {"llvmpipe", "softpipe", "swrast", "Software"})
    if (std::strstr(gl, soft)) return false;
  return true;
}

void drop_objects() {
  // A renderer dies with its window; destroy ours only while that window still exists.
  if (g_p.renderer && SDL_GetWindowFromID(g_p.window_id)) SDL_DestroyRenderer(g_p.renderer);
  if (g_p.stage) SDL_FreeSurface(g_p.stage);
  if (g_p.wrap) SDL_FreeSurface(g_p.wrap);
  g_p.renderer = nullptr;
  g_p.texture = nullptr;
  g_p.stage = g_p.wrap = nullptr;
  g_p.bars_out = nullptr;
  g_p.tex_w = g_p.tex_h = 0;
  g_p.tex_smooth = -1;
}

void choose_route(SDL_Window* win) {
  drop_objects();
  // Without this SDL may put a window surface (ours, or the software renderer's) on a GL
  // texture: llvmpipe again on a machine without a GPU.
  SDL_SetHintWithPriority(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0", SDL_HINT_DEFAULT);
  g_p.window_id = SDL_GetWindowID(win);
  g_p.route = Route::surface;
  const char* forced = g_p.forced ? g_p.forced : SDL_getenv("TARVELLIN_PRESENT");
  const char* driver = SDL_GetCurrentVideoDriver();
  char name[160] = "";
  if (forced && std::strcmp(forced, "texture") == 0) {
    g_p.renderer = SDL_CreateRenderer(win, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!g_p.renderer) g_p.renderer = SDL_CreateRenderer(win, -1, 0);
    if (g_p.renderer) {
      renderer_on_gpu(g_p.renderer, name, sizeof name);
      g_p.route = Route::texture;
      std::snprintf(g_p.why, sizeof g_p.why, "streaming texture (%s), as asked", name);
      return;
    }
  }
  if (forced && std::strcmp(forced, "surface") == 0) {
    std::snprintf(g_p.why, sizeof g_p.why, "window surface, as asked");
  } else if (driver && (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
    std::snprintf(g_p.why, sizeof g_p.why, "window surface: headless video driver '%s'", driver);
  } else if (!has_render_node()) {
    std::snprintf(
        g_p.why, sizeof g_p.why,
        "window surface: no GPU (no /dev/dri render node), so SDL's renderer would run GL on the CPU");
  } else {
    g_p.renderer = SDL_CreateRenderer(win, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (g_p.renderer && renderer_on_gpu(g_p.renderer, name, sizeof name)) {
      g_p.route = Route::texture;
      std::snprintf(g_p.why, sizeof g_p.why, "streaming texture with vsync: %s", name);
      return;
    }
    if (g_p.renderer) SDL_DestroyRenderer(g_p.renderer);
    g_p.renderer = nullptr;
    std::snprintf(g_p.why, sizeof g_p.why, "window surface: the renderer (%s) is not GPU-accelerated",
                  name[0] ? name : "none");
  }
}

// ---------------------------------------------------------------- the texture route

bool present_texture(const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  SDL_Renderer* r = g_p.renderer;
  if (!g_p.texture || g_p.tex_w != width || g_p.tex_h != height) {
    if (g_p.texture) SDL_DestroyTexture(g_p.texture);
    g_p.texture = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!g_p.texture) return false;
    g_p.tex_w = width;
    g_p.tex_h = height;
    g_p.tex_smooth = -1;
  }
  const int smooth = plat_options.smooth ? 1 : 0;
  if (g_p.tex_smooth != smooth) {
    SDL_SetTextureScaleMode(g_p.texture, smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    g_p.tex_smooth = smooth;
  }
  void* tp;
  int tpitch;
  if (SDL_LockTexture(g_p.texture, nullptr, &tp, &tpitch) != 0) return false;
  for (int32_t y = 0; y < height; ++y)
    pix_k.to_xrgb((uint32_t*)((uint8_t*)tp + (size_t)y * tpitch),
                  (const uint16_t*)(pixels + (size_t)y * pitch), width, 0xFF000000u);
  SDL_UnlockTexture(g_p.texture);
  int W = 0, H = 0;
  if (SDL_GetRendererOutputSize(r, &W, &H) != 0 || W <= 0 || H <= 0) return false;
  SDL_Rect dst;
  plat_present_rect(width, height, W, H, &dst.x, &dst.y, &dst.w, &dst.h);
  SDL_SetRenderDrawColor(r, 0, 0, 0, 255);
  SDL_RenderClear(r);
  if (SDL_RenderCopy(r, g_p.texture, nullptr, &dst) != 0) return false;
  SDL_RenderPresent(r);
  return true;
}

// ---------------------------------------------------------------- the window-surface route

// Black around the picture, drawn again only when the surface or the rectangle changes: the
// window surface keeps its pixels between updates.
void draw_bars(SDL_Surface* out, int x, int y, int w, int h) {
  const int key[6] = {x, y, w, h, out->w, out->h};
  if (g_p.bars_out == out && g_p.bars_pixels == out->pixels && std::memcmp(g_p.bars, key, sizeof key) == 0)
    return;
  const SDL_Rect bars[4] = {
      {0, 0, out->w, y}, {0, y + h, out->w, out->h - y - h}, {0, y, x, h}, {x + w, y, out->w - x - w, h}};
  for (const SDL_Rect& b : bars)
    if (b.w > 0 && b.h > 0) SDL_FillRect(out, &b, SDL_MapRGB(out->format, 0, 0, 0));
  g_p.bars_out = out;
  g_p.bars_pixels = out->pixels;
  std::memcpy(g_p.bars, key, sizeof key);
}

// Linear filtering through SDL's own stretch, from the frame widened into a surface made once.
bool present_smooth(SDL_Surface* out, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch,
                    SDL_Rect* dst) {
  if (!g_p.stage || g_p.stage->w != width || g_p.stage->h != height ||
      g_p.stage->format->format != out->format->format) {
    if (g_p.stage) SDL_FreeSurface(g_p.stage);
    g_p.stage = SDL_CreateRGBSurfaceWithFormat(0, width, height, 32, out->format->format);
    if (!g_p.stage) return false;
  }
  for (int32_t y = 0; y < height; ++y)
    convert_row((uint32_t*)((uint8_t*)g_p.stage->pixels + (size_t)y * g_p.stage->pitch),
                (const uint16_t*)(pixels + (size_t)y * pitch), width, out->format);
  return SDL_SoftStretchLinear(g_p.stage, nullptr, out, dst) == 0;
}

bool present_other_depth(SDL_Surface* out, const uint8_t* pixels, int32_t width, int32_t height,
                         int32_t pitch, SDL_Rect* dst) {
  // Windows of fewer or more than 32 bits: SDL converts and scales, through a wrapper made once
  // per frame address and size. Slower, but such displays are rare.
  // The flip swaps the chain's two pixel blocks, so the wrapper is pointed at this frame's each time.
  if (!g_p.wrap || g_p.wrap->w != width || g_p.wrap->h != height || g_p.wrap->pitch != pitch) {
    if (g_p.wrap) SDL_FreeSurface(g_p.wrap);
    g_p.wrap =
        SDL_CreateRGBSurfaceWithFormatFrom((void*)pixels, width, height, 16, pitch, SDL_PIXELFORMAT_RGB565);
    if (!g_p.wrap) return false;
  }
  g_p.wrap->pixels = (void*)pixels;
  return SDL_BlitScaled(g_p.wrap, nullptr, out, dst) == 0;
}

bool present_surface(SDL_Window* win, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  SDL_Surface* out = SDL_GetWindowSurface(win);
  if (!out || out->w <= 0 || out->h <= 0) return false;
  SDL_Rect dst;
  plat_present_rect(width, height, out->w, out->h, &dst.x, &dst.y, &dst.w, &dst.h);
  if (dst.w <= 0 || dst.h <= 0 || dst.w > kMaxMap || dst.h > kMaxMap || width > kMaxMap) return false;
  const SDL_PixelFormat* f = out->format;
  const bool same = dst.w == width && dst.h == height;
  draw_bars(out, dst.x, dst.y, dst.w, dst.h);
  if (f->BytesPerPixel != 4) {
    if (!present_other_depth(out, pixels, width, height, pitch, &dst)) return false;
    return SDL_UpdateWindowSurface(win) == 0;
  }
  if (!is_xrgb(f) && g_conv.format != f->format) build_conv(f);
  if (!same && plat_options.smooth) {
    if (!present_smooth(out, pixels, width, height, pitch, &dst)) return false;
    return SDL_UpdateWindowSurface(win) == 0;
  }
  if (SDL_MUSTLOCK(out) && SDL_LockSurface(out) != 0) return false;
  uint8_t* base = (uint8_t*)out->pixels + (size_t)dst.y * out->pitch + (size_t)dst.x * 4;
  if (same) {
    for (int y = 0; y < dst.h; ++y)
      convert_row((uint32_t*)(base + (size_t)y * out->pitch), (const uint16_t*)(pixels + (size_t)y * pitch),
                  width, f);
  } else {
    if (dst.w != g_map_dw || dst.h != g_map_dh || width != g_map_sw || height != g_map_sh)
      build_maps(width, height, dst.w, dst.h);
    for (int y = 0; y < dst.h; ++y) {
      uint32_t* d = (uint32_t*)(base + (size_t)y * out->pitch);
      if (y > 0 && g_ymap[y] == g_ymap[y - 1]) {
        std::memcpy(d, base + (size_t)(y - 1) * out->pitch, (size_t)dst.w * 4);
        continue;
      }
      convert_row(g_row, (const uint16_t*)(pixels + (size_t)g_ymap[y] * pitch), width, f);
      pix_k.scale_row(d, g_row, g_xmap, dst.w);
    }
  }
  if (SDL_MUSTLOCK(out)) SDL_UnlockSurface(out);
  return SDL_UpdateWindowSurface(win) == 0;
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

void plat_present_rect(int32_t src_w, int32_t src_h, int out_w, int out_h, int* x, int* y, int* w, int* h) {
  if (plat_options.integer_scale && src_w > 0 && src_h > 0) {
    int k = out_w / src_w < out_h / src_h ? out_w / src_w : out_h / src_h;
    if (k >= 1) {
      *w = src_w * k;
      *h = src_h * k;
      *x = (out_w - *w) / 2;
      *y = (out_h - *h) / 2;
      return;
    }
  }
  plat_fit_rect(src_w, src_h, out_w, out_h, x, y, w, h);
}

bool plat_present_565(HWND hwnd, const uint8_t* pixels, int32_t width, int32_t height, int32_t pitch) {
  SDL_Window* win = hwnd ? plat_sdl_window(hwnd) : nullptr;
  if (!win) win = plat_main_sdl_window();
  if (!win || !pixels || width <= 0 || height <= 0) return false;
  if (g_p.route == Route::undecided || SDL_GetWindowID(win) != g_p.window_id) choose_route(win);
  if (g_p.route == Route::texture) return present_texture(pixels, width, height, pitch);
  return present_surface(win, pixels, width, height, pitch);
}

const char* plat_present_route() { return g_p.why; }

void plat_present_reset(const char* route) {
  drop_objects();
  g_p.route = Route::undecided;
  g_p.forced = route;
  std::snprintf(g_p.why, sizeof g_p.why, "not presented yet");
}

bool seam_window_pixels(const uint32_t** pixels, int* width, int* height, int* pitch_px) {
  SDL_Window* win = plat_main_sdl_window();
  SDL_Surface* out = win ? SDL_GetWindowSurface(win) : nullptr;
  if (!out || out->format->BytesPerPixel != 4) return false;
  *pixels = (const uint32_t*)out->pixels;
  *width = out->w;
  *height = out->h;
  *pitch_px = out->pitch / 4;
  return true;
}

bool seam_window_resize(int width, int height) {
  SDL_Window* win = plat_main_sdl_window();
  if (!win) return false;
  SDL_SetWindowSize(win, width, height);
  int w = 0, h = 0;
  SDL_GetWindowSizeInPixels(win, &w, &h);
  return w == width && h == height;
}
