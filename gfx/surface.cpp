// Placeholder until the DirectDraw layer lands: every draw is refused.
#include "gfx/surface.h"

IDirectDraw7* gfx_ddraw = nullptr;
Surface gfx_primary = nullptr;
Surface gfx_back_buffer = nullptr;
uint8_t* gfx_back_pixels = nullptr;
int32_t gfx_back_pitch = 0;

Surface gfx_create_surface(int32_t, int32_t, DWORD, Rgb16) { return nullptr; }
int gfx_fill(Surface, Rgb16, const RECT*) { return 1; }
int gfx_blit_keyed(Surface, const RECT*, Surface, const RECT*) { return 0; }
void gfx_lock_surface(Surface, DDSURFACEDESC2*) {}
int gfx_unlock_surface(Surface) { return 0; }
void gfx_lock_back_buffer() {}
int gfx_unlock_back_buffer() { return 0; }
HDC gfx_get_dc() { return nullptr; }
void gfx_release_dc(HDC) {}
int gfx_present() { return 0; }
