// The menu, its buttons and the information screen.
#pragma once
#include <cstdint>

#include "app/cursor.h"
#include "gfx/surface.h"

struct Button {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  RECT screen_rect;            // where it is drawn and where the cursor is tested
  RECT picture_rect[2];        // [0] normal picture, [1] focused picture below it
  int32_t focused;             // the cursor was on it at its last test; indexes picture_rect
  uint8_t focus_sound_played;  // the focus sound was started for this stay of the cursor
  uint8_t visible;
  int32_t focus_sound;
  int32_t click_sound;
  Surface image;  // width x (2 x height)
};

extern Button game_start_button;
extern Button game_authors_button;
extern Button game_exit_button;
extern int32_t game_exit_sound;
extern Surface game_menu_screen;
extern Surface game_info_screen;

int game_button_init(Button* button, int32_t x, int32_t y, int32_t width, int32_t height, DWORD caps,
                     Rgb16 key, const char* image_path, const char* focus_sound_path,
                     const char* click_sound_path);

typedef void (*ButtonAction)();
void game_button_step(Button* button, ButtonAction action);

// Each returns 0 when the frame must end early (its background copy or device context failed).
int game_menu_step();
int game_info_step();
