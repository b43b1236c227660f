// The menu, its buttons, the information screen, the cursor and the overlay, frame by frame.
#include <csignal>

#include "app/clock.h"
#include "app_world.h"
#include "game/stars.h"
#include "platform/host/events.h"
#include "platform/seams/seams_audio.h"
#include "platform/seams/seams_internal.h"
#include "platform/seams/seams_video.h"
#include "sfx/sound.h"

namespace {

class MenuTest : public WorldTest {
 protected:
  void SetUp() override { start(world_data_dir()); }
  // A point inside the Start button (457, 350, 577, 400) and the Authors button below it.
  static constexpr int kStartX = 500, kStartY = 370;
  static constexpr int kAuthorsX = 500, kAuthorsY = 430;
};

TEST_F(MenuTest, FocusSoundOncePerStayAndAgainOnReturn) {
  cursor_to(100, 100);
  frame();
  cursor_to(kStartX, kStartY);
  for (int i = 0; i < 4; ++i) frame();
  EXPECT_EQ(plays_of(game_start_button.focus_sound), 1);
  EXPECT_EQ(game_start_button.focus_sound_played, 1);
  cursor_to(100, 100);
  frame();
  EXPECT_EQ(game_start_button.focus_sound_played, 0);
  cursor_to(kStartX, kStartY);
  frame();
  EXPECT_EQ(plays_of(game_start_button.focus_sound), 2);
  EXPECT_EQ(plays_of(game_authors_button.focus_sound), 0);
  EXPECT_EQ(game_state, GAME_STATE_MENU);
}

TEST_F(MenuTest, FocusedPictureShowsFromTheNextFrame) {
  auto button_row = [] {
    std::vector<int32_t> row;
    for (int x = 460; x < 575; ++x) row.push_back(seam_frame_pixel(x, 362));
    return row;
  };
  cursor_to(100, 100);
  frame();
  const std::vector<int32_t> normal = button_row();
  cursor_to(kStartX, kStartY + 20);  // below the row looked at, so the cursor does not cover it
  frame();
  EXPECT_EQ(button_row(), normal);  // drawn before this frame's test
  frame();
  EXPECT_NE(button_row(), normal);
}

TEST_F(MenuTest, HeldButtonClicksStartOnEntryAndPlaysInTheSameFrame) {
  cursor_to(100, 100);
  frame();
  const int presented = seam_frames_presented();
  const int32_t timer = game_cursor.frame_timer;
  seam_mouse_button(0, true);
  cursor_to(kStartX, kStartY);
  EXPECT_EQ(frame(), 1);
  EXPECT_EQ(plays_of(game_start_button.focus_sound), 1);
  EXPECT_EQ(plays_of(game_start_button.click_sound), 1);
  EXPECT_EQ(snd_get_status(game_start_button.focus_sound) & DSBSTATUS_PLAYING, 0);  // stopped for the click
  EXPECT_EQ(game_state, GAME_STATE_PLAY);
  EXPECT_EQ(game_cursor.frame_timer, timer);  // no cursor step in that frame
  EXPECT_EQ(seam_frames_presented(), presented + 1);
  // The presented frame is play: the score panel's slots picture is at the bottom left.
  EXPECT_NE(seam_frame_pixel(100, 740), 0);
}

TEST_F(MenuTest, AuthorsShowsTheInformationScreenInTheSameFrame) {
  cursor_to(kAuthorsX, kAuthorsY);
  seam_mouse_button(0, true);
  frame();
  EXPECT_EQ(game_state, GAME_STATE_INFO);
  EXPECT_EQ(plays_of(game_authors_button.click_sound), 1);
  // The info picture lies over the menu everywhere it is not black: compare with a plain info frame.
  std::vector<int32_t> first;
  for (int x = 0; x < 1024; x += 37) first.push_back(seam_frame_pixel(x, 600));
  seam_mouse_button(0, false);
  cursor_to(1024, 768);
  frame();
  std::vector<int32_t> second;
  for (int x = 0; x < 1024; x += 37) second.push_back(seam_frame_pixel(x, 600));
  EXPECT_EQ(first, second);
}

TEST_F(MenuTest, EscapeOnInfoPlaysTheExitSoundAndReturns) {
  game_state = GAME_STATE_INFO;
  snd_play(game_start_button.focus_sound, 0);
  seam_key(DIK_ESCAPE, true);
  frame();
  EXPECT_EQ(game_state, GAME_STATE_MENU);
  EXPECT_EQ(plays_of(game_exit_sound), 1);
  EXPECT_EQ(snd_get_status(game_start_button.focus_sound) & DSBSTATUS_PLAYING, 0);  // stopped by stop-all
  EXPECT_EQ(next_message(), 0u);                                                    // no quit yet
  frame();  // Escape still held: now the menu quits
  EXPECT_EQ(next_message(), (UINT)WM_DESTROY);
}

TEST_F(MenuTest, EscapeIsBit0x80OnInfoAndAnyBitInTheMenu) {
  game_state = GAME_STATE_INFO;
  seam_input.keys[DIK_ESCAPE] = 0x7F;  // a byte with every bit but the held one
  frame();
  EXPECT_EQ(game_state, GAME_STATE_INFO);
  EXPECT_EQ(plays_of(game_exit_sound), 0);
  game_state = GAME_STATE_MENU;
  frame();
  EXPECT_EQ(next_message(), (UINT)WM_DESTROY);
  // With no keyboard device the key bytes stay clear: the system's key state still quits the menu.
  inp_release_keyboard();
  inp_keyboard_device = nullptr;
  seam_key(DIK_ESCAPE, true);
  frame();
  EXPECT_EQ(inp_key_state[DIK_ESCAPE], 0);
  EXPECT_EQ(next_message(), (UINT)WM_DESTROY);
}

// With the real clock and the mixer running, the click's wait ends when the click has played,
// long before its time limit, and then the quit message is posted.
TEST_F(MenuTest, ExitWaitsForItsClickToEndAndPostsTheQuitMessage) {
  seam_reset();
  seam_input_inject(true);
  seam_audio_manual(false);
  seam_trace_enable(true);
  cursor_to(500, 490);  // inside Exit (457, 470, 577, 520)
  seam_mouse_button(0, true);
  const uint32_t length = snd_length_ms(game_exit_button.click_sound);
  ASSERT_GT(length, 0u);
  const DWORD before = GetTickCount();
  frame();
  const DWORD waited = GetTickCount() - before;
  EXPECT_EQ(snd_get_status(game_exit_button.click_sound), 0);  // ended, not cut off by the limit
  EXPECT_GE(waited + 20, length);
  EXPECT_LT(waited, length + 900);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, (UINT)WM_DESTROY);
  EXPECT_EQ(msg.hwnd, game_window);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(MenuTest, SoundWaitEndsEvenIfTheSoundNeverDoes) {
  // The mixer is frozen: the click sound never ends, so the wait gives up after its length + 1 s.
  DWORD before = seam_clock_now();
  game_wait_sound(game_start_button.click_sound);
  DWORD waited = seam_clock_now() - before;
  EXPECT_GE(waited, 1000u);
  EXPECT_LE(waited, snd_length_ms(game_start_button.click_sound) + 1100u);
  before = seam_clock_now();
  game_wait_sound(-1);
  EXPECT_LT(seam_clock_now() - before, 5u);
}

// The waits for a sound pump nothing, yet a close or a quit signal ends them at once (the mixer
// is frozen: without one, each would last the sound's length + 1 s); the close itself stays
// queued for the next pass.
TEST_F(MenuTest, ACloseOrAQuitSignalEndsASoundWait) {
  struct sigaction saved {};
  sigaction(SIGTERM, nullptr, &saved);
  plat_catch_quit_signals();
  MSG msg;
  for (int how = 0; how < 2; ++how) {
    if (how == 0)
      seam_window_event(SEAM_CLOSE);
    else
      raise(SIGTERM);
    const DWORD before = seam_clock_now();
    game_wait_sound(game_start_button.click_sound);
    EXPECT_LT(seam_clock_now() - before, 100u) << how;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) << how;
    EXPECT_EQ(msg.message, (UINT)WM_CLOSE) << how;
  }
  sigaction(SIGTERM, &saved, nullptr);
}

TEST_F(MenuTest, CursorAnimatesAndStaysInItsBounds) {
  cursor_to(300, 300);
  frame();
  EXPECT_EQ(game_cursor.frame, 1);  // the timer starts at 0
  for (int i = 0; i < 7; ++i) frame();
  EXPECT_EQ(game_cursor.frame, 1);
  frame();
  EXPECT_EQ(game_cursor.frame, 0);
  EXPECT_EQ(game_cursor.source_rect.left, 0);
  auto at = [] { return std::pair(game_cursor.x, game_cursor.y); };
  frame(-5000, -5000);
  EXPECT_EQ(at(), std::pair(0, 0));
  frame(5000, 5000);
  EXPECT_EQ(at(), std::pair(1024, 768));
  EXPECT_EQ(game_cursor.dest_rect.left, 1024);
  frame(-24, -8);
  EXPECT_EQ(at(), std::pair(1000, 760));
}

TEST_F(MenuTest, OverlayIsDrawnInEveryState) {
  // "Ver 1.0" at (974, 755) is white in every state; look for white in its cell.
  auto white_in_version = [] {
    int n = 0;
    for (int y = 755; y < 768; ++y)
      for (int x = 974; x < 1024; ++x) {
        int32_t p = seam_frame_pixel(x, y);
        n += (p >> 11) >= 26 && ((p >> 5) & 63) >= 52 && (p & 31) >= 26;  // near white
      }
    return n;
  };
  cursor_to(100, 100);
  frame();
  EXPECT_GT(white_in_version(), 5);
  game_state = GAME_STATE_INFO;
  frame();
  EXPECT_GT(white_in_version(), 5);
  game_state = GAME_STATE_PLAY;
  frame();
  EXPECT_GT(white_in_version(), 5);
}

// The menu writes its own title at (8, 8) before the overlay writes its title there: on black
// screens the menu frame shows white the info frame does not, all within that line's cell.
TEST_F(MenuTest, MenuTitleUnderTheOverlayTitle) {
  gfx_fill(game_menu_screen, 0, nullptr);
  gfx_fill(game_info_screen, 0, nullptr);
  cursor_to(1024, 768);
  auto white = [] {
    std::vector<bool> w;
    for (int y = 0; y < 40; ++y)
      for (int x = 0; x < 400; ++x) w.push_back(seam_frame_pixel(x, y) == 0xFFFF);
    return w;
  };
  frame();
  const std::vector<bool> menu = white();
  game_state = GAME_STATE_INFO;
  frame();
  const std::vector<bool> info = white();
  int extra = 0;
  for (size_t i = 0; i < menu.size(); ++i) {
    EXPECT_FALSE(info[i] && !menu[i]);
    if (!menu[i] || info[i]) continue;
    ++extra;
    const int x = (int)i % 400, y = (int)i / 400;
    EXPECT_TRUE(x >= 8 && y >= 8 && y < 20) << x << "," << y;
  }
  EXPECT_GT(extra, 20);
}

TEST_F(MenuTest, FramesThatEndEarlyAreNeitherPresentedNorPaced) {
  cursor_to(100, 100);
  frame();
  int presented = seam_frames_presented();
  seam_fail("IDirectDrawSurface7::GetDC", DDERR_GENERIC, 1);  // the overlay's context
  DWORD before = seam_clock_now();
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(seam_frames_presented(), presented);
  EXPECT_LT(seam_clock_now() - before, 10u);
  // The menu's background copy fails: no button, text or Escape is handled in that frame.
  seam_key(DIK_ESCAPE, true);
  cursor_to(kStartX, kStartY);
  seam_fail("IDirectDrawSurface7::Blt", DDERR_GENERIC, 1);  // after the clear, the menu picture
  EXPECT_EQ(frame(), 0);
  EXPECT_EQ(game_start_button.focused, 0);
  EXPECT_EQ(next_message(), 0u);
  EXPECT_EQ(frame(), 1);  // the next frame runs normally and quits
  EXPECT_EQ(next_message(), (UINT)WM_DESTROY);
  // A completed frame lasts at least the frame delay.
  game_state = GAME_STATE_MENU;
  seam_key(DIK_ESCAPE, false);
  before = seam_clock_now();
  EXPECT_EQ(frame(), 1);
  EXPECT_GE(seam_clock_now() - before, (DWORD)game_frame_delay_ms);
}

}  // namespace
