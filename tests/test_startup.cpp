// Start-up and shutdown: what is created, in which order, and what each failure leaves behind.
#include <cstdio>
#include <initializer_list>

#include "app_world.h"
#include "game/background.h"
#include "game/player.h"
#include "platform/seams/seams_video.h"

namespace {

class StartupTest : public WorldTest {
 protected:
  // Sizes of the created surfaces in creation order, their serials and colour keys (-1: none).
  void surfaces(std::vector<std::string>* sizes, std::vector<int>* serials, std::vector<int>* keys) {
    for (const std::string& line : seam_trace_lines()) {
      int w, h, serial;
      unsigned key;
      if (std::sscanf(line.c_str(), "CreateSurface %dx%d #%d", &w, &h, &serial) == 3) {
        sizes->push_back(std::to_string(w) + "x" + std::to_string(h));
        serials->push_back(serial);
        keys->push_back(-1);
      } else if (std::sscanf(line.c_str(), "SetColorKey #%d 0x%x", &serial, &key) == 2 && !serials->empty() &&
                 serials->back() == serial) {
        keys->back() = (int)key;
      }
    }
  }
  // Each line named is in the trace, after the one named before it.
  static void in_order(std::initializer_list<const char*> prefixes) {
    int last = -1;
    for (const char* p : prefixes) {
      const int at = trace_find(p);
      EXPECT_GT(at, last) << p;
      last = at;
    }
  }
};

TEST_F(StartupTest, CreatesEverythingInOrderAndReleasesItOnce) {
  start(world_data_dir());
  // Devices first: display, input, sound, music; then the pointer, the seed, the font.
  in_order({"DirectDrawCreateEx", "SetDisplayMode 1024x768x16", "DirectInput8Create", "CreateDevice keyboard",
            "CreateDevice mouse", "DirectSoundCreate", "CoInitialize", "IDirectMusicPerformance::Init",
            "CoCreateInstance loader", "ShowCursor 0", "CreateFontA Times New Roman 12x6"});
  EXPECT_NE(seam_trace_lines()[trace_find("IDirectMusicPerformance::Init")].find("on DirectSound"),
            std::string::npos);

  std::vector<std::string> sizes;
  std::vector<int> serials, keys;
  surfaces(&sizes, &serials, &keys);
  // The primary surface and its back buffer come first, then the asset table in load order.
  const std::vector<std::string> want = {
      "1024x768", "1024x768", "60x30",    "204x60",   "252x70",   "300x60",  "1352x57", "160x160",
      "160x160",  "8x37",     "2048x105", "1052x50",  "1200x120", "524x29",  "800x45",  "300x20",
      "200x20",   "1024x768", "1024x768", "1024x768", "1024x768", "120x100", "120x100", "120x100"};
  ASSERT_EQ(sizes, want);
  // Sprite strips are keyed magenta; screens, buttons, cursor, backgrounds and scratch black.
  const int M = 0xF81F;
  const std::vector<int> want_keys = {-1, -1, 0, M, M, M, M, 0, 0, M, M, M,
                                      M,  M,  M, M, M, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_EQ(keys, want_keys);
  EXPECT_EQ(sound_serials_.size(), 7u);  // every sound loaded

  seam_trace_clear();
  game_shutdown();
  started_ = false;
  // Released in the shutdown's order: enemies, laser, explosions, ships, cursor, buttons,
  // scratch, backgrounds, info, menu, digits, slots; each once.
  const int by_load[] = {11, 12, 13, 14, 7, 8, 9, 10, 3, 4, 0, 19, 20, 21, 5, 6, 15, 16, 18, 17, 2, 1};
  std::vector<std::string> releases;
  for (const std::string& line : seam_trace_lines())
    if (line.rfind("Release surface #", 0) == 0) releases.push_back(line);
  ASSERT_GE(releases.size(), std::size(by_load));
  for (size_t i = 0; i < std::size(by_load); ++i)
    EXPECT_EQ(releases[i], "Release surface #" + std::to_string(serials[2 + by_load[i]])) << i;
  // Then sounds, music (whose performance holds the DirectSound object until it closes), input,
  // and the display last.
  in_order({"Release sound buffer", "IDirectMusicPerformance::CloseDown", "Release DirectSound",
            "CoUninitialize", "Unacquire mouse", "Release mouse", "Unacquire keyboard", "Release keyboard",
            "Release DirectInput", "Release ddraw"});
  EXPECT_EQ(seam_video_live_objects(), 0);
}

TEST_F(StartupTest, SoundIdsFollowTheLoadOrder) {
  start(world_data_dir());
  EXPECT_EQ((std::vector<int>{game_start_button.focus_sound, game_start_button.click_sound,
                              game_authors_button.focus_sound, game_authors_button.click_sound,
                              game_exit_button.focus_sound, game_exit_button.click_sound, game_exit_sound}),
            (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ((std::vector<int>{game_cursor.x, game_cursor.y, game_cursor.dest_rect.right}),
            (std::vector<int>{612, 384, 642}));
}

TEST_F(StartupTest, MissingFilesLeaveTheGameRunning) {
  start(data_copy({"image/start.bmp", "image/prochee/fon_back01.bmp", "sound/click.wav"}));
  // The click sound is missing: its three loads give -1 and the others move up.
  EXPECT_EQ((std::vector<int>{game_start_button.focus_sound, game_start_button.click_sound,
                              game_authors_button.focus_sound, game_exit_sound}),
            (std::vector<int>{0, -1, 1, 3}));
  EXPECT_NE(game_start_button.image, nullptr);  // created; nothing was copied into it
  // A click acts at once: no sound to wait for.
  cursor_to(500, 370);
  seam_mouse_button(0, true);
  DWORD before = seam_clock_now();
  frame();
  EXPECT_EQ(game_state, GAME_STATE_PLAY);
  EXPECT_LT(seam_clock_now() - before, (DWORD)(game_frame_delay_ms + 20));
  seam_mouse_button(0, false);
  EXPECT_EQ(frame(), 1);  // play runs on the background whose file was missing
}

TEST_F(StartupTest, EmptyFolderRunsAndQuits) {
  start(data_copy({"image", "sound"}));
  for (int i = 0; i < 5; ++i) EXPECT_EQ(frame(), 1);
  EXPECT_EQ(game_exit_sound, -1);
  seam_key(DIK_ESCAPE, true);
  frame();
  EXPECT_EQ(next_message(), (UINT)WM_DESTROY);
}

TEST_F(StartupTest, FailedSurfacesAreSkippedAtShutdown) {
  start(world_data_dir());
  game_shutdown();
  started_ = false;
  int clean = trace_count("Release surface");

  // The cursor, the first off-screen surface after the primary, cannot be created.
  start(world_data_dir(), [] { seam_fail("IDirectDraw7::CreateSurface", DDERR_OUTOFMEMORY, 1); });
  EXPECT_EQ(game_cursor.image, nullptr);
  for (int i = 0; i < 3; ++i) frame();
  seam_trace_clear();
  game_shutdown();
  started_ = false;
  EXPECT_EQ(trace_count("Release surface"), clean - 1);
  EXPECT_EQ(seam_video_live_objects(), 0);
}

}  // namespace
