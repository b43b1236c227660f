// On-screen strings are code page 1251 bytes; these turn UTF-8 literals into them at compile
// time, so the source stays readable. A character the code page lacks stops the build.
#pragma once
#include <cstddef>

namespace cp1251_detail {

// Code points of bytes 0x80..0xBF; 0xC0..0xFF are U+0410..U+044F in order. 0 marks 0x98.
inline constexpr unsigned short kHigh[64] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409, 0x2039, 0x040A,
    0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x0000, 0x2122,
    0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6,
    0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456,
    0x0491, 0x00B5, 0x00B6, 0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};

// Not constexpr on purpose: reaching it during constant evaluation is a compile error.
inline void not_utf8_or_not_in_code_page_1251() {}

}  // namespace cp1251_detail

// Bytes without the terminating zero in `len`; `bytes` is zero-terminated as well.
template <size_t N>
struct Cp1251Text {
  char bytes[N] = {};
  int len = 0;
};

// A zero-terminated UTF-8 string in code page 1251, at compile time or at start-up (for texts a
// language chooses): the length written to `out` (zero-terminated), or -1 when the text is not
// valid UTF-8, has a character the code page lacks, or needs more than cap - 1 bytes.
constexpr int cp1251_encode(const char* utf8, char* out, int cap) {
  int len = 0;
  for (size_t i = 0; utf8[i];) {
    unsigned c = (unsigned char)utf8[i];
    unsigned cp = 0;
    size_t more = 0;
    if (c < 0x80)
      cp = c;
    else if ((c & 0xE0) == 0xC0)
      cp = c & 0x1F, more = 1;
    else if ((c & 0xF0) == 0xE0)
      cp = c & 0x0F, more = 2;
    else if ((c & 0xF8) == 0xF0)
      cp = c & 0x07, more = 3;
    else
      return -1;
    for (size_t k = 1; k <= more; ++k) {
      unsigned cc = (unsigned char)utf8[i + k];
      if ((cc & 0xC0) != 0x80) return -1;  // also stops at the terminating zero
      cp = (cp << 6) | (cc & 0x3F);
    }
    int byte = -1;
    if (cp < 0x80)
      byte = (int)cp;
    else if (cp >= 0x0410 && cp <= 0x044F)
      byte = (int)(0xC0 + (cp - 0x0410));
    else
      for (unsigned b = 0; b < 64; ++b)
        if (cp1251_detail::kHigh[b] == cp && cp != 0) byte = (int)(0x80 + b);
    if (byte < 0 || len + 1 >= cap) return -1;
    out[len++] = (char)byte;
    i += more + 1;
  }
  if (cap > 0) out[len] = 0;
  return len;
}

template <typename Char, size_t N>
consteval Cp1251Text<N> cp1251_convert(const Char (&utf8)[N]) {
  char in[N] = {};
  for (size_t i = 0; i < N; ++i) in[i] = (char)utf8[i];
  Cp1251Text<N> out;
  out.len = cp1251_encode(in, out.bytes, (int)N);
  if (out.len < 0) cp1251_detail::not_utf8_or_not_in_code_page_1251();
  return out;
}

// cp1251("Ver 1.0"), cp1251("ИГРА"), also u8"..." literals.
template <size_t N>
consteval Cp1251Text<N> cp1251(const char (&utf8)[N]) {
  return cp1251_convert(utf8);
}
template <size_t N>
consteval Cp1251Text<N> cp1251(const char8_t (&utf8)[N]) {
  return cp1251_convert(utf8);
}
