// The SDL event pump: window events become the border's window messages, F11 and the focus are
// handled on the spot (a lost focus pauses the game), Escape and the wheel go to the border.
#pragma once

// Takes every pending SDL event; the border's reads call it when no tap takes the events.
void plat_pump_events();
// The same where a pass of the loop begins (PeekMessageA): a focus loss or minimising seen since
// (also by a read) pauses here, between frames, until the focus or the window comes back or the
// window is closed. Never without a loss, nor with --no-pause-unfocused.
void plat_pump_pass();
