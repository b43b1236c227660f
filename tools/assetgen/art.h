// The pictures and sounds, one maker each. A picture maker returns width x height 5.6.5 words,
// rows top-down, already key-safe; a sound maker returns 8-bit unsigned samples at 22050 Hz.
#pragma once
#include <cstdint>
#include <vector>

typedef std::vector<uint16_t> AgPixels;

AgPixels ag_art_cursor();
AgPixels ag_art_slots();
AgPixels ag_art_digits(int lang);
AgPixels ag_art_ship0();
AgPixels ag_art_ship1();
AgPixels ag_art_laser();
AgPixels ag_art_blow_big();
AgPixels ag_art_blow_small();
AgPixels ag_art_blow_aster();
AgPixels ag_art_asteroid1();
AgPixels ag_art_asteroid2();
AgPixels ag_art_small1();
AgPixels ag_art_small2();
AgPixels ag_art_background(int index);
// Pictures with words take the language (platform/lang.h) to write them in.
AgPixels ag_art_menu(int lang);
AgPixels ag_art_info(int lang);
AgPixels ag_art_button(int index, int lang);  // 0 start, 1 authors, 2 exit

// The program's icon, size x size straight RGBA bytes, rows top-down: the second ship type
// over deep space in a rounded square. Sizes that divide 768 come out sharpest.
std::vector<uint8_t> ag_art_icon(int size);
constexpr int AG_ICON_SIZES[3] = {48, 128, 256};

std::vector<uint8_t> ag_sound_focus();
std::vector<uint8_t> ag_sound_click();
std::vector<uint8_t> ag_sound_exit();
