// Sends an X window expose events, as another window uncovering it would: one every GAP_MS, so
// that a program waiting on its events takes each on its own.
// Usage: xexpose WINDOW_ID COUNT [GAP_MS]
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

int main(int argc, char** argv) {
  if (argc < 3 || argc > 4) {
    std::fprintf(stderr, "usage: xexpose WINDOW_ID COUNT [GAP_MS]\n");
    return 2;
  }
  Display* dpy = XOpenDisplay(nullptr);
  if (!dpy) {
    std::fprintf(stderr, "xexpose: cannot open the display\n");
    return 1;
  }
  const Window win = (Window)std::strtoul(argv[1], nullptr, 0);
  const long count = std::strtol(argv[2], nullptr, 10);
  const long gap_ms = argc == 4 ? std::strtol(argv[3], nullptr, 10) : 5;
  for (long i = 0; i < count; ++i) {
    XEvent ev = {};
    ev.xexpose.type = Expose;
    ev.xexpose.window = win;
    ev.xexpose.width = 1024;
    ev.xexpose.height = 768;
    XSendEvent(dpy, win, False, ExposureMask, &ev);
    XFlush(dpy);
    const timespec gap{gap_ms / 1000, gap_ms % 1000 * 1000000};
    nanosleep(&gap, nullptr);
  }
  XCloseDisplay(dpy);
  return 0;
}
