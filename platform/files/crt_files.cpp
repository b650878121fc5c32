// The run-time's directory and file functions: each is its Win32 call, with
// the Win32 error turned into errno as the run-time does.
#include "platform/files/crt_files.h"

#include "platform/files/errors.h"
#include "platform/files/win32_files.h"
#include "platform/win32/last_error.h"

#include <cerrno>
#include <cstdlib>
#include <string>

namespace {

int crt_result(BOOL succeeded)
{
    if (succeeded)
        return 0;
    errno = platform::files::errno_from_win32_error(GetLastError());
    return -1;
}

}  // namespace

char* _getcwd(char* buffer, int maxlen)
{
    DWORD needed = GetCurrentDirectoryA(0, nullptr);
    if (needed == 0) {
        errno = platform::files::errno_from_win32_error(GetLastError());
        return nullptr;
    }
    if (!buffer) {
        std::size_t size = std::max<std::size_t>(needed, maxlen > 0 ? static_cast<std::size_t>(maxlen) : 0);
        buffer = static_cast<char*>(std::malloc(size));
        if (!buffer) {
            errno = ENOMEM;
            return nullptr;
        }
        GetCurrentDirectoryA(static_cast<DWORD>(size), buffer);
        return buffer;
    }
    if (maxlen <= 0 || static_cast<DWORD>(maxlen) < needed) {
        errno = ERANGE;
        return nullptr;
    }
    GetCurrentDirectoryA(static_cast<DWORD>(maxlen), buffer);
    return buffer;
}

int _chdir(const char* dirname)
{
    return crt_result(SetCurrentDirectoryA(dirname));
}

int _rmdir(const char* dirname)
{
    return crt_result(RemoveDirectoryA(dirname));
}

int mr7_crt_remove(const char* path)
{
    return crt_result(DeleteFileA(path));
}
