// A window and an open 1024 x 768 display for the graphics suites; closed again after each test.
#pragma once
#include <gtest/gtest.h>

#include <cstring>

#include "app/globals.h"
#include "gfx/display.h"
#include "gfx/surface.h"
#include "platform/port/options.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_video.h"
#include "platform/win32.h"
#include "test_support.h"

inline LRESULT CALLBACK gfx_test_wndproc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return DefWindowProcA(h, m, w, l);
}

inline void gfx_test_forget_display() {
  gfx_ddraw = nullptr;
  gfx_primary = nullptr;
  gfx_back_buffer = nullptr;
  gfx_back_clipper = nullptr;
  gfx_back_pixels = nullptr;
  gfx_back_pitch = 0;
}

inline HWND gfx_test_window() {
  seam_windows_reset();
  plat_options.window = true;
  WNDCLASSEXA wc;
  std::memset(&wc, 0, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = gfx_test_wndproc;
  wc.lpszClassName = "GFXTEST";
  RegisterClassExA(&wc);
  return CreateWindowExA(0, "GFXTEST", "GAME", WS_POPUP | WS_VISIBLE, 0, 0, 1024, 768, nullptr, nullptr,
                         nullptr, nullptr);
}

class GfxDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    seam_reset();
    gfx_test_forget_display();
    game_window = gfx_test_window();
    ASSERT_NE(game_window, nullptr);
    live_before_ = seam_video_live_objects();
    ASSERT_EQ(gfx_display_open(1024, 768, 16), 1);
  }
  void TearDown() override {
    gfx_unlock_back_buffer();
    gfx_display_close();
    gfx_test_forget_display();
    EXPECT_EQ(seam_video_live_objects(), live_before_) << "a surface or clipper was not released";
    seam_windows_reset();
  }
  static uint16_t pixel(Surface s, int x, int y) { return px_get(s, x, y); }
  int live_before_ = 0;
};
