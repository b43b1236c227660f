// Loudness of a stretch of a raw signed 16-bit recording (what SDL's disk audio driver writes).
// Usage: pcmstat FILE FROM_BYTE [TO_BYTE]   prints the peak absolute sample and the RMS.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: pcmstat FILE FROM_BYTE [TO_BYTE]\n");
    return 2;
  }
  FILE* f = std::fopen(argv[1], "rb");
  if (!f) {
    std::perror(argv[1]);
    return 1;
  }
  long from = std::strtol(argv[2], nullptr, 10) & ~1L;
  long to = argc > 3 ? std::strtol(argv[3], nullptr, 10) : -1;
  std::fseek(f, from, SEEK_SET);
  long pos = from;
  int16_t s;
  long n = 0;
  int peak = 0;
  double sum = 0;
  while ((to < 0 || pos + 2 <= to) && std::fread(&s, 2, 1, f) == 1) {
    pos += 2;
    int a = s < 0 ? -s : s;
    if (a > peak) peak = a;
    sum += (double)s * s;
    ++n;
  }
  std::fclose(f);
  std::printf("%d %.1f\n", peak, n ? std::sqrt(sum / n) : 0.0);
  return 0;
}
