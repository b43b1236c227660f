// DirectSound: static 8-bit mono buffers mixed into one SDL audio device.
#pragma once
#include "platform/wintypes.h"

#define DSBSTATUS_PLAYING 0x00000001
#define DSBSTATUS_BUFFERLOST 0x00000002
#define DSBSTATUS_LOOPING 0x00000004
