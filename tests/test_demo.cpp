// The demo file format: passes come back as recorded, broken files are refused with their
// reason, and a demo cut anywhere keeps the passes it holds whole. Whole runs of the program
// are in tests/e2e/cli.sh and demo.sh.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/demo/demo_format.h"
#include "platform/win32.h"

namespace {

std::vector<uint8_t> encode(const std::vector<DemoPass>& passes, uint32_t frames) {
  DemoEncoder enc;
  DemoHeader h;
  std::snprintf(h.version, sizeof h.version, "9.9");
  h.seed = 0xDEADBEEF;
  enc.header(h);
  for (const DemoPass& p : passes) enc.pass(p);
  enc.end(DemoEnd{frames, 0x0123456789ABCDEFull});
  std::vector<uint8_t> bytes;
  enc.take(&bytes);
  return bytes;
}

std::vector<uint8_t> read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

bool same(const DemoPass& a, const DemoPass& b) {
  return a.message_count == b.message_count &&
         std::memcmp(a.messages, b.messages, (size_t)a.message_count) == 0 &&
         std::memcmp(a.keys, b.keys, 256) == 0 && std::memcmp(a.buttons, b.buttons, 4) == 0 && a.dx == b.dx &&
         a.dy == b.dy && a.dz == b.dz && a.key_result == b.key_result && a.mouse_result == b.mouse_result &&
         a.escape == b.escape;
}

TEST(DemoFormat, PassesComeBackAsRecordedAndIdlePlayIsTiny) {
  std::vector<DemoPass> in(600);
  in[0].messages[0] = WM_PAINT;
  in[0].messages[1] = WM_CLOSE;
  in[0].message_count = 2;
  in[1].dx = -2147483647 - 1;
  in[1].dy = 2147483647;
  in[1].dz = -1;
  in[1].buttons[0] = 0x80;
  for (size_t i = 2; i < in.size(); ++i) std::memcpy(in[i].buttons, in[1].buttons, 4);
  for (size_t i = 3; i < in.size(); ++i) in[i].keys[DIK_LCONTROL] = 0x80;
  for (int k = 0; k < 256; ++k) in[4].keys[k] = (BYTE)k;  // every byte changes at once
  in[5].keys[DIK_LCONTROL] = 0x80;
  in[6].key_result = DIERR_NOTACQUIRED;
  in[6].mouse_result = DIERR_INPUTLOST;
  std::memcpy(in[6].keys, in[5].keys, 256);
  for (size_t i = 7; i < in.size(); ++i) in[i].escape = (SHORT)0x8000;
  std::vector<uint8_t> bytes = encode(in, (uint32_t)in.size() - 1);
  // Header 26 bytes, end 13, and one byte per 128 passes in which nothing changed.
  EXPECT_EQ(encode(std::vector<DemoPass>(10000), 9999).size(), 26u + 79u + 13u);

  DemoDecoder dec;
  std::string why;
  ASSERT_TRUE(dec.open(bytes.data(), bytes.size(), &why)) << why;
  EXPECT_STREQ(dec.header().version, "9.9");
  EXPECT_EQ(dec.header().seed, 0xDEADBEEFu);
  EXPECT_EQ(dec.passes(), in.size());
  EXPECT_EQ(dec.end().state_hash, 0x0123456789ABCDEFull);
  DemoPass out;
  for (size_t i = 0; i < in.size(); ++i) {
    ASSERT_TRUE(dec.next(&out)) << i;
    EXPECT_TRUE(same(out, in[i])) << i;
  }
  EXPECT_FALSE(dec.next(&out));
}

// Each file of fuzz/seeds/demo with the reason it is refused for ("": it is read whole, "cut":
// read up to its last whole pass).
TEST(DemoFormat, SeedFilesAreReadOrRefusedWithTheirReason) {
  const struct {
    const char* file;
    const char* verdict;
  } seeds[] = {
      {"all_keys", ""},
      {"bad_message", "window message"},
      {"cut_fire", "cut"},
      {"empty_run", ""},
      {"every_flag", ""},
      {"format_2", "format 2"},
      {"frames_wrong", "counts 7 frames"},
      {"keys_out_of_order", "out of order"},
      {"long_version", ""},
      {"no_end", "cut"},
      {"one_pass", ""},
      {"opens_in_play", ""},  // refused by the program (status 65), not by the format
      {"trailing", "after the end"},
      {"trunc_end", "cut"},
      {"trunc_header", "truncated"},
      {"unknown_record", "unknown record"},
      {"varint_long", "out of range"},
      {"wrong_magic", "not a demo"},
  };
  for (const auto& s : seeds) {
    const std::vector<uint8_t> bytes =
        read_file(std::string(TARVELLIN_SOURCE_DIR "/fuzz/seeds/demo/") + s.file + ".demo");
    ASSERT_FALSE(bytes.empty()) << s.file;
    DemoDecoder dec;
    std::string why;
    const bool read = dec.open(bytes.data(), bytes.size(), &why);
    const std::string want = s.verdict;
    if (want.empty() || want == "cut") {
      ASSERT_TRUE(read) << s.file << ": " << why;
      EXPECT_EQ(dec.cut_off(), want == "cut") << s.file;
      DemoPass p;
      uint32_t n = 0;
      while (dec.next(&p)) ++n;
      EXPECT_EQ(n, dec.passes()) << s.file;
    } else {
      EXPECT_FALSE(read) << s.file;
      EXPECT_NE(why.find(want), std::string::npos) << s.file << ": " << why;
    }
  }
}

TEST(DemoFormat, ADemoCutAnywhereKeepsItsWholePassesOrIsRefused) {
  // As a crash leaves it: a regression demo cut at every byte (an exact-size copy, so that ASan
  // sees a read past it). The program plays what is kept: tests/e2e/cli.sh.
  const std::vector<uint8_t> whole = read_file(TARVELLIN_SOURCE_DIR "/tests/demos/fire.demo");
  DemoDecoder all;
  std::string why;
  ASSERT_TRUE(all.open(whole.data(), whole.size(), &why)) << why;
  std::vector<DemoPass> passes;
  for (DemoPass p; all.next(&p);) passes.push_back(p);
  const size_t header = 26;
  uint32_t last = 0;
  for (size_t n = 0; n < whole.size(); ++n) {
    const std::vector<uint8_t> cut(whole.begin(), whole.begin() + (long)n);
    DemoDecoder dec;
    ASSERT_EQ(dec.open(cut.data(), n, &why), n >= header) << n << " bytes: " << why;
    if (n < header) continue;
    EXPECT_TRUE(dec.cut_off());
    DemoPass p;
    uint32_t i = 0;
    for (; dec.next(&p); ++i) {
      ASSERT_LT(i, passes.size());
      EXPECT_TRUE(same(p, passes[i])) << n << " bytes, pass " << i;
    }
    EXPECT_EQ(i, dec.passes());
    // A frame for each pass it keeps; with only the end record lost, one fewer: the last pass
    // ended the loop. Cut after the pass where the game quits by itself, it plays no further.
    EXPECT_LE(dec.end().frames, i) << n;
    EXPECT_GE(dec.end().frames + 1, i) << n;
    const uint32_t played = std::min(dec.end().frames, all.end().frames);
    ASSERT_GE(played, last) << n;
    last = played;
  }
  EXPECT_EQ(last, all.end().frames);
}

TEST(DemoFormat, APassCountPast32BitsIsRefused) {
  std::vector<uint8_t> bytes = encode({}, 0);
  DemoDecoder dec;
  std::string why;
  // 32 MiB of runs of 128 passes: 2^32 passes, which no replay can count (a 32-bit count wraps
  // to none). Read in time with the bytes, not with the passes.
  bytes.resize(26);
  bytes.resize(26 + (32u << 20), 0xFF);
  EXPECT_FALSE(dec.open(bytes.data(), bytes.size(), &why));
  EXPECT_EQ(why, "more passes than a demo can hold at byte " + std::to_string(bytes.size() - 1));
  bytes.back() = 0xFD;  // 2^32 - 2 passes: held
  ASSERT_TRUE(dec.open(bytes.data(), bytes.size(), &why)) << why;
  EXPECT_EQ(dec.passes(), 0xFFFFFFFEu);
}

TEST(DemoFormat, AFlushedRunReachesTheBytesAndReadsTheSame) {
  // A recording flushes a growing run so that a kill keeps it; the reader sees every pass.
  DemoEncoder enc;
  enc.header(DemoHeader{});
  for (int i = 0; i < 80; ++i) {
    if (i == 50) enc.flush();
    enc.pass(DemoPass{});
  }
  enc.flush();
  std::vector<uint8_t> bytes;
  enc.take(&bytes);
  EXPECT_EQ(bytes.size(), 23u + 2u);  // the header, two runs
  DemoDecoder dec;
  std::string why;
  ASSERT_TRUE(dec.open(bytes.data(), bytes.size(), &why)) << why;
  EXPECT_TRUE(dec.cut_off());
  EXPECT_EQ(dec.passes(), 80u);
}

}  // namespace
