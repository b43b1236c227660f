// The file formats the game reads, written byte by byte: BMP (24-bit, or 16-bit words in 5.6.5 as
// the game takes them) and RIFF WAVE (8-bit unsigned PCM). Also the rules that keep the colour
// keys exact after conversion to 16 bits. Header-only so the unit tests can use it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t AG_KEY_MAGENTA_565 = 0xF81F;
// Darkest value a visible sprite pixel may take: pure black never collides. In black-keyed
// pictures the darkest visible value is the faintest blue, 0x0001.
constexpr uint16_t AG_DARKEST_565 = 0x0821;

inline uint16_t ag_pack565(int r, int g, int b) {
  return (uint16_t)((((r >> 3) & 31) << 11) | (((g >> 2) & 63) << 5) | ((b >> 3) & 31));
}

// The 8-bit value whose truncation gives back the same 5- or 6-bit field (bit replication).
inline void ag_unpack565(uint16_t v, uint8_t rgb[3]) {
  int r = v >> 11, g = (v >> 5) & 63, b = v & 31;
  rgb[0] = (uint8_t)((r << 3) | (r >> 2));
  rgb[1] = (uint8_t)((g << 2) | (g >> 4));
  rgb[2] = (uint8_t)((b << 3) | (b >> 2));
}

enum AgKey { AG_KEY_MAGENTA, AG_KEY_BLACK };

// A visible pixel never equals its picture's key, and is never pure black in sprites either.
inline uint16_t ag_key_safe(uint16_t v, AgKey key) {
  if (v == 0) return key == AG_KEY_BLACK ? 0x0001 : AG_DARKEST_565;
  if (key == AG_KEY_MAGENTA && v == AG_KEY_MAGENTA_565) return (uint16_t)(v | 0x0020);
  return v;
}

inline void ag_put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back((uint8_t)v);
  out.push_back((uint8_t)(v >> 8));
}
inline void ag_put32(std::vector<uint8_t>& out, uint32_t v) {
  ag_put16(out, v & 0xFFFF);
  ag_put16(out, v >> 16);
}

// Uncompressed bottom-up BMP of 5.6.5 pixels given top-down. bits 24 writes each value as the
// 8-bit triple that truncates back to it; bits 16 writes the words as they stand (BI_RGB, which
// is how the game's reader takes them). Rows are padded to 4 bytes as the format wants.
inline std::vector<uint8_t> ag_bmp_encode(int w, int h, const uint16_t* px, int bits) {
  std::vector<uint8_t> out;
  if (w <= 0 || h <= 0 || (bits != 16 && bits != 24)) return out;
  uint32_t row = (uint32_t)w * (uint32_t)(bits / 8);
  uint32_t stride = (row + 3u) & ~3u;
  uint32_t image = stride * (uint32_t)h;
  out.reserve(54 + image);
  out.push_back('B');
  out.push_back('M');
  ag_put32(out, 54 + image);
  ag_put32(out, 0);
  ag_put32(out, 54);
  ag_put32(out, 40);
  ag_put32(out, (uint32_t)w);
  ag_put32(out, (uint32_t)h);
  ag_put16(out, 1);
  ag_put16(out, (uint32_t)bits);
  ag_put32(out, 0);  // BI_RGB
  ag_put32(out, image);
  ag_put32(out, 2835);  // 72 dpi
  ag_put32(out, 2835);
  ag_put32(out, 0);
  ag_put32(out, 0);
  for (int y = h - 1; y >= 0; --y) {
    const uint16_t* src = px + (size_t)y * (size_t)w;
    for (int x = 0; x < w; ++x) {
      if (bits == 16) {
        ag_put16(out, src[x]);
      } else {
        uint8_t rgb[3];
        ag_unpack565(src[x], rgb);
        out.push_back(rgb[2]);
        out.push_back(rgb[1]);
        out.push_back(rgb[0]);
      }
    }
    for (uint32_t p = row; p < stride; ++p) out.push_back(0);
  }
  return out;
}

// RIFF WAVE, PCM 8-bit unsigned mono: a 16-byte "fmt " chunk and one "data" chunk (padded to
// an even length as RIFF wants).
inline std::vector<uint8_t> ag_wav_encode(const uint8_t* samples, uint32_t n, uint32_t rate) {
  std::vector<uint8_t> out;
  uint32_t pad = n & 1u;
  out.insert(out.end(), {'R', 'I', 'F', 'F'});
  ag_put32(out, 4 + 8 + 16 + 8 + n + pad);
  out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
  ag_put32(out, 16);
  ag_put16(out, 1);     // PCM
  ag_put16(out, 1);     // mono
  ag_put32(out, rate);
  ag_put32(out, rate);  // bytes per second at one byte a sample
  ag_put16(out, 1);     // block align
  ag_put16(out, 8);     // bits per sample
  out.insert(out.end(), {'d', 'a', 't', 'a'});
  ag_put32(out, n);
  out.insert(out.end(), samples, samples + n);
  if (pad) out.push_back(128);
  return out;
}

// PNG of straight RGBA bytes, rows top-down: no filtering and zlib "stored" blocks, so no
// compressor is needed; an icon of 256 x 256 comes to about 260 KB.
inline uint32_t ag_crc32(const uint8_t* p, size_t n, uint32_t crc = 0) {
  crc = ~crc;
  for (size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline std::vector<uint8_t> ag_png_encode(int w, int h, const uint8_t* rgba) {
  std::vector<uint8_t> out;
  if (w <= 0 || h <= 0 || !rgba) return out;
  auto be32 = [](std::vector<uint8_t>& o, uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) o.push_back((uint8_t)(v >> s));
  };
  auto chunk = [&](const char* type, const std::vector<uint8_t>& data) {
    be32(out, (uint32_t)data.size());
    size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    be32(out, ag_crc32(&out[start], out.size() - start));
  };
  const uint8_t sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  out.assign(sig, sig + 8);
  std::vector<uint8_t> ihdr;
  be32(ihdr, (uint32_t)w);
  be32(ihdr, (uint32_t)h);
  const uint8_t rest[5] = {8, 6, 0, 0, 0};  // 8 bits, RGBA, deflate, no filter method, no interlace
  ihdr.insert(ihdr.end(), rest, rest + 5);
  chunk("IHDR", ihdr);
  // The raw image: each row led by filter type 0.
  const size_t row = (size_t)w * 4;
  std::vector<uint8_t> raw;
  raw.reserve((row + 1) * (size_t)h);
  for (int y = 0; y < h; ++y) {
    raw.push_back(0);
    raw.insert(raw.end(), rgba + (size_t)y * row, rgba + (size_t)(y + 1) * row);
  }
  std::vector<uint8_t> z = {0x78, 0x01};  // deflate, 32 KB window, no preset dictionary
  uint32_t s1 = 1, s2 = 0;  // Adler-32 of the raw bytes
  for (uint8_t b : raw) {
    s1 = (s1 + b) % 65521u;
    s2 = (s2 + s1) % 65521u;
  }
  for (size_t at = 0; at < raw.size();) {
    size_t n = raw.size() - at < 65535 ? raw.size() - at : 65535;
    z.push_back(at + n == raw.size() ? 1 : 0);  // BFINAL on the last block, BTYPE 00 (stored)
    z.push_back((uint8_t)n);
    z.push_back((uint8_t)(n >> 8));
    z.push_back((uint8_t)~n);
    z.push_back((uint8_t)(~n >> 8));
    z.insert(z.end(), raw.begin() + (std::ptrdiff_t)at, raw.begin() + (std::ptrdiff_t)(at + n));
    at += n;
  }
  be32(z, (s2 << 16) | s1);
  chunk("IDAT", z);
  chunk("IEND", {});
  return out;
}

// UTF-8 to code page 1251 for the texts drawn into pictures: ASCII, Cyrillic and the few
// punctuation marks we use; anything else becomes '?'.
inline std::string ag_cp1251(const char* utf8) {
  std::string out;
  const unsigned char* s = (const unsigned char*)utf8;
  while (*s) {
    uint32_t cp;
    if (*s < 0x80) {
      cp = *s++;
    } else if ((*s & 0xE0) == 0xC0 && (s[1] & 0xC0) == 0x80) {
      cp = ((uint32_t)(s[0] & 0x1F) << 6) | (s[1] & 0x3F);
      s += 2;
    } else if ((*s & 0xF0) == 0xE0 && (s[1] & 0xC0) == 0x80 && (s[2] & 0xC0) == 0x80) {
      cp = ((uint32_t)(s[0] & 0x0F) << 12) | ((uint32_t)(s[1] & 0x3F) << 6) | (s[2] & 0x3F);
      s += 3;
    } else {
      cp = '?';
      ++s;
      while ((*s & 0xC0) == 0x80) ++s;
    }
    unsigned char b = '?';
    if (cp < 0x80) b = (unsigned char)cp;
    else if (cp >= 0x410 && cp <= 0x44F) b = (unsigned char)(0xC0 + (cp - 0x410));
    else if (cp == 0x401) b = 0xA8;
    else if (cp == 0x451) b = 0xB8;
    else if (cp == 0xAB) b = 0xAB;
    else if (cp == 0xBB) b = 0xBB;
    else if (cp == 0x2014) b = 0x97;
    else if (cp == 0x2013) b = 0x96;
    else if (cp == 0xA9) b = 0xA9;
    else if (cp == 0x2116) b = 0xB9;
    out.push_back((char)b);
  }
  return out;
}
