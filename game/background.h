// The scrolling background picture behind the starfield, and the keys that choose it.
#pragma once
#include <cstdint>

#include "gfx/surface.h"

constexpr int32_t GAME_BACKGROUND_COUNT = 2;
constexpr int32_t GAME_BACKGROUND_SCROLL_DELAY = 2;  // play frames per pixel of scroll

extern Surface game_background_images[GAME_BACKGROUND_COUNT];  // 1024 x 768, key 0
extern int32_t game_background_index;   // picture shown, 0 or 1
extern int32_t game_background_offset;  // rows scrolled down, 0 .. 767
extern int32_t game_background_delay;   // frame countdown of the scroll

// Scrolls, then draws the picture in two parts wrapped at the offset. 0 when a blit failed
// (the frame ends; the scroll has already advanced).
int game_background_draw();
// Q shows picture 0, W picture 1; W wins when both are held.
void game_background_keys();
