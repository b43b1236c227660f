// File names as the game writes them ("image/cursor.bmp"), found whatever the case of their
// letters, as on Windows.
#pragma once
#include <cstddef>

// Writes the real path of `path` into `out`: each component matched exactly, else without
// regard to case. False when no such file exists or the result does not fit.
bool plat_resolve_path(const char* path, char* out, size_t out_size);
