// The sound table: WAV files loaded into static buffers, played, stopped and polled by id.
#pragma once
#include <cstdint>

#include "platform/win32.h"

constexpr int SND_MAX_SOUNDS = 256;
constexpr DWORD SND_LOAD_FLAGS = 0xE0;
constexpr DWORD SND_PLAY_RATE = 22050;

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
// Length of the sound at its current frequency in milliseconds; 0 without a buffer.
uint32_t snd_length_ms(int32_t id);
