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

#include "platform/host/paths.h"
#include "platform/host/pixels.h"
#include "platform/host/settings.h"
#include "platform/seams/seams_video.h"

namespace {

constexpr int kMaxSameSecond = 999;  // names tried within one second; the key does nothing beyond

// The XDG_PICTURES_DIR line's folder: "$HOME/..." or an absolute path, shell quoting undone.
// `home` may be empty: only an absolute line counts then.
std::string pictures_from_user_dirs(const std::string& home) {
  const char* config = std::getenv("XDG_CONFIG_HOME");
  std::string file = config && config[0] == '/' ? std::string(config) : home.empty() ? "" : home + "/.config";
  if (file.empty()) return "";
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
    if (v.rfind("$HOME/", 0) == 0 && !home.empty())
      found = home + v.substr(5);
    else if (v[0] == '/')
      found = v;
  }
  std::fclose(f);
  while (found.size() > 1 && found.back() == '/') found.pop_back();
  return found == home ? "" : found;  // the home folder itself means "no pictures folder"
}

// mkdir -p. 0 when `dir` ends up a folder, else the errno that stopped it: the first refusal on
// the way, not the "No such file or directory" every later step then meets.
int make_folders(const std::string& dir) {
  struct stat st;
  if (stat(dir.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
  for (size_t i = 1; i <= dir.size(); ++i) {
    if (i < dir.size() && dir[i] != '/') continue;
    if (mkdir(dir.substr(0, i).c_str(), 0755) != 0 && errno != EEXIST) return errno;
  }
  if (stat(dir.c_str(), &st) != 0) return errno;
  return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

bool write_all(int fd, const std::vector<uint8_t>& bytes) {
  for (size_t done = 0; done < bytes.size();) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += (size_t)n;
  }
  return true;
}

// The PNG is written whole into a file that no one can reach by the final name, then linked to
// a name that must not exist yet: the name never shows a part of a file, never follows a link
// planted there, and never replaces another file. With O_TMPFILE the file has no name at all
// until then, so a kill leaves nothing; elsewhere a hidden temporary name is renamed.
class Saver {
 public:
  Saver(int dir, const std::vector<uint8_t>& png) : dir_(dir), png_(png) {}
  ~Saver() {
    if (fd_ >= 0) close(fd_);
    if (!temp_.empty()) unlinkat(dir_, temp_.c_str(), 0);
  }
  // False with errno set when the bytes cannot be written.
  bool write() {
    fd_ = openat(dir_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0644);
    if (fd_ >= 0) return write_all(fd_, png_);
    if (errno != EINVAL && errno != EOPNOTSUPP && errno != EISDIR) return false;
    return write_named();  // a file system without unnamed files
  }
  // 0 when the file now has `name`; EEXIST when the name is taken; else the errno.
  int name(const std::string& name) {
    if (temp_.empty()) {
      const std::string self = "/proc/self/fd/" + std::to_string(fd_);
      if (linkat(AT_FDCWD, self.c_str(), dir_, name.c_str(), AT_SYMLINK_FOLLOW) == 0) return 0;
      if (errno == EEXIST) return EEXIST;
      if (!write_named()) return errno;  // no /proc: write again under a hidden name
    }
    if (renameat2(dir_, temp_.c_str(), dir_, name.c_str(), RENAME_NOREPLACE) == 0) {
      temp_.clear();
      return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) return errno;
    return linkat(dir_, temp_.c_str(), dir_, name.c_str(), 0) == 0 ? 0 : errno;  // no renameat2 here
  }

 private:
  bool write_named() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
    for (int n = 0; n < 100 && fd_ < 0; ++n) {
      temp_ = ".tarvellin-" + std::to_string(getpid()) + "-" + std::to_string(n) + ".part";
      fd_ = openat(dir_, temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
      if (fd_ < 0 && errno != EEXIST) break;
    }
    if (fd_ < 0) {
      temp_.clear();
      return false;
    }
    return write_all(fd_, png_);
  }
  int dir_;
  const std::vector<uint8_t>& png_;
  int fd_ = -1;
  std::string temp_;  // the hidden name while it holds the file
};

// One line for every shot that is not saved: the folder and why.
void report(const std::string& folder, const char* why) {
  std::fprintf(stderr, "tarvellin: cannot save a screenshot in %s: %s\n", folder.c_str(), why);
}

}  // namespace

std::string plat_screenshot_folder() {
  if (!plat_options.screenshot_dir.empty()) return plat_from_start_folder(plat_options.screenshot_dir);
  const char* env = std::getenv("HOME");
  const std::string home = env && *env ? env : "";
  std::string pictures = pictures_from_user_dirs(home);
  if (pictures.empty() && !home.empty()) pictures = home + "/Pictures";
  return pictures.empty() ? "" : plat_from_start_folder(pictures + "/Tarvellin");
}

bool plat_png_encode_565(std::vector<uint8_t>* png, const uint16_t* px, int w, int h, int pitch_px) {
  if (!png || !px || w <= 0 || h <= 0 || pitch_px < w) return false;
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
  png_alloc_size_t size = 0;
  if (!png_image_write_get_memory_size(image, size, 0, rgb.data(), w * 3, nullptr)) return false;
  png->resize(size);
  if (!png_image_write_to_memory(&image, png->data(), &size, 0, rgb.data(), w * 3, nullptr)) return false;
  png->resize(size);
  return true;
}

std::string plat_screenshot_take(time_t when) {
  const uint16_t* px;
  int w, h, pitch;
  if (!seam_last_frame(&px, &w, &h, &pitch)) return "";
  const std::string folder = plat_screenshot_folder();
  if (folder.empty()) {
    report("the pictures folder", "there is no home folder (HOME is not set); use --screenshot-dir");
    return "";
  }
  if (int err = make_folders(folder)) {
    report(folder, std::strerror(err));
    return "";
  }
  std::vector<uint8_t> png;
  if (!plat_png_encode_565(&png, px, w, h, pitch)) {
    report(folder, "the picture could not be encoded");
    return "";
  }
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir < 0) {
    report(folder, std::strerror(errno));
    return "";
  }
  std::string saved;
  {
    Saver saver(dir, png);
    if (!saver.write()) {
      report(folder, std::strerror(errno));
    } else {
      tm local;
      char stamp[32];
      localtime_r(&when, &local);
      std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
      int err = EEXIST;
      for (int n = 1; n <= kMaxSameSecond && err == EEXIST; ++n) {
        const std::string name =
            std::string("tarvellin-") + stamp + (n > 1 ? "-" + std::to_string(n) : "") + ".png";
        err = saver.name(name);
        if (!err) saved = folder + "/" + name;
      }
      if (err == EEXIST)
        report(folder, "too many screenshots within one second");
      else if (err)
        report(folder, std::strerror(err));
    }
  }
  close(dir);
  if (!saved.empty()) std::fprintf(stderr, "tarvellin: screenshot %s\n", saved.c_str());
  return saved;
}
