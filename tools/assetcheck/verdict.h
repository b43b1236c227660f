// The verdict assetcheck gives a picture, taken from the game's own reader and surface copy.
#pragma once
#include <cstdint>
#include <string>

#include "gfx/bmp.h"

// True when the game fills a width x height surface from the file at `path`: the reader accepts
// it, the surface copy takes its pixels and it has that size. `img` keeps what the reader read
// (pixels included, for bmp_unload); `verdict` says "yes" or why not.
bool ac_picture_verdict(const char* path, int32_t width, int32_t height, ImageFile* img, std::string* verdict);
