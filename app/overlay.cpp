// Placeholder until GDI text lands.
#include "app/overlay.h"

#include "gfx/surface.h"

HFONT game_font = nullptr;

int game_draw_overlay() {
  HDC dc = gfx_get_dc();
  if (!dc) return 0;
  gfx_release_dc(dc);
  return 1;
}
