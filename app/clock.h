// The frame clock: a busy wait on the millisecond tick counter.
#pragma once
#include <cstdint>

extern uint32_t clock_frame_start_ticks;

uint32_t clock_start_frame();
// Spins until `ms` milliseconds have passed since the frame's start, wrap-safe; returns a fresh tick.
uint32_t clock_wait_frame(uint32_t ms);
