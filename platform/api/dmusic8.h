// DirectMusic as far as the game goes: a performance opened on a DirectSound object and
// closed again, a loader that is created and released, and segments that can be unloaded.
// Nothing plays.
#pragma once
#include "platform/api/dsound8.h"
#include "platform/wintypes.h"

typedef LONG MUSIC_TIME;

#define MAKE_DMHRESULTERROR(code) ((HRESULT)(0x80040000u | (DWORD)(code)))
#define DMUS_E_ALREADY_INITED MAKE_DMHRESULTERROR(0x0151)
#define DMUS_E_NOT_INIT MAKE_DMHRESULTERROR(0x0162)

extern const GUID CLSID_DirectMusicPerformance;
extern const GUID CLSID_DirectMusicLoader;
extern const GUID IID_IDirectMusicPerformance;
extern const GUID IID_IDirectMusicLoader;
extern const GUID GUID_Unload;

struct IDirectMusic;
struct IDirectMusicPort;
struct IDirectMusicSegmentState;

struct IDirectMusicSegment {
  ULONG AddRef();
  ULONG Release();
  HRESULT SetParam(REFGUID rguidType, DWORD dwGroupBits, DWORD dwIndex, MUSIC_TIME mtTime, void* pParam);

 protected:
  IDirectMusicSegment() = default;
};

// Init holds a reference to the DirectSound object until CloseDown (or the last Release).
struct IDirectMusicPerformance {
  ULONG AddRef();
  ULONG Release();
  HRESULT Init(IDirectMusic** ppDirectMusic, LPDIRECTSOUND pDirectSound, HWND hWnd);
  HRESULT AddPort(IDirectMusicPort* pPort);
  HRESULT Stop(IDirectMusicSegment* pSegment, IDirectMusicSegmentState* pSegmentState, MUSIC_TIME mtTime,
               DWORD dwFlags);
  HRESULT CloseDown();

 protected:
  IDirectMusicPerformance() = default;
};

struct IDirectMusicLoader {
  ULONG AddRef();
  ULONG Release();

 protected:
  IDirectMusicLoader() = default;
};

// Inside the platform layer: a performance or loader object for CoCreateInstance; `not_mine`
// for another class.
HRESULT plat_dmusic_create(REFCLSID rclsid, REFIID riid, LPVOID* ppv, HRESULT not_mine);
