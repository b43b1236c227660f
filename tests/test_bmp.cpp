// The BMP reader on files written here byte by byte: conversions, row order, refusals of files
// whose headers lie, and the copy into a surface.
#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "gfx/bmp.h"
#include "tools/assetcheck/verdict.h"
#include "test_gfx_support.h"

namespace {

struct BmpSpec {
  int32_t width = 4, height = 2;
  uint16_t bits = 24;
  uint32_t compression = 0;
  int32_t size_image = -1;  // -1: rows x padded row bytes
  uint32_t info_size = 40;
  uint32_t off_bits = 0;    // 0: right after headers (and table)
  uint16_t type = 0x4D42;
  uint32_t clr_used = 0;
  std::vector<uint32_t> masks;  // BI_BITFIELDS: inside a larger header, else after the 40 bytes
};

void put16(std::vector<uint8_t>& v, uint32_t x) {
  v.push_back((uint8_t)x);
  v.push_back((uint8_t)(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
  put16(v, x & 0xFFFF);
  put16(v, x >> 16);
}

// Headers, the colour table for 8 bits, then `data` as given (rows as the file stores them).
std::vector<uint8_t> bmp_bytes(const BmpSpec& s, const std::vector<uint8_t>& data) {
  uint32_t h = (uint32_t)(s.height < 0 ? -s.height : s.height);
  uint32_t row = ((uint32_t)s.width * s.bits / 8 + 3) & ~3u;
  std::vector<uint8_t> v;
  put16(v, s.type);
  put32(v, 0);
  put32(v, 0);
  uint32_t table = s.bits == 8 ? (s.clr_used ? s.clr_used : 256) * 4 : 0;
  const bool masks_after = !s.masks.empty() && s.info_size == 40;
  put32(v, s.off_bits ? s.off_bits : 14 + s.info_size + table + (masks_after ? 12 : 0));
  put32(v, s.info_size);
  put32(v, (uint32_t)s.width);
  put32(v, (uint32_t)s.height);
  put16(v, 1);
  put16(v, s.bits);
  put32(v, s.compression);
  put32(v, s.size_image < 0 ? row * h : (uint32_t)s.size_image);
  put32(v, 0);
  put32(v, 0);
  put32(v, s.clr_used);
  put32(v, 0);
  if (!masks_after)
    for (uint32_t m : s.masks) put32(v, m);
  v.resize(14 + s.info_size, 0);
  if (masks_after)
    for (uint32_t m : s.masks) put32(v, m);
  for (uint32_t i = 0; i < table / 4; ++i) {
    v.push_back((uint8_t)(10 + i));  // blue
    v.push_back(20);                 // green
    v.push_back(30);                 // red
    v.push_back(0);
  }
  if (s.off_bits) v.resize(s.off_bits, 0xEE);
  v.insert(v.end(), data.begin(), data.end());
  return v;
}

class Bmp : public ::testing::Test {
 protected:
  void SetUp() override {
    seam_reset();
    gfx_rgb_bit_count = 16;
    char tmpl[] = "/tmp/tarvellin_bmp_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
    img_ = ImageFile{};
  }
  void TearDown() override {
    bmp_unload(&img_);
    for (const std::string& f : files_) std::remove(f.c_str());
    rmdir(dir_.c_str());
    gfx_rgb_bit_count = 0;
  }
  std::string write(const std::string& name, const std::vector<uint8_t>& bytes) {
    std::string path = dir_ + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    files_.push_back(path);
    return path;
  }
  uint16_t word(int i) const { return ((const uint16_t*)img_.pixels)[i]; }

  std::string dir_;
  std::vector<std::string> files_;
  ImageFile img_;
};

// Bottom row first in the file: red, green, white, blue / then the top row all black-ish.
const std::vector<uint8_t> k24 = {0, 0, 255, 0, 255, 0, 255, 255, 255, 255, 0, 0,  // file row 0 (bottom)
                                  8, 4, 8, 0, 0, 0, 7, 3, 7, 1, 2, 3};              // file row 1 (top)

TEST_F(Bmp, TwentyFourBitFileConvertsAt16And15Bits) {
  std::string path = write("a.bmp", bmp_bytes(BmpSpec{}, k24));
  ASSERT_EQ(bmp_load(&img_, path.c_str()), 1);
  EXPECT_EQ(img_.info_header.biBitCount, 16);
  // The file's second row comes first.
  EXPECT_EQ(word(0), gfx_rgb565(8, 4, 8));
  EXPECT_EQ(word(2), 0);
  EXPECT_EQ(word(4), 0xF800);
  EXPECT_EQ(word(5), 0x07E0);
  EXPECT_EQ(word(6), 0xFFFF);
  EXPECT_EQ(word(7), 0x001F);

  gfx_rgb_bit_count = 15;
  ASSERT_EQ(bmp_load(&img_, path.c_str()), 1);
  EXPECT_EQ(word(4), 0x7C00);
  EXPECT_EQ(word(5), 0x03E0);
  EXPECT_EQ(word(6), 0x7FFF);
}

TEST_F(Bmp, SixteenBitWordsArriveUnchangedAndEightBitTableIsReordered) {
  BmpSpec s16;
  s16.bits = 16;
  std::vector<uint8_t> d16 = {0x34, 0x12, 0x1F, 0xF8, 0xE0, 0x07, 0xFF, 0xFF,   // bottom
                              0x01, 0x00, 0x02, 0x00, 0x03, 0x00, 0x04, 0x00};  // top
  ASSERT_EQ(bmp_load(&img_, write("b.bmp", bmp_bytes(s16, d16)).c_str()), 1);
  EXPECT_EQ(word(0), 1);
  EXPECT_EQ(word(3), 4);
  EXPECT_EQ(word(4), 0x1234);
  EXPECT_EQ(word(5), 0xF81F);

  BmpSpec s8;
  s8.bits = 8;
  ASSERT_EQ(bmp_load(&img_, write("c.bmp", bmp_bytes(s8, {1, 2, 3, 4, 5, 6, 7, 8})).c_str()), 1);
  EXPECT_EQ(img_.palette[0].peRed, 30);
  EXPECT_EQ(img_.palette[0].peGreen, 20);
  EXPECT_EQ(img_.palette[0].peBlue, 10);
  EXPECT_EQ(img_.palette[0].peFlags, PC_NOCOLLAPSE);
  EXPECT_EQ(img_.palette[5].peBlue, 15);
  EXPECT_EQ(img_.info_header.biBitCount, 8);
  EXPECT_EQ(img_.pixels[0], 5);  // top row first
  EXPECT_EQ(img_.pixels[7], 4);
}

TEST_F(Bmp, SixteenBitMasksAreHonoured) {
  const std::vector<uint8_t> d = {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0x21, 0x04,   // bottom
                                  0xFF, 0x7F, 0x00, 0x00, 0x10, 0x42, 0x01, 0x00};  // top
  BmpSpec s;
  s.bits = 16;
  s.compression = BI_BITFIELDS;
  s.masks = {0x7C00, 0x03E0, 0x001F};  // 5.5.5, after a 40-byte header
  ASSERT_EQ(bmp_load(&img_, write("m555.bmp", bmp_bytes(s, d)).c_str()), 1);
  EXPECT_EQ(img_.layout, BMP_LAYOUT_BITFIELDS555);
  EXPECT_EQ(word(0), 0xFFFF);
  EXPECT_EQ(word(1), 0);
  EXPECT_EQ(word(2), 0x8430);  // 16, 16, 16 of 31: green 16 widens to 33 of 63
  EXPECT_EQ(word(4), 0xF800);
  EXPECT_EQ(word(5), 0x07E0);
  EXPECT_EQ(word(6), 0x001F);
  EXPECT_EQ(word(7), 0x0841);
  s.info_size = 124;  // the same masks inside a V5 header
  ASSERT_EQ(bmp_load(&img_, write("m555v5.bmp", bmp_bytes(s, d)).c_str()), 1);
  EXPECT_EQ(word(4), 0xF800);
  s.masks = {0xF800, 0x07E0, 0x001F};  // 5.6.5 loads unchanged
  ASSERT_EQ(bmp_load(&img_, write("m565.bmp", bmp_bytes(s, d)).c_str()), 1);
  EXPECT_EQ(img_.layout, BMP_LAYOUT_BITFIELDS565);
  EXPECT_EQ(word(4), 0x7C00);
  s.info_size = 40;
  s.masks = {0x000F, 0x00F0, 0x0F00};  // no other arrangement is read
  EXPECT_EQ(bmp_load(&img_, write("modd.bmp", bmp_bytes(s, d)).c_str()), 0);
  s.masks = {};  // pixels right after the 40-byte header, where the masks belong: 5.6.5
  ASSERT_EQ(bmp_load(&img_, write("mnone.bmp", bmp_bytes(s, d)).c_str()), 1);
  EXPECT_EQ(img_.layout, BMP_LAYOUT_MASKS_MISSING);
  EXPECT_EQ(word(4), 0x7C00);
  // The same from ImageMagick (-define bmp:subtype=RGB565 BMP3:), with padded 3-pixel rows.
  ASSERT_EQ(bmp_load(&img_, TARVELLIN_SOURCE_DIR "/fuzz/seeds/bmp/bitfields_masks_missing_565.bmp"), 1);
  EXPECT_EQ(std::vector<uint16_t>((uint16_t*)img_.pixels, (uint16_t*)img_.pixels + 6),
            (std::vector<uint16_t>{0xF800, 0x07E0, 0x001F, 0xFFFF, 0xF81F, 0x7BEF}));
  s = BmpSpec{};
  s.compression = BI_BITFIELDS;  // masks do not go with 24 bits
  s.masks = {0xFF0000, 0xFF00, 0xFF};
  EXPECT_EQ(bmp_load(&img_, write("m24.bmp", bmp_bytes(s, k24)).c_str()), 0);
  s = BmpSpec{};
  s.bits = 16;  // plain 16-bit files stay 5.6.5
  ASSERT_EQ(bmp_load(&img_, write("rgb16.bmp", bmp_bytes(s, d)).c_str()), 1);
  EXPECT_EQ(img_.layout, BMP_LAYOUT_RGB565);
  EXPECT_EQ(word(4), 0x7C00);
}

TEST_F(Bmp, FilesCommonToolsWriteLoad) {
  // Top-down rows, biSizeImage 0, a V5 header with the data further back, padded 3-pixel rows.
  BmpSpec s;
  s.width = 3;
  s.height = -2;
  s.size_image = 0;
  s.info_size = 124;
  s.off_bits = 200;
  std::vector<uint8_t> d = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0xAA, 0xAA, 0xAA,  // top, 3 bytes padding
                            255, 255, 255, 0, 0, 0, 0, 0, 0, 0xAA, 0xAA, 0xAA};
  ASSERT_EQ(bmp_load(&img_, write("d.bmp", bmp_bytes(s, d)).c_str()), 1);
  EXPECT_EQ(img_.info_header.biHeight, 2);
  EXPECT_EQ(word(0), 0xF800);
  EXPECT_EQ(word(2), 0x001F);
  EXPECT_EQ(word(3), 0xFFFF);
  EXPECT_EQ(word(5), 0);

  BmpSpec pal;  // a short colour table, as biClrUsed says
  pal.bits = 8;
  pal.clr_used = 2;
  ASSERT_EQ(bmp_load(&img_, write("e.bmp", bmp_bytes(pal, {0, 1, 1, 0, 1, 1, 0, 0})).c_str()), 1);
  EXPECT_EQ(img_.palette[1].peBlue, 11);
  EXPECT_EQ(img_.pixels[0], 1);
}

TEST_F(Bmp, RefusesFilesThatLieAndClosesThem) {
  std::vector<std::vector<uint8_t>> bad;
  BmpSpec s;
  s.type = 0x4D43;
  bad.push_back(bmp_bytes(s, k24));  // not "BM"
  s = BmpSpec{};
  s.bits = 32;
  bad.push_back(bmp_bytes(s, std::vector<uint8_t>(32, 0)));
  s = BmpSpec{};
  s.size_image = 12;  // smaller than its rows
  bad.push_back(bmp_bytes(s, k24));
  s = BmpSpec{};
  s.width = 0;
  bad.push_back(bmp_bytes(s, k24));
  s = BmpSpec{};
  s.width = -4;
  bad.push_back(bmp_bytes(s, k24));
  s = BmpSpec{};
  s.height = 16385;
  bad.push_back(bmp_bytes(s, k24));
  s = BmpSpec{};
  s.width = 16384;
  s.height = 16384;  // fits the limits, but the file holds 24 bytes of the 805 MB it claims
  bad.push_back(bmp_bytes(s, k24));
  s = BmpSpec{};
  std::vector<uint8_t> cut = bmp_bytes(s, k24);
  cut.resize(cut.size() - 1);  // ends before its pixel data do
  bad.push_back(cut);
  cut.resize(20);  // ends inside the info header
  bad.push_back(cut);
  s = BmpSpec{};
  s.compression = 1;  // run-length data
  bad.push_back(bmp_bytes(s, k24));

  ASSERT_EQ(bmp_load(&img_, write("ok.bmp", bmp_bytes(BmpSpec{}, k24)).c_str()), 1);
  for (size_t i = 0; i < bad.size(); ++i) {
    std::string path = write("bad" + std::to_string(i) + ".bmp", bad[i]);
    seam_trace_enable(true);
    seam_trace_clear();
    EXPECT_EQ(bmp_load(&img_, path.c_str()), 0) << "case " << i;
    EXPECT_EQ(img_.pixels, nullptr) << "a refused load keeps no picture, case " << i;
    int opened = 0, closed = 0;
    for (const std::string& l : seam_trace_lines()) {
      opened += l.rfind("OpenFile", 0) == 0;
      closed += l == "_lclose";
    }
    EXPECT_EQ(opened, 1) << "case " << i;
    EXPECT_EQ(closed, 1) << "file left open, case " << i;
  }
  EXPECT_EQ(bmp_load(&img_, (dir_ + "/missing.bmp").c_str()), 0);
}

TEST_F(Bmp, FlipRowsAndUnload) {
  uint8_t one[4] = {1, 2, 3, 4};
  EXPECT_EQ(bmp_flip_rows(one, 4, 1), 1);
  EXPECT_EQ(std::vector<uint8_t>(one, one + 4), (std::vector<uint8_t>{1, 2, 3, 4}));
  uint8_t three[6] = {1, 2, 3, 4, 5, 6};
  EXPECT_EQ(bmp_flip_rows(three, 2, 3), 1);
  EXPECT_EQ(std::vector<uint8_t>(three, three + 6), (std::vector<uint8_t>{5, 6, 3, 4, 1, 2}));
  EXPECT_EQ(bmp_flip_rows(three, 2, 0), 1);
  EXPECT_EQ(bmp_flip_rows(nullptr, 2, 3), 0);
  EXPECT_EQ(bmp_unload(&img_), 1);
  EXPECT_EQ(img_.pixels, nullptr);
}

class BmpSurface : public GfxDisplay {};

TEST_F(BmpSurface, CopiesOnlyWherePictureAndSurfaceBothHavePixels) {
  char tmpl[] = "/tmp/tarvellin_bmps_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  std::string p24 = std::string(tmpl) + "/p24.bmp", p8 = std::string(tmpl) + "/p8.bmp";
  auto save = [](const std::string& p, const std::vector<uint8_t>& b) {
    FILE* f = std::fopen(p.c_str(), "wb");
    std::fwrite(b.data(), 1, b.size(), f);
    std::fclose(f);
  };
  save(p24, bmp_bytes(BmpSpec{}, k24));
  BmpSpec s8;
  s8.bits = 8;
  save(p8, bmp_bytes(s8, {1, 2, 3, 4, 5, 6, 7, 8}));

  Surface s = gfx_create_surface(4, 2, DDSCAPS_VIDEOMEMORY, 0);
  Surface big = gfx_create_surface(6, 3, DDSCAPS_VIDEOMEMORY, 0);
  Surface small = gfx_create_surface(2, 1, DDSCAPS_VIDEOMEMORY, 0);
  ASSERT_TRUE(s && big && small);
  EXPECT_EQ(gfx_load_bmp_into_surface(4, 2, p24.c_str(), s), 1);
  EXPECT_EQ(pixel(s, 0, 1), 0xF800);
  EXPECT_EQ(pixel(s, 3, 1), 0x001F);
  EXPECT_EQ(gfx_scratch_image.pixels, nullptr);
  // Asking for more than either has copies the overlap only.
  gfx_fill(big, 0x5555, nullptr);
  EXPECT_EQ(gfx_load_bmp_into_surface(6, 3, p24.c_str(), big), 1);
  EXPECT_EQ(pixel(big, 3, 1), 0x001F);
  EXPECT_EQ(pixel(big, 4, 1), 0x5555);
  EXPECT_EQ(pixel(big, 0, 2), 0x5555);
  gfx_fill(small, 0x5555, nullptr);
  EXPECT_EQ(gfx_load_bmp_into_surface(4, 2, p24.c_str(), small), 1);
  EXPECT_EQ(pixel(small, 0, 0), gfx_rgb565(8, 4, 8));
  EXPECT_EQ(pixel(small, 1, 0), 0);
  // An 8-bit picture, a missing file and a null surface copy nothing.
  gfx_fill(s, 0x7777, nullptr);
  EXPECT_EQ(gfx_load_bmp_into_surface(4, 2, p8.c_str(), s), 1);
  EXPECT_EQ(gfx_load_bmp_into_surface(4, 2, "no/such.bmp", s), 1);
  EXPECT_EQ(pixel(s, 0, 0), 0x7777);
  EXPECT_EQ(gfx_load_bmp_into_surface(4, 2, p24.c_str(), nullptr), 1);
  EXPECT_EQ(gfx_scratch_image.pixels, nullptr);
  s->Release();
  big->Release();
  small->Release();
  std::remove(p24.c_str());
  std::remove(p8.c_str());
  rmdir(tmpl);
}

// assetcheck's verdict on every hand-made edge file is the game's: "yes" exactly when the
// surface copy fills a surface of the picture's size with the reader's pixels.
TEST_F(BmpSurface, AssetcheckAgreesWithTheGameOnEveryEdgeFile) {
  const std::string dir = std::string(TARVELLIN_SOURCE_DIR) + "/fuzz/seeds/bmp";
  DIR* d = opendir(dir.c_str());
  ASSERT_NE(d, nullptr) << dir;
  int files = 0, accepted = 0;
  while (dirent* e = readdir(d)) {
    if (e->d_name[0] == '.') continue;
    const std::string path = dir + "/" + e->d_name;
    ImageFile read{};
    int32_t w = 4, h = 4;
    if (bmp_load(&read, path.c_str())) w = read.info_header.biWidth, h = read.info_header.biHeight;
    ImageFile checked;
    std::string verdict;
    const bool yes = ac_picture_verdict(path.c_str(), w, h, &checked, &verdict);
    bmp_unload(&checked);
    Surface s = gfx_create_surface(w, h, DDSCAPS_VIDEOMEMORY, 0);
    ASSERT_NE(s, nullptr) << e->d_name;
    gfx_fill(s, 0xBEEF, nullptr);
    gfx_load_bmp_into_surface(w, h, path.c_str(), s);
    int copied = 0;
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        copied += bmp_copyable(&read) && pixel(s, x, y) == ((const uint16_t*)read.pixels)[y * w + x];
    EXPECT_EQ(yes, copied == w * h) << e->d_name << ": " << verdict;
    if (!yes) {
      EXPECT_EQ(pixel(s, 0, 0), 0xBEEF) << e->d_name;
    }
    s->Release();
    bmp_unload(&read);
    ++files;
    accepted += yes;
  }
  closedir(d);
  EXPECT_GE(files, 30);
  EXPECT_GE(accepted, 8);
}

}  // namespace
