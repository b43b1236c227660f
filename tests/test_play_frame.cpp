// The play-state frame: step order, frame-ending failures, speed keys, layers and held keys.
#include "app/frame.h"
#include "app/globals.h"
#include "game/background.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/play.h"
#include "game/player.h"
#include "game/stars.h"
#include "input/input.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_internal.h"
#include "platform/seams/seams_video.h"
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
  EXPECT_EQ((std::vector<int>{l[0].y, l[1].y, game_player.x, game_enemies[0].y}),
            (std::vector<int>{375, 400, x, enemy_y}));
  EXPECT_EQ(game_play_frame(), 1);
  EXPECT_EQ(game_player.x, x + 1);
  EXPECT_EQ(game_enemies[0].y, enemy_y + game_enemies[0].vertical_speed);
}

TEST_F(GamePlayFrame, SpeedKeysStayWithinLimitsAndSwitchesWaitForTheNextFrame) {
  struct Case {
    bool p, o;
    int from, to;
  };
  for (Case c : {Case{true, false, 89, 90}, Case{true, false, 90, 90}, Case{false, true, 1, 1},
                 Case{false, true, 2, 1}, Case{true, true, 50, 50}, Case{true, true, 90, 89},
                 Case{true, true, 1, 1}}) {  // P is applied before O
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
  EXPECT_EQ(px_get(gfx_back_buffer, 1000, 400), gt_row(0, 400 - game_background_offset));
}

TEST_F(GamePlayFrame, LayersStackStarsUnderEnemiesAndThePanelOverExplosions) {
  park_enemies();
  Enemy& e = game_enemies[0];
  e.x = 300, e.y = 300, e.horizontal_speed = e.vertical_speed = 0;
  Star& under = game_stars[0];
  Star& beside = game_stars[1];
  const int cx = 300 + e.frame_width / 2, cy = 300 + e.frame_height / 2;
  under.x = cx, under.y = cy - under.speed;       // behind the enemy's solid part
  beside.x = 301, beside.y = 301 - beside.speed;  // in its transparent corner
  Enemy near_panel = game_enemies[1];
  near_panel.kind = ENEMY_ASTEROID_1;  // a 50 x 50 explosion at (60, 640), under the caption
  near_panel.x = 60, near_panel.y = 640, near_panel.frame_width = near_panel.frame_height = 50;
  game_explosion_spawn(near_panel);
  ASSERT_EQ(game_play_frame(), 1);
  EXPECT_EQ(px_get(gfx_back_buffer, cx, cy), GT_ENEMY);
  EXPECT_EQ(px_get(gfx_back_buffer, 301, 301), beside.colour);
  EXPECT_EQ(px_get(gfx_back_buffer, 80, 660), GT_BLAST);
  EXPECT_EQ(px_get(gfx_back_buffer, 80, 680), GT_CAPTION);
}

using GamePlayScenario = GameLoopTest;

// Only bit 0x80 of a key byte means held: the quit keys, steering and fire ignore the others.
TEST_F(GamePlayScenario, KeyBytesWithoutTheHeldBitDoNothing) {
  for (int dik : {DIK_ESCAPE, DIK_LMENU, DIK_LEFT, DIK_UP, DIK_LCONTROL}) seam_input.keys[dik] = 0x7F;
  ASSERT_EQ(game_frame(), 1);
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(game_player.horizontal_speed | game_player.vertical_speed | game_player.fire_cooldown, 0);
}

}  // namespace
