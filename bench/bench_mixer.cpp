// Mixer cost: 10 ms of device audio with a number of looping 8-bit sounds playing, each
// resampled from 22050 to 44100 frames per second.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#include "platform/seams/seams_audio.h"
#include "platform/win32.h"

namespace {

void BM_MixTenMilliseconds(benchmark::State& state) {
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  IDirectSound* ds = nullptr;
  if (FAILED(DirectSoundCreate(nullptr, &ds, nullptr))) {
    state.SkipWithError("no audio device");
    return;
  }
  seam_audio_manual(true);
  const int voices = (int)state.range(0);
  WAVEFORMATEX fmt{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
  DSBUFFERDESC desc{};
  desc.dwSize = sizeof desc;
  desc.dwFlags = 0xE0 | DSBCAPS_STATIC | DSBCAPS_LOCSOFTWARE;
  desc.dwBufferBytes = 22050;
  desc.lpwfxFormat = &fmt;
  std::vector<IDirectSoundBuffer*> buffers;
  for (int v = 0; v < voices; ++v) {
    IDirectSoundBuffer* b = nullptr;
    ds->CreateSoundBuffer(&desc, &b, nullptr);
    LPVOID p1, p2;
    DWORD n1, n2;
    b->Lock(0, desc.dwBufferBytes, &p1, &n1, &p2, &n2, 0);
    for (DWORD i = 0; i < n1; ++i) static_cast<BYTE*>(p1)[i] = (BYTE)(0x80 + (int)((i * (v + 3)) % 61) - 30);
    b->Unlock(p1, n1, p2, n2);
    b->SetFrequency(22050);
    b->Play(0, 0, DSBPLAY_LOOPING);
    buffers.push_back(b);
  }
  int16_t out[441];
  for (auto _ : state) {
    seam_audio_mix(out, 441, 44100);
    benchmark::DoNotOptimize(out);
  }
  state.SetItemsProcessed(state.iterations() * 441);
  for (IDirectSoundBuffer* b : buffers) b->Release();
  ds->Release();
  seam_audio_manual(false);
}
BENCHMARK(BM_MixTenMilliseconds)->Arg(1)->Arg(7)->Arg(32);

}  // namespace
