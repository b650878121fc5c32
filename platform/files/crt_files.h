#pragma once
// The C run-time's directory and file functions on the machine's drives.
//
// `remove` is also the host C library's name, for host paths. The system's
// code (compiled with MR7_SYSTEM_CODE) reaches ours under that name through a
// macro; everything else keeps the C library's. <cstdio> and <algorithm> are
// included first so that their own declarations keep their names.

#include "platform/win32/types.h"

#include <algorithm>
#include <cstdio>

// The current directory's full path into buffer (maxlen bytes with the NUL);
// a null buffer gets one of at least maxlen bytes from malloc, which the
// caller frees. Null, with errno ERANGE, when it does not fit.
char* _getcwd(char* buffer, int maxlen);

// 0 when the folder has become the current directory, else -1 with errno.
int _chdir(const char* dirname);

// 0 when the empty folder was removed, else -1 with errno.
int _rmdir(const char* dirname);

// The run-time's remove: deletes a file on the machine's drives (DeleteFileA);
// 0, else -1 with errno.
int mr7_crt_remove(const char* path);

#ifdef MR7_SYSTEM_CODE
#define remove mr7_crt_remove
#endif
