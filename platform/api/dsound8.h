// DirectSound: static 8-bit mono buffers mixed into one SDL audio device.
#pragma once
#include "platform/api/mmio32.h"
#include "platform/wintypes.h"

#define _FACDS 0x878
#define MAKE_DSHRESULT(code) ((HRESULT)(0x80000000u | ((DWORD)_FACDS << 16) | (DWORD)(code)))
#define DS_OK S_OK
#define DSERR_ALLOCATED MAKE_DSHRESULT(10)
#define DSERR_CONTROLUNAVAIL MAKE_DSHRESULT(30)
#define DSERR_INVALIDPARAM E_INVALIDARG
#define DSERR_INVALIDCALL MAKE_DSHRESULT(50)
#define DSERR_GENERIC E_FAIL
#define DSERR_OUTOFMEMORY E_OUTOFMEMORY
#define DSERR_BADFORMAT MAKE_DSHRESULT(100)
#define DSERR_UNSUPPORTED E_NOTIMPL
#define DSERR_NODRIVER MAKE_DSHRESULT(120)
#define DSERR_NOAGGREGATION ((HRESULT)0x80040110L)

#define DSSCL_NORMAL 1
#define DSSCL_PRIORITY 2
#define DSSCL_EXCLUSIVE 3
#define DSSCL_WRITEPRIMARY 4

#define DSBPLAY_LOOPING 0x00000001
#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004
#define DSBLOCK_FROMWRITECURSOR 0x00000001
#define DSBLOCK_ENTIREBUFFER 0x00000002

#define DSBCAPS_PRIMARYBUFFER 0x00000001
#define DSBCAPS_STATIC 0x00000002
#define DSBCAPS_LOCHARDWARE 0x00000004
#define DSBCAPS_LOCSOFTWARE 0x00000008
#define DSBCAPS_CTRL3D 0x00000010
#define DSBCAPS_CTRLFREQUENCY 0x00000020
#define DSBCAPS_CTRLPAN 0x00000040
#define DSBCAPS_CTRLVOLUME 0x00000080

#define DSBSIZE_MIN 4
#define DSBSIZE_MAX 0x0FFFFFFF
#define DSBFREQUENCY_ORIGINAL 0
#define DSBFREQUENCY_MIN 100
#define DSBFREQUENCY_MAX 200000

struct DSBUFFERDESC {
  DWORD dwSize;
  DWORD dwFlags;
  DWORD dwBufferBytes;
  DWORD dwReserved;
  LPWAVEFORMATEX lpwfxFormat;
  GUID guid3DAlgorithm;
};
typedef DSBUFFERDESC* LPDSBUFFERDESC;
typedef const DSBUFFERDESC* LPCDSBUFFERDESC;

struct IDirectSoundBuffer;
typedef IDirectSoundBuffer* LPDIRECTSOUNDBUFFER;

// One static buffer. Only 8-bit mono PCM is accepted. Once played it is mixed at its own
// frequency until it ends (played once) or is stopped; the position is in bytes.
struct IDirectSoundBuffer {
  ULONG AddRef();
  ULONG Release();
  HRESULT GetStatus(LPDWORD pdwStatus);
  HRESULT GetFrequency(LPDWORD pdwFrequency);
  HRESULT Lock(DWORD dwOffset, DWORD dwBytes, LPVOID* ppvAudioPtr1, LPDWORD pdwAudioBytes1,
               LPVOID* ppvAudioPtr2, LPDWORD pdwAudioBytes2, DWORD dwFlags);
  HRESULT Unlock(LPVOID pvAudioPtr1, DWORD dwAudioBytes1, LPVOID pvAudioPtr2, DWORD dwAudioBytes2);
  HRESULT Play(DWORD dwReserved1, DWORD dwPriority, DWORD dwFlags);
  HRESULT SetCurrentPosition(DWORD dwNewPosition);
  HRESULT SetFrequency(DWORD dwFrequency);
  HRESULT Stop();

 protected:
  IDirectSoundBuffer() = default;
};

// The device object. Releasing the last reference stops its buffers and closes the device;
// buffers still held stay valid to call and to Release, but are heard no more.
struct IDirectSound {
  ULONG AddRef();
  ULONG Release();
  HRESULT CreateSoundBuffer(LPCDSBUFFERDESC pcDSBufferDesc, LPDIRECTSOUNDBUFFER* ppDSBuffer,
                            LPUNKNOWN pUnkOuter);
  HRESULT SetCooperativeLevel(HWND hwnd, DWORD dwLevel);

 protected:
  IDirectSound() = default;
};
typedef IDirectSound* LPDIRECTSOUND;
typedef const GUID* LPCGUID;

// Starts SDL's audio and opens one output device; DSERR_NODRIVER when none can be opened.
HRESULT WINAPI DirectSoundCreate(LPCGUID lpGuid, LPDIRECTSOUND* ppDS, LPUNKNOWN pUnkOuter);

// The program is about to end: every buffer stops, so a wait for a sound to end sees it over.
void plat_sound_stop_all();
