// Costs of a frame's drawing: presenting 1024 x 768 through SDL, a keyed sprite copy, a full
// background copy, a fill, and the overlay's text. Run headless with SDL_VIDEODRIVER=offscreen
// or under X for the real window route.
#include <benchmark/benchmark.h>

#include <cstring>

#include "app/globals.h"
#include "app/overlay.h"
#include "gfx/display.h"
#include "gfx/surface.h"
#include "platform/options.h"
#include "platform/seams.h"
#include "platform/win32.h"

namespace {

LRESULT CALLBACK bench_wndproc(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

// One window and display for the whole run: opened on first use.
bool bench_display() {
  static bool ready = false;
  if (ready) return true;
  seam_windows_reset();
  plat_options.window = true;
  WNDCLASSEXA wc;
  std::memset(&wc, 0, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = bench_wndproc;
  wc.lpszClassName = "GFXBENCH";
  RegisterClassExA(&wc);
  game_window = CreateWindowExA(0, "GFXBENCH", "GAME", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr,
                                nullptr, nullptr);
  ready = game_window && gfx_display_open(1024, 768, 16) == 1;
  return ready;
}

void BM_Present(benchmark::State& state) {
  if (!bench_display()) return state.SkipWithError("no display");
  for (auto _ : state) benchmark::DoNotOptimize(gfx_present());
}
BENCHMARK(BM_Present)->Unit(benchmark::kMicrosecond);

void BM_FillBackBuffer(benchmark::State& state) {
  if (!bench_display()) return state.SkipWithError("no display");
  for (auto _ : state) gfx_fill(gfx_back_buffer, 0, nullptr);
}
BENCHMARK(BM_FillBackBuffer)->Unit(benchmark::kMicrosecond);

// A 60 x 60 sprite with a magenta key, half of it transparent, partly off the right edge.
void BM_BlitKeyedSprite(benchmark::State& state) {
  if (!bench_display()) return state.SkipWithError("no display");
  Surface sprite = gfx_create_surface(60, 60, DDSCAPS_VIDEOMEMORY, gfx_colour_key);
  RECT left{0, 0, 60, 30}, right{0, 30, 60, 60};
  gfx_fill(sprite, 0x1234, &left);
  gfx_fill(sprite, gfx_colour_key, &right);
  RECT dest{1000, 300, 1060, 360};
  for (auto _ : state) benchmark::DoNotOptimize(gfx_blit_keyed(gfx_back_buffer, &dest, sprite, nullptr));
  sprite->Release();
}
BENCHMARK(BM_BlitKeyedSprite)->Unit(benchmark::kMicrosecond);

void BM_BlitFullScreen(benchmark::State& state) {
  if (!bench_display()) return state.SkipWithError("no display");
  Surface back = gfx_create_surface(1024, 768, DDSCAPS_VIDEOMEMORY, 0);
  gfx_fill(back, 0x4208, nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(gfx_blit_keyed(gfx_back_buffer, nullptr, back, nullptr));
  back->Release();
}
BENCHMARK(BM_BlitFullScreen)->Unit(benchmark::kMicrosecond);

void BM_Overlay(benchmark::State& state) {
  if (!bench_display()) return state.SkipWithError("no display");
  if (!game_font)
    game_font = CreateFontA(12, 6, 0, 0, 10, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, 0, "Times New Roman");
  for (auto _ : state) benchmark::DoNotOptimize(game_draw_overlay());
}
BENCHMARK(BM_Overlay)->Unit(benchmark::kMicrosecond);

}  // namespace
