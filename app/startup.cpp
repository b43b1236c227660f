#include "app/startup.h"

#include <cstdlib>

#include "app/clock.h"
#include "app/cursor.h"
#include "app/menu.h"
#include "app/overlay.h"
#include "app/texts.h"
#include "game/background.h"
#include "game/collide.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/hud.h"
#include "game/play_images.h"
#include "game/player.h"
#include "game/stars.h"
#include "gfx/bmp.h"
#include "gfx/display.h"
#include "input/input.h"
#include "music/music.h"
#include "sfx/sound.h"

// The menu's three buttons: same size, column at x 457, one below the other.
static void game_buttons_load() {
  const DWORD caps = DDSCAPS_VIDEOMEMORY;
  const Rgb16 black = (Rgb16)gfx_rgb565(0, 0, 0);
  game_button_init(&game_start_button, 457, 350, 120, 50, caps, black, "image/start.bmp", "sound/focus.wav",
                   "sound/click.wav");
  game_button_init(&game_authors_button, 457, 410, 120, 50, caps, black, "image/avtory.bmp",
                   "sound/focus.wav", "sound/click.wav");
  game_button_init(&game_exit_button, 457, 470, 120, 50, caps, black, "image/exit.bmp", "sound/focus.wav",
                   "sound/click.wav");
}

static void game_cursor_setup() {
  Cursor& c = game_cursor;
  c.x = 612;  // right of the screen's middle, as the menu expects it
  c.y = 384;
  c.frame_width = 30;
  c.frame_height = 30;
  c.frame_count = 2;
  c.frame = 0;
  c.frame_timer = 0;
  SetRect(&c.source_rect, 0, 0, c.frame_width, c.frame_height);
  SetRect(&c.dest_rect, c.x, c.y, c.x + c.frame_width, c.y + c.frame_height);
  c.image = gfx_picture_load(60, 30, (Rgb16)gfx_rgb565(0, 0, 0), "image/cursor.bmp");
}

int game_startup() {
  game_lang_from_system();
  game_texts_load();
  gfx_display_open(1024, 768, 16);
  inp_init();
  inp_create_keyboard();
  inp_create_mouse();
  snd_init();
  mus_init();
  ShowCursor(FALSE);
  srand(clock_start_frame());
  game_font = game_font_create();
  game_cursor_setup();
  game_hud_images_load();
  game_player_setup();
  game_stars_reset();
  game_enemies_reset();
  game_scratch_create();
  game_play_images_load();
  game_menu_screen = gfx_picture_load(1024, 768, 0, "image/screen_menu.bmp");
  game_info_screen = gfx_picture_load(1024, 768, 0, "image/screen_info.bmp");
  game_buttons_load();
  game_exit_sound = snd_load_wav("sound/exit.wav", SND_LOAD_FLAGS);
  snd_set_frequency(game_exit_sound, SND_PLAY_RATE);
  game_explosions_clear();
  return 1;
}

static void game_surface_release(Surface s) {
  if (s) s->Release();
}

int game_shutdown() {
  for (Surface s : game_enemy_images) game_surface_release(s);
  game_surface_release(game_laser_image);
  for (Surface s : game_explosion_images) game_surface_release(s);
  game_surface_release(game_player.ship_types[0].image);
  game_surface_release(game_player.ship_types[1].image);
  game_surface_release(game_cursor.image);
  game_surface_release(game_start_button.image);
  game_surface_release(game_authors_button.image);
  game_surface_release(game_exit_button.image);
  game_surface_release(game_scratch_a);
  game_surface_release(game_scratch_b);
  game_surface_release(game_background_images[0]);
  game_surface_release(game_background_images[1]);
  game_surface_release(game_info_screen);
  game_surface_release(game_menu_screen);
  game_surface_release(game_digits_image);
  game_surface_release(game_slots_image);
  snd_stop_all();
  snd_delete_all();
  snd_shutdown();
  mus_release_slots();
  mus_shutdown();
  inp_release_mouse();
  inp_release_keyboard();
  inp_shutdown();
  gfx_display_close();
  return 1;
}
