// The pictures and sounds the game reads at start-up: paths as the game writes them, sizes and
// colour keys. Shared by assetgen (what to write) and assetcheck (what to expect).
#pragma once
#include "tools/assetgen/writers.h"

struct AgPicture {
  const char* path;
  int width, height;
  AgKey key;
  int frame_w, frame_h, frames;  // the strip layout, for contact sheets and checks
  int bits;                      // what assetgen writes: 24, or 16 for 5.6.5 words
  bool words = false;            // carries words: made again for each language (LANG/image/...)
};

constexpr int AG_PICTURE_COUNT = 20;
inline constexpr AgPicture ag_pictures[AG_PICTURE_COUNT] = {
    {"image/cursor.bmp", 60, 30, AG_KEY_BLACK, 30, 30, 2, 24},
    {"image/prochee/Sloty.bmp", 204, 60, AG_KEY_MAGENTA, 204, 60, 1, 24},
    {"image/prochee/Cifry.bmp", 252, 70, AG_KEY_MAGENTA, 25, 35, 10, 24, true},
    {"image/main/01.bmp", 300, 60, AG_KEY_MAGENTA, 60, 60, 5, 24},
    {"image/main/02.bmp", 1352, 57, AG_KEY_MAGENTA, 90, 57, 15, 24},
    {"image/main/laser_blue.bmp", 8, 37, AG_KEY_MAGENTA, 7, 37, 1, 24},
    {"image/prochee/blow.bmp", 2048, 105, AG_KEY_MAGENTA, 128, 105, 16, 24},
    {"image/prochee/blow_small.bmp", 1052, 50, AG_KEY_MAGENTA, 50, 50, 21, 16},
    {"image/prochee/blow_aster.bmp", 1200, 120, AG_KEY_MAGENTA, 120, 120, 10, 24},
    {"image/vragi/asteroid_01.bmp", 524, 29, AG_KEY_MAGENTA, 29, 29, 18, 24},
    {"image/vragi/asteroid_02.bmp", 800, 45, AG_KEY_MAGENTA, 40, 45, 20, 16},
    {"image/vragi/small1.bmp", 300, 20, AG_KEY_MAGENTA, 20, 20, 15, 24},
    {"image/vragi/small2.bmp", 200, 20, AG_KEY_MAGENTA, 20, 20, 10, 24},
    {"image/prochee/fon_back01.bmp", 1024, 768, AG_KEY_BLACK, 1024, 768, 1, 16},
    {"image/prochee/fon_back02.bmp", 1024, 768, AG_KEY_BLACK, 1024, 768, 1, 16},
    {"image/screen_menu.bmp", 1024, 768, AG_KEY_BLACK, 1024, 768, 1, 24, true},
    {"image/screen_info.bmp", 1024, 768, AG_KEY_BLACK, 1024, 768, 1, 16, true},
    {"image/start.bmp", 120, 100, AG_KEY_BLACK, 120, 50, 2, 24, true},
    {"image/avtory.bmp", 120, 100, AG_KEY_BLACK, 120, 50, 2, 24, true},
    {"image/exit.bmp", 120, 100, AG_KEY_BLACK, 120, 50, 2, 24, true},
};

constexpr int AG_SOUND_COUNT = 3;
constexpr uint32_t AG_SOUND_RATE = 22050;
inline constexpr const char* ag_sounds[AG_SOUND_COUNT] = {"sound/focus.wav", "sound/click.wav",
                                                          "sound/exit.wav"};
