#include "input/input.h"

#include <cstring>

#include "app/globals.h"

IDirectInput8* inp_direct_input = nullptr;
IDirectInputDevice8* inp_keyboard_device = nullptr;
IDirectInputDevice8* inp_mouse_device = nullptr;
uint8_t inp_key_state[256];
DIMOUSESTATE inp_mouse;

int inp_init() {
  HRESULT hr = DirectInput8Create(game_instance, DIRECTINPUT_VERSION, IID_IDirectInput8A,
                                  (LPVOID*)&inp_direct_input, nullptr);
  return hr >= 0 ? 1 : 0;
}

// Create, configure and acquire one device; every step but the last demands exactly DI_OK, and
// the result is 1 only when the acquisition gives exactly DI_OK. The device stays on failure.
static int inp_create_device(REFGUID guid, const DIDATAFORMAT* format, IDirectInputDevice8** device) {
  if (!inp_direct_input) return 0;
  if (inp_direct_input->CreateDevice(guid, device, nullptr) != DI_OK) return 0;
  if ((*device)->SetCooperativeLevel(game_window, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND) != DI_OK) return 0;
  if ((*device)->SetDataFormat(format) != DI_OK) return 0;
  return (*device)->Acquire() == DI_OK ? 1 : 0;
}

int inp_create_keyboard() { return inp_create_device(GUID_SysKeyboard, &c_dfDIKeyboard, &inp_keyboard_device); }
int inp_create_mouse() { return inp_create_device(GUID_SysMouse, &c_dfDIMouse, &inp_mouse_device); }

// Without a device the record reads as nothing held; after a failed read it is left as it was.
static int inp_read_device(IDirectInputDevice8* device, void* record, DWORD size) {
  if (!device) {
    std::memset(record, 0, size);
    return 0;
  }
  return device->GetDeviceState(size, record) == DI_OK ? 1 : 0;
}

int inp_read_keyboard() { return inp_read_device(inp_keyboard_device, inp_key_state, sizeof inp_key_state); }
int inp_read_mouse() { return inp_read_device(inp_mouse_device, &inp_mouse, sizeof inp_mouse); }

void inp_release_mouse() {
  if (!inp_mouse_device) return;
  inp_mouse_device->Unacquire();
  inp_mouse_device->Release();
}

void inp_release_keyboard() {
  if (!inp_keyboard_device) return;
  inp_keyboard_device->Unacquire();
  inp_keyboard_device->Release();
}

void inp_shutdown() {
  if (inp_direct_input) inp_direct_input->Release();
}
