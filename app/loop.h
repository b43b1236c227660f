// What a state may ask of the main loop.
#pragma once
#include <cstdint>

// Plays a sound once and spins until it ends (never for a missing sound). Bounded: gives up
// after the sound's length plus one second, so a stalled audio device cannot freeze the game.
void game_wait_sound(int32_t id);

// Posts the quit message to the game window: the window procedure answers it with WM_QUIT.
void game_post_quit();
