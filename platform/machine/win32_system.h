#pragma once
// The machine's own facts: its version, its Windows directory, its shell folders.

#include "platform/win32/types.h"

// Version query.
struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;  // must be sizeof(OSVERSIONINFOA), 148
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    CHAR szCSDVersion[128];
};
typedef OSVERSIONINFOA* LPOSVERSIONINFOA;

#define VER_PLATFORM_WIN32s 0
#define VER_PLATFORM_WIN32_WINDOWS 1
#define VER_PLATFORM_WIN32_NT 2

// Fills the record of the size its first member names; FALSE with
// ERROR_INSUFFICIENT_BUFFER when that size is not the record's.
BOOL GetVersionExA(LPOSVERSIONINFOA lpVersionInformation);

// The Windows directory without a trailing backslash: its length on success,
// the size needed (NUL included) when uSize is too small, 0 on failure.
UINT GetWindowsDirectoryA(LPSTR lpBuffer, UINT uSize);

// Shell folders, named by CSIDL and handed out as item identifier lists.
#ifndef MR7_HRESULT_DEFINED
#define MR7_HRESULT_DEFINED
typedef LONG HRESULT;
#define S_OK ((HRESULT)0L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#endif

struct SHITEMID {
    USHORT cb;  // size of the item, this member included; 0 ends the list
    BYTE abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
typedef ITEMIDLIST* LPITEMIDLIST;
typedef const ITEMIDLIST* LPCITEMIDLIST;

#define CSIDL_PROGRAMS 0x0002
#define CSIDL_STARTMENU 0x000b
#define CSIDL_COMMON_STARTMENU 0x0016
#define CSIDL_COMMON_PROGRAMS 0x0017
#define CSIDL_COMMON_DESKTOPDIRECTORY 0x0019
#define CSIDL_COMMON_APPDATA 0x0023
#define CSIDL_WINDOWS 0x0024
#define CSIDL_SYSTEM 0x0025
#define CSIDL_PROGRAM_FILES 0x0026

// The item list of a machine-wide special folder (see the CSIDL_ constants
// above; the per-user ones are not known and give E_INVALIDARG). The caller
// releases the list with CoTaskMemFree or ILFree. *ppidl is NULL on failure.
HRESULT SHGetSpecialFolderLocation(HWND hwndOwner, int nFolder, LPITEMIDLIST* ppidl);

// The folder an item list names, into a buffer of MAX_PATH characters;
// FALSE (and an empty buffer) when the list names no folder or the path
// does not fit.
BOOL SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR pszPath);

// Releases memory the shell handed out; NULL is allowed.
void CoTaskMemFree(LPVOID pv);
void ILFree(LPITEMIDLIST pidl);
