#include "platform/api/mmio32.h"

#include <sys/stat.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <new>

#include "platform/host/paths.h"
#include "platform/seams/seams.h"

namespace {

struct MmioFile {
  FILE* file;
  uint64_t length;  // file length at open; searches never look past it
  int serial;
};

int g_mmio_serial = 0;

MmioFile* mmio_from(HMMIO h) { return reinterpret_cast<MmioFile*>(h); }

bool mmio_seek(MmioFile* f, uint64_t pos) {
  if (pos > (uint64_t)LONG_MAX) return false;
  return fseeko(f->file, (off_t)pos, SEEK_SET) == 0;
}

uint64_t mmio_tell(MmioFile* f) {
  off_t pos = ftello(f->file);
  return pos < 0 ? 0 : (uint64_t)pos;
}

bool mmio_read_exact(MmioFile* f, void* out, size_t n) { return fread(out, 1, n, f->file) == n; }

DWORD mmio_le32(const BYTE* p) {
  return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24);
}

// A chunk occupies its 8-byte header, its data and one pad byte when the size is odd.
uint64_t mmio_chunk_end(uint64_t data_offset, DWORD size) { return data_offset + size + (size & 1u); }

}  // namespace

HMMIO WINAPI mmioOpenA(LPSTR pszFileName, LPMMIOINFO pmmioinfo, DWORD fdwOpen) {
  HRESULT hr;
  if (seam_fault("mmioOpenA", &hr)) {
    if (pmmioinfo) pmmioinfo->wErrorRet = (UINT)hr;
    return nullptr;
  }
  UINT err = MMSYSERR_NOERROR;
  char path[4096];
  MmioFile* f = nullptr;
  FILE* file = nullptr;
  struct stat st;
  if (!pszFileName || (fdwOpen & MMIO_RWMODE) != MMIO_READ || (fdwOpen & MMIO_CREATE)) {
    err = MMSYSERR_INVALPARAM;
  } else if (!plat_resolve_path(pszFileName, path, sizeof path)) {
    err = MMIOERR_FILENOTFOUND;
  } else if (!(file = fopen(path, "rb"))) {
    err = errno == EACCES ? MMIOERR_CANNOTOPEN : MMIOERR_FILENOTFOUND;
  } else if (fstat(fileno(file), &st) != 0 || !S_ISREG(st.st_mode)) {
    err = MMIOERR_CANNOTOPEN;
  } else if (!(f = new (std::nothrow) MmioFile{file, (uint64_t)st.st_size, ++g_mmio_serial})) {
    err = MMIOERR_OUTOFMEMORY;
  }
  if (err != MMSYSERR_NOERROR) {
    if (file) fclose(file);
    if (pmmioinfo) pmmioinfo->wErrorRet = err;
    return nullptr;
  }
  if (pmmioinfo) pmmioinfo->wErrorRet = MMSYSERR_NOERROR;
  seam_trace("mmioOpenA %s #%d", pszFileName, f->serial);
  return reinterpret_cast<HMMIO>(f);
}

MMRESULT WINAPI mmioClose(HMMIO hmmio, UINT) {
  HRESULT hr;
  if (seam_fault("mmioClose", &hr)) return (MMRESULT)hr;
  MmioFile* f = mmio_from(hmmio);
  if (!f) return MMSYSERR_INVALHANDLE;
  seam_trace("mmioClose #%d", f->serial);
  fclose(f->file);
  delete f;
  return MMSYSERR_NOERROR;
}

LONG WINAPI mmioRead(HMMIO hmmio, HPSTR pch, LONG cch) {
  HRESULT hr;
  if (seam_fault("mmioRead", &hr)) return -1;
  MmioFile* f = mmio_from(hmmio);
  if (!f || cch < 0 || (!pch && cch > 0)) return -1;
  if (cch == 0) return 0;
  size_t got = fread(pch, 1, (size_t)cch, f->file);
  if (got < (size_t)cch && ferror(f->file)) return -1;
  return (LONG)got;
}

MMRESULT WINAPI mmioDescend(HMMIO hmmio, LPMMCKINFO pmmcki, const MMCKINFO* pmmckiParent, UINT fuDescend) {
  HRESULT hr;
  if (seam_fault("mmioDescend", &hr)) return (MMRESULT)hr;
  MmioFile* f = mmio_from(hmmio);
  if (!f) return MMSYSERR_INVALHANDLE;
  if (!pmmcki) return MMSYSERR_INVALPARAM;

  // The search stays inside the parent's data, or inside the file without a parent.
  uint64_t limit = f->length;
  if (pmmckiParent) {
    uint64_t parent_end = (uint64_t)pmmckiParent->dwDataOffset + pmmckiParent->cksize;
    if (parent_end < limit) limit = parent_end;
  }
  FOURCC want_id = 0;
  bool want_type = false;
  if (fuDescend & MMIO_FINDRIFF) {
    want_id = FOURCC_RIFF;
    want_type = true;
  } else if (fuDescend & MMIO_FINDLIST) {
    want_id = FOURCC_LIST;
    want_type = true;
  } else if (fuDescend & MMIO_FINDCHUNK) {
    want_id = pmmcki->ckid;
  }

  uint64_t pos = mmio_tell(f);
  for (;;) {
    if (pos + 8 > limit || !mmio_seek(f, pos)) return MMIOERR_CHUNKNOTFOUND;
    BYTE head[12];
    if (!mmio_read_exact(f, head, 8)) return MMIOERR_CHUNKNOTFOUND;
    FOURCC id = mmio_le32(head);
    DWORD size = mmio_le32(head + 4);
    uint64_t data = pos + 8;
    bool has_type = id == FOURCC_RIFF || id == FOURCC_LIST;
    FOURCC type = 0;
    if (has_type) {
      if (data + 4 > limit || !mmio_read_exact(f, head + 8, 4)) return MMIOERR_CHUNKNOTFOUND;
      type = mmio_le32(head + 8);
    }
    bool match = want_id == 0 || (id == want_id && (!want_type || type == pmmcki->fccType));
    if (match) {
      pmmcki->ckid = id;
      pmmcki->cksize = size;
      pmmcki->fccType = type;
      pmmcki->dwDataOffset = (DWORD)data;
      pmmcki->dwFlags = 0;
      // Left after the form type of a RIFF or LIST chunk, else at the start of the data.
      return mmio_seek(f, data + (has_type ? 4 : 0)) ? MMSYSERR_NOERROR : MMIOERR_CANNOTSEEK;
    }
    pos = mmio_chunk_end(data, size);
  }
}

MMRESULT WINAPI mmioAscend(HMMIO hmmio, LPMMCKINFO pmmcki, UINT) {
  HRESULT hr;
  if (seam_fault("mmioAscend", &hr)) return (MMRESULT)hr;
  MmioFile* f = mmio_from(hmmio);
  if (!f) return MMSYSERR_INVALHANDLE;
  if (!pmmcki) return MMSYSERR_INVALPARAM;
  return mmio_seek(f, mmio_chunk_end(pmmcki->dwDataOffset, pmmcki->cksize)) ? MMSYSERR_NOERROR
                                                                            : MMIOERR_CANNOTSEEK;
}

LONG WINAPI mmioSeek(HMMIO hmmio, LONG lOffset, int iOrigin) {
  HRESULT hr;
  if (seam_fault("mmioSeek", &hr)) return -1;
  MmioFile* f = mmio_from(hmmio);
  if (!f) return -1;
  int64_t base = iOrigin == SEEK_SET   ? 0
                 : iOrigin == SEEK_CUR ? (int64_t)mmio_tell(f)
                 : iOrigin == SEEK_END ? (int64_t)f->length
                                       : -1;
  if (base < 0) return -1;
  int64_t pos = base + lOffset;
  if (pos < 0 || !mmio_seek(f, (uint64_t)pos)) return -1;
  return (LONG)pos;
}
