// The game's own mouse cursor: drawn in the menu and the information screen, moved by the mouse.
#pragma once
#include <cstdint>

#include "gfx/surface.h"

struct Cursor {
  int32_t x;  // hot point: the picture's top-left corner
  int32_t y;
  int32_t frame_width;
  int32_t frame_height;
  int32_t frame_count;
  int32_t frame;
  int32_t frame_timer;  // cursor steps left until the next frame
  RECT source_rect;
  RECT dest_rect;
  Surface image;
};

constexpr int32_t GAME_CURSOR_FRAME_STEPS = 8;
constexpr int32_t GAME_CURSOR_MAX_X = 1024;  // inclusive: the cursor may sit just off screen
constexpr int32_t GAME_CURSOR_MAX_Y = 768;

extern Cursor game_cursor;

// Draws the cursor where the previous frame left it, then moves it by this frame's mouse motion.
void game_cursor_step();
