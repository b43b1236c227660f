// What a state may ask of the main loop.
#include "app/loop.h"

#include "app/globals.h"
#include "sfx/sound.h"

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
