// The texts the game draws with its font, in the language chosen for the run (lang_current).
#pragma once
#include <cstdint>

enum GameTextId {
  GAME_TEXT_TITLE,       // the overlay's title line
  GAME_TEXT_MENU_TITLE,  // the menu's title line, under the overlay's at the same point
  GAME_TEXT_VERSION,
  GAME_TEXT_KEYS_SPACE,
  GAME_TEXT_KEYS_SHIPS,
  GAME_TEXT_KEYS_FIRE,
  GAME_TEXT_KEYS_SPEED,
  GAME_TEXT_COUNT
};

// Code page 1251 bytes, as TextOutA takes them. A longer translation is refused (see below).
constexpr int GAME_TEXT_MAX = 128;
struct GameText {
  char bytes[GAME_TEXT_MAX];
  int len;
};

// The original texts until game_texts_load() runs.
extern GameText game_texts[GAME_TEXT_COUNT];

// The original text of each, UTF-8: the catalogues' msgids.
const char* game_text_original(int id);

// Fills game_texts for lang_current. A translation that is not code page 1251 or too long for
// GameText keeps the original, so the screen never shows a cut or garbled line.
void game_texts_load();

// The language the system asks for: on Linux main() chooses (--lang, the locale) before the game
// starts; on Windows the same rule reads the environment, then the user's interface language.
void game_lang_from_system();
