// libFuzzer target for the BMP reader: each input is written to a file and read the way the game
// reads its pictures, on its own and copied into surfaces of the game's kind of sizes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fuzz/fuzz_input.h"
#include "gfx/bmp.h"
#include "gfx/surface.h"
#include "platform/win32.h"

namespace {


struct Target {
  int32_t width, height;  // what the caller asks for
  Surface surface;
};
// The surface sizes differ from some of the asked sizes on purpose: the copy clips to both.
Target g_targets[] = {{60, 30, nullptr}, {204, 60, nullptr}, {204, 60, nullptr}, {2, 1, nullptr}};


// Reads the first and last byte a loaded picture claims to have: ASan reports a short allocation.
uint32_t touch(const ImageFile& img) {
  const BITMAPINFOHEADER& ih = img.info_header;
  if (!img.pixels || ih.biWidth <= 0 || ih.biHeight <= 0 || (ih.biBitCount != 8 && ih.biBitCount != 16)) {
    std::fprintf(stderr, "fuzz_bmp: accepted picture described as %dx%d at %d bits, pixels %p\n",
                 (int)ih.biWidth, (int)ih.biHeight, (int)ih.biBitCount, (void*)img.pixels);
    std::abort();
  }
  size_t n = (size_t)ih.biWidth * (size_t)ih.biHeight * (ih.biBitCount / 8);
  return (uint32_t)img.pixels[0] + img.pixels[n - 1];
}

void expect_no_picture(const char* after) {
  if (gfx_scratch_image.pixels) {
    std::fprintf(stderr, "fuzz_bmp: scratch picture still held after %s\n", after);
    std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_VIDEODRIVER", "offscreen", 1);
  fuzz_input_init("bmp", "bmp");

  // Offscreen surfaces need only the DirectDraw object, not a display mode or a window.
  void* dd = nullptr;
  if (FAILED(DirectDrawCreateEx(nullptr, &dd, IID_IDirectDraw7, nullptr)) || !dd) {
    std::fprintf(stderr, "fuzz_bmp: no DirectDraw object\n");
    std::abort();
  }
  gfx_ddraw = (IDirectDraw7*)dd;
  const int32_t sizes[][2] = {{60, 30}, {204, 60}, {60, 30}, {3, 2}};
  for (int i = 0; i < 4; ++i) {
    g_targets[i].surface = gfx_create_surface(sizes[i][0], sizes[i][1], 0, 0);
    if (!g_targets[i].surface) {
      std::fprintf(stderr, "fuzz_bmp: no %dx%d surface\n", sizes[i][0], sizes[i][1]);
      std::abort();
    }
  }
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz_input_write(data, size)) return 0;

  // Both 16-bit layouts the display may report change the 24-bit conversion.
  static volatile uint32_t sink;
  gfx_rgb_bit_count = 15;
  if (bmp_load(&gfx_scratch_image, fuzz_input_path)) sink = sink + touch(gfx_scratch_image);
  bmp_unload(&gfx_scratch_image);
  expect_no_picture("bmp_unload");

  gfx_rgb_bit_count = 16;
  for (const Target& t : g_targets) {
    gfx_load_bmp_into_surface(t.width, t.height, fuzz_input_path, t.surface);
    expect_no_picture("gfx_load_bmp_into_surface");
  }
  // Without a surface nothing is read and nothing is held.
  gfx_load_bmp_into_surface(60, 30, fuzz_input_path, nullptr);
  expect_no_picture("a load without a surface");
  return 0;
}
