// The benchmarks' shared world: one window and display, the game's own generated pictures loaded
// through the play set-up, and SDL surfaces holding the same pixels for the reference runs.
#pragma once
#include <SDL.h>

#include "gfx/surface.h"

struct BenchWorld {
  bool ok = false;
  SDL_Surface* sdl_back = nullptr;  // RGB565 1024 x 768, the references' back buffer
  Surface scattered = nullptr;      // a full-screen picture with black at every third pixel
};

// Opened on first use (window, display, play set-up on the data folder); never closed.
BenchWorld& bench_world();
// A copy of `r` of surface `s` as an SDL RGB565 surface with the same colour key; RLE if asked.
SDL_Surface* bench_sdl_copy(Surface s, const RECT* r, bool rle);
// The data folder: TARVELLIN_DATA, else ./data.
const char* bench_data_dir();
