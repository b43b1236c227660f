// The one fatal message main() reports.
#include <cstdarg>
#include <cstdio>

#include "platform/port/options.h"

namespace {
char g_fatal[512];
}

void plat_set_fatal(const char* fmt, ...) {
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(g_fatal, sizeof g_fatal, fmt, ap);
  va_end(ap);
}
const char* plat_fatal_message() { return g_fatal; }
void plat_clear_fatal() { g_fatal[0] = 0; }
