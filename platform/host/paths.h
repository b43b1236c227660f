// File names as the game writes them ("image/cursor.bmp"), found whatever the case of their
// letters, as on Windows.
#pragma once
#include <cstddef>

// Writes the real path of `path` into `out`: each component matched exactly, else without
// regard to case. False when no such file exists or the result does not fit.
bool plat_resolve_path(const char* path, char* out, size_t out_size);

#include <string>

// The folder the game was started from, remembered before it enters the data folder: the
// relative paths a player gives are meant from there. Null: the working directory. False when
// it cannot be known (the folder was removed); relative paths then stay as they are.
bool plat_remember_start_folder(const char* dir = nullptr);
// `path` taken from the start folder: unchanged when absolute or when none is known.
std::string plat_from_start_folder(const std::string& path);

// "~" and "~/x" with $HOME, "~name/x" with that user's home folder, as a shell expands them;
// other paths unchanged. False (*out untouched) when the home folder is not known.
bool plat_expand_home(const std::string& path, std::string* out);
