#pragma once
// The Win32 file functions on the machine's drives. Paths are code page 932;
// \ and / both separate names; names are matched without regard to case.

#include "platform/win32/types.h"

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100
#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

struct WIN32_FIND_DATAA {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwReserved0;
    DWORD dwReserved1;
    CHAR cFileName[MAX_PATH];
    CHAR cAlternateFileName[14];
};
typedef WIN32_FIND_DATAA* LPWIN32_FIND_DATAA;
typedef WIN32_FIND_DATAA* PWIN32_FIND_DATAA;

BOOL SetCurrentDirectoryA(LPCSTR lpPathName);
// The length copied (without the NUL), or the size needed (with it) when the
// buffer is too small; 0 on failure.
DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer);

// A listing taken when it begins: "." and ".." first (not in a drive's root),
// then the entries ordered by their upper-cased names. A symbolic link is
// listed as a file with FILE_ATTRIBUTE_REPARSE_POINT.
HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData);
BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData);
BOOL FindClose(HANDLE hFindFile);

// Deletes a file or a link; refuses a folder and a read-only file.
BOOL DeleteFileA(LPCSTR lpFileName);
// Removes an empty folder.
BOOL RemoveDirectoryA(LPCSTR lpPathName);
DWORD GetFileAttributesA(LPCSTR lpFileName);
