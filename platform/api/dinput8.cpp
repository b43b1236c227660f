// DirectInput 8 over SDL's keyboard state and relative mouse motion.
#include "platform/api/dinput8.h"

#include <cstring>
#include <new>

#include "platform/demo/demo.h"
#include "platform/host/window.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_internal.h"
#include "platform/api/winuser32.h"

const GUID IID_IDirectInput8A = {0xBF798030, 0x483A, 0x4DA2, {0xAA, 0x99, 0x5D, 0x64, 0xED, 0x36, 0x97, 0x00}};
const GUID GUID_SysKeyboard = {0x6F1D2B61, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
const GUID GUID_SysMouse = {0x6F1D2B60, 0xD5A0, 0x11CF, {0xBF, 0xC7, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

const DIDATAFORMAT c_dfDIKeyboard = {24, 16, 0x2, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse = {24, 16, 0x2, 16, 7, nullptr};

namespace {

// SDL scancode -> DIK_ code, by key position (the USB usage behind the scancode), so the
// keyboard layout does not matter.
struct KeyPair {
  SDL_Scancode sc;
  BYTE dik;
};

constexpr KeyPair kKeyMap[] = {
    {SDL_SCANCODE_ESCAPE, DIK_ESCAPE}, {SDL_SCANCODE_1, DIK_1}, {SDL_SCANCODE_2, DIK_2},
    {SDL_SCANCODE_3, DIK_3}, {SDL_SCANCODE_4, DIK_4}, {SDL_SCANCODE_5, DIK_5}, {SDL_SCANCODE_6, DIK_6},
    {SDL_SCANCODE_7, DIK_7}, {SDL_SCANCODE_8, DIK_8}, {SDL_SCANCODE_9, DIK_9}, {SDL_SCANCODE_0, DIK_0},
    {SDL_SCANCODE_MINUS, DIK_MINUS}, {SDL_SCANCODE_EQUALS, DIK_EQUALS},
    {SDL_SCANCODE_BACKSPACE, DIK_BACK}, {SDL_SCANCODE_TAB, DIK_TAB}, {SDL_SCANCODE_Q, DIK_Q},
    {SDL_SCANCODE_W, DIK_W}, {SDL_SCANCODE_E, DIK_E}, {SDL_SCANCODE_R, DIK_R}, {SDL_SCANCODE_T, DIK_T},
    {SDL_SCANCODE_Y, DIK_Y}, {SDL_SCANCODE_U, DIK_U}, {SDL_SCANCODE_I, DIK_I}, {SDL_SCANCODE_O, DIK_O},
    {SDL_SCANCODE_P, DIK_P}, {SDL_SCANCODE_LEFTBRACKET, DIK_LBRACKET},
    {SDL_SCANCODE_RIGHTBRACKET, DIK_RBRACKET}, {SDL_SCANCODE_RETURN, DIK_RETURN},
    {SDL_SCANCODE_LCTRL, DIK_LCONTROL}, {SDL_SCANCODE_A, DIK_A}, {SDL_SCANCODE_S, DIK_S},
    {SDL_SCANCODE_D, DIK_D}, {SDL_SCANCODE_F, DIK_F}, {SDL_SCANCODE_G, DIK_G}, {SDL_SCANCODE_H, DIK_H},
    {SDL_SCANCODE_J, DIK_J}, {SDL_SCANCODE_K, DIK_K}, {SDL_SCANCODE_L, DIK_L},
    {SDL_SCANCODE_SEMICOLON, DIK_SEMICOLON}, {SDL_SCANCODE_APOSTROPHE, DIK_APOSTROPHE},
    {SDL_SCANCODE_GRAVE, DIK_GRAVE}, {SDL_SCANCODE_LSHIFT, DIK_LSHIFT},
    {SDL_SCANCODE_BACKSLASH, DIK_BACKSLASH}, {SDL_SCANCODE_NONUSHASH, DIK_BACKSLASH},
    {SDL_SCANCODE_Z, DIK_Z}, {SDL_SCANCODE_X, DIK_X}, {SDL_SCANCODE_C, DIK_C}, {SDL_SCANCODE_V, DIK_V},
    {SDL_SCANCODE_B, DIK_B}, {SDL_SCANCODE_N, DIK_N}, {SDL_SCANCODE_M, DIK_M},
    {SDL_SCANCODE_COMMA, DIK_COMMA}, {SDL_SCANCODE_PERIOD, DIK_PERIOD}, {SDL_SCANCODE_SLASH, DIK_SLASH},
    {SDL_SCANCODE_RSHIFT, DIK_RSHIFT}, {SDL_SCANCODE_KP_MULTIPLY, DIK_MULTIPLY},
    {SDL_SCANCODE_LALT, DIK_LMENU}, {SDL_SCANCODE_SPACE, DIK_SPACE},
    {SDL_SCANCODE_CAPSLOCK, DIK_CAPITAL}, {SDL_SCANCODE_F1, DIK_F1}, {SDL_SCANCODE_F2, DIK_F2},
    {SDL_SCANCODE_F3, DIK_F3}, {SDL_SCANCODE_F4, DIK_F4}, {SDL_SCANCODE_F5, DIK_F5},
    {SDL_SCANCODE_F6, DIK_F6}, {SDL_SCANCODE_F7, DIK_F7}, {SDL_SCANCODE_F8, DIK_F8},
    {SDL_SCANCODE_F9, DIK_F9}, {SDL_SCANCODE_F10, DIK_F10}, {SDL_SCANCODE_NUMLOCKCLEAR, DIK_NUMLOCK},
    {SDL_SCANCODE_SCROLLLOCK, DIK_SCROLL}, {SDL_SCANCODE_KP_7, DIK_NUMPAD7},
    {SDL_SCANCODE_KP_8, DIK_NUMPAD8}, {SDL_SCANCODE_KP_9, DIK_NUMPAD9},
    {SDL_SCANCODE_KP_MINUS, DIK_SUBTRACT}, {SDL_SCANCODE_KP_4, DIK_NUMPAD4},
    {SDL_SCANCODE_KP_5, DIK_NUMPAD5}, {SDL_SCANCODE_KP_6, DIK_NUMPAD6}, {SDL_SCANCODE_KP_PLUS, DIK_ADD},
    {SDL_SCANCODE_KP_1, DIK_NUMPAD1}, {SDL_SCANCODE_KP_2, DIK_NUMPAD2}, {SDL_SCANCODE_KP_3, DIK_NUMPAD3},
    {SDL_SCANCODE_KP_0, DIK_NUMPAD0}, {SDL_SCANCODE_KP_PERIOD, DIK_DECIMAL},
    {SDL_SCANCODE_NONUSBACKSLASH, DIK_OEM_102}, {SDL_SCANCODE_F11, DIK_F11},
    {SDL_SCANCODE_F12, DIK_F12}, {SDL_SCANCODE_F13, DIK_F13}, {SDL_SCANCODE_F14, DIK_F14},
    {SDL_SCANCODE_F15, DIK_F15}, {SDL_SCANCODE_INTERNATIONAL2, DIK_KANA},
    {SDL_SCANCODE_INTERNATIONAL1, DIK_ABNT_C1}, {SDL_SCANCODE_INTERNATIONAL4, DIK_CONVERT},
    {SDL_SCANCODE_INTERNATIONAL5, DIK_NOCONVERT}, {SDL_SCANCODE_INTERNATIONAL3, DIK_YEN},
    {SDL_SCANCODE_KP_COMMA, DIK_ABNT_C2}, {SDL_SCANCODE_KP_EQUALS, DIK_NUMPADEQUALS},
    {SDL_SCANCODE_AUDIOPREV, DIK_PREVTRACK}, {SDL_SCANCODE_AUDIONEXT, DIK_NEXTTRACK},
    {SDL_SCANCODE_KP_ENTER, DIK_NUMPADENTER}, {SDL_SCANCODE_RCTRL, DIK_RCONTROL},
    {SDL_SCANCODE_AUDIOMUTE, DIK_MUTE}, {SDL_SCANCODE_MUTE, DIK_MUTE},
    {SDL_SCANCODE_CALCULATOR, DIK_CALCULATOR}, {SDL_SCANCODE_AUDIOPLAY, DIK_PLAYPAUSE},
    {SDL_SCANCODE_AUDIOSTOP, DIK_MEDIASTOP}, {SDL_SCANCODE_VOLUMEDOWN, DIK_VOLUMEDOWN},
    {SDL_SCANCODE_VOLUMEUP, DIK_VOLUMEUP}, {SDL_SCANCODE_AC_HOME, DIK_WEBHOME},
    {SDL_SCANCODE_KP_DIVIDE, DIK_DIVIDE}, {SDL_SCANCODE_PRINTSCREEN, DIK_SYSRQ},
    {SDL_SCANCODE_SYSREQ, DIK_SYSRQ}, {SDL_SCANCODE_RALT, DIK_RMENU}, {SDL_SCANCODE_PAUSE, DIK_PAUSE},
    {SDL_SCANCODE_HOME, DIK_HOME}, {SDL_SCANCODE_UP, DIK_UP}, {SDL_SCANCODE_PAGEUP, DIK_PRIOR},
    {SDL_SCANCODE_LEFT, DIK_LEFT}, {SDL_SCANCODE_RIGHT, DIK_RIGHT}, {SDL_SCANCODE_END, DIK_END},
    {SDL_SCANCODE_DOWN, DIK_DOWN}, {SDL_SCANCODE_PAGEDOWN, DIK_NEXT}, {SDL_SCANCODE_INSERT, DIK_INSERT},
    {SDL_SCANCODE_DELETE, DIK_DELETE}, {SDL_SCANCODE_LGUI, DIK_LWIN}, {SDL_SCANCODE_RGUI, DIK_RWIN},
    {SDL_SCANCODE_APPLICATION, DIK_APPS}, {SDL_SCANCODE_POWER, DIK_POWER},
    {SDL_SCANCODE_SLEEP, DIK_SLEEP}, {SDL_SCANCODE_AC_SEARCH, DIK_WEBSEARCH},
    {SDL_SCANCODE_AC_BOOKMARKS, DIK_WEBFAVORITES}, {SDL_SCANCODE_AC_REFRESH, DIK_WEBREFRESH},
    {SDL_SCANCODE_AC_STOP, DIK_WEBSTOP}, {SDL_SCANCODE_AC_FORWARD, DIK_WEBFORWARD},
    {SDL_SCANCODE_AC_BACK, DIK_WEBBACK}, {SDL_SCANCODE_COMPUTER, DIK_MYCOMPUTER},
    {SDL_SCANCODE_MAIL, DIK_MAIL}, {SDL_SCANCODE_MEDIASELECT, DIK_MEDIASELECT},
};

struct KeyTable {
  BYTE dik[SDL_NUM_SCANCODES];
  constexpr KeyTable() : dik() {
    for (const KeyPair& p : kKeyMap) dik[p.sc] = p.dik;
  }
};
constexpr KeyTable kKeys;

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
    case 0x25: return DIK_LEFT;
    case 0x26: return DIK_UP;
    case 0x27: return DIK_RIGHT;
    case 0x28: return DIK_DOWN;
    case 0x20: return DIK_SPACE;
    case 0x0D: return DIK_RETURN;
    case 0xA2: return DIK_LCONTROL;
    case 0xA4: return DIK_LMENU;
    default: return 0;
  }
}

void read_keyboard(BYTE* out) {
  if (seam_input.on) {
    std::memcpy(out, seam_input.keys, 256);
    return;
  }
  std::memset(out, 0, 256);
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  if (!plat_demo_on()) plat_pump_events();  // a demo takes events only where a pass begins
  int n = 0;
  const Uint8* state = SDL_GetKeyboardState(&n);
  for (int sc = 0; sc < n && sc < SDL_NUM_SCANCODES; ++sc)
    if (state[sc] && kKeys.dik[sc]) out[kKeys.dik[sc]] = 0x80;
}

void read_mouse(DIMOUSESTATE* out) {
  std::memset(out, 0, sizeof *out);
  if (seam_input.on) {
    out->lX = seam_input.dx;
    out->lY = seam_input.dy;
    out->lZ = seam_input.dz;
    seam_input.dx = seam_input.dy = seam_input.dz = 0;
    std::memcpy(out->rgbButtons, seam_input.buttons, 4);
    return;
  }
  if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
  if (!plat_demo_on()) plat_pump_events();
  int dx = 0, dy = 0;
  Uint32 buttons = SDL_GetRelativeMouseState(&dx, &dy);
  out->lX = dx;
  out->lY = dy;
  out->lZ = (LONG)plat_take_wheel();
  out->rgbButtons[0] = (buttons & SDL_BUTTON_LMASK) ? 0x80 : 0;
  out->rgbButtons[1] = (buttons & SDL_BUTTON_RMASK) ? 0x80 : 0;
  out->rgbButtons[2] = (buttons & SDL_BUTTON_MMASK) ? 0x80 : 0;
  out->rgbButtons[3] = (buttons & SDL_BUTTON_X1MASK) ? 0x80 : 0;
}

}  // namespace

int plat_dik_of_scancode(int sdl_scancode) {
  if (sdl_scancode < 0 || sdl_scancode >= SDL_NUM_SCANCODES) return 0;
  return kKeys.dik[sdl_scancode];
}

SHORT WINAPI GetAsyncKeyState(int vkey) {
  int dik = vk_to_dik(vkey);
  SHORT state = 0;
  if (plat_demo_async_replay(vkey, dik, &state)) return state;
  if (!dik) return 0;
  BYTE keys[256];
  read_keyboard(keys);
  state = (keys[dik] & 0x80) ? (SHORT)0x8000 : 0;
  plat_demo_async_note(vkey, state);
  return state;
}

HRESULT WINAPI DirectInput8Create(HINSTANCE instance, DWORD version, REFIID iid, LPVOID* out, LPUNKNOWN outer) {
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
  if (guid == GUID_SysKeyboard) mouse = false;
  else if (guid == GUID_SysMouse) mouse = true;
  else return DIERR_DEVICENOTREG;
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

static HRESULT device_state(const IDirectInputDevice8A* d, DWORD size, LPVOID data) {
  SEAM_FAULT("IDirectInputDevice8::GetDeviceState");
  if (!data) return DIERR_INVALIDPARAM;
  if (!d->acquired) return DIERR_NOTACQUIRED;
  if (d->mouse) {
    if (size != sizeof(DIMOUSESTATE)) return DIERR_INVALIDPARAM;
    read_mouse(static_cast<DIMOUSESTATE*>(data));
  } else {
    if (size != 256) return DIERR_INVALIDPARAM;
    read_keyboard(static_cast<BYTE*>(data));
  }
  return DI_OK;
}

// A demo answers in a replay, and notes what the device gave while recording.
HRESULT IDirectInputDevice8A::GetDeviceState(DWORD size, LPVOID data) {
  HRESULT hr;
  if (plat_demo_device_replay(mouse, size, data, &hr)) return hr;
  hr = device_state(this, size, data);
  plat_demo_device_note(mouse, size, data, hr);
  return hr;
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
