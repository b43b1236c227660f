// The browser build's text (platform/web/fontraster_baked.cpp over the table glyphbake writes,
// compiled here as web_font::) against the native rasteriser: the same runs, in the same order,
// with the same grey levels and advances, for every font the game opens and every byte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/cp1251.h"
#include "app/overlay.h"
#include "platform/api/gdi32.h"
#include "platform/host/fontraster.h"
#include "platform/web/glyphs_baked.h"

namespace web_font {
struct PlatFont;
PlatFont* plat_font_open(const char* face_name, int height_px, int avg_char_width_px, int weight,
                         PlatFontQuality quality);
void plat_font_close(PlatFont* font);
int plat_font_draw(const PlatFont* font, const unsigned char* cp1251, int len, int x, int y,
                   PlatFontSpan span, void* ctx);
int plat_font_text_width(const PlatFont* font, const unsigned char* cp1251, int len);
int plat_font_height(const PlatFont* font);
int plat_font_ascent(const PlatFont* font);
int plat_font_descent(const PlatFont* font);
int plat_font_avg_width(const PlatFont* font);
int plat_font_smoothed(const PlatFont* font);
unsigned plat_cp1251_to_unicode(unsigned char byte);
}  // namespace web_font

namespace {

// Every run drawn, one line each: position, length, and the grey levels or "solid".
void record(void* ctx, int x, int y, int len, const unsigned char* cov) {
  std::string& out = *(std::string*)ctx;
  out += std::to_string(x) + "," + std::to_string(y) + "+" + std::to_string(len) + ":";
  if (!cov) out += "solid";
  for (int i = 0; cov && i < len; ++i) out += std::to_string(cov[i]) + " ";
  out += "\n";
}

template <typename Font, typename Draw, typename Width>
std::string drawn(const Font* f, Draw draw, Width width, const std::string& text) {
  const unsigned char* bytes = (const unsigned char*)text.data();
  std::string out;
  const int advance = draw(f, bytes, (int)text.size(), 17, 9, record, &out);
  return out + "advance " + std::to_string(advance) + " width " +
         std::to_string(width(f, bytes, (int)text.size()));
}

std::string bytes_of(const char* s, size_t n) { return std::string(s, n); }

// The fonts GDI opens for the game: its own, and the fallback with no font selected.
std::vector<PlatFontSpec> game_fonts(std::vector<std::string>* faces) {
  HFONT game = game_font_create();
  PlatFontSpec spec[2]{};
  EXPECT_TRUE(game && plat_gdi_font_spec(game, &spec[0]) && plat_gdi_font_spec(nullptr, &spec[1]));
  for (const PlatFontSpec& s : spec) faces->push_back(s.face_name ? s.face_name : "");
  DeleteObject(game);
  for (int i = 0; i < 2; ++i) spec[i].face_name = (*faces)[i].c_str();
  return {spec[0], spec[1]};
}

}  // namespace

TEST(GlyphsBaked, DrawEveryByteAndLineAsTheNativeRasteriser) {
  std::vector<std::string> faces;
  std::vector<PlatFontSpec> specs = game_fonts(&faces);
  ASSERT_EQ(kBakedFontCount, 2);  // the table holds what GDI opens, nothing more
  for (int i = 0; i < kBakedFontCount; ++i) specs.push_back(kBakedFonts[i].spec);

  constexpr auto kTitle = cp1251("(16-битовая версия) ИГРА - ТАРВЕЛЛИН!");
  constexpr auto kSpeed = cp1251("O  P  - изменение скорости вывода графики и игры");
  constexpr auto kFire = cp1251("LCtrl  - стрельба");
  std::vector<std::string> lines = {bytes_of(kTitle.bytes, kTitle.len), bytes_of(kSpeed.bytes, kSpeed.len),
                                    bytes_of(kFire.bytes, kFire.len), "Q  W  - switch space", "Ver 1.0"};
  for (int b = 0; b < 256; ++b) lines.push_back(std::string(1, (char)b));

  for (const PlatFontSpec& s : specs) {
    SCOPED_TRACE(std::string(s.face_name) + " " + std::to_string(s.height_px));
    PlatFont* native = plat_font_open(s.face_name, s.height_px, s.avg_char_width_px, s.weight, s.quality);
    web_font::PlatFont* baked =
        web_font::plat_font_open(s.face_name, s.height_px, s.avg_char_width_px, s.weight, s.quality);
    ASSERT_NE(native, nullptr);
    ASSERT_NE(baked, nullptr);
    EXPECT_EQ((std::vector<int>{web_font::plat_font_height(baked), web_font::plat_font_ascent(baked),
                                web_font::plat_font_descent(baked), web_font::plat_font_avg_width(baked),
                                web_font::plat_font_smoothed(baked)}),
              (std::vector<int>{plat_font_height(native), plat_font_ascent(native), plat_font_descent(native),
                                plat_font_avg_width(native), plat_font_smoothed(native)}));
    for (const std::string& line : lines)
      ASSERT_EQ(drawn(baked, web_font::plat_font_draw, web_font::plat_font_text_width, line),
                drawn(native, plat_font_draw, plat_font_text_width, line))
          << "first byte " << (int)(unsigned char)line[0] << ", " << line.size() << " bytes";
    plat_font_close(native);
    web_font::plat_font_close(baked);
  }
  for (int b = 0; b < 256; ++b)
    ASSERT_EQ(web_font::plat_cp1251_to_unicode((unsigned char)b), plat_cp1251_to_unicode((unsigned char)b))
        << b;
}

// Any other size or style would draw other pixels than the native build: it is not found.
TEST(GlyphsBaked, AnUnbakedFontIsNotFound) {
  const PlatFontSpec& s = kBakedFonts[0].spec;
  EXPECT_EQ(web_font::plat_font_open(s.face_name, s.height_px + 1, s.avg_char_width_px, s.weight, s.quality),
            nullptr);
  EXPECT_EQ(web_font::plat_font_open(s.face_name, s.height_px, s.avg_char_width_px + 1, s.weight, s.quality),
            nullptr);
  EXPECT_EQ(web_font::plat_font_open(s.face_name, s.height_px, s.avg_char_width_px, 700, s.quality), nullptr);
  EXPECT_EQ(
      web_font::plat_font_open(s.face_name, s.height_px, s.avg_char_width_px, s.weight, PLAT_FONT_SMOOTH),
      nullptr);
  EXPECT_EQ(web_font::plat_font_open("Courier New", s.height_px, s.avg_char_width_px, s.weight, s.quality),
            nullptr);
  EXPECT_EQ(web_font::plat_font_open(nullptr, s.height_px, s.avg_char_width_px, s.weight, s.quality),
            nullptr);
  const unsigned char a = 'A';
  EXPECT_EQ(web_font::plat_font_draw(nullptr, &a, 1, 0, 0, record, nullptr), 0);
  EXPECT_EQ(web_font::plat_font_height(nullptr), 0);
  web_font::plat_font_close(nullptr);
}
