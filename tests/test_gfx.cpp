// Colour packing, the display's set-up and the drawing vocabulary on real surfaces.
#include <vector>

#include "test_gfx_support.h"

namespace {

TEST(GfxColour, PackingEdgesAndTheKey) {
  EXPECT_EQ(gfx_colour_key, 0xF81F);  // set before any display exists
  // The last four: out-of-range input is masked per field, nothing carries into a neighbour.
  EXPECT_EQ((std::vector<int>{gfx_rgb565(255, 255, 255), gfx_rgb565(0, 0, 0), gfx_rgb565(255, 0, 255),
                              gfx_rgb565(8, 4, 8), gfx_rgb565(7, 3, 7), gfx_rgb555(255, 255, 255),
                              gfx_rgb555(255, 0, 255), gfx_rgb565(256, 0, 0), gfx_rgb565(0, 256, 0),
                              gfx_rgb565(-1, -1, -1), gfx_rgb555(-1, 0, 0)}),
            (std::vector<int>{0xFFFF, 0, 0xF81F, 0x0821, 0, 0x7FFF, 0x7C1F, 0, 0, 0xFFFF, 0x7C00}));
  gfx_colour_key = 0;
  gfx_rgb_bit_count = 15;  // the key is 5.6.5 whatever the display reports
  gfx_init_colour_key();
  EXPECT_EQ(gfx_colour_key, 0xF81F);
}

TEST_F(GfxDisplay, OpensWithScreenClipBlackSurfacesAndPixelFormat) {
  EXPECT_EQ(gfx_rgb_bit_count, 16);
  ASSERT_NE(gfx_back_clipper, nullptr);
  DDSURFACEDESC2 d;
  gfx_lock_surface(gfx_back_buffer, &d);
  ASSERT_NE(d.lpSurface, nullptr);
  EXPECT_GT(d.lPitch, 2 * 1024);
  EXPECT_EQ(std::pair(d.dwWidth, d.dwHeight), (std::pair<DWORD, DWORD>(1024, 768)));
  bool black = true;
  for (int y = 0; y < 768; y += 97)
    for (int x = 0; x < 1024; x += 31) black = black && ((uint16_t*)d.lpSurface)[y * (d.lPitch / 2) + x] == 0;
  EXPECT_TRUE(black);
  gfx_unlock_surface(gfx_back_buffer);
}

TEST_F(GfxDisplay, ClipperBoundAndClippedFill) {
  Surface s = gfx_create_surface(64, 64, DDSCAPS_VIDEOMEMORY, 0);
  ASSERT_NE(s, nullptr);
  RECT rects[2] = {{10, 20, 30, 40}, {5, 25, 15, 60}};
  IDirectDrawClipper* c = gfx_attach_clipper(s, 2, rects);
  ASSERT_NE(c, nullptr);
  DWORD size = 256;
  char buf[256];
  RGNDATA* rgn = (RGNDATA*)buf;
  ASSERT_EQ(c->GetClipList(nullptr, rgn, &size), DD_OK);
  const RECT& b = rgn->rdh.rcBound;
  EXPECT_EQ((std::vector<LONG>{b.left, b.top, b.right, b.bottom}), (std::vector<LONG>{5, 20, 30, 60}));
  // A fill of the whole surface lands only inside the two rectangles.
  gfx_fill(s, 0x1234, nullptr);
  EXPECT_EQ(pixel(s, 10, 20), 0x1234);
  EXPECT_EQ(pixel(s, 5, 59), 0x1234);
  EXPECT_EQ(pixel(s, 4, 30), 0);
  EXPECT_EQ(pixel(s, 30, 20), 0);
  EXPECT_EQ(pixel(s, 20, 45), 0);
  EXPECT_EQ(gfx_attach_clipper(s, -1, rects), nullptr);
  // One limit on a list's length, the clipper's: 64 rectangles are taken, 65 refused.
  RECT many[65];
  for (int i = 0; i < 65; ++i) many[i] = RECT{i, 0, i + 1, 1};
  IDirectDrawClipper* full = gfx_attach_clipper(s, 64, many);
  EXPECT_NE(full, nullptr);
  if (full) full->Release();
  EXPECT_EQ(gfx_attach_clipper(s, 65, many), nullptr);
  EXPECT_EQ(gfx_attach_clipper(nullptr, 1, rects), nullptr);
  seam_fail("IDirectDrawClipper::SetClipList", DDERR_INVALIDCLIPLIST);
  EXPECT_EQ(gfx_attach_clipper(s, 1, rects), nullptr);
  c->Release();
  s->Release();
}

TEST(GfxDisplayOpen, StopsAtEachFailingStepAndCloseReleasesWhatExists) {
  seam_reset();
  gfx_test_forget_display();
  game_window = gfx_test_window();
  ASSERT_NE(game_window, nullptr);
  int live = seam_video_live_objects();

  seam_fail("DirectDrawCreateEx", DDERR_GENERIC);
  EXPECT_EQ(gfx_display_open(1024, 768, 16), 0);
  EXPECT_EQ(gfx_ddraw, nullptr);
  EXPECT_EQ(gfx_display_close(), 1);

  seam_trace_enable(true);
  seam_fail("IDirectDraw7::SetDisplayMode", DDERR_INVALIDMODE);
  EXPECT_EQ(gfx_display_open(1024, 768, 16), 0);
  EXPECT_NE(gfx_ddraw, nullptr);
  EXPECT_EQ(gfx_primary, nullptr);
  EXPECT_EQ(gfx_back_buffer, nullptr);
  EXPECT_EQ(trace_find("CreateSurface"), -1);
  seam_trace_clear();
  gfx_display_close();
  ASSERT_EQ(seam_trace_lines().size(), 1u);
  EXPECT_EQ(seam_trace_lines()[0].rfind("Release ddraw", 0), 0u);
  EXPECT_EQ(seam_video_live_objects(), live);

  // With no display every drawing operation declines without touching anything.
  gfx_test_forget_display();
  EXPECT_EQ(gfx_create_surface(8, 8, DDSCAPS_VIDEOMEMORY, 0), nullptr);
  gfx_lock_back_buffer();
  EXPECT_EQ(gfx_back_pixels, nullptr);
  EXPECT_EQ(gfx_back_pitch, 0);
  EXPECT_EQ(gfx_unlock_back_buffer(), 0);
  EXPECT_EQ(gfx_get_dc(), nullptr);
  EXPECT_EQ(gfx_present(), 0);
  EXPECT_EQ(gfx_fill(nullptr, 0, nullptr), 1);
  EXPECT_EQ(gfx_blit_keyed(nullptr, nullptr, nullptr, nullptr), 0);
  DDSURFACEDESC2 d;
  gfx_lock_surface(nullptr, &d);
  EXPECT_EQ(d.lpSurface, nullptr);
  EXPECT_EQ(gfx_unlock_surface(nullptr), 0);

  seam_fail("IDirectDrawSurface7::GetAttachedSurface", DDERR_NOTFOUND);
  EXPECT_EQ(gfx_display_open(1024, 768, 16), 0);
  EXPECT_NE(gfx_primary, nullptr);
  EXPECT_EQ(gfx_back_buffer, nullptr);
  gfx_display_close();
  gfx_test_forget_display();
  EXPECT_EQ(seam_video_live_objects(), live);
  seam_windows_reset();
}

TEST_F(GfxDisplay, EmptyAndOutOfSurfaceRectangles) {
  Surface a = gfx_create_surface(8, 8, DDSCAPS_VIDEOMEMORY, 0);
  Surface b = gfx_create_surface(8, 8, DDSCAPS_VIDEOMEMORY, 0);
  ASSERT_TRUE(a && b);
  gfx_fill(b, 0x2222, nullptr);
  RECT empty{3, 3, 3, 6}, inside{0, 0, 4, 4}, outside{6, 6, 10, 10}, inverted{5, 5, 2, 2};
  EXPECT_EQ(gfx_blit_keyed(a, &empty, b, &inside), 1);
  EXPECT_EQ(gfx_blit_keyed(a, &inside, b, &empty), 1);
  EXPECT_EQ(pixel(a, 3, 3), 0);
  EXPECT_EQ(a->Blt(&inside, b, &outside, DDBLT_WAIT | DDBLT_KEYSRC, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(gfx_blit_keyed(a, &outside, b, &inside), 0);  // no clipper: must lie inside
  EXPECT_EQ(gfx_blit_keyed(a, &inverted, b, &inside), 1);
  EXPECT_EQ(pixel(a, 0, 0), 0);
  EXPECT_EQ(gfx_blit_keyed(a, nullptr, nullptr, nullptr), 0);
  EXPECT_EQ(gfx_blit_keyed(nullptr, nullptr, b, nullptr), 0);
  gfx_fill(a, 0x3333, &inside);
  EXPECT_EQ(pixel(a, 3, 3), 0x3333);
  EXPECT_EQ(pixel(a, 4, 4), 0);
  // A different size is sampled to fit, never read outside the source.
  RECT whole{0, 0, 8, 8}, small{0, 0, 2, 2};
  EXPECT_EQ(gfx_blit_keyed(a, &whole, b, &small), 1);
  EXPECT_EQ(pixel(a, 7, 7), 0x2222);
  a->Release();
  b->Release();
}

TEST_F(GfxDisplay, BackBufferLockStateAndPresent) {
  int frames = seam_frames_presented();
  gfx_lock_back_buffer();
  ASSERT_NE(gfx_back_pixels, nullptr);
  uint8_t* first = gfx_back_pixels;
  gfx_lock_back_buffer();  // ignored while locked
  EXPECT_EQ(gfx_back_pixels, first);
  ((uint16_t*)(gfx_back_pixels + 5 * gfx_back_pitch))[7] = 0xABCD;
  // Locked: no present, no copy, no context.
  EXPECT_EQ(gfx_present(), 0);
  EXPECT_EQ(seam_frames_presented(), frames);
  EXPECT_EQ(gfx_get_dc(), nullptr);
  Surface s = gfx_create_surface(4, 4, DDSCAPS_VIDEOMEMORY, 0);
  EXPECT_EQ(gfx_blit_keyed(gfx_back_buffer, nullptr, s, nullptr), 0);
  EXPECT_EQ(gfx_primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACEBUSY);
  EXPECT_EQ(gfx_unlock_back_buffer(), 1);
  EXPECT_EQ(gfx_back_pixels, nullptr);

  EXPECT_EQ(gfx_present(), 1);
  EXPECT_EQ(seam_frames_presented(), frames + 1);
  EXPECT_EQ(seam_frame_pixel(7, 5), 0xABCD);

  // A held context also blocks the flip; a refused lock hands out nothing.
  HDC dc = gfx_get_dc();
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(gfx_present(), 0);
  gfx_release_dc(dc);
  seam_fail("IDirectDrawSurface7::Lock", DDERR_SURFACELOST);
  gfx_lock_back_buffer();
  EXPECT_EQ(gfx_back_pixels, nullptr);
  s->Release();
}

TEST_F(GfxDisplay, FailingFlipIsRetriedABoundedNumberOfTimes) {
  seam_fail("IDirectDrawSurface7::Flip", DDERR_SURFACELOST, 0, -1);
  EXPECT_EQ(gfx_present(), 0);
  EXPECT_EQ(seam_calls("IDirectDrawSurface7::Flip"), GFX_FLIP_ATTEMPTS);
  seam_fail("IDirectDrawSurface7::Flip", DDERR_SURFACELOST, 0, 2);
  EXPECT_EQ(gfx_present(), 1);
  EXPECT_EQ(seam_calls("IDirectDrawSurface7::Flip"), GFX_FLIP_ATTEMPTS + 3);
}

TEST_F(GfxDisplay, RefusedSurfacesAndSizes) {
  seam_fail("IDirectDraw7::CreateSurface", DDERR_OUTOFMEMORY);
  EXPECT_EQ(gfx_create_surface(60, 30, DDSCAPS_VIDEOMEMORY, 0), nullptr);
  // A surface whose key cannot be set is still handed out.
  seam_fail("IDirectDrawSurface7::SetColorKey", DDERR_GENERIC);
  Surface k = gfx_create_surface(2, 2, DDSCAPS_VIDEOMEMORY, 0);
  EXPECT_NE(k, nullptr);
  if (k) k->Release();
  EXPECT_EQ(gfx_create_surface(0, 30, DDSCAPS_VIDEOMEMORY, 0), nullptr);
  EXPECT_EQ(gfx_create_surface(20000, 30, DDSCAPS_VIDEOMEMORY, 0), nullptr);
}

}  // namespace
