// The sound table: WAV files loaded into static buffers, played, stopped and polled by id.
// A sound id is an index into snd_table, 0 to SND_MAX_SOUNDS - 1; -1 stands for no sound.
#pragma once
#include <cstdint>

#include "platform/win32.h"

constexpr int SND_MAX_SOUNDS = 256;
constexpr DWORD SND_LOAD_FLAGS = 0xE0;  // frequency, pan and volume controls
constexpr DWORD SND_PLAY_RATE = 22050;
// Every buffer holds 8-bit mono samples at this nominal rate until its frequency is set.
constexpr DWORD SND_BUFFER_RATE = 11025;

struct SoundSlot {
  IDirectSoundBuffer* buffer;  // null when the slot holds no playable sound
  int32_t in_use;              // 1 once a load claimed it; only snd_init frees it again
  uint32_t file_rate;          // samples per second from the file's format chunk
  uint32_t size;               // sound data in bytes, the buffer's size
  int32_t id;                  // the slot's own index
};

extern IDirectSound* snd_direct_sound;  // null until created, or when creation failed
extern int32_t snd_first_call;          // 1 until the first snd_init tries to create the device
extern SoundSlot snd_table[SND_MAX_SOUNDS];
extern WAVEFORMATEX snd_wave_format;  // filled by every load
extern DSBUFFERDESC snd_buffer_desc;  // filled by every load

int snd_init();
int32_t snd_load_wav(const char* path, DWORD flags);
int snd_play(int32_t id, DWORD flags);
int snd_set_frequency(int32_t id, DWORD rate);
int snd_stop(int32_t id);
int snd_stop_all();
int snd_delete(int32_t id);
int snd_delete_all();
int32_t snd_get_status(int32_t id);  // status bits, or -1 without a buffer
int snd_shutdown();
// Length of the sound at its current frequency in milliseconds, rounded up; 0 without a buffer.
// Bounds how long a caller may wait for a sound played once.
uint32_t snd_length_ms(int32_t id);
