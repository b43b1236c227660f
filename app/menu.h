// The menu, its buttons, the information screen and the game's own mouse cursor.
#pragma once
#include <cstdint>

#include "gfx/surface.h"

struct Button {
  int32_t x;
  int32_t y;
  int32_t width;
  int32_t height;
  RECT screen_rect;      // where it is drawn and where the cursor is tested
  RECT picture_rect[2];  // [0] normal picture, [1] focused picture below it
  int32_t focused;       // the cursor was on it at its last test; indexes picture_rect
  uint8_t focus_sound_played;  // the focus sound was started for this stay of the cursor
  uint8_t visible;
  int32_t focus_sound;
  int32_t click_sound;
  Surface image;  // width x (2 x height)
};

struct Cursor {
  int32_t x;  // hot point: the picture's top-left corner
  int32_t y;
  int32_t frame_width;
  int32_t frame_height;
  int32_t frame_count;
  int32_t frame;
  int32_t frame_timer;  // cursor steps left until the next frame
  RECT source_rect;
  RECT dest_rect;
  Surface image;
};

constexpr int32_t GAME_CURSOR_FRAME_STEPS = 8;
constexpr int32_t GAME_CURSOR_MAX_X = 1024;  // inclusive: the cursor may sit just off screen
constexpr int32_t GAME_CURSOR_MAX_Y = 768;

extern Button game_start_button;
extern Button game_authors_button;
extern Button game_exit_button;
extern Cursor game_cursor;
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
void game_cursor_step();
