// Where the pictures and sounds are: the folder the game runs in, found before WinMain starts.
#pragma once
#include <string>
#include <vector>

// What the search looks at; filled from the process by plat_data_places_from_env(), or by hand
// in tests. Empty strings stand for unset.
struct PlatDataPlaces {
  std::string cwd;            // the working directory
  std::string exe_dir;        // the folder of the running executable
  std::string home;           // $HOME
  std::string xdg_data_home;  // $XDG_DATA_HOME
  std::string xdg_data_dirs;  // $XDG_DATA_DIRS, colon-separated
};
PlatDataPlaces plat_data_places_from_env();

// The folders to try, in order: the working directory, beside the executable,
// ../share/tarvellin from it, $XDG_DATA_HOME/tarvellin (default ~/.local/share), then each of
// $XDG_DATA_DIRS/tarvellin (default /usr/local/share:/usr/share). Relative XDG entries are
// ignored, as the XDG rules say; each folder is listed once.
std::vector<std::string> plat_data_candidates(const PlatDataPlaces& places);

// A folder counts when it holds image/ or sound/ (in any letter case, as the game opens files).
bool plat_data_folder_ok(const std::string& dir);

// The first candidate that counts, or "" when none does; *tried gets every folder looked at.
std::string plat_find_data(const PlatDataPlaces& places, std::vector<std::string>* tried);
