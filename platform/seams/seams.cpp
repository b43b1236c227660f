#include "platform/seams/seams.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

#include "platform/seams/seams_internal.h"
#include "platform/seams/seams_pad.h"

namespace {

struct Fault {
  HRESULT result;
  int skip;
  int count;  // -1: for ever
};

std::map<std::string, Fault, std::less<>> g_faults;
std::map<std::string, int, std::less<>> g_calls;
std::vector<std::string> g_trace;
bool g_trace_on = false;
bool g_active = false;  // set by any test use; the real program never pays for counting
bool g_clock_virtual = false;
DWORD g_clock_now = 0;
DWORD g_clock_step = 0;

}  // namespace

InjectedInput seam_input;

void seam_reset() {
  g_active = true;
  g_faults.clear();
  g_calls.clear();
  g_trace.clear();
  g_trace_on = false;
  g_clock_virtual = false;
  g_clock_now = 0;
  g_clock_step = 0;
  seam_input = InjectedInput{};
  seam_pad_detach_all();
}

void seam_fail(const char* op, HRESULT result, int skip, int count) {
  g_active = true;
  g_faults[op] = Fault{result, skip, count};
}

bool seam_fault(const char* op, HRESULT* result) {
  if (!g_active) return false;
  // Found without building a key, so a counted call allocates only the first time.
  auto counted = g_calls.find(op);
  if (counted == g_calls.end()) counted = g_calls.emplace(op, 0).first;
  ++counted->second;
  auto it = g_faults.find(op);
  if (it == g_faults.end()) return false;
  Fault& f = it->second;
  if (f.skip > 0) {
    --f.skip;
    return false;
  }
  if (f.count == 0) return false;
  if (f.count > 0) --f.count;
  if (result) *result = f.result;
  return true;
}

int seam_calls(const char* op) {
  auto it = g_calls.find(op);
  return it == g_calls.end() ? 0 : it->second;
}

void seam_trace_enable(bool on) { g_trace_on = on; }
bool seam_trace_on() { return g_trace_on; }

void seam_trace(const char* fmt, ...) {
  if (!g_trace_on) return;
  char line[256];
  va_list ap;
  va_start(ap, fmt);
  vsnprintf(line, sizeof line, fmt, ap);
  va_end(ap);
  g_trace.emplace_back(line);
}

const std::vector<std::string>& seam_trace_lines() { return g_trace; }
void seam_trace_clear() { g_trace.clear(); }

void seam_clock_virtual(DWORD start, DWORD step) {
  g_clock_virtual = true;
  g_clock_now = start;
  g_clock_step = step;
}
void seam_clock_set(DWORD now) { g_clock_now = now; }
DWORD seam_clock_now() { return g_clock_now; }

bool seam_clock_read(DWORD* now) {
  if (!g_clock_virtual) return false;
  *now = g_clock_now;
  g_clock_now += g_clock_step;
  return true;
}

bool seam_clock_is_virtual() { return g_clock_virtual; }

void seam_input_inject(bool on) { seam_input.on = on; }
void seam_key(int dik, bool down) { seam_input.keys[dik & 0xFF] = down ? 0x80 : 0; }
void seam_keys_clear() { std::memset(seam_input.keys, 0, sizeof seam_input.keys); }
void seam_mouse_move(LONG dx, LONG dy, LONG dz) {
  seam_input.dx += dx;
  seam_input.dy += dy;
  seam_input.dz += dz;
}
void seam_mouse_button(int button, bool down) {
  if (button >= 0 && button < 4) seam_input.buttons[button] = down ? 0x80 : 0;
}
