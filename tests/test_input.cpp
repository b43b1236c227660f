// Keyboard and mouse: the device life cycle, reads with missing or failing devices, the key map.
#include <gtest/gtest.h>

#include <cstring>

#include "app_fixture.h"

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
    inp_direct_input = nullptr;
    inp_keyboard_device = nullptr;
    inp_mouse_device = nullptr;
    seam_reset();
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
  EXPECT_EQ(inp_key_state[DIK_LCONTROL], 0x80);
  EXPECT_EQ(inp_key_state[DIK_Q], 0x80);
  EXPECT_EQ(inp_key_state[DIK_W], 0);
  EXPECT_EQ(inp_mouse.lX, 5);
  EXPECT_EQ(inp_mouse.lY, -7);
  EXPECT_EQ(inp_mouse.lZ, 120);
  EXPECT_EQ(inp_mouse.rgbButtons[0], 0x80);
  // Motion is relative: the next read sees none, the held button stays.
  EXPECT_EQ(inp_read_mouse(), 1);
  EXPECT_EQ(inp_mouse.lX, 0);
  EXPECT_EQ(inp_mouse.lY, 0);
  EXPECT_EQ(inp_mouse.rgbButtons[0], 0x80);
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

TEST_F(InputTest, FailedAcquireOrReadLeavesTheRecordAlone) {
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
}

TEST_F(InputTest, FailedReadOfAnAcquiredDevice) {
  ASSERT_EQ(inp_init(), 1);
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

}  // namespace
