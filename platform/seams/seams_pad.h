// Virtual game controllers (SDL's virtual joysticks) for tests and end-to-end runs.
#pragma once

// Attaches a pad with every standard button and axis, at rest; its number for the calls
// below, or -1 when SDL's controller subsystem is not up.
int seam_pad_attach();
// SDL's names: "a", "back", "dpleft"...; "leftx", "righttrigger"... False for an unknown name
// or pad.
bool seam_pad_button(int pad, const char* name, bool down);
bool seam_pad_axis(int pad, const char* name, int value);
void seam_pad_detach(int pad);
void seam_pad_detach_all();
// With TARVELLIN_TEST_PAD naming a FIFO: takes the lines written to it so far, one command
// each ("attach", "detach", "button a 1", "axis leftx -32767", acting on the last pad
// attached). The event pump calls it; without the variable it does nothing. Anything but a
// FIFO is refused on stderr; a line longer than 256 bytes is dropped.
void seam_pad_script_poll();
// Forgets the FIFO: the next poll reads the variable again.
void seam_pad_script_reset();
