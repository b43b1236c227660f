// COM start-up and the one class factory the game uses, for the DirectMusic objects.
#include "platform/api/com32.h"

#include "platform/api/dmusic8.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_audio.h"
#include "platform/seams/seams_internal.h"

namespace {
int g_com_depth = 0;
}  // namespace

HRESULT WINAPI CoInitialize(LPVOID) {
  SEAM_FAULT("CoInitialize");
  seam_trace("CoInitialize");
  return g_com_depth++ == 0 ? S_OK : S_FALSE;
}

void WINAPI CoUninitialize() {
  seam_trace("CoUninitialize");
  if (g_com_depth > 0) --g_com_depth;
}

HRESULT WINAPI CoCreateInstance(REFCLSID rclsid, LPUNKNOWN pUnkOuter, DWORD dwClsContext, REFIID riid,
                                LPVOID* ppv) {
  SEAM_FAULT("CoCreateInstance");
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (g_com_depth == 0) return CO_E_NOTINITIALIZED;
  if (pUnkOuter) return CLASS_E_NOAGGREGATION;
  if (!(dwClsContext & CLSCTX_INPROC)) return REGDB_E_CLASSNOTREG;
  return plat_dmusic_create(rclsid, riid, ppv, REGDB_E_CLASSNOTREG);
}

int seam_com_depth() { return g_com_depth; }
