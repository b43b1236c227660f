#include "app_world.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/overlay.h"
#include "app/winmain.h"
#include "gfx/display.h"
#include "music/music.h"
#include "platform/seams/seams_audio.h"
#include "sfx/sound.h"

namespace fs = std::filesystem;

std::string world_data_dir() {
  // Resolved once, before any test enters a data folder.
  static const std::string dir = [] {
    const char* env = std::getenv("TARVELLIN_DATA");
    return fs::absolute(env && *env ? env : "data").string();
  }();
  return dir;
}

void world_new_program_run() {
  seam_audio_manual(true);
  snd_first_call = 1;
  snd_direct_sound = nullptr;
  mus_performance = nullptr;
  mus_loader = nullptr;
  gfx_ddraw = nullptr;
  gfx_primary = nullptr;
  gfx_back_buffer = nullptr;
  gfx_back_clipper = nullptr;
}

void WorldTest::start(const std::string& dir, const std::function<void()>& arm) {
  app_fixture_reset();
  world_new_program_run();
  static HINSTANCE__ instance;
  game_instance = &instance;
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = game_window_proc;
  wc.hInstance = game_instance;
  wc.lpszClassName = "WIN3DCLASS";
  ASSERT_NE(RegisterClassExA(&wc), 0);
  game_window = CreateWindowExA(0, "WIN3DCLASS", "GAME", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr,
                                nullptr, game_instance, nullptr);
  ASSERT_NE(game_window, nullptr);
  if (!old_dir_[0]) {
    ASSERT_NE(getcwd(old_dir_, sizeof old_dir_), nullptr);
  }
  ASSERT_EQ(chdir(dir.c_str()), 0) << dir;
  seam_trace_enable(true);
  sound_serials_.clear();
  if (game_font) DeleteObject(game_font);  // from an earlier run in the same test
  game_font = nullptr;
  if (arm) arm();
  game_startup();
  started_ = true;
  for (const std::string& line : seam_trace_lines()) {
    int serial;
    unsigned bytes, rate;
    if (std::sscanf(line.c_str(), "CreateSoundBuffer %u bytes %u Hz #%d", &bytes, &rate, &serial) == 3)
      sound_serials_.push_back(serial);
  }
}

void WorldTest::TearDown() {
  if (HasFailure() && std::getenv("WORLD_TRACE"))
    for (const std::string& line : seam_trace_lines()) std::fprintf(stderr, "  trace: %s\n", line.c_str());
  if (started_) game_shutdown();
  started_ = false;
  // The program's font lives until its process ends; each run here gives its own back.
  if (game_font) DeleteObject(game_font);
  game_font = nullptr;
  if (old_dir_[0]) (void)chdir(old_dir_);
  seam_audio_manual(false);
  seam_reset();
  seam_windows_reset();
}

int WorldTest::frame(int dx, int dy) {
  seam_mouse_move(dx, dy);
  return game_frame();
}

void WorldTest::cursor_to(int x, int y) {
  game_cursor.x = x;
  game_cursor.y = y;
  SetRect(&game_cursor.dest_rect, x, y, x + game_cursor.frame_width, y + game_cursor.frame_height);
}

std::string WorldTest::data_copy(const std::vector<std::string>& leave_out) {
  const fs::path dir = fs::path(copies_.path) / std::to_string(++copies_made_);
  fs::copy(world_data_dir(), dir, fs::copy_options::recursive);
  for (const std::string& f : leave_out) fs::remove_all(dir / f);
  return dir.string();
}

int WorldTest::sound_serial(int id) const {
  return id >= 0 && id < (int)sound_serials_.size() ? sound_serials_[id] : -1;
}

int WorldTest::plays_of(int id) const {
  int serial = sound_serial(id);
  if (serial < 0) return 0;
  const std::vector<std::string>& lines = seam_trace_lines();
  return (int)std::count(lines.begin(), lines.end(), "Play sound buffer #" + std::to_string(serial));
}
