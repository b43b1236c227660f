// Pixel-exact overlap test of two frames as drawn this frame, through two scratch surfaces.
#pragma once
#include <cstdint>

#include "gfx/surface.h"
#include "platform/win32.h"

constexpr int32_t GAME_SCRATCH_SIZE = 160;  // every frame tested must fit in this square

// Created by the start-up with key 0; they hold nothing between calls.
extern Surface game_scratch_a;
extern Surface game_scratch_b;

// 1 when some screen pixel is covered by a non-zero pixel of both frames, the overlap's last
// row and column excluded; 0 when not, when a copy or lock fails, or when a frame does not
// fit the scratch surfaces. Each destination rectangle has its source rectangle's size.
uint8_t game_collide_pixels(RECT dest_a, RECT src_a, Surface image_a, RECT dest_b, RECT src_b,
                            Surface image_b);
