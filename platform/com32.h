// COM start-up and the minimal music performance and loader objects.
#pragma once
#include "platform/wintypes.h"
