// The readers open files by name, so each input is written to one file per fuzzing process,
// in fast scratch storage, and removed at exit.
#pragma once
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

inline char fuzz_input_path[512];

inline void fuzz_input_remove() { std::remove(fuzz_input_path); }

// Picks the file's place ($TMPDIR, else /dev/shm, else /tmp) for `name` and the extension.
inline void fuzz_input_init(const char* name, const char* extension) {
  const char* dir = std::getenv("TMPDIR");
  if (!dir || !*dir) dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
  std::snprintf(fuzz_input_path, sizeof fuzz_input_path, "%s/tarvellin_fuzz_%s_%d.%s", dir, name, (int)getpid(),
                extension);
  std::atexit(fuzz_input_remove);
}

inline bool fuzz_input_write(const uint8_t* data, size_t size) {
  FILE* f = std::fopen(fuzz_input_path, "wb");
  if (!f) return false;
  bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
  return std::fclose(f) == 0 && ok;
}
