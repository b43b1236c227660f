// Test seams of the sound and music objects: the mixer's output as samples, without waiting
// on a device, and the music objects the game itself never creates.
#pragma once
#include <cstdint>

struct IDirectMusicSegment;

// While on, the device's callback plays silence and moves no buffer: only seam_audio_mix
// advances the sounds, so what a test reads is deterministic. Off by default.
void seam_audio_manual(bool on);
// Runs the mixer for `frames` frames of `channels` interleaved samples at `rate` frames per
// second into `out`, exactly as the device callback would (every playing buffer resampled,
// summed and clipped).
void seam_audio_mix(int16_t* out, int frames, int rate, int channels = 1);
// The opened device's frames per second and channels; 0 while no device is open.
int seam_audio_device_rate();
int seam_audio_device_channels();
// Buffers the mixer currently knows about (alive and bound to an open device).
int seam_audio_buffer_count();

// A segment object as a loader would hand out, for driving the music slots' clean-up.
IDirectMusicSegment* seam_music_segment_create();
// Outstanding CoInitialize calls not yet balanced by CoUninitialize.
int seam_com_depth();
// Music objects (performances, loaders, segments) still alive.
int seam_music_objects();
