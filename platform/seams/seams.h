// Test seams of the platform layer: fault injection, a virtual clock, injected input and a
// trace of platform calls. Only tests and headless tools call these; the game never does.
#pragma once
#include <string>
#include <vector>

#include "platform/wintypes.h"

// Forget every armed fault, injected input, trace line and call count; real clock again.
void seam_reset();

// Fault injection. After `skip` further successful calls of the named operation (for example
// "IDirectDrawSurface7::Blt" or "CreateWindowExA"), the next `count` calls fail with `result`
// (count -1: every call from then on). Implementations ask seam_fault at their start.
void seam_fail(const char* op, HRESULT result, int skip = 0, int count = 1);
bool seam_fault(const char* op, HRESULT* result);
// How many times the named operation was entered since the last reset.
int seam_calls(const char* op);

// The trace: creations, releases, plays and other lifetime events, one line each.
// Off until enabled, so the frames pay nothing for it.
void seam_trace_enable(bool on);
bool seam_trace_on();
void seam_trace(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
const std::vector<std::string>& seam_trace_lines();
void seam_trace_clear();

// Virtual clock for GetTickCount: starts at `start` and advances by `step` ms after every read,
// so busy waits end without real time passing.
void seam_clock_virtual(DWORD start, DWORD step);
void seam_clock_set(DWORD now);
DWORD seam_clock_now();

// Injected input. While injected, the keyboard and mouse devices and GetAsyncKeyState read
// these instead of the real devices. Mouse motion is consumed by the next mouse read.
void seam_input_inject(bool on);
void seam_key(int dik, bool down);
void seam_keys_clear();
void seam_mouse_move(LONG dx, LONG dy, LONG dz = 0);
void seam_mouse_button(int button, bool down);

// Destroy the windows, forget the window classes and empty the message queue.
void seam_windows_reset();
