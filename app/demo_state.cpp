// Linux only: the game's records a demo checks; main() hands them to the demo at start-up.
#ifndef _WIN32
#include <cstdint>
#include <initializer_list>

#include "app/cursor.h"
#include "app/globals.h"
#include "app/menu.h"
#include "game/background.h"
#include "game/enemies.h"
#include "game/explosions.h"
#include "game/player.h"
#include "platform/demo/demo.h"

namespace {

// Field by field: the records have padding, and the picture pointers differ from run to run.
struct StateHash {
  uint64_t h = 14695981039346656037ull;  // FNV-1a, 64 bits
  void add(int32_t v) {
    for (int i = 0; i < 4; ++i) h = (h ^ (uint8_t)((uint32_t)v >> (8 * i))) * 1099511628211ull;
  }
  void add(const RECT& r) {
    add((int32_t)r.left);
    add((int32_t)r.top);
    add((int32_t)r.right);
    add((int32_t)r.bottom);
  }
};

void add_player(StateHash& s, const PlayerShip& p) {
  s.add(p.score);
  for (int32_t v : {p.x, p.y, p.frame_width, p.frame_height, p.frame_count, p.frame, p.level_frame}) s.add(v);
  s.add(p.src_rect);
  s.add(p.dest_rect);
  for (int32_t v : {p.acceleration, p.top_speed, p.vertical_speed, p.horizontal_speed, p.ship_type_index,
                    p.fire_cooldown})
    s.add(v);
  for (const ShipType& t : p.ship_types)
    for (int32_t v : {t.image_width, t.image_height, t.frame_width, t.frame_height, t.acceleration,
                      t.top_speed, t.frame_count, t.level_frame})
      s.add(v);
  for (const Laser& l : p.lasers) {
    for (int32_t v : {l.x, l.y, l.width, l.height, l.frame_count, l.frame_delay, l.frame_delay_reload,
                      l.frame, l.speed, l.damage, l.fire_interval, (int32_t)l.active})
      s.add(v);
    s.add(l.src_rect);
    s.add(l.dest_rect);
  }
}

uint64_t game_demo_state_hash() {
  StateHash s;
  add_player(s, game_player);
  for (const Enemy& e : game_enemies) {
    for (int32_t v : {e.kind, e.score_value, e.x, e.y, e.frame_width, e.frame_height}) s.add(v);
    s.add(e.src_rect);
    s.add(e.dest_rect);
    for (int32_t v : {e.frame_count, e.frame_delay, e.frame_delay_reload, e.frame, e.frame_step,
                      e.horizontal_speed, e.vertical_speed, e.hit_points, e.max_hit_points})
      s.add(v);
  }
  for (const Explosion& x : game_explosions) {
    for (int32_t v : {x.x, x.y, x.width, x.height, x.frame_count, x.frame, x.type, (int32_t)x.active})
      s.add(v);
    s.add(x.src_rect);
    s.add(x.dest_rect);
  }
  // The state around them: where the loop is, its pace, the scenery and the menu's cursor.
  for (int32_t v : {game_state, game_frame_delay_ms, game_background_index, game_background_offset,
                    game_background_delay, game_cursor.x, game_cursor.y})
    s.add(v);
  return s.h;
}

void game_demo_opening(int32_t* state, int32_t* frame_delay_ms) {
  *state = game_state;
  *frame_delay_ms = game_frame_delay_ms;
}

// Which screen is up, for the pads at the input border.
int game_screen() {
  return game_state == GAME_STATE_MENU   ? PLAT_SCREEN_MENU
         : game_state == GAME_STATE_INFO ? PLAT_SCREEN_INFO
                                         : PLAT_SCREEN_PLAY;
}

}  // namespace

const PlatDemoGame game_demo_hooks = {game_demo_opening, game_demo_state_hash, game_screen};
#endif
