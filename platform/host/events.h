// The SDL event pump: window events become window messages for the border, F11 and the focus
// are handled on the spot, Escape and the wheel go to the border.
#pragma once
#include <cstddef>

#include "platform/api/wintypes.h"

// Where the pump hands what the border makes input of.
struct PlatEventSink {
  void (*message)(HWND hwnd, UINT message);  // WM_CLOSE, WM_PAINT
  void (*escape)();                          // Escape pressed
  void (*wheel)(long delta);                 // in WHEEL_DELTA units
  void (*pad_button)(int button);            // a gamepad button pressed (SDL_GameControllerButton)
};

// Takes every pending SDL event; the border calls it where a pass begins and at its reads.
void plat_pump_events(const PlatEventSink* to);

// SDL for the process, before WinMain (false with the reason) and after it.
bool plat_host_start(char* why, size_t why_size);
void plat_host_stop();
