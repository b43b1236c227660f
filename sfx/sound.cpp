#include "sfx/sound.h"

#include <cstring>

#include "app/globals.h"

IDirectSound* snd_direct_sound = nullptr;
int32_t snd_first_call = 1;
SoundSlot snd_table[SND_MAX_SOUNDS];
WAVEFORMATEX snd_wave_format;
DSBUFFERDESC snd_buffer_desc;

static SoundSlot* snd_slot(int32_t id) {
  if (id < 0 || id >= SND_MAX_SOUNDS) return nullptr;
  return &snd_table[id];
}

static IDirectSoundBuffer* snd_buffer(int32_t id) {
  SoundSlot* s = snd_slot(id);
  return s ? s->buffer : nullptr;
}

int snd_init() {
  if (snd_first_call) {
    std::memset(snd_table, 0, sizeof snd_table);
    snd_first_call = 0;
    if (FAILED(DirectSoundCreate(nullptr, &snd_direct_sound, nullptr))) return 0;
    if (FAILED(snd_direct_sound->SetCooperativeLevel(game_window, DSSCL_NORMAL))) return 0;
  }
  for (int32_t i = 0; i < SND_MAX_SOUNDS; ++i) {
    SoundSlot& s = snd_table[i];
    if (s.buffer) {
      s.buffer->Stop();
      s.buffer->Release();
    }
    s = SoundSlot{};
    s.id = i;
  }
  return 1;
}

int snd_play(int32_t id, DWORD flags) {
  IDirectSoundBuffer* b = snd_buffer(id);
  if (!b) return 1;
  if (FAILED(b->SetCurrentPosition(0))) return 0;
  if (FAILED(b->Play(0, 0, flags))) return 0;
  return 1;
}

int snd_set_frequency(int32_t id, DWORD rate) {
  IDirectSoundBuffer* b = snd_buffer(id);
  if (!b) return 0;
  return b->SetFrequency(rate) == DS_OK ? 1 : 0;
}

int snd_stop(int32_t id) {
  IDirectSoundBuffer* b = snd_buffer(id);
  if (b) {
    b->Stop();
    b->SetCurrentPosition(0);
  }
  return 1;
}

int snd_stop_all() {
  for (int32_t i = 0; i < SND_MAX_SOUNDS; ++i) snd_stop(i);
  return 1;
}

int snd_delete(int32_t id) {
  snd_stop(id);
  SoundSlot* s = snd_slot(id);
  if (s && s->buffer) {
    s->buffer->Release();
    s->buffer = nullptr;
  }
  return 1;
}

int snd_delete_all() {
  for (int32_t i = 0; i < SND_MAX_SOUNDS; ++i) snd_delete(i);
  return 1;
}

int32_t snd_get_status(int32_t id) {
  IDirectSoundBuffer* b = snd_buffer(id);
  if (!b) return -1;
  DWORD status = 0;
  if (FAILED(b->GetStatus(&status))) return 0;
  return (int32_t)status;
}

// The pointers are cleared as they are released, so a later call finds nothing to release
// twice.
int snd_shutdown() {
  snd_stop_all();
  for (SoundSlot& s : snd_table) {
    if (s.buffer) {
      s.buffer->Release();
      s.buffer = nullptr;
    }
  }
  if (snd_direct_sound) {
    snd_direct_sound->Release();
    snd_direct_sound = nullptr;
  }
  return 1;
}

uint32_t snd_length_ms(int32_t id) {
  SoundSlot* s = snd_slot(id);
  if (!s || !s->buffer) return 0;
  DWORD rate = 0;
  if (FAILED(s->buffer->GetFrequency(&rate)) || rate == 0) return 0;
  return (uint32_t)(((uint64_t)s->size * 1000u + rate - 1) / rate);
}
