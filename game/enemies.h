// The endless rain of enemies: four kinds, a fixed table of 40, laser hits and recycling.
#pragma once
#include <cstdint>

#include "gfx/surface.h"
#include "platform/win32.h"

constexpr int32_t GAME_ENEMY_COUNT = 40;
constexpr int32_t GAME_ENEMY_KIND_COUNT = 4;
constexpr int32_t GAME_ENEMY_START_Y = -50;  // above the screen for every kind

enum {
  ENEMY_ASTEROID_1 = 0,
  ENEMY_ASTEROID_2 = 1,
  ENEMY_SMALL_1 = 2,
  ENEMY_SMALL_2 = 3,
};

struct Enemy {
  int32_t kind;         // row of the kind table; indexes game_enemy_images
  int32_t score_value;  // added to the score when destroyed
  int32_t x, y;
  int32_t frame_width, frame_height;
  RECT src_rect;
  RECT dest_rect;
  int32_t frame_count;
  int32_t frame_delay;         // countdown to the next animation step
  int32_t frame_delay_reload;  // 0 to 7
  int32_t frame;
  int32_t frame_step;  // +1 or -1
  int32_t horizontal_speed;
  int32_t vertical_speed;  // 1 to 5, downward
  int32_t hit_points;
  int32_t max_hit_points;
};

// One row of the kind table.
struct EnemyKind {
  int32_t frame_width, frame_height;
  int32_t frame_count;
  int32_t max_hit_points;
  int32_t score_value;
  int32_t image_width, image_height;
  const char* image_path;
};

extern const EnemyKind game_enemy_kinds[GAME_ENEMY_KIND_COUNT];
extern Enemy game_enemies[GAME_ENEMY_COUNT];
extern Surface game_enemy_images[GAME_ENEMY_KIND_COUNT];

// Six rand() draws per enemy, in table order. Start-up only.
void game_enemies_reset();
// Move, recycle, animate, draw and test against every laser in flight. Never ends the frame.
void game_enemies_update();
