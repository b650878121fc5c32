#pragma once
// The run-time's multibyte string functions for code page 932, as the system
// calls them (through platform/crt.h). A double-byte character is always one
// character: its second byte is never taken for a backslash or a letter.

#include <cstddef>

#define _MB_CP_ANSI (-3)
#define _MB_CP_OEM (-2)
#define _MB_CP_SBCS 0

// Selects the multibyte code page; only 932 (and its aliases for the ANSI
// and OEM code page, which are 932 here) is supported. Returns 0, or -1.
int _setmbcp(int codepage);
int _getmbcp();

int _ismbblead(unsigned int c);

// Compares character by character, a double-byte character by its 16-bit code.
int _mbscmp(const unsigned char* string1, const unsigned char* string2);

// Lowers in place: A-Z, and each double-byte character that has a small form
// in code page 932 (full-width, Greek, Cyrillic, Roman numerals) as a whole.
unsigned char* _mbslwr(unsigned char* string);
unsigned char* _mbsupr(unsigned char* string);

// The last occurrence of the character c (single- or double-byte), or null.
unsigned char* _mbsrchr(const unsigned char* string, unsigned int c);
unsigned char* _mbschr(const unsigned char* string, unsigned int c);

std::size_t _mbslen(const unsigned char* string);
