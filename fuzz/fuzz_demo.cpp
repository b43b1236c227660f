// libFuzzer target for the demo reader: whatever it accepts must decode pass by pass without
// reading past the input, and encoding the passes again must give a demo that decodes to the
// same passes. A whole demo cut short must give a prefix of its passes, or be refused.
// Passes are compared in step with a second reading of the input, never kept, and the rest of a
// run at once: a few bytes of runs claim millions of passes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/demo/demo_format.h"

namespace {

[[noreturn]] void fail(const char* what, uint32_t pass) {
  std::fprintf(stderr, "fuzz_demo: %s (pass %u)\n", what, (unsigned)pass);
  std::abort();
}

bool same(const DemoPass& a, const DemoPass& b) {
  return a.message_count == b.message_count &&
         std::memcmp(a.messages, b.messages, (size_t)a.message_count) == 0 &&
         std::memcmp(a.keys, b.keys, sizeof a.keys) == 0 && std::memcmp(a.buttons, b.buttons, 4) == 0 &&
         a.dx == b.dx && a.dy == b.dy && a.dz == b.dz && a.key_result == b.key_result &&
         a.mouse_result == b.mouse_result && a.escape == b.escape;
}

DemoPass g_p, g_q, g_r;  // large: kept off the stack and out of the allocator

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exact-size copy, so that ASan sees any read past the end of the input.
  std::vector<uint8_t> bytes(data, data + size);
  DemoDecoder dec;
  std::string why;
  if (!dec.open(bytes.data(), bytes.size(), &why)) {
    if (why.empty()) fail("refused without a reason", 0);
    return 0;
  }
  DemoEncoder enc;
  enc.header(dec.header());
  DemoPass& p = g_p;
  uint32_t passes = 0;
  while (dec.next(&p)) {
    if (p.message_count < 0 || p.message_count > DEMO_MAX_MESSAGES)
      fail("message count out of range", passes);
    enc.pass(p);
    ++passes;
    if (const uint32_t n = dec.repeats()) {
      if (p.message_count || p.dx || p.dy || p.dz || p.key_result || p.mouse_result)
        fail("a run's pass carries something of its own", passes);
      enc.repeat(n);
      dec.skip(n);
      passes += n;
    }
  }
  if (passes != dec.passes()) fail("pass count differs from the one checked at open", passes);
  const uint32_t frames = passes == 0 ? 0 : passes - 1;
  if (dec.cut_off() && dec.end().frames > passes)
    fail("a cut-off demo plays more frames than it has passes", passes);

  // Encoded again, the passes read the same. Cut short anywhere after its header, a whole demo
  // keeps a prefix of its passes. Both are read in step with the input, run by run.
  enc.end(DemoEnd{dec.cut_off() ? frames : dec.end().frames, dec.end().state_hash});
  std::vector<uint8_t> again;
  enc.take(&again);
  DemoDecoder dec2;
  if (!dec2.open(again.data(), again.size(), &why)) fail(("re-encoded demo refused: " + why).c_str(), 0);
  std::vector<uint8_t> cut;
  DemoDecoder part;
  bool cutting = false;
  if (!dec.cut_off() && size > 1) {
    cut.assign(bytes.begin(), bytes.begin() + (long)(data[size - 1] % size));
    cutting = part.open(cut.data(), cut.size(), &why);
    if (cutting && !part.cut_off()) fail("a cut demo is taken as whole", 0);
  }
  dec.rewind();
  uint32_t i = 0;
  for (; dec.next(&p); ++i) {
    if (!dec2.next(&g_q)) fail("re-encoded demo ends early", i);
    if (!same(p, g_q)) fail("re-encoded pass differs", i);
    uint32_t n = std::min(dec.repeats(), dec2.repeats());
    if (cutting && part.next(&g_r)) {
      if (!same(p, g_r)) fail("a cut demo's pass differs", i);
      n = std::min(n, part.repeats());
      part.skip(n);
    } else if (cutting && part.passes() != i) {
      fail("a cut demo keeps fewer passes than it says", i);
    } else {
      cutting = false;
    }
    dec.skip(n);
    dec2.skip(n);
    i += n;
  }
  if (dec2.next(&g_q)) fail("re-encoded demo is longer", i);
  if (cutting && part.next(&g_r)) fail("a cut demo has more passes", i);
  return 0;
}
