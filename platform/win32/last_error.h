#pragma once
// The calling thread's last-error code, as every failing Win32 call leaves it.

#include "platform/win32/types.h"

DWORD GetLastError();
void SetLastError(DWORD dwErrCode);
