// The process entry on Linux: reads the build's own options, starts SDL, then runs WinMain.
#define SDL_MAIN_HANDLED
#include <SDL.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/demo.h"
#include "platform/options.h"
#include "platform/winuser32.h"

namespace {

void usage(FILE* out) {
  std::fprintf(out,
               "Usage: tarvellin [--window] [--data DIR]\n"
               "  --window     play in a 1024 x 768 window instead of full screen\n"
               "  --data DIR   read the pictures and sounds from DIR (default: the current folder)\n"
               "  --help       show this help\n"
               "  --version    show the version\n"
               "%s"
               "Keys: arrows steer, left Ctrl fires, A/S ship, Q/W space, O/P speed, Esc or left Alt quits.\n",
               plat_demo_usage);
}

}  // namespace

int main(int argc, char** argv) {
  const char* data_dir = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--window") == 0) {
      plat_options.window = true;
    } else if (std::strcmp(argv[i], "--data") == 0 && i + 1 < argc) {
      data_dir = argv[++i];
    } else if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
      usage(stdout);
      return 0;
    } else if (int used = plat_demo_option(argc, argv, i)) {
      if (used < 0) return 2;
      i += used - 1;
    } else if (std::strcmp(argv[i], "--version") == 0) {
      std::printf("tarvellin 1.0\n");
      return 0;
    } else {
      std::fprintf(stderr, "tarvellin: unknown option '%s'\n", argv[i]);
      usage(stderr);
      return 2;
    }
  }
  // Demo files are named from where the program was started, before --data moves it.
  if (int status = plat_demo_begin()) return status;
  if (data_dir && chdir(data_dir) != 0) {
    std::fprintf(stderr, "tarvellin: cannot enter the data folder '%s': %s\n", data_dir, std::strerror(errno));
    return 1;
  }
  SDL_SetMainReady();
  if (SDL_Init(SDL_INIT_EVENTS) != 0) {
    std::fprintf(stderr, "tarvellin: cannot start SDL: %s\n", SDL_GetError());
    return 1;
  }
  static HINSTANCE__ instance;  // the program instance handle the game passes to DirectInput
  int rc = WinMain(&instance, nullptr, (LPSTR) "", SW_SHOWDEFAULT);
  if (plat_fatal_message()[0]) {
    std::fprintf(stderr, "tarvellin: %s\n", plat_fatal_message());
    rc = 1;
  }
  rc = plat_demo_end(rc);
  SDL_Quit();
  return rc;
}
