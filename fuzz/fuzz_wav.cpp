// libFuzzer target for the WAV reader: each input is written to a file, loaded into a sound
// buffer as the game loads its sounds, then played through the mixer for a moment.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/globals.h"
#include "fuzz/fuzz_input.h"
#include "platform/seams/seams_audio.h"
#include "platform/win32.h"
#include "sfx/sound.h"

namespace {

int g_window;  // sound set-up needs a window handle, not a real window

[[noreturn]] void fail(const char* what, int32_t id) {
  std::fprintf(stderr, "fuzz_wav: %s (id %d)\n", what, (int)id);
  std::abort();
}

// Reads the first and last byte of each region the buffer hands out: ASan reports a region
// shorter than its count.
uint32_t touch(int32_t id) {
  const SoundSlot& s = snd_table[id];
  LPVOID p1 = nullptr, p2 = nullptr;
  DWORD n1 = 0, n2 = 0;
  if (FAILED(s.buffer->Lock(0, s.size, &p1, &n1, &p2, &n2, 0))) fail("loaded buffer cannot be locked", id);
  if (n1 + n2 != s.size) fail("buffer size differs from the slot's", id);
  uint32_t sum = 0;
  if (n1) sum += static_cast<uint8_t*>(p1)[0] + static_cast<uint8_t*>(p1)[n1 - 1];
  if (n2) sum += static_cast<uint8_t*>(p2)[0] + static_cast<uint8_t*>(p2)[n2 - 1];
  s.buffer->Unlock(p1, n1, p2, n2);
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  fuzz_input_init("wav", "wav");

  game_window = reinterpret_cast<HWND>(&g_window);
  snd_first_call = 1;
  if (!snd_init() || !snd_direct_sound) {
    std::fprintf(stderr, "fuzz_wav: no DirectSound object on the dummy audio driver\n");
    std::abort();
  }
  // Only seam_audio_mix moves the sounds, so every run of an input mixes the same samples.
  seam_audio_manual(true);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!fuzz_input_write(data, size)) return 0;

  static volatile uint32_t sink;
  int32_t id = snd_load_wav(fuzz_input_path, SND_LOAD_FLAGS);
  if (id >= 0) {
    if (id != 0) fail("first load after snd_init did not take slot 0", id);
    if (!snd_table[id].buffer || !snd_table[id].in_use) fail("accepted sound has no buffer", id);
    sink = sink + touch(id);
    // As the game does: play at the fixed rate, then at the file's own rate.
    static int16_t out[512];
    snd_set_frequency(id, SND_PLAY_RATE);
    snd_length_ms(id);
    snd_play(id, 0);
    seam_audio_mix(out, 256, 22050);
    snd_set_frequency(id, snd_table[id].file_rate);
    seam_audio_mix(out, 256, 44100);
    snd_get_status(id);
    snd_stop(id);
  }
  snd_delete(id);
  // Empties the table (slots are never reused before it) and releases what a refused load may
  // have left in its claimed slot.
  snd_init();
  return 0;
}
