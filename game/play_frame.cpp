// One tick of the play state. The order of the steps is also the stacking order, back to front.
#include "app/globals.h"
#include "game/background.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/hud.h"
#include "game/play.h"
#include "game/player.h"
#include "game/screen.h"
#include "game/stars.h"

// P slows play by a millisecond a frame, O speeds it up. P goes first, so with both held the
// delay stays, except at 90, where it drops to 89.
static void game_speed_keys() {
  if (game_key_held(DIK_P)) {
    if (++game_frame_delay_ms > GAME_FRAME_DELAY_MAX) game_frame_delay_ms = GAME_FRAME_DELAY_MAX;
  }
  if (game_key_held(DIK_O)) {
    if (--game_frame_delay_ms < 1) game_frame_delay_ms = 1;
  }
}

int game_play_frame() {
  if (!game_background_draw()) return 0;
  game_stars_move();
  game_stars_draw();
  game_player_steer();
  if (!game_lasers_update()) return 0;
  game_player_move_draw();
  game_enemies_update();
  game_explosions_update();
  // The switches act from the next frame on.
  game_ship_keys();
  game_background_keys();
  game_speed_keys();
  if (!game_hud_draw()) return 0;
  return 1;
}
