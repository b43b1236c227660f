#include "app/menu.h"

#include "app/globals.h"
#include "app/loop.h"
#include "app/overlay.h"
#include "app/texts.h"
#include "game/stars.h"
#include "gfx/bmp.h"
#include "input/input.h"
#include "sfx/sound.h"

Button game_start_button;
Button game_authors_button;
Button game_exit_button;
int32_t game_exit_sound = -1;
Surface game_menu_screen = nullptr;
Surface game_info_screen = nullptr;

int game_button_init(Button* button, int32_t x, int32_t y, int32_t width, int32_t height, DWORD caps,
                     Rgb16 key, const char* image_path, const char* focus_sound_path,
                     const char* click_sound_path) {
  button->x = x;
  button->y = y;
  button->width = width;
  button->height = height;
  SetRect(&button->screen_rect, x, y, x + width, y + height);
  SetRect(&button->picture_rect[0], 0, 0, width, height);
  SetRect(&button->picture_rect[1], 0, height, width, 2 * height);
  button->focused = 0;
  button->focus_sound_played = 0;
  button->visible = 1;
  button->image = gfx_create_surface(width, 2 * height, caps, key);
  gfx_load_bmp_into_surface(width, 2 * height, image_path, button->image);
  button->focus_sound = snd_load_wav(focus_sound_path, SND_LOAD_FLAGS);
  snd_set_frequency(button->focus_sound, SND_PLAY_RATE);
  button->click_sound = snd_load_wav(click_sound_path, SND_LOAD_FLAGS);
  snd_set_frequency(button->click_sound, SND_PLAY_RATE);
  return 1;
}

void game_button_step(Button* button, ButtonAction action) {
  if (button->visible)
    gfx_blit_keyed(gfx_back_buffer, &button->screen_rect, button->image,
                   &button->picture_rect[button->focused]);
  // Strict on all four sides: the rectangle's edges count as outside.
  const RECT& r = button->screen_rect;
  bool on =
      r.left < game_cursor.x && game_cursor.x < r.right && r.top < game_cursor.y && game_cursor.y < r.bottom;
  if (!on) {
    button->focused = 0;
    button->focus_sound_played = 0;
    return;
  }
  if (!button->focus_sound_played) {
    snd_play(button->focus_sound, 0);
    button->focus_sound_played = 1;
  }
  button->focused = 1;
  if (game_mouse_down == 1) {
    snd_stop(button->focus_sound);
    game_wait_sound(button->click_sound);
    action();
  }
}

static void game_start_action() {
  game_stars_reset();
  game_state = GAME_STATE_PLAY;
}

static void game_authors_action() { game_state = GAME_STATE_INFO; }

int game_menu_step() {
  if (!gfx_blit_keyed(gfx_back_buffer, nullptr, game_menu_screen, nullptr)) return 0;
  game_button_step(&game_start_button, game_start_action);
  game_button_step(&game_authors_button, game_authors_action);
  game_button_step(&game_exit_button, game_post_quit);
  HDC dc = gfx_get_dc();
  if (!dc) return 0;
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, game_font);
  SetTextColor(dc, RGB(255, 255, 255));
  const GameText& title = game_texts[GAME_TEXT_MENU_TITLE];
  const GameText& version = game_texts[GAME_TEXT_VERSION];
  TextOutA(dc, 8, 8, title.bytes, title.len);
  TextOutA(dc, 974, 755, version.bytes, version.len);
  gfx_release_dc(dc);
  // In the menu any bit of the Escape byte counts, or the system's own key state.
  if ((GetAsyncKeyState(VK_ESCAPE) & 0x8000) || inp_key_state[DIK_ESCAPE] != 0) game_post_quit();
  return 1;
}

int game_info_step() {
  if (!gfx_blit_keyed(gfx_back_buffer, nullptr, game_info_screen, nullptr)) return 0;
  if (inp_key_state[DIK_ESCAPE] & 0x80) {
    snd_stop_all();
    game_wait_sound(game_exit_sound);
    game_state = GAME_STATE_MENU;
  }
  return 1;
}
