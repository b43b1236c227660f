// The text overlay drawn over every completed frame.
#pragma once
#include "platform/win32.h"

extern HFONT game_font;

// The game's one font, as start-up makes it (the browser build's glyph table is baked from this call).
HFONT game_font_create();

// 1 when drawn; 0 when the back buffer's device context cannot be had (the frame ends).
int game_draw_overlay();
