#include "platform/host/paths.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstring>

bool plat_resolve_path(const char* path, char* out, size_t out_size) {
  if (!path || !out || out_size == 0) return false;
  size_t len = std::strlen(path);
  if (len + 1 > out_size) return false;
  struct stat st;
  if (stat(path, &st) == 0) {
    std::memcpy(out, path, len + 1);
    return true;
  }
  // Walk the components, matching each one without regard to case where the exact one is missing.
  size_t used = 0;
  out[0] = 0;
  const char* p = path;
  if (*p == '/') {
    out[used++] = '/';
    out[used] = 0;
    ++p;
  }
  while (*p) {
    const char* slash = std::strchr(p, '/');
    size_t n = slash ? (size_t)(slash - p) : std::strlen(p);
    if (n == 0) {
      ++p;
      continue;
    }
    if (n >= 256 || used + n + 2 > out_size) return false;
    char name[256];
    std::memcpy(name, p, n);
    name[n] = 0;
    char candidate[4096];
    if (used + n + 1 > sizeof candidate) return false;
    std::memcpy(candidate, out, used);
    std::memcpy(candidate + used, name, n + 1);
    if (stat(candidate, &st) != 0) {
      DIR* dir = opendir(used ? out : ".");
      if (!dir) return false;
      bool found = false;
      while (dirent* e = readdir(dir)) {
        if (strcasecmp(e->d_name, name) == 0 && std::strlen(e->d_name) == n) {
          std::memcpy(name, e->d_name, n + 1);
          found = true;
          break;
        }
      }
      closedir(dir);
      if (!found) return false;
    }
    std::memcpy(out + used, name, n);
    used += n;
    out[used] = 0;
    p += n;
    if (*p == '/') {
      out[used++] = '/';
      out[used] = 0;
      ++p;
    }
  }
  return used > 0;
}
