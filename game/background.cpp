// Background scroll: one pixel every second play frame, wrapping after 768 rows.
#include "game/background.h"

#include "game/screen.h"

Surface game_background_images[GAME_BACKGROUND_COUNT] = {};
int32_t game_background_index = 0;
int32_t game_background_offset = 0;
int32_t game_background_delay = 0;

int game_background_draw() {
  if (--game_background_delay <= 0) {
    game_background_delay = GAME_BACKGROUND_SCROLL_DELAY;
    ++game_background_offset;
  }
  if (game_background_offset < 0 || game_background_offset >= GAME_SCREEN_HEIGHT)
    game_background_offset = 0;
  const int32_t o = game_background_offset;
  const int32_t index = game_background_index == 1 ? 1 : 0;
  Surface picture = game_background_images[index];
  // Row r of the picture lands on screen row (r + o) mod 768; at o = 0 the second part is empty.
  const RECT lower_src = {0, 0, GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT - o};
  const RECT lower_dest = {0, o, GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT};
  if (!gfx_blit_keyed(gfx_back_buffer, &lower_dest, picture, &lower_src)) return 0;
  const RECT upper_src = {0, GAME_SCREEN_HEIGHT - o, GAME_SCREEN_WIDTH, GAME_SCREEN_HEIGHT};
  const RECT upper_dest = {0, 0, GAME_SCREEN_WIDTH, o};
  if (!gfx_blit_keyed(gfx_back_buffer, &upper_dest, picture, &upper_src)) return 0;
  return 1;
}

void game_background_keys() {
  if (game_key_held(DIK_Q)) game_background_index = 0;
  if (game_key_held(DIK_W)) game_background_index = 1;
}
