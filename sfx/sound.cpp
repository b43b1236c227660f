// Placeholder until the sound layer lands: every sound is missing.
#include "sfx/sound.h"

int snd_init() { return 0; }
int32_t snd_load_wav(const char*, DWORD) { return -1; }
int snd_play(int32_t, DWORD) { return 1; }
int snd_set_frequency(int32_t, DWORD) { return 0; }
int snd_stop(int32_t) { return 1; }
int snd_stop_all() { return 1; }
int snd_delete(int32_t) { return 1; }
int snd_delete_all() { return 1; }
int32_t snd_get_status(int32_t) { return -1; }
int snd_shutdown() { return 1; }
uint32_t snd_length_ms(int32_t) { return 0; }
