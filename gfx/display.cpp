// The display: DirectDraw object, exclusive full screen, primary with one back buffer, clipper.
#include "gfx/display.h"

#include <cstdlib>
#include <cstring>

#include "app/globals.h"

IDirectDrawClipper* gfx_back_clipper = nullptr;

int gfx_display_open(int32_t width, int32_t height, int32_t bpp) {
  void* dd = nullptr;
  if (FAILED(DirectDrawCreateEx(nullptr, &dd, IID_IDirectDraw7, nullptr)) || !dd) return 0;
  gfx_ddraw = (IDirectDraw7*)dd;
  if (FAILED(gfx_ddraw->SetCooperativeLevel(game_window, DDSCL_FULLSCREEN | DDSCL_ALLOWREBOOT | DDSCL_EXCLUSIVE |
                                                             DDSCL_ALLOWMODEX | DDSCL_MULTITHREADED)))
    return 0;
  if (FAILED(gfx_ddraw->SetDisplayMode((DWORD)width, (DWORD)height, (DWORD)bpp, 0, 0))) return 0;

  std::memset(&gfx_surface_desc, 0, sizeof gfx_surface_desc);
  gfx_surface_desc.dwSize = sizeof gfx_surface_desc;
  gfx_surface_desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
  gfx_surface_desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX;
  gfx_surface_desc.dwBackBufferCount = 1;
  gfx_ddraw->CreateSurface(&gfx_surface_desc, &gfx_primary, nullptr);
  // Without a primary there is nothing to query or attach to: stop here rather than call
  // through a null surface.
  if (!gfx_primary) return 0;

  DDPIXELFORMAT pf;
  std::memset(&pf, 0, sizeof pf);
  pf.dwSize = sizeof pf;
  gfx_primary->GetPixelFormat(&pf);
  gfx_rgb_bit_count = (int32_t)pf.dwRGBBitCount;

  DDSCAPS2 caps;
  std::memset(&caps, 0, sizeof caps);
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  if (FAILED(gfx_primary->GetAttachedSurface(&caps, &gfx_back_buffer))) return 0;

  gfx_fill(gfx_primary, 0, nullptr);
  gfx_fill(gfx_back_buffer, 0, nullptr);

  RECT screen{0, 0, width, height};
  gfx_back_clipper = gfx_attach_clipper(gfx_back_buffer, 1, &screen);
  return 1;
}

int gfx_display_close() {
  if (gfx_back_clipper) gfx_back_clipper->Release();
  if (gfx_back_buffer) gfx_back_buffer->Release();
  if (gfx_primary) gfx_primary->Release();
  if (gfx_ddraw) gfx_ddraw->Release();
  return 1;
}

IDirectDrawClipper* gfx_attach_clipper(Surface surface, int32_t count, const RECT* rects) {
  // How many rectangles a list may hold is the clipper's to say (SetClipList refuses a longer one);
  // an int32_t count of RECTs cannot overflow the region's size here.
  if (!gfx_ddraw || !surface || count < 0 || (count > 0 && !rects)) return nullptr;
  IDirectDrawClipper* clipper = nullptr;
  if (FAILED(gfx_ddraw->CreateClipper(0, &clipper, nullptr)) || !clipper) return nullptr;
  RGNDATA* region = (RGNDATA*)std::malloc(sizeof(RGNDATAHEADER) + (size_t)count * sizeof(RECT));
  if (!region) {
    clipper->Release();
    return nullptr;
  }
  RGNDATAHEADER& h = region->rdh;
  h.dwSize = sizeof(RGNDATAHEADER);
  h.iType = RDH_RECTANGLES;
  h.nCount = (DWORD)count;
  h.nRgnSize = (DWORD)count * sizeof(RECT);
  h.rcBound = RECT{64000, 64000, -64000, -64000};
  if (count > 0) std::memcpy(region->Buffer, rects, (size_t)count * sizeof(RECT));
  for (int32_t i = 0; i < count; ++i) {
    const RECT& r = rects[i];
    if (r.left < h.rcBound.left) h.rcBound.left = r.left;
    if (r.top < h.rcBound.top) h.rcBound.top = r.top;
    if (r.right > h.rcBound.right) h.rcBound.right = r.right;
    if (r.bottom > h.rcBound.bottom) h.rcBound.bottom = r.bottom;
  }
  // The clipper goes back on failure as well: a clip list that was never attached serves no one.
  if (FAILED(clipper->SetClipList(region, 0)) || FAILED(surface->SetClipper(clipper))) {
    std::free(region);
    clipper->Release();
    return nullptr;
  }
  std::free(region);
  return clipper;
}
