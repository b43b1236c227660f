#include "app/texts.h"

#include <cstdlib>

#include "app/cp1251.h"
#include "platform/lang.h"
#include "platform/win32.h"

namespace {

constexpr const char* kOriginals[GAME_TEXT_COUNT] = {
    // TRANSLATORS: the menu's title line is drawn under this one at the same point, so the two
    // should share their beginning, as the originals do.
    N_("(16-битовая версия) ИГРА - ТАРВЕЛЛИН!"),
    N_("(16-битовая версия) ИГРА - ОРНИКСА."),
    N_("Ver 1.0"),
    // TRANSLATORS: the keys stay as they are, two spaces after each and before the dash.
    N_("Q  W  - переключение космоса"),
    N_("A  S  - переключение кораблей"),
    N_("LCtrl  - стрельба"),
    N_("O  P  - изменение скорости вывода графики и игры"),
};

constexpr GameText text_of(const char* utf8) {
  GameText t{};
  t.len = cp1251_encode(utf8, t.bytes, GAME_TEXT_MAX);
  return t;
}

constexpr bool originals_fit() {
  for (const char* s : kOriginals)
    if (text_of(s).len < 0) return false;
  return true;
}
static_assert(originals_fit(), "an original text is not code page 1251 or longer than GAME_TEXT_MAX");

}  // namespace

GameText game_texts[GAME_TEXT_COUNT] = {
    text_of(kOriginals[0]), text_of(kOriginals[1]), text_of(kOriginals[2]), text_of(kOriginals[3]),
    text_of(kOriginals[4]), text_of(kOriginals[5]), text_of(kOriginals[6]),
};

const char* game_text_original(int id) { return id >= 0 && id < GAME_TEXT_COUNT ? kOriginals[id] : ""; }

void game_texts_load() {
  for (int i = 0; i < GAME_TEXT_COUNT; ++i) {
    GameText t = text_of(lang_text(lang_current, kOriginals[i]));
    game_texts[i] = t.len >= 0 ? t : text_of(kOriginals[i]);
  }
}

#ifdef _WIN32
void game_lang_from_system() {
  // The gettext variables win where someone set them (and under Wine, which passes them on).
  const char* env[4] = {std::getenv("LANGUAGE"), std::getenv("LC_ALL"), std::getenv("LC_MESSAGES"),
                        std::getenv("LANG")};
  if ((env[1] && *env[1]) || (env[2] && *env[2]) || (env[3] && *env[3])) {
    lang_current = lang_choose(env[0], env[1], env[2], env[3]);
    return;
  }
  char name[16] = {};
  LCID lcid = MAKELCID(GetUserDefaultUILanguage(), SORT_DEFAULT);
  if (GetLocaleInfoA(lcid, LOCALE_SISO639LANGNAME, name, (int)sizeof name) <= 0) return;
  lang_current = lang_choose(nullptr, nullptr, nullptr, name);
}
#else
void game_lang_from_system() {}
#endif
