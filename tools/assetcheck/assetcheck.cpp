// tarvellin-assetcheck [--strict] DIR: checks a folder of pictures and sounds the way the game will read
// them, with the game's own readers, and prints one line per file. Exit status 0 only when
// every file loads as the game expects (with --strict, also when no key-colour warning remains).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "gfx/bmp.h"
#include "gfx/colour.h"
#include "platform/host/paths.h"
#include "platform/lang.h"
#include "sfx/sound.h"
#include "tools/assetcheck/verdict.h"
#include "tools/assetgen/asset_list.h"

namespace {

struct AcResult {
  bool loads = false;
  int warnings = 0;
};

std::vector<uint8_t> ac_read_file(const char* path) {
  std::vector<uint8_t> out;
  FILE* f = std::fopen(path, "rb");
  if (!f) return out;
  uint8_t buf[65536];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.insert(out.end(), buf, buf + n);
  std::fclose(f);
  return out;
}

uint32_t ac_u32(const std::vector<uint8_t>& b, size_t at) {
  return at + 4 <= b.size() ? (uint32_t)b[at] | (uint32_t)b[at + 1] << 8 | (uint32_t)b[at + 2] << 16 |
                                  (uint32_t)b[at + 3] << 24
                            : 0;
}
uint16_t ac_u16(const std::vector<uint8_t>& b, size_t at) {
  return at + 2 <= b.size() ? (uint16_t)(b[at] | b[at + 1] << 8) : 0;
}

// Finds the file whatever the case of its letters; notes a different spelling.
bool ac_find(const char* path, std::string* real, std::string* found) {
  char buf[4096];
  if (!plat_resolve_path(path, buf, sizeof buf)) {
    *found = "missing";
    return false;
  }
  *real = buf;
  *found = std::strcmp(buf, path) == 0 ? "yes" : std::string("as ") + buf;
  return true;
}

// Visible colours the key swallows after conversion: near-magenta anywhere, near-black in
// black-keyed pictures; pure black in sprites, which is drawn but never collides. The file's own
// 24-bit colours are looked up where the reader found the rows.
void ac_key_report(const AgPicture& p, const std::vector<uint8_t>& file, const ImageFile& img,
                   std::string* keys, int* warnings) {
  long near_key = 0, black = 0, key = 0;
  uint16_t keyv = p.key == AG_KEY_MAGENTA ? 0xF81F : 0;
  int w = img.info_header.biWidth, h = img.info_header.biHeight;
  const uint16_t* px = (const uint16_t*)img.pixels;
  size_t row = ((size_t)w * 3 + 3) & ~(size_t)3;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      uint16_t v = px[(size_t)y * w + x];
      if (v == keyv) {
        ++key;
        if (img.layout == BMP_LAYOUT_BGR24) {
          size_t at = img.data_offset + (size_t)(img.top_down ? y : h - 1 - y) * row + (size_t)x * 3;
          if (at + 3 > file.size()) continue;
          bool exact = p.key == AG_KEY_MAGENTA ? (file[at] == 255 && file[at + 1] == 0 && file[at + 2] == 255)
                                               : (file[at] == 0 && file[at + 1] == 0 && file[at + 2] == 0);
          if (!exact) ++near_key;
        }
      } else if (v == 0) {
        ++black;
      }
    }
  char buf[160];
  if (key == 0) {
    std::snprintf(buf, sizeof buf, p.key == AG_KEY_MAGENTA ? "no magenta pixel" : "opaque (no black)");
    *keys = buf;
    if (p.key == AG_KEY_MAGENTA) ++*warnings;
    return;
  }
  std::string s = "ok";
  if (near_key) {
    std::snprintf(buf, sizeof buf, "%ld near-%s pixels become the key", near_key,
                  p.key == AG_KEY_MAGENTA ? "magenta" : "black");
    s = buf;
    ++*warnings;
  }
  if (black && p.key == AG_KEY_MAGENTA) {
    std::snprintf(buf, sizeof buf, "%s%ld pure black (never collide)", s == "ok" ? "" : "; ", black);
    s = (s == "ok" ? "" : s) + buf;
    ++*warnings;
  }
  *keys = s;
}

// The stored format as the reader read it.
std::string ac_format(const ImageFile& img, bool loaded) {
  if (img.file_header.bfType != 0x4D42) return "not BMP";
  const char* kind = "";
  switch (img.layout) {
    case BMP_LAYOUT_INDEXED8:
      kind = "8-bit";
      break;
    case BMP_LAYOUT_RGB565:
      kind = "16-bit 5.6.5";
      break;
    case BMP_LAYOUT_BITFIELDS565:
      kind = "16-bit masks 5.6.5";
      break;
    case BMP_LAYOUT_BITFIELDS555:
      kind = "16-bit masks 5.5.5";
      break;
    case BMP_LAYOUT_MASKS_MISSING:
      kind = "16-bit 5.6.5, masks missing";
      break;
    case BMP_LAYOUT_BGR24:
      kind = "24-bit";
      break;
    case BMP_LAYOUT_NONE:
      break;
  }
  char buf[96];
  if (!*kind)
    std::snprintf(buf, sizeof buf, "BMP %d-bit%s", (int)img.info_header.biBitCount,
                  img.info_header.biCompression ? " compressed" : "");
  else
    std::snprintf(buf, sizeof buf, "BMP %s%s", kind, loaded && img.top_down ? " top-down" : "");
  return buf;
}

// `path` is p.path, or the same picture in a language's folder (en/image/start.bmp).
AcResult ac_check_picture(const AgPicture& p, const char* path) {
  AcResult r;
  std::string real, found, format = "-", size = "-", keys = "-", verdict;
  if (ac_find(path, &real, &found)) {
    ImageFile img;
    r.loads = ac_picture_verdict(path, p.width, p.height, &img, &verdict);
    format = ac_format(img, img.pixels != nullptr);
    if (img.file_header.bfType == 0x4D42) {
      int32_t w = img.info_header.biWidth, h = img.info_header.biHeight;
      char buf[96];
      if (w == p.width && h == p.height)
        std::snprintf(buf, sizeof buf, "%dx%d", w, h);
      else
        std::snprintf(buf, sizeof buf, "%dx%d, want %dx%d", w, h, p.width, p.height);
      size = buf;
    }
    if (r.loads) ac_key_report(p, ac_read_file(real.c_str()), img, &keys, &r.warnings);
    bmp_unload(&img);
  } else {
    verdict = "no: missing";
  }
  std::printf("%-30s %-14s %-31s %-22s %-40s %s\n", path, found.c_str(), format.c_str(), size.c_str(),
              keys.c_str(), verdict.c_str());
  return r;
}

AcResult ac_check_sound(const char* path) {
  AcResult r;
  std::string real, found, format = "-", size = "-", verdict;
  if (ac_find(path, &real, &found)) {
    std::vector<uint8_t> file = ac_read_file(real.c_str());
    // The format as the file states it; the game plays every sound as 8-bit mono at 22050.
    size_t at = 12;
    int tag = -1, channels = 0, bits = 0;
    uint32_t rate = 0, data = 0;
    while (at + 8 <= file.size()) {
      uint32_t len = ac_u32(file, at + 4);
      if (!std::memcmp(&file[at], "fmt ", 4)) {
        tag = ac_u16(file, at + 8);
        channels = ac_u16(file, at + 10);
        rate = ac_u32(file, at + 12);
        bits = ac_u16(file, at + 22);
      } else if (!std::memcmp(&file[at], "data", 4)) {
        data = len;
      }
      at += 8 + (size_t)len + (len & 1);
    }
    char buf[96];
    std::snprintf(buf, sizeof buf, "WAV tag %d %d-bit %dch %u Hz", tag, bits, channels, rate);
    format = buf;
    std::snprintf(buf, sizeof buf, "%u bytes, %u ms", data,
                  rate ? (unsigned)((uint64_t)data * 1000 / AG_SOUND_RATE) : 0);
    size = buf;
    int32_t id = snd_load_wav(path, SND_LOAD_FLAGS);
    if (id < 0) {
      verdict = "no: the loader refuses it";
    } else {
      r.loads = true;
      verdict = "yes";
      if (tag != 1 || channels != 1 || bits != 8 || rate != AG_SOUND_RATE) {
        verdict = "yes, but plays as 8-bit mono 22050 Hz";
        ++r.warnings;
      }
      snd_delete(id);
    }
  } else {
    verdict = "no: missing";
  }
  std::printf("%-30s %-14s %-37s %-22s %s\n", path, found.c_str(), format.c_str(), size.c_str(),
              verdict.c_str());
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  bool strict = false;
  const char* dir = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--strict"))
      strict = true;
    else if (!dir && argv[i][0] != '-')
      dir = argv[i];
    else
      dir = nullptr, i = argc;
  }
  if (!dir) {
    std::fprintf(stderr,
                 "usage: tarvellin-assetcheck [--strict] DIR\n"
                 "  checks DIR/image and DIR/sound as the game reads them\n");
    return 2;
  }
  if (chdir(dir) != 0) {
    std::fprintf(stderr, "tarvellin-assetcheck: cannot enter %s\n", dir);
    return 2;
  }
  // The reader converts 24-bit files as for a 16-bit 5.6.5 display; no window is needed.
  gfx_rgb_bit_count = 16;
  setenv("SDL_AUDIODRIVER", "dummy", 0);
  int bad = 0, warnings = 0;
  std::printf("%-30s %-14s %-31s %-22s %-40s %s\n", "picture", "found", "format", "size", "colour keys",
              "loads");
  int files = AG_PICTURE_COUNT + AG_SOUND_COUNT;
  for (const AgPicture& p : ag_pictures) {
    AcResult r = ac_check_picture(p, p.path);
    bad += !r.loads;
    warnings += r.warnings;
  }
  // A language's folder holds the pictures that differ in it; the game takes the original's
  // for any it lacks, so only those present are checked, by the same rules.
  for (int lang = 1; lang < lang_count(); ++lang) {
    bool header = false;
    for (const AgPicture& p : ag_pictures) {
      std::string path = std::string(lang_code(lang)) + "/" + p.path, real, found;
      if (!ac_find(path.c_str(), &real, &found)) continue;
      if (!header) std::printf("\npictures in %s (the original's where there is none)\n", lang_code(lang));
      header = true;
      AcResult r = ac_check_picture(p, path.c_str());
      bad += !r.loads;
      warnings += r.warnings;
      ++files;
    }
  }
  std::printf("\n%-30s %-14s %-37s %-22s %s\n", "sound", "found", "format", "size", "loads");
  // Without the game's window the cooperative level is refused, but the device is open and the
  // loader works: that is all the check needs.
  snd_init();
  if (!snd_direct_sound) {
    std::printf("(no sound device: the sounds cannot be loaded for the check)\n");
    bad += AG_SOUND_COUNT;
  } else {
    for (const char* s : ag_sounds) {
      AcResult r = ac_check_sound(s);
      bad += !r.loads;
      warnings += r.warnings;
    }
    snd_shutdown();
  }
  std::printf("\n%d of %d files will not load as the game expects; %d warnings\n", bad, files, warnings);
  return bad || (strict && warnings) ? 1 : 0;
}
