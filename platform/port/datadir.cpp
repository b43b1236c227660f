#include "platform/port/datadir.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>

#include "platform/host/paths.h"

namespace {

std::string env_or_empty(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

std::string parent_of(std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  size_t slash = dir.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : dir.substr(0, slash);
}

std::string joined(const std::string& dir, const char* name) {
  return dir.empty() || dir.back() == '/' ? dir + name : dir + "/" + name;
}

void add(std::vector<std::string>* out, std::string dir) {
  while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
  if (dir.empty()) return;
  for (const std::string& d : *out)
    if (d == dir) return;
  out->push_back(dir);
}

bool is_dir(const std::string& path) {
  char real[PATH_MAX];
  struct stat st;
  return plat_resolve_path(path.c_str(), real, sizeof real) && stat(real, &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

PlatDataPlaces plat_data_places_from_env() {
  PlatDataPlaces p;
  char buf[PATH_MAX];
  if (getcwd(buf, sizeof buf)) p.cwd = buf;
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n > 0) {
    buf[n] = 0;
    p.exe_dir = parent_of(buf);
  }
  p.home = env_or_empty("HOME");
  p.xdg_data_home = env_or_empty("XDG_DATA_HOME");
  p.xdg_data_dirs = env_or_empty("XDG_DATA_DIRS");
  return p;
}

std::vector<std::string> plat_data_candidates(const PlatDataPlaces& p) {
  std::vector<std::string> out;
  add(&out, p.cwd);
  add(&out, p.exe_dir);
  if (!p.exe_dir.empty()) add(&out, joined(joined(parent_of(p.exe_dir), "share"), "tarvellin"));
  if (!p.xdg_data_home.empty() && p.xdg_data_home[0] == '/')
    add(&out, joined(p.xdg_data_home, "tarvellin"));
  else if (!p.home.empty())
    add(&out, joined(p.home, ".local/share/tarvellin"));
  std::string dirs = p.xdg_data_dirs.empty() ? "/usr/local/share:/usr/share" : p.xdg_data_dirs;
  for (size_t start = 0; start <= dirs.size();) {
    size_t colon = dirs.find(':', start);
    if (colon == std::string::npos) colon = dirs.size();
    std::string d = dirs.substr(start, colon - start);
    if (!d.empty() && d[0] == '/') add(&out, joined(d, "tarvellin"));
    start = colon + 1;
  }
  return out;
}

bool plat_data_folder_ok(const std::string& dir) {
  return !dir.empty() && (is_dir(joined(dir, "image")) || is_dir(joined(dir, "sound")));
}

std::string plat_find_data(const PlatDataPlaces& places, std::vector<std::string>* tried) {
  for (const std::string& d : plat_data_candidates(places)) {
    if (tried) tried->push_back(d);
    if (plat_data_folder_ok(d)) return d;
  }
  return "";
}
