#include "app/startup.h"

#include <cstdlib>

#include "app/clock.h"
#include "input/input.h"
#include "sfx/sound.h"

int game_startup() {
  inp_init();
  inp_create_keyboard();
  inp_create_mouse();
  snd_init();
  ShowCursor(FALSE);
  srand(clock_start_frame());
  return 1;
}

int game_shutdown() {
  snd_stop_all();
  snd_delete_all();
  snd_shutdown();
  inp_release_mouse();
  inp_release_keyboard();
  inp_shutdown();
  return 1;
}
