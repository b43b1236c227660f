// GDI text into the device context of a surface.
#pragma once
#include "platform/wintypes.h"
