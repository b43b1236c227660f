// F12: the frame last shown, saved as a PNG file.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

// Where screenshots go: --screenshot-dir, else Tarvellin/ in the pictures folder that
// $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs) names, ~/Pictures when none; a
// relative one taken from the folder the game started in. Empty when there is no home folder
// to start from.
std::string plat_screenshot_folder();

// Encodes w x h RGB565 pixels, rows pitch_px apart, into *png as a 24-bit RGB PNG, each pixel
// widened as the present widens it.
bool plat_png_encode_565(std::vector<uint8_t>* png, const uint16_t* px, int w, int h, int pitch_px);

// Saves the last presented frame (only the game's picture, never the window's border) in the
// folder, created as needed, as tarvellin-YYYYMMDD-HHMMSS.png for the local time `when`, with
// -2, -3... when that name is taken. The name appears only once the file is whole, and never
// replaces or follows what is there. Prints the absolute path on stderr and returns it; on
// failure returns "" and prints one line naming the folder and why. Allocates: for a key
// press, not a frame.
std::string plat_screenshot_take(time_t when);
