// Small RIFF WAVE files for the sound suites, written into a temporary folder per test.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/globals.h"
#include "platform/seams.h"
#include "platform/seams_audio.h"
#include "sfx/sound.h"

namespace sfxtest {

using Bytes = std::vector<uint8_t>;

inline void put16(Bytes& b, uint32_t v) {
  b.push_back(v & 0xFF);
  b.push_back((v >> 8) & 0xFF);
}
inline void put32(Bytes& b, uint32_t v) {
  put16(b, v & 0xFFFF);
  put16(b, v >> 16);
}
inline void put_id(Bytes& b, const char* id) { b.insert(b.end(), id, id + 4); }

// One chunk with its header and, when the size is odd, its pad byte. `size` may claim more
// than the payload holds.
inline Bytes chunk(const char* id, const Bytes& payload, int64_t size = -1) {
  Bytes b;
  put_id(b, id);
  put32(b, size < 0 ? (uint32_t)payload.size() : (uint32_t)size);
  b.insert(b.end(), payload.begin(), payload.end());
  if (payload.size() & 1) b.push_back(0);
  return b;
}

inline Bytes fmt_payload(uint16_t tag = 1, uint32_t rate = 22050, uint16_t channels = 1,
                         uint16_t bits = 8, bool with_cb = false) {
  Bytes b;
  put16(b, tag);
  put16(b, channels);
  put32(b, rate);
  put32(b, rate * channels * bits / 8);
  put16(b, channels * bits / 8);
  put16(b, bits);
  if (with_cb) put16(b, 0);
  return b;
}

inline Bytes riff(const std::vector<Bytes>& chunks, const char* form = "WAVE") {
  Bytes body;
  put_id(body, form);
  for (const Bytes& c : chunks) body.insert(body.end(), c.begin(), c.end());
  Bytes b;
  put_id(b, "RIFF");
  put32(b, (uint32_t)body.size());
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

inline Bytes wav(const Bytes& samples, uint32_t rate = 22050) {
  return riff({chunk("fmt ", fmt_payload(1, rate)), chunk("data", samples)});
}

// A square wave of `count` unsigned 8-bit samples, `period` samples long, +-`amp` about 0x80.
inline Bytes square(size_t count, size_t period, int amp) {
  Bytes b(count);
  for (size_t i = 0; i < count; ++i) b[i] = (uint8_t)(0x80 + ((i % period) < period / 2 ? amp : -amp));
  return b;
}

inline Bytes constant(size_t count, int level) { return Bytes(count, (uint8_t)(0x80 + level)); }

// A temporary folder that the test works in; removed with its files afterwards.
struct TempDir {
  std::string path;
  TempDir() {
    char tmpl[] = "/tmp/tarvellin_sfx_XXXXXX";
    const char* p = mkdtemp(tmpl);
    path = p ? p : "/tmp";
  }
  ~TempDir() {
    std::string cmd = "rm -rf '" + path + "'";
    if (std::system(cmd.c_str()) != 0) std::perror("rm");
  }
  std::string write(const std::string& name, const Bytes& data) const {
    std::string full = path + "/" + name;
    FILE* f = std::fopen(full.c_str(), "wb");
    if (f) {
      if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
      std::fclose(f);
    }
    return full;
  }
};

// A stand-in window handle: the sound set-up only needs one that is not null.
inline HWND fake_window() {
  static int anchor;
  return reinterpret_cast<HWND>(&anchor);
}

// Fresh sound state on the dummy device, mixer under the test's control.
inline void sound_start() {
  seam_reset();
  game_window = fake_window();
  snd_first_call = 1;
  snd_direct_sound = nullptr;
  snd_init();
  seam_audio_manual(true);
}

inline void sound_stop() {
  snd_stop_all();
  snd_delete_all();
  snd_shutdown();
  seam_audio_manual(false);
  seam_reset();
}

}  // namespace sfxtest
