// Enemies: random set-up, falling, two-way animation, laser hits and re-entry at the top.
#include "game/enemies.h"

#include <cstdlib>

#include "game/collide.h"
#include "game/explosions.h"
#include "game/screen.h"
#include "game/player.h"

const EnemyKind game_enemy_kinds[GAME_ENEMY_KIND_COUNT] = {
    {29, 29, 18, 10, 15, 524, 29, "image/vragi/asteroid_01.bmp"},
    {40, 45, 20, 15, 10, 800, 45, "image/vragi/asteroid_02.bmp"},
    {20, 20, 15, 5, 25, 300, 20, "image/vragi/small1.bmp"},
    {20, 20, 10, 5, 25, 200, 20, "image/vragi/small2.bmp"},
};

Enemy game_enemies[GAME_ENEMY_COUNT];
Surface game_enemy_images[GAME_ENEMY_KIND_COUNT] = {};

void game_enemies_reset() {
  for (Enemy& e : game_enemies) {
    // The draws must stay in this order: a seeded run replays exactly.
    e.frame_step = rand() % 2;
    if (e.frame_step == 0) e.frame_step = -1;
    e.vertical_speed = rand() % 5 + 1;
    const int32_t d = rand() % 8;
    e.frame_delay = d;
    e.frame_delay_reload = d;
    e.x = rand() % GAME_SCREEN_WIDTH;
    e.kind = rand() % GAME_ENEMY_KIND_COUNT;
    const EnemyKind& k = game_enemy_kinds[e.kind];
    e.frame_width = k.frame_width;
    e.frame_height = k.frame_height;
    e.frame_count = k.frame_count;
    e.max_hit_points = k.max_hit_points;
    e.score_value = k.score_value;
    e.frame = rand() % e.frame_count;
    e.y = GAME_ENEMY_START_Y;
    e.horizontal_speed = 0;
    e.hit_points = e.max_hit_points;
  }
}

// Tests enemy `e` against the lasers in flight; the first hit spends that laser and no other.
static void game_enemy_hit_test(Enemy& e) {
  for (Laser& l : game_player.lasers) {
    if (!l.active) continue;
    if (!game_collide_pixels(e.dest_rect, e.src_rect, game_enemy_images[e.kind], l.dest_rect,
                             l.src_rect, game_laser_image))
      continue;
    l.active = 0;
    e.hit_points -= l.damage;
    if (e.hit_points <= 0) {
      // Scores only when a slot is free; the enemy restarts in its own column either way.
      game_explosion_spawn(e);
      e.y = GAME_ENEMY_START_Y;
      e.hit_points = e.max_hit_points;
    }
    return;
  }
}

void game_enemies_update() {
  for (Enemy& e : game_enemies) {
    if (e.kind < 0 || e.kind >= GAME_ENEMY_KIND_COUNT) continue;  // a record never set up
    e.x += e.horizontal_speed;
    e.y += e.vertical_speed;
    if (e.y > GAME_SCREEN_HEIGHT) {
      e.y = GAME_ENEMY_START_Y;
      e.x = rand() % GAME_SCREEN_WIDTH;
    }
    SetRect(&e.dest_rect, e.x, e.y, e.x + e.frame_width, e.y + e.frame_height);
    if (--e.frame_delay <= 0) {
      e.frame_delay = e.frame_delay_reload;
      e.frame += e.frame_step;
      if (e.frame >= e.frame_count) e.frame = 0;
      if (e.frame < 0) e.frame = e.frame_count - 1;
    }
    SetRect(&e.src_rect, e.frame * e.frame_width, 0, (e.frame + 1) * e.frame_width,
            e.frame_height);
    gfx_blit_keyed(gfx_back_buffer, &e.dest_rect, game_enemy_images[e.kind], &e.src_rect);
    game_enemy_hit_test(e);
  }
}
