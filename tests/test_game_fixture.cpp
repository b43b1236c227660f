#include "test_game_fixture.h"

#include <cstdlib>
#include <cstring>

#include "app/frame.h"
#include "app/globals.h"
#include "game/background.h"
#include "game/collide.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/hud.h"
#include "game/play_images.h"
#include "game/player.h"
#include "game/stars.h"
#include "input/input.h"
#include "test_gfx_support.h"

void gt_hold(int dik, bool down) { inp_key_state[dik] = down ? 0x80 : 0; }

static Surface gt_surface(int w, int h, Rgb16 key, uint16_t fill) {
  Surface s = gfx_create_surface(w, h, DDSCAPS_VIDEOMEMORY, key);
  px_fill(s, 0, 0, w, h, fill);
  return s;
}

void GameTest::SetUp() {
  seam_reset();
  gfx_test_forget_display();
  game_window = gfx_test_window();
  live_before_ = seam_video_live_objects();
  ASSERT_EQ(gfx_display_open(1024, 768, 16), 1);
  memset(inp_key_state, 0, sizeof inp_key_state);
  game_frame_delay_ms = 30;
  game_background_index = game_background_offset = game_background_delay = 0;
  srand(1234);
  game_player = PlayerShip{};  // the set-up keeps speeds, score and lasers of an earlier test
  game_player_setup();         // no picture files here: its images are replaced below
  for (ShipType& t : game_player.ship_types) {
    t.image->Release();
    t.image = gt_surface(t.image_width, t.image_height, gfx_colour_key, GT_SHIP);
  }
  game_stars_reset();
  game_enemies_reset();
  game_scratch_a = gfx_create_surface(160, 160, DDSCAPS_VIDEOMEMORY, 0);
  game_scratch_b = gfx_create_surface(160, 160, DDSCAPS_VIDEOMEMORY, 0);
  game_laser_image = gt_surface(8, 37, gfx_colour_key, GT_LASER);
  px_fill(game_laser_image, 7, 0, 1, 37, gfx_colour_key);  // the column no frame shows
  for (int i = 0; i < GAME_EXPLOSION_TYPE_COUNT; ++i) {
    const ExplosionType& t = game_explosion_types[i];
    game_explosion_images[i] = gt_surface(t.image_width, t.image_height, gfx_colour_key, GT_BLAST);
  }
  // Enemy frames are solid but for a transparent 5 x 5 top-left corner.
  for (int i = 0; i < GAME_ENEMY_KIND_COUNT; ++i) {
    const EnemyKind& k = game_enemy_kinds[i];
    game_enemy_images[i] = gt_surface(k.image_width, k.image_height, gfx_colour_key, GT_ENEMY);
    for (int f = 0; f < k.frame_count; ++f)
      px_fill(game_enemy_images[i], f * k.frame_width, 0, 5, 5, gfx_colour_key);
  }
  for (int i = 0; i < GAME_BACKGROUND_COUNT; ++i) {
    game_background_images[i] = gfx_create_surface(1024, 768, DDSCAPS_VIDEOMEMORY, 0);
    for (int r = 0; r < 768; ++r) px_fill(game_background_images[i], 0, r, 1024, 1, gt_row(i, r));
  }
  game_slots_image = gt_surface(204, 60, gfx_colour_key, GT_SLOTS);
  game_digits_image = gt_surface(252, 70, gfx_colour_key, GT_CAPTION);
  for (int d = 0; d < 10; ++d) px_fill(game_digits_image, 25 * d, 0, 25, 35, gt_digit(d));
  game_explosions_clear();
  gfx_fill(gfx_back_buffer, 0, nullptr);
}

void GameTest::park_enemies() {
  for (Enemy& e : game_enemies) e.y = 768, e.vertical_speed = 0;  // 768 itself stays
}

void GameTest::release_pictures() {
  auto release = [](Surface& s) {
    if (s) s->Release();
    s = nullptr;
  };
  for (ShipType& t : game_player.ship_types) release(t.image);
  for (Surface& s : game_enemy_images) release(s);
  for (Surface& s : game_explosion_images) release(s);
  for (Surface& s : game_background_images) release(s);
  for (Surface* s :
       {&game_laser_image, &game_scratch_a, &game_scratch_b, &game_slots_image, &game_digits_image})
    release(*s);
}

void GameTest::TearDown() {
  release_pictures();
  gfx_unlock_back_buffer();
  gfx_display_close();
  gfx_test_forget_display();
  EXPECT_EQ(seam_video_live_objects(), live_before_) << "a surface was not released";
  seam_windows_reset();
}

void GameLoopTest::SetUp() {
  GameTest::SetUp();
  static HINSTANCE__ instance;
  game_instance = &instance;
  ASSERT_TRUE(inp_init() && inp_create_keyboard() && inp_create_mouse());
  seam_input_inject(true);
  seam_clock_virtual(1000, 1);
  game_state = GAME_STATE_PLAY;
}

void GameLoopTest::TearDown() {
  inp_release_mouse();
  inp_release_keyboard();
  inp_shutdown();
  game_instance = nullptr;
  game_state = GAME_STATE_MENU;
  GameTest::TearDown();
}
