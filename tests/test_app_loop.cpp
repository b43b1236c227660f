// The frame clock, the message loop and the ways the program ends.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>

#include "app/clock.h"
#include "app/frame.h"
#include "app/overlay.h"
#include "app/winmain.h"
#include "app_fixture.h"
#include "platform/demo/demo.h"
#include "platform/demo/demo_format.h"
#include "platform/host/events.h"
#include "platform/host/input.h"
#include "platform/port/options.h"
#include "platform/seams/seams_video.h"
#include "test_support.h"

namespace {

class LoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    app_fixture_reset();
    static HINSTANCE__ instance;
    instance_ = &instance;
  }
  void TearDown() override {  // the seams, options and device records: test_main's listener
    seam_windows_reset();
    game_state = GAME_STATE_MENU;
    if (game_font) DeleteObject(game_font);  // the program's font, kept until its process ends
    game_font = nullptr;
  }
  // The game's window procedure in a window of its own class, without the game's start-up.
  HWND window(const char* class_name) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = game_window_proc;
    wc.lpszClassName = class_name;
    EXPECT_NE(RegisterClassExA(&wc), 0);
    return CreateWindowExA(0, class_name, "GAME", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, instance_,
                           nullptr);
  }
  // The messages PeekMessageA hands out until the queue is empty.
  std::vector<UINT> drain() {
    std::vector<UINT> got;
    MSG msg;
    while (got.size() < 1000 && PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) got.push_back(msg.message);
    return got;
  }
  // Device reads per frame: one keyboard and one mouse read.
  int frames() { return seam_calls("IDirectInputDevice8::GetDeviceState") / 2; }
  HINSTANCE instance_ = nullptr;
};

TEST(FrameClock, WaitsTheFullTimeAcrossTheTickWrap) {
  seam_reset();
  seam_clock_virtual(0xFFFFFFF0u, 1);
  uint32_t start = clock_start_frame();
  EXPECT_EQ(start, 0xFFFFFFF0u);
  EXPECT_EQ(clock_frame_start_ticks, start);
  uint32_t end = clock_wait_frame(30);
  EXPECT_GE((uint32_t)(end - start), 30u);
  EXPECT_LE((uint32_t)(end - start), 33u);

  seam_clock_virtual(500, 1);
  clock_start_frame();
  clock_wait_frame(0);  // returns at once: one reading to test, one to return
  EXPECT_EQ(seam_clock_now(), 500u + 3u);

  seam_clock_virtual(500, 0);  // a clock that stands still must not hang a zero wait
  clock_start_frame();
  EXPECT_EQ(clock_wait_frame(0), 500u);
}

// --low-cpu on the real clock: each frame still lasts its full delay, but the processor spins
// only about the last millisecond of it. Under the virtual clock it never sleeps.
TEST(FrameClock, LowCpuSleepsThroughMostOfTheWait) {
  seam_reset();
  plat_options.low_cpu = true;
  auto cpu_ms = [] {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
  };
  const double cpu0 = cpu_ms();
  const uint32_t first = GetTickCount();
  for (int i = 0; i < 5; ++i) {
    uint32_t start = clock_start_frame();
    EXPECT_GE((uint32_t)(clock_wait_frame(20) - start), 20u);
  }
  const uint32_t wall = GetTickCount() - first;
  EXPECT_GE(wall, 100u);
  EXPECT_LT(cpu_ms() - cpu0, wall * 0.3) << "a spin would use about " << wall << " ms";

  seam_clock_virtual(0xFFFFFFF0u, 1);
  const auto real0 = std::chrono::steady_clock::now();
  uint32_t start = clock_start_frame();
  EXPECT_GE((uint32_t)(clock_wait_frame(90) - start), 90u);
  EXPECT_LT(std::chrono::steady_clock::now() - real0, std::chrono::milliseconds(500));
}

// Pass 1: the frame posts a quit message for each key. Pass 2: WM_DESTROY dispatched, the frame
// runs. Pass 3: WM_QUIT taken, no frame.
TEST_F(LoopTest, BothQuitKeysPostTwiceAndStillEndOnce) {
  game_state = GAME_STATE_PLAY;
  seam_key(DIK_ESCAPE, true);
  seam_key(DIK_LMENU, true);
  EXPECT_EQ(WinMain(instance_, nullptr, (LPSTR) "", SW_SHOWDEFAULT), 0);
  EXPECT_EQ(frames(), 2);
  EXPECT_EQ(seam_calls("PostMessageA"), 4);
  EXPECT_EQ(seam_calls("PeekMessageA"), 3);
}

TEST_F(LoopTest, EntryFailuresStartNothing) {
  seam_fail("RegisterClassExA", 0);
  EXPECT_EQ(WinMain(instance_, nullptr, (LPSTR) "", SW_SHOWDEFAULT), 0);
  EXPECT_EQ(seam_calls("CreateWindowExA"), 0);

  seam_fail("CreateWindowExA", 0);
  EXPECT_EQ(WinMain(instance_, nullptr, (LPSTR) "", SW_SHOWDEFAULT), 0);
  EXPECT_EQ(seam_calls("DirectInput8Create"), 0);  // no start-up ran
  EXPECT_EQ(game_window, nullptr);
  EXPECT_STRNE(plat_fatal_message(), "");  // main() turns this into exit status 1
}

// A lost focus pauses where a pass begins, never in a read; its return or a close ends the pause,
// and the close still ends the loop; --no-pause-unfocused never pauses.
TEST_F(LoopTest, LostFocusPausesAPassUntilItReturnsOrTheWindowCloses) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = game_window_proc;
  wc.lpszClassName = "PAUSETEST";
  ASSERT_NE(RegisterClassExA(&wc), 0);
  ASSERT_NE(CreateWindowExA(0, "PAUSETEST", "GAME", WS_POPUP, 0, 0, 1024, 768, nullptr, nullptr, instance_,
                            nullptr),
            nullptr);
  EXPECT_FALSE(seam_screen_saver_allowed());
  MSG msg;
  bool saver_while_paused = false;
  // One PeekMessageA; another thread sends `resume` once the pump waits in a pause.
  auto pass = [&](SeamWindowEvent resume) {
    std::atomic<bool> done{false};
    std::thread system([&] {
      while (!seam_paused() && !done) std::this_thread::sleep_for(std::chrono::milliseconds(1));
      saver_while_paused = seam_screen_saver_allowed();
      if (!done) seam_window_event(resume);
    });
    const BOOL got = PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    done = true;
    system.join();
    return got;
  };
  const int pauses = seam_pauses();
  seam_window_event(SEAM_FOCUS_LOST);
  const PlatEventSink reads = {[](HWND, UINT) {}, [] {}, [](long) {}, [](int) {}, [] {}};
  plat_pump_events(&reads);  // a read sees the loss; the pause waits for the pass
  EXPECT_EQ(seam_pauses(), pauses);
  EXPECT_FALSE(pass(SEAM_FOCUS_GAINED));
  EXPECT_EQ(seam_pauses(), pauses + 1);
  EXPECT_TRUE(saver_while_paused);
  EXPECT_FALSE(seam_screen_saver_allowed());

  plat_options.pause_unfocused = false;
  seam_window_event(SEAM_FOCUS_LOST);
  EXPECT_FALSE(pass(SEAM_FOCUS_GAINED));
  EXPECT_EQ(seam_pauses(), pauses + 1);
  plat_options.pause_unfocused = true;
  seam_window_event(SEAM_FOCUS_GAINED);

  seam_window_event(SEAM_MINIMIZED);
  ASSERT_TRUE(pass(SEAM_CLOSE));
  EXPECT_EQ(msg.message, (UINT)WM_CLOSE);
  EXPECT_EQ(seam_pauses(), pauses + 2);
  DispatchMessageA(&msg);
  ASSERT_TRUE(pass(SEAM_RESTORED));
  EXPECT_EQ(msg.message, (UINT)WM_QUIT);
  EXPECT_EQ(seam_pauses(), pauses + 2);
}

// One WM_PAINT waits at most, however many exposes come (a pause gathers them all in one pass);
// what ends the program is queued even when the queue is full, ahead of nothing it displaces.
TEST_F(LoopTest, OneExposeWaitsAndWhatEndsTheProgramIsNeverDropped) {
  HWND w = window("QUEUETEST");
  ASSERT_NE(w, nullptr);
  for (int i = 0; i < 300; ++i) plat_input_post(WM_PAINT);
  plat_input_post(WM_CLOSE);
  EXPECT_EQ(drain(), (std::vector<UINT>{WM_PAINT, WM_CLOSE}));

  for (int i = 0; i < 256; ++i) EXPECT_TRUE(PostMessageA(w, WM_ACTIVATEAPP, 0, 0)) << i;
  EXPECT_FALSE(PostMessageA(w, WM_NULL, 0, 0));  // full
  plat_input_post(WM_PAINT);
  EXPECT_TRUE(PostMessageA(w, WM_DESTROY, 0, 0));
  plat_input_post(WM_CLOSE);
  EXPECT_TRUE(PostMessageA(w, WM_QUIT, 0, 0));
  std::vector<UINT> want(253, WM_ACTIVATEAPP);
  want.insert(want.end(), {WM_DESTROY, WM_CLOSE, WM_QUIT});
  EXPECT_EQ(drain(), want);
}

// 70 exposes and a close in one pass while recording: the close reaches the game and the demo.
TEST_F(LoopTest, ARecordingKeepsTheCloseAfterManyExposes) {
  TempDir tmp;
  const std::string path = tmp.path + "/exposes.demo";
  plat_demo_reset();
  plat_demo_options.record = path.c_str();
  ASSERT_EQ(plat_demo_begin(), 0);
  ASSERT_NE(window("RECORDTEST"), nullptr);
  for (int i = 0; i < 70; ++i) seam_window_event(SEAM_EXPOSED);
  seam_window_event(SEAM_CLOSE);
  MSG msg;
  std::vector<UINT> got;
  for (int pass = 0; pass < 4 && (got.empty() || got.back() != WM_QUIT); ++pass)
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      got.push_back(msg.message);
      DispatchMessageA(&msg);
    }
  EXPECT_EQ(got, (std::vector<UINT>{WM_PAINT, WM_CLOSE, WM_QUIT}));
  EXPECT_EQ(plat_demo_end(0), 0);
  plat_demo_reset();
  std::ifstream f(path, std::ios::binary);
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(f), {}};
  DemoDecoder dec;
  std::string why;
  ASSERT_TRUE(dec.open(bytes.data(), bytes.size(), &why)) << why;
  DemoPass p;
  ASSERT_TRUE(dec.next(&p));
  EXPECT_EQ(std::vector<int>(p.messages, p.messages + p.message_count),
            (std::vector<int>{WM_PAINT, WM_CLOSE}));
}

}  // namespace
