// Fills and keyed copies, ours beside SDL's blitter and memcpy/memset on identical pixels: the
// back buffer's fill, full-screen backgrounds, every sprite class, clipped copies, the overlap
// test, the text overlay, and the worst-case play frame with the same layers replayed through SDL.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/overlay.h"
#include "bench/bench_world.h"
#include "game/background.h"
#include "game/collide.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/hud.h"
#include "game/play.h"
#include "game/player.h"
#include "game/screen.h"
#include "game/stars.h"
#include "platform/seams/seams_video.h"

namespace {

constexpr size_t kFrameBytes = (size_t)GAME_SCREEN_WIDTH * GAME_SCREEN_HEIGHT * 2;

#define WORLD_OR_SKIP(w)         \
  BenchWorld& w = bench_world(); \
  if (!w.ok) return state.SkipWithError("no display or no data folder")

void BM_Memcpy_Frame(benchmark::State& state) {
  std::vector<uint8_t> a(kFrameBytes, 1), b(kFrameBytes, 2);
  for (auto _ : state) {
    std::memcpy(b.data(), a.data(), kFrameBytes);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memcpy_Frame);

void BM_Memset_Frame(benchmark::State& state) {
  std::vector<uint8_t> a(kFrameBytes, 1);
  for (auto _ : state) {
    std::memset(a.data(), 0, kFrameBytes);
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BM_Memset_Frame);

void BM_Fill_Ours(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  for (auto _ : state) gfx_fill(gfx_back_buffer, 0, nullptr);
}
BENCHMARK(BM_Fill_Ours);

void BM_Fill_SDL(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  for (auto _ : state) SDL_FillRect(w.sdl_back, nullptr, 0);
}
BENCHMARK(BM_Fill_SDL);

// Full-screen pictures with key 0: the real background, and black scattered everywhere.
Surface full_picture(BenchWorld& w, int which) { return which ? w.scattered : game_background_images[0]; }

void BM_Background_Ours(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  Surface pic = full_picture(w, (int)state.range(0));
  for (auto _ : state) benchmark::DoNotOptimize(gfx_blit_keyed(gfx_back_buffer, nullptr, pic, nullptr));
}
BENCHMARK(BM_Background_Ours)->Arg(0)->Arg(1);

// range(0): picture; range(1): 1 with RLE.
void BM_Background_SDL(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  SDL_Surface* pic = bench_sdl_copy(full_picture(w, (int)state.range(0)), nullptr, state.range(1) != 0);
  for (auto _ : state) benchmark::DoNotOptimize(SDL_BlitSurface(pic, nullptr, w.sdl_back, nullptr));
  SDL_FreeSurface(pic);
}
BENCHMARK(BM_Background_SDL)->Args({0, 0})->Args({0, 1})->Args({1, 0})->Args({1, 1});

// One frame of each sprite class from its strip, at a place on screen or across an edge.
struct Sprite {
  Surface* image;
  RECT src;
  int x, y;
};
Sprite sprite(int which) {
  switch (which) {
    case 0:
      return {&game_explosion_images[EXPLOSION_BIG], {5 * 128, 0, 6 * 128, 105}, 400, 300};
    case 1:
      return {&game_enemy_images[1], {3 * 40, 0, 4 * 40, 45}, 500, 200};  // asteroid
    case 2:
      return {&game_enemy_images[2], {2 * 20, 0, 3 * 20, 20}, 500, 200};  // craft
    case 3:
      return {&game_digits_image, {7 * 25, 0, 8 * 25, 35}, 60, 700};  // digit
    case 4:
      return {&game_laser_image, {0, 0, 7, 37}, 300, 400};  // laser
    default:
      return {&game_explosion_images[EXPLOSION_BIG], {5 * 128, 0, 6 * 128, 105}, -60, 700};  // clipped
  }
}
const char* const kSpriteNames[] = {"explosion", "asteroid", "craft", "digit", "laser", "explosion_clipped"};

void BM_Sprite_Ours(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  Sprite s = sprite((int)state.range(0));
  RECT dest{s.x, s.y, s.x + s.src.right - s.src.left, s.y + s.src.bottom - s.src.top};
  state.SetLabel(kSpriteNames[state.range(0)]);
  for (auto _ : state) benchmark::DoNotOptimize(gfx_blit_keyed(gfx_back_buffer, &dest, *s.image, &s.src));
}
BENCHMARK(BM_Sprite_Ours)->DenseRange(0, 5);

// SDL with one surface per animation frame; range(1): 1 with RLE.
void BM_Sprite_SDL(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  Sprite s = sprite((int)state.range(0));
  SDL_Surface* pic = bench_sdl_copy(*s.image, &s.src, state.range(1) != 0);
  state.SetLabel(kSpriteNames[state.range(0)]);
  for (auto _ : state) {
    SDL_Rect d{s.x, s.y, 0, 0};
    benchmark::DoNotOptimize(SDL_BlitSurface(pic, nullptr, w.sdl_back, &d));
  }
  SDL_FreeSurface(pic);
}
BENCHMARK(BM_Sprite_SDL)->ArgsProduct({{0, 1, 2, 3, 4, 5}, {0, 1}});

// The overlap test on a pair that overlaps: the big asteroid and a laser across it.
void BM_CollideOverlap(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  const RECT e_dest{100, 100, 140, 145}, e_src{0, 0, 40, 45};
  const RECT l_dest{116, 110, 123, 147}, l_src{0, 0, 7, 37};
  for (auto _ : state)
    benchmark::DoNotOptimize(
        game_collide_pixels(e_dest, e_src, game_enemy_images[1], l_dest, l_src, game_laser_image));
}
BENCHMARK(BM_CollideOverlap);

void BM_Overlay(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  if (!game_font)
    game_font = CreateFontA(12, 6, 0, 0, 10, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, 0, "Times New Roman");
  for (auto _ : state) benchmark::DoNotOptimize(game_draw_overlay());
}
BENCHMARK(BM_Overlay);

// ---------------------------------------------------------------- the worst-case play frame

// Every explosion slot busy, every laser in flight, every enemy on screen, the background in
// two parts; restored before each frame so that every frame does the same work.
struct PlayRecords {
  Explosion explosions[GAME_EXPLOSION_COUNT];
  PlayerShip player;
  Enemy enemies[GAME_ENEMY_COUNT];
  Star stars[GAME_STAR_COUNT];
  int32_t bg_offset, bg_delay;
};
PlayRecords g_worst;

void save(PlayRecords& r) {
  std::memcpy(r.explosions, game_explosions, sizeof r.explosions);
  r.player = game_player;
  std::memcpy(r.enemies, game_enemies, sizeof r.enemies);
  std::memcpy(r.stars, game_stars, sizeof r.stars);
  r.bg_offset = game_background_offset;
  r.bg_delay = game_background_delay;
}

void restore(const PlayRecords& r) {
  std::memcpy(game_explosions, r.explosions, sizeof r.explosions);
  game_player = r.player;
  std::memcpy(game_enemies, r.enemies, sizeof r.enemies);
  std::memcpy(game_stars, r.stars, sizeof r.stars);
  game_background_offset = r.bg_offset;
  game_background_delay = r.bg_delay;
  srand(1);
}

void build_worst_case() {
  static bool built = false;
  if (built) return;
  built = true;
  for (int i = 0; i < GAME_EXPLOSION_COUNT; ++i) {
    Explosion& x = game_explosions[i];
    const ExplosionType& t = game_explosion_types[i % GAME_EXPLOSION_TYPE_COUNT];
    x.type = i % GAME_EXPLOSION_TYPE_COUNT;
    x.width = t.frame_width;
    x.height = t.frame_height;
    x.frame_count = t.frame_count;
    x.frame = i % (t.frame_count - 2);  // within the strip, and still busy after this frame
    x.x = (i * 97) % (GAME_SCREEN_WIDTH - x.width);
    x.y = (i * 53) % (GAME_SCREEN_HEIGHT - x.height);
    SetRect(&x.dest_rect, x.x, x.y, x.x + x.width, x.y + x.height);
    x.active = 1;
  }
  for (int j = 0; j < GAME_LASER_COUNT; ++j) {
    Laser& l = game_player.lasers[j];
    l.active = 1;
    l.x = 12 + j * 20;
    l.y = 80 + (j * 131) % 600;
    SetRect(&l.src_rect, 0, 0, l.width, l.height);
  }
  for (int k = 0; k < GAME_ENEMY_COUNT; ++k) game_enemies[k].y = (k * 71) % 700;
  game_background_offset = 300;
  game_background_delay = 2;
  save(g_worst);
}

void BM_PlayFrame_Ours(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  build_worst_case();
  for (auto _ : state) {
    restore(g_worst);
    gfx_fill(gfx_back_buffer, 0, nullptr);
    benchmark::DoNotOptimize(game_play_frame());
  }
}
BENCHMARK(BM_PlayFrame_Ours);

// The same layers through SDL's best configuration: the frame's draws into the back buffer are
// recorded once and replayed, each animation frame as its own RLE surface, the background as one.
void BM_PlayFrame_SDL(benchmark::State& state) {
  WORLD_OR_SKIP(w);
  build_worst_case();
  static SeamDraw log[1024];
  restore(g_worst);
  seam_draw_log(gfx_back_buffer, log, 1024);
  gfx_fill(gfx_back_buffer, 0, nullptr);
  game_play_frame();
  const int n = seam_draw_logged();
  seam_draw_log(nullptr, nullptr, 0);
  Star stars[GAME_STAR_COUNT];
  std::memcpy(stars, game_stars, sizeof stars);  // where this frame drew them
  struct Step {
    SDL_Surface* pic;
    SDL_Rect src, dest;
    bool whole, fill, lock;
    Uint32 colour;
  };
  std::vector<Step> steps;
  std::vector<SDL_Surface*> made;
  for (int i = 0; i < n; ++i) {
    const SeamDraw& e = log[i];
    Step s{nullptr, {}, {(int)e.dest.left, (int)e.dest.top, 0, 0}, false, e.fill, e.lock, e.colour};
    if (e.src) {
      const bool picture = e.src->width == GAME_SCREEN_WIDTH && e.src->height == GAME_SCREEN_HEIGHT;
      s.src = {(int)e.src_rect.left, (int)e.src_rect.top, (int)(e.src_rect.right - e.src_rect.left),
               (int)(e.src_rect.bottom - e.src_rect.top)};
      s.whole = picture;
      s.pic = bench_sdl_copy(e.src, picture ? nullptr : &e.src_rect, true);
      made.push_back(s.pic);
    }
    steps.push_back(s);
  }
  for (auto _ : state) {
    for (const Step& s : steps) {
      if (s.fill) {
        SDL_FillRect(w.sdl_back, nullptr, s.colour);
      } else if (s.lock) {
        SDL_LockSurface(w.sdl_back);
        for (const Star& st : stars)
          ((uint16_t*)((uint8_t*)w.sdl_back->pixels + st.y * w.sdl_back->pitch))[st.x] = st.colour;
        SDL_UnlockSurface(w.sdl_back);
      } else {
        SDL_Rect d = s.dest;
        SDL_Rect src = s.src;
        SDL_BlitSurface(s.pic, s.whole ? &src : nullptr, w.sdl_back, &d);
      }
    }
    benchmark::ClobberMemory();
  }
  state.counters["draws"] = (double)n;
  for (SDL_Surface* m : made) SDL_FreeSurface(m);
}
BENCHMARK(BM_PlayFrame_SDL);

}  // namespace
