#include "app/cursor.h"

#include "input/input.h"

Cursor game_cursor;

void game_cursor_step() {
  Cursor& c = game_cursor;
  if (--c.frame_timer <= 0) {
    c.frame_timer = GAME_CURSOR_FRAME_STEPS;
    if (++c.frame >= c.frame_count) c.frame = 0;
    SetRect(&c.source_rect, c.frame * c.frame_width, 0, (c.frame + 1) * c.frame_width, c.frame_height);
  }
  // Drawn where the previous frame left it; the move below is what the next frame tests.
  gfx_blit_keyed(gfx_back_buffer, &c.dest_rect, c.image, &c.source_rect);
  c.x += inp_mouse.lX;
  if (c.x < 0)
    c.x = 0;
  else if (c.x > GAME_CURSOR_MAX_X)
    c.x = GAME_CURSOR_MAX_X;
  c.y += inp_mouse.lY;
  if (c.y < 0)
    c.y = 0;
  else if (c.y > GAME_CURSOR_MAX_Y)
    c.y = GAME_CURSOR_MAX_Y;
  SetRect(&c.dest_rect, c.x, c.y, c.x + c.frame_width, c.y + c.frame_height);
}
