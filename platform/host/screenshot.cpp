#include "platform/host/screenshot.h"

#include <fcntl.h>
#include <png.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/host/pixels.h"
#include "platform/host/settings.h"
#include "platform/seams/seams_video.h"

namespace {

constexpr int kMaxSameSecond = 999;  // names tried within one second; the key does nothing beyond

std::string g_reported;  // the folder whose failure was told; told again only for another

// The XDG_PICTURES_DIR line's folder: "$HOME/..." or an absolute path, shell quoting undone.
std::string pictures_from_user_dirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string file = config && *config ? std::string(config) : home + "/.config";
  FILE* f = std::fopen((file + "/user-dirs.dirs").c_str(), "r");
  if (!f) return "";
  std::string found;
  char line[4096];
  while (std::fgets(line, sizeof line, f)) {
    const char* p = line + std::strspn(line, " \t");
    static const char kKey[] = "XDG_PICTURES_DIR=\"";
    if (std::strncmp(p, kKey, sizeof kKey - 1) != 0) continue;
    std::string v;
    for (p += sizeof kKey - 1; *p && *p != '"'; ++p) {
      if (*p == '\\' && p[1]) ++p;
      v += *p;
    }
    if (*p != '"') continue;  // unterminated: not a line to trust
    if (v.rfind("$HOME/", 0) == 0)
      found = home + v.substr(5);
    else if (v[0] == '/')
      found = v;
  }
  std::fclose(f);
  while (found.size() > 1 && found.back() == '/') found.pop_back();
  return found == home ? "" : found;  // the home folder itself means "no pictures folder"
}

// mkdir -p; true when `dir` ends up a folder.
bool make_folders(const std::string& dir) {
  for (size_t i = 1; i <= dir.size(); ++i)
    if (i == dir.size() || dir[i] == '/') mkdir(dir.substr(0, i).c_str(), 0755);
  struct stat st;
  if (stat(dir.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) errno = ENOTDIR;
  return S_ISDIR(st.st_mode);
}

void report_once(const std::string& folder, const char* why) {
  if (folder == g_reported) return;
  g_reported = folder;
  std::fprintf(stderr, "tarvellin: cannot save screenshots in %s: %s\n", folder.c_str(), why);
}

}  // namespace

std::string plat_screenshot_folder() {
  if (!plat_options.screenshot_dir.empty()) return plat_options.screenshot_dir;
  const char* home = std::getenv("HOME");
  if (!home || !*home) return "";
  std::string pictures = pictures_from_user_dirs(home);
  if (pictures.empty()) pictures = std::string(home) + "/Pictures";
  return pictures + "/Tarvellin";
}

bool plat_png_write_565(const char* path, const uint16_t* px, int w, int h, int pitch_px) {
  if (!path || !px || w <= 0 || h <= 0 || pitch_px < w) return false;
  std::vector<uint32_t> wide((size_t)w);
  std::vector<uint8_t> rgb((size_t)w * 3 * (size_t)h);
  for (int y = 0; y < h; ++y) {
    pix_k.to_xrgb(wide.data(), px + (size_t)y * (size_t)pitch_px, w, 0);
    uint8_t* d = rgb.data() + (size_t)y * (size_t)w * 3;
    for (int x = 0; x < w; ++x) {
      d[3 * x] = (uint8_t)(wide[x] >> 16);
      d[3 * x + 1] = (uint8_t)(wide[x] >> 8);
      d[3 * x + 2] = (uint8_t)wide[x];
    }
  }
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = (png_uint_32)w;
  image.height = (png_uint_32)h;
  image.format = PNG_FORMAT_RGB;
  return png_image_write_to_file(&image, path, 0, rgb.data(), w * 3, nullptr) != 0;
}

std::string plat_screenshot_take(time_t when) {
  const uint16_t* px;
  int w, h, pitch;
  if (!seam_last_frame(&px, &w, &h, &pitch)) return "";
  const std::string folder = plat_screenshot_folder();
  if (folder.empty()) {
    report_once(folder, "no home folder (set HOME or use --screenshot-dir)");
    return "";
  }
  if (!make_folders(folder)) {
    report_once(folder, std::strerror(errno));
    return "";
  }
  tm local;
  char stamp[32];
  localtime_r(&when, &local);
  std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
  for (int n = 1; n <= kMaxSameSecond; ++n) {
    std::string path = folder + "/tarvellin-" + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".png";
    // Claimed with O_EXCL so that two shots never share a name; libpng then writes it.
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
    if (fd < 0 && errno == EEXIST) continue;
    if (fd < 0) {
      report_once(folder, std::strerror(errno));
      return "";
    }
    close(fd);
    if (!plat_png_write_565(path.c_str(), px, w, h, pitch)) {
      unlink(path.c_str());
      report_once(folder, "writing the file failed");
      return "";
    }
    std::fprintf(stderr, "tarvellin: screenshot %s\n", path.c_str());
    return path;
  }
  report_once(folder, "too many screenshots within one second");
  return "";
}
