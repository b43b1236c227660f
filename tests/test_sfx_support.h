// Small RIFF WAVE files and the sound state the sound suites start from.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "app/globals.h"
#include "platform/seams/seams.h"
#include "platform/seams/seams_audio.h"
#include "sfx/sound.h"
#include "test_support.h"

namespace sfxtest {

using Bytes = std::vector<uint8_t>;

inline void put(Bytes& b, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; ++i) b.push_back((v >> (8 * i)) & 0xFF);
}

// One chunk with its pad byte when odd; `size` may claim more than the payload holds.
inline Bytes chunk(const char* id, const Bytes& payload, int64_t size = -1) {
  Bytes b(id, id + 4);
  put(b, size < 0 ? (uint32_t)payload.size() : (uint32_t)size, 4);
  b.insert(b.end(), payload.begin(), payload.end());
  if (payload.size() & 1) b.push_back(0);
  return b;
}

// A 16-byte format chunk's data (18 with `cb`).
inline Bytes fmt(uint16_t tag = 1, uint32_t rate = 22050, uint16_t ch = 1, uint16_t bits = 8,
                 bool cb = false) {
  Bytes b;
  for (uint32_t v : {(uint32_t)tag, (uint32_t)ch}) put(b, v, 2);
  for (uint32_t v : {rate, rate * ch * bits / 8}) put(b, v, 4);
  for (uint32_t v : {(uint32_t)(ch * bits / 8), (uint32_t)bits}) put(b, v, 2);
  if (cb) put(b, 0, 2);
  return b;
}

inline Bytes riff(const std::vector<Bytes>& chunks, const char* form = "WAVE") {
  Bytes body(form, form + 4);
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  return chunk("RIFF", body);
}

inline Bytes wav(const Bytes& samples) { return riff({chunk("fmt ", fmt()), chunk("data", samples)}); }

// Unsigned 8-bit samples: a square wave `period` samples long, +-`amp` about 0x80; a level.
inline Bytes square(size_t count, size_t period, int amp) {
  Bytes b(count);
  for (size_t i = 0; i < count; ++i) b[i] = (uint8_t)(0x80 + ((i % period) < period / 2 ? amp : -amp));
  return b;
}
inline Bytes constant(size_t count, int level) { return Bytes(count, (uint8_t)(0x80 + level)); }

// Frames from the first to the last non-zero sample, and the sign changes among them.
struct Span {
  int first = -1, last = -1, crossings = 0;
};
inline Span span_of(const std::vector<int16_t>& v) {
  Span s;
  int prev = 0;
  for (int i = 0; i < (int)v.size(); ++i) {
    if (!v[i]) continue;
    if (s.first < 0) s.first = i;
    s.last = i;
    if (prev && (prev > 0) != (v[i] > 0)) ++s.crossings;
    prev = v[i];
  }
  return s;
}

// Fresh sound state on the dummy device; the mixer moves only when a test runs it.
inline void sound_start() {
  static int window;
  seam_reset();
  game_window = reinterpret_cast<HWND>(&window);  // set-up needs a handle, not a real window
  snd_first_call = 1;
  snd_direct_sound = nullptr;
  snd_init();
  seam_audio_manual(true);
}

inline void sound_stop() {
  snd_stop_all();
  snd_delete_all();
  snd_shutdown();
  snd_first_call = 1;  // as at program start, for whichever suite runs next
  seam_audio_manual(false);
  seam_reset();
}

// A fixture with the sound state and a folder; load() loads and sets the play rate.
class SfxTest : public ::testing::Test {
 protected:
  void SetUp() override { sound_start(); }
  void TearDown() override { sound_stop(); }
  int32_t load(const Bytes& samples, DWORD rate = SND_PLAY_RATE) {
    int32_t id =
        snd_load_wav(dir.write("s" + std::to_string(files++) + ".wav", wav(samples)).c_str(), SND_LOAD_FLAGS);
    snd_set_frequency(id, rate);
    return id;
  }
  TempDir dir;
  int files = 0;
};

}  // namespace sfxtest
