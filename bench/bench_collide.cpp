// Cost of the overlap test: the rectangle reject that nearly every pair takes, and the full
// copy-lock-scan path of an overlapping pair (worst case: no hit, whole overlap scanned).
#include <benchmark/benchmark.h>

#include "bench/bench_world.h"
#include "game/collide.h"

namespace {

// Its own scratch surfaces and solid pictures on the shared display; the play world's scratch
// surfaces are given back after.
struct CollideWorld {
  Surface enemy = nullptr, laser = nullptr;
  Surface old_a = nullptr, old_b = nullptr;
  bool ok = false;
  CollideWorld() {
    if (!bench_world().ok) return;
    old_a = game_scratch_a;
    old_b = game_scratch_b;
    game_scratch_a = gfx_create_surface(GAME_SCRATCH_SIZE, GAME_SCRATCH_SIZE, DDSCAPS_VIDEOMEMORY, 0);
    game_scratch_b = gfx_create_surface(GAME_SCRATCH_SIZE, GAME_SCRATCH_SIZE, DDSCAPS_VIDEOMEMORY, 0);
    enemy = gfx_create_surface(800, 45, DDSCAPS_VIDEOMEMORY, gfx_colour_key);
    laser = gfx_create_surface(8, 37, DDSCAPS_VIDEOMEMORY, gfx_colour_key);
    gfx_fill(enemy, 0x07E0, nullptr);
    gfx_fill(laser, 0, nullptr);  // black never collides: the scan runs to the end
    ok = game_scratch_a && game_scratch_b && enemy && laser;
  }
  ~CollideWorld() {
    if (!old_a) return;
    for (Surface s : {enemy, laser, game_scratch_a, game_scratch_b})
      if (s) s->Release();
    game_scratch_a = old_a;
    game_scratch_b = old_b;
  }
};

void BM_CollideRectReject(benchmark::State& state) {
  CollideWorld w;
  if (!w.ok) return state.SkipWithError("no display");
  const RECT e_dest = {100, 100, 140, 145}, e_src = {0, 0, 40, 45};
  const RECT l_dest = {300, 100, 307, 137}, l_src = {0, 0, 7, 37};
  for (auto _ : state)
    benchmark::DoNotOptimize(game_collide_pixels(e_dest, e_src, w.enemy, l_dest, l_src, w.laser));
}
BENCHMARK(BM_CollideRectReject);

void BM_CollideFullScanNoHit(benchmark::State& state) {
  CollideWorld w;
  if (!w.ok) return state.SkipWithError("no display");
  const RECT e_dest = {100, 100, 140, 145}, e_src = {0, 0, 40, 45};
  const RECT l_dest = {110, 105, 117, 142}, l_src = {0, 0, 7, 37};
  for (auto _ : state)
    benchmark::DoNotOptimize(game_collide_pixels(e_dest, e_src, w.enemy, l_dest, l_src, w.laser));
}
BENCHMARK(BM_CollideFullScanNoHit);

}  // namespace
