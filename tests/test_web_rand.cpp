// The browser build's rand (platform/web/rand.cpp, compiled here as web_rand::) against glibc's.
#include <gtest/gtest.h>

#include <cstdlib>

namespace web_rand {
void srand(unsigned seed);
int rand(void);
}  // namespace web_rand

TEST(WebRand, GivesTheCLibrarySequenceForEverySeed) {
  // 0 and 1 start alike; 0xFFFFFFFF enters the seeding as a negative word; the last is a tick count.
  for (unsigned seed : {0u, 1u, 42u, 0x7FFFFFFFu, 0x80000000u, 0xFFFFFFFFu, 74213885u}) {
    std::srand(seed);
    web_rand::srand(seed);
    for (int i = 0; i < 10000; ++i) {
      const int want = std::rand();
      ASSERT_EQ(web_rand::rand(), want) << "seed " << seed << ", draw " << i;
    }
  }
  std::srand(1);  // the C library's state as the program starts
}
