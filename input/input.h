// Keyboard and mouse, read once a frame into process-wide records.
#pragma once
#include <cstdint>

#include "platform/win32.h"

extern IDirectInput8* inp_direct_input;
extern IDirectInputDevice8* inp_keyboard_device;
extern IDirectInputDevice8* inp_mouse_device;
extern uint8_t inp_key_state[256];  // by DIK_ code; bit 0x80 set while held
extern DIMOUSESTATE inp_mouse;      // relative motion since the previous read, buttons

int inp_init();
int inp_create_keyboard();
int inp_create_mouse();
int inp_read_keyboard();
int inp_read_mouse();
void inp_release_mouse();
void inp_release_keyboard();
void inp_shutdown();
