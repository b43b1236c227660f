// Read-only files as the 16-bit-era calls hand them out: an HFILE is the POSIX descriptor.
#include "platform/api/fileio32.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/host/paths.h"
#include "platform/seams/seams.h"

HFILE WINAPI OpenFile(LPCSTR lpFileName, LPOFSTRUCT lpReOpenBuff, UINT uStyle) {
  HRESULT hr;
  if (seam_fault("OpenFile", &hr)) return HFILE_ERROR;
  if (lpReOpenBuff) std::memset(lpReOpenBuff, 0, sizeof *lpReOpenBuff);
  if (!lpFileName) return HFILE_ERROR;
  // Only reading exists here; a request to write or create is refused rather than half done.
  if ((uStyle & 0x0003) != OF_READ || (uStyle & 0x1000 /* OF_CREATE */)) return HFILE_ERROR;
  char real[4096];
  if (!plat_resolve_path(lpFileName, real, sizeof real)) {
    if (lpReOpenBuff) lpReOpenBuff->nErrCode = 2;  // ERROR_FILE_NOT_FOUND
    return HFILE_ERROR;
  }
  int fd = open(real, O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (lpReOpenBuff) lpReOpenBuff->nErrCode = (WORD)errno;
    return HFILE_ERROR;
  }
  if (lpReOpenBuff) {
    lpReOpenBuff->cBytes = (BYTE)sizeof *lpReOpenBuff;
    // Cut to the record's size and always terminated.
    size_t n = std::strlen(real);
    if (n > OFS_MAXPATHNAME - 1) n = OFS_MAXPATHNAME - 1;
    std::memcpy(lpReOpenBuff->szPathName, real, n);
    lpReOpenBuff->szPathName[n] = 0;
  }
  if (uStyle & OF_EXIST) {
    close(fd);
    return 1;
  }
  seam_trace("OpenFile %s", lpFileName);
  return fd;
}

UINT WINAPI _lread(HFILE hFile, LPVOID lpBuffer, UINT uBytes) {
  HRESULT hr;
  if (seam_fault("_lread", &hr)) return (UINT)HFILE_ERROR;
  if (hFile < 0 || (!lpBuffer && uBytes)) return (UINT)HFILE_ERROR;
  // A short read is returned as it is; callers compare the count with what they asked for.
  UINT done = 0;
  while (done < uBytes) {
    ssize_t n = read(hFile, (char*)lpBuffer + done, uBytes - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return done ? done : (UINT)HFILE_ERROR;
    if (n == 0) break;
    done += (UINT)n;
  }
  return done;
}

LONG WINAPI _llseek(HFILE hFile, LONG lOffset, int iOrigin) {
  if (hFile < 0) return HFILE_ERROR;
  int whence = iOrigin == FILE_BEGIN     ? SEEK_SET
               : iOrigin == FILE_CURRENT ? SEEK_CUR
               : iOrigin == FILE_END     ? SEEK_END
                                         : -1;
  if (whence < 0) return HFILE_ERROR;
  off_t pos = lseek(hFile, (off_t)lOffset, whence);
  if (pos < 0 || pos > 0x7FFFFFFF) return HFILE_ERROR;
  return (LONG)pos;
}

HFILE WINAPI _lclose(HFILE hFile) {
  if (hFile < 0) return HFILE_ERROR;
  seam_trace("_lclose");
  return close(hFile) == 0 ? 0 : HFILE_ERROR;
}
