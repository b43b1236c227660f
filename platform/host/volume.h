// The player's volume and the mute key (F10), applied by the mixer to everything it plays.
#pragma once

// What the mixer plays of its sum, in percent: --volume, or 0 while muted. Safe to call from
// the audio callback.
int plat_volume_gain();
void plat_volume_toggle_mute();
bool plat_volume_muted();
