// Record, replay and timing of demos. The unit is one pass of the game's loop (PeekMessageA, then
// one frame): what the system queued then, what each device read and GetAsyncKeyState gave, all
// taken at the input border, where a replay also puts them back. The
// game's logic reads nothing else but its random seed, the first tick reading, which the header
// carries; so a replay runs the same frames whatever the real timing.
#include "platform/demo/demo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

#include "platform/demo/demo_format.h"
#include "platform/host/clock.h"
#include "platform/host/input.h"
#include "platform/seams/seams_video.h"

#ifndef TARVELLIN_VERSION
#define TARVELLIN_VERSION "1.0"
#endif

PlatDemoOptions plat_demo_options;

namespace {

constexpr DWORD kTimedTickStep = 1000;  // ms per tick reading when timing: every wait ends at once
constexpr long kDemoSizeMax = 256L << 20;
constexpr uint64_t kFlushNs = 500000000;  // a run still growing reaches the file this often

enum class Mode { off, record, play, timed };

struct Session {
  Mode mode = Mode::off;
  bool live = false;  // replay over, the player has the game (--playdemo-continue)
  uint32_t passes = 0;
  DemoPass pass;  // the pass running now: being recorded, or being replayed

  // Recording: under a temporary name in the demo's folder until the first pass.
  FILE* out = nullptr;
  std::string out_path;
  int out_dir = -1;         // the demo's folder; the game enters the data folder before its first pass
  std::string out_name;     // the demo's name in it
  std::string out_temp;     // the temporary name in it; empty once renamed, or when written in place
  uint64_t written_ns = 0;  // when the file last held every pass
  DemoEncoder enc;
  std::vector<uint8_t> bytes;
  bool header_done = false;
  DemoHeader header;

  // Replay.
  std::vector<uint8_t> file;
  DemoDecoder dec;
  bool motion_given = false;
  bool interrupted = false;
  bool hand_over = false;

  // Clock.
  bool ticked = false;
  DWORD timed_now = 0;

  // End.
  bool ended = false;
  uint64_t end_hash = 0;
  uint32_t end_frames = 0;
  bool end_printed = false;

  // Timing.
  uint64_t t_first = 0, t_last = 0, slowest = 0;
};

PlatDemoOptions& g_opt = plat_demo_options;
Session g_s;
const PlatDemoGame* g_game = nullptr;

uint64_t now_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (uint64_t)ts.tv_sec * 1000000000u + (uint64_t)ts.tv_nsec;
}

bool replaying() { return (g_s.mode == Mode::play || g_s.mode == Mode::timed) && !g_s.live; }

uint64_t state_hash(uint32_t frames) {
  uint64_t game = g_game && g_game->state_hash ? g_game->state_hash() : 0;
  uint64_t h = demo_hash(DEMO_HASH_START, &game, sizeof game);
  return demo_hash(h, &frames, sizeof frames);
}

void take_end_state() {
  if (g_s.ended) return;
  g_s.ended = true;
  g_s.end_frames = g_s.passes ? g_s.passes - 1 : 0;
  g_s.end_hash = state_hash(g_s.end_frames);
}

void print_end_state() {
  if (g_s.end_printed) return;
  take_end_state();
  std::printf("end-state %016" PRIx64 "\n", g_s.end_hash);
  std::fflush(stdout);
  g_s.end_printed = true;
}

void print_frame_hash(uint32_t frame) {
  const uint16_t* px;
  int w, h, pitch;
  if (!seam_last_frame(&px, &w, &h, &pitch)) {
    std::printf("frame %" PRIu32 " none\n", frame);
    return;
  }
  uint64_t hash = DEMO_HASH_START;
  for (int y = 0; y < h; ++y) hash = demo_hash(hash, px + (size_t)y * pitch, (size_t)w * 2);
  std::printf("frame %" PRIu32 " %016" PRIx64 "\n", frame, hash);
  std::fflush(stdout);
}

// ---- recording

// Drops the file not yet given the demo's name, and lets go of the folder.
void record_close() {
  if (g_s.out) std::fclose(g_s.out);
  g_s.out = nullptr;
  if (!g_s.out_temp.empty()) unlinkat(g_s.out_dir, g_s.out_temp.c_str(), 0);
  g_s.out_temp.clear();
  if (g_s.out_dir >= 0) close(g_s.out_dir);
  g_s.out_dir = -1;
}

void record_stop(const char* why) {
  std::fprintf(stderr, "tarvellin: cannot write the demo '%s': %s; recording stopped, the game goes on\n",
               g_s.out_path.c_str(), why);
  record_close();
}

// Opens the file to record into. An existing demo stays as it is until the first pass, so a run
// that never starts leaves it alone: the new one is written under a temporary name beside it.
// What is not a plain file (a device, a pipe) is written in place.
bool record_open(const char* path) {
  g_s.out_path = path;
  std::string target = path;
  struct stat st {};
  bool exists = stat(path, &st) == 0;
  if (exists && !S_ISREG(st.st_mode)) {
    g_s.out = std::fopen(path, "wb");
    return g_s.out != nullptr;
  }
  if (exists) {  // through a link, to the file it names
    if (char* real = realpath(path, nullptr)) {
      target = real;
      std::free(real);
    }
  }
  size_t slash = target.rfind('/');
  std::string dir = slash == std::string::npos ? "." : slash == 0 ? "/" : target.substr(0, slash);
  g_s.out_name = slash == std::string::npos ? target : target.substr(slash + 1);
  g_s.out_dir = open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (g_s.out_dir < 0) return false;
  // Hidden, beside the demo, so that the rename stays within one file system.
  std::string temp = dir + "/." + g_s.out_name + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) {
    int e = errno;
    record_close();
    errno = e;
    return false;
  }
  g_s.out_temp = temp.substr(dir.size() + 1);
  mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, exists ? (st.st_mode & 07777) : (0666 & ~mask));
  g_s.out = fdopen(fd, "wb");
  if (!g_s.out) {
    int e = errno;
    close(fd);
    record_close();
    errno = e;
    return false;
  }
  return true;
}

void record_write() {
  if (!g_s.out) return;
  g_s.enc.take(&g_s.bytes);
  if (g_s.bytes.empty()) return;
  g_s.written_ns = now_ns();
  // Each record reaches the file as it is made, so a failing disk is noticed while playing.
  if (std::fwrite(g_s.bytes.data(), 1, g_s.bytes.size(), g_s.out) != g_s.bytes.size() ||
      std::fflush(g_s.out) != 0)
    record_stop(std::strerror(errno));
}

// At the first pass: from now on the file under the demo's name is the new demo.
void record_header() {
  if (g_s.header_done) return;
  g_s.header_done = true;
  g_s.enc.header(g_s.header);
  record_write();
  if (!g_s.out || g_s.out_temp.empty()) return;
  if (renameat(g_s.out_dir, g_s.out_temp.c_str(), g_s.out_dir, g_s.out_name.c_str()) != 0) {
    record_stop(std::strerror(errno));
    return;
  }
  g_s.out_temp.clear();
}

void record_finish() {
  record_header();
  if (g_s.passes > 0) g_s.enc.pass(g_s.pass);
  take_end_state();
  g_s.enc.end(DemoEnd{g_s.end_frames, g_s.end_hash});
  record_write();
  if (g_s.out && std::fclose(g_s.out) != 0)
    std::fprintf(stderr, "tarvellin: cannot write the demo '%s': %s\n", g_s.out_path.c_str(),
                 std::strerror(errno));
  g_s.out = nullptr;
  record_close();
}

// ---- replay

// The demo is over: the player takes the game, or the program ends.
void replay_over() {
  if (g_s.mode == Mode::play)
    print_end_state();  // timing prints it on its own line at the end
  else
    take_end_state();
  if (g_opt.play_continue && !g_s.interrupted) {
    g_s.live = true;
    // The border is the player's from now on; the clock keeps the replay's offset.
    plat_input_set_tap(nullptr);
    plat_input_set_replay(false, g_s.pass.keys[DIK_LCONTROL] & 0x80);
    plat_clock_set_tap(nullptr);
    // The mouse moved during the replay is not the player's first move.
    plat_input_forget_motion();
    std::fprintf(stderr, "tarvellin: the demo is over after %" PRIu32 " frames; the game is yours\n",
                 g_s.end_frames);
  } else {
    plat_input_post(WM_QUIT);
  }
}

void replay_pass() {
  uint32_t frames_done = g_s.passes - 1;
  if (g_s.interrupted || g_s.hand_over || frames_done >= g_s.dec.end().frames || !g_s.dec.next(&g_s.pass)) {
    replay_over();
    return;
  }
  g_s.motion_given = false;
  for (int i = 0; i < g_s.pass.message_count; ++i) {
    // Handing over: closing the window in the recording ends the demo, not the game.
    if (g_opt.play_continue && g_s.pass.messages[i] == WM_CLOSE) {
      g_s.hand_over = true;
      replay_over();
      return;
    }
    plat_input_post(g_s.pass.messages[i]);
  }
}

bool read_file(const char* path, std::vector<uint8_t>* out, int* status) {
  FILE* f = std::fopen(path, "rb");
  if (!f) {
    std::fprintf(stderr, "tarvellin: cannot read the demo '%s': %s\n", path, std::strerror(errno));
    *status = 66;
    return false;
  }
  out->clear();
  uint8_t chunk[65536];
  size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) {
    if ((long)(out->size() + n) > kDemoSizeMax) {
      std::fprintf(stderr, "tarvellin: '%s' is not a usable demo: larger than any demo\n", path);
      std::fclose(f);
      *status = 65;
      return false;
    }
    out->insert(out->end(), chunk, chunk + n);
  }
  bool bad = std::ferror(f);
  std::fclose(f);
  if (bad) {
    std::fprintf(stderr, "tarvellin: cannot read the demo '%s'\n", path);
    *status = 66;
    return false;
  }
  return true;
}

// ---- the tap at the input border

void tap_pass() {
  if (g_s.mode == Mode::off || g_s.live) return;
  uint32_t frames_done = g_s.passes++;
  for (int i = 0; i < g_opt.hash_frame_count; ++i)
    if (g_opt.hash_frames[i] == frames_done) {
      print_frame_hash(frames_done);
      break;
    }
  if (g_s.mode == Mode::timed) {
    uint64_t t = now_ns();
    if (g_s.passes == 1)
      g_s.t_first = t;
    else if (t - g_s.t_last > g_s.slowest)
      g_s.slowest = t - g_s.t_last;
    g_s.t_last = t;
  }
  if (g_s.mode == Mode::record) {
    record_header();
    if (g_s.passes > 1) {
      g_s.enc.pass(g_s.pass);
      // Unchanged passes wait for the next change: a kill would lose them all.
      if (now_ns() - g_s.written_ns >= kFlushNs) g_s.enc.flush();
      record_write();
    }
    demo_pass_next(&g_s.pass);
    return;
  }
  replay_pass();
}

void tap_loop_end() {
  if (g_s.mode != Mode::off && !g_s.live) take_end_state();
}

void tap_escape() {
  if (replaying()) g_s.interrupted = true;
}

// A replay brings its own window messages; closing the window ends it.
bool tap_message(UINT message) {
  if (replaying()) {
    if (message == WM_CLOSE) tap_escape();
    return false;
  }
  if (g_s.mode != Mode::record) return true;
  // A repeat within one pass changes nothing the game sees (the queue keeps one WM_PAINT
  // waiting, the first WM_CLOSE ends the game), so the cap can never cost a close.
  for (int i = 0; i < g_s.pass.message_count; ++i)
    if (g_s.pass.messages[i] == message) return true;
  if (g_s.pass.message_count == DEMO_MAX_MESSAGES) return false;
  g_s.pass.messages[g_s.pass.message_count++] = (BYTE)message;
  return true;
}

HRESULT tap_keyboard(HRESULT hr, BYTE* keys) {
  DemoPass& p = g_s.pass;
  if (replaying()) {
    if (p.key_result == S_OK) std::memcpy(keys, p.keys, 256);
    return p.key_result;
  }
  if (g_s.mode == Mode::record) {
    p.key_result = hr;
    if (hr == S_OK) std::memcpy(p.keys, keys, 256);
  }
  return hr;
}

HRESULT tap_mouse(HRESULT hr, PlatMouse* m) {
  DemoPass& p = g_s.pass;
  if (replaying()) {
    if (p.mouse_result != S_OK) return p.mouse_result;
    // The pass's motion goes to its first read, as a real device's would.
    m->dx = g_s.motion_given ? 0 : p.dx;
    m->dy = g_s.motion_given ? 0 : p.dy;
    m->dz = g_s.motion_given ? 0 : p.dz;
    std::memcpy(m->buttons, p.buttons, 4);
    g_s.motion_given = true;
    return S_OK;
  }
  if (g_s.mode == Mode::record) {
    p.mouse_result = hr;
    if (hr == S_OK) {
      p.dx += m->dx;
      p.dy += m->dy;
      p.dz += m->dz;
      std::memcpy(p.buttons, m->buttons, 4);
    }
  }
  return hr;
}

// Escape as the game read it is part of the recording; other keys follow the key bytes.
SHORT tap_async(int dik, SHORT state) {
  if (replaying()) {
    if (dik == DIK_ESCAPE) return g_s.pass.escape;
    return (dik > 0 && dik < 256 && (g_s.pass.keys[dik] & 0x80)) ? (SHORT)0x8000 : 0;
  }
  if (g_s.mode == Mode::record && dik == DIK_ESCAPE) g_s.pass.escape = state;
  return state;
}

// Handing over: the game's own quit is dropped, the player takes over after this frame.
bool tap_game_quit() {
  if (!replaying() || !g_opt.play_continue) return false;
  g_s.hand_over = true;
  return true;
}

const PlatInputTap kTap = {tap_pass,  tap_loop_end, tap_message, tap_keyboard,
                           tap_mouse, tap_async,    tap_escape,  tap_game_quit};

// GetTickCount: the recording keeps its first reading, the game's random seed; a replay starts
// from that seed and runs the real clock at the same distance from it; timing steps a second
// per reading, so that every wait ends at once.
DWORD tap_clock(DWORD now) {
  switch (g_s.mode) {
    case Mode::off:
      return now;
    case Mode::record:
      if (!g_s.ticked) g_s.header.seed = now;
      g_s.ticked = true;
      return now;
    case Mode::play:
      if (!g_s.ticked) plat_clock_set_offset(g_s.dec.header().seed - now);
      g_s.ticked = true;
      return now + plat_clock_offset();
    case Mode::timed:
      g_s.timed_now = g_s.ticked ? g_s.timed_now + kTimedTickStep : g_s.dec.header().seed;
      g_s.ticked = true;
      return g_s.timed_now;
  }
  return now;
}

void taps_set(bool on) {
  plat_input_set_tap(on ? &kTap : nullptr);
  plat_clock_set_tap(on ? tap_clock : nullptr);
  plat_input_set_replay(on && replaying());
  if (!on) plat_clock_set_offset(0);
}

}  // namespace

void plat_demo_set_game(const PlatDemoGame* game) { g_game = game; }

bool plat_demo_parse_frames(const char* list, PlatDemoOptions* o) {
  o->hash_frame_count = 0;
  const char* p = list;
  while (*p) {
    if (*p < '0' || *p > '9' || o->hash_frame_count == PLAT_DEMO_HASH_FRAMES) return false;
    uint64_t v = 0;
    while (*p >= '0' && *p <= '9') {
      v = v * 10 + (uint64_t)(*p++ - '0');
      if (v > UINT32_MAX) return false;
    }
    o->hash_frames[o->hash_frame_count++] = (uint32_t)v;
    if (*p == ',')
      ++p;
    else if (*p)
      return false;
  }
  return o->hash_frame_count > 0;
}

int plat_demo_begin() {
  g_s = Session{};
  int chosen = (g_opt.record != nullptr) + (g_opt.play != nullptr) + (g_opt.timed != nullptr);
  if (chosen > 1) {
    std::fprintf(stderr, "tarvellin: choose one of --record, --playdemo and --timedemo\n");
    return 64;
  }
  if (g_opt.play_continue && !g_opt.play) {
    std::fprintf(stderr, "tarvellin: --playdemo-continue goes with --playdemo\n");
    return 64;
  }
  int32_t state = 0, delay = 0;
  if (g_game && g_game->opening) g_game->opening(&state, &delay);
  if (g_opt.record) {
    if (!record_open(g_opt.record)) {
      std::fprintf(stderr, "tarvellin: cannot create the demo '%s': %s\n", g_opt.record,
                   std::strerror(errno));
      return 73;
    }
    DemoHeader& h = g_s.header;
    std::snprintf(h.version, sizeof h.version, "%s", TARVELLIN_VERSION);
    h.state = state;
    h.frame_delay = delay;
    g_s.mode = Mode::record;
    taps_set(true);
    return 0;
  }
  const char* path = g_opt.play ? g_opt.play : g_opt.timed;
  if (!path) return 0;
  int status = 0;
  if (!read_file(path, &g_s.file, &status)) return status;
  std::string why;
  if (!g_s.dec.open(g_s.file.data(), g_s.file.size(), &why)) {
    std::fprintf(stderr, "tarvellin: '%s' is not a usable demo: %s\n", path, why.c_str());
    return 65;
  }
  const DemoHeader& h = g_s.dec.header();
  if (g_game && (h.state != state || h.frame_delay != delay)) {
    std::fprintf(stderr,
                 "tarvellin: '%s' is not a usable demo: it opens in state %d with %d ms frames, this "
                 "program in state %d with %d ms frames\n",
                 path, (int)h.state, (int)h.frame_delay, (int)state, (int)delay);
    return 65;
  }
  if (g_s.dec.cut_off())
    std::fprintf(stderr,
                 "tarvellin: the demo '%s' was cut off after %" PRIu32
                 " passes (it has no end record); playing those\n",
                 path, g_s.dec.passes());
  g_s.mode = g_opt.play ? Mode::play : Mode::timed;
  taps_set(true);
  return 0;
}

int plat_demo_end(int status) {
  switch (g_s.mode) {
    case Mode::off:
      break;
    case Mode::record:
      if (!g_s.header_done) {  // not one pass: whatever had the demo's name keeps it
        record_close();
        break;
      }
      record_finish();
      print_end_state();
      break;
    case Mode::play:
    case Mode::timed:
      if (g_s.mode == Mode::play) {
        print_end_state();
      } else {
        take_end_state();
        double seconds = (double)(g_s.t_last - g_s.t_first) / 1e9;
        std::printf("timedemo: %" PRIu32
                    " frames in %.3f s, %.1f fps, slowest frame %.2f ms, end-state %016" PRIx64 "\n",
                    g_s.end_frames, seconds, seconds > 0 ? g_s.end_frames / seconds : 0.0, g_s.slowest / 1e6,
                    g_s.end_hash);
        std::fflush(stdout);
      }
      if (!g_s.interrupted && !g_s.live && !g_s.dec.cut_off() && g_s.end_hash != g_s.dec.end().state_hash)
        std::fprintf(
            stderr,
            "tarvellin: this replay differs from its recording (by version %s), which ended in %016" PRIx64
            "\n",
            g_s.dec.header().version, g_s.dec.end().state_hash);
      break;
  }
  g_s.mode = Mode::off;
  taps_set(false);
  return status;
}

void plat_demo_cancel() {
  if (g_s.mode == Mode::record) record_close();
  g_s.mode = Mode::off;
  taps_set(false);
}

void plat_demo_reset() {
  record_close();
  taps_set(false);
  g_s = Session{};
  g_opt = PlatDemoOptions{};
}

bool plat_demo_replaying() { return replaying(); }

bool plat_demo_on() { return (g_s.mode != Mode::off) && !g_s.live; }
