// Score panel drawing and the score's safe arithmetic.
#include "game/hud.h"

#include <cstdint>
#include <cstdio>

#include "game/player.h"

Surface game_slots_image = nullptr;
Surface game_digits_image = nullptr;
char game_score_text[GAME_SCORE_TEXT_SIZE] = {};

void game_score_add(int32_t value) {
  int64_t sum = int64_t(game_player.score) + value;
  if (sum > INT32_MAX) sum = INT32_MAX;
  if (sum < INT32_MIN) sum = INT32_MIN;
  game_player.score = int32_t(sum);
}

int game_hud_draw() {
  static const RECT slots_dest = {0, 708, 204, 768};
  static const RECT caption_src = {0, 35, 100, 70};
  static const RECT caption_dest = {0, 673, 100, 708};
  if (!gfx_blit_keyed(gfx_back_buffer, &slots_dest, game_slots_image, nullptr)) return 0;
  if (!gfx_blit_keyed(gfx_back_buffer, &caption_dest, game_digits_image, &caption_src)) return 0;

  // Only seven digits fit: larger scores show as all nines, and a negative one as 0.
  int32_t shown = game_player.score;
  if (shown > GAME_SCORE_SHOWN_MAX) shown = GAME_SCORE_SHOWN_MAX;
  if (shown < 0) shown = 0;
  snprintf(game_score_text, sizeof game_score_text, "%d", int(shown));
  for (int32_t i = 0; game_score_text[i] != '\0'; ++i) {
    const int32_t d = game_score_text[i] - '0';
    const RECT src = {25 * d, 0, 25 * d + 25, 35};
    const RECT dest = {110 + 25 * i, 673, 135 + 25 * i, 708};
    if (!gfx_blit_keyed(gfx_back_buffer, &dest, game_digits_image, &src)) return 0;
  }
  return 1;
}
