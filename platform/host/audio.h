// The one audio device: opened by the first sound object, closed by the last.
#pragma once
#include <cstdint>

// Fills `frames` frames of `channels` interleaved 16-bit samples at `rate` frames per second;
// called with the device lock held.
typedef void (*PlatMixer)(int16_t* out, int frames, int channels, int rate);

// False (told on stderr in one line) when there is no device.
bool plat_audio_open(PlatMixer mix);
void plat_audio_close();
int plat_audio_rate();      // 0 while closed
int plat_audio_channels();  // 0 while closed
// The device lock around what the mixer reads; the token goes back to unlock.
uint32_t plat_audio_lock();
void plat_audio_unlock(uint32_t token);
// Holds the device (the mixer is not asked and no sound moves on) while the game is paused.
void plat_audio_pause(bool on);
// Silence from the device and no mixing, so that only tests advance the sounds.
void plat_audio_manual(bool on);
