// DirectSound over the host's one audio device. Every buffer bound to the device is listed in a
// fixed table that the mixer walks from the device's callback; all state the mixer reads is
// changed under the device lock. The mixer allocates nothing and touches no file.
#include "platform/api/dsound8.h"

#include <cstring>
#include <new>

#include "platform/host/audio.h"
#include "platform/host/volume.h"
#include "platform/port/options.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_audio.h"
#include "platform/seams/seams_internal.h"

namespace {

constexpr int DS_MAX_BUFFERS = 1024;  // live buffers across all devices; creation fails beyond
constexpr int DS_MIX_CHUNK = 1024;    // frames summed per pass of the mixer

struct DsObject : IDirectSound {
  ULONG refs = 1;
  int serial = 0;
};

struct DsBuffer : IDirectSoundBuffer {
  ULONG refs = 1;
  int serial = 0;
  DsObject* owner = nullptr;  // null once the device object is gone: silent from then on
  BYTE* data = nullptr;
  DWORD size = 0;
  DWORD caps = 0;
  DWORD original_frequency = 0;
  DWORD frequency = 0;
  uint64_t pos = 0;  // play position in samples, 32.32 fixed point
  bool playing = false;
  bool looping = false;
};

DsBuffer* g_voices[DS_MAX_BUFFERS];
int32_t g_mix[DS_MIX_CHUNK];
int g_serial = 0;

// Holds the device lock for a scope; nothing to lock while no device is open.
struct MixLock {
  uint32_t id;
  MixLock() : id(plat_audio_lock()) {}
  ~MixLock() { plat_audio_unlock(id); }
};

DsBuffer* ds_buffer(IDirectSoundBuffer* b) { return static_cast<DsBuffer*>(b); }
DsObject* ds_object(IDirectSound* d) { return static_cast<DsObject*>(d); }

// Adds one buffer's samples to g_mix, resampled linearly from its frequency to `rate`.
void ds_mix_voice(DsBuffer* b, int frames, int rate) {
  const uint64_t step = ((uint64_t)b->frequency << 32) / (uint64_t)rate;
  const uint64_t end = (uint64_t)b->size << 32;
  const BYTE* data = b->data;
  const DWORD size = b->size;
  uint64_t pos = b->pos;
  for (int i = 0; i < frames; ++i) {
    const DWORD idx = (DWORD)(pos >> 32);
    const int s0 = data[idx] - 128;
    int s1 = 0;  // past the end of a sound played once: fade towards silence
    if (idx + 1 < size)
      s1 = data[idx + 1] - 128;
    else if (b->looping)
      s1 = data[0] - 128;
    const int frac = (int)((pos >> 16) & 0xFFFF);
    g_mix[i] += s0 * 256 + (((s1 - s0) * frac) >> 8);
    pos += step;
    if (pos >= end) {
      if (!b->looping) {
        b->playing = false;
        pos = 0;
        break;
      }
      pos %= end;
    }
  }
  b->pos = pos;
}

// Mixes every playing buffer into `frames` frames of `channels` interleaved samples.
// The caller holds the device lock (SDL holds it around the callback).
void ds_mix(int16_t* out, int frames, int channels, int rate) {
  const int gain = plat_volume_gain();
  while (frames > 0) {
    const int n = frames < DS_MIX_CHUNK ? frames : DS_MIX_CHUNK;
    std::memset(g_mix, 0, sizeof(int32_t) * (size_t)n);
    for (DsBuffer* b : g_voices)
      if (b && b->playing) ds_mix_voice(b, n, rate);
    // Every layout of two or more channels begins with front left and right; centre, LFE and
    // the rear channels stay silent.
    const int voiced = channels < 2 ? channels : 2;
    for (int i = 0; i < n; ++i) {
      int32_t v = g_mix[i];
      if (v > 32767) v = 32767;
      if (v < -32768) v = -32768;
      // After the clip: every volume plays the same waveform, only quieter.
      if (gain != 100) v = v * gain / 100;
      for (int c = 0; c < channels; ++c) *out++ = c < voiced ? (int16_t)v : 0;
    }
    frames -= n;
  }
}

}  // namespace

HRESULT WINAPI DirectSoundCreate(LPCGUID lpGuid, LPDIRECTSOUND* ppDS, LPUNKNOWN pUnkOuter) {
  SEAM_FAULT("DirectSoundCreate");
  if (!ppDS) return DSERR_INVALIDPARAM;
  *ppDS = nullptr;
  if (pUnkOuter) return DSERR_NOAGGREGATION;
  if (lpGuid) return DSERR_NODRIVER;                // only the default device exists
  if (plat_options.nosound) return DSERR_NODRIVER;  // as on a machine without a sound device
  DsObject* d = new (std::nothrow) DsObject;
  if (!d) return DSERR_OUTOFMEMORY;
  if (!plat_audio_open(ds_mix)) {
    delete d;
    return DSERR_NODRIVER;
  }
  d->serial = ++g_serial;
  seam_trace("DirectSoundCreate #%d", d->serial);
  *ppDS = d;
  return DS_OK;
}

ULONG IDirectSound::AddRef() { return ++ds_object(this)->refs; }

ULONG IDirectSound::Release() {
  DsObject* d = ds_object(this);
  if (--d->refs > 0) return d->refs;
  seam_trace("Release DirectSound #%d", d->serial);
  {
    MixLock lock;
    for (DsBuffer*& b : g_voices) {
      if (b && b->owner == d) {
        b->playing = false;
        b->owner = nullptr;
        b = nullptr;
      }
    }
  }
  delete d;
  plat_audio_close();
  return 0;
}

HRESULT IDirectSound::SetCooperativeLevel(HWND hwnd, DWORD dwLevel) {
  SEAM_FAULT("IDirectSound::SetCooperativeLevel");
  if (!hwnd || dwLevel < DSSCL_NORMAL || dwLevel > DSSCL_WRITEPRIMARY) return DSERR_INVALIDPARAM;
  return DS_OK;
}

HRESULT IDirectSound::CreateSoundBuffer(LPCDSBUFFERDESC desc, LPDIRECTSOUNDBUFFER* ppDSBuffer,
                                        LPUNKNOWN pUnkOuter) {
  SEAM_FAULT("IDirectSound::CreateSoundBuffer");
  if (!ppDSBuffer) return DSERR_INVALIDPARAM;
  *ppDSBuffer = nullptr;
  if (pUnkOuter) return DSERR_NOAGGREGATION;
  // The older description without the 3D algorithm is accepted as well.
  if (!desc ||
      (desc->dwSize != sizeof(DSBUFFERDESC) && desc->dwSize != offsetof(DSBUFFERDESC, guid3DAlgorithm)))
    return DSERR_INVALIDPARAM;
  if (desc->dwFlags & DSBCAPS_PRIMARYBUFFER) return DSERR_UNSUPPORTED;
  if (desc->dwBufferBytes < DSBSIZE_MIN || desc->dwBufferBytes > DSBSIZE_MAX || !desc->lpwfxFormat)
    return DSERR_INVALIDPARAM;
  const WAVEFORMATEX& f = *desc->lpwfxFormat;
  if (f.wFormatTag != WAVE_FORMAT_PCM || f.nChannels != 1 || f.wBitsPerSample != 8 || f.nBlockAlign != 1)
    return DSERR_BADFORMAT;
  if (f.nSamplesPerSec < DSBFREQUENCY_MIN || f.nSamplesPerSec > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;

  DsBuffer* b = new (std::nothrow) DsBuffer;
  BYTE* data = b ? new (std::nothrow) BYTE[desc->dwBufferBytes] : nullptr;
  if (!b || !data) {
    delete b;
    return DSERR_OUTOFMEMORY;
  }
  std::memset(data, 0x80, desc->dwBufferBytes);  // unsigned 8-bit silence
  b->serial = ++g_serial;
  b->owner = ds_object(this);
  b->data = data;
  b->size = desc->dwBufferBytes;
  b->caps = desc->dwFlags;
  b->original_frequency = b->frequency = f.nSamplesPerSec;
  bool listed = false;
  {
    MixLock lock;
    for (DsBuffer*& slot : g_voices) {
      if (!slot) {
        slot = b;
        listed = true;
        break;
      }
    }
  }
  if (!listed) {
    delete[] data;
    delete b;
    return DSERR_OUTOFMEMORY;
  }
  seam_trace("CreateSoundBuffer %u bytes %u Hz #%d", b->size, b->frequency, b->serial);
  *ppDSBuffer = b;
  return DS_OK;
}

ULONG IDirectSoundBuffer::AddRef() { return ++ds_buffer(this)->refs; }

ULONG IDirectSoundBuffer::Release() {
  DsBuffer* b = ds_buffer(this);
  if (--b->refs > 0) return b->refs;
  seam_trace("Release sound buffer #%d", b->serial);
  {
    MixLock lock;
    for (DsBuffer*& v : g_voices)
      if (v == b) v = nullptr;
  }
  delete[] b->data;
  delete b;
  return 0;
}

HRESULT IDirectSoundBuffer::GetStatus(LPDWORD pdwStatus) {
  SEAM_FAULT("IDirectSoundBuffer::GetStatus");
  if (!pdwStatus) return DSERR_INVALIDPARAM;
  DsBuffer* b = ds_buffer(this);
  MixLock lock;
  DWORD status = 0;
  if (b->playing) status = DSBSTATUS_PLAYING | (b->looping ? DSBSTATUS_LOOPING : 0);
  *pdwStatus = status;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::GetFrequency(LPDWORD pdwFrequency) {
  SEAM_FAULT("IDirectSoundBuffer::GetFrequency");
  if (!pdwFrequency) return DSERR_INVALIDPARAM;
  *pdwFrequency = ds_buffer(this)->frequency;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Lock(DWORD dwOffset, DWORD dwBytes, LPVOID* ppvAudioPtr1, LPDWORD pdwAudioBytes1,
                                 LPVOID* ppvAudioPtr2, LPDWORD pdwAudioBytes2, DWORD dwFlags) {
  SEAM_FAULT("IDirectSoundBuffer::Lock");
  if (!ppvAudioPtr1 || !pdwAudioBytes1) return DSERR_INVALIDPARAM;
  DsBuffer* b = ds_buffer(this);
  if (dwFlags & DSBLOCK_FROMWRITECURSOR) {
    MixLock lock;
    dwOffset = (DWORD)(b->pos >> 32);  // software mixing: the write cursor is the play cursor
  }
  if (dwFlags & DSBLOCK_ENTIREBUFFER) dwBytes = b->size;
  if (dwOffset >= b->size || dwBytes == 0 || dwBytes > b->size) return DSERR_INVALIDPARAM;
  // A region running past the end wraps to the start through the second pair.
  const DWORD first = dwBytes < b->size - dwOffset ? dwBytes : b->size - dwOffset;
  *ppvAudioPtr1 = b->data + dwOffset;
  *pdwAudioBytes1 = first;
  if (ppvAudioPtr2) *ppvAudioPtr2 = dwBytes > first ? b->data : nullptr;
  if (pdwAudioBytes2) *pdwAudioBytes2 = ppvAudioPtr2 ? dwBytes - first : 0;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Unlock(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID pvAudioPtr2,
                                   DWORD dwAudioBytes2) {
  SEAM_FAULT("IDirectSoundBuffer::Unlock");
  DsBuffer* b = ds_buffer(this);
  auto inside = [b](LPVOID p, DWORD n) {
    if (!p) return n == 0;
    const BYTE* q = static_cast<const BYTE*>(p);
    return q >= b->data && q < b->data + b->size && n <= (DWORD)(b->data + b->size - q);
  };
  if (!inside(pvAudioPtr1, dwAudioBytes1) || !inside(pvAudioPtr2, dwAudioBytes2)) return DSERR_INVALIDPARAM;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Play(DWORD dwReserved1, DWORD dwPriority, DWORD dwFlags) {
  SEAM_FAULT("IDirectSoundBuffer::Play");
  if (dwReserved1 != 0 || dwPriority != 0) return DSERR_INVALIDPARAM;
  DsBuffer* b = ds_buffer(this);
  if (!b->owner) return DSERR_NODRIVER;  // its device is closed: nothing would be heard
  bool loop = (dwFlags & DSBPLAY_LOOPING) != 0;
  seam_trace("Play sound buffer #%d%s", b->serial, loop ? " looping" : "");
  MixLock lock;
  b->playing = true;
  b->looping = loop;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetCurrentPosition(DWORD dwNewPosition) {
  SEAM_FAULT("IDirectSoundBuffer::SetCurrentPosition");
  DsBuffer* b = ds_buffer(this);
  if (dwNewPosition >= b->size) return DSERR_INVALIDPARAM;
  MixLock lock;
  b->pos = (uint64_t)dwNewPosition << 32;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::SetFrequency(DWORD dwFrequency) {
  SEAM_FAULT("IDirectSoundBuffer::SetFrequency");
  DsBuffer* b = ds_buffer(this);
  if (!(b->caps & DSBCAPS_CTRLFREQUENCY)) return DSERR_CONTROLUNAVAIL;
  if (dwFrequency == DSBFREQUENCY_ORIGINAL) dwFrequency = b->original_frequency;
  if (dwFrequency < DSBFREQUENCY_MIN || dwFrequency > DSBFREQUENCY_MAX) return DSERR_INVALIDPARAM;
  MixLock lock;
  b->frequency = dwFrequency;
  return DS_OK;
}

HRESULT IDirectSoundBuffer::Stop() {
  SEAM_FAULT("IDirectSoundBuffer::Stop");
  DsBuffer* b = ds_buffer(this);
  MixLock lock;
  b->playing = false;
  return DS_OK;
}

void plat_sound_stop_all() {
  MixLock lock;
  for (DsBuffer* b : g_voices)
    if (b) b->playing = false;
}

void seam_audio_manual(bool on) { plat_audio_manual(on); }

void seam_audio_mix(int16_t* out, int frames, int rate, int channels) {
  if (!out || frames <= 0 || rate <= 0 || channels < 1) return;
  MixLock lock;
  ds_mix(out, frames, channels, rate);
}

int seam_audio_device_rate() { return plat_audio_rate(); }
int seam_audio_device_channels() { return plat_audio_channels(); }

int seam_audio_buffer_count() {
  MixLock lock;
  int n = 0;
  for (DsBuffer* b : g_voices) n += b != nullptr;
  return n;
}
