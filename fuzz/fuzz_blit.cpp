// libFuzzer target for the drawing paths: each input describes two surfaces, their pixels, a
// colour key, rectangles (anywhere, the destination clipped to its own bounds) and a fill or a
// copy, maybe within one surface. The operation runs at the SIMD level the input picks and again
// with the scalar reference on identical surfaces; any difference aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>

#include "gfx/display.h"
#include "gfx/surface.h"
#include "platform/host/pixels.h"
#include "platform/win32.h"

namespace {

struct Reader {
  const uint8_t* p;
  size_t left;
  uint32_t take(int bytes) {
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) {
      v = v << 8 | (left ? *p : 0);
      if (left) ++p, --left;
    }
    return v;
  }
};

struct Pair {
  Surface dest = nullptr, src = nullptr;
  IDirectDrawClipper* clip = nullptr;
  void release() {
    if (clip) clip->Release();
    if (src && src != dest) src->Release();
    if (dest) dest->Release();
  }
};

Pair make(int dw, int dh, int sw, int sh, bool within, uint16_t key, const uint8_t* px, size_t n) {
  Pair p;
  p.dest = gfx_create_surface(dw, dh, 0, key);
  p.src = within ? p.dest : gfx_create_surface(sw, sh, 0, key);
  if (!p.dest || !p.src) return p;
  RECT bounds{0, 0, dw, dh};
  p.clip = gfx_attach_clipper(p.dest, 1, &bounds);
  size_t at = 0;
  for (Surface s : {p.dest, p.src}) {
    DDSURFACEDESC2 d{};
    d.dwSize = sizeof d;
    gfx_lock_surface(s, &d);
    for (int y = 0; d.lpSurface && y < s->height; ++y)
      for (int x = 0; x < s->width; ++x, at += 2)
        ((uint16_t*)((uint8_t*)d.lpSurface + (size_t)y * d.lPitch))[x] =
            n ? (uint16_t)(px[at % n] | px[(at + 1) % n] << 8) : 0;
    gfx_unlock_surface(s);
  }
  return p;
}

bool same_pixels(Surface a, Surface b) {
  DDSURFACEDESC2 da{}, db{};
  da.dwSize = db.dwSize = sizeof da;
  gfx_lock_surface(a, &da);
  gfx_lock_surface(b, &db);
  bool same = da.lpSurface && db.lpSurface;
  for (int y = 0; same && y < a->height; ++y)
    same = std::memcmp((uint8_t*)da.lpSurface + (size_t)y * da.lPitch,
                       (uint8_t*)db.lpSurface + (size_t)y * db.lPitch, (size_t)a->width * 2) == 0;
  gfx_unlock_surface(a);
  gfx_unlock_surface(b);
  return same;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  void* dd = nullptr;
  if (FAILED(DirectDrawCreateEx(nullptr, &dd, IID_IDirectDraw7, nullptr)) || !dd) {
    std::fprintf(stderr, "fuzz_blit: no DirectDraw object\n");
    std::abort();
  }
  gfx_ddraw = (IDirectDraw7*)dd;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  Reader r{data, size};
  const int level = 1 + (int)(r.take(1) % 3);
  const int dw = 1 + (int)(r.take(1) % 160), dh = 1 + (int)(r.take(1) % 24);
  const int sw = 1 + (int)(r.take(1) % 160), sh = 1 + (int)(r.take(1) % 24);
  const uint32_t op = r.take(1);
  const bool fill = op & 1, within = op & 2;
  const uint16_t key = (uint16_t)r.take(2);
  const int w = within ? dw : sw, h = within ? dh : sh;
  RECT sr;
  sr.left = (LONG)(r.take(1) % w);
  sr.top = (LONG)(r.take(1) % h);
  sr.right = sr.left + 1 + (LONG)(r.take(1) % (w - sr.left));
  sr.bottom = sr.top + 1 + (LONG)(r.take(1) % (h - sr.top));
  RECT dr;
  dr.left = (LONG)(int8_t)r.take(1) + (op & 4 ? dw / 2 : 0);
  dr.top = (LONG)(int8_t)r.take(1) % 32;
  dr.right = dr.left + (op & 8 ? (LONG)(r.take(1) % 200) : sr.right - sr.left);  // other sizes are scaled
  dr.bottom = dr.top + (op & 8 ? (LONG)(r.take(1) % 40) : sr.bottom - sr.top);

  Pair fast = make(dw, dh, sw, sh, within, key, r.p, r.left);
  Pair ref = make(dw, dh, sw, sh, within, key, r.p, r.left);
  if (fast.clip && ref.clip) {
    for (int pass = 0; pass < 2; ++pass) {
      Pair& p = pass ? ref : fast;
      pix_set_level(pass ? PIX_SCALAR : level);
      if (fill)
        gfx_fill(p.dest, key ^ 0x5A5A, &dr);
      else
        gfx_blit_keyed(p.dest, &dr, p.src, &sr);
    }
    pix_set_level(PIX_AVX512);
    if (!same_pixels(fast.dest, ref.dest)) {
      std::fprintf(stderr, "fuzz_blit: level %s differs from the scalar reference\n", pix_level_name(level));
      std::abort();
    }
  }
  fast.release();
  ref.release();
  return 0;
}
