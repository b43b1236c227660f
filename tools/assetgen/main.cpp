// tarvellin-assetgen DIR [--preview PREVIEW_DIR] [--icons ICON_DIR]: writes the game's default pictures
// and sounds under DIR (image/..., sound/...), for each language of the catalogues the pictures
// whose words differ under DIR/LANG (en/image/start.bmp, ...), and the program's icon as PNG at
// each size (ICON_DIR/tarvellin-48.png, ...). The same bytes on every run: all randomness comes from fixed
// seeds. The preview folder receives each picture as the game will see it, as PPM, for contact sheets.
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/lang.h"
#include "tools/assetgen/art.h"
#include "tools/assetgen/asset_list.h"

static bool ag_mkdirs(const std::string& path) {
  for (size_t i = 1; i <= path.size(); ++i) {
    if (i < path.size() && path[i] != '/') continue;
    std::string part = path.substr(0, i);
    if (mkdir(part.c_str(), 0755) != 0 && errno != EEXIST) return false;
  }
  return true;
}

static bool ag_write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
  size_t slash = path.rfind('/');
  if (slash != std::string::npos && !ag_mkdirs(path.substr(0, slash))) return false;
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = std::fclose(f) == 0 && ok;
  return ok;
}

static AgPixels ag_make_picture(int index, int lang) {
  switch (index) {
    case 0:
      return ag_art_cursor();
    case 1:
      return ag_art_slots();
    case 2:
      return ag_art_digits(lang);
    case 3:
      return ag_art_ship0();
    case 4:
      return ag_art_ship1();
    case 5:
      return ag_art_laser();
    case 6:
      return ag_art_blow_big();
    case 7:
      return ag_art_blow_small();
    case 8:
      return ag_art_blow_aster();
    case 9:
      return ag_art_asteroid1();
    case 10:
      return ag_art_asteroid2();
    case 11:
      return ag_art_small1();
    case 12:
      return ag_art_small2();
    case 13:
      return ag_art_background(0);
    case 14:
      return ag_art_background(1);
    case 15:
      return ag_art_menu(lang);
    case 16:
      return ag_art_info(lang);
    case 17:
      return ag_art_button(0, lang);
    case 18:
      return ag_art_button(1, lang);
    default:
      return ag_art_button(2, lang);
  }
}

// Key pixels show as the night sky they will be drawn over, so the preview looks as in play.
static std::vector<uint8_t> ag_ppm(int w, int h, const AgPixels& px, AgKey key) {
  std::string head = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
  std::vector<uint8_t> out(head.begin(), head.end());
  uint16_t keyv = key == AG_KEY_MAGENTA ? AG_KEY_MAGENTA_565 : 0;
  for (uint16_t v : px) {
    uint8_t rgb[3] = {12, 14, 30};
    if (v != keyv) ag_unpack565(v, rgb);
    out.insert(out.end(), rgb, rgb + 3);
  }
  return out;
}

static std::string ag_flat_name(const char* path) {
  std::string s = path;
  for (char& c : s)
    if (c == '/') c = '_';
  return s.substr(0, s.size() - 4);
}

int main(int argc, char** argv) {
  const char* dir = nullptr;
  const char* preview = nullptr;
  const char* icons = nullptr;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc)
      preview = argv[++i];
    else if (std::strcmp(argv[i], "--icons") == 0 && i + 1 < argc)
      icons = argv[++i];
    else if (argv[i][0] != '-' && !dir)
      dir = argv[i];
    else {
      std::fprintf(stderr, "usage: tarvellin-assetgen DIR [--preview PREVIEW_DIR] [--icons ICON_DIR]\n");
      return 2;
    }
  }
  if (!dir) {
    std::fprintf(stderr, "usage: tarvellin-assetgen DIR [--preview PREVIEW_DIR] [--icons ICON_DIR]\n");
    return 2;
  }
  std::string root = dir;
  int failures = 0;
  std::vector<AgPixels> originals(AG_PICTURE_COUNT);
  // The original set first; then per language only the pictures whose words come out different.
  for (int lang = 0; lang < lang_count(); ++lang)
    for (int i = 0; i < AG_PICTURE_COUNT; ++i) {
      const AgPicture& p = ag_pictures[i];
      if (lang != LANG_ORIGINAL && !p.words) continue;
      AgPixels px = ag_make_picture(i, lang);
      if (px.size() != (size_t)p.width * (size_t)p.height) {
        std::fprintf(stderr, "tarvellin-assetgen: %s: made %zu pixels, want %d x %d\n", p.path, px.size(),
                     p.width, p.height);
        ++failures;
        continue;
      }
      std::string path = p.path, flat = ag_flat_name(p.path);
      if (lang == LANG_ORIGINAL) {
        originals[i] = px;
      } else {
        if (px == originals[i]) continue;
        path = std::string(lang_code(lang)) + "/" + path;
        flat = std::string(lang_code(lang)) + "_" + flat;
      }
      if (!ag_write_file(root + "/" + path, ag_bmp_encode(p.width, p.height, px.data(), p.bits))) {
        std::fprintf(stderr, "tarvellin-assetgen: cannot write %s/%s: %s\n", dir, path.c_str(),
                     std::strerror(errno));
        ++failures;
      }
      if (preview &&
          !ag_write_file(std::string(preview) + "/" + flat + ".ppm", ag_ppm(p.width, p.height, px, p.key))) {
        std::fprintf(stderr, "tarvellin-assetgen: cannot write the preview of %s\n", path.c_str());
        ++failures;
      }
    }
  std::vector<uint8_t> (*sounds[AG_SOUND_COUNT])() = {ag_sound_focus, ag_sound_click, ag_sound_exit};
  for (int i = 0; i < AG_SOUND_COUNT; ++i) {
    std::vector<uint8_t> s = sounds[i]();
    if (!ag_write_file(root + "/" + ag_sounds[i],
                       ag_wav_encode(s.data(), (uint32_t)s.size(), AG_SOUND_RATE))) {
      std::fprintf(stderr, "tarvellin-assetgen: cannot write %s/%s: %s\n", dir, ag_sounds[i],
                   std::strerror(errno));
      ++failures;
    }
  }
  for (int size : AG_ICON_SIZES) {
    if (!icons) break;
    std::string path = std::string(icons) + "/tarvellin-" + std::to_string(size) + ".png";
    if (!ag_write_file(path, ag_png_encode(size, size, ag_art_icon(size).data()))) {
      std::fprintf(stderr, "tarvellin-assetgen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
      ++failures;
    }
  }
  return failures ? 1 : 0;
}
