// Presenting one 1024 x 768 frame: ours against SDL's own blit-and-update route on the same
// window, the 32-bit memcpy floor, and (under X) the streaming-texture route forced, to show
// what the route choice saves on this machine.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "app/globals.h"
#include "bench/bench_world.h"
#include "game/background.h"
#include "platform/host/present.h"
#include "platform/host/window.h"
#include "platform/port/options.h"
#include "platform/seams/seams_video.h"

namespace {

void BM_Memcpy32_Frame(benchmark::State& state) {
  const size_t bytes = 1024 * 768 * 4;
  std::vector<uint8_t> a(bytes, 1), b(bytes, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), bytes);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memcpy32_Frame);

void BM_Present_Ours(benchmark::State& state) {
  BenchWorld& w = bench_world();
  if (!w.ok) return state.SkipWithError("no display or no data folder");
  gfx_blit_keyed(gfx_back_buffer, nullptr, game_background_images[0], nullptr);
  for (auto _ : state) benchmark::DoNotOptimize(gfx_present());
  state.SetLabel(plat_present_route());
}
BENCHMARK(BM_Present_Ours);

void BM_Present_SDL(benchmark::State& state) {
  BenchWorld& w = bench_world();
  SDL_Window* win = plat_sdl_window(game_window);  // the window ours presents to
  if (!w.ok || !win) return state.SkipWithError("no display or no data folder");
  gfx_present();  // the same window surface as ours
  SDL_Surface* frame = bench_sdl_copy(game_background_images[0], nullptr, false);
  SDL_SetColorKey(frame, SDL_FALSE, 0);
  for (auto _ : state) {
    SDL_Surface* out = SDL_GetWindowSurface(win);
    SDL_BlitSurface(frame, nullptr, out, nullptr);
    benchmark::DoNotOptimize(SDL_UpdateWindowSurface(win));
  }
  SDL_FreeSurface(frame);
}
BENCHMARK(BM_Present_SDL);

// A full-HD drawable: range(0) 0 nearest to fit (1440 x 1080), 1 whole multiples (1024 x 768
// with a border), 2 linear filtering to fit.
void BM_Present_FullHD(benchmark::State& state) {
  BenchWorld& w = bench_world();
  if (!w.ok || !seam_window_resize(1920, 1080)) return state.SkipWithError("no window of 1920 x 1080");
  plat_options.integer_scale = state.range(0) == 1;
  plat_options.smooth = state.range(0) == 2;
  for (auto _ : state) benchmark::DoNotOptimize(gfx_present());
  plat_options.integer_scale = plat_options.smooth = false;
  seam_window_resize(1024, 768);
}
BENCHMARK(BM_Present_FullHD)->DenseRange(0, 2);

// Last: once a renderer has been made on the window, the window stays a renderer's.
void BM_Present_TextureForced(benchmark::State& state) {
  BenchWorld& w = bench_world();
  const char* driver = SDL_GetCurrentVideoDriver();
  if (!w.ok || !driver || std::strcmp(driver, "x11") != 0) return state.SkipWithError("only under X11");
  plat_present_reset("texture");
  for (auto _ : state) benchmark::DoNotOptimize(gfx_present());
  state.SetLabel(plat_present_route());
  plat_present_reset(nullptr);
}
BENCHMARK(BM_Present_TextureForced);

}  // namespace
