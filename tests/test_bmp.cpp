// The BMP reader on the edge files of fuzz/seeds/bmp: what each converts to or why it is
// refused, every file closed again; then the copy into a surface, and assetcheck's agreement.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/bmp.h"
#include "test_gfx_support.h"
#include "tools/assetcheck/verdict.h"

namespace {

const std::string kSeeds = TARVELLIN_SOURCE_DIR "/fuzz/seeds/bmp/";

TEST(Bmp, EachEdgeFileLoadsAsItsLayoutOrIsRefusedAndIsClosed) {
  // `px`: the first pixels, top row first, at `bits` per pixel. Every other seed is refused.
  struct Row {
    std::string file;
    BmpLayout layout;
    int32_t w = 0, h = 0;
    std::vector<uint16_t> px = {};
    int bits = 16;
  };
  std::vector<Row> rows = {
      {"colours_24", BMP_LAYOUT_BGR24, 2, 2, {0xF800, 0x07E0, 0xFFFF, 0x001F}},
      {"colours_24", BMP_LAYOUT_BGR24, 2, 2, {0x7C00, 0x03E0, 0x7FFF, 0x001F}, 15},
      // Green 16 of 31 becomes 33 of 63.
      {"colours_555", BMP_LAYOUT_BITFIELDS555, 2, 2, {0xFFFF, 0x8430, 0xF800, 0x07E0}},
      {"bitfields_555_after_header", BMP_LAYOUT_BITFIELDS555, 4, 2, {0x2813}},
      {"v5_bitfields_555", BMP_LAYOUT_BITFIELDS555, 4, 2, {0x180B}},
      {"v5_bitfields_16", BMP_LAYOUT_BITFIELDS565, 4, 2, {0x1413}},
      // ImageMagick's RGB565 BMP3: the pixels where the masks belong, rows of 3 padded.
      {"bitfields_masks_missing_565",
       BMP_LAYOUT_MASKS_MISSING,
       3,
       2,
       {0xF800, 0x07E0, 0x001F, 0xFFFF, 0xF81F, 0x7BEF}},
      {"odd_width_16", BMP_LAYOUT_RGB565, 5, 2, {0xECC7, 0x3611, 0x805B, 0xCAA5, 0x14EF, 0x300B}},
      {"odd_width_24", BMP_LAYOUT_BGR24, 3, 3, {0xCD50, 0x38BE, 0xAC2C, 0x1778}},
      {"top_down_16", BMP_LAYOUT_RGB565, 3, 2, {0x300B, 0x7A55, 0xC49F, 0x5833}},
      {"top_down_24", BMP_LAYOUT_BGR24, 2, 3, {0x5181, 0xC4EF, 0x7AC6}},
      {"size_image_zero_24", BMP_LAYOUT_BGR24, 4, 2, {0x1778}},
      {"off_bits_in_headers", BMP_LAYOUT_BGR24, 4, 2, {0x1778}},
      {"off_bits_negative", BMP_LAYOUT_BGR24, 4, 2, {0x1778}},
      {"eight_bit_16_colours", BMP_LAYOUT_INDEXED8, 5, 3},
      {"eight_bit_clr_too_many", BMP_LAYOUT_INDEXED8, 4, 1},
      {"eight_bit_full_table", BMP_LAYOUT_INDEXED8, 4, 4},
  };
  for (const auto& e : std::filesystem::directory_iterator(kSeeds)) {
    const std::string name = e.path().stem();
    if (std::none_of(rows.begin(), rows.end(), [&](const Row& r) { return name == r.file; }))
      rows.push_back({name, BMP_LAYOUT_NONE});
  }
  ASSERT_GE(rows.size(), 37u);
  seam_trace_enable(true);
  for (const auto& r : rows) {
    gfx_rgb_bit_count = r.bits;
    seam_trace_clear();
    ImageFile img{};
    const bool loaded = bmp_load(&img, (kSeeds + r.file + ".bmp").c_str()) == 1;
    EXPECT_EQ(trace_count("OpenFile"), 1) << r.file;
    EXPECT_EQ(trace_count("_lclose"), 1) << "left open: " << r.file;
    if (r.layout == BMP_LAYOUT_NONE) {
      EXPECT_FALSE(loaded) << r.file;
      EXPECT_EQ(img.pixels, nullptr) << "a refused load keeps no picture: " << r.file;
      continue;
    }
    ASSERT_TRUE(loaded) << r.file;
    EXPECT_EQ(img.layout, r.layout) << r.file;
    EXPECT_EQ(img.info_header.biWidth, r.w) << r.file;
    EXPECT_EQ(img.info_header.biHeight, r.h) << r.file;  // top-down files too
    EXPECT_EQ(img.info_header.biBitCount, r.layout == BMP_LAYOUT_INDEXED8 ? 8 : 16) << r.file;
    if (!r.px.empty()) {
      EXPECT_EQ(std::vector<uint16_t>((uint16_t*)img.pixels, (uint16_t*)img.pixels + r.px.size()), r.px)
          << r.file;
    }
    bmp_unload(&img);
  }
  ImageFile none{};
  EXPECT_EQ(bmp_load(&none, (kSeeds + "missing.bmp").c_str()), 0);
}

using BmpSurface = GfxDisplay;

TEST_F(BmpSurface, CopiesOnlyWherePictureAndSurfaceBothHavePixels) {
  const std::string colours = kSeeds + "colours_24.bmp", indexed = kSeeds + "eight_bit_full_table.bmp";
  Surface s = gfx_create_surface(2, 2, DDSCAPS_VIDEOMEMORY, 0);
  Surface big = gfx_create_surface(3, 3, DDSCAPS_VIDEOMEMORY, 0);
  Surface small = gfx_create_surface(1, 1, DDSCAPS_VIDEOMEMORY, 0);
  ASSERT_TRUE(s && big && small);
  EXPECT_EQ(gfx_load_bmp_into_surface(2, 2, colours.c_str(), s), 1);
  EXPECT_EQ(pixel(s, 1, 0), 0x07E0);
  EXPECT_EQ(pixel(s, 1, 1), 0x001F);
  EXPECT_EQ(gfx_scratch_image.pixels, nullptr);
  // Asking for more than either has copies the overlap only.
  gfx_fill(big, 0x5555, nullptr);
  EXPECT_EQ(gfx_load_bmp_into_surface(3, 3, colours.c_str(), big), 1);
  EXPECT_EQ(pixel(big, 1, 1), 0x001F);
  EXPECT_EQ(pixel(big, 2, 1), 0x5555);
  EXPECT_EQ(pixel(big, 0, 2), 0x5555);
  gfx_fill(small, 0x5555, nullptr);
  EXPECT_EQ(gfx_load_bmp_into_surface(2, 2, colours.c_str(), small), 1);
  EXPECT_EQ(pixel(small, 0, 0), 0xF800);
  // An 8-bit picture, a missing file and a null surface copy nothing.
  gfx_fill(s, 0x7777, nullptr);
  EXPECT_EQ(gfx_load_bmp_into_surface(2, 2, indexed.c_str(), s), 1);
  EXPECT_EQ(gfx_load_bmp_into_surface(2, 2, "no/such.bmp", s), 1);
  EXPECT_EQ(pixel(s, 0, 0), 0x7777);
  EXPECT_EQ(gfx_load_bmp_into_surface(2, 2, colours.c_str(), nullptr), 1);
  EXPECT_EQ(gfx_scratch_image.pixels, nullptr);
  s->Release();
  big->Release();
  small->Release();
}

// assetcheck's verdict on every edge file is the game's: "yes" exactly when the surface copy
// fills a surface of the picture's size with the reader's pixels.
TEST_F(BmpSurface, AssetcheckAgreesWithTheGameOnEveryEdgeFile) {
  int files = 0, accepted = 0;
  for (const auto& e : std::filesystem::directory_iterator(kSeeds)) {
    const std::string path = e.path(), name = e.path().filename();
    ImageFile read{};
    int32_t w = 4, h = 4;
    if (bmp_load(&read, path.c_str())) w = read.info_header.biWidth, h = read.info_header.biHeight;
    ImageFile checked;
    std::string verdict;
    const bool yes = ac_picture_verdict(path.c_str(), w, h, &checked, &verdict);
    bmp_unload(&checked);
    Surface s = gfx_create_surface(w, h, DDSCAPS_VIDEOMEMORY, 0);
    ASSERT_NE(s, nullptr) << name;
    gfx_fill(s, 0xBEEF, nullptr);
    gfx_load_bmp_into_surface(w, h, path.c_str(), s);
    int copied = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        copied += bmp_copyable(&read) && pixel(s, x, y) == ((const uint16_t*)read.pixels)[y * w + x];
    EXPECT_EQ(yes, copied == w * h) << name << ": " << verdict;
    EXPECT_TRUE(yes || pixel(s, 0, 0) == 0xBEEF) << name;
    s->Release();
    bmp_unload(&read);
    ++files;
    accepted += yes;
  }
  EXPECT_GE(files, 30);
  EXPECT_GE(accepted, 8);
}

}  // namespace
