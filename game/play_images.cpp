// Surface creation for the play state. Results are not examined: a missing picture leaves an
// empty or null surface whose blits fail later.
#include "game/play_images.h"

#include "game/background.h"
#include "game/collide.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/hud.h"
#include "game/player.h"
#include "game/screen.h"
#include "game/stars.h"
#include "gfx/bmp.h"

void game_hud_images_load() {
  game_slots_image = gfx_picture_load(204, 60, gfx_colour_key, "image/prochee/Sloty.bmp");
  game_digits_image = gfx_picture_load(252, 70, gfx_colour_key, "image/prochee/Cifry.bmp");
}

void game_scratch_create() {
  game_scratch_a = gfx_create_surface(GAME_SCRATCH_SIZE, GAME_SCRATCH_SIZE, DDSCAPS_VIDEOMEMORY, 0);
  game_scratch_b = gfx_create_surface(GAME_SCRATCH_SIZE, GAME_SCRATCH_SIZE, DDSCAPS_VIDEOMEMORY, 0);
}

void game_play_images_load() {
  game_laser_image = gfx_picture_load(8, 37, gfx_colour_key, "image/main/laser_blue.bmp");
  for (int32_t i = 0; i < GAME_EXPLOSION_TYPE_COUNT; ++i) {
    const ExplosionType& t = game_explosion_types[i];
    game_explosion_images[i] =
        gfx_picture_load(t.image_width, t.image_height, gfx_colour_key, t.image_path);
  }
  for (int32_t i = 0; i < GAME_ENEMY_KIND_COUNT; ++i) {
    const EnemyKind& k = game_enemy_kinds[i];
    game_enemy_images[i] = gfx_picture_load(k.image_width, k.image_height, gfx_colour_key, k.image_path);
  }
  game_background_images[0] =
      gfx_picture_load(GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT, 0, "image/prochee/fon_back01.bmp");
  game_background_images[1] =
      gfx_picture_load(GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT, 0, "image/prochee/fon_back02.bmp");
}

void game_play_setup() {
  game_hud_images_load();
  game_player_setup();
  game_stars_reset();
  game_enemies_reset();
  game_scratch_create();
  game_play_images_load();
  game_explosions_clear();
}
