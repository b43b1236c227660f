// The SDL event pump: window events become the border's window messages, F11 and the focus are
// handled on the spot, Escape and the wheel go to the border.
#pragma once
#include <cstddef>

// Takes every pending SDL event; called where a pass begins and by the border's reads.
void plat_pump_events();

// SDL for the process, before WinMain (false with the reason) and after it.
bool plat_host_start(char* why, size_t why_size);
void plat_host_stop();
