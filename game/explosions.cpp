// Explosion slots: spawning centred on the destroyed enemy, one picture per frame.
#include "game/explosions.h"

#include "game/enemies.h"
#include "game/hud.h"

// BIG's image holds 16 frames of 128; frames 16 and 17 fall past its edge and draw nothing.
const ExplosionType game_explosion_types[GAME_EXPLOSION_TYPE_COUNT] = {
    {128, 105, 18, 2048, 105, "image/prochee/blow.bmp"},
    {50, 50, 21, 1052, 50, "image/prochee/blow_small.bmp"},
    {120, 120, 10, 1200, 120, "image/prochee/blow_aster.bmp"},
};

Explosion game_explosions[GAME_EXPLOSION_COUNT];
Surface game_explosion_images[GAME_EXPLOSION_TYPE_COUNT] = {};

void game_explosions_clear() {
  for (Explosion& x : game_explosions) x.active = 0;
}

static int32_t game_explosion_type_for(int32_t enemy_kind) {
  if (enemy_kind == ENEMY_ASTEROID_1) return EXPLOSION_SMALL;
  if (enemy_kind == ENEMY_ASTEROID_2) return EXPLOSION_BIG;
  return EXPLOSION_ASTER;
}

void game_explosion_spawn(const Enemy& e) {
  Explosion* slot = nullptr;
  for (Explosion& x : game_explosions) {
    if (!x.active) {
      slot = &x;
      break;
    }
  }
  if (!slot) return;
  const int32_t type = game_explosion_type_for(e.kind);
  const ExplosionType& t = game_explosion_types[type];
  slot->type = type;
  slot->width = t.frame_width;
  slot->height = t.frame_height;
  slot->frame_count = t.frame_count;
  // Centred on the enemy's frame where it was drawn this frame.
  slot->x = e.x + e.frame_width / 2 - slot->width / 2;
  slot->y = e.y + e.frame_height / 2 - slot->height / 2;
  slot->frame = 0;
  SetRect(&slot->dest_rect, slot->x, slot->y, slot->x + slot->width, slot->y + slot->height);
  slot->active = 1;
  game_score_add(e.score_value);
}

void game_explosions_update() {
  for (Explosion& x : game_explosions) {
    if (!x.active) continue;
    SetRect(&x.src_rect, x.frame * x.width, 0, (x.frame + 1) * x.width, x.height);
    gfx_blit_keyed(gfx_back_buffer, &x.dest_rect, game_explosion_images[x.type], &x.src_rect);
    if (++x.frame >= x.frame_count) x.active = 0;
  }
}
