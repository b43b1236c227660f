// The millisecond clock GetTickCount reads: 32 bits, wrapping after 49.7 days.
#pragma once
#include "platform/wintypes.h"

// The system's reading: the monotonic clock, or the test seam's virtual clock.
DWORD plat_clock_system();
// GetTickCount's reading: the system's, through the tap when one is set (a demo's seed or
// steps), else plus the offset.
DWORD plat_clock_ticks();
void plat_clock_set_tap(DWORD (*tap)(DWORD system));  // null: none
// What the readings add to the system's (a replay keeps it after handing the game over).
void plat_clock_set_offset(DWORD offset);
DWORD plat_clock_offset();
