// Starfield: random set-up, falling with wrap to the top, point drawing.
#include "game/stars.h"

#include <cstdlib>

#include "game/screen.h"
#include "gfx/surface.h"

Star game_stars[GAME_STAR_COUNT];

void game_stars_reset() {
  for (Star& s : game_stars) {
    s.x = rand() % GAME_SCREEN_WIDTH;
    s.y = rand() % GAME_SCREEN_HEIGHT;
    s.speed = rand() % 10 + 1;
    const int32_t g = 14 * (17 - s.speed);
    s.colour = Rgb16(gfx_rgb565(g, g, g));
  }
}

void game_stars_move() {
  for (Star& s : game_stars) {
    s.y += s.speed;
    if (s.y >= GAME_SCREEN_HEIGHT) {
      s.y = 0;
      s.x = rand() % GAME_SCREEN_WIDTH;
    }
  }
}

void game_stars_draw() {
  gfx_lock_back_buffer();
  if (gfx_back_pixels && gfx_back_pitch > 0) {
    for (const Star& s : game_stars) {
      // Stars stay on screen by construction; a record changed behind our back is skipped.
      if (s.x < 0 || s.x >= GAME_SCREEN_WIDTH || s.y < 0 || s.y >= GAME_SCREEN_HEIGHT) continue;
      uint8_t* row = gfx_back_pixels + s.y * gfx_back_pitch;
      reinterpret_cast<uint16_t*>(row)[s.x] = s.colour;
    }
  }
  gfx_unlock_back_buffer();
}
