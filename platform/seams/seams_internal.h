// What the platform's own implementations read from the test seams.
#pragma once
#include "platform/wintypes.h"

struct InjectedInput {
  bool on = false;
  BYTE keys[256] = {};
  LONG dx = 0, dy = 0, dz = 0;
  BYTE buttons[4] = {};
};
extern InjectedInput seam_input;

// The virtual clock's reading when it is on (and advances it); false for the real clock.
bool seam_clock_read(DWORD* now);
bool seam_clock_is_virtual();

// Shorthand at the top of a platform call: return the injected result if one is armed.
#define SEAM_FAULT(op)                              \
  do {                                              \
    HRESULT seam_hr_;                               \
    if (seam_fault(op, &seam_hr_)) return seam_hr_; \
  } while (0)

// Counts a call for seam_calls without ever failing it.
#define SEAM_FAULT_COUNT(op) seam_fault(op, nullptr)
