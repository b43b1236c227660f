// The Linux build's own settings, as the options set them: what the window, the present and
// the sound device obey. Filled by port/options before the game starts.
#pragma once
#include <cstdint>
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
  bool gamepad = true;          // game controllers steer and fire
  bool fire_toggle = false;     // a press of fire starts continuous fire, the next press stops it
  std::string lang;             // --lang: a language code of platform/lang.h; empty: the locale's
  // --map: the game key each key (by DIK code) and pad button gives instead of its own; 0: its
  // own, PLAT_MAP_NONE: nothing.
  uint8_t key_map[256] = {};
  uint8_t pad_map[32] = {};
  std::string pad_mappings;  // a gamecontrollerdb.txt read when it exists; set by main
};
constexpr uint8_t PLAT_MAP_NONE = 0xFF;
extern PlatOptions plat_options;
