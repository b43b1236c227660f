// DirectDraw 7: surfaces in RGB565 in ordinary memory, colour-keyed copies, clippers, flips.
#pragma once
#include "platform/wintypes.h"

struct IDirectDraw7;
struct IDirectDrawSurface7;
struct IDirectDrawClipper;
struct DDSURFACEDESC2;
