// The drawing vocabulary over DirectDraw surfaces. Null surfaces are never touched.
#include "gfx/surface.h"

#include <cstring>

IDirectDraw7* gfx_ddraw = nullptr;
Surface gfx_primary = nullptr;
Surface gfx_back_buffer = nullptr;
uint8_t* gfx_back_pixels = nullptr;
int32_t gfx_back_pitch = 0;
DDSURFACEDESC2 gfx_surface_desc;

Surface gfx_create_surface(int32_t width, int32_t height, DWORD caps, Rgb16 key) {
  if (!gfx_ddraw) return nullptr;
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof desc);
  desc.dwSize = sizeof desc;
  desc.dwFlags = DDSD_CAPS | DDSD_HEIGHT | DDSD_WIDTH;
  desc.dwWidth = (DWORD)width;
  desc.dwHeight = (DWORD)height;
  desc.ddsCaps.dwCaps = caps | DDSCAPS_OFFSCREENPLAIN;
  Surface surface = nullptr;
  if (FAILED(gfx_ddraw->CreateSurface(&desc, &surface, nullptr)) || !surface) return nullptr;
  DDCOLORKEY ck;
  ck.dwColorSpaceLowValue = key;
  ck.dwColorSpaceHighValue = key;
  surface->SetColorKey(DDCKEY_SRCBLT, &ck);  // a surface without its key still draws
  return surface;
}

int gfx_fill(Surface surface, Rgb16 colour, const RECT* rect) {
  if (!surface) return 1;
  DDBLTFX fx;
  std::memset(&fx, 0, sizeof fx);
  fx.dwSize = sizeof fx;
  fx.dwFillColor = colour;
  RECT r;
  if (rect) r = *rect;
  surface->Blt(rect ? &r : nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx);
  return 1;
}

int gfx_blit_keyed(Surface dest, const RECT* dest_rect, Surface src, const RECT* src_rect) {
  if (!dest || !src) return 0;
  // Blt takes non-const rectangles; it does not write them, but copies keep the callers' const.
  RECT d, s;
  if (dest_rect) d = *dest_rect;
  if (src_rect) s = *src_rect;
  HRESULT hr = dest->Blt(dest_rect ? &d : nullptr, src, src_rect ? &s : nullptr, DDBLT_WAIT | DDBLT_KEYSRC, nullptr);
  return SUCCEEDED(hr) ? 1 : 0;
}

void gfx_lock_surface(Surface surface, DDSURFACEDESC2* desc) {
  if (!desc) return;
  std::memset(desc, 0, sizeof *desc);
  desc->dwSize = sizeof *desc;
  if (!surface) return;
  if (FAILED(surface->Lock(nullptr, desc, DDLOCK_WAIT, nullptr))) {
    desc->lpSurface = nullptr;  // a refused lock hands out no address
    desc->lPitch = 0;
  }
}

int gfx_unlock_surface(Surface surface) {
  if (!surface) return 0;
  surface->Unlock(nullptr);
  return 1;
}

void gfx_lock_back_buffer() {
  if (gfx_back_pixels) return;
  std::memset(&gfx_surface_desc, 0, sizeof gfx_surface_desc);
  gfx_surface_desc.dwSize = sizeof gfx_surface_desc;
  if (gfx_back_buffer) gfx_back_buffer->Lock(nullptr, &gfx_surface_desc, DDLOCK_WAIT, nullptr);
  gfx_back_pixels = (uint8_t*)gfx_surface_desc.lpSurface;
  gfx_back_pitch = gfx_back_pixels ? gfx_surface_desc.lPitch : 0;
}

int gfx_unlock_back_buffer() {
  if (!gfx_back_pixels) return 0;
  if (gfx_back_buffer) gfx_back_buffer->Unlock(nullptr);
  gfx_back_pixels = nullptr;
  gfx_back_pitch = 0;
  return 1;
}

HDC gfx_get_dc() {
  if (!gfx_back_buffer) return nullptr;
  HDC dc = nullptr;
  if (FAILED(gfx_back_buffer->GetDC(&dc))) return nullptr;
  return dc;
}

void gfx_release_dc(HDC dc) {
  if (gfx_back_buffer && dc) gfx_back_buffer->ReleaseDC(dc);
}

int gfx_present() {
  if (gfx_back_pixels || !gfx_primary) return 0;
  // A flip that keeps failing (surfaces lost, display gone) costs this frame, not the program.
  for (int attempt = 0; attempt < GFX_FLIP_ATTEMPTS; ++attempt)
    if (SUCCEEDED(gfx_primary->Flip(nullptr, DDFLIP_WAIT))) return 1;
  return 0;
}
