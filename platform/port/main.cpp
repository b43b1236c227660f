// The process entry on Linux: reads the build's own options, finds the data, starts SDL, then
// runs WinMain.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/api/winuser32.h"
#include "platform/demo/demo.h"
#include "platform/host/events.h"
#include "platform/host/input.h"
#include "platform/host/paths.h"
#include "platform/lang.h"
#include "platform/port/datadir.h"
#include "platform/port/options.h"

namespace {

// sysexits.h
constexpr int EXIT_USAGE = 64;
constexpr int EXIT_NOINPUT = 66;
constexpr size_t kConfigMax = 64 * 1024;  // a longer file is read up to here

// The configuration folder, holding tarvellin.conf and perhaps gamecontrollerdb.txt.
std::string config_dir() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return std::string(xdg) + "/tarvellin";
  const char* home = std::getenv("HOME");
  return home && *home ? std::string(home) + "/.config/tarvellin" : "";
}

// The file's text; empty when it does not exist. Other failures to read it are reported.
std::string read_config(const std::string& path) {
  std::string text;
  if (path.empty()) return text;
  FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) {
    if (errno != ENOENT)
      std::fprintf(stderr, "tarvellin: cannot read %s: %s\n", path.c_str(), std::strerror(errno));
    return text;
  }
  char buf[4096];
  size_t n;
  while (text.size() < kConfigMax && (n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  std::fclose(f);
  if (text.size() > kConfigMax) text.resize(kConfigMax);
  return text;
}

// Enters the data folder, or says on stderr why there is none; false then.
bool enter_data_folder() {
  std::string dir;
  std::vector<std::string> tried;
  if (!plat_options.data.empty()) {
    dir = plat_options.data;
    if (!plat_data_folder_ok(dir)) {
      std::fprintf(stderr, "tarvellin: the data folder '%s' holds neither image/ nor sound/\n", dir.c_str());
      return false;
    }
  } else {
    dir = plat_find_data(plat_data_places_from_env(), &tried);
    if (dir.empty()) {
      std::fprintf(stderr,
                   "tarvellin: cannot find the pictures and sounds (image/ and sound/); looked in:\n");
      for (const std::string& d : tried) std::fprintf(stderr, "  %s\n", d.c_str());
      std::fprintf(
          stderr,
          "Write the default set with 'tarvellin-assetgen DIR' and start the game with '--data DIR',\n"
          "or install the game, which puts them in share/tarvellin.\n");
      return false;
    }
  }
  if (chdir(dir.c_str()) != 0) {
    std::fprintf(stderr, "tarvellin: cannot enter the data folder '%s': %s\n", dir.c_str(),
                 std::strerror(errno));
    return false;
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  plat_catch_quit_signals();  // before anything can take long: a signal must never be lost
  const std::string dir = config_dir();
  std::string conf = dir.empty() ? "" : dir + "/tarvellin.conf";
  std::string conf_text = read_config(conf);
  std::string error, warnings;
  PlatOptAction action =
      plat_parse_options(argc, argv, conf_text.data(), conf_text.size(), &plat_options, &error, &warnings);
  // Each warning is "line N: ...": prefixed with the file, as compilers report.
  for (size_t at = 0; at < warnings.size();) {
    size_t eol = warnings.find('\n', at);
    std::fprintf(stderr, "tarvellin: %s:%s\n", conf.c_str(), warnings.substr(at + 5, eol - at - 5).c_str());
    at = eol + 1;
  }
  switch (action) {
    case PLAT_OPT_HELP:
      plat_print_usage(stdout);
      return 0;
    case PLAT_OPT_VERSION:
      std::printf("tarvellin %s\n", TARVELLIN_VERSION);
      return 0;
    case PLAT_OPT_USAGE:
      std::fprintf(stderr, "tarvellin: %s\n\n", error.c_str());
      plat_print_usage(stderr);
      return EXIT_USAGE;
    case PLAT_OPT_RUN:
      break;
  }
  if (!dir.empty()) plat_options.pad_mappings = dir + "/gamecontrollerdb.txt";
  lang_current = !plat_options.lang.empty() ? lang_find(plat_options.lang.c_str())
                                            : lang_choose(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                                                          std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  // Demo files and screenshot folders are named from where the program was started, before the
  // data folder is entered.
  plat_remember_start_folder();
  plat_demo_set_game(&game_demo_hooks);
  plat_input_set_screen(game_demo_hooks.screen);
  if (int status = plat_demo_begin()) return status;
  if (!enter_data_folder()) {
    plat_demo_cancel();
    return EXIT_NOINPUT;
  }
  char why[256];
  if (!plat_host_start(why, sizeof why)) {
    std::fprintf(stderr, "tarvellin: cannot start SDL: %s\n", why);
    plat_demo_cancel();
    return 1;
  }
  static HINSTANCE__ instance;  // the program instance handle the game passes to DirectInput
  int rc = WinMain(&instance, nullptr, (LPSTR) "", SW_SHOWDEFAULT);
  if (plat_fatal_message()[0]) {
    std::fprintf(stderr, "tarvellin: %s\n", plat_fatal_message());
    rc = 1;
  }
  rc = plat_demo_end(rc);
  plat_host_stop();
  return rc;
}
