// The text overlay drawn over every completed frame: title, version and the key lines.
#include "app/overlay.h"

#include "app/cp1251.h"
#include "gfx/surface.h"

HFONT game_font = nullptr;

namespace {

constexpr auto kTitle = cp1251("(16-битовая версия) ИГРА - ТАРВЕЛЛИН!");
constexpr auto kVersion = cp1251("Ver 1.0");
constexpr auto kKeysSpace = cp1251("Q  W  - переключение космоса");
constexpr auto kKeysShips = cp1251("A  S  - переключение кораблей");
constexpr auto kKeysFire = cp1251("LCtrl  - стрельба");
constexpr auto kKeysSpeed = cp1251("O  P  - изменение скорости вывода графики и игры");

template <size_t N>
void text_out(HDC dc, int x, int y, const Cp1251Text<N>& text) {
  TextOutA(dc, x, y, text.bytes, text.len);
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
  text_out(dc, 8, 8, kTitle);
  text_out(dc, 974, 755, kVersion);
  SetTextColor(dc, RGB(80, 120, 255));
  text_out(dc, 8, 25, kKeysSpace);
  text_out(dc, 8, 38, kKeysShips);
  text_out(dc, 8, 51, kKeysFire);
  text_out(dc, 8, 62, kKeysSpeed);
  gfx_release_dc(dc);
  return 1;
}
