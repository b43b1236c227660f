// The per-frame function.
#pragma once
#include <cstdint>

#include "app/loop.h"  // what the states ask of the loop, for the loop's callers too

// 1 when the frame was completed, presented and paced; 0 when it ended early.
int game_frame();
