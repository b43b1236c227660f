// The Linux build's own options and the one fatal message main() reports.
#pragma once
#include <cstdio>
#include <string>

struct PlatOptions {
  std::string data;            // folder holding image/ and sound/; empty: searched for
  bool window = false;         // a window instead of the desktop's full screen
  int scale = 1;               // the window's size in multiples of 1024 x 768
  bool integer_scale = false;  // present at whole multiples only, black border around
  bool smooth = false;         // linear filtering instead of nearest-neighbour when scaling
  bool nosound = false;        // open no audio device: every sound call behaves as without one
  bool low_cpu = false;        // waits sleep until about a millisecond before their end
  int volume = 100;            // percent of the mix played; 100 plays it as it is
  std::string screenshot_dir;  // where F12 saves; empty: Tarvellin/ in the pictures folder
};
extern PlatOptions plat_options;

constexpr int PLAT_SCALE_MAX = 8;

enum PlatOptAction { PLAT_OPT_RUN, PLAT_OPT_HELP, PLAT_OPT_VERSION, PLAT_OPT_USAGE };

// Applies the configuration file's text (null: none), then argv[1..argc-1], to *out: the
// command line wins. Config lines that cannot be read are skipped and described in *warnings,
// one "line N: ..." per line. A bad command line gives PLAT_OPT_USAGE with *error set; --help
// and --version end the parse at once. Reads no file and no environment.
PlatOptAction plat_parse_options(int argc, const char* const* argv, const char* config_text, PlatOptions* out,
                                 std::string* error, std::string* warnings);
// Every option with its help line, then the controls.
void plat_print_usage(FILE* out);

// A failure the program cannot run past (no display): kept here, printed by main() on stderr,
// and turned into exit status 1.
void plat_set_fatal(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
const char* plat_fatal_message();  // "" when nothing failed
void plat_clear_fatal();
