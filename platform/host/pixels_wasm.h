// Inside the platform layer only: the WebAssembly SIMD pixel loops behind pixels.h (the browser
// build; 128-bit lanes, so they stand at the SSE2 level).
#pragma once
#include "platform/host/pixels_table.h"

#if defined(__wasm_simd128__)
#define PIX_HAVE_WASM 1
// Puts the 128-bit loops into `k` (fill and the keyed copy; the present's loops stay scalar, as
// the browser's present takes 5.6.5 pixels as they are).
void pix_wasm_kernels(PixKernels* k);
#else
#define PIX_HAVE_WASM 0
#endif
