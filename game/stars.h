// The starfield: 200 single-pixel stars falling at ten speeds, written straight into the
// locked back buffer.
#pragma once
#include <cstdint>

#include "gfx/colour.h"

constexpr int32_t GAME_STAR_COUNT = 200;

struct Star {
  int32_t x;      // 0 .. 1023
  int32_t y;      // 0 .. 767
  int32_t speed;  // rows per frame, 1 .. 10
  Rgb16 colour;   // grey, brighter for slower stars
};

extern Star game_stars[GAME_STAR_COUNT];

// New random place, speed and colour for every star: three rand() draws each, in order.
void game_stars_reset();
// A star that falls off the bottom restarts on row 0 in a new random column.
void game_stars_move();
// Nothing is drawn when the back buffer cannot be locked.
void game_stars_draw();
