// F12: the frame last shown, saved as a PNG file.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>

// Where screenshots go: --screenshot-dir, else Tarvellin/ in the pictures folder that
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs) names, ~/Pictures when none.
// Empty when there is no home folder to start from.
std::string plat_screenshot_folder();

// Writes w x h RGB565 pixels, rows pitch_px apart, to `path` as a 24-bit RGB PNG, each pixel
// widened as the present widens it. False when the file cannot be written.
bool plat_png_write_565(const char* path, const uint16_t* px, int w, int h, int pitch_px);

// Saves the last presented frame (only the game's picture, never the window's border) in the
// folder, created as needed, as tarvellin-YYYYMMDD-HHMMSS.png for the local time `when`, with
// -2, -3... when that name is taken. Prints the path on stderr and returns it; on failure
// returns "" and says why on stderr, once per folder. Allocates: for a key press, not a frame.
std::string plat_screenshot_take(time_t when);
