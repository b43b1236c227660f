// Opening and closing the full-screen display: DirectDraw object, flipping chain, clipper.
#pragma once
#include <cstdint>

#include "gfx/surface.h"
#include "platform/win32.h"

extern IDirectDrawClipper* gfx_back_clipper;

// 1 when the display is ready; 0 at the first failing step, leaving what was made in the
// display variables for gfx_display_close.
int gfx_display_open(int32_t width, int32_t height, int32_t bpp);
// Releases clipper, back buffer, primary and DirectDraw object, each if set; always 1.
int gfx_display_close();
// A clipper of `count` rectangles set on the surface; null on any failure.
IDirectDrawClipper* gfx_attach_clipper(Surface surface, int32_t count, const RECT* rects);
