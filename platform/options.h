// The Linux build's own options and the one fatal message main() reports.
#pragma once

struct PlatOptions {
  bool window = false;         // a window instead of the desktop's full screen
  int scale = 1;               // the window's size in multiples of 1024 x 768
  bool integer_scale = false;  // present at whole multiples only, black border around
  bool smooth = false;         // linear filtering instead of nearest-neighbour when scaling
  bool nosound = false;        // open no audio device: every sound call behaves as without one
  bool low_cpu = false;        // waits sleep until about a millisecond before their end
};
extern PlatOptions plat_options;

// A failure the program cannot run past (no display): kept here, printed by main() on stderr,
// and turned into exit status 1.
void plat_set_fatal(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
const char* plat_fatal_message();  // "" when nothing failed
void plat_clear_fatal();
