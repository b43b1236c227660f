// The text overlay as the player sees it: GDI text of the game's font in the presented frame.
#include <cstdlib>
#include <vector>

#include "app/cp1251.h"
#include "app/overlay.h"
#include "platform/host/fontraster.h"
#include "test_gfx_support.h"

namespace {

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

constexpr auto kSpeedLine = cp1251("O  P  - изменение скорости вывода графики и игры");

// The game's font maps as GDI maps it: a 12-pixel cell of ascent 10 and descent 2 at 11 pixels
// per em, the face's stored average width scaled to 6, hinted and aliased as the face's
// grid-fitting table says for that size.
TEST(OverlayFont, CellMetricsWidthAndSmoothingFollowTheFace) {
  PlatFont* f = plat_font_open("Times New Roman", 12, 6, 10, PLAT_FONT_GASP);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(
      (std::vector<int>{plat_font_height(f), plat_font_ascent(f), plat_font_descent(f),
                        plat_font_avg_width(f), plat_font_smoothed(f),
                        plat_font_text_width(f, (const unsigned char*)kSpeedLine.bytes, kSpeedLine.len)}),
      (std::vector<int>{12, 10, 2, 6, 0, 246}));
  plat_font_close(f);
}

TEST_F(Overlay, TextLandsInItsColoursAtItsPlaces) {
  gfx_fill(gfx_back_buffer, 0, nullptr);
  ASSERT_EQ(game_draw_overlay(), 1);
  ASSERT_EQ(gfx_present(), 1);
  if (const char* shot = std::getenv("TARVELLIN_OVERLAY_SHOT")) seam_save_frame_bmp(shot);

  // Aliased text: every lit pixel is one of the two text colours, nothing in between.
  const uint16_t white = 0xFFFF, blue = (uint16_t)gfx_rgb565(80, 120, 255);
  int other = 0;
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x) {
      uint16_t v = seam_frame_pixel(x, y);
      other += v != 0 && v != white && v != blue;
    }
  EXPECT_EQ(other, 0);

  // Each line starts at most 2 pixels right of its place, inside its 12-pixel cell.
  auto in_cell = [](const Box& b, int x, int y, int min_count, int min_right) {
    EXPECT_GT(b.count, min_count) << y;
    EXPECT_TRUE(b.left >= x && b.left <= x + 2 && b.top >= y && b.bottom < y + 12) << x << "," << y;
    EXPECT_GT(b.right, min_right) << y;
  };
  in_cell(find(white, 0, 24), 8, 8, 50, 150);
  in_cell(find(white, 740, 768), 974, 755, 20, 1005);

  // The four key lines, each inside its own cell; the last one ends within its 246-pixel extent.
  const int ys[4] = {25, 38, 51, 62};
  for (int i = 0; i < 4; ++i) {
    Box line = find(blue, ys[i], ys[i] + (i < 3 ? 13 : 12));
    in_cell(line, 8, ys[i], 40, i == 3 ? 8 + 246 - 8 : 0);
    EXPECT_TRUE(i < 3 || line.right < 8 + 246);
  }
  EXPECT_EQ(find(white, 24, 740).count, 0);
  EXPECT_EQ(find(blue, 0, 24).count, 0);
  EXPECT_LT(find(blue, 24, 768).bottom, 62 + 12);
}

TEST_F(Overlay, NoContextEndsTheFrameAndTextIsClippedToTheSurface) {
  seam_fail("IDirectDrawSurface7::GetDC", DDERR_CANTCREATEDC);
  EXPECT_EQ(game_draw_overlay(), 0);
  EXPECT_EQ(gfx_present(), 1);  // the context was not left held

  // Text across the surface's edges draws what fits and nothing outside it.
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
  ASSERT_EQ(gfx_present(), 1);
  EXPECT_GT(find(0xFFFF, 762, 768).count, 5);
  EXPECT_GT(find(0xFFFF, 0, 6).count, 20);
}

}  // namespace
