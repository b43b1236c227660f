// The C library's srand and rand with glibc's sequence, so that a seed gives the browser the same
// game as the native build (a replay's seed is the first tick reading). glibc's rand is random():
// an additive feedback generator over 31 words, r[i] = r[i-3] + r[i-31] (mod 2^32), its words
// seeded by the 16807 multiplicative generator and the first 310 outputs thrown away; each
// output is the sum shifted right by one, so RAND_MAX is 2^31 - 1. Defining both functions
// replaces the C library's rand object in the browser build. The native build keeps glibc's own;
// its unit test compiles this file under PLAT_RAND_NAMESPACE to compare the two.
#include <cstdint>

namespace {

constexpr int kDegree = 31, kSeparation = 3;

struct RandState {
  int32_t r[kDegree];
  int front, rear;  // r[front] += r[rear], both stepping round the ring
  bool seeded;
};

RandState g_rand;

uint32_t rand_step(RandState& s) {
  uint32_t sum = (uint32_t)s.r[s.front] + (uint32_t)s.r[s.rear];
  s.r[s.front] = (int32_t)sum;
  s.front = s.front + 1 == kDegree ? 0 : s.front + 1;
  s.rear = s.rear + 1 == kDegree ? 0 : s.rear + 1;
  return sum >> 1;
}

void rand_seed(RandState& s, unsigned seed) {
  if (seed == 0) seed = 1;  // the generator must not start from zero
  int32_t word = (int32_t)seed;
  s.r[0] = word;
  // r[i] = 16807 * r[i-1] mod (2^31 - 1) in Schrage's form, which never overflows 32 bits; a seed
  // above 2^31 enters as a negative word, as it does in glibc.
  for (int i = 1; i < kDegree; ++i) {
    int32_t hi = word / 127773, lo = word % 127773;
    word = 16807 * lo - 2836 * hi;
    if (word < 0) word += 2147483647;
    s.r[i] = word;
  }
  s.front = kSeparation;
  s.rear = 0;
  s.seeded = true;
  for (int i = 0; i < kDegree * 10; ++i) rand_step(s);
}

}  // namespace

#ifdef PLAT_RAND_NAMESPACE
namespace PLAT_RAND_NAMESPACE {
#else
extern "C" {
#endif

void srand(unsigned seed) { rand_seed(g_rand, seed); }

// Unseeded, rand starts as if seeded with 1, as the C standard asks.
int rand(void) {
  if (!g_rand.seeded) rand_seed(g_rand, 1);
  return (int)rand_step(g_rand);
}
}
