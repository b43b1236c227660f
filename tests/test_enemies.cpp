// Enemy set-up from rand(), falling and recycling, animation, laser hits and re-entry.
#include <cstdlib>
#include <vector>

#include "game/enemies.h"
#include "game/explosions.h"
#include "game/player.h"
#include "test_game_fixture.h"

namespace {

using GameEnemies = GameTest;

TEST_F(GameEnemies, ResetDrawsSixNumbersPerEnemyInOrder) {
  srand(77);
  game_enemies_reset();
  srand(77);
  for (const Enemy& e : game_enemies) {
    EXPECT_EQ(e.frame_step, rand() % 2 == 0 ? -1 : 1);
    EXPECT_EQ(e.vertical_speed, rand() % 5 + 1);
    const int d = rand() % 8;
    EXPECT_EQ(e.frame_delay, d);
    EXPECT_EQ(e.frame_delay_reload, d);
    EXPECT_EQ(e.x, rand() % 1024);
    const int kind = rand() % 4;
    ASSERT_EQ(e.kind, kind);
    EXPECT_EQ(e.frame, rand() % game_enemy_kinds[kind].frame_count);
    EXPECT_EQ(e.hit_points, game_enemy_kinds[kind].max_hit_points);
    EXPECT_EQ(e.y, -50);
  }
}

TEST_F(GameEnemies, RecyclesPastTheBottomAndAnimatesBothWays) {
  park_enemies();
  Enemy& a = game_enemies[0];
  Enemy& b = game_enemies[1];
  a.y = b.y = 766, a.x = b.x = 300;
  a.vertical_speed = 2;  // lands on 768: stays
  b.vertical_speed = 3;  // 769: back above the top in a new column
  a.frame = 0, a.frame_step = -1, a.frame_delay = 1, a.frame_delay_reload = 3;
  b.frame = b.frame_count - 1, b.frame_step = 1, b.frame_delay = 1, b.frame_delay_reload = 0;
  srand(5);
  const int new_x = rand() % 1024;
  srand(5);
  game_enemies_update();
  EXPECT_EQ((std::vector<int>{a.y, a.x, b.y, b.x}), (std::vector<int>{768, 300, -50, new_x}));
  EXPECT_EQ(a.frame, a.frame_count - 1);
  EXPECT_EQ(a.src_rect.left, (a.frame_count - 1) * a.frame_width);
  EXPECT_EQ(b.frame, 0);
  a.vertical_speed = 0;
  for (int i = 0; i < 3; ++i) game_enemies_update();
  EXPECT_EQ(a.frame, a.frame_count - 2);  // reload 3: every third frame
  EXPECT_EQ(b.frame, 3);                  // reload 0: every frame
}

TEST_F(GameEnemies, HitSpendsOneLaserScoresAndRestartsInTheSameColumn) {
  park_enemies();
  Enemy& e = game_enemies[2];
  e.kind = ENEMY_ASTEROID_2, e.frame_width = 40, e.frame_height = 45, e.frame = 0;
  e.score_value = 10, e.max_hit_points = e.hit_points = 15;
  e.x = 500, e.y = 299, e.vertical_speed = 1;
  Laser* l = game_player.lasers;
  for (int j : {4, 9}) l[j].active = 1, SetRect(&l[j].dest_rect, 510, 310, 517, 347);
  game_enemies_update();
  EXPECT_EQ((std::vector<int>{e.x, e.y}), (std::vector<int>{500, -50}));
  EXPECT_FALSE(l[4].active);
  EXPECT_TRUE(l[9].active);  // only the lower-indexed laser is spent
  EXPECT_EQ(game_player.score, 10);
  EXPECT_EQ(game_explosions[0].type, EXPLOSION_BIG);

  // A tough enemy only loses hit points; with every slot busy a kill scores nothing.
  e.y = 299, e.max_hit_points = e.hit_points = 60;
  game_enemies_update();
  EXPECT_EQ((std::vector<int>{e.hit_points, e.y}), (std::vector<int>{10, 300}));
  EXPECT_FALSE(l[9].active);
  for (Explosion& x : game_explosions) x.active = 1;
  l[4].active = 1, SetRect(&l[4].dest_rect, 510, 311, 517, 348);
  game_enemies_update();
  EXPECT_FALSE(l[4].active);
  EXPECT_EQ((std::vector<int>{e.y, e.hit_points}), (std::vector<int>{-50, 60}));
  EXPECT_EQ(game_player.score, 10);
}

TEST_F(GameEnemies, TwoKillsInOnePassTakeExplosionSlotsInEnemyOrder) {
  park_enemies();
  Laser* l = game_player.lasers;
  for (int i : {2, 5}) {
    Enemy& e = game_enemies[i];
    e.kind = ENEMY_ASTEROID_2, e.frame_width = 40, e.frame_height = 45, e.frame = 0, e.hit_points = 15;
    e.x = i == 2 ? 500 : 200, e.y = 299, e.vertical_speed = 1;
  }
  // The lower laser hits the later enemy.
  l[1].active = 1, SetRect(&l[1].dest_rect, 210, 310, 217, 347);
  l[6].active = 1, SetRect(&l[6].dest_rect, 510, 310, 517, 347);
  game_enemies_update();
  ASSERT_TRUE(game_explosions[0].active && game_explosions[1].active);
  EXPECT_GT(game_explosions[0].x, 400);  // enemy 2's
  EXPECT_LT(game_explosions[1].x, 300);  // enemy 5's
}

}  // namespace
