#include "platform/demo/demo_format.h"

#include <cstring>

namespace {

constexpr char kMagic[8] = {'T', 'R', 'V', 'L', 'D', 'E', 'M', 'O'};
constexpr uint8_t kMessages = 0x01, kKeys = 0x02, kMotion = 0x04, kButtons = 0x08, kResults = 0x10,
                  kEscape = 0x20, kPassFlags = 0x3F;
constexpr uint8_t kEnd = 0x40, kRun = 0x80;
constexpr uint32_t kRunMax = 128;
// A replay counts one pass past the last in 32 bits.
constexpr uint64_t kPassesMax = UINT32_MAX - 1;

void put8(std::vector<uint8_t>& b, uint32_t v) { b.push_back((uint8_t)v); }
void put16(std::vector<uint8_t>& b, uint32_t v) {
  put8(b, v);
  put8(b, v >> 8);
}
void put32(std::vector<uint8_t>& b, uint32_t v) {
  put16(b, v);
  put16(b, v >> 16);
}
void put64(std::vector<uint8_t>& b, uint64_t v) {
  put32(b, (uint32_t)v);
  put32(b, (uint32_t)(v >> 32));
}
void put_varint(std::vector<uint8_t>& b, LONG v) {
  uint32_t z = ((uint32_t)v << 1) ^ (uint32_t)(v >> 31);  // zigzag: small of either sign stays short
  while (z >= 0x80) {
    put8(b, (z & 0x7F) | 0x80);
    z >>= 7;
  }
  put8(b, z);
}

bool known_message(uint32_t m) { return m == WM_PAINT || m == WM_CLOSE; }

// Reads within [data, data + size) only; any read past the end marks the reader short.
struct Reader {
  const uint8_t* data;
  size_t size;
  size_t pos;
  bool short_read = false;

  bool have(size_t n) {
    if (size - pos >= n) return true;
    short_read = true;
    return false;
  }
  uint32_t u8() { return have(1) ? data[pos++] : 0; }
  uint32_t u16() {
    uint32_t lo = u8();
    return lo | (u8() << 8);
  }
  uint32_t u32() {
    uint32_t lo = u16();
    return lo | (u16() << 16);
  }
  uint64_t u64() {
    uint64_t lo = u32();
    return lo | ((uint64_t)u32() << 32);
  }
  bool varint(LONG* out) {
    uint32_t z = 0;
    for (int shift = 0; shift < 35; shift += 7) {
      if (!have(1)) return false;
      uint32_t b = data[pos++];
      if (shift == 28 && (b & 0xF0)) return false;  // more than 32 bits
      z |= (b & 0x7F) << shift;
      if (!(b & 0x80)) {
        *out = (LONG)((z >> 1) ^ (0u - (z & 1)));
        return true;
      }
    }
    return false;
  }
};

}  // namespace

void demo_pass_next(DemoPass* pass) {
  pass->message_count = 0;
  pass->key_result = 0;
  pass->mouse_result = 0;
  pass->dx = pass->dy = pass->dz = 0;
}

uint64_t demo_hash(uint64_t h, const void* data, size_t size) {
  const uint8_t* p = static_cast<const uint8_t*>(data);
  for (size_t i = 0; i < size; ++i) h = (h ^ p[i]) * 1099511628211ull;
  return h;
}

// ---------------------------------------------------------------- encoder

void DemoEncoder::header(const DemoHeader& h) {
  buf_.insert(buf_.end(), kMagic, kMagic + sizeof kMagic);
  put16(buf_, h.format);
  size_t n = strnlen(h.version, DEMO_VERSION_SIZE - 1);
  put8(buf_, (uint32_t)n);
  buf_.insert(buf_.end(), h.version, h.version + n);
  put32(buf_, h.seed);
  put32(buf_, (uint32_t)h.state);
  put32(buf_, (uint32_t)h.frame_delay);
}

void DemoEncoder::flush_run() {
  if (run_) put8(buf_, kRun | (run_ - 1));
  run_ = 0;
}

void DemoEncoder::pass(const DemoPass& p) {
  ++passes_;
  uint8_t flags = 0;
  if (p.message_count > 0) flags |= kMessages;
  if (std::memcmp(p.keys, prev_.keys, sizeof p.keys) != 0) flags |= kKeys;
  if (p.dx || p.dy || p.dz) flags |= kMotion;
  if (std::memcmp(p.buttons, prev_.buttons, sizeof p.buttons) != 0) flags |= kButtons;
  if (p.key_result != 0 || p.mouse_result != 0) flags |= kResults;
  if (p.escape != prev_.escape) flags |= kEscape;
  if (!flags) {
    if (++run_ == kRunMax) flush_run();
    return;
  }
  flush_run();
  put8(buf_, flags);
  if (flags & kMessages) {
    int n = p.message_count < DEMO_MAX_MESSAGES ? p.message_count : DEMO_MAX_MESSAGES;
    put8(buf_, (uint32_t)n);
    for (int i = 0; i < n; ++i) put8(buf_, p.messages[i]);
  }
  if (flags & kKeys) {
    size_t count_at = buf_.size();
    put8(buf_, 0);
    uint32_t n = 0;
    for (int k = 0; k < 256; ++k)
      if (p.keys[k] != prev_.keys[k]) {
        put8(buf_, (uint32_t)k);
        put8(buf_, p.keys[k]);
        ++n;
      }
    buf_[count_at] = (uint8_t)(n - 1);
  }
  if (flags & kMotion) {
    put_varint(buf_, p.dx);
    put_varint(buf_, p.dy);
    put_varint(buf_, p.dz);
  }
  if (flags & kButtons) buf_.insert(buf_.end(), p.buttons, p.buttons + 4);
  if (flags & kResults) {
    put32(buf_, (uint32_t)p.key_result);
    put32(buf_, (uint32_t)p.mouse_result);
  }
  if (flags & kEscape) put16(buf_, (uint16_t)p.escape);
  std::memcpy(prev_.keys, p.keys, sizeof p.keys);
  std::memcpy(prev_.buttons, p.buttons, sizeof p.buttons);
  prev_.escape = p.escape;
}

void DemoEncoder::repeat(uint32_t n) {
  passes_ += n;
  while (n > 0) {
    uint32_t k = n < kRunMax - run_ ? n : kRunMax - run_;
    run_ += k;
    n -= k;
    if (run_ == kRunMax) flush_run();
  }
}

void DemoEncoder::end(const DemoEnd& e) {
  flush_run();
  put8(buf_, kEnd);
  put32(buf_, e.frames);
  put64(buf_, e.state_hash);
}

void DemoEncoder::take(std::vector<uint8_t>* out) {
  out->swap(buf_);
  buf_.clear();
}

// ---------------------------------------------------------------- decoder

bool DemoDecoder::open(const uint8_t* data, size_t size, std::string* why) {
  if (check(data, size, why)) return true;
  data_ = nullptr;  // next() yields nothing of a refused demo
  return false;
}

bool DemoDecoder::check(const uint8_t* data, size_t size, std::string* why) {
  data_ = data;
  size_ = size;
  passes_ = 0;
  cut_off_ = false;
  Reader r{data, size, 0};
  if (size < sizeof kMagic || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
    *why = "not a demo file (no demo signature at its start)";
    return false;
  }
  r.pos = sizeof kMagic;
  header_ = DemoHeader{};
  header_.format = (uint16_t)r.u16();
  if (r.short_read) {
    *why = "truncated in its header";
    return false;
  }
  if (header_.format != DEMO_FORMAT) {
    *why = "demo format " + std::to_string(header_.format) + ", this program reads format " +
           std::to_string(DEMO_FORMAT);
    return false;
  }
  uint32_t n = r.u8();
  if (n >= DEMO_VERSION_SIZE) {
    *why = "program version too long";
    return false;
  }
  if (!r.have(n)) {
    *why = "truncated in its header";
    return false;
  }
  for (uint32_t i = 0; i < n; ++i) {
    uint8_t c = data[r.pos + i];
    if (c < 0x20 || c > 0x7E) {
      *why = "program version is not printable text";
      return false;
    }
    header_.version[i] = (char)c;
  }
  r.pos += n;
  header_.seed = r.u32();
  header_.state = (int32_t)r.u32();
  header_.frame_delay = (int32_t)r.u32();
  if (r.short_read) {
    *why = "truncated in its header";
    return false;
  }
  body_ = r.pos;

  // Every record is decoded once now, so nothing can fail while the game runs. A run is counted
  // whole, so that the time taken follows the bytes, not the passes they claim.
  pos_ = body_;
  run_left_ = 0;
  at_end_ = false;
  cur_ = DemoPass{};
  uint64_t count = 0;
  for (;;) {
    const size_t at = pos_;
    Fault f = decode();
    if (f == Fault::cut_off) {
      // A recording that never ended (a crash, a kill): its complete passes still replay, each
      // with its frame unless its input ends the game, which the bytes cannot tell.
      cut_off_ = true;
      end_ = DemoEnd{(uint32_t)count, 0};
      break;
    }
    if (f != Fault::none) {
      static const char* const kWhy[] = {"",
                                         "",
                                         "unknown record",
                                         "bad message count",
                                         "unknown window message",
                                         "key changes out of order",
                                         "mouse motion out of range"};
      *why = std::string(kWhy[(int)f]) + " at byte " + std::to_string(at);
      return false;
    }
    if (at_end_) break;
    count += 1 + run_left_;
    run_left_ = 0;
    if (count > kPassesMax) {
      *why = "more passes than a demo can hold at byte " + std::to_string(at);
      return false;
    }
  }
  if (!cut_off_ && pos_ != size_) {
    *why = "data after the end record";
    return false;
  }
  // The last pass is the one that ended the loop and ran no frame.
  if (!cut_off_ && (count == 0 ? end_.frames != 0 : end_.frames != count - 1)) {
    *why = "end record counts " + std::to_string(end_.frames) + " frames, the demo holds " +
           std::to_string(count ? count - 1 : 0);
    return false;
  }
  passes_ = (uint32_t)count;
  rewind();
  return true;
}

void DemoDecoder::rewind() {
  given_ = 0;
  pos_ = body_;
  run_left_ = 0;
  at_end_ = false;
  cur_ = DemoPass{};
}

bool DemoDecoder::next(DemoPass* pass) {
  if (!data_ || given_ == passes_ || decode() != Fault::none || at_end_) return false;
  ++given_;
  *pass = cur_;
  return true;
}

// One record into cur_; builds no string, as it runs on every pass of a replay.
DemoDecoder::Fault DemoDecoder::decode() {
  DemoPass* pass = &cur_;
  demo_pass_next(pass);
  if (run_left_ > 0) {
    --run_left_;
    return Fault::none;
  }
  Reader r{data_, size_, pos_};
  uint32_t flags = r.u8();
  if (r.short_read) return Fault::cut_off;
  if (flags == kEnd) {
    end_.frames = r.u32();
    end_.state_hash = r.u64();
    if (r.short_read) return Fault::cut_off;
    pos_ = r.pos;
    at_end_ = true;
    return Fault::none;
  }
  if (flags & kRun) {
    run_left_ = flags & (kRun - 1);
    pos_ = r.pos;
    return Fault::none;
  }
  if ((flags & ~kPassFlags) || flags == 0) return Fault::unknown_record;
  // A value is judged only once read whole: a record cut short is a cut-off, not a bad one.
  if (flags & kMessages) {
    uint32_t n = r.u8();
    if (!r.short_read && (n == 0 || n > DEMO_MAX_MESSAGES)) return Fault::message_count;
    for (uint32_t i = 0; i < n && !r.short_read; ++i) {
      uint32_t m = r.u8();
      if (!r.short_read && !known_message(m)) return Fault::message;
      pass->messages[i] = (BYTE)m;
    }
    pass->message_count = r.short_read ? 0 : (int)n;
  }
  if (flags & kKeys) {
    uint32_t n = r.u8() + 1;
    int last = -1;
    for (uint32_t i = 0; i < n && !r.short_read; ++i) {
      uint32_t k = r.u8();
      uint32_t v = r.u8();
      if (r.short_read) break;
      if ((int)k <= last) return Fault::key_order;
      last = (int)k;
      pass->keys[k] = (BYTE)v;
    }
  }
  if (flags & kMotion) {
    if (!r.varint(&pass->dx) || !r.varint(&pass->dy) || !r.varint(&pass->dz))
      if (!r.short_read) return Fault::motion;
  }
  if ((flags & kButtons) && r.have(4)) {
    std::memcpy(pass->buttons, data_ + r.pos, 4);
    r.pos += 4;
  }
  if (flags & kResults) {
    pass->key_result = (HRESULT)r.u32();
    pass->mouse_result = (HRESULT)r.u32();
  }
  if (flags & kEscape) pass->escape = (SHORT)r.u16();
  if (r.short_read) return Fault::cut_off;
  pos_ = r.pos;
  return Fault::none;
}
