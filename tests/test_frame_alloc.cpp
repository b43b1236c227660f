// A frame allocates nothing: the C allocator is counted on the test's thread while a hundred play
// frames run through the whole per-frame function, overlay and present included. Sanitizer builds
// bring their own allocator, so there the count is not taken.
#include <cstdlib>

#include "app/frame.h"
#include "app/globals.h"
#include "app/overlay.h"
#include "game/player.h"
#include "input/input.h"
#include "platform/seams.h"
#include "test_game_fixture.h"

#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* __libc_malloc(size_t n);
void* __libc_calloc(size_t n, size_t size);
void* __libc_realloc(void* p, size_t n);
}

namespace {
thread_local bool t_counting = false;  // initial-exec TLS of the executable: reading it allocates nothing
thread_local long t_allocations = 0;
}  // namespace

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
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's allocator is not counted";
#else
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
#endif
}

}  // namespace
