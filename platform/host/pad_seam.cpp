// Test seam: virtual gamepads, attached through SDL, for the tests and for scripts (a FIFO).
#include <SDL.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/seams/seams_pad.h"

namespace {

constexpr int kMaxPads = 8;
SDL_Joystick* g_pads[kMaxPads];

int device_index_of(SDL_Joystick* js) {
  const SDL_JoystickID id = SDL_JoystickInstanceID(js);
  for (int i = 0; i < SDL_NumJoysticks(); ++i)
    if (SDL_JoystickGetDeviceInstanceID(i) == id) return i;
  return -1;
}

SDL_Joystick* pad(int n) { return n >= 0 && n < kMaxPads ? g_pads[n] : nullptr; }

constexpr size_t kMaxLine = 256;               // a longer script line is dropped, not gathered
constexpr size_t kMaxReadPerPoll = 64 * 1024;  // a writer that never stops cannot hold the pump

int g_fifo = -2;  // -2: not looked for yet; -1: none
std::string g_pending;
bool g_dropping = false;  // inside a line found too long: skipped up to its newline
int g_last = -1;

void run_line(const std::string& line) {
  char what[16] = "", name[32] = "";
  int value = 0;
  if (std::sscanf(line.c_str(), "%15s %31s %d", what, name, &value) < 1) return;
  bool ok = true;
  if (!std::strcmp(what, "attach"))
    ok = (g_last = seam_pad_attach()) >= 0;
  else if (!std::strcmp(what, "detach"))
    seam_pad_detach(g_last);
  else if (!std::strcmp(what, "button"))
    ok = seam_pad_button(g_last, name, value != 0);
  else if (!std::strcmp(what, "axis"))
    ok = seam_pad_axis(g_last, name, value);
  else
    ok = false;
  if (!ok) std::fprintf(stderr, "tarvellin: test pad: cannot '%s'\n", line.c_str());
}

}  // namespace

int seam_pad_attach() {
  if (!SDL_WasInit(SDL_INIT_GAMECONTROLLER)) return -1;
  // The test's input arrives whether or not the window holds the focus.
  SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
  for (int n = 0; n < kMaxPads; ++n) {
    if (g_pads[n]) continue;
    const int index = SDL_JoystickAttachVirtual(SDL_JOYSTICK_TYPE_GAMECONTROLLER, SDL_CONTROLLER_AXIS_MAX,
                                                SDL_CONTROLLER_BUTTON_MAX, 0);
    if (index < 0) return -1;
    g_pads[n] = SDL_JoystickOpen(index);
    if (!g_pads[n]) return -1;
    return n;
  }
  return -1;
}

bool seam_pad_button(int n, const char* name, bool down) {
  const SDL_GameControllerButton b = SDL_GameControllerGetButtonFromString(name);
  return pad(n) && b != SDL_CONTROLLER_BUTTON_INVALID &&
         SDL_JoystickSetVirtualButton(pad(n), b, down ? SDL_PRESSED : SDL_RELEASED) == 0;
}

bool seam_pad_axis(int n, const char* name, int value) {
  const SDL_GameControllerAxis a = SDL_GameControllerGetAxisFromString(name);
  return pad(n) && a != SDL_CONTROLLER_AXIS_INVALID &&
         SDL_JoystickSetVirtualAxis(pad(n), a, (Sint16)SDL_clamp(value, -32768, 32767)) == 0;
}

void seam_pad_detach(int n) {
  SDL_Joystick* js = pad(n);
  if (!js) return;
  const int index = device_index_of(js);
  SDL_JoystickClose(js);
  if (index >= 0) SDL_JoystickDetachVirtual(index);
  g_pads[n] = nullptr;
}

void seam_pad_detach_all() {
  for (int n = 0; n < kMaxPads; ++n) seam_pad_detach(n);
}

namespace {

// The FIFO the variable names, opened without waiting for a writer; -1 (and why on stderr) for
// anything else: a regular file or a device such as /dev/zero would be read without end.
int open_script() {
  const char* path = std::getenv("TARVELLIN_TEST_PAD");
  if (!path || !*path) return -1;
  struct stat st;
  int fd = stat(path, &st) == 0 && S_ISFIFO(st.st_mode) ? open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC) : -1;
  if (fd >= 0 && (fstat(fd, &st) != 0 || !S_ISFIFO(st.st_mode))) {
    close(fd);
    fd = -1;
  }
  if (fd < 0)
    std::fprintf(stderr, "tarvellin: TARVELLIN_TEST_PAD: %s is not a FIFO (make one with mkfifo); ignored\n",
                 path);
  return fd;
}

void take(const char* p, size_t n) {
  while (n) {
    const char* eol = static_cast<const char*>(std::memchr(p, '\n', n));
    const size_t len = eol ? (size_t)(eol - p) : n;
    if (!g_dropping && g_pending.size() + len > kMaxLine) {
      std::fprintf(stderr, "tarvellin: test pad: a line longer than %zu bytes; dropped\n", kMaxLine);
      g_dropping = true;
      g_pending.clear();
    }
    if (!g_dropping) g_pending.append(p, len);
    if (!eol) return;
    if (!g_dropping) run_line(g_pending);
    g_pending.clear();
    g_dropping = false;
    p += len + 1;
    n -= len + 1;
  }
}

}  // namespace

void seam_pad_script_poll() {
  if (g_fifo == -2) g_fifo = open_script();
  if (g_fifo < 0) return;
  char buf[512];
  ssize_t got;
  for (size_t total = 0; total < kMaxReadPerPoll && (got = read(g_fifo, buf, sizeof buf)) > 0;
       total += (size_t)got)
    take(buf, (size_t)got);
}

void seam_pad_script_reset() {
  if (g_fifo >= 0) close(g_fifo);
  g_fifo = -2;
  g_pending.clear();
  g_dropping = false;
  g_last = -1;
}
