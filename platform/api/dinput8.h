// DirectInput 8: the system keyboard and mouse as immediate-state devices.
#pragma once
#include "platform/wintypes.h"
#include "platform/host/keys.h"

#define DIRECTINPUT_VERSION 0x0800

#define DI_OK S_OK
#define DI_NOEFFECT S_FALSE
#define DIERR_NOTACQUIRED ((HRESULT)0x8007000CL)
#define DIERR_INPUTLOST ((HRESULT)0x8007001EL)
#define DIERR_INVALIDPARAM E_INVALIDARG
#define DIERR_NOTINITIALIZED ((HRESULT)0x80070015L)
#define DIERR_DEVICENOTREG ((HRESULT)0x80040154L)

#define DISCL_EXCLUSIVE 0x00000001
#define DISCL_NONEXCLUSIVE 0x00000002
#define DISCL_FOREGROUND 0x00000004
#define DISCL_BACKGROUND 0x00000008

struct DIOBJECTDATAFORMAT;
struct DIDATAFORMAT {
  DWORD dwSize;
  DWORD dwObjSize;
  DWORD dwFlags;
  DWORD dwDataSize;
  DWORD dwNumObjs;
  DIOBJECTDATAFORMAT* rgodf;
};
typedef const DIDATAFORMAT* LPCDIDATAFORMAT;
extern const DIDATAFORMAT c_dfDIKeyboard;  // 256 bytes, 256 objects
extern const DIDATAFORMAT c_dfDIMouse;     // 16 bytes, 7 objects

struct DIMOUSESTATE {
  LONG lX;
  LONG lY;
  LONG lZ;
  BYTE rgbButtons[4];
};
static_assert(sizeof(DIMOUSESTATE) == 16, "DIMOUSESTATE is 16 bytes");

extern const GUID IID_IDirectInput8A;
extern const GUID GUID_SysKeyboard;
extern const GUID GUID_SysMouse;

struct IDirectInputDevice8A {
  HRESULT SetCooperativeLevel(HWND hwnd, DWORD flags);
  HRESULT SetDataFormat(LPCDIDATAFORMAT format);
  HRESULT Acquire();
  HRESULT Unacquire();
  HRESULT GetDeviceState(DWORD size, LPVOID data);
  ULONG AddRef();
  ULONG Release();

  bool mouse;
  bool acquired;
  bool configured;
  ULONG refs;
};
typedef IDirectInputDevice8A IDirectInputDevice8;
typedef IDirectInputDevice8A* LPDIRECTINPUTDEVICE8A;
typedef IDirectInputDevice8A* LPDIRECTINPUTDEVICE8;

struct IDirectInput8A {
  HRESULT CreateDevice(REFGUID guid, LPDIRECTINPUTDEVICE8A* device, LPUNKNOWN outer);
  ULONG AddRef();
  ULONG Release();

  ULONG refs;
};
typedef IDirectInput8A IDirectInput8;
typedef IDirectInput8A* LPDIRECTINPUT8A;
typedef IDirectInput8A* LPDIRECTINPUT8;

// The key's state now, by virtual-key code: bit 15 while it is held.
SHORT WINAPI GetAsyncKeyState(int vkey);

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* out,
                                  LPUNKNOWN outer);
