// Starfield set-up, fall and wrap, point drawing; background scroll, wrap rows and keys.
#include <cstdlib>
#include <vector>

#include "game/background.h"
#include "game/stars.h"
#include "platform/seams/seams.h"
#include "test_game_fixture.h"

namespace {

using GameStars = GameTest;

TEST_F(GameStars, ResetColoursByRandSpeedFallAndWrapToRowZero) {
  srand(99);
  game_stars_reset();
  srand(99);
  // The slowest stars are the brightest: grey 224 at speed 1 down to 98 at speed 10.
  static const int grey[11] = {0, 224, 210, 196, 182, 168, 154, 140, 126, 112, 98};
  bool seen[11] = {};
  for (const Star& s : game_stars) {
    EXPECT_EQ(s.x, rand() % 1024);
    EXPECT_EQ(s.y, rand() % 768);
    ASSERT_EQ(s.speed, rand() % 10 + 1);
    EXPECT_EQ(s.colour, gfx_rgb565(grey[s.speed], grey[s.speed], grey[s.speed]));
    seen[s.speed] = true;
  }
  EXPECT_TRUE(seen[1] && seen[10]);
  for (Star& s : game_stars) s.y = 0, s.speed = 1;
  Star& s = game_stars[0];
  Star& t = game_stars[1];
  Star& u = game_stars[2];
  s.y = 765, s.speed = 5;             // to row 0 in a new column, not row 2
  t.y = 757, t.speed = 10, t.x = 20;  // lands on 767 and stays
  u.y = 758, u.speed = 10;            // lands exactly on 768: wraps as well
  srand(3);
  const int new_x = rand() % 1024, u_x = rand() % 1024;
  srand(3);
  game_stars_move();
  EXPECT_EQ((std::vector<int>{s.x, s.y, t.y, u.x, u.y}), (std::vector<int>{new_x, 0, 767, u_x, 0}));
  game_stars_draw();
  EXPECT_EQ(px_get(gfx_back_buffer, 20, 767), t.colour);
  EXPECT_EQ(px_get(gfx_back_buffer, new_x, 0), s.colour);
  EXPECT_EQ(gfx_back_pixels, nullptr);  // unlocked again
  gfx_fill(gfx_back_buffer, 0, nullptr);
  seam_fail("IDirectDrawSurface7::Lock", DDERR_GENERIC);  // refused lock: nothing drawn
  game_stars_draw();
  EXPECT_EQ(px_get(gfx_back_buffer, 20, 767), 0);
}

TEST_F(GameStars, BackgroundScrollsEverySecondFrameWrapsAndSwitches) {
  ASSERT_EQ(game_background_draw(), 1);
  EXPECT_EQ(game_background_delay, 2);
  EXPECT_EQ(game_background_offset, 1);
  EXPECT_EQ(px_get(gfx_back_buffer, 500, 1), gt_row(0, 0));  // row r at (r + o) mod 768
  EXPECT_EQ(px_get(gfx_back_buffer, 500, 0), gt_row(0, 767));
  for (int i = 1; i < 1536; ++i) ASSERT_EQ(game_background_draw(), 1);
  EXPECT_EQ(game_background_offset, 0);  // a full cycle; at 0 the empty upper part is fine
  EXPECT_EQ(px_get(gfx_back_buffer, 500, 0), gt_row(0, 0));
  gt_hold(DIK_Q), gt_hold(DIK_W);
  game_background_keys();
  EXPECT_EQ(game_background_index, 1);
  game_background_offset = 300, game_background_delay = 2;
  game_background_draw();
  EXPECT_EQ(px_get(gfx_back_buffer, 3, 299), gt_row(1, 767));
  EXPECT_EQ(px_get(gfx_back_buffer, 3, 300), gt_row(1, 0));
  for (int skip : {0, 1}) {  // either blit failing ends the draw after the scroll moved
    seam_fail("IDirectDrawSurface7::Blt", DDERR_GENERIC, skip);
    EXPECT_EQ(game_background_draw(), 0);
  }
  EXPECT_EQ(game_background_offset, 301);
}

}  // namespace
