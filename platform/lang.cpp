#include "platform/lang.h"

#include <cstring>

namespace {

struct LangMessage {
  const char* original;  // the msgid: the Russian text, UTF-8
  const char* text;      // the msgstr
};

struct LangCatalogue {
  const char* code;  // the .po file's name: "en"
  const LangMessage* messages;
  int count;
};

// lang_catalogues[] and LANG_CATALOGUE_COUNT, written from po/*.po at build time.
#include "lang_catalogue.inc"

const char* const kOriginalCode = "ru";

// Compares the language part of a locale name ("en" of "en_GB.UTF-8@euro", "en-US") with a code.
bool lang_part_is(const char* locale, size_t len, const char* code) {
  size_t n = 0;
  while (n < len && locale[n] != '_' && locale[n] != '-' && locale[n] != '.' && locale[n] != '@') ++n;
  if (n != std::strlen(code)) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = locale[i];
    if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
    if (c != code[i]) return false;
  }
  return true;
}

int lang_find_n(const char* locale, size_t len) {
  if (lang_part_is(locale, len, kOriginalCode)) return LANG_ORIGINAL;
  for (int i = 0; i < LANG_CATALOGUE_COUNT; ++i)
    if (lang_part_is(locale, len, lang_catalogues[i].code)) return i + 1;
  return -1;
}

bool is_set(const char* s) { return s && *s; }

// "C", "C.UTF-8" and "POSIX" choose no language.
bool no_language(const char* locale) {
  return !std::strcmp(locale, "POSIX") || (locale[0] == 'C' && (locale[1] == 0 || locale[1] == '.'));
}

}  // namespace

int lang_current = LANG_ORIGINAL;

int lang_count() { return 1 + LANG_CATALOGUE_COUNT; }

const char* lang_code(int lang) {
  if (lang <= 0 || lang > LANG_CATALOGUE_COUNT) return kOriginalCode;
  return lang_catalogues[lang - 1].code;
}

int lang_find(const char* code) { return code && *code ? lang_find_n(code, std::strlen(code)) : -1; }

int lang_choose(const char* language, const char* lc_all, const char* lc_messages, const char* lang) {
  const char* locale = is_set(lc_all) ? lc_all : is_set(lc_messages) ? lc_messages : lang;
  if (!is_set(locale) || no_language(locale)) return LANG_ORIGINAL;
  for (const char* p = is_set(language) ? language : ""; *p;) {
    const char* colon = std::strchr(p, ':');
    size_t n = colon ? (size_t)(colon - p) : std::strlen(p);
    if (n && !(n == 1 && p[0] == 'C')) {
      int found = lang_find_n(p, n);
      if (found >= 0) return found;
    }
    p += n + (colon ? 1 : 0);
  }
  int found = lang_find_n(locale, std::strlen(locale));
  if (found >= 0) return found;
  int english = lang_find("en");
  return english >= 0 ? english : LANG_ORIGINAL;
}

int lang_message_count(int lang) {
  return lang > 0 && lang <= LANG_CATALOGUE_COUNT ? lang_catalogues[lang - 1].count : 0;
}

const char* lang_message_original(int lang, int n) {
  return n >= 0 && n < lang_message_count(lang) ? lang_catalogues[lang - 1].messages[n].original : nullptr;
}

const char* lang_message_text(int lang, int n) {
  return n >= 0 && n < lang_message_count(lang) ? lang_catalogues[lang - 1].messages[n].text : nullptr;
}

const char* lang_text(int lang, const char* original) {
  if (!original) return "";
  for (int i = 0; i < lang_message_count(lang); ++i)
    if (!std::strcmp(lang_catalogues[lang - 1].messages[i].original, original))
      return lang_catalogues[lang - 1].messages[i].text;
  return original;
}
