// The overlap test: rectangles first, then keyed copies into the scratch surfaces and a scan.
#include "game/collide.h"

Surface game_scratch_a = nullptr;
Surface game_scratch_b = nullptr;

static bool game_fits_scratch(const RECT& r) {
  return r.right - r.left <= GAME_SCRATCH_SIZE && r.bottom - r.top <= GAME_SCRATCH_SIZE;
}

uint8_t game_collide_pixels(RECT dest_a, RECT src_a, Surface image_a, RECT dest_b, RECT src_b,
                            Surface image_b) {
  RECT overlap;
  if (!IntersectRect(&overlap, &dest_a, &dest_b)) return 0;
  // A frame larger than the scratch square would have the scan read past its rows.
  if (!game_fits_scratch(dest_a) || !game_fits_scratch(dest_b)) return 0;

  RECT in_a = overlap;
  OffsetRect(&in_a, -dest_a.left, -dest_a.top);
  RECT in_b = overlap;
  OffsetRect(&in_b, -dest_b.left, -dest_b.top);
  const int32_t w = overlap.right - overlap.left;
  const int32_t h = overlap.bottom - overlap.top;

  gfx_fill(game_scratch_a, 0, nullptr);
  gfx_fill(game_scratch_b, 0, nullptr);
  RECT to_a = {0, 0, src_a.right - src_a.left, src_a.bottom - src_a.top};
  if (!gfx_blit_keyed(game_scratch_a, &to_a, image_a, &src_a)) return 0;
  RECT to_b = {0, 0, src_b.right - src_b.left, src_b.bottom - src_b.top};
  if (!gfx_blit_keyed(game_scratch_b, &to_b, image_b, &src_b)) return 0;

  DDSURFACEDESC2 desc_a = {};
  gfx_lock_surface(game_scratch_a, &desc_a);
  DDSURFACEDESC2 desc_b = {};
  gfx_lock_surface(game_scratch_b, &desc_b);
  const uint8_t* pixels_a = static_cast<const uint8_t*>(desc_a.lpSurface);
  const uint8_t* pixels_b = static_cast<const uint8_t*>(desc_b.lpSurface);
  if (!pixels_a || !pixels_b) {
    if (pixels_b) gfx_unlock_surface(game_scratch_b);
    if (pixels_a) gfx_unlock_surface(game_scratch_a);
    return 0;
  }

  // The overlap's last row and column are left out, so a 1-pixel strip never hits.
  uint8_t hit = 0;
  for (int32_t y = 0; y < h - 1 && !hit; ++y) {
    const uint16_t* row_a =
        reinterpret_cast<const uint16_t*>(pixels_a + (in_a.top + y) * desc_a.lPitch) + in_a.left;
    const uint16_t* row_b =
        reinterpret_cast<const uint16_t*>(pixels_b + (in_b.top + y) * desc_b.lPitch) + in_b.left;
    for (int32_t x = 0; x < w - 1; ++x) {
      if (row_a[x] != 0 && row_b[x] != 0) {
        hit = 1;
        break;
      }
    }
  }
  gfx_unlock_surface(game_scratch_b);
  gfx_unlock_surface(game_scratch_a);
  return hit;
}
