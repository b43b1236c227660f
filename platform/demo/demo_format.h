// The demo file: a header, then one record per pass of the main loop with what changed in the
// input the game read during it, then an end record. Little-endian throughout.
//
//   header  "TRVLDEMO", u16 format, u8 n + n bytes program version, u32 seed, i32 opening
//           state, i32 opening frame delay (ms)
//   pass    u8 flags (0x01..0x3F), then in this order what the flags announce:
//             0x01 window messages: u8 count (1..DEMO_MAX_MESSAGES), one u8 code each
//             0x02 key bytes changed: u8 count - 1, then (u8 index, u8 value) by rising index
//             0x04 mouse motion: lX, lY, lZ as zigzag LEB128 varints
//             0x08 mouse buttons: 4 bytes
//             0x10 read results other than DI_OK: i32 keyboard, i32 mouse
//             0x20 Escape as GetAsyncKeyState gave it changed: i16
//   run     0x80 | (n - 1): n passes in which nothing changed (n 1..128)
//   end     0x40, u32 frames, u64 end-state hash; nothing may follow. A recording that never
//           ended has none: each record reaches the file as it is made, and a run that is
//           still growing at least twice a second of play.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/wintypes.h"

constexpr uint16_t DEMO_FORMAT = 1;
constexpr int DEMO_MAX_MESSAGES = 64;  // per pass; the recorder queues no window message past it
constexpr int DEMO_VERSION_SIZE = 32;  // program version, NUL included

struct DemoHeader {
  uint16_t format = DEMO_FORMAT;
  char version[DEMO_VERSION_SIZE] = {};
  uint32_t seed = 0;        // the game's first tick reading, its random seed
  int32_t state = 0;        // game state before the first frame
  int32_t frame_delay = 0;  // frame delay before the first frame, ms
};

// What the game read during one pass. Keys, buttons and Escape are levels that carry over from
// pass to pass; messages, motion and results belong to the pass alone.
struct DemoPass {
  int message_count = 0;
  BYTE messages[DEMO_MAX_MESSAGES] = {};  // WM_PAINT or WM_CLOSE, as the system queued them
  HRESULT key_result = 0;
  HRESULT mouse_result = 0;
  BYTE keys[256] = {};
  LONG dx = 0, dy = 0, dz = 0;
  BYTE buttons[4] = {};
  SHORT escape = 0;
};

struct DemoEnd {
  uint32_t frames = 0;
  uint64_t state_hash = 0;
};

// Clears what belongs to one pass only, keeping the levels.
void demo_pass_next(DemoPass* pass);

// Bytes out. Call header once, pass for each pass, end once; take() hands over what is ready.
class DemoEncoder {
 public:
  void header(const DemoHeader& h);
  void pass(const DemoPass& p);
  void end(const DemoEnd& e);
  // Writes out the passes in which nothing changed so far, which wait otherwise for the next
  // change; the run then starts afresh.
  void flush() { flush_run(); }
  // As many more calls of pass() with a pass in which nothing changed or happened.
  void repeat(uint32_t n);
  // Moves the encoded bytes not taken yet into `out` (replacing its contents).
  void take(std::vector<uint8_t>* out);
  uint32_t passes() const { return passes_; }

 private:
  void flush_run();
  std::vector<uint8_t> buf_;
  DemoPass prev_;
  uint32_t run_ = 0;
  uint32_t passes_ = 0;
};

// Bytes in. open() checks the whole demo before anything runs; next() then yields the passes.
// A demo cut off (no end record, or its last record cut short) is taken up to its last complete
// pass: cut_off() says so, and end() then counts those passes as frames, with no hash; the last
// runs none when its input ended the game.
class DemoDecoder {
 public:
  // False with a reason when the bytes are not a demo of this format, or one broken before its
  // end.
  bool open(const uint8_t* data, size_t size, std::string* why);
  const DemoHeader& header() const { return header_; }
  const DemoEnd& end() const { return end_; }
  bool cut_off() const { return cut_off_; }
  uint32_t passes() const { return passes_; }
  // The next pass into `pass`; false at the end.
  bool next(DemoPass* pass);
  // Back to the first pass of the demo open() took.
  void rewind();
  // How many passes after the one next() gave are the same (the rest of its run), and a skip
  // over n of them: a reader that compares demos goes run by run, not pass by pass.
  uint32_t repeats() const { return run_left_; }
  void skip(uint32_t n) {
    n = n < run_left_ ? n : run_left_;
    run_left_ -= n;
    given_ += n;
  }

 private:
  enum class Fault { none, cut_off, unknown_record, message_count, message, key_order, motion };
  bool check(const uint8_t* data, size_t size, std::string* why);
  Fault decode();
  DemoPass cur_;  // the levels carry over from pass to pass
  const uint8_t* data_ = nullptr;
  size_t size_ = 0;
  size_t body_ = 0;
  size_t pos_ = 0;
  uint32_t run_left_ = 0;
  uint32_t passes_ = 0;
  uint32_t given_ = 0;
  bool at_end_ = false;
  bool cut_off_ = false;
  DemoHeader header_;
  DemoEnd end_;
};

// FNV-1a, 64 bits: the end-state and frame hashes.
constexpr uint64_t DEMO_HASH_START = 14695981039346656037ull;
uint64_t demo_hash(uint64_t h, const void* data, size_t size);
