// The player's ship, its two ship types and the pool of lasers it fires.
#pragma once
#include <cstdint>

#include "game/screen.h"
#include "gfx/surface.h"
#include "platform/win32.h"

constexpr int32_t GAME_LASER_COUNT = 50;
constexpr int32_t GAME_SHIP_TYPE_COUNT = 2;

struct ShipType {
  int32_t image_width;
  int32_t image_height;
  int32_t frame_width;
  int32_t frame_height;
  int32_t acceleration;  // speed change per frame while a steering key is held
  int32_t top_speed;     // limit of |speed| on each axis, pixels per frame
  int32_t frame_count;   // banking frames, side by side in the strip
  int32_t level_frame;   // frame shown in level flight
  Surface image;
};

struct Laser {
  int32_t x, y;
  int32_t width, height;
  int32_t frame_count;
  int32_t frame_delay;         // countdown to the next animation step
  int32_t frame_delay_reload;
  int32_t frame;
  int32_t speed;          // pixels upward per frame
  int32_t damage;         // hit points taken from an enemy it hits
  int32_t fire_interval;  // frames between shots; only lasers[0]'s is read
  uint8_t active;
  RECT src_rect;
  RECT dest_rect;
};

struct PlayerShip {
  int32_t score;  // first field: the score panel reads it
  int32_t x, y;   // top-left corner on the screen
  int32_t frame_width, frame_height;
  int32_t frame_count;
  int32_t frame;  // current banking frame
  int32_t level_frame;
  RECT src_rect;
  RECT dest_rect;
  int32_t acceleration, top_speed;
  int32_t vertical_speed;    // negative is up
  int32_t horizontal_speed;  // negative is left
  int32_t ship_type_index;
  ShipType ship_types[GAME_SHIP_TYPE_COUNT];
  int32_t fire_cooldown;  // frames until the next shot may leave
  Laser lasers[GAME_LASER_COUNT];
};

extern PlayerShip game_player;
extern Surface game_laser_image;  // shared by every laser, 8 x 37, frame 7 x 37

// Start-up: score, position, both ship types with their images, type 1 selected, lasers idle.
void game_player_setup();
// Stores the numbers, creates the image and loads it; results are not examined. Returns 1.
int game_ship_type_setup(ShipType* type, int32_t image_width, int32_t image_height,
                         int32_t frame_width, int32_t frame_height, int32_t acceleration,
                         int32_t top_speed, int32_t level_frame, int32_t frame_count, DWORD caps,
                         Rgb16 key, const char* path);
// Makes ship type `index` current; position, speeds and score stay. Other indices are ignored.
void game_ship_select(int32_t index);
void game_lasers_reset();

// Play steps.
void game_player_steer();
int game_lasers_update();  // 0 when a laser blit failed: the frame ends
void game_player_move_draw();
void game_ship_keys();
