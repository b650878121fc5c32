#pragma once
// Resource loading from the program's compiled resources: strings, icons and
// raw resources of the module, through the ANSI entry points. Texts come out
// in code page 932.

#include "platform/win32/types.h"

#include <cstdint>

typedef HANDLE HGLOBAL;

// A resource number passed where a name is expected: the number in the low
// word of a pointer that points nowhere.
#define MAKEINTRESOURCEA(i) ((LPSTR)(std::uintptr_t)(WORD)(i))
#define MAKEINTRESOURCE(i) MAKEINTRESOURCEA(i)
#define IS_INTRESOURCE(r) ((((std::uintptr_t)(r)) >> 16) == 0)

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_FONTDIR MAKEINTRESOURCE(7)
#define RT_FONT MAKEINTRESOURCE(8)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_MESSAGETABLE MAKEINTRESOURCE(11)
#define RT_GROUP_CURSOR MAKEINTRESOURCE(12)
#define RT_GROUP_ICON MAKEINTRESOURCE(14)
#define RT_VERSION MAKEINTRESOURCE(16)
#define RT_MANIFEST MAKEINTRESOURCE(24)

// The system's standard icons, for LoadIconA with a NULL instance.
#define IDI_APPLICATION MAKEINTRESOURCE(32512)
#define IDI_HAND MAKEINTRESOURCE(32513)
#define IDI_QUESTION MAKEINTRESOURCE(32514)
#define IDI_EXCLAMATION MAKEINTRESOURCE(32515)
#define IDI_ASTERISK MAKEINTRESOURCE(32516)
#define IDI_WINLOGO MAKEINTRESOURCE(32517)
#define IDI_SHIELD MAKEINTRESOURCE(32518)
#define IDI_WARNING IDI_EXCLAMATION
#define IDI_ERROR IDI_HAND
#define IDI_INFORMATION IDI_ASTERISK

// The application's string table entry for its title.
#define AFX_IDS_APP_TITLE 0xE000

// The instance handle of the module, where its resources are found.
HINSTANCE AfxGetResourceHandle();
HINSTANCE AfxGetInstanceHandle();

// Copies string uID, converted to code page 932, into lpBuffer (at most
// cchBufferMax - 1 bytes, never half a double-byte character, then a NUL).
// Returns the bytes copied; 0 when the string is missing or empty.
int LoadStringA(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);

// The shared icon lpIconName of the module at the large icon size (32 x 32),
// the same handle each time; with a NULL instance one of the IDI_* icons.
// NULL when there is no such icon.
HICON LoadIconA(HINSTANCE hInstance, LPCSTR lpIconName);

// Raw resources of the module. A name or type is a MAKEINTRESOURCE number,
// "#<number>", or a name.
HRSRC FindResourceA(HMODULE hModule, LPCSTR lpName, LPCSTR lpType);
HRSRC FindResourceExA(HMODULE hModule, LPCSTR lpType, LPCSTR lpName, WORD wLanguage);
HGLOBAL LoadResource(HMODULE hModule, HRSRC hResInfo);
DWORD SizeofResource(HMODULE hModule, HRSRC hResInfo);
LPVOID LockResource(HGLOBAL hResData);
