// The SDL event pump: window events become the border's window messages, F11 and the focus are
// handled on the spot (a lost focus pauses the game), Escape and the wheel go to the border.
#pragma once
#include <cstddef>

#include "platform/wintypes.h"

// Where the pump hands what the border makes input of.
struct PlatEventSink {
  void (*message)(HWND hwnd, UINT message);  // WM_CLOSE, WM_PAINT
  void (*escape)();                          // Escape pressed
  void (*wheel)(long delta);                 // in WHEEL_DELTA units
  void (*pad_button)(int button);            // a gamepad button pressed (SDL_GameControllerButton)
  void (*forget_motion)();                   // the mouse's travel so far is nobody's
};

// Takes every pending SDL event; the border's reads call it when no tap takes the events.
void plat_pump_events(const PlatEventSink* to);
// The same where a pass of the loop begins (PeekMessageA): a focus loss or minimising seen since
// (also by a read) pauses here, between frames, until the focus or the window comes back or the
// window is closed. Never without a loss, nor with --no-pause-unfocused.
void plat_pump_pass(const PlatEventSink* to);

// SIGINT, SIGTERM and SIGHUP ask the game to quit as closing its window does (the pump turns
// them into WM_CLOSE once there is a window); call first thing in main. One the process
// inherited as ignored stays ignored (nohup). SDL installs none of its own.
void plat_catch_quit_signals();
// A quit is on its way that no pass has taken yet: a signal caught, or the system asking to
// close a window (SDL's queue is looked at, at most every 50 ms, and left as it is). For waits
// that pump nothing.
bool plat_quit_waiting();

// SDL for the process, before WinMain (false with the reason) and after it.
bool plat_host_start(char* why, size_t why_size);
void plat_host_stop();
