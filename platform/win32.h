// The one header the game includes for the operating system: the SDK's own headers on Windows,
// this platform layer everywhere else.
#pragma once
#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef DIRECTINPUT_VERSION
#define DIRECTINPUT_VERSION 0x0800
#endif
#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>
#include <ddraw.h>
#include <dinput.h>
#include <dsound.h>
#include <dmusici.h>
#else
#include "platform/wintypes.h"
#include "platform/api/winuser32.h"
#include "platform/api/fileio32.h"
#include "platform/api/gdi32.h"
#include "platform/api/ddraw7.h"
#include "platform/api/dinput8.h"
#include "platform/api/dsound8.h"
#include "platform/api/mmio32.h"
#include "platform/api/com32.h"
#include "platform/api/dmusic8.h"
#include "platform/port/idle.h"
#endif
