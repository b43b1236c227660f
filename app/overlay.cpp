// The text overlay drawn over every completed frame: title, version and the key lines.
#include "app/overlay.h"

#include "app/texts.h"
#include "gfx/surface.h"

HFONT game_font = nullptr;

namespace {

void text_out(HDC dc, int x, int y, GameTextId id) {
  TextOutA(dc, x, y, game_texts[id].bytes, game_texts[id].len);
}

}  // namespace

HFONT game_font_create() {
  return CreateFontA(12, 6, 0, 0, 10, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, "Times New Roman");
}

int game_draw_overlay() {
  HDC dc = gfx_get_dc();
  if (!dc) return 0;
  SetBkMode(dc, TRANSPARENT);
  SelectObject(dc, game_font);
  SetTextColor(dc, RGB(255, 255, 255));
  text_out(dc, 8, 8, GAME_TEXT_TITLE);
  text_out(dc, 974, 755, GAME_TEXT_VERSION);
  SetTextColor(dc, RGB(80, 120, 255));
  text_out(dc, 8, 25, GAME_TEXT_KEYS_SPACE);
  text_out(dc, 8, 38, GAME_TEXT_KEYS_SHIPS);
  text_out(dc, 8, 51, GAME_TEXT_KEYS_FIRE);
  text_out(dc, 8, 62, GAME_TEXT_KEYS_SPEED);
  gfx_release_dc(dc);
  return 1;
}
