#include "bench/bench_world.h"

#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/globals.h"
#include "game/play_images.h"
#include "game/screen.h"
#include "gfx/display.h"
#include "platform/port/options.h"

namespace {

LRESULT CALLBACK bench_wndproc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

void open_world(BenchWorld& w) {
  plat_options.window = true;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = bench_wndproc;
  wc.lpszClassName = "BENCHWORLD";
  RegisterClassExA(&wc);
  game_window = CreateWindowExA(0, "BENCHWORLD", "GAME", WS_POPUP | WS_VISIBLE, 0, 0, GAME_SCREEN_WIDTH,
                                GAME_SCREEN_HEIGHT, nullptr, nullptr, nullptr, nullptr);
  if (!game_window || gfx_display_open(GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT, 16) != 1) return;
  char here[PATH_MAX];
  if (!getcwd(here, sizeof here) || chdir(bench_data_dir()) != 0) return;
  srand(1);
  game_play_setup();
  if (chdir(here) != 0) return;
  w.sdl_back =
      SDL_CreateRGBSurfaceWithFormat(0, GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT, 16, SDL_PIXELFORMAT_RGB565);
  w.scattered = gfx_create_surface(GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT, DDSCAPS_VIDEOMEMORY, 0);
  if (!w.sdl_back || !w.scattered) return;
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  gfx_lock_surface(w.scattered, &d);
  if (!d.lpSurface) return;
  uint32_t seed = 7;
  for (int y = 0; y < GAME_SCREEN_HEIGHT; ++y) {
    uint16_t* row = (uint16_t*)((uint8_t*)d.lpSurface + (size_t)y * d.lPitch);
    for (int x = 0; x < GAME_SCREEN_WIDTH; ++x) {
      seed = seed * 1664525u + 1013904223u;
      row[x] = (x + y) % 3 == 0 ? 0 : (uint16_t)((seed >> 16) | 0x0821);
    }
  }
  gfx_unlock_surface(w.scattered);
  w.ok = true;
}

}  // namespace

const char* bench_data_dir() {
  const char* d = std::getenv("TARVELLIN_DATA");
  return d && *d ? d : "data";
}

BenchWorld& bench_world() {
  static BenchWorld w;
  static bool tried = false;
  if (!tried) {
    tried = true;
    open_world(w);
  }
  return w;
}

SDL_Surface* bench_sdl_copy(Surface s, const RECT* r, bool rle) {
  RECT whole{0, 0, s->width, s->height};
  if (!r) r = &whole;
  const int w = r->right - r->left, h = r->bottom - r->top;
  SDL_Surface* out = SDL_CreateRGBSurfaceWithFormat(0, w, h, 16, SDL_PIXELFORMAT_RGB565);
  if (!out) return nullptr;
  DDSURFACEDESC2 d{};
  d.dwSize = sizeof d;
  gfx_lock_surface(s, &d);
  for (int y = 0; d.lpSurface && y < h; ++y)
    std::memcpy((uint8_t*)out->pixels + (size_t)y * out->pitch,
                (uint8_t*)d.lpSurface + (size_t)(r->top + y) * d.lPitch + (size_t)r->left * 2, (size_t)w * 2);
  gfx_unlock_surface(s);
  if (s->has_key) SDL_SetColorKey(out, SDL_TRUE, s->key.dwColorSpaceLowValue);
  SDL_SetSurfaceRLE(out, rle ? 1 : 0);
  return out;
}
