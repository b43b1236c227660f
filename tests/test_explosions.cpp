// Explosion placement, slot use and lifetime; the score panel and the score's limits.
#include <climits>
#include <cstring>
#include <vector>

#include "game/enemies.h"
#include "game/explosions.h"
#include "game/hud.h"
#include "game/player.h"
#include "platform/seams/seams.h"
#include "test_game_fixture.h"

namespace {

using GameExplosions = GameTest;

void kill(int kind, int x, int y) {
  const EnemyKind& k = game_enemy_kinds[kind];
  Enemy e = {};
  e.kind = kind, e.x = x, e.y = y, e.frame_width = k.frame_width, e.frame_height = k.frame_height;
  e.score_value = k.score_value;
  game_explosion_spawn(e);
}

TEST_F(GameExplosions, SpawnCentresTakesLowestSlotAndRunsEachTypeItsLength) {
  kill(ENEMY_ASTEROID_1, 100, 200);
  kill(ENEMY_ASTEROID_2, 400, 100);
  kill(ENEMY_SMALL_2, 700, 100);
  const Explosion* x = game_explosions;
  EXPECT_EQ((std::vector<int>{x[0].type, x[0].x, x[0].y, x[1].type, x[2].type}),
            (std::vector<int>{EXPLOSION_SMALL, 89, 189, EXPLOSION_BIG, EXPLOSION_ASTER}));
  EXPECT_EQ(game_player.score, 15 + 10 + 25);
  // Busy for 21, 18 and 10 frames; BIG shows only 16 (its last two frames lie past the image).
  for (int frame = 1; frame <= 21; ++frame) {
    gfx_fill(gfx_back_buffer, 0, nullptr);
    game_explosions_update();
    EXPECT_EQ(px_get(gfx_back_buffer, 420, 122), frame <= 16 ? GT_BLAST : 0) << frame;
    EXPECT_EQ((std::vector<bool>{!!x[0].active, !!x[1].active, !!x[2].active}),
              (std::vector<bool>{frame < 21, frame < 18, frame < 10}));
  }
  for (int k = 1; k < GAME_EXPLOSION_COUNT; ++k) game_explosions[k].active = 1;
  kill(ENEMY_SMALL_1, 0, 0);
  EXPECT_TRUE(x[0].active);
  EXPECT_EQ(game_player.score, 75);
  kill(ENEMY_SMALL_1, 0, 0);  // all 100 busy: no explosion, no score
  EXPECT_EQ(game_player.score, 75);
}

TEST_F(GameExplosions, ScorePanelDigitsClampingAndSaturation) {
  struct Case {
    int32_t score;
    const char* text;
  };
  for (Case c :
       {Case{0, "0"}, Case{1234567, "1234567"}, Case{10000000, "9999999"}, Case{INT_MAX, "9999999"}}) {
    SCOPED_TRACE(c.score);
    gfx_fill(gfx_back_buffer, 0, nullptr);
    game_player.score = c.score;
    ASSERT_EQ(game_hud_draw(), 1);
    EXPECT_STREQ(game_score_text, c.text);
    EXPECT_EQ(px_get(gfx_back_buffer, 0, 767), GT_SLOTS);
    EXPECT_EQ(px_get(gfx_back_buffer, 99, 673), GT_CAPTION);
    const int n = int(strlen(c.text));
    for (int i = 0; i < n; ++i)
      EXPECT_EQ(px_get(gfx_back_buffer, 122 + 25 * i, 690), gt_digit(c.text[i] - '0'));
    EXPECT_EQ(px_get(gfx_back_buffer, 110 + 25 * n, 690), 0);
  }
  game_player.score = INT_MAX - 10;
  game_score_add(25);
  EXPECT_EQ(game_player.score, INT_MAX);

  // A failed blit (slots, caption or a digit) ends the panel at once.
  game_player.score = 987;
  for (int skip : {0, 1, 3}) {
    gfx_fill(gfx_back_buffer, 0, nullptr);
    seam_reset();
    seam_fail("IDirectDrawSurface7::Blt", DDERR_GENERIC, skip);
    EXPECT_EQ(game_hud_draw(), 0);
    EXPECT_EQ(seam_calls("IDirectDrawSurface7::Blt"), skip + 1);
  }
  EXPECT_EQ(px_get(gfx_back_buffer, 122, 690), gt_digit(9));
  EXPECT_EQ(px_get(gfx_back_buffer, 147, 690), 0);
}

}  // namespace
