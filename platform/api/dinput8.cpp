// DirectInput 8: the keyboard and mouse devices read what the input border gives.
#include "platform/api/dinput8.h"

#include <new>

#include "platform/api/winuser32.h"
#include "platform/host/input.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_internal.h"

const GUID IID_IDirectInput8A = {
    0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

const DIDATAFORMAT c_dfDIKeyboard = {24, 16, 0x2, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse = {24, 16, 0x2, 16, 7, nullptr};

namespace {

// Windows virtual-key codes the game asks GetAsyncKeyState about, by key position.
int vk_to_dik(int vk) {
  if (vk == VK_ESCAPE) return DIK_ESCAPE;
  if (vk >= 'A' && vk <= 'Z') {
    static const BYTE letters[26] = {DIK_A, DIK_B, DIK_C, DIK_D, DIK_E, DIK_F, DIK_G, DIK_H, DIK_I,
                                     DIK_J, DIK_K, DIK_L, DIK_M, DIK_N, DIK_O, DIK_P, DIK_Q, DIK_R,
                                     DIK_S, DIK_T, DIK_U, DIK_V, DIK_W, DIK_X, DIK_Y, DIK_Z};
    return letters[vk - 'A'];
  }
  if (vk >= '1' && vk <= '9') return DIK_1 + (vk - '1');
  if (vk == '0') return DIK_0;
  switch (vk) {
    case 0x25:
      return DIK_LEFT;
    case 0x26:
      return DIK_UP;
    case 0x27:
      return DIK_RIGHT;
    case 0x28:
      return DIK_DOWN;
    case 0x20:
      return DIK_SPACE;
    case 0x0D:
      return DIK_RETURN;
    case 0xA2:
      return DIK_LCONTROL;
    case 0xA4:
      return DIK_LMENU;
    default:
      return 0;
  }
}

}  // namespace

SHORT WINAPI GetAsyncKeyState(int vkey) {
  const int dik = vk_to_dik(vkey);
  return dik ? plat_input_async(dik) : 0;
}

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* out,
                                  LPUNKNOWN outer) {
  SEAM_FAULT("DirectInput8Create");
  if (!out) return DIERR_INVALIDPARAM;
  *out = nullptr;
  if (!instance || outer) return DIERR_INVALIDPARAM;
  if (version < 0x0800) return (HRESULT)0x8878000AL;  // DIERR_OLDDIRECTINPUTVERSION
  if (!(iid == IID_IDirectInput8A)) return E_NOINTERFACE;
  IDirectInput8A* di = new (std::nothrow) IDirectInput8A{1};
  if (!di) return E_OUTOFMEMORY;
  seam_trace("DirectInput8Create");
  *out = di;
  return DI_OK;
}

HRESULT IDirectInput8A::CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer) {
  SEAM_FAULT("IDirectInput8::CreateDevice");
  if (!device) return DIERR_INVALIDPARAM;
  *device = nullptr;
  if (outer) return DIERR_INVALIDPARAM;
  bool mouse;
  if (guid == GUID_SysKeyboard)
    mouse = false;
  else if (guid == GUID_SysMouse)
    mouse = true;
  else
    return DIERR_DEVICENOTREG;
  IDirectInputDevice8A* d = new (std::nothrow) IDirectInputDevice8A{mouse, false, false, 1};
  if (!d) return E_OUTOFMEMORY;
  seam_trace("CreateDevice %s", mouse ? "mouse" : "keyboard");
  *device = d;
  return DI_OK;
}

ULONG IDirectInput8A::AddRef() { return ++refs; }

ULONG IDirectInput8A::Release() {
  ULONG left = --refs;
  if (left == 0) {
    seam_trace("Release DirectInput");
    delete this;
  }
  return left;
}

HRESULT IDirectInputDevice8A::SetCooperativeLevel(HWND hwnd, DWORD flags) {
  SEAM_FAULT("IDirectInputDevice8::SetCooperativeLevel");
  bool one_mode = ((flags & DISCL_EXCLUSIVE) != 0) != ((flags & DISCL_NONEXCLUSIVE) != 0);
  bool one_place = ((flags & DISCL_FOREGROUND) != 0) != ((flags & DISCL_BACKGROUND) != 0);
  if (!one_mode || !one_place) return DIERR_INVALIDPARAM;
  if (!hwnd && !(flags & DISCL_BACKGROUND)) return DIERR_INVALIDPARAM;
  return DI_OK;
}

HRESULT IDirectInputDevice8A::SetDataFormat(LPCDIDATAFORMAT format) {
  SEAM_FAULT("IDirectInputDevice8::SetDataFormat");
  if (!format) return DIERR_INVALIDPARAM;
  if (acquired) return (HRESULT)0x80070005L;  // DIERR_ACQUIRED
  DWORD want = mouse ? sizeof(DIMOUSESTATE) : 256;
  if (format->dwDataSize != want) return DIERR_INVALIDPARAM;
  configured = true;
  return DI_OK;
}

HRESULT IDirectInputDevice8A::Acquire() {
  SEAM_FAULT("IDirectInputDevice8::Acquire");
  if (!configured) return DIERR_INVALIDPARAM;
  if (acquired) return DI_NOEFFECT;
  acquired = true;
  seam_trace("Acquire %s", mouse ? "mouse" : "keyboard");
  return DI_OK;
}

HRESULT IDirectInputDevice8A::Unacquire() {
  if (!acquired) return DI_NOEFFECT;
  acquired = false;
  seam_trace("Unacquire %s", mouse ? "mouse" : "keyboard");
  return DI_OK;
}

static HRESULT device_state(const IDirectInputDevice8A* d, DWORD size) {
  SEAM_FAULT("IDirectInputDevice8::GetDeviceState");
  if (!d->acquired) return DIERR_NOTACQUIRED;
  if (size != (d->mouse ? sizeof(DIMOUSESTATE) : 256u)) return DIERR_INVALIDPARAM;
  return DI_OK;
}

// The device's verdict, then the border's state (which a demo records or replaces).
HRESULT IDirectInputDevice8A::GetDeviceState(DWORD size, LPVOID data) {
  if (!data) {
    SEAM_FAULT("IDirectInputDevice8::GetDeviceState");
    return DIERR_INVALIDPARAM;
  }
  const HRESULT hr = device_state(this, size);
  if (size != (mouse ? sizeof(DIMOUSESTATE) : 256u)) return hr;  // a wrong-sized buffer is nobody's input
  if (!mouse) return plat_input_keyboard(hr, static_cast<BYTE*>(data));
  PlatMouse m{};
  const HRESULT got = plat_input_mouse(hr, &m);
  if (got == DI_OK) {
    DIMOUSESTATE* out = static_cast<DIMOUSESTATE*>(data);
    *out = DIMOUSESTATE{m.dx, m.dy, m.dz, {m.buttons[0], m.buttons[1], m.buttons[2], m.buttons[3]}};
  }
  return got;
}

ULONG IDirectInputDevice8A::AddRef() { return ++refs; }

ULONG IDirectInputDevice8A::Release() {
  ULONG left = --refs;
  if (left == 0) {
    seam_trace("Release %s", mouse ? "mouse" : "keyboard");
    delete this;
  }
  return left;
}
