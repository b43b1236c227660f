// Runs every suite headless: SDL's offscreen video and dummy audio, no window on screen. Whatever
// ran before, each test starts from the same process-wide state.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "app/globals.h"
#include "app/overlay.h"
#include "gfx/display.h"
#include "input/input.h"
#include "music/music.h"
#include "platform/demo/demo.h"
#include "platform/host/input.h"
#include "platform/port/options.h"
#include "platform/seams/seams.h"
#include "sfx/sound.h"

namespace {

// What a test may change and must not hand on: settings are put back, and the device records,
// which point at released objects once a run has shut down, are cleared as at program start.
class RestoreAfterEachTest : public ::testing::EmptyTestEventListener {
  PlatOptions options_;
  int bits_ = 0;
  void OnTestStart(const ::testing::TestInfo&) override {
    options_ = plat_options;
    bits_ = gfx_rgb_bit_count;
  }
  void OnTestEnd(const ::testing::TestInfo&) override {
    plat_options = options_;
    gfx_rgb_bit_count = bits_;
    plat_clear_fatal();
    seam_reset();
    game_window = nullptr;
    gfx_ddraw = nullptr, gfx_primary = gfx_back_buffer = nullptr;
    snd_direct_sound = nullptr;
    mus_performance = nullptr, mus_loader = nullptr;
    inp_direct_input = nullptr, inp_keyboard_device = inp_mouse_device = nullptr;
    std::memset(inp_key_state, 0, sizeof inp_key_state);
  }
};

}  // namespace

int main(int argc, char** argv) {
  setenv("SDL_VIDEODRIVER", "offscreen", 0);
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  ::testing::InitGoogleTest(&argc, argv);
  plat_demo_set_game(&game_demo_hooks);  // as main() does
  plat_input_set_screen(game_demo_hooks.screen);
  ::testing::UnitTest::GetInstance()->listeners().Append(new RestoreAfterEachTest);
  return RUN_ALL_TESTS();
}
