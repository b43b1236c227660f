// Languages: the rule that picks one from the locale, the catalogues compiled in, the texts the
// game draws in each, where the English lines land, and the pictures of a language's folder.
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/cp1251.h"
#include "app/overlay.h"
#include "app/texts.h"
#include "gfx/bmp.h"
#include "platform/host/fontraster.h"
#include "platform/lang.h"
#include "test_gfx_support.h"

namespace {

// Sets a language for one test and leaves the original behind, as every other test expects.
struct LangScope {
  explicit LangScope(int lang) {
    lang_current = lang;
    game_texts_load();
  }
  ~LangScope() {
    lang_current = LANG_ORIGINAL;
    game_texts_load();
  }
};

int english() { return lang_find("en"); }

TEST(Lang, TheLocaleChoosesAsGettextProgramsDo) {
  struct Env {
    const char *language, *lc_all, *lc_messages, *lang, *want;
  };
  const Env table[] = {
      {nullptr, nullptr, nullptr, nullptr, "ru"},  // nothing set: the original
      {nullptr, nullptr, nullptr, "C", "ru"},
      {nullptr, nullptr, nullptr, "C.UTF-8", "ru"},
      {nullptr, nullptr, nullptr, "POSIX", "ru"},
      {nullptr, nullptr, nullptr, "ru_RU.UTF-8", "ru"},
      {nullptr, nullptr, nullptr, "en_US.UTF-8", "en"},
      {nullptr, nullptr, nullptr, "de_DE.UTF-8", "en"},        // no catalogue: English
      {nullptr, nullptr, nullptr, "en-US", "en"},              // as a browser names it
      {nullptr, "C", nullptr, "en_US.UTF-8", "ru"},            // LC_ALL before LANG
      {nullptr, nullptr, "en_US.UTF-8", "ru_RU.UTF-8", "en"},  // LC_MESSAGES before LANG
      {nullptr, "", "", "de_DE", "en"},                        // empty is unset
      {"ru:en", nullptr, nullptr, "en_US.UTF-8", "ru"},        // LANGUAGE first
      {"de:fr:en", nullptr, nullptr, "ru_RU.UTF-8", "en"},     // its first entry with a catalogue
      {"de:fr", nullptr, nullptr, "ru_RU.UTF-8", "ru"},        // none: the locale itself
      {"en", nullptr, nullptr, "C", "ru"},                     // ignored without a locale, as gettext does
  };
  for (const Env& e : table)
    EXPECT_STREQ(lang_code(lang_choose(e.language, e.lc_all, e.lc_messages, e.lang)), e.want)
        << (e.language ? e.language : "-") << " " << (e.lc_all ? e.lc_all : "-") << " "
        << (e.lc_messages ? e.lc_messages : "-") << " " << (e.lang ? e.lang : "-");

  // --lang names a language the way a locale does; anything else is no language of the game.
  ASSERT_GE(lang_count(), 2);
  EXPECT_STREQ(lang_code(LANG_ORIGINAL), "ru");
  for (const char* code : {"en", "EN", "en_GB.UTF-8", "en-US"}) EXPECT_EQ(lang_find(code), english()) << code;
  for (const char* code : {"ru", "ru_RU", "RU"}) EXPECT_EQ(lang_find(code), LANG_ORIGINAL) << code;
  for (const char* code : {"xx", "", "e", "eng", "english", "_en", "de"})
    EXPECT_EQ(lang_find(code), -1) << code;
  EXPECT_EQ(lang_find(nullptr), -1);
}

// Every translation can be drawn (code page 1251, within GameText), and a text a catalogue
// lacks shows as the original.
TEST(Lang, CataloguesAreDrawableAndMissingTextsStayOriginal) {
  for (int lang = 1; lang < lang_count(); ++lang) {
    EXPECT_GT(lang_message_count(lang), 0) << lang_code(lang);
    for (int i = 0; i < lang_message_count(lang); ++i) {
      char bytes[GAME_TEXT_MAX];
      EXPECT_GE(cp1251_encode(lang_message_text(lang, i), bytes, GAME_TEXT_MAX), 0)
          << lang_code(lang) << ": " << lang_message_text(lang, i);
    }
  }
  const char* missing = "нет такого текста";
  EXPECT_EQ(lang_text(english(), missing), missing);
  EXPECT_STREQ(lang_text(english(), "Старт"), "Start");
  EXPECT_STREQ(lang_text(-1, "Старт"), "Старт");

  char out[4];
  EXPECT_EQ(cp1251_encode("Ёж", out, sizeof out), 2);     // the run-time conversion's own edges
  EXPECT_EQ(cp1251_encode("日", out, sizeof out), -1);    // not in the code page
  EXPECT_EQ(cp1251_encode("\xD0", out, sizeof out), -1);  // cut short
  EXPECT_EQ(cp1251_encode("abcd", out, sizeof out), -1);  // no room for the zero
}

TEST(Lang, TheOriginalTextsAreTodaysBytesAndEnglishReplacesEveryOne) {
  constexpr auto kTitle = cp1251("(16-битовая версия) ИГРА - ТАРВЕЛЛИН!");
  constexpr auto kSpeed = cp1251("O  P  - изменение скорости вывода графики и игры");
  {
    LangScope original(LANG_ORIGINAL);
    EXPECT_EQ(std::string(game_texts[GAME_TEXT_TITLE].bytes, game_texts[GAME_TEXT_TITLE].len),
              std::string(kTitle.bytes, kTitle.len));
    EXPECT_EQ(std::string(game_texts[GAME_TEXT_KEYS_SPEED].bytes, game_texts[GAME_TEXT_KEYS_SPEED].len),
              std::string(kSpeed.bytes, kSpeed.len));
  }
  LangScope en(english());
  for (int i = 0; i < GAME_TEXT_COUNT; ++i) {
    const std::string text(game_texts[i].bytes, game_texts[i].len);
    EXPECT_EQ(text, lang_text(english(), game_text_original(i))) << i;
    for (char c : text) EXPECT_LT((unsigned char)c, 0x80u) << text;  // no Cyrillic left
  }
  EXPECT_EQ(std::string(game_texts[GAME_TEXT_KEYS_SPACE].bytes), "Q  W  - switch space");
}

class LangOverlay : public GfxDisplay {
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
  // The presented frame after drawing one of the texts alone at (x, y) in white, as the game does.
  std::vector<uint16_t> draw_alone(GameTextId id, int x, int y) {
    gfx_fill(gfx_back_buffer, 0, nullptr);
    HDC dc = gfx_get_dc();
    EXPECT_NE(dc, nullptr);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, game_font);
    SetTextColor(dc, RGB(255, 255, 255));
    TextOutA(dc, x, y, game_texts[id].bytes, game_texts[id].len);
    gfx_release_dc(dc);
    EXPECT_EQ(gfx_present(), 1);
    std::vector<uint16_t> px(1024 * 768);
    for (int yy = 0; yy < 768; ++yy)
      for (int xx = 0; xx < 1024; ++xx) px[(size_t)yy * 1024 + xx] = seam_frame_pixel(xx, yy);
    return px;
  }
};

// The English lines measured with the game's own text drawing: each inside the screen, within
// its cell, clear of the menu's buttons; the two title lines share their beginning pixel for pixel.
TEST_F(LangOverlay, EnglishLinesFitWhereTheRussianOnesStand) {
  LangScope en(english());
  const RECT buttons = {457, 350, 457 + 120, 470 + 50};
  struct Place {
    GameTextId id;
    int x, y;
  };
  const Place places[] = {{GAME_TEXT_TITLE, 8, 8},       {GAME_TEXT_MENU_TITLE, 8, 8},
                          {GAME_TEXT_VERSION, 974, 755}, {GAME_TEXT_KEYS_SPACE, 8, 25},
                          {GAME_TEXT_KEYS_SHIPS, 8, 38}, {GAME_TEXT_KEYS_FIRE, 8, 51},
                          {GAME_TEXT_KEYS_SPEED, 8, 62}};
  for (const Place& p : places) {
    std::vector<uint16_t> px = draw_alone(p.id, p.x, p.y);
    int left = 1024, top = 768, right = -1, bottom = -1;
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x)
        if (px[(size_t)y * 1024 + x]) {
          left = std::min(left, x), top = std::min(top, y);
          right = std::max(right, x), bottom = std::max(bottom, y);
        }
    const std::string text(game_texts[p.id].bytes, game_texts[p.id].len);
    ASSERT_GE(right, 0) << text << ": nothing drawn";
    EXPECT_TRUE(left >= p.x && top >= p.y && bottom < p.y + 12) << text;
    EXPECT_LT(right, 1023) << text;  // not cut by the screen's edge
    const bool on_buttons =
        left < buttons.right && right >= buttons.left && top < buttons.bottom && bottom >= buttons.top;
    EXPECT_FALSE(on_buttons) << text;
  }

  // The shared beginning "(16-bit version) GAME - " falls on the same pixels in both title lines.
  const GameText &a = game_texts[GAME_TEXT_TITLE], &b = game_texts[GAME_TEXT_MENU_TITLE];
  int common = 0;
  while (common < a.len && common < b.len && a.bytes[common] == b.bytes[common]) ++common;
  ASSERT_EQ(std::string(a.bytes, common), "(16-bit version) GAME - ");
  PlatFont* f = plat_font_open("Times New Roman", 12, 6, 10, PLAT_FONT_GASP);
  ASSERT_NE(f, nullptr);
  const int prefix_w = plat_font_text_width(f, (const unsigned char*)a.bytes, common);
  plat_font_close(f);
  std::vector<uint16_t> title = draw_alone(GAME_TEXT_TITLE, 8, 8),
                        menu = draw_alone(GAME_TEXT_MENU_TITLE, 8, 8);
  int lit = 0, differ = 0;
  for (int y = 8; y < 20; ++y)
    for (int x = 8; x < 8 + prefix_w - 1; ++x) {
      lit += title[(size_t)y * 1024 + x] != 0;
      differ += title[(size_t)y * 1024 + x] != menu[(size_t)y * 1024 + x];
    }
  EXPECT_GT(lit, 100);
  EXPECT_EQ(differ, 0);
}

// A picture in the language's folder stands in for the original; without one, the original is
// read, as from a player's own data folder that has no language folders.
TEST(LangPictures, TheLanguageFolderComesFirstAndTheOriginalFillsIn) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("tarvellin-lang-" + std::to_string(getpid()));
  const std::string seeds = TARVELLIN_SOURCE_DIR "/fuzz/seeds/bmp/";
  fs::remove_all(dir);
  fs::create_directories(dir / "image");
  fs::create_directories(dir / "en" / "image");
  fs::copy_file(seeds + "colours_24.bmp", dir / "image" / "both.bmp");           // 2 x 2
  fs::copy_file(seeds + "odd_width_24.bmp", dir / "en" / "image" / "both.bmp");  // 3 x 3
  fs::copy_file(seeds + "top_down_24.bmp", dir / "image" / "only.bmp");          // 2 x 3
  char old_dir[4096];
  ASSERT_NE(getcwd(old_dir, sizeof old_dir), nullptr);
  ASSERT_EQ(chdir(dir.c_str()), 0);
  auto width_of = [](const char* path) {
    ImageFile img{};
    int w = bmp_load(&img, path) ? img.info_header.biWidth : -1;
    bmp_unload(&img);
    return w;
  };
  std::vector<int> got;
  {
    LangScope en(english());
    got = {width_of("image/both.bmp"), width_of("IMAGE/Both.bmp"), width_of("image/only.bmp"),
           width_of("image/none.bmp")};
  }
  got.push_back(width_of("image/both.bmp"));  // the original again
  EXPECT_EQ(chdir(old_dir), 0);
  fs::remove_all(dir);
  EXPECT_EQ(got, (std::vector<int>{3, 3, 2, -1, 2}));
}

}  // namespace
