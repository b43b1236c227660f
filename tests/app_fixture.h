// Shared set-up for tests that drive the game loop: fresh seams, windows, records and devices.
#pragma once
#include "app/globals.h"
#include "input/input.h"
#include "platform/port/options.h"
#include "platform/seams/seams.h"

inline void app_fixture_reset() {
  seam_reset();
  seam_windows_reset();
  plat_clear_fatal();
  plat_options.window = true;
  seam_input_inject(true);
  seam_clock_virtual(1000, 1);
  game_window = nullptr;
  game_state = GAME_STATE_MENU;
  game_frame_delay_ms = 30;
  game_mouse_down = 0;
  inp_direct_input = nullptr;
  inp_keyboard_device = nullptr;
  inp_mouse_device = nullptr;
}
