#include "platform/host/clock.h"

#include <ctime>

#include "platform/seams/seams_internal.h"

namespace {
DWORD (*g_tap)(DWORD) = nullptr;
DWORD g_offset = 0;
}  // namespace

DWORD plat_clock_system() {
  DWORD now;
  if (seam_clock_read(&now)) return now;
  timespec ts;
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return (DWORD)((uint64_t)ts.tv_sec * 1000u + (uint64_t)ts.tv_nsec / 1000000u);
}

DWORD plat_clock_ticks() {
  const DWORD now = plat_clock_system();
  return g_tap ? g_tap(now) : now + g_offset;
}

void plat_clock_set_tap(DWORD (*tap)(DWORD)) { g_tap = tap; }
void plat_clock_set_offset(DWORD offset) { g_offset = offset; }
DWORD plat_clock_offset() { return g_offset; }
