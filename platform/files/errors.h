#pragma once
// The one translation between the host's errno values, the Win32 error codes
// the file functions report, and the errno values of the C run-time.

#include "platform/win32/types.h"

namespace platform::files {

// The Win32 error for a failed host call.
DWORD win32_error_from_errno(int hostErrno);

// The run-time's errno for a failed Win32 call.
int errno_from_win32_error(DWORD error);

}  // namespace platform::files
