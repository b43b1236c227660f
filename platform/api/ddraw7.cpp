// DirectDraw 7 over plain memory: every surface is RGB565 rows with a pitch, Blt is done here,
// and only Flip reaches SDL (host/present.cpp); the pixel work is in ddraw7_blit.cpp.
#include "platform/api/ddraw7.h"

#include <cstdlib>
#include <cstring>
#include <ctime>

#include "platform/api/ddraw7_blit.h"
#include "platform/host/pixels.h"
#include "platform/host/present.h"
#include "platform/host/window.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_internal.h"
#include "platform/seams/seams_video.h"

const GUID IID_IDirectDraw7 = {0x15e65ec0, 0x3b9c, 0x11d2, {0xb9, 0x2f, 0x00, 0x60, 0x97, 0x97, 0xea, 0x5b}};

namespace {

constexpr int32_t kMaxSide = 16384;

int g_serial = 0;
int g_live = 0;
int g_frames = 0;
int64_t g_present_us = 0;
IDirectDrawSurface7* g_shown = nullptr;  // the primary whose pixels were last presented
IDirectDrawSurface7* g_log_dest = nullptr;
SeamDraw* g_log = nullptr;
int g_log_cap = 0, g_log_n = 0;

void log_draw(IDirectDrawSurface7* src, const RECT& dest, const RECT& src_rect, bool fill, bool lock,
              uint16_t colour) {
  if (g_log_n < g_log_cap) g_log[g_log_n++] = SeamDraw{src, dest, src_rect, fill, lock, colour};
}

DdPixels pixels_of(IDirectDrawSurface7* s) { return DdPixels{s->pixels, s->pitch, s->width}; }

IDirectDrawSurface7* surface_new(int32_t w, int32_t h, DWORD caps) {
  // The pitch always exceeds twice the width, so code that forgets the pitch shows up in tests.
  int32_t pitch = ((w * 2 + 31) & ~31) + 32;
  uint8_t* pixels = (uint8_t*)std::calloc((size_t)pitch, (size_t)h);
  if (!pixels) return nullptr;
  IDirectDrawSurface7* s = new IDirectDrawSurface7{};
  s->refs = 1;
  s->serial = ++g_serial;
  s->width = w;
  s->height = h;
  s->pitch = pitch;
  s->pixels = pixels;
  s->caps = caps;
  ++g_live;
  seam_trace("CreateSurface %dx%d #%d", w, h, s->serial);
  return s;
}

void fill_pixel_format(DDPIXELFORMAT* pf) {
  DWORD size = pf->dwSize;
  std::memset(pf, 0, sizeof *pf);
  pf->dwSize = size ? size : (DWORD)sizeof *pf;
  pf->dwFlags = DDPF_RGB;
  pf->dwRGBBitCount = 16;
  pf->dwRBitMask = 0xF800;
  pf->dwGBitMask = 0x07E0;
  pf->dwBBitMask = 0x001F;
}

void fill_desc(IDirectDrawSurface7* s, DDSURFACEDESC2* desc) {
  desc->dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PITCH | DDSD_PIXELFORMAT;
  desc->dwWidth = (DWORD)s->width;
  desc->dwHeight = (DWORD)s->height;
  desc->lPitch = s->pitch;
  desc->ddsCaps.dwCaps = s->caps;
  desc->ddpfPixelFormat.dwSize = sizeof(DDPIXELFORMAT);
  fill_pixel_format(&desc->ddpfPixelFormat);
  if (s->has_key) {
    desc->dwFlags |= DDSD_CKSRCBLT;
    desc->ddckCKSrcBlt = s->key;
  }
}

}  // namespace

// ---------------------------------------------------------------- DirectDraw object

HRESULT WINAPI DirectDrawCreateEx(GUID*, LPVOID* lplpDD, REFIID iid, IUnknown* pUnkOuter) {
  SEAM_FAULT("DirectDrawCreateEx");
  if (!lplpDD) return DDERR_INVALIDPARAMS;
  *lplpDD = nullptr;
  if (pUnkOuter || !(iid == IID_IDirectDraw7)) return DDERR_INVALIDPARAMS;
  IDirectDraw7* dd = new IDirectDraw7{};
  dd->refs = 1;
  dd->serial = ++g_serial;
  ++g_live;
  seam_trace("DirectDrawCreateEx #%d", dd->serial);
  *lplpDD = dd;
  return DD_OK;
}

ULONG IDirectDraw7::AddRef() { return ++refs; }

ULONG IDirectDraw7::Release() {
  seam_trace("Release ddraw #%d", serial);
  ULONG left = --refs;
  if (left == 0) {
    --g_live;
    delete this;
  }
  return left;
}

HRESULT IDirectDraw7::SetCooperativeLevel(HWND hWnd, DWORD dwFlags) {
  SEAM_FAULT("IDirectDraw7::SetCooperativeLevel");
  bool exclusive = dwFlags & DDSCL_EXCLUSIVE;
  bool full = dwFlags & DDSCL_FULLSCREEN;
  if (exclusive != full) return DDERR_INVALIDPARAMS;  // one goes only with the other
  if (exclusive && !plat_window_known(hWnd)) return DDERR_INVALIDPARAMS;
  window = hWnd;
  coop_flags = dwFlags;
  seam_trace("SetCooperativeLevel 0x%x", (unsigned)dwFlags);
  return DD_OK;
}

HRESULT IDirectDraw7::SetDisplayMode(DWORD dwWidth, DWORD dwHeight, DWORD dwBPP, DWORD, DWORD) {
  SEAM_FAULT("IDirectDraw7::SetDisplayMode");
  if (!(coop_flags & DDSCL_EXCLUSIVE)) return DDERR_NOEXCLUSIVEMODE;
  // Only the 16-bit 5.6.5 format exists here; the picture is scaled to the window on Flip.
  if (dwBPP != 16 || dwWidth == 0 || dwHeight == 0 || dwWidth > 4096 || dwHeight > 4096)
    return DDERR_INVALIDMODE;
  mode_width = (int32_t)dwWidth;
  mode_height = (int32_t)dwHeight;
  mode_bpp = (int32_t)dwBPP;
  seam_trace("SetDisplayMode %ux%ux%u", (unsigned)dwWidth, (unsigned)dwHeight, (unsigned)dwBPP);
  return DD_OK;
}

HRESULT IDirectDraw7::CreateSurface(LPDDSURFACEDESC2 desc, LPDIRECTDRAWSURFACE7* out, IUnknown* pUnkOuter) {
  SEAM_FAULT("IDirectDraw7::CreateSurface");
  if (!desc || !out || pUnkOuter) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  DWORD caps = (desc->dwFlags & DDSD_CAPS) ? desc->ddsCaps.dwCaps : 0;
  if (caps & DDSCAPS_PRIMARYSURFACE) {
    if (!mode_width) return DDERR_NOEXCLUSIVEMODE;
    DWORD backs = (desc->dwFlags & DDSD_BACKBUFFERCOUNT) ? desc->dwBackBufferCount : 0;
    if (backs > 1 ||
        (backs == 1) != ((caps & (DDSCAPS_FLIP | DDSCAPS_COMPLEX)) == (DDSCAPS_FLIP | DDSCAPS_COMPLEX)))
      return DDERR_INVALIDPARAMS;
    IDirectDrawSurface7* front = surface_new(mode_width, mode_height, caps | DDSCAPS_FRONTBUFFER);
    if (!front) return DDERR_OUTOFMEMORY;
    front->owner = this;
    if (backs == 1) {
      IDirectDrawSurface7* back = surface_new(mode_width, mode_height, DDSCAPS_BACKBUFFER | DDSCAPS_FLIP);
      if (!back) {
        front->Release();
        return DDERR_OUTOFMEMORY;
      }
      front->attached = back;  // the chain holds the back buffer's first reference
    }
    *out = front;
    return DD_OK;
  }
  DWORD need = DDSD_WIDTH | DDSD_HEIGHT;
  if ((desc->dwFlags & need) != need) return DDERR_INVALIDPARAMS;
  if (desc->dwWidth == 0 || desc->dwHeight == 0 || desc->dwWidth > (DWORD)kMaxSide ||
      desc->dwHeight > (DWORD)kMaxSide)
    return DDERR_INVALIDPARAMS;
  if ((desc->dwFlags & DDSD_PIXELFORMAT) && desc->ddpfPixelFormat.dwRGBBitCount != 16)
    return DDERR_INVALIDPARAMS;
  IDirectDrawSurface7* s =
      surface_new((int32_t)desc->dwWidth, (int32_t)desc->dwHeight, caps | DDSCAPS_OFFSCREENPLAIN);
  if (!s) return DDERR_OUTOFMEMORY;
  if (desc->dwFlags & DDSD_CKSRCBLT) {
    s->has_key = true;
    s->key = desc->ddckCKSrcBlt;
  }
  *out = s;
  return DD_OK;
}

HRESULT IDirectDraw7::CreateClipper(DWORD, LPDIRECTDRAWCLIPPER* out, IUnknown* pUnkOuter) {
  SEAM_FAULT("IDirectDraw7::CreateClipper");
  if (!out || pUnkOuter) return DDERR_INVALIDPARAMS;
  IDirectDrawClipper* c = new IDirectDrawClipper{};
  c->refs = 1;
  c->serial = ++g_serial;
  ++g_live;
  seam_trace("CreateClipper #%d", c->serial);
  *out = c;
  return DD_OK;
}

// ---------------------------------------------------------------- clipper

ULONG IDirectDrawClipper::AddRef() { return ++refs; }

ULONG IDirectDrawClipper::Release() {
  seam_trace("Release clipper #%d", serial);
  ULONG left = --refs;
  if (left == 0) {
    --g_live;
    delete this;
  }
  return left;
}

HRESULT IDirectDrawClipper::SetClipList(LPRGNDATA list, DWORD dwFlags) {
  SEAM_FAULT("IDirectDrawClipper::SetClipList");
  if (dwFlags) return DDERR_INVALIDPARAMS;
  if (!list) {
    has_list = false;
    return DD_OK;
  }
  const RGNDATAHEADER& h = list->rdh;
  if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return DDERR_INVALIDCLIPLIST;
  if (h.nCount > (DWORD)kMaxRects) return DDERR_REGIONTOOSMALL;
  header = h;
  std::memcpy(rects, list->Buffer, (size_t)h.nCount * sizeof(RECT));
  has_list = true;
  return DD_OK;
}

HRESULT IDirectDrawClipper::GetClipList(LPRECT, LPRGNDATA list, LPDWORD size) {
  if (!size) return DDERR_INVALIDPARAMS;
  if (!has_list) return DDERR_NOCLIPLIST;
  DWORD need = (DWORD)(sizeof(RGNDATAHEADER) + header.nCount * sizeof(RECT));
  if (!list) {
    *size = need;
    return DD_OK;
  }
  if (*size < need) {
    *size = need;
    return DDERR_REGIONTOOSMALL;
  }
  list->rdh = header;
  std::memcpy(list->Buffer, rects, header.nCount * sizeof(RECT));
  return DD_OK;
}

// ---------------------------------------------------------------- surface

ULONG IDirectDrawSurface7::AddRef() { return ++refs; }

ULONG IDirectDrawSurface7::Release() {
  seam_trace("Release surface #%d", serial);
  ULONG left = --refs;
  if (left == 0) {
    if (dc) plat_dc_release(dc);
    if (clipper) clipper->Release();
    if (attached) attached->Release();
    if (g_shown == this) g_shown = nullptr;
    std::free(pixels);
    --g_live;
    delete this;
  }
  return left;
}

HRESULT IDirectDrawSurface7::Blt(LPRECT lpDestRect, LPDIRECTDRAWSURFACE7 src, LPRECT lpSrcRect, DWORD dwFlags,
                                 LPDDBLTFX fx) {
  SEAM_FAULT("IDirectDrawSurface7::Blt");
  if (locked || dc) return DDERR_SURFACEBUSY;
  RECT dr = lpDestRect ? *lpDestRect : RECT{0, 0, width, height};
  bool fill = dwFlags & DDBLT_COLORFILL;
  if (fill && !fx) return DDERR_INVALIDPARAMS;
  if (!fill && !src) return DDERR_INVALIDPARAMS;
  RECT sr{};
  if (!fill) {
    if (src->locked || src->dc) return DDERR_SURFACEBUSY;
    sr = lpSrcRect ? *lpSrcRect : RECT{0, 0, src->width, src->height};
    if (dd_rect_empty(sr)) return DD_OK;
    if (!dd_rect_inside(sr, src->width, src->height)) return DDERR_INVALIDRECT;
  }
  if (dd_rect_empty(dr)) return DD_OK;
  if (g_log_dest == this)
    log_draw(fill ? nullptr : src, dr, sr, fill, false, fill ? (uint16_t)fx->dwFillColor : 0);
  if (!clipper || !clipper->has_list) {
    if (!dd_rect_inside(dr, width, height)) return DDERR_INVALIDRECT;
  } else if ((int64_t)dr.right - dr.left > 2 * kMaxSide || (int64_t)dr.bottom - dr.top > 2 * kMaxSide) {
    return DDERR_INVALIDRECT;  // keeps the scaling arithmetic far from overflow
  }
  bool keyed = (dwFlags & DDBLT_KEYSRC) && !fill && src->has_key;
  uint16_t lo = 0, hi = 0;
  if (keyed) {
    lo = (uint16_t)src->key.dwColorSpaceLowValue;
    hi = (uint16_t)src->key.dwColorSpaceHighValue;
    if (hi < lo) hi = lo;
  }
  const RECT whole{0, 0, width, height};
  int parts = (clipper && clipper->has_list) ? (int)clipper->header.nCount : 1;
  for (int i = 0; i < parts; ++i) {
    RECT clip = dd_rect_intersect(dr, whole);
    if (clipper && clipper->has_list) clip = dd_rect_intersect(clip, clipper->rects[i]);
    if (dd_rect_empty(clip)) continue;
    if (fill)
      dd_fill_rect(pixels_of(this), clip, (uint16_t)fx->dwFillColor);
    else
      dd_copy_rect(pixels_of(this), dr, clip, pixels_of(src), sr, keyed, lo, hi);
  }
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Lock(LPRECT lpDestRect, LPDDSURFACEDESC2 desc, DWORD, HANDLE) {
  SEAM_FAULT("IDirectDrawSurface7::Lock");
  if (!desc) return DDERR_INVALIDPARAMS;
  if (locked || dc) return DDERR_SURFACEBUSY;
  RECT r = lpDestRect ? *lpDestRect : RECT{0, 0, width, height};
  if (dd_rect_empty(r) || !dd_rect_inside(r, width, height)) return DDERR_INVALIDRECT;
  fill_desc(this, desc);
  if (g_log_dest == this) log_draw(nullptr, r, r, false, true, 0);
  desc->dwFlags |= DDSD_LPSURFACE;
  desc->lpSurface = pixels + (size_t)r.top * pitch + (size_t)r.left * 2;
  locked = true;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Unlock(LPRECT) {
  SEAM_FAULT("IDirectDrawSurface7::Unlock");
  if (!locked) return DDERR_NOTLOCKED;
  locked = false;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetDC(HDC* lphDC) {
  SEAM_FAULT("IDirectDrawSurface7::GetDC");
  if (!lphDC) return DDERR_INVALIDPARAMS;
  *lphDC = nullptr;
  if (dc) return DDERR_DCALREADYCREATED;
  if (locked) return DDERR_SURFACEBUSY;
  HDC h = plat_dc_acquire(pixels, width, height, pitch);
  if (!h) return DDERR_CANTCREATEDC;
  dc = h;
  *lphDC = h;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::ReleaseDC(HDC hDC) {
  SEAM_FAULT("IDirectDrawSurface7::ReleaseDC");
  if (!dc) return DDERR_NODC;
  if (hDC != dc) return DDERR_INVALIDPARAMS;
  plat_dc_release(dc);
  dc = nullptr;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetPixelFormat(LPDDPIXELFORMAT pf) {
  SEAM_FAULT("IDirectDrawSurface7::GetPixelFormat");
  if (!pf) return DDERR_INVALIDPARAMS;
  fill_pixel_format(pf);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetSurfaceDesc(LPDDSURFACEDESC2 desc) {
  if (!desc) return DDERR_INVALIDPARAMS;
  fill_desc(this, desc);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::GetAttachedSurface(LPDDSCAPS2 lpDDSCaps, LPDIRECTDRAWSURFACE7* out) {
  SEAM_FAULT("IDirectDrawSurface7::GetAttachedSurface");
  if (!lpDDSCaps || !out) return DDERR_INVALIDPARAMS;
  *out = nullptr;
  if (!attached || (lpDDSCaps->dwCaps & attached->caps) != lpDDSCaps->dwCaps) return DDERR_NOTFOUND;
  attached->AddRef();
  *out = attached;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::SetClipper(LPDIRECTDRAWCLIPPER c) {
  SEAM_FAULT("IDirectDrawSurface7::SetClipper");
  if (c) c->AddRef();
  if (clipper) clipper->Release();
  clipper = c;
  return DD_OK;
}

HRESULT IDirectDrawSurface7::SetColorKey(DWORD dwFlags, LPDDCOLORKEY k) {
  SEAM_FAULT("IDirectDrawSurface7::SetColorKey");
  if (!(dwFlags & DDCKEY_SRCBLT)) return DDERR_UNSUPPORTED;  // only source keys are used
  if (!k) {
    has_key = false;
    return DD_OK;
  }
  key = *k;
  has_key = true;
  seam_trace("SetColorKey #%d 0x%04x", serial, (unsigned)k->dwColorSpaceLowValue);
  return DD_OK;
}

HRESULT IDirectDrawSurface7::Flip(LPDIRECTDRAWSURFACE7 target, DWORD) {
  SEAM_FAULT("IDirectDrawSurface7::Flip");
  if (!(caps & DDSCAPS_FRONTBUFFER) || !attached) return DDERR_NOTFLIPPABLE;
  if (target && target != attached) return DDERR_INVALIDPARAMS;
  IDirectDrawSurface7* back = attached;
  if (locked || dc || back->locked || back->dc) return DDERR_SURFACEBUSY;
  // The back buffer's memory becomes the front's, as on a real flipping chain.
  uint8_t* t = pixels;
  pixels = back->pixels;
  back->pixels = t;
  ++g_frames;
  g_shown = this;
  plat_present_565(owner ? owner->window : nullptr, pixels, width, height, pitch);
  timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  g_present_us = (int64_t)now.tv_sec * 1000000 + now.tv_nsec / 1000;
  return DD_OK;
}

// ---------------------------------------------------------------- seams

bool seam_last_frame(const uint16_t** pixels, int* width, int* height, int* pitch_px) {
  if (!g_shown) return false;
  if (pixels) *pixels = (const uint16_t*)g_shown->pixels;
  if (width) *width = g_shown->width;
  if (height) *height = g_shown->height;
  if (pitch_px) *pitch_px = g_shown->pitch / 2;
  return true;
}

int32_t seam_frame_pixel(int x, int y) {
  if (!g_shown || x < 0 || y < 0 || x >= g_shown->width || y >= g_shown->height) return -1;
  return dd_row_of(pixels_of(g_shown), y)[x];
}

int seam_frames_presented() { return g_frames; }

int64_t seam_last_present_us() { return g_present_us; }

void seam_draw_log(IDirectDrawSurface7* dest, SeamDraw* log, int capacity) {
  g_log_dest = log ? dest : nullptr;
  g_log = log;
  g_log_cap = log ? capacity : 0;
  g_log_n = 0;
}

int seam_draw_logged() { return g_log_n; }

int seam_video_live_objects() { return g_live; }
