// Shared world of the play-state suites: a window and an open display, small solid pictures in
// distinct colours in every play surface (so the back buffer tells what was drawn where), idle
// keys and seeded records.
#pragma once
#include <gtest/gtest.h>

#include "gfx/surface.h"
#include "test_support.h"

constexpr uint16_t GT_LASER = 0x001F, GT_SHIP = 0x07E0, GT_ENEMY = 0xFFE0, GT_BLAST = 0xFC00;
constexpr uint16_t GT_SLOTS = 0x4208, GT_CAPTION = 0x8410;
inline uint16_t gt_digit(int d) { return uint16_t(0x0841 * (d + 1)); }
inline uint16_t gt_row(int picture, int r) { return uint16_t(1 + r + 1024 * picture); }  // backgrounds

void gt_hold(int dik, bool down = true);

class GameTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void park_enemies();      // just below the screen: no laser reaches, nothing recycles
  void release_pictures();  // every play surface released and nulled
  int live_before_ = 0;
};

// The whole per-frame function in play: input devices on injected keys, the virtual clock, the
// play state; all given back in the tear-down, also after a failed assertion.
class GameLoopTest : public GameTest {
 protected:
  void SetUp() override;
  void TearDown() override;
};
