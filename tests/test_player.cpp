// Steering, screen limits, firing and the laser pool, ship switching.
#include <algorithm>
#include <utility>

#include "game/player.h"
#include "test_game_fixture.h"

namespace {

using GamePlayer = GameTest;

void steer(int frames) {
  for (int i = 0; i < frames; ++i) game_player_steer();
}
// Horizontal and vertical speed, then position.
std::pair<int, int> speed() { return {game_player.horizontal_speed, game_player.vertical_speed}; }
std::pair<int, int> place() { return {game_player.x, game_player.y}; }

TEST_F(GamePlayer, SteeringDriftBankingAndScreenLimitsOfBothTypes) {
  struct Case {
    int type, frames_to_top, top, last_frame, level, left, right, bottom;
  };
  for (Case c : {Case{0, 8, 8, 4, 2, -30, 994, 708}, Case{1, 4, 10, 14, 7, -45, 979, 711}}) {
    SCOPED_TRACE(c.type);
    game_ship_select(c.type);
    gt_hold(DIK_RIGHT), gt_hold(DIK_UP);
    steer(c.frames_to_top - 1);
    EXPECT_LT(game_player.horizontal_speed, c.top);
    steer(1);
    EXPECT_EQ(speed(), std::pair(c.top, -c.top));
    steer(20);
    EXPECT_EQ(speed(), std::pair(c.top, -c.top));
    EXPECT_EQ(game_player.frame, c.last_frame);
    // Both horizontal keys: frame and speed stay (at the limit) and nothing drifts on that axis.
    gt_hold(DIK_UP, false), gt_hold(DIK_LEFT);
    steer(1);
    EXPECT_EQ(speed(), std::pair(c.top, -c.top + 1));
    EXPECT_EQ(game_player.frame, c.last_frame);
    // Drift back is 1 per frame whatever the acceleration.
    gt_hold(DIK_LEFT, false), gt_hold(DIK_RIGHT, false);
    steer(c.top - 1);
    EXPECT_EQ(game_player.horizontal_speed, 1);
    steer(1);
    EXPECT_EQ(game_player.horizontal_speed, 0);
    EXPECT_EQ(game_player.frame, c.level);
    // Left alone and down alone, each up to its limit.
    gt_hold(DIK_LEFT), gt_hold(DIK_DOWN);
    steer(c.frames_to_top + 1 + 20);
    EXPECT_EQ(speed(), std::pair(-c.top, c.top));
    EXPECT_EQ(game_player.frame, 0);
    gt_hold(DIK_LEFT, false), gt_hold(DIK_DOWN, false);

    game_player.horizontal_speed = game_player.vertical_speed = -2000;
    game_player_move_draw();
    EXPECT_EQ(place(), std::pair(c.left, 0));
    EXPECT_EQ(speed(), std::pair(0, 0));
    game_player.horizontal_speed = game_player.vertical_speed = 2000;
    game_player_move_draw();
    EXPECT_EQ(place(), std::pair(c.right, c.bottom));
    EXPECT_EQ(game_player.dest_rect.bottom, 768);
  }
  // Type 1 switched to the taller type 0 at the bottom hangs out until the next move.
  game_ship_select(1);
  EXPECT_EQ(game_player.y, 711);
  gt_hold(DIK_A), gt_hold(DIK_S);  // type 0 wins
  game_ship_keys();
  EXPECT_EQ(game_player.ship_type_index, 0);
  EXPECT_EQ(game_player.y, 711);
  game_player_move_draw();
  EXPECT_EQ(game_player.y, 708);
  gt_hold(DIK_S, false);
  game_ship_keys();
  EXPECT_EQ(game_player.ship_type_index, 1);
  EXPECT_EQ(game_player.frame, 7);
}

TEST_F(GamePlayer, HeldFireShootsEveryEighthFrameFromTheLowestFreeLaser) {
  gt_hold(DIK_LCONTROL);
  int most_in_flight = 0;
  for (int frame = 0; frame < 40; ++frame) {
    ASSERT_EQ(game_lasers_update(), 1);
    EXPECT_EQ(game_player.fire_cooldown == 8, frame % 8 == 0) << frame;
    int n = 0;
    for (const Laser& l : game_player.lasers) n += l.active;
    most_in_flight = std::max(most_in_flight, n);
    if (frame == 0) {
      // Type 1 at 472: 472 + 45 - 3, first drawn 21 above the ship's top.
      EXPECT_EQ(game_player.lasers[0].x, 514);
      EXPECT_EQ(px_get(gfx_back_buffer, 520, 659), GT_LASER);
      EXPECT_EQ(px_get(gfx_back_buffer, 521, 659), 0);  // the image's 8th column never shows
    }
  }
  EXPECT_EQ(most_in_flight, 4);
  // Laser 0 left the top after 29 moves; the shot of frame 32 took its slot again.
  EXPECT_TRUE(game_player.lasers[0].active);
  EXPECT_EQ(game_player.lasers[0].y, 684 - 25 * 8);

  // Type 0 at the same x spawns at 499, into the one free slot.
  game_ship_select(0);
  for (Laser& l : game_player.lasers) l.active = 1, l.y = 300;
  game_player.lasers[3].active = 0;
  game_player.fire_cooldown = 0;
  game_lasers_update();
  EXPECT_EQ(game_player.lasers[3].x, 499);
  // With no laser free the shot is lost, yet the cooldown restarts.
  for (Laser& l : game_player.lasers) l.active = 1, l.y = 300;
  game_player.fire_cooldown = 0;
  game_lasers_update();
  EXPECT_EQ(game_player.fire_cooldown, 8);
  for (const Laser& l : game_player.lasers) ASSERT_EQ(l.y, 275) << "a laser left the ship";
}

}  // namespace
