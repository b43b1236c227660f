// The one sound device in the browser: Web Audio's context (library_web.js) pulls the mix the
// game registered. Single-threaded: the mix runs between frames, so the lock has nothing to hold.
#include "platform/host/audio.h"

#include <emscripten.h>

#include <cstdio>
#include <cstring>

#include "platform/web/web.h"

namespace {

struct AudioDevice {
  int rate = 0;
  int users = 0;
  bool manual = false;
  PlatMixer mix = nullptr;
};
AudioDevice g_device;
constexpr int kChannels = 2;

}  // namespace

// Called by the script node (and, before sound may start, by the page's timer, into nothing).
extern "C" EMSCRIPTEN_KEEPALIVE void web_audio_mix(int16_t* out, int frames) {
  if (g_device.manual || !g_device.mix || !g_device.rate) {
    std::memset(out, 0, sizeof(int16_t) * kChannels * (size_t)frames);
    return;
  }
  g_device.mix(out, frames, kChannels, g_device.rate);
}

bool plat_audio_open(PlatMixer mix) {
  if (g_device.users > 0) {
    ++g_device.users;
    return true;
  }
  g_device.mix = mix;
  g_device.rate = web_audio_open();
  if (!g_device.rate) {
    std::fprintf(stderr,
                 "tarvellin: no sound device (this browser has no Web Audio); playing without sound\n");
    return false;
  }
  g_device.users = 1;
  return true;
}

void plat_audio_close() {
  if (g_device.users <= 0 || --g_device.users > 0) return;
  web_audio_close();
  g_device.rate = 0;
}

int plat_audio_rate() { return g_device.rate; }
int plat_audio_channels() { return g_device.rate ? kChannels : 0; }
uint32_t plat_audio_lock() { return 0; }
void plat_audio_unlock(uint32_t) {}
void plat_audio_pause(bool on) { web_audio_pause(on); }
void plat_audio_manual(bool on) { g_device.manual = on; }
