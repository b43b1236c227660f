// The one SDL audio device behind every sound object. Its callback asks the mixer registered at
// open for each block; while manual, it plays silence and mixes nothing.
#include "platform/host/audio.h"

#include <SDL.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr int kWantRate = 44100;

struct AudioDevice {
  SDL_AudioDeviceID id = 0;
  int rate = 0;
  int channels = 0;
  int users = 0;  // device objects sharing it
  bool manual = false;
  PlatMixer mix = nullptr;
};

AudioDevice g_device;

void SDLCALL audio_callback(void*, Uint8* stream, int len) {
  const int frame_bytes = (int)sizeof(int16_t) * g_device.channels;
  if (g_device.manual || frame_bytes == 0) {
    std::memset(stream, 0, (size_t)len);
    return;
  }
  g_device.mix(reinterpret_cast<int16_t*>(stream), len / frame_bytes, g_device.channels, g_device.rate);
}

// SDL's probing of sound servers and ALSA devices prints the libraries' own diagnostics on
// stderr, several lines for the one fact that there is no sound; they are held back while the
// device opens, and a failure is told in one line instead.
struct QuietStderr {
  int saved = -1;
  QuietStderr() {
    std::fflush(stderr);
    int null = open("/dev/null", O_WRONLY);
    if (null < 0) return;
    saved = dup(2);
    if (saved >= 0) dup2(null, 2);
    close(null);
  }
  ~QuietStderr() {
    if (saved < 0) return;
    std::fflush(stderr);
    dup2(saved, 2);
    close(saved);
  }
};

bool device_start() {
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec want{};
  SDL_AudioSpec have{};
  want.freq = kWantRate;
  want.format = AUDIO_S16SYS;
  want.channels = 2;
  want.samples = 512;
  want.callback = audio_callback;
  SDL_AudioDeviceID id = SDL_OpenAudioDevice(
      nullptr, 0, &want, &have, SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
  if (id == 0) {
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  if (have.freq < 4000 || have.channels < 1 || have.format != AUDIO_S16SYS) {
    SDL_CloseAudioDevice(id);
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return false;
  }
  g_device.id = id;
  g_device.rate = have.freq;
  g_device.channels = have.channels;
  g_device.users = 1;
  SDL_PauseAudioDevice(id, 0);
  return true;
}

}  // namespace

bool plat_audio_open(PlatMixer mix) {
  if (g_device.users > 0) {
    ++g_device.users;
    return true;
  }
  g_device.mix = mix;
  bool ok;
  {
    QuietStderr quiet;
    ok = device_start();
  }
  if (!ok) std::fprintf(stderr, "tarvellin: no sound device (%s); playing without sound\n", SDL_GetError());
  return ok;
}

void plat_audio_close() {
  if (g_device.users <= 0 || --g_device.users > 0) return;
  SDL_CloseAudioDevice(g_device.id);  // waits for a running callback to finish
  SDL_QuitSubSystem(SDL_INIT_AUDIO);
  g_device.id = 0;
  g_device.rate = 0;
  g_device.channels = 0;
}

int plat_audio_rate() { return g_device.rate; }
int plat_audio_channels() { return g_device.channels; }

uint32_t plat_audio_lock() {
  if (g_device.id) SDL_LockAudioDevice(g_device.id);
  return g_device.id;
}

void plat_audio_unlock(uint32_t token) {
  if (token) SDL_UnlockAudioDevice(token);
}

void plat_audio_pause(bool on) {
  if (g_device.id) SDL_PauseAudioDevice(g_device.id, on ? 1 : 0);
}

void plat_audio_manual(bool on) {
  const uint32_t lock = plat_audio_lock();
  g_device.manual = on;
  plat_audio_unlock(lock);
}
