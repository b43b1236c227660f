// The WAV reader: one RIFF WAVE file into a static buffer of the fixed 8-bit mono format.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "sfx/sound.h"

static void snd_fill_format() {
  snd_wave_format = WAVEFORMATEX{};
  snd_wave_format.wFormatTag = WAVE_FORMAT_PCM;
  snd_wave_format.nChannels = 1;
  snd_wave_format.nSamplesPerSec = SND_BUFFER_RATE;
  snd_wave_format.nAvgBytesPerSec = SND_BUFFER_RATE;
  snd_wave_format.nBlockAlign = 1;
  snd_wave_format.wBitsPerSample = 8;
  snd_wave_format.cbSize = 0;
}

// Finds the "fmt " and "data" chunks; leaves the file at the start of the sample bytes.
// False when the file is not a PCM RIFF WAVE file as read here.
static bool snd_find_chunks(HMMIO file, WAVEFORMATEX* format, MMCKINFO* data) {
  MMCKINFO riff{};
  riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
  if (mmioDescend(file, &riff, nullptr, MMIO_FINDRIFF) != 0) return false;
  data->ckid = mmioFOURCC('f', 'm', 't', ' ');
  if (mmioDescend(file, data, &riff, MMIO_FINDCHUNK) != 0) return false;
  // A 16-byte chunk is read on into what follows it; the last two bytes are not used.
  if (mmioRead(file, reinterpret_cast<HPSTR>(format), sizeof *format) != (LONG)sizeof *format) return false;
  if (format->wFormatTag != WAVE_FORMAT_PCM) return false;
  if (mmioAscend(file, data, 0) != 0) return false;
  data->ckid = mmioFOURCC('d', 'a', 't', 'a');
  return mmioDescend(file, data, &riff, MMIO_FINDCHUNK) == 0;
}

// The sound is as long as the data chunk says, or as the file holds when it ends first: a size
// field that lies allocates no more than the file's own length. A file ending less than the
// smallest buffer past the chunk's start still gives that buffer, its tail silent.
static bool snd_held_bytes(HMMIO file, DWORD claimed, DWORD* size) {
  LONG here = mmioSeek(file, 0, SEEK_CUR);
  LONG end = mmioSeek(file, 0, SEEK_END);
  if (here < 0 || end < here || mmioSeek(file, here, SEEK_SET) != here) return false;
  DWORD held = (DWORD)(end - here);
  if (held < DSBSIZE_MIN) held = DSBSIZE_MIN;
  *size = claimed < held ? claimed : held;
  return true;
}

// Copies `size` bytes of `src` into the locked regions of `buffer`.
static bool snd_fill_buffer(IDirectSoundBuffer* buffer, const BYTE* src, DWORD size) {
  LPVOID p1 = nullptr;
  LPVOID p2 = nullptr;
  DWORD n1 = 0;
  DWORD n2 = 0;
  if (FAILED(buffer->Lock(0, size, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR))) return false;
  if (n1 > size) n1 = size;
  if (n2 > size - n1) n2 = size - n1;
  if (p1) std::memcpy(p1, src, n1);
  if (p2) std::memcpy(p2, src + n1, n2);
  return !FAILED(buffer->Unlock(p1, n1, p2, n2));
}

int32_t snd_load_wav(const char* path, DWORD flags) {
  int32_t id = -1;
  for (int32_t i = 0; i < SND_MAX_SOUNDS; ++i) {
    if (!snd_table[i].in_use) {
      id = i;
      break;
    }
  }
  if (id < 0 || !path) return -1;

  HMMIO file = mmioOpenA(const_cast<LPSTR>(path), nullptr, MMIO_READ | MMIO_ALLOCBUF);
  if (!file) return -1;
  WAVEFORMATEX format{};
  MMCKINFO data{};
  DWORD size = 0;
  if (!snd_find_chunks(file, &format, &data) || !snd_held_bytes(file, data.cksize, &size)) {
    mmioClose(file, 0);
    return -1;
  }
  BYTE* block = static_cast<BYTE*>(std::malloc(size ? size : 1));
  if (!block) {
    mmioClose(file, 0);
    return -1;
  }
  LONG got = mmioRead(file, reinterpret_cast<HPSTR>(block), (LONG)size);
  if (got < 0 || (DWORD)got > size) got = 0;  // what a failed read left out is silence
  std::memset(block + got, 0x80, size - (DWORD)got);
  mmioClose(file, 0);

  snd_fill_format();
  SoundSlot& slot = snd_table[id];
  slot.file_rate = format.nSamplesPerSec;
  slot.size = size;
  slot.in_use = 1;

  snd_buffer_desc = DSBUFFERDESC{};
  snd_buffer_desc.dwSize = sizeof(DSBUFFERDESC);
  snd_buffer_desc.dwFlags = flags | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE;
  snd_buffer_desc.dwBufferBytes = size;
  snd_buffer_desc.lpwfxFormat = &snd_wave_format;
  if (!snd_direct_sound ||
      FAILED(snd_direct_sound->CreateSoundBuffer(&snd_buffer_desc, &slot.buffer, nullptr))) {
    slot.buffer = nullptr;
    std::free(block);
    return -1;
  }
  bool filled = snd_fill_buffer(slot.buffer, block, size);
  std::free(block);
  return filled ? id : -1;
}
