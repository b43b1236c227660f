// The play-state frame: step order, frame-ending failures, speed keys, and a played scenario.
#include "game/play.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <unistd.h>

#include "app/frame.h"
#include "app/globals.h"
#include "game/background.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/player.h"
#include "game/stars.h"
#include "input/input.h"
#include "platform/seams.h"
#include "platform/seams_video.h"
#include "app_world.h"
#include "game/collide.h"
#include "game/hud.h"
#include "game/play_images.h"
#include "test_game_fixture.h"

namespace {

using GamePlayFrame = GameTest;

TEST_F(GamePlayFrame, FailedTestedBlitStopsEverythingAfterIt) {
  Laser* l = game_player.lasers;
  game_player.horizontal_speed = 3;
  l[0].active = l[1].active = 1, l[0].y = l[1].y = 400;
  const int star_y = game_stars[0].y, enemy_y = game_enemies[0].y, x = game_player.x;
  seam_fail("IDirectDrawSurface7::Blt", DDERR_GENERIC);  // background: only the scroll moved
  EXPECT_EQ(game_play_frame(), 0);
  EXPECT_EQ(game_background_offset, 1);
  EXPECT_EQ(game_stars[0].y, star_y);
  EXPECT_EQ(game_player.horizontal_speed, 3);
  seam_fail("IDirectDrawSurface7::Blt", DDERR_GENERIC, 2);  // first laser: stars and steering ran
  EXPECT_EQ(game_play_frame(), 0);
  EXPECT_NE(game_stars[0].y, star_y);
  EXPECT_EQ(game_player.horizontal_speed, 2);
  EXPECT_EQ(l[0].y, 375);
  EXPECT_EQ(l[1].y, 400);
  EXPECT_EQ(game_player.x, x);
  EXPECT_EQ(game_enemies[0].y, enemy_y);
  EXPECT_EQ(game_play_frame(), 1);
  EXPECT_EQ(game_player.x, x + 1);
  EXPECT_EQ(game_enemies[0].y, enemy_y + game_enemies[0].vertical_speed);
}

TEST_F(GamePlayFrame, SpeedKeysStayWithinLimitsAndSwitchesWaitForTheNextFrame) {
  struct Case { bool p, o; int from, to; };
  for (Case c : {Case{true, false, 89, 90}, Case{true, false, 90, 90}, Case{false, true, 1, 1},
                 Case{false, true, 2, 1}, Case{true, true, 50, 50}}) {
    gt_hold(DIK_P, c.p), gt_hold(DIK_O, c.o);
    game_frame_delay_ms = c.from;
    game_play_frame();
    EXPECT_EQ(game_frame_delay_ms, c.to) << c.from;
  }
  gt_hold(DIK_S), gt_hold(DIK_W);
  game_play_frame();
  EXPECT_EQ(game_player.ship_type_index, 0);
  EXPECT_EQ(game_background_index, 1);
  // This frame was still drawn with picture 0.
  EXPECT_EQ(gt_pixel(gfx_back_buffer, 1000, 400), gt_row(0, 400 - game_background_offset));
}

// Fire held through the whole per-frame function from a fixed seed, sweeping left and right so
// the lasers meet enemies in many columns. Every kill must show up as a new explosion and as its
// kind's value in the score. Returns the number of kills; saves one frame with a fresh explosion
// when TARVELLIN_PLAY_SHOT names a file.
class GamePlayScenario : public GameTest {
 protected:
  void SetUp() override {
    GameTest::SetUp();
    static HINSTANCE__ instance;
    game_instance = &instance;
    ASSERT_EQ(inp_init(), 1);
    ASSERT_EQ(inp_create_keyboard(), 1);
    ASSERT_EQ(inp_create_mouse(), 1);
    seam_input_inject(true);
    seam_clock_virtual(1000, 1);
    game_state = GAME_STATE_PLAY;
  }
  void TearDown() override {
    inp_release_mouse();
    inp_release_keyboard();
    inp_shutdown();
    inp_direct_input = nullptr;
    inp_keyboard_device = inp_mouse_device = nullptr;
    game_instance = nullptr;
    game_state = GAME_STATE_MENU;
    GameTest::TearDown();
  }
  int play_fire_held(int frames) {
    static const int value_of_type[GAME_EXPLOSION_TYPE_COUNT] = {10, 15, 25};
    srand(2024);
    game_stars_reset();
    game_enemies_reset();
    game_player.score = 0;
    seam_key(DIK_LCONTROL, true);
    int kills = 0, expected = 0;
    const char* shot = getenv("TARVELLIN_PLAY_SHOT");
    for (int frame = 0; frame < frames; ++frame) {
      const bool left = (frame / 60) % 2 == 0;
      seam_key(DIK_LEFT, left);
      seam_key(DIK_RIGHT, !left);
      EXPECT_EQ(game_frame(), 1) << frame;
      int new_kills = 0;
      for (const Explosion& x : game_explosions) {
        if (x.active && x.frame == 1) {  // started this frame
          new_kills++;
          expected += value_of_type[x.type];
        }
      }
      EXPECT_EQ(game_player.score, expected) << frame;
      kills += new_kills;
      if (shot && new_kills && frame > 100) {
        seam_save_frame_bmp(shot);
        shot = nullptr;
      }
    }
    return kills;
  }
};

TEST_F(GamePlayScenario, FireHeldDestroysEnemiesAndThePanelShowsTheScore) {
  EXPECT_GE(play_fire_held(400), 5);
  EXPECT_EQ(seam_frame_pixel(0, 767), GT_SLOTS);
  EXPECT_EQ(seam_frame_pixel(50, 690), GT_CAPTION);
  char text[16];
  snprintf(text, sizeof text, "%d", game_player.score);
  const int n = int(strlen(text));
  EXPECT_EQ(seam_frame_pixel(110 + 12, 690), gt_digit(text[0] - '0'));
  EXPECT_EQ(seam_frame_pixel(110 + 25 * (n - 1) + 12, 690), gt_digit(text[n - 1] - '0'));
}

// The same play on the generated default pictures, loaded by the play state's own set-up.
TEST_F(GamePlayScenario, DefaultPicturesLoadAndPlay) {
  release_pictures();
  char old_dir[4096];
  ASSERT_NE(getcwd(old_dir, sizeof old_dir), nullptr);
  ASSERT_EQ(chdir(world_data_dir().c_str()), 0) << world_data_dir();
  game_play_setup();
  ASSERT_EQ(chdir(old_dir), 0);
  for (Surface s : {game_laser_image, game_slots_image, game_digits_image, game_scratch_a,
                    game_scratch_b, game_player.ship_types[0].image, game_player.ship_types[1].image,
                    game_explosion_images[0], game_explosion_images[2], game_enemy_images[0],
                    game_enemy_images[3], game_background_images[1]})
    ASSERT_NE(s, nullptr);
  EXPECT_GE(play_fire_held(400), 1);
  // The slots picture's middle pixel shows on screen unchanged.
  EXPECT_EQ(seam_frame_pixel(102, 738), gt_pixel(game_slots_image, 102, 30));
}

}  // namespace
