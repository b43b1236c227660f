// A whole game for the frame scenarios: a window, start-up on a data folder, scripted input, the
// virtual clock and a mixer that only moves when told; shutdown at the end.
#pragma once
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/menu.h"
#include "app/startup.h"
#include "app_fixture.h"
#include "test_support.h"

// The generated data folder (TARVELLIN_DATA, else ./data).
std::string world_data_dir();

// A new program run: the devices' records as they are before the first start-up, and the mixer
// moved only when told.
void world_new_program_run();

class WorldTest : public ::testing::Test {
 protected:
  void TearDown() override;
  // Opens the window, enters `dir` and runs the start-up with the trace on; `arm` runs just
  // before the start-up, after the seams were reset (to inject faults).
  void start(const std::string& dir, const std::function<void()>& arm = nullptr);
  // Runs one game_frame with the given mouse motion; keys stay as seam_key left them.
  int frame(int dx = 0, int dy = 0);
  // Puts the cursor at (x, y) for the next frame's button tests.
  void cursor_to(int x, int y);
  // A fresh copy of the generated folder without the listed files, removed after the test.
  std::string data_copy(const std::vector<std::string>& leave_out);
  // The buffer serial the sound of id `id` got, from the start-up's trace.
  int sound_serial(int id) const;
  int plays_of(int id) const;
  // The next message taken off the queue (0: none).
  static UINT next_message() {
    MSG msg;
    return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE) ? msg.message : 0;
  }

  std::vector<int> sound_serials_;
  bool started_ = false;
  char old_dir_[4096] = {};
  TempDir copies_;
  int copies_made_ = 0;
};
