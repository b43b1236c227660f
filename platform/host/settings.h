// The Linux build's own settings, as the options set them: what the window, the present and
// the sound device obey. Filled by port/options before the game starts.
#pragma once
#include <string>

struct PlatOptions {
  std::string data;             // folder holding image/ and sound/; empty: searched for
  bool window = false;          // a window instead of the desktop's full screen
  int scale = 1;                // the window's size in multiples of 1024 x 768
  bool integer_scale = false;   // present at whole multiples only, black border around
  bool smooth = false;          // linear filtering instead of nearest-neighbour when scaling
  bool nosound = false;         // open no audio device: every sound call behaves as without one
  bool low_cpu = false;         // waits sleep until about a millisecond before their end
  bool pause_unfocused = true;  // no frame runs while the window has lost the focus
  int volume = 100;             // percent of the mix played; 100 plays it as it is
  std::string screenshot_dir;   // where F12 saves; empty: Tarvellin/ in the pictures folder
};
extern PlatOptions plat_options;
