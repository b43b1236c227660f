// The Linux build's own options and the one fatal message main() reports.
#pragma once
#include <cstdio>
#include <string>

#include "platform/host/settings.h"

constexpr int PLAT_SCALE_MAX = 8;

enum PlatOptAction { PLAT_OPT_RUN, PLAT_OPT_HELP, PLAT_OPT_VERSION, PLAT_OPT_USAGE };

// Applies the configuration file's text (null: none), then argv[1..argc-1], to *out: the
// command line wins. Config lines that cannot be read are skipped and described in *warnings,
// one "line N: ..." per line; a key mapped on a second line is refused, naming the first. A bad
// command line gives PLAT_OPT_USAGE with *error set; --help and --version end the parse at once.
// Reads no file; a path's "~" is expanded from $HOME.
PlatOptAction plat_parse_options(int argc, const char* const* argv, const char* config_text, PlatOptions* out,
                                 std::string* error, std::string* warnings);
// The same with the file's text as `config_size` bytes, which may hold NUL bytes: a line that
// does is refused with its number.
PlatOptAction plat_parse_options(int argc, const char* const* argv, const char* config_text,
                                 size_t config_size, PlatOptions* out, std::string* error,
                                 std::string* warnings);
// Every option with its help line, then the controls.
void plat_print_usage(FILE* out);

// A failure the program cannot run past (no display): kept here, printed by main() on stderr,
// and turned into exit status 1.
void plat_set_fatal(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
const char* plat_fatal_message();  // "" when nothing failed
void plat_clear_fatal();
