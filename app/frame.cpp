#include "app/frame.h"

#include "app/clock.h"
#include "app/cursor.h"
#include "app/globals.h"
#include "app/loop.h"
#include "app/menu.h"
#include "app/overlay.h"
#include "game/play.h"
#include "gfx/surface.h"
#include "input/input.h"
#include "sfx/sound.h"

// The play state's quit keys: one quit message for each of left Alt and Escape held.
static void game_play_quit_keys() {
  if (inp_key_state[DIK_LMENU] & 0x80) game_post_quit();
  if (inp_key_state[DIK_ESCAPE] & 0x80) game_post_quit();
}

int game_frame() {
  clock_start_frame();
  gfx_fill(gfx_back_buffer, 0, nullptr);
  inp_read_keyboard();
  inp_read_mouse();
  game_mouse_down = (inp_mouse.rgbButtons[0] & 0x80) ? 1 : 0;

  if (game_state == GAME_STATE_MENU) {
    if (!game_menu_step()) return 0;
  }
  // Tested again: a state the menu just chose takes effect in this same frame.
  if (game_state == GAME_STATE_INFO) {
    if (!game_info_step()) return 0;
  } else if (game_state == GAME_STATE_PLAY) {
    game_play_quit_keys();
    if (!game_play_frame()) return 0;
  }
  if (game_state != GAME_STATE_PLAY) game_cursor_step();
  if (!game_draw_overlay()) return 0;
  gfx_present();
  clock_wait_frame((uint32_t)game_frame_delay_ms);
  return 1;
}
