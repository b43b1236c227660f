// libFuzzer target for the demo reader: whatever it accepts must decode pass by pass without
// reading past the input, and encoding the passes again must give a demo that decodes to the
// same passes. A whole demo cut short must give a prefix of its passes, or be refused.
// Passes are compared in step with a second reading of the input, never kept: a few bytes of
// runs claim millions of passes.
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

// Reads `other` in step with a fresh reading of the accepted input; returns how many passes
// `other` gave, all of them equal to the input's at the same place.
uint32_t in_step(const std::vector<uint8_t>& input, DemoDecoder* other, const char* differs,
                 const char* longer) {
  DemoDecoder ref;
  std::string why;
  if (!ref.open(input.data(), input.size(), &why)) fail("the input is refused on a second reading", 0);
  static DemoPass p, q;  // large: kept off the stack and out of the allocator
  uint32_t i = 0;
  for (; other->next(&q); ++i) {
    if (!ref.next(&p)) fail(longer, i);
    if (!same(p, q)) fail(differs, i);
  }
  return i;
}

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
  static DemoPass p;
  uint32_t passes = 0;
  while (dec.next(&p)) {
    if (p.message_count < 0 || p.message_count > DEMO_MAX_MESSAGES)
      fail("message count out of range", passes);
    enc.pass(p);
    ++passes;
  }
  if (passes != dec.passes()) fail("pass count differs from the one checked at open", passes);
  const uint32_t frames = passes == 0 ? 0 : passes - 1;
  if (dec.cut_off() && dec.end().frames > passes)
    fail("a cut-off demo plays more frames than it has passes", passes);
  // Cut short anywhere after its header, a demo keeps a prefix of its passes.
  if (!dec.cut_off() && size > 1) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + (long)(data[size - 1] % size));
    DemoDecoder part;
    if (part.open(cut.data(), cut.size(), &why)) {
      in_step(bytes, &part, "a cut demo's pass differs", "a cut demo has more passes");
      if (!part.cut_off()) fail("a cut demo is taken as whole", 0);
    }
  }
  enc.end(DemoEnd{dec.cut_off() ? frames : dec.end().frames, dec.end().state_hash});
  std::vector<uint8_t> again;
  enc.take(&again);
  DemoDecoder dec2;
  if (!dec2.open(again.data(), again.size(), &why)) fail(("re-encoded demo refused: " + why).c_str(), 0);
  if (in_step(bytes, &dec2, "re-encoded pass differs", "re-encoded demo is longer") != passes)
    fail("re-encoded demo ends early", passes);
  return 0;
}
