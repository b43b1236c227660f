// The SIMD pixel loops against the scalar reference at every level this CPU runs, copies and
// fills through Blt against a plain model, and what the present puts in the window.
#include <linux/magic.h>
#include <png.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "platform/host/paths.h"
#include "platform/host/pixels.h"
#include "platform/host/present.h"
#include "platform/host/screenshot.h"
#include "platform/port/options.h"
#include "test_gfx_support.h"

namespace {

// Every level from scalar up to the best, so each path runs on this machine.
std::vector<int> levels() {
  std::vector<int> out;
  for (int l = PIX_SCALAR; l <= pix_best_level(); ++l) out.push_back(l);
  return out;
}

struct LevelGuard {
  int level = pix_level();
  ~LevelGuard() { pix_set_level(level); }
};

// Pixels biased towards the key and its neighbours, where a wrong compare shows.
uint16_t pick(std::mt19937& rng, uint16_t lo, uint16_t hi) {
  switch (rng() % 6) {
    case 0:
      return lo;
    case 1:
      return hi;
    case 2:
      return (uint16_t)(lo - 1);
    case 3:
      return (uint16_t)(hi + 1);
    default:
      return (uint16_t)rng();
  }
}

// Copies and fills run through Blt below; here the present's two loops.
TEST(PixKernels, EveryLevelMatchesTheScalarReference) {
  LevelGuard restore;
  const PixKernels& ref = pix_reference();
  if (!std::getenv("TARVELLIN_SIMD")) {
    EXPECT_GE(pix_best_level(), PIX_SSE2);  // x86-64 always has SSE2
  }
  // Known widenings: each field repeats its top bits.
  const uint16_t in[4] = {0xFFFF, 0xF800, 0x07E0, 0x0821};
  uint32_t out[4];
  ref.to_xrgb(out, in, 4, 0);
  EXPECT_EQ((std::vector<uint32_t>(out, out + 4)),
            (std::vector<uint32_t>{0xFFFFFF, 0xFF0000, 0x00FF00, 0x080408}));

  std::vector<uint16_t> all(65536 + 1);
  for (int v = 0; v < 65536; ++v) all[v + 1] = (uint16_t)v;
  std::vector<uint32_t> want(65536), got(65536);
  ref.to_xrgb(want.data(), all.data() + 1, 65536, 0xFF000000u);
  for (int level : levels()) {
    SCOPED_TRACE(pix_level_name(level));
    ASSERT_EQ(pix_set_level(level), level);
    pix_k.to_xrgb(got.data(), all.data() + 1, 65536, 0xFF000000u);  // unaligned source
    EXPECT_EQ(got, want);
    std::mt19937 rng(1234 + level);
    for (int c = 0; c < 1500; ++c) {
      // Widths around every vector size, from any alignment, guard pixels on both sides.
      const int n = (int)(rng() % 150), off = (int)(rng() % 8);
      if (c % 2) {
        std::vector<uint16_t> src((size_t)n + 8);
        for (uint16_t& v : src) v = (uint16_t)rng();
        std::vector<uint32_t> w((size_t)n + 2, 0xAAAAAAAA), g = w;
        ref.to_xrgb(w.data() + 1, src.data() + off, n, c & 2 ? 0xFF000000u : 0);
        pix_k.to_xrgb(g.data() + 1, src.data() + off, n, c & 2 ? 0xFF000000u : 0);
        ASSERT_EQ(g, w) << "case " << c << " n " << n;
        continue;
      }
      // Maps of every enlargement and reduction, from any starting pixel.
      const int from = 1 + (int)(rng() % 300);
      std::vector<int32_t> map((size_t)n);
      for (int x = 0; x < n; ++x) map[x] = off + (int)((int64_t)x * from / std::max(n, 1));
      std::vector<uint32_t> row((size_t)off + from + 16), w((size_t)n + 1, 7), g((size_t)n + 1, 7);
      for (uint32_t& v : row) v = (uint32_t)rng();
      ref.scale_row(w.data(), row.data(), map.data(), n);
      pix_k.scale_row(g.data(), row.data(), map.data(), n);
      ASSERT_EQ(g, w) << "case " << c << " n " << n << " from " << from;
    }
  }
}

// Surfaces of the display, compared with a plain model of what a copy or fill must do.
class PixBlt : public GfxDisplay {
 protected:
  void TearDown() override {
    pix_set_level(level_);
    GfxDisplay::TearDown();
  }
  static std::vector<uint16_t> read(Surface s) {
    Locked l(s);
    std::vector<uint16_t> out((size_t)s->width * s->height);
    for (int y = 0; y < s->height; ++y)
      for (int x = 0; x < s->width; ++x) out[(size_t)y * s->width + x] = l.at(x, y);
    return out;
  }
  static void write(Surface s, const std::vector<uint16_t>& px) {
    Locked l(s);
    for (int y = 0; y < s->height; ++y)
      for (int x = 0; x < s->width; ++x) l.at(x, y) = px[(size_t)y * s->width + x];
  }
  int level_ = pix_level();
};

TEST_F(PixBlt, RandomCopiesAndFillsMatchAModelAtEveryLevel) {
  for (int level : levels()) {
    SCOPED_TRACE(pix_level_name(level));
    pix_set_level(level);
    std::mt19937 rng(77 + level);
    for (int c = 0; c < 1500; ++c) {
      // Destinations with a clipper of their own bounds: rectangles may cross every edge.
      const int dw = 1 + (int)(rng() % 90), dh = 1 + (int)(rng() % 12);
      const bool same_width = rng() % 4 == 0;
      const int sw = same_width ? dw : 1 + (int)(rng() % 90), sh = 1 + (int)(rng() % 12);
      const bool within = rng() % 6 == 0;  // a copy inside one surface, rectangles may overlap
      const uint16_t key = rng() % 3 == 0 ? 0 : rng() % 2 ? 0xF81F : (uint16_t)rng();
      Surface d = gfx_create_surface(dw, dh, DDSCAPS_VIDEOMEMORY, key);
      Surface s = within ? d : gfx_create_surface(sw, sh, DDSCAPS_VIDEOMEMORY, key);
      ASSERT_TRUE(d && s);
      RECT bounds{0, 0, dw, dh};
      IDirectDrawClipper* clip = gfx_attach_clipper(d, 1, &bounds);
      ASSERT_NE(clip, nullptr);
      std::vector<uint16_t> dpx((size_t)dw * dh), spx((size_t)s->width * s->height);
      for (uint16_t& v : dpx) v = (uint16_t)rng();
      for (uint16_t& v : spx) v = pick(rng, key, key);
      write(d, dpx);
      if (!within)
        write(s, spx);
      else
        spx = dpx;
      const int w = s->width, h = s->height;
      RECT sr{(LONG)(rng() % w), (LONG)(rng() % h), 0, 0};
      sr.right = sr.left + 1 + (LONG)(rng() % (w - sr.left));
      sr.bottom = sr.top + 1 + (LONG)(rng() % (h - sr.top));
      if (same_width && !within && rng() % 2) sr.left = 0, sr.right = w;  // whole rows
      const LONG rw = sr.right - sr.left, rh = sr.bottom - sr.top;
      RECT dr{(LONG)(rng() % (dw + 2 * rw)) - rw, (LONG)(rng() % (dh + 2 * rh)) - rh, 0, 0};
      if (sr.left == 0 && sr.right == w && rng() % 2) dr.left = 0;
      dr.right = dr.left + rw;
      dr.bottom = dr.top + rh;
      const bool fill = rng() % 5 == 0;
      const uint16_t colour = (uint16_t)rng();
      std::vector<uint16_t> want = dpx;  // the source as it was before the copy, as memmove does
      for (LONG y = std::max<LONG>(dr.top, 0); y < std::min<LONG>(dr.bottom, dh); ++y)
        for (LONG x = std::max<LONG>(dr.left, 0); x < std::min<LONG>(dr.right, dw); ++x) {
          const uint16_t v = fill ? colour : spx[(size_t)(sr.top + y - dr.top) * w + sr.left + x - dr.left];
          if (fill || v != key) want[(size_t)y * dw + x] = v;
        }
      if (fill) {
        ASSERT_EQ(gfx_fill(d, colour, &dr), 1);
      } else {
        ASSERT_EQ(gfx_blit_keyed(d, &dr, s, &sr), 1) << "case " << c;
      }
      ASSERT_EQ(read(d), want) << "case " << c
                               << (fill     ? " fill"
                                   : within ? " within"
                                            : " copy")
                               << " dest " << dw << "x" << dh << " rect " << dr.left << "," << dr.top << " "
                               << rw << "x" << rh;
      clip->Release();
      if (!within) s->Release();
      d->Release();
    }
  }
}

// --integer-scale takes the smaller of the two whole factors, or the picture is cut off.
TEST(PixPresentRect, IntegerScaleTakesTheSmallerFactor) {
  struct Restore {
    bool was = plat_options.integer_scale;
    ~Restore() { plat_options.integer_scale = was; }
  } restore;
  plat_options.integer_scale = true;
  const int screens[][6] = {// out_w, out_h, then x, y, w, h
                            {2560, 1440, 768, 336, 1024, 768},
                            {1440, 2560, 208, 896, 1024, 768},
                            {3072, 1600, 512, 32, 2048, 1536},
                            {2048, 1536, 0, 0, 2048, 1536}};
  for (const auto& s : screens) {
    int x, y, w, h;
    plat_present_rect(1024, 768, s[0], s[1], &x, &y, &w, &h);
    EXPECT_EQ((std::vector<int>{x, y, w, h}), (std::vector<int>{s[2], s[3], s[4], s[5]}))
        << s[0] << "x" << s[1];
  }
}

// The present into the headless window: pixel for pixel what each option asks for.
class PixPresent : public GfxDisplay {
 protected:
  void SetUp() override {
    plat_present_reset(nullptr);
    GfxDisplay::SetUp();
  }
  void TearDown() override {
    plat_present_reset(nullptr);
    GfxDisplay::TearDown();
  }
  // A frame of random pixels in the back buffer, presented; the frame as it was.
  std::vector<uint16_t> present_random(uint32_t seed) {
    std::mt19937 rng(seed);
    gfx_lock_back_buffer();
    std::vector<uint16_t> frame(1024 * 768);
    for (int y = 0; y < 768; ++y)
      for (int x = 0; x < 1024; ++x)
        frame[y * 1024 + x] = ((uint16_t*)(gfx_back_pixels + y * gfx_back_pitch))[x] = (uint16_t)rng();
    gfx_unlock_back_buffer();
    EXPECT_EQ(gfx_present(), 1);
    return frame;
  }
  static uint32_t widen(uint16_t v) {
    uint32_t out;
    pix_reference().to_xrgb(&out, &v, 1, 0);
    return out;
  }
  // Every window pixel: inside (x, y, w, h) the frame at the nearest map, black outside.
  static void expect_nearest(const std::vector<uint16_t>& frame, int x0, int y0, int w, int h) {
    const uint32_t* px;
    int W, H, pitch;
    ASSERT_TRUE(seam_window_pixels(&px, &W, &H, &pitch));
    int wrong = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const bool in = x >= x0 && x < x0 + w && y >= y0 && y < y0 + h;
        const uint32_t want = in ? widen(frame[(size_t)((int64_t)(y - y0) * 768 / h) * 1024 +
                                               (size_t)((int64_t)(x - x0) * 1024 / w)])
                                 : 0;
        if ((px[(size_t)y * pitch + x] & 0xFFFFFF) != want && wrong++ < 3)
          ADD_FAILURE() << "window pixel " << x << "," << y << " of " << W << "x" << H;
      }
    EXPECT_EQ(wrong, 0);
  }
};

TEST_F(PixPresent, DefaultIsOneToOneThroughTheWindowSurface) {
  const std::vector<uint16_t> frame = present_random(5);
  EXPECT_EQ(std::string(plat_present_route()).rfind("window surface", 0), 0u) << plat_present_route();
  expect_nearest(frame, 0, 0, 1024, 768);
}

TEST_F(PixPresent, ScaledNearestIntegerAndSmooth) {
  ASSERT_TRUE(seam_window_resize(2100, 1600));
  expect_nearest(present_random(6), 0, 12, 2100, 1575);  // in proportion, bars above and below
  plat_options.integer_scale = true;
  expect_nearest(present_random(7), 26, 32, 2048, 1536);  // twice, black all round
  ASSERT_TRUE(seam_window_resize(1000, 700));
  expect_nearest(present_random(8), 33, 0, 933, 700);  // smaller than the frame: shrunk to fit

  // Linear filtering: a flat frame stays flat, a checkerboard gives values between its two.
  plat_options.integer_scale = false;
  plat_options.smooth = true;
  ASSERT_TRUE(seam_window_resize(1536, 1152));
  gfx_fill(gfx_back_buffer, 0x39E7, nullptr);
  ASSERT_EQ(gfx_present(), 1);
  const uint32_t* px;
  int W, H, pitch;
  ASSERT_TRUE(seam_window_pixels(&px, &W, &H, &pitch));
  EXPECT_EQ(px[(size_t)600 * pitch + 700] & 0xFFFFFF, widen(0x39E7));
  gfx_lock_back_buffer();
  for (int y = 0; y < 768; ++y)
    for (int x = 0; x < 1024; ++x)
      ((uint16_t*)(gfx_back_pixels + y * gfx_back_pitch))[x] = (x + y) & 1 ? 0xFFFF : 0;
  gfx_unlock_back_buffer();
  ASSERT_EQ(gfx_present(), 1);
  ASSERT_TRUE(seam_window_pixels(&px, &W, &H, &pitch));
  int between = 0;
  for (int x = 0; x < 300; ++x) {
    const uint32_t g = (px[(size_t)500 * pitch + x] >> 8) & 255;
    between += g > 0x20 && g < 0xE0;
  }
  EXPECT_GT(between, 100);
}

TEST_F(PixPresent, ForcedStreamingTextureShowsTheSameFrame) {
  // SDL's software renderer draws into the window surface, where the test can read it.
  EnvGuard driver("SDL_RENDER_DRIVER", "software");
  plat_present_reset("texture");
  const std::vector<uint16_t> frame = present_random(9);
  EXPECT_EQ(std::string(plat_present_route()).rfind("streaming texture", 0), 0u) << plat_present_route();
  expect_nearest(frame, 0, 0, 1024, 768);
  plat_present_reset(nullptr);  // before the window goes, as the renderer belongs to it
}

// F12's file: the shown frame alone, widened as the present widens it, whatever the window's
// size; its folder from the options or the XDG user-dirs file; a second name within one second;
// a folder that cannot be written told once.
TEST_F(PixPresent, ScreenshotIsTheShownFrameAsAPngInThePicturesFolder) {
  TempDir dir;
  const std::string tmp = dir.path;
  ASSERT_TRUE(seam_window_resize(2100, 1600));  // letterboxed: bars above and below
  const std::vector<uint16_t> frame = present_random(10);
  plat_options.screenshot_dir = tmp + "/a/b";
  const time_t mid_1971 = 86400 * 545 + 43200;  // 30 June or 1 July in every time zone
  const std::string first = plat_screenshot_take(mid_1971);
  EXPECT_EQ(first.rfind(tmp + "/a/b/tarvellin-19710", 0), 0u) << first;
  EXPECT_EQ(first.size(), tmp.size() + std::strlen("/a/b/tarvellin-YYYYMMDD-HHMMSS.png")) << first;
  const std::string second = plat_screenshot_take(mid_1971);
  EXPECT_EQ(second, first.substr(0, first.size() - 4) + "-2.png");

  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_file(&image, first.c_str())) << image.message;
  EXPECT_EQ(image.format, (png_uint_32)PNG_FORMAT_RGB);
  ASSERT_EQ(image.width * image.height, 1024u * 768u);
  std::vector<uint8_t> rgb(1024 * 768 * 3);
  ASSERT_TRUE(png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr));
  int wrong = 0;
  for (size_t i = 0; i < frame.size(); ++i)
    wrong += ((uint32_t)rgb[3 * i] << 16 | (uint32_t)rgb[3 * i + 1] << 8 | rgb[3 * i + 2]) != widen(frame[i]);
  EXPECT_EQ(wrong, 0);

  // The pictures folder: the user-dirs line, else ~/Pictures; the home folder itself is none.
  plat_options.screenshot_dir.clear();
  EnvGuard home("HOME", (tmp + "/home").c_str());
  EnvGuard config("XDG_CONFIG_HOME", (tmp + "/conf").c_str());
  EXPECT_EQ(plat_screenshot_folder(), tmp + "/home/Pictures/Tarvellin");
  mkdir((tmp + "/conf").c_str(), 0755);
  const std::string lines[][2] = {{"XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"/\"", tmp + "/home/My \"Pics\""},
                                  {"# x\n  XDG_PICTURES_DIR=\"" + tmp + "/abs\"", tmp + "/abs"},
                                  {"XDG_PICTURES_DIR=\"$HOME\"", tmp + "/home/Pictures"},
                                  {"XDG_PICTURES_DIR=\"$HOME/unterminated", tmp + "/home/Pictures"}};
  for (const auto& [line, want] : lines) {
    std::ofstream(tmp + "/conf/user-dirs.dirs") << "XDG_MUSIC_DIR=\"$HOME/Music\"\n" << line << "\n";
    EXPECT_EQ(plat_screenshot_folder(), want + "/Tarvellin") << line;
  }

  // A folder under a plain file cannot be made, even by root: each shot says so.
  plat_options.screenshot_dir = first + "/sub";
  testing::internal::CaptureStderr();
  EXPECT_EQ(plat_screenshot_take(0), "");
  EXPECT_EQ(plat_screenshot_take(0), "");
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string line = "tarvellin: cannot save a screenshot in " + first + "/sub: Not a directory\n";
  EXPECT_EQ(err, line + line);
  plat_options.screenshot_dir.clear();
}

std::string g_final_name;
bool g_named_while_writing = false;
void on_file_too_large(int) {
  struct stat st;
  g_named_while_writing |= lstat(g_final_name.c_str(), &st) == 0;
}

// A relative folder is taken from where the game started, the path printed whole. The name
// appears only for a whole file (a write cut off by the file size limit stands for a kill) and
// never follows or replaces what is there. Every failure says where and why: no home folder,
// a folder the system refuses to make (its reason, not the "No such file" of the steps after).
TEST_F(PixPresent, ScreenshotsAreWholeUnderTheirNameAndEveryFailureIsTold) {
  struct Restore {
    PlatOptions options = plat_options;
    ~Restore() { plat_options = options, plat_remember_start_folder(""); }
  } restore;
  TempDir dir;
  const std::string shots = dir.path + "/shots";
  present_random(11);
  plat_remember_start_folder(dir.path.c_str());
  plat_options.screenshot_dir = "./shots";
  testing::internal::CaptureStderr();
  const std::string first = plat_screenshot_take(0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "tarvellin: screenshot " + first + "\n");
  ASSERT_EQ(first.rfind(shots + "/tarvellin-", 0), 0u) << first;
  const std::string name = first.substr(0, first.size() - 4);

  std::ofstream(dir.path + "/target") << "keep";
  ASSERT_EQ(unlink(first.c_str()), 0);
  ASSERT_EQ(symlink((dir.path + "/target").c_str(), first.c_str()), 0);
  ASSERT_EQ(symlink((dir.path + "/nothing").c_str(), (name + "-2.png").c_str()), 0);
  EXPECT_EQ(plat_screenshot_take(0), name + "-3.png");
  EXPECT_EQ(std::filesystem::file_size(dir.path + "/target"), 4u);
  EXPECT_FALSE(std::filesystem::exists(dir.path + "/nothing"));

  g_final_name = name + "-4.png";
  rlimit old_limit, small;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old_limit), 0);
  small = old_limit;
  small.rlim_cur = 20000;
  struct sigaction catch_it {
  }, old_action{};
  catch_it.sa_handler = on_file_too_large;
  sigaction(SIGXFSZ, &catch_it, &old_action);
  setrlimit(RLIMIT_FSIZE, &small);
  testing::internal::CaptureStderr();
  EXPECT_EQ(plat_screenshot_take(0), "");
  setrlimit(RLIMIT_FSIZE, &old_limit);
  sigaction(SIGXFSZ, &old_action, nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "tarvellin: cannot save a screenshot in " + shots + ": File too large\n");
  EXPECT_FALSE(g_named_while_writing);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shots), {}), 3);  // nothing left behind

  std::vector<std::pair<std::string, std::string>> refused = {
      {"", "the pictures folder: there is no home folder (HOME is not set); use --screenshot-dir"}};
  struct statfs fs;
  if (statfs("/sys", &fs) == 0 && fs.f_type == SYSFS_MAGIC) refused.push_back({"/sys/tarvellin-none/a", ""});
  if (geteuid() != 0 && mkdir((dir.path + "/locked").c_str(), 0555) == 0)
    refused.push_back({dir.path + "/locked/a/b", "Permission denied"});
  EnvGuard home("HOME", nullptr), config("XDG_CONFIG_HOME", nullptr);
  for (const auto& [folder, why] : refused) {
    plat_options.screenshot_dir = folder;
    testing::internal::CaptureStderr();
    EXPECT_EQ(plat_screenshot_take(0), "");
    EXPECT_EQ(plat_screenshot_take(0), "");  // told again
    const std::string err = testing::internal::GetCapturedStderr(), line = err.substr(0, err.find('\n') + 1);
    EXPECT_EQ(err, line + line);
    EXPECT_EQ(line.rfind("tarvellin: cannot save a screenshot in " + folder, 0), 0u) << err;
    EXPECT_NE(line.find(why), std::string::npos) << err;
    EXPECT_EQ(line.find("No such file"), std::string::npos) << err;
  }
}

}  // namespace
