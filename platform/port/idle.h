// Waiting without a busy processor, for --low-cpu. Linux only: the game calls these under
// #ifndef _WIN32, just before its own busy waits, which then spin for what is left. Without
// --low-cpu (and under the virtual clock) both return at once, so the waits stay pure spins;
// the sound wait's hook still looks for a quit.
#pragma once
#include <cstdint>

// Sleeps until about a millisecond before `start_tick` + `ms` on the GetTickCount clock, so
// the caller's spin still ends on the very tick the wait is due.
void plat_idle_until(uint32_t start_tick, uint32_t ms);
// One short sleep in a loop that polls a sound's status. A close or a quit signal on its way
// stops every sound, so the loop ends (at any option).
void plat_idle_poll();
