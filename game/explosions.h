// Explosions: three animated types in a table of 100 slots, started by destroyed enemies.
#pragma once
#include <cstdint>

#include "gfx/surface.h"
#include "platform/win32.h"

struct Enemy;

constexpr int32_t GAME_EXPLOSION_COUNT = 100;
constexpr int32_t GAME_EXPLOSION_TYPE_COUNT = 3;

enum {
  EXPLOSION_BIG = 0,
  EXPLOSION_SMALL = 1,
  EXPLOSION_ASTER = 2,
};

struct Explosion {
  int32_t x, y;  // fixed for the explosion's life
  int32_t width, height;
  int32_t frame_count;  // frames the slot stays busy
  int32_t frame;
  int32_t type;  // indexes game_explosion_images
  uint8_t active;
  RECT src_rect;
  RECT dest_rect;
};

struct ExplosionType {
  int32_t frame_width, frame_height;
  int32_t frame_count;
  int32_t image_width, image_height;
  const char* image_path;
};

extern const ExplosionType game_explosion_types[GAME_EXPLOSION_TYPE_COUNT];
extern Explosion game_explosions[GAME_EXPLOSION_COUNT];
extern Surface game_explosion_images[GAME_EXPLOSION_TYPE_COUNT];

// Marks every slot free (the start-up's last step).
void game_explosions_clear();
// Centres an explosion on `e` in the lowest free slot and adds its score value; with every
// slot busy it does nothing at all, the score included.
void game_explosion_spawn(const Enemy& e);
// Draws each running explosion's frame and advances it; blit results are ignored.
void game_explosions_update();
