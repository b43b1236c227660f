// The DirectMusic objects the game opens and closes. No music is ever played, so the objects
// keep only what their lifetimes need: a reference count and the DirectSound object.
#include "platform/api/dmusic8.h"

#include <new>

#include "platform/seams/seams.h"
#include "platform/seams/seams_audio.h"
#include "platform/seams/seams_internal.h"

const GUID CLSID_DirectMusicPerformance = {
    0xd2ac2881, 0xb39b, 0x11d1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const GUID CLSID_DirectMusicLoader = {
    0xd2ac2892, 0xb39b, 0x11d1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const GUID IID_IDirectMusicPerformance = {
    0x07d43d03, 0x6523, 0x11d2, {0x87, 0x1d, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};
const GUID IID_IDirectMusicLoader = {
    0x2ffaaca2, 0x5dca, 0x11d2, {0xaf, 0xa6, 0x00, 0xaa, 0x00, 0x24, 0xd8, 0xb6}};
const GUID GUID_Unload = {0xd2ac28a8, 0xb39b, 0x11d1, {0x87, 0x04, 0x00, 0x60, 0x08, 0x93, 0xb1, 0xbd}};

namespace {

struct MusPerformance : IDirectMusicPerformance {
  ULONG refs = 1;
  int serial = 0;
  bool inited = false;
  bool port = false;
  IDirectSound* sound = nullptr;  // referenced from Init to CloseDown
};

struct MusLoader : IDirectMusicLoader {
  ULONG refs = 1;
  int serial = 0;
};

struct MusSegment : IDirectMusicSegment {
  ULONG refs = 1;
  int serial = 0;
};

int g_objects = 0;
int g_serial = 0;

MusPerformance* mus_perf(IDirectMusicPerformance* p) { return static_cast<MusPerformance*>(p); }

void mus_perf_close(MusPerformance* p) {
  if (p->sound) p->sound->Release();
  p->sound = nullptr;
  p->inited = false;
  p->port = false;
}

}  // namespace

HRESULT plat_dmusic_create(REFCLSID rclsid, REFIID riid, LPVOID* ppv, HRESULT not_mine) {
  if (rclsid == CLSID_DirectMusicPerformance) {
    if (!(riid == IID_IDirectMusicPerformance)) return E_NOINTERFACE;
    MusPerformance* p = new (std::nothrow) MusPerformance;
    if (!p) return E_OUTOFMEMORY;
    p->serial = ++g_serial;
    ++g_objects;
    seam_trace("CoCreateInstance performance #%d", p->serial);
    *ppv = static_cast<IDirectMusicPerformance*>(p);
    return S_OK;
  }
  if (rclsid == CLSID_DirectMusicLoader) {
    if (!(riid == IID_IDirectMusicLoader)) return E_NOINTERFACE;
    MusLoader* l = new (std::nothrow) MusLoader;
    if (!l) return E_OUTOFMEMORY;
    l->serial = ++g_serial;
    ++g_objects;
    seam_trace("CoCreateInstance loader #%d", l->serial);
    *ppv = static_cast<IDirectMusicLoader*>(l);
    return S_OK;
  }
  return not_mine;
}

ULONG IDirectMusicPerformance::AddRef() { return ++mus_perf(this)->refs; }

ULONG IDirectMusicPerformance::Release() {
  MusPerformance* p = mus_perf(this);
  if (--p->refs > 0) return p->refs;
  seam_trace("Release performance #%d", p->serial);
  mus_perf_close(p);
  delete p;
  --g_objects;
  return 0;
}

HRESULT IDirectMusicPerformance::Init(IDirectMusic** ppDirectMusic, LPDIRECTSOUND pDirectSound, HWND) {
  SEAM_FAULT("IDirectMusicPerformance::Init");
  MusPerformance* p = mus_perf(this);
  if (p->inited) return DMUS_E_ALREADY_INITED;
  if (ppDirectMusic) return E_NOTIMPL;  // no DirectMusic object is handed out
  if (pDirectSound) pDirectSound->AddRef();
  p->sound = pDirectSound;
  p->inited = true;
  seam_trace("IDirectMusicPerformance::Init #%d%s", p->serial, pDirectSound ? " on DirectSound" : "");
  return S_OK;
}

HRESULT IDirectMusicPerformance::AddPort(IDirectMusicPort* pPort) {
  SEAM_FAULT("IDirectMusicPerformance::AddPort");
  MusPerformance* p = mus_perf(this);
  if (!p->inited) return DMUS_E_NOT_INIT;
  if (pPort) return E_NOTIMPL;  // only the default port
  p->port = true;
  return S_OK;
}

HRESULT IDirectMusicPerformance::Stop(IDirectMusicSegment*, IDirectMusicSegmentState*, MUSIC_TIME, DWORD) {
  SEAM_FAULT("IDirectMusicPerformance::Stop");
  seam_trace("IDirectMusicPerformance::Stop #%d", mus_perf(this)->serial);
  return S_OK;
}

HRESULT IDirectMusicPerformance::CloseDown() {
  SEAM_FAULT("IDirectMusicPerformance::CloseDown");
  MusPerformance* p = mus_perf(this);
  seam_trace("IDirectMusicPerformance::CloseDown #%d", p->serial);
  mus_perf_close(p);
  return S_OK;
}

ULONG IDirectMusicLoader::AddRef() { return ++static_cast<MusLoader*>(this)->refs; }

ULONG IDirectMusicLoader::Release() {
  MusLoader* l = static_cast<MusLoader*>(this);
  if (--l->refs > 0) return l->refs;
  seam_trace("Release loader #%d", l->serial);
  delete l;
  --g_objects;
  return 0;
}

ULONG IDirectMusicSegment::AddRef() { return ++static_cast<MusSegment*>(this)->refs; }

ULONG IDirectMusicSegment::Release() {
  MusSegment* s = static_cast<MusSegment*>(this);
  if (--s->refs > 0) return s->refs;
  seam_trace("Release segment #%d", s->serial);
  delete s;
  --g_objects;
  return 0;
}

HRESULT IDirectMusicSegment::SetParam(REFGUID rguidType, DWORD, DWORD, MUSIC_TIME, void* pParam) {
  SEAM_FAULT("IDirectMusicSegment::SetParam");
  MusSegment* s = static_cast<MusSegment*>(this);
  if (rguidType == GUID_Unload) {
    if (!pParam) return E_POINTER;
    seam_trace("Unload segment #%d", s->serial);
    return S_OK;
  }
  return E_NOTIMPL;
}

IDirectMusicSegment* seam_music_segment_create() {
  MusSegment* s = new MusSegment;
  s->serial = ++g_serial;
  ++g_objects;
  seam_trace("Create segment #%d", s->serial);
  return s;
}

int seam_music_objects() { return g_objects; }
