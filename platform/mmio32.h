// Multimedia file functions: RIFF chunks.
#pragma once
#include "platform/wintypes.h"
