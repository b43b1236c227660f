// The generator's file writers against the game's own readers, and its key-colour rules.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "app/globals.h"
#include "gfx/bmp.h"
#include "gfx/colour.h"
#include "platform/seams/seams.h"
#include "sfx/sound.h"
#include "test_support.h"
#include "tools/assetgen/canvas.h"
#include "tools/assetgen/writers.h"

TEST(AssetgenWriters, BmpRoundTripsThroughTheGameReaderAtBothDepths) {
  TempDir tmp;
  gfx_rgb_bit_count = 16;
  // 4 x 3, rows top-down, values chosen so a row swap or channel swap shows.
  const uint16_t px[12] = {0xF800, 0x07E0, 0x001F, 0xFFFF, 0x0821, 0xF81F,
                           0x1234, 0x8000, 0x0001, 0x7BEF, 0xABCD, 0x0020};
  for (int bits : {24, 16}) {
    std::vector<uint8_t> file = ag_bmp_encode(4, 3, px, bits);
    ASSERT_EQ(file.size(), 54u + 12u * (unsigned)bits / 8u);
    std::string path = tmp.write(bits == 24 ? "a24.bmp" : "a16.bmp", file);
    ImageFile img{};
    ASSERT_EQ(bmp_load(&img, path.c_str()), 1) << bits;
    EXPECT_EQ(img.info_header.biWidth, 4);
    EXPECT_EQ(img.info_header.biHeight, 3);
    EXPECT_EQ(img.info_header.biSizeImage, 12u * (unsigned)bits / 8u);
    const uint16_t* got = (const uint16_t*)img.pixels;
    for (int i = 0; i < 12; ++i) EXPECT_EQ(got[i], px[i]) << "bits " << bits << " pixel " << i;
    bmp_unload(&img);
  }
  // Rows that need padding are padded to 4 bytes, and bad requests give nothing.
  EXPECT_EQ(ag_bmp_encode(3, 2, px, 24).size(), 54u + 2u * 12u);
  EXPECT_TRUE(ag_bmp_encode(0, 2, px, 24).empty());
  EXPECT_TRUE(ag_bmp_encode(4, 3, px, 32).empty());
}

TEST(AssetgenKeys, VisiblePixelsNeverBecomeTheKey) {
  // Colours that truncate to a key are moved off it; everything else is left alone.
  EXPECT_NE(ag_key_safe(0xF81F, AG_KEY_MAGENTA), 0xF81F);
  EXPECT_NE(ag_key_safe(0, AG_KEY_MAGENTA), 0);
  EXPECT_NE(ag_key_safe(0, AG_KEY_BLACK), 0);
  EXPECT_EQ(ag_key_safe(0xF81F, AG_KEY_BLACK), 0xF81F);
  EXPECT_EQ(ag_key_safe(0x1234, AG_KEY_MAGENTA), 0x1234);
  EXPECT_EQ(ag_pack565(255, 0, 255), gfx_rgb565(255, 0, 255));
  EXPECT_EQ(ag_pack565(8, 4, 8), gfx_rgb565(8, 4, 8));

  AgCanvas c;
  ag_canvas_init(&c, 4, 1);
  ag_blend(&c, 0, 0, ag_rgb8(253, 2, 252), 1.0f);  // near-magenta, solid
  ag_blend(&c, 1, 0, ag_rgb(0, 0, 0), 1.0f);       // black, solid
  ag_blend(&c, 2, 0, ag_rgb(1, 1, 1), 0.1f);       // barely covered: transparent
  for (AgKey key : {AG_KEY_MAGENTA, AG_KEY_BLACK}) {
    std::vector<uint16_t> out = ag_finalise(&c, key, AG_ALPHA_THRESHOLD, ag_rgb(0, 0, 0));
    uint16_t keyv = key == AG_KEY_MAGENTA ? 0xF81F : 0;
    EXPECT_NE(out[0], keyv);
    EXPECT_NE(out[1], keyv);
    EXPECT_NE(out[1], 0);  // pure black never collides, and is the other key
    EXPECT_EQ(out[2], keyv);
    EXPECT_EQ(out[3], keyv);
  }
}

TEST(AssetgenText, Cp1251OfTheTextsWeDraw) {
  EXPECT_EQ(ag_cp1251("Очки"), std::string("\xCE\xF7\xEA\xE8"));
  EXPECT_EQ(ag_cp1251("Ёё «A» —"), std::string("\xA8\xB8 \xAB"
                                               "A\xBB \x97"));
  EXPECT_EQ(ag_cp1251("日"), std::string("?"));
  EXPECT_EQ(ag_cp1251("\xD0"), std::string("?"));  // a cut-off sequence
}

// The icon's PNG writer, read back by libpng (which checks the chunks' CRCs and zlib the
// stream's Adler-32); the larger image spans more than one stored block.
TEST(AssetgenWriters, PngReadsBackThroughLibpng) {
  for (int w : {3, 200}) {
    const int h = w == 3 ? 2 : 100;
    std::vector<uint8_t> rgba((size_t)w * h * 4);
    for (size_t i = 0; i < rgba.size(); ++i) rgba[i] = (uint8_t)(i * 7 + i / 13);
    const std::vector<uint8_t> png = ag_png_encode(w, h, rgba.data());
    ASSERT_GT(png.size(), 12u);  // libpng reads no further than the image: the end chunk as it must be
    EXPECT_EQ(std::vector<uint8_t>(png.end() - 12, png.end()),
              (std::vector<uint8_t>{0, 0, 0, 0, 'I', 'E', 'N', 'D', 0xAE, 0x42, 0x60, 0x82}));
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    ASSERT_TRUE(png_image_begin_read_from_memory(&image, png.data(), png.size())) << image.message;
    EXPECT_EQ(image.format, (png_uint_32)PNG_FORMAT_RGBA);  // 8 bits per channel, with alpha
    ASSERT_EQ(image.width * 1000 + image.height, (png_uint_32)(w * 1000 + h));
    std::vector<uint8_t> got(rgba.size());
    ASSERT_TRUE(png_image_finish_read(&image, nullptr, got.data(), 0, nullptr)) << image.message;
    EXPECT_EQ(got, rgba) << w;
  }
  EXPECT_TRUE(ag_png_encode(0, 5, nullptr).empty());
}
