// OpenFile, _lread, _lclose over POSIX files; names are found whatever the case of their letters.
#pragma once
#include "platform/wintypes.h"
