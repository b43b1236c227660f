#include "platform/host/paths.h"

#include <dirent.h>
#include <limits.h>
#include <pwd.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
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

namespace {
std::string g_start_folder;
}

bool plat_remember_start_folder(const char* dir) {
  if (dir) {
    g_start_folder = dir;
    return true;
  }
  char here[PATH_MAX];
  if (!getcwd(here, sizeof here)) {
    g_start_folder.clear();
    return false;
  }
  g_start_folder = here;
  return true;
}

std::string plat_from_start_folder(const std::string& path) {
  if (path.empty() || path[0] == '/' || g_start_folder.empty()) return path;
  size_t at = 0;  // past leading "./", so that the path printed reads plainly
  while (at + 1 < path.size() && path[at] == '.' && path[at + 1] == '/') {
    at += 2;
    while (at < path.size() && path[at] == '/') ++at;
  }
  std::string rel = path.substr(at);
  if (rel == ".") rel.clear();
  if (rel.empty()) return g_start_folder;
  return g_start_folder + (g_start_folder.back() == '/' ? "" : "/") + rel;
}

bool plat_expand_home(const std::string& path, std::string* out) {
  if (path.empty() || path[0] != '~') {
    *out = path;
    return true;
  }
  const size_t slash = path.find('/');
  const std::string user = path.substr(1, slash == std::string::npos ? std::string::npos : slash - 1);
  const char* home = nullptr;
  if (user.empty()) {
    home = std::getenv("HOME");
  } else if (const passwd* pw = getpwnam(user.c_str())) {
    home = pw->pw_dir;
  }
  if (!home || !*home) return false;
  std::string h = home;
  while (h.size() > 1 && h.back() == '/') h.pop_back();
  *out = slash == std::string::npos ? h : (h == "/" ? "" : h) + path.substr(slash);
  return true;
}
