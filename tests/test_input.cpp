// Keyboard and mouse: the device life cycle, reads with missing or failing devices, the key map.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "app_fixture.h"
#include "platform/demo/demo.h"
#include "platform/demo/demo_format.h"
#include "platform/host/input.h"
#include "platform/host/keymap.h"
#include "platform/host/pad.h"
#include "platform/host/window.h"
#include "platform/seams/seams_pad.h"
#include "test_support.h"

namespace {

class InputTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_fixture_reset();
    static HINSTANCE__ instance;
    game_instance = &instance;
  }
  void TearDown() override {
    inp_release_mouse();
    inp_release_keyboard();
    inp_shutdown();
  }
};

TEST_F(InputTest, ReadsWhatTheDevicesHold) {
  ASSERT_EQ(inp_init(), 1);
  ASSERT_EQ(inp_create_keyboard(), 1);
  ASSERT_EQ(inp_create_mouse(), 1);
  seam_key(DIK_LCONTROL, true);
  seam_key(DIK_Q, true);
  seam_mouse_move(5, -7, 120);
  seam_mouse_button(0, true);
  EXPECT_EQ(inp_read_keyboard(), 1);
  EXPECT_EQ(inp_read_mouse(), 1);
  EXPECT_EQ((std::vector<int>{inp_key_state[DIK_LCONTROL], inp_key_state[DIK_Q], inp_key_state[DIK_W]}),
            (std::vector<int>{0x80, 0x80, 0}));
  auto mouse = [] {
    return std::vector<LONG>{inp_mouse.lX, inp_mouse.lY, inp_mouse.lZ, inp_mouse.rgbButtons[0]};
  };
  EXPECT_EQ(mouse(), (std::vector<LONG>{5, -7, 120, 0x80}));
  // Motion is relative: the next read sees none, the held button stays.
  EXPECT_EQ(inp_read_mouse(), 1);
  EXPECT_EQ(mouse(), (std::vector<LONG>{0, 0, 0, 0x80}));
}

TEST_F(InputTest, MissingDevicesReadAsNothingHeld) {
  seam_fail("DirectInput8Create", E_FAIL);
  EXPECT_EQ(inp_init(), 0);
  EXPECT_EQ(inp_direct_input, nullptr);
  EXPECT_EQ(inp_create_keyboard() + inp_create_mouse(), 0);  // no DirectInput object to ask
  ASSERT_EQ(inp_init(), 1);
  seam_fail("IDirectInput8::CreateDevice", E_FAIL, 0, 2);
  EXPECT_EQ(inp_create_keyboard(), 0);
  EXPECT_EQ(inp_create_mouse(), 0);
  EXPECT_EQ(inp_keyboard_device, nullptr);
  EXPECT_EQ(inp_mouse_device, nullptr);
  seam_key(DIK_ESCAPE, true);
  seam_mouse_move(3, 3);
  std::memset(inp_key_state, 0xFF, sizeof inp_key_state);
  std::memset(&inp_mouse, 0xFF, sizeof inp_mouse);
  EXPECT_EQ(inp_read_keyboard(), 0);
  EXPECT_EQ(inp_read_mouse(), 0);
  for (int i = 0; i < 256; ++i) ASSERT_EQ(inp_key_state[i], 0) << i;
  EXPECT_EQ(inp_mouse.lX, 0);
  EXPECT_EQ(inp_mouse.rgbButtons[0], 0);
}

TEST_F(InputTest, FailedAcquireOrReadKeepsTheRecord) {
  ASSERT_EQ(inp_init(), 1);
  // A success code other than DI_OK still counts as a failed creation; the device stays.
  seam_fail("IDirectInputDevice8::Acquire", S_FALSE);
  EXPECT_EQ(inp_create_keyboard(), 0);
  ASSERT_NE(inp_keyboard_device, nullptr);
  seam_fail("IDirectInputDevice8::Acquire", DIERR_INPUTLOST);
  EXPECT_EQ(inp_create_mouse(), 0);
  ASSERT_NE(inp_mouse_device, nullptr);

  seam_key(DIK_A, true);
  std::memset(inp_key_state, 0x11, sizeof inp_key_state);
  EXPECT_EQ(inp_read_keyboard(), 0);  // never acquired: the read fails every frame
  EXPECT_EQ(inp_key_state[DIK_A], 0x11);
  EXPECT_EQ(inp_key_state[0], 0x11);

  // An acquired device whose read fails.
  inp_release_keyboard();
  ASSERT_EQ(inp_create_keyboard(), 1);
  seam_key(DIK_S, true);
  ASSERT_EQ(inp_read_keyboard(), 1);
  seam_key(DIK_S, false);
  seam_fail("IDirectInputDevice8::GetDeviceState", DIERR_INPUTLOST);
  EXPECT_EQ(inp_read_keyboard(), 0);
  EXPECT_EQ(inp_key_state[DIK_S], 0x80);  // the previous frame's state is kept
  EXPECT_EQ(inp_read_keyboard(), 1);      // no re-acquire is needed for the next read
  EXPECT_EQ(inp_key_state[DIK_S], 0);
}

TEST(KeyMap, KeysMapByPosition) {
  // SDL scancodes are USB usage numbers, so the test can name them without SDL's headers.
  struct {
    int scancode;
    int dik;
  } cases[] = {{41, DIK_ESCAPE},  {20, DIK_Q},           {26, DIK_W},      {4, DIK_A},
               {22, DIK_S},       {18, DIK_O},           {19, DIK_P},      {224, DIK_LCONTROL},
               {226, DIK_LMENU},  {82, DIK_UP},          {81, DIK_DOWN},   {80, DIK_LEFT},
               {79, DIK_RIGHT},   {44, DIK_SPACE},       {40, DIK_RETURN}, {228, DIK_RCONTROL},
               {230, DIK_RMENU},  {88, DIK_NUMPADENTER}, {58, DIK_F1},     {69, DIK_F12},
               {100, DIK_OEM_102}};
  for (auto c : cases) EXPECT_EQ(plat_dik_of_scancode(c.scancode), c.dik) << c.scancode;
  EXPECT_EQ(plat_dik_of_scancode(-1), 0);
  EXPECT_EQ(plat_dik_of_scancode(100000), 0);
  // The whole keyboard, not only the game's keys: letters, digits, function keys, keypad.
  int mapped = 0;
  bool seen[256] = {};
  for (int sc = 0; sc < 512; ++sc) {
    int dik = plat_dik_of_scancode(sc);
    if (!dik) continue;
    ++mapped;
    seen[dik] = true;
  }
  EXPECT_GE(mapped, 120);
  for (int dik = DIK_ESCAPE; dik <= DIK_F10; ++dik) EXPECT_TRUE(seen[dik]) << dik;
}

// The border's output, as the keyboard device and the mouse device read it.
struct Border {
  BYTE keys[256];
  PlatMouse mouse;
  Border() {
    EXPECT_EQ(plat_input_keyboard(S_OK, keys), S_OK);
    EXPECT_EQ(plat_input_mouse(S_OK, &mouse), S_OK);
  }
  std::vector<int> held() const {
    std::vector<int> h;
    for (int k = 0; k < 256; ++k)
      if (keys[k]) h.push_back(k);
    return h;
  }
};
using Keys = std::vector<int>;

class PadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    seam_reset();
    char why[256];
    ASSERT_TRUE(plat_video_start(why, sizeof why)) << why;
    a_ = seam_pad_attach();
    ASSERT_GE(a_, 0);
  }
  void TearDown() override { game_state = GAME_STATE_MENU; }
  int a_ = -1;
};

TEST_F(PadTest, PlayMappingDeadZoneHotPlugAndTwoPads) {
  game_state = GAME_STATE_PLAY;
  EXPECT_EQ(Border().held(), Keys{});  // at rest, triggers included
  seam_pad_axis(a_, "leftx", -32767 / 3 + 200);
  EXPECT_EQ(Border().held(), Keys{});  // inside the dead zone
  seam_pad_axis(a_, "leftx", -32767 / 3 - 200);
  seam_pad_axis(a_, "lefty", 32767);
  seam_pad_axis(a_, "righty", -20000);
  EXPECT_EQ(Border().held(), (Keys{DIK_O, DIK_LEFT, DIK_DOWN}));
  seam_pad_axis(a_, "leftx", 0), seam_pad_axis(a_, "lefty", 0), seam_pad_axis(a_, "righty", 20000);
  for (const char* b : {"a", "x", "y", "leftshoulder", "rightshoulder", "dpup", "back", "b", "start"})
    seam_pad_button(a_, b, true);
  EXPECT_EQ(Border().held(), (Keys{DIK_ESCAPE, DIK_Q, DIK_W, DIK_P, DIK_LCONTROL, DIK_A, DIK_S, DIK_UP}));
  // Pulled out while held, and a second pad plugged in mid-play: both pads act as one.
  seam_pad_detach(a_);
  EXPECT_EQ(Border().held(), Keys{});
  const int b = seam_pad_attach(), c = seam_pad_attach();
  Border();  // they arrive at this pump
  seam_pad_axis(b, "leftx", -15000);
  seam_pad_axis(c, "leftx", 30000);  // the strongest axis wins
  seam_pad_axis(c, "righttrigger", 20000);
  seam_pad_button(b, "dpdown", true);
  EXPECT_EQ(Border().held(), (Keys{DIK_LCONTROL, DIK_RIGHT, DIK_DOWN}));
  // --map on pad buttons: pad:dpdown gives Q instead, the trigger still fires.
  ASSERT_EQ(plat_keymap_add(&plat_options, "pad:dpdown=Q"), nullptr);
  EXPECT_EQ(Border().held(), (Keys{DIK_Q, DIK_LCONTROL, DIK_RIGHT}));
}

// The shipped binary reads TARVELLIN_TEST_PAD: only a FIFO, whose lines are bounded, across reads too.
TEST_F(PadTest, ScriptTakesOnlyAFifoAndBoundsItsLines) {
  TempDir dir;
  const std::string file = dir.path + "/script", fifo = dir.path + "/fifo";
  std::ofstream(file) << "bogus\n";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {file, std::string("/dev/zero")}) {
    EnvGuard env("TARVELLIN_TEST_PAD", path.c_str());
    seam_pad_script_reset();
    testing::internal::CaptureStderr();
    seam_pad_script_poll();
    seam_pad_script_poll();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "tarvellin: TARVELLIN_TEST_PAD: " + path + " is not a FIFO (make one with mkfifo); ignored\n");
  }
  EnvGuard env("TARVELLIN_TEST_PAD", fifo.c_str());
  seam_pad_script_reset();
  seam_pad_script_poll();
  const int w = open(fifo.c_str(), O_WRONLY | O_NONBLOCK);
  ASSERT_GE(w, 0);
  const std::string part1(200, 'x'), part2 = std::string(100, 'x') + "\nbogus 2\nbutton a";
  testing::internal::CaptureStderr();
  ASSERT_EQ(write(w, part1.data(), part1.size()), (ssize_t)part1.size());
  seam_pad_script_poll();
  ASSERT_EQ(write(w, part2.data(), part2.size()), (ssize_t)part2.size());
  seam_pad_script_poll();
  ASSERT_EQ(write(w, " 1\n", 3), 3);
  seam_pad_script_poll();
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tarvellin: test pad: a line longer than 256 bytes; dropped\n"
            "tarvellin: test pad: cannot 'bogus 2'\n"
            "tarvellin: test pad: cannot 'button a 1'\n");  // no pad attached by the script
  close(w);
  seam_pad_script_reset();
}

TEST_F(PadTest, MenuAndInformationScreenGetTheCursorAndEscape) {
  game_state = GAME_STATE_MENU;
  seam_pad_button(a_, "a", true);
  seam_pad_button(a_, "b", true);
  seam_pad_axis(a_, "leftx", 32767);
  seam_pad_axis(a_, "lefty", -16384);
  Border first;                     // starts the clock of the cursor's motion
  EXPECT_EQ(first.held(), Keys{});  // south clicks and B does nothing in the menu
  EXPECT_EQ(first.mouse.buttons[0], 0x80);
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  Border later;  // 50 to 100 ms (a longer step is cut) of full tilt at 1024 px a second
  EXPECT_GE(later.mouse.dx, 49);
  EXPECT_LE(later.mouse.dx, 103);
  EXPECT_NEAR(later.mouse.dy, -later.mouse.dx / 2, 2);
  game_state = GAME_STATE_INFO;
  EXPECT_EQ(Border().held(), Keys{DIK_ESCAPE});  // B on the information screen
  seam_pad_button(a_, "b", false);
  seam_pad_axis(a_, "leftx", 0), seam_pad_axis(a_, "lefty", 0);
  seam_pad_button(a_, "dpleft", true);
  Border nudged;
  EXPECT_EQ(nudged.held(), Keys{});
  EXPECT_LT(nudged.mouse.dx, 0);
  EXPECT_EQ(nudged.mouse.dy, 0);
  game_state = GAME_STATE_MENU;
  seam_pad_button(a_, "back", true);
  EXPECT_EQ(Border().held(), Keys{DIK_ESCAPE});
  EXPECT_TRUE(plat_input_async(DIK_ESCAPE) & 0x8000);  // GetAsyncKeyState sees the pad as well
}

// A pad mapping holds wherever the pad acts: mapped away, Back no longer quits from the menu, B
// no longer leaves the Authors screen and the south button no longer clicks; a button mapped to
// Esc, fire or an arrow is Escape, clicks or nudges there, and Escape ends a replay.
TEST_F(PadTest, MappingsHoldInTheMenuAndOnTheAuthorsScreen) {
  for (const char* m :
       {"pad:back=none", "pad:a=none", "pad:b=none", "pad:x=Esc", "pad:y=LCtrl", "pad:dpup=Down"})
    ASSERT_EQ(plat_keymap_add(&plat_options, m), nullptr) << m;
  constexpr int kB = 1, kX = 2, kBack = 4;  // SDL's button numbers
  for (const char* b : {"back", "a", "b"}) seam_pad_button(a_, b, true);
  for (int screen : {GAME_STATE_MENU, GAME_STATE_INFO}) {
    game_state = screen;
    Border none;
    EXPECT_EQ(none.held(), Keys{}) << screen;
    EXPECT_EQ(none.mouse.buttons[0], 0) << screen;
    EXPECT_FALSE(plat_input_async(DIK_ESCAPE) & 0x8000) << screen;
  }
  EXPECT_FALSE(plat_pad_button_escapes(PLAT_SCREEN_MENU, kBack));
  EXPECT_FALSE(plat_pad_button_escapes(PLAT_SCREEN_INFO, kB));
  for (const char* b : {"back", "a", "b"}) seam_pad_button(a_, b, false);
  for (const char* b : {"x", "y", "dpup"}) seam_pad_button(a_, b, true);
  game_state = GAME_STATE_MENU;
  Border mapped;
  EXPECT_EQ(mapped.held(), Keys{DIK_ESCAPE});
  EXPECT_EQ(mapped.mouse.buttons[0], 0x80);
  EXPECT_GT(mapped.mouse.dy, 0);
  EXPECT_TRUE(plat_pad_button_escapes(PLAT_SCREEN_MENU, kX));
  game_state = GAME_STATE_PLAY;
  EXPECT_EQ(Border().held(), (Keys{DIK_ESCAPE, DIK_LCONTROL, DIK_DOWN}));
}

TEST(KeyMap, RemappedKeysAndToggleFire) {
  seam_reset();
  seam_input_inject(true);
  game_state = GAME_STATE_PLAY;
  PlatOptions& o = plat_options;
  ASSERT_EQ(plat_keymap_add(&o, "Space=LCtrl"), nullptr);
  ASSERT_EQ(plat_keymap_add(&o, "Z=left"), nullptr);
  seam_key(DIK_SPACE, true);
  seam_key(DIK_Z, true);
  seam_key(DIK_LCONTROL, true);
  EXPECT_EQ(Border().held(), (Keys{DIK_LCONTROL, DIK_LEFT}));  // left Ctrl itself still fires
  ASSERT_EQ(plat_keymap_add(&o, "left ctrl=none"), nullptr);
  seam_key(DIK_SPACE, false);
  EXPECT_EQ(Border().held(), Keys{DIK_LEFT});
  // Toggle fire: on at a press, kept through releases and repeated reads, off at the next press.
  o.fire_toggle = true;
  game_state = GAME_STATE_MENU;  // a latch an earlier test left is dropped outside play
  Border();
  game_state = GAME_STATE_PLAY;
  bool fire[] = {true, true, false, false, true, false, true, true};
  bool want[] = {true, true, true, true, false, false, true, true};
  for (int i = 0; i < 8; ++i) {
    seam_key(DIK_SPACE, fire[i]);
    EXPECT_EQ(Border().keys[DIK_LCONTROL], want[i] ? 0x80 : 0) << i;
  }
  game_state = GAME_STATE_MENU;  // leaving play stops it
  EXPECT_EQ(Border().keys[DIK_LCONTROL], 0);
  seam_key(DIK_SPACE, false);
  game_state = GAME_STATE_PLAY;
  EXPECT_EQ(Border().keys[DIK_LCONTROL], 0);
  game_state = GAME_STATE_MENU;
}

TEST(KeyMap, AReplayKeepsTheFireLatchAndHandsItOver) {
  // Two passes replayed, then the player has the game (--playdemo-continue). Live presses during
  // the replay leave the latch alone; at the hand-over it is as the replay's keys had it.
  for (bool latched : {true, false}) {
    seam_reset();
    seam_input_inject(true);
    game_state = GAME_STATE_PLAY;
    std::vector<DemoPass> passes(3);
    for (DemoPass& p : passes) p.keys[DIK_LCONTROL] = latched ? 0x80 : 0;
    DemoEncoder enc;
    DemoHeader h;
    game_demo_hooks.opening(&h.state, &h.frame_delay);
    enc.header(h);
    for (const DemoPass& p : passes) enc.pass(p);
    enc.end(DemoEnd{2, 0});
    std::vector<uint8_t> bytes;
    enc.take(&bytes);
    TempDir tmp;
    const std::string path = tmp.write("latch.demo", bytes);
    plat_demo_reset();
    plat_demo_options.play = path.c_str();
    plat_demo_options.play_continue = true;
    plat_options.fire_toggle = true;
    ASSERT_EQ(plat_demo_begin(), 0);
    for (int i = 0; i < 2; ++i) {
      plat_input_pass();
      seam_key(DIK_LCONTROL, !latched && i == 0);  // a press and its release while watching
      EXPECT_EQ(Border().keys[DIK_LCONTROL], latched ? 0x80 : 0) << i;
    }
    plat_input_pass();  // the hand-over
    EXPECT_FALSE(plat_demo_replaying());
    EXPECT_EQ(Border().keys[DIK_LCONTROL], latched ? 0x80 : 0) << latched;
    seam_key(DIK_LCONTROL, true);  // the player's own press toggles it
    EXPECT_EQ(Border().keys[DIK_LCONTROL], latched ? 0 : 0x80) << latched;
    plat_demo_end(0);
    plat_demo_reset();
    plat_options.fire_toggle = false;
    game_state = GAME_STATE_MENU;
  }
}

}  // namespace
