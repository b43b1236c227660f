#include "app/clock.h"

#include "platform/win32.h"

uint32_t clock_frame_start_ticks = 0;

uint32_t clock_start_frame() {
  clock_frame_start_ticks = GetTickCount();
  return clock_frame_start_ticks;
}

uint32_t clock_wait_frame(uint32_t ms) {
  // Unsigned difference: still right when the counter wraps between the two readings.
  uint32_t now = GetTickCount();
#ifndef _WIN32
  plat_idle_until(clock_frame_start_ticks, ms);  // returns at once unless --low-cpu
#endif
  while ((uint32_t)(now - clock_frame_start_ticks) < ms) now = GetTickCount();
  return GetTickCount();
}
