// The player's ship: set-up, steering with drift and banking, the laser pool, the ship keys.
#include "game/player.h"

#include "gfx/bmp.h"

PlayerShip game_player;
Surface game_laser_image = nullptr;

static void game_player_rects() {
  PlayerShip& p = game_player;
  SetRect(&p.src_rect, p.frame * p.frame_width, 0, (p.frame + 1) * p.frame_width, p.frame_height);
  SetRect(&p.dest_rect, p.x, p.y, p.x + p.frame_width, p.y + p.frame_height);
}

int game_ship_type_setup(ShipType* type, int32_t image_width, int32_t image_height,
                         int32_t frame_width, int32_t frame_height, int32_t acceleration,
                         int32_t top_speed, int32_t level_frame, int32_t frame_count, DWORD caps,
                         Rgb16 key, const char* path) {
  type->image_width = image_width;
  type->image_height = image_height;
  type->frame_width = frame_width;
  type->frame_height = frame_height;
  type->acceleration = acceleration;
  type->top_speed = top_speed;
  type->level_frame = level_frame;
  type->frame_count = frame_count;
  type->image = gfx_create_surface(image_width, image_height, caps, key);
  gfx_load_bmp_into_surface(image_width, image_height, path, type->image);
  return 1;
}

void game_ship_select(int32_t index) {
  if (index < 0 || index >= GAME_SHIP_TYPE_COUNT) return;
  PlayerShip& p = game_player;
  const ShipType& t = p.ship_types[index];
  p.ship_type_index = index;
  p.frame_width = t.frame_width;
  p.frame_height = t.frame_height;
  p.frame_count = t.frame_count;
  p.acceleration = t.acceleration;
  p.top_speed = t.top_speed;
  p.level_frame = t.level_frame;
  p.frame = p.level_frame;
  game_player_rects();
}

void game_lasers_reset() {
  for (Laser& l : game_player.lasers) {
    l.x = 0;
    l.y = 0;
    l.width = 7;
    l.height = 37;
    l.frame_count = 1;
    l.frame_delay = 2;
    l.frame_delay_reload = 2;
    l.frame = 0;
    l.speed = 25;
    l.damage = 50;
    l.fire_interval = 8;
    l.active = 0;
    SetRect(&l.src_rect, 0, 0, 7, 37);
    SetRectEmpty(&l.dest_rect);
  }
}

void game_player_setup() {
  PlayerShip& p = game_player;
  p.score = 0;
  p.x = 472;
  p.y = 680;
  p.ship_type_index = 1;
  // Type 0 is filled in place; type 1 goes through the helper (note: level frame before count).
  ShipType& t0 = p.ship_types[0];
  t0.image_width = 300;
  t0.image_height = 60;
  t0.frame_width = 60;
  t0.frame_height = 60;
  t0.acceleration = 1;
  t0.top_speed = 8;
  t0.frame_count = 5;
  t0.level_frame = 2;
  t0.image = gfx_create_surface(300, 60, DDSCAPS_VIDEOMEMORY, (Rgb16)gfx_rgb565(255, 0, 255));
  gfx_load_bmp_into_surface(300, 60, "image/main/01.bmp", t0.image);
  game_ship_type_setup(&p.ship_types[1], 1352, 57, 90, 57, 3, 10, 7, 15, DDSCAPS_VIDEOMEMORY,
                       gfx_colour_key, "image/main/02.bmp");
  game_ship_select(1);
  p.fire_cooldown = 0;
  game_lasers_reset();
}

// One step toward `target`, never past it.
static int32_t game_step_toward(int32_t value, int32_t target) {
  if (value < target) return value + 1;
  if (value > target) return value - 1;
  return value;
}

void game_player_steer() {
  PlayerShip& p = game_player;
  const int32_t a = p.acceleration;
  const int32_t t = p.top_speed;
  const bool up = game_key_held(DIK_UP);
  const bool down = game_key_held(DIK_DOWN);
  const bool left = game_key_held(DIK_LEFT);
  const bool right = game_key_held(DIK_RIGHT);
  if (up) {
    p.vertical_speed -= a;
    if (p.vertical_speed < -t) p.vertical_speed = -t;
  }
  if (down) {
    p.vertical_speed += a;
    if (p.vertical_speed > t) p.vertical_speed = t;
  }
  if (left) {
    if (--p.frame < 0) p.frame = 0;
    p.horizontal_speed -= a;
    if (p.horizontal_speed < -t) p.horizontal_speed = -t;
  }
  if (right) {
    if (++p.frame > p.frame_count - 1) p.frame = p.frame_count - 1;
    p.horizontal_speed += a;
    if (p.horizontal_speed > t) p.horizontal_speed = t;
  }
  // Drift back toward rest is 1 per frame whatever the ship type.
  if (!left && !right) {
    p.frame = game_step_toward(p.frame, p.level_frame);
    p.horizontal_speed = game_step_toward(p.horizontal_speed, 0);
  }
  if (!up && !down) p.vertical_speed = game_step_toward(p.vertical_speed, 0);
}

int game_lasers_update() {
  PlayerShip& p = game_player;
  bool fire = false;
  if (p.fire_cooldown > 0) --p.fire_cooldown;
  if (game_key_held(DIK_LCONTROL) && p.fire_cooldown <= 0) {
    fire = true;
    p.fire_cooldown = p.lasers[0].fire_interval;
  }
  for (Laser& l : p.lasers) {
    if (!l.active && fire) {
      fire = false;
      l.x = p.x + p.frame_width / 2 - l.width / 2;
      l.y = p.y + 4;
      l.active = 1;
    }
    if (!l.active) continue;
    l.y -= l.speed;
    // Past the top it is freed but still drawn this frame: the clipped blit shows nothing.
    if (l.y < -l.height) l.active = 0;
    if (--l.frame_delay < 0) {
      l.frame_delay = l.frame_delay_reload;
      if (++l.frame >= l.frame_count) l.frame = 0;
      SetRect(&l.src_rect, l.frame * l.width, 0, (l.frame + 1) * l.width, l.height);
    }
    SetRect(&l.dest_rect, l.x, l.y, l.x + l.width, l.y + l.height);
    if (!gfx_blit_keyed(gfx_back_buffer, &l.dest_rect, game_laser_image, &l.src_rect)) return 0;
  }
  return 1;
}

void game_player_move_draw() {
  PlayerShip& p = game_player;
  p.x += p.horizontal_speed;
  p.y += p.vertical_speed;
  const int32_t half = p.frame_width / 2;
  if (p.x < -half) {
    p.x = -half;
    p.horizontal_speed = 0;
  }
  if (p.x > GAME_SCREEN_WIDTH - half) {
    p.x = GAME_SCREEN_WIDTH - half;
    p.horizontal_speed = 0;
  }
  if (p.y < 0) {
    p.y = 0;
    p.vertical_speed = 0;
  }
  if (p.y > GAME_SCREEN_HEIGHT - p.frame_height) {
    p.y = GAME_SCREEN_HEIGHT - p.frame_height;
    p.vertical_speed = 0;
  }
  game_player_rects();
  gfx_blit_keyed(gfx_back_buffer, &p.dest_rect, p.ship_types[p.ship_type_index].image,
                 &p.src_rect);
}

void game_ship_keys() {
  if (game_key_held(DIK_A)) game_ship_select(1);
  if (game_key_held(DIK_S)) game_ship_select(0);
}
