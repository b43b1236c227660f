// Surfaces and the drawing vocabulary: fills, colour-keyed copies, locks, GDI contexts, present.
#pragma once
#include <cstdint>

#include "gfx/colour.h"
#include "platform/win32.h"

typedef IDirectDrawSurface7* Surface;  // null: no surface

extern IDirectDraw7* gfx_ddraw;
extern Surface gfx_primary;
extern Surface gfx_back_buffer;
extern uint8_t* gfx_back_pixels;  // while locked by gfx_lock_back_buffer, else null
extern int32_t gfx_back_pitch;    // bytes between row starts while locked, else 0
extern DDSURFACEDESC2 gfx_surface_desc;  // the back-buffer lock's record (and the primary's creation)

// Flip attempts gfx_present makes before it gives the frame up.
constexpr int GFX_FLIP_ATTEMPTS = 8;

Surface gfx_create_surface(int32_t width, int32_t height, DWORD caps, Rgb16 key);
int gfx_fill(Surface surface, Rgb16 colour, const RECT* rect);
int gfx_blit_keyed(Surface dest, const RECT* dest_rect, Surface src, const RECT* src_rect);
void gfx_lock_surface(Surface surface, DDSURFACEDESC2* desc);
int gfx_unlock_surface(Surface surface);
void gfx_lock_back_buffer();
int gfx_unlock_back_buffer();
HDC gfx_get_dc();  // null on failure
void gfx_release_dc(HDC dc);
int gfx_present();
