#include <cstddef>
#include "tools/assetgen/art.h"
static AgPixels flat(int w, int h) { return AgPixels((std::size_t)w * h, 0x0821); }
AgPixels ag_art_cursor() { return flat(60, 30); }
AgPixels ag_art_slots() { return flat(204, 60); }
AgPixels ag_art_digits() { return flat(252, 70); }
AgPixels ag_art_menu() { return flat(1024, 768); }
AgPixels ag_art_info() { return flat(1024, 768); }
AgPixels ag_art_button(int) { return flat(120, 100); }
std::vector<uint8_t> ag_sound_focus() { return std::vector<uint8_t>(100, 128); }
std::vector<uint8_t> ag_sound_click() { return std::vector<uint8_t>(100, 128); }
std::vector<uint8_t> ag_sound_exit() { return std::vector<uint8_t>(100, 128); }
