#include "app/frame.h"

#include "app/clock.h"
#include "app/globals.h"
#include "app/menu.h"
#include "app/overlay.h"
#include "game/play.h"
#include "gfx/surface.h"
#include "input/input.h"
#include "sfx/sound.h"

HWND game_window = nullptr;
HINSTANCE game_instance = nullptr;
int32_t game_state = GAME_STATE_MENU;
int32_t game_frame_delay_ms = 30;
uint8_t game_mouse_down = 0;

void game_post_quit() { PostMessageA(game_window, WM_DESTROY, 0, 0); }

void game_wait_sound(int32_t id) {
  snd_play(id, 0);
  const uint32_t limit = snd_length_ms(id) + 1000;
  const uint32_t start = GetTickCount();
  for (;;) {
    int32_t status = snd_get_status(id);
    if (status == -1 || (status & (DSBSTATUS_PLAYING | DSBSTATUS_LOOPING)) == 0) return;
    if ((uint32_t)(GetTickCount() - start) > limit) return;
#ifndef _WIN32
    plat_idle_poll();  // returns at once unless --low-cpu
#endif
  }
}

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
