// The Linux build's own options and the one fatal message main() reports.
#pragma once

struct PlatOptions {
  bool window = false;  // a 1024 x 768 window instead of the desktop's full screen
};
extern PlatOptions plat_options;

// A failure the program cannot run past (no display): kept here, printed by main() on stderr,
// and turned into exit status 1.
void plat_set_fatal(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
const char* plat_fatal_message();  // "" when nothing failed
void plat_clear_fatal();
