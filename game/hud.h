// The score panel at the bottom left: slots picture, caption, score in digit pictures.
#pragma once
#include <cstdint>

#include "gfx/surface.h"

constexpr int32_t GAME_SCORE_TEXT_SIZE = 8;     // 7 digits and the terminator
constexpr int32_t GAME_SCORE_SHOWN_MAX = 9999999;  // what any larger score is shown as

extern Surface game_slots_image;   // 204 x 60
extern Surface game_digits_image;  // 252 x 70: digits 25 x 35 on top, caption below
extern char game_score_text[GAME_SCORE_TEXT_SIZE];

// Adds to the score, saturating at the largest int32 instead of wrapping negative.
void game_score_add(int32_t value);
// 1 when drawn; 0 at the first failed blit (the frame ends).
int game_hud_draw();
