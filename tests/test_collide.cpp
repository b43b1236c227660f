// The pixel-exact overlap test through the scratch surfaces.
#include "game/collide.h"
#include "game/enemies.h"
#include "game/player.h"
#include "platform/seams/seams.h"
#include "test_game_fixture.h"

namespace {

using GameCollide = GameTest;

RECT at(int x, int y, int w, int h) { return RECT{x, y, x + w, y + h}; }

// Asteroid frame 1 (29 x 29, transparent 5 x 5 corner) at (100, 100) against a laser at (x, y).
uint8_t asteroid_vs_laser(int x, int y) {
  return game_collide_pixels(at(100, 100, 29, 29), at(29, 0, 29, 29), game_enemy_images[0], at(x, y, 7, 37),
                             at(0, 0, 7, 37), game_laser_image);
}

TEST_F(GameCollide, CornersStripsLastRowAndColumnBlackPixelsAndFrames) {
  EXPECT_EQ(asteroid_vs_laser(98, 68), 0);    // 5 x 5 overlap: only the transparent corner
  EXPECT_EQ(asteroid_vs_laser(99, 69), 0);    // 6 x 6: the solid (5, 5) is in the last row and column
  EXPECT_EQ(asteroid_vs_laser(100, 70), 1);   // 7 x 7: now it is scanned
  EXPECT_EQ(asteroid_vs_laser(128, 110), 0);  // one-pixel strips, both solid
  EXPECT_EQ(asteroid_vs_laser(110, 128), 0);
  EXPECT_EQ(asteroid_vs_laser(127, 110), 1);
  seam_reset();
  EXPECT_EQ(asteroid_vs_laser(129, 110), 0);  // shared edge only: nothing drawn or locked
  EXPECT_EQ(seam_calls("IDirectDrawSurface7::Blt") + seam_calls("IDirectDrawSurface7::Lock"), 0);

  px_fill(game_laser_image, 0, 0, 7, 37, 0);  // pure black never collides
  EXPECT_EQ(asteroid_vs_laser(110, 110), 0);
  px_fill(game_laser_image, 3, 5, 1, 1, GT_LASER);
  EXPECT_EQ(asteroid_vs_laser(110, 110), 1);
  // The source rectangle picks the frame: frame 1 emptied, frame 0 solid, no hit.
  px_fill(game_enemy_images[0], 0, 0, 58, 29, gfx_colour_key);
  px_fill(game_enemy_images[0], 0, 0, 29, 29, GT_ENEMY);
  EXPECT_EQ(asteroid_vs_laser(110, 110), 0);
}

TEST_F(GameCollide, FailuresAnswerNoHitAndLeaveNothingLocked) {
  seam_reset();
  EXPECT_EQ(game_collide_pixels(at(0, 0, 29, 29), at(0, 0, 29, 29), nullptr, at(5, 5, 7, 37), at(0, 0, 7, 37),
                                game_laser_image),
            0);  // missing image: the copy fails
  EXPECT_EQ(seam_calls("IDirectDrawSurface7::Lock"), 0);
  seam_fail("IDirectDrawSurface7::Lock", DDERR_GENERIC, 1);  // the second lock is refused
  EXPECT_EQ(asteroid_vs_laser(110, 110), 0);
  EXPECT_EQ(seam_calls("IDirectDrawSurface7::Unlock"), 1);
  EXPECT_EQ(asteroid_vs_laser(110, 110), 1);  // both usable again
  // A frame larger than the scratch square is refused before anything is drawn.
  seam_reset();
  EXPECT_EQ(game_collide_pixels(at(0, 0, 161, 20), at(0, 0, 161, 20), game_enemy_images[1], at(10, 10, 7, 37),
                                at(0, 0, 7, 37), game_laser_image),
            0);
  EXPECT_EQ(seam_calls("IDirectDrawSurface7::Blt"), 0);
}

}  // namespace
