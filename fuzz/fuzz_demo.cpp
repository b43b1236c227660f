// libFuzzer target for the demo reader: whatever it accepts must decode pass by pass without
// reading past the input, and encoding the passes again must give a demo that decodes to the
// same passes. A whole demo cut short must give a prefix of its passes, or be refused.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/demo_format.h"

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
  std::vector<DemoPass> passes;
  DemoPass p;
  while (dec.next(&p)) {
    if (p.message_count < 0 || p.message_count > DEMO_MAX_MESSAGES)
      fail("message count out of range", (uint32_t)passes.size());
    passes.push_back(p);
    enc.pass(p);
  }
  if (passes.size() != dec.passes())
    fail("pass count differs from the one checked at open", (uint32_t)passes.size());
  const uint32_t frames = passes.empty() ? 0 : (uint32_t)passes.size() - 1;
  if (dec.cut_off() && dec.end().frames > passes.size())
    fail("a cut-off demo plays more frames than it has passes", (uint32_t)passes.size());
  // Cut short anywhere after its header, a demo keeps a prefix of its passes.
  if (!dec.cut_off() && size > 1) {
    std::vector<uint8_t> cut(bytes.begin(), bytes.begin() + (long)(data[size - 1] % size));
    DemoDecoder part;
    if (part.open(cut.data(), cut.size(), &why)) {
      DemoPass q;
      for (uint32_t i = 0; part.next(&q); ++i)
        if (i >= passes.size() || !same(q, passes[i])) fail("a cut demo's pass differs", i);
      if (!part.cut_off()) fail("a cut demo is taken as whole", 0);
    }
  }
  enc.end(DemoEnd{dec.cut_off() ? frames : dec.end().frames, dec.end().state_hash});
  std::vector<uint8_t> again;
  enc.take(&again);
  DemoDecoder dec2;
  if (!dec2.open(again.data(), again.size(), &why)) fail(("re-encoded demo refused: " + why).c_str(), 0);
  for (uint32_t i = 0; i < passes.size(); ++i) {
    if (!dec2.next(&p)) fail("re-encoded demo ends early", i);
    if (!same(p, passes[i])) fail("re-encoded pass differs", i);
  }
  if (dec2.next(&p)) fail("re-encoded demo is longer", (uint32_t)passes.size());
  return 0;
}
