// The languages the game speaks and the rule that picks one. Shared by every build (Linux, Windows,
// the browser) and by the tools: plain C++, no operating-system call, no game header. Language 0
// is the original Russian; the others come from the catalogues in po/, compiled in at build time.
#pragma once

// Marks an original text for the catalogues' extraction (xgettext --keyword=N_); it is the text.
#define N_(text) text

constexpr int LANG_ORIGINAL = 0;

// The language chosen for this run; LANG_ORIGINAL until the entry sets it.
extern int lang_current;

// Languages there are, the original included; codes are "ru", "en", ...
int lang_count();
const char* lang_code(int lang);

// The language a --lang value names: "en", "EN", "en_GB.UTF-8", "en-US" all name English. -1
// when no catalogue has it.
int lang_find(const char* code);

// As gettext programs choose: the first of LC_ALL, LC_MESSAGES, LANG that is set and not empty is
// the locale; none, "C", "C.*" or "POSIX" is the original. Otherwise LANGUAGE, a list separated by
// colons, names the languages wanted in order (its first entry with a catalogue wins), then the
// locale itself. Russian is the original; any other language without a catalogue is English.
// Null and "" both mean unset.
int lang_choose(const char* language, const char* lc_all, const char* lc_messages, const char* lang);

// The translation of an original UTF-8 text in `lang`; the text itself for the original, and for
// a text the language's catalogue lacks.
const char* lang_text(int lang, const char* original);

// The n-th message of a language's catalogue (0 for the original: none), for tests and checks.
int lang_message_count(int lang);
const char* lang_message_original(int lang, int n);
const char* lang_message_text(int lang, int n);
