#include "platform/files/errors.h"

#include <cerrno>

namespace platform::files {
namespace {

struct ErrnoToWin32 {
    int hostErrno;
    DWORD error;
};

constexpr ErrnoToWin32 kHostErrors[] = {
    {ENOENT, ERROR_FILE_NOT_FOUND},
    {ENOTDIR, ERROR_PATH_NOT_FOUND},
    {ELOOP, ERROR_PATH_NOT_FOUND},
    {EACCES, ERROR_ACCESS_DENIED},
    {EPERM, ERROR_ACCESS_DENIED},
    {EISDIR, ERROR_ACCESS_DENIED},
    {EROFS, ERROR_WRITE_PROTECT},
    {ENOTEMPTY, ERROR_DIR_NOT_EMPTY},
    {EEXIST, ERROR_DIR_NOT_EMPTY},  // what rmdir may say for a folder that is not empty
    {EBUSY, ERROR_SHARING_VIOLATION},
    {ETXTBSY, ERROR_SHARING_VIOLATION},
    {ENAMETOOLONG, ERROR_INVALID_NAME},
    {EINVAL, ERROR_INVALID_PARAMETER},
    {ENOMEM, ERROR_NOT_ENOUGH_MEMORY},
    {EMFILE, ERROR_NOT_ENOUGH_MEMORY},
    {ENFILE, ERROR_NOT_ENOUGH_MEMORY},
};

// The run-time turns the Win32 error of its call into errno this way; what
// is not listed becomes EINVAL.
struct Win32ToErrno {
    DWORD error;
    int crtErrno;
};

constexpr Win32ToErrno kCrtErrors[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},
    {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_NO_MORE_FILES, ENOENT},
    {ERROR_INVALID_NAME, ENOENT},
    {ERROR_DIRECTORY, ENOENT},
    {ERROR_ACCESS_DENIED, EACCES},
    {ERROR_CURRENT_DIRECTORY, EACCES},
    {ERROR_WRITE_PROTECT, EACCES},
    {ERROR_SHARING_VIOLATION, EACCES},
    {ERROR_LOCK_VIOLATION, EACCES},
    {ERROR_DIR_NOT_EMPTY, ENOTEMPTY},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},
    {ERROR_INSUFFICIENT_BUFFER, ERANGE},
};

}  // namespace

DWORD win32_error_from_errno(int hostErrno)
{
    for (const ErrnoToWin32& row : kHostErrors) {
        if (row.hostErrno == hostErrno)
            return row.error;
    }
    return ERROR_ACCESS_DENIED;
}

int errno_from_win32_error(DWORD error)
{
    for (const Win32ToErrno& row : kCrtErrors) {
        if (row.error == error)
            return row.crtErrno;
    }
    return EINVAL;
}

}  // namespace platform::files
