// Inside the platform layer only: the pixel loops of fills, keyed copies and the present's
// conversion. A scalar version is the reference; SIMD versions (SSE2, AVX2, AVX-512) are chosen
// once at start-up by what the CPU has, and tests may force a lower level.
#pragma once
#include "platform/host/pixels_table.h"

extern PixKernels pix_k;  // the level in use

// The best level this CPU runs (lowered by TARVELLIN_SIMD=scalar|sse2|avx2|avx512 when set).
int pix_best_level();
// Uses min(level, best); returns the level now in use.
int pix_set_level(int level);
int pix_level();
const char* pix_level_name(int level);
// The scalar reference, whatever level is in use.
const PixKernels& pix_reference();
