// The text overlay as the player sees it: GDI text of the game's font in the presented frame.
#include <cstdlib>

#include "app/cp1251.h"
#include "app/overlay.h"
#include "platform/fontraster.h"
#include "test_gfx_support.h"

namespace {

// The conversion runs at compile time; these fail the build, not the run.
constexpr auto kMixed = cp1251("Ёж ИГРА я Ver");
static_assert(kMixed.len == 13);
static_assert((unsigned char)kMixed.bytes[0] == 0xA8 && (unsigned char)kMixed.bytes[1] == 0xE6);
static_assert((unsigned char)kMixed.bytes[3] == 0xC8 && (unsigned char)kMixed.bytes[8] == 0xFF);
static_assert(kMixed.bytes[10] == 'V' && kMixed.bytes[13] == 0);
static_assert(cp1251(u8"№ — «»").len == 6);

struct Box {
  int left = 1 << 30, top = 1 << 30, right = -1, bottom = -1, count = 0;
  void add(int x, int y) {
    left = x < left ? x : left;
    top = y < top ? y : top;
    right = x > right ? x : right;
    bottom = y > bottom ? y : bottom;
    ++count;
  }
};

// Pixels of exactly `colour` in the band of rows [y0, y1) of the last presented frame.
Box find(uint16_t colour, int y0, int y1) {
  Box b;
  for (int y = y0; y < y1; ++y)
    for (int x = 0; x < 1024; ++x)
      if (seam_frame_pixel(x, y) == colour) b.add(x, y);
  return b;
}

class Overlay : public GfxDisplay {
 protected:
  void SetUp() override {
    GfxDisplay::SetUp();
    game_font = CreateFontA(12, 6, 0, 0, 10, 0, 0, 0, DEFAULT_CHARSET, OUT_STRING_PRECIS, CLIP_DEFAULT_PRECIS,
                            DEFAULT_QUALITY, 0, "Times New Roman");
    ASSERT_NE(game_font, nullptr);
  }
  void TearDown() override {
    DeleteObject(game_font);
    game_font = nullptr;
    GfxDisplay::TearDown();
  }
};

TEST_F(Overlay, TextLandsInItsColoursAtItsPlaces) {
  gfx_fill(gfx_back_buffer, 0, nullptr);
  ASSERT_EQ(game_draw_overlay(), 1);
  ASSERT_EQ(gfx_present(), 1);
  if (const char* shot = std::getenv("TARVELLIN_OVERLAY_SHOT")) seam_save_frame_bmp(shot);

  const uint16_t white = 0xFFFF, blue = (uint16_t)gfx_rgb565(80, 120, 255);
  Box title = find(white, 0, 24);
  ASSERT_GT(title.count, 50);
  EXPECT_GE(title.left, 8);
  EXPECT_LE(title.left, 10);
  EXPECT_GE(title.top, 8);
  EXPECT_LT(title.bottom, 8 + 12);  // inside the 12-pixel cell
  EXPECT_GT(title.right, 150);      // a long line of text...
  EXPECT_LT(title.right, 330);      // ...drawn as narrow as a 6-pixel average width makes it

  // "Ver 1.0" is small and mostly smoothed: some pixels reach full white, the rest are grey.
  EXPECT_GT(find(white, 740, 768).count, 0);
  Box version;
  for (int y = 740; y < 768; ++y)
    for (int x = 900; x < 1024; ++x) {
      int v = seam_frame_pixel(x, y);
      if (v > 0 && (v >> 11) == ((v >> 6) & 31) && (v >> 11) == (v & 31)) version.add(x, y);  // grey
    }
  ASSERT_GT(version.count, 20);
  EXPECT_GE(version.left, 974);
  EXPECT_LE(version.left, 977);
  EXPECT_GE(version.top, 755);
  EXPECT_GT(version.right, 1005);

  // The four key lines, each in its own cell, in the key colour and nowhere white.
  const int ys[4] = {25, 38, 51, 62};
  for (int i = 0; i < 4; ++i) {
    Box line = find(blue, ys[i], ys[i] + 11);
    EXPECT_GT(line.count, 15) << "line at " << ys[i];
    EXPECT_GE(line.left, 8) << "line at " << ys[i];
    EXPECT_LE(line.left, 14) << "line at " << ys[i];  // "A" starts with a slanted, smoothed stroke
  }
  EXPECT_EQ(find(white, 24, 740).count, 0);
  EXPECT_EQ(find(blue, 0, 24).count, 0);
  Box keys = find(blue, 24, 768);
  EXPECT_LT(keys.bottom, 62 + 12);
  // Transparent background: the rest of the screen stays black.
  int lit = 0;
  for (int y = 80; y < 740; y += 3)
    for (int x = 0; x < 1024; x += 3) lit += seam_frame_pixel(x, y) != 0;
  EXPECT_EQ(lit, 0);
}

TEST_F(Overlay, NoContextEndsTheFrameAndTextFollowsTheFont) {
  seam_fail("IDirectDrawSurface7::GetDC", DDERR_CANTCREATEDC);
  EXPECT_EQ(game_draw_overlay(), 0);
  EXPECT_EQ(gfx_present(), 1);  // the context was not left held

  // The font's cell is 12 pixels and its average width 6, as GDI maps them.
  PlatFont* f = plat_font_open("Times New Roman", 12, 6, 400);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(plat_font_height(f), 12);
  const unsigned char lower[] = "the quick brown fox jumps over a lazy dog";
  int w = plat_font_text_width(f, lower, (int)sizeof lower - 1);
  EXPECT_GT(w, 5 * ((int)sizeof lower - 1) - 20);
  EXPECT_LT(w, 7 * ((int)sizeof lower - 1));
  // Twice the width asked for is about twice as wide.
  PlatFont* wide = plat_font_open("Times New Roman", 12, 12, 400);
  ASSERT_NE(wide, nullptr);
  int w2 = plat_font_text_width(wide, lower, (int)sizeof lower - 1);
  EXPECT_GT(w2, w * 17 / 10);
  plat_font_close(wide);
  plat_font_close(f);

  // Text clipped at the surface's edges draws what fits and nothing outside it.
  HDC dc = gfx_get_dc();
  ASSERT_NE(dc, nullptr);
  SelectObject(dc, game_font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  constexpr auto kLong = cp1251("ОРНИКСА ОРНИКСА ОРНИКСА");
  EXPECT_TRUE(TextOutA(dc, 1000, 762, kLong.bytes, kLong.len));
  EXPECT_TRUE(TextOutA(dc, -20, -6, kLong.bytes, kLong.len));
  EXPECT_FALSE(TextOutA(dc, 0, 0, nullptr, 3));
  EXPECT_FALSE(TextOutA(nullptr, 0, 0, kLong.bytes, kLong.len));
  gfx_release_dc(dc);
}

}  // namespace
