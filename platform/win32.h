// The one header the game includes for the operating system. On Linux it brings this
// platform layer; a Windows build would include the SDK's own headers here instead.
#pragma once
#include "platform/wintypes.h"
#include "platform/winuser32.h"
#include "platform/fileio32.h"
#include "platform/gdi32.h"
#include "platform/ddraw7.h"
#include "platform/dinput8.h"
#include "platform/dsound8.h"
#include "platform/mmio32.h"
#include "platform/com32.h"
#include "platform/idle.h"
