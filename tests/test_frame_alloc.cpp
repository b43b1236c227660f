// A frame allocates nothing: the C allocator is counted on the test's thread while frames run
// through the whole per-frame function, overlay and present included: play live and from a demo,
// the menu, the information screen and the sound waits, where no surface comes or goes either.
// Sanitizer builds bring their own allocator, so there the count is not taken.
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/frame.h"
#include "app/globals.h"
#include "app/overlay.h"
#include "app_world.h"
#include "game/player.h"
#include "input/input.h"
#include "platform/api/winuser32.h"
#include "platform/demo/demo.h"
#include "platform/demo/demo_format.h"
#include "platform/seams/seams.h"
#include "test_game_fixture.h"

namespace {
thread_local bool t_counting = false;  // initial-exec TLS of the executable: reading it allocates nothing
thread_local long t_allocations = 0;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kCounted = false;
#else
constexpr bool kCounted = true;
#endif
}  // namespace

#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* __libc_malloc(size_t n);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t n);
void* __libc_memalign(size_t align, size_t n);
}

// Every operator new, and every C library or SDL allocation, ends here.
extern "C" void* malloc(size_t n) {
  if (t_counting) ++t_allocations;
  return __libc_malloc(n);
}
extern "C" void* calloc(size_t n, size_t size) {
  if (t_counting) ++t_allocations;
  return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, size_t n) {
  if (t_counting) ++t_allocations;
  return __libc_realloc(p, n);
}
extern "C" void* aligned_alloc(size_t align, size_t n) {
  if (t_counting) ++t_allocations;
  return __libc_memalign(align, n);
}
extern "C" int posix_memalign(void** p, size_t align, size_t n) {
  if (t_counting) ++t_allocations;
  *p = __libc_memalign(align, n);
  return *p || !n ? 0 : ENOMEM;
}
#endif

namespace {

class FrameAlloc : public GameLoopTest {
 protected:
  void SetUp() override {
    GameLoopTest::SetUp();
    game_font = CreateFontA(12, 6, 0, 0, 10, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_STRING_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, 0, "Times New Roman");
    ASSERT_NE(game_font, nullptr);
  }
  void TearDown() override {
    DeleteObject(game_font);
    game_font = nullptr;
    GameLoopTest::TearDown();
  }
};

TEST_F(FrameAlloc, HundredPlayFramesAllocateNothing) {
  if (!kCounted) GTEST_SKIP() << "the sanitizer's allocator is not counted";
  // Fire held, sweeping left and right: lasers, hits, explosions and a changing score.
  seam_key(DIK_LCONTROL, true);
  auto run = [](int frames) {
    for (int f = 0; f < frames; ++f) {
      seam_key(DIK_LEFT, f / 20 % 2 == 0);
      seam_key(DIK_RIGHT, f / 20 % 2 == 1);
      if (!game_frame()) return false;
    }
    return true;
  };
  ASSERT_TRUE(run(3));  // the first present may size its streaming texture
  const int score_before = game_player.score;
  t_allocations = 0;
  t_counting = true;
  const bool ran = run(100);
  t_counting = false;
  ASSERT_TRUE(ran);
  EXPECT_EQ(t_allocations, 0);
  EXPECT_GT(game_player.score, score_before);  // the frames did shoot something down
}

TEST_F(FrameAlloc, AReplayedDemoAllocatesNothingPerPass) {
  if (!kCounted) GTEST_SKIP() << "the sanitizer's allocator is not counted";
  // Three frames to warm up, 2000 passes that change every key byte (past the first megabyte of
  // the file, where a byte position no longer fits a short string), then 100 frames of fire.
  std::vector<DemoPass> passes(2104);
  for (size_t i = 0; i < passes.size(); ++i) {
    DemoPass& p = passes[i];
    if (i >= 3 && i < 2003)
      for (int k = 0; k < 256; ++k) p.keys[k] = (BYTE)(i % 2 ? k : 255 - k);
    else
      p.keys[DIK_LCONTROL] = 0x80, p.keys[(i / 20) % 2 ? DIK_LEFT : DIK_RIGHT] = 0x80;
  }
  DemoEncoder enc;
  DemoHeader h;
  h.state = GAME_STATE_PLAY;
  h.frame_delay = game_frame_delay_ms;
  enc.header(h);
  for (const DemoPass& p : passes) enc.pass(p);
  enc.end(DemoEnd{(uint32_t)passes.size() - 1, 0});
  std::vector<uint8_t> bytes;
  enc.take(&bytes);
  ASSERT_GT(bytes.size(), 1000000u);
  TempDir tmp;
  plat_demo_reset();
  const std::string path = tmp.write("alloc.demo", bytes);
  plat_demo_options.play = path.c_str();
  ASSERT_EQ(plat_demo_begin(), 0);
  MSG msg;
  auto pass = [&msg](bool frame) {
    return PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE), !frame || game_frame();
  };
  for (int i = 0; i < 3; ++i) ASSERT_TRUE(pass(true));
  const int score_before = game_player.score;
  t_allocations = 0;
  t_counting = true;
  bool ran = true;
  for (int i = 0; i < 2000; ++i) pass(false);
  for (int i = 0; i < 100; ++i) ran = ran && pass(true);
  t_counting = false;
  plat_demo_reset();
  ASSERT_TRUE(ran);
  EXPECT_EQ(t_allocations, 0);
  EXPECT_GT(game_player.score, score_before);
}

using FrameAllocWorld = WorldTest;

TEST_F(FrameAllocWorld, MenuInfoFramesAndSoundWaitsAllocateNothing) {
  if (!kCounted) GTEST_SKIP() << "the sanitizer's allocator is not counted";
  start(world_data_dir());
  cursor_to(100, 100);
  frame();
  // Over both buttons and back, Authors clicked, the information screen, Escape back to the menu
  // and its exit sound waited for.
  auto visit = [this] {
    for (int i = 0; i < 40; ++i) frame(i < 20 ? 20 : -20, 8);
    cursor_to(500, 430);
    seam_mouse_button(0, true);
    frame();
    seam_mouse_button(0, false);
    for (int i = 0; i < 20; ++i) frame();
    seam_key(DIK_ESCAPE, true);
    frame();
    seam_key(DIK_ESCAPE, false);
    game_wait_sound(game_exit_sound);
    return game_state;
  };
  seam_trace_clear();
  EXPECT_EQ(visit(), GAME_STATE_MENU);
  EXPECT_EQ(trace_count("CreateSurface") + trace_count("Release surface"), 0);
  EXPECT_EQ(plays_of(game_authors_button.click_sound), 1);
  seam_trace_enable(false);  // the trace's own lines would be counted; the seams' counters
  t_allocations = 0;         // allocate on their first call only, made above
  t_counting = true;
  visit();
  t_counting = false;
  EXPECT_EQ(t_allocations, 0);
}

}  // namespace
