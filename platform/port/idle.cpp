#include "platform/port/idle.h"

#include <cerrno>
#include <ctime>
#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include "platform/api/dsound8.h"
#include "platform/demo/demo.h"
#include "platform/host/clock.h"
#include "platform/host/events.h"
#include "platform/port/options.h"
#include "platform/seams/seams_internal.h"
#ifdef __EMSCRIPTEN__
#include "platform/web/web.h"
#endif

namespace {

constexpr int64_t kSpinNs = 1000000;                   // the last millisecond of a wait is spun, not slept
[[maybe_unused]] constexpr int64_t kPollNs = 1000000;  // native only, as sleep_until_ns

int64_t now_ns() {
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (int64_t)ts.tv_sec * 1000000000 + ts.tv_nsec;
}

[[maybe_unused]] void sleep_until_ns(int64_t t) {
  timespec ts{(time_t)(t / 1000000000), (long)(t % 1000000000)};
  while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
  }
}

}  // namespace

#ifdef __EMSCRIPTEN__
// The browser: the page lives (events, sound, the frame shown) only while the game yields, so
// every wait yields, --low-cpu or not, and the frame wait sleeps as --low-cpu does natively. A
// timed demo's waits end at once: it yields every kTimedYieldMs, which shows a frame that often.
namespace {
constexpr double kTimedYieldMs = 50;
double g_last_yield = 0;
}  // namespace

void plat_idle_until(uint32_t start_tick, uint32_t ms) {
  if (plat_demo_options.timed && plat_demo_replaying()) {
    if (emscripten_get_now() - g_last_yield >= kTimedYieldMs) {
      web_yield();
      g_last_yield = emscripten_get_now();
    }
    return;
  }
  if (seam_clock_is_virtual()) return;
  const int64_t now = now_ns();
  const uint32_t tick = (uint32_t)(now / 1000000) + plat_clock_offset();
  const int32_t left_ticks = (int32_t)(start_tick + ms - tick);
  if (left_ticks <= 1) {
    web_yield();  // a late frame still lets the page have its turn
    return;
  }
  const int64_t due = (now / 1000000 + left_ticks) * 1000000;
  web_present_flush();
  emscripten_sleep((unsigned)((due - kSpinNs - now) / 1000000));
}

void plat_idle_poll() {
  web_yield();  // the sound moves on only while the browser has its turn
}
#else
void plat_idle_until(uint32_t start_tick, uint32_t ms) {
  // A demo's clock is not the monotonic one (an offset, or whole seconds per reading when
  // timing): sleeping by the wall clock would overshoot, so demos keep the pure spin.
  if (!plat_options.low_cpu || seam_clock_is_virtual() || plat_demo_on()) return;
  // GetTickCount is the monotonic clock in whole milliseconds, cut to 32 bits; the wait is due
  // when the tick reaches start + ms, that is at the start of that millisecond.
  const int64_t now = now_ns();
  // A replay handed over keeps its clock's offset: the tick is read as the game reads it.
  const uint32_t tick = (uint32_t)(now / 1000000) + plat_clock_offset();
  const int32_t left_ticks = (int32_t)(start_tick + ms - tick);
  if (left_ticks <= 1) return;
  const int64_t due = (now / 1000000 + left_ticks) * 1000000;
  sleep_until_ns(due - kSpinNs);
}

void plat_idle_poll() {
  // A close or a quit signal ends the wait for a sound: the sounds stop, the wait sees its own
  // over, and the quit reaches the game at its next pass.
  if (plat_quit_waiting()) plat_sound_stop_all();
  if (!plat_options.low_cpu || seam_clock_is_virtual() || plat_demo_replaying()) return;
  sleep_until_ns(now_ns() + kPollNs);
}
#endif
