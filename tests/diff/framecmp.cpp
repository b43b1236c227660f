// Compares two screenshots of a 16-bit game taken on 24-bit screens. Two platforms may widen a
// 5- or 6-bit channel to 8 bits differently (shift, bit copy, rounding), so pixels count as
// different only when they differ in the top 5, 6, 5 bits; the largest 8-bit difference is
// reported beside, as the measure of that widening.
// Usage: framecmp A.ppm B.ppm [-r X,Y,W,H] [-x X,Y,W,H]... [-m MASK.pgm@X,Y]... [-o MARKED.ppm]
//   -r  compares only inside a rectangle
//   -x  leaves a rectangle out (text, the cursor)
//   -m  compares only where one of the masks, placed with its top left at X,Y, is not 0 (sprites)
//   -o  writes B with the differing pixels painted pure red
// Prints one line; exits 0 when nothing differs, 1 when something does, 2 on bad input.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Image {
  int w = 0, h = 0, channels = 0;
  int x = 0, y = 0;  // where a mask's top left lies on the screen
  std::vector<unsigned char> px;
};

bool read_pnm(const char* path, Image* img, char want) {
  FILE* f = std::fopen(path, "rb");
  if (!f) return false;
  char magic[3] = {};
  int maxval = 0;
  bool ok = std::fscanf(f, "%2s %d %d %d", magic, &img->w, &img->h, &maxval) == 4 && magic[0] == 'P' &&
            magic[1] == want && maxval == 255 && img->w > 0 && img->h > 0 && img->w <= 16384 &&
            img->h <= 16384 && std::fgetc(f) != EOF;
  if (ok) {
    img->channels = want == '6' ? 3 : 1;
    img->px.resize((size_t)img->w * img->h * img->channels);
    ok = std::fread(img->px.data(), 1, img->px.size(), f) == img->px.size();
  }
  std::fclose(f);
  return ok;
}

struct Rect {
  int x, y, w, h;
  bool has(int px, int py) const { return px >= x && px < x + w && py >= y && py < y + h; }
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: framecmp A.ppm B.ppm [-r X,Y,W,H] [-x X,Y,W,H]... [-m MASK.pgm@X,Y]... [-o MARKED.ppm]\n");
    return 2;
  }
  Image a, b;
  std::vector<Image> masks;
  if (!read_pnm(argv[1], &a, '6') || !read_pnm(argv[2], &b, '6') || a.w != b.w || a.h != b.h) {
    std::fprintf(stderr, "framecmp: %s and %s are not two binary PPM pictures of one size\n", argv[1], argv[2]);
    return 2;
  }
  std::vector<Rect> excluded;
  Rect region{0, 0, a.w, a.h};
  const char* marked = nullptr;
  for (int i = 3; i + 1 < argc; i += 2) {
    Rect r{};
    if (!std::strcmp(argv[i], "-x") || !std::strcmp(argv[i], "-r")) {
      if (std::sscanf(argv[i + 1], "%d,%d,%d,%d", &r.x, &r.y, &r.w, &r.h) != 4) return 2;
      if (argv[i][1] == 'x') excluded.push_back(r);
      else region = r;
    } else if (!std::strcmp(argv[i], "-m")) {
      Image mask;
      char* at = std::strrchr(argv[i + 1], '@');
      if (!at || std::sscanf(at + 1, "%d,%d", &mask.x, &mask.y) != 2) return 2;
      *at = 0;
      masks.push_back(mask);
      if (!read_pnm(argv[i + 1], &masks.back(), '5')) {
        std::fprintf(stderr, "framecmp: %s is not a binary PGM mask\n", argv[i + 1]);
        return 2;
      }
    } else if (!std::strcmp(argv[i], "-o")) {
      marked = argv[i + 1];
    } else {
      return 2;
    }
  }

  long compared = 0, differing = 0;
  int maxd[3] = {0, 0, 0};
  int x0 = a.w, y0 = a.h, x1 = -1, y1 = -1;
  static const unsigned char kTopBits[3] = {0xF8, 0xFC, 0xF8};
  for (int y = 0; y < a.h; ++y)
    for (int x = 0; x < a.w; ++x) {
      bool skip = !region.has(x, y);
      for (const Rect& r : excluded) skip = skip || r.has(x, y);
      if (!masks.empty()) {
        bool opaque = false;
        for (const Image& m : masks)
          opaque = opaque || (Rect{m.x, m.y, m.w, m.h}.has(x, y) && m.px[(size_t)(y - m.y) * m.w + (x - m.x)]);
        skip = skip || !opaque;
      }
      if (skip) continue;
      ++compared;
      unsigned char* pa = &a.px[((size_t)y * a.w + x) * 3];
      unsigned char* pb = &b.px[((size_t)y * a.w + x) * 3];
      bool differs = false;
      for (int c = 0; c < 3; ++c) {
        int d = pa[c] > pb[c] ? pa[c] - pb[c] : pb[c] - pa[c];
        if (d > maxd[c]) maxd[c] = d;
        differs = differs || (pa[c] & kTopBits[c]) != (pb[c] & kTopBits[c]);
      }
      if (!differs) continue;
      if (!differing)
        std::printf("first difference at %d,%d: %d %d %d against %d %d %d; ", x, y, pa[0], pa[1], pa[2], pb[0],
                    pb[1], pb[2]);
      ++differing;
      if (x < x0) x0 = x;
      if (y < y0) y0 = y;
      if (x > x1) x1 = x;
      if (y > y1) y1 = y;
      pb[0] = 255, pb[1] = 0, pb[2] = 0;
    }
  std::printf("compared %ld pixels, largest difference %d %d %d, %ld differ", compared, maxd[0], maxd[1], maxd[2],
              differing);
  if (differing) std::printf(" within %d,%d .. %d,%d", x0, y0, x1, y1);
  std::printf("\n");
  if (marked) {
    FILE* f = std::fopen(marked, "wb");
    if (f) {
      std::fprintf(f, "P6\n%d %d\n255\n", b.w, b.h);
      std::fwrite(b.px.data(), 1, b.px.size(), f);
      std::fclose(f);
    }
  }
  return differing ? 1 : 0;
}
