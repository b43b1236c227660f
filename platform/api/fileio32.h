// OpenFile, _lread, _lclose over POSIX files; names are found whatever the case of their letters.
#pragma once
#include "platform/wintypes.h"

#define OFS_MAXPATHNAME 128
#define OF_READ 0x0000
#define OF_EXIST 0x4000
#define HFILE_ERROR ((HFILE)-1)
#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

struct OFSTRUCT {
  BYTE cBytes;
  BYTE fFixedDisk;
  WORD nErrCode;
  WORD Reserved1;
  WORD Reserved2;
  CHAR szPathName[OFS_MAXPATHNAME];
};
typedef OFSTRUCT* LPOFSTRUCT;

// Only reading is provided: the game writes nothing.
HFILE WINAPI OpenFile(LPCSTR lpFileName, LPOFSTRUCT lpReOpenBuff, UINT uStyle);
UINT WINAPI _lread(HFILE hFile, LPVOID lpBuffer, UINT uBytes);  // HFILE_ERROR as UINT on failure
LONG WINAPI _llseek(HFILE hFile, LONG lOffset, int iOrigin);    // new position, or HFILE_ERROR
HFILE WINAPI _lclose(HFILE hFile);                              // 0, or HFILE_ERROR
