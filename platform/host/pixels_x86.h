// Inside the platform layer only: the x86 SIMD pixel loops behind pixels.h.
#pragma once
#include "platform/host/pixels_table.h"

#if defined(__x86_64__) || defined(__i386__)
#define PIX_HAVE_X86 1
// Puts the loops of `level` (PIX_SSE2 and up; the CPU must have it) into `k`.
void pix_x86_kernels(int level, PixKernels* k);
#else
#define PIX_HAVE_X86 0
#endif
