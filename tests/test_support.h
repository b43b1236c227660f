// Helpers every suite may share: a temporary folder, the trace, a variable set for one test, and
// pixels of a surface.
#pragma once
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "gfx/surface.h"
#include "platform/seams/seams.h"

// A fresh folder under the system's temporary place, removed with everything in it afterwards.
struct TempDir {
  std::string path = make();
  static std::string make() {
    char tmpl[] = "/tmp/tarvellin_test_XXXXXX";
    return mkdtemp(tmpl) ? tmpl : "";
  }
  TempDir() = default;
  TempDir(const TempDir&) = delete;
  ~TempDir() {
    std::error_code ignored;
    if (!path.empty()) std::filesystem::remove_all(path, ignored);
  }
  std::string write(const std::string& name, const std::vector<uint8_t>& data) const {
    std::string full = path + "/" + name;
    if (FILE* f = std::fopen(full.c_str(), "wb")) {
      if (!data.empty()) std::fwrite(data.data(), 1, data.size(), f);
      std::fclose(f);
    }
    return full;
  }
};

// Index of the first trace line starting with `prefix` (-1: none), and how many there are.
inline int trace_find(const std::string& prefix) {
  const std::vector<std::string>& lines = seam_trace_lines();
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i].rfind(prefix, 0) == 0) return (int)i;
  return -1;
}
inline int trace_count(const std::string& prefix) {
  int n = 0;
  for (const std::string& line : seam_trace_lines()) n += line.rfind(prefix, 0) == 0;
  return n;
}

// An environment variable set for the guard's life, then as it was.
struct EnvGuard {
  std::string name, old;
  bool had;
  EnvGuard(const char* n, const char* value) : name(n), had(getenv(n) != nullptr) {  // null: unset
    if (had) old = getenv(n);
    value ? setenv(n, value, 1) : unsetenv(n);
  }
  ~EnvGuard() { had ? setenv(name.c_str(), old.c_str(), 1) : unsetenv(name.c_str()); }
};

// A surface locked for the object's life; at(x, y) is a pixel.
struct Locked {
  Surface s;
  DDSURFACEDESC2 d{};
  explicit Locked(Surface surface) : s(surface) { gfx_lock_surface(s, &d); }
  ~Locked() {
    if (d.lpSurface) gfx_unlock_surface(s);
  }
  uint16_t& at(int x, int y) { return ((uint16_t*)((uint8_t*)d.lpSurface + (ptrdiff_t)y * d.lPitch))[x]; }
};

inline void px_fill(Surface s, int x, int y, int w, int h, uint16_t value) {
  Locked l(s);
  if (l.d.lpSurface)
    for (int r = y; r < y + h; ++r)
      for (int c = x; c < x + w; ++c) l.at(c, r) = value;
}
inline uint16_t px_get(Surface s, int x, int y) {
  Locked l(s);
  return l.d.lpSurface ? l.at(x, y) : 0xDEAD;
}
