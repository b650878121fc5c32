#pragma once
// Windows paths as the file functions take them: a drive letter and the names
// below its root, built from what a caller passed against the current
// directory.

#include "platform/win32/types.h"

#include <string>
#include <string_view>
#include <vector>

namespace platform::files {

struct WindowsPath {
    char16_t drive = u'C';                  // always an upper-case letter
    std::vector<std::u16string> components; // names below the drive's root

    bool is_root() const { return components.empty(); }
    // "C:\" for a root, else "C:\a\b" (no trailing backslash).
    std::u16string text() const;
};

struct FullPath {
    WindowsPath path;
    bool endsWithSeparator = false; // "C:\a\" names a folder, never a file
};

// The full path of `path` against `current`, as Windows builds it: \ and /
// both separate; "C:\a" is full, "C:a" is relative to the current directory
// when C: is the current drive (else to C:'s root), "\a" is rooted on the
// current drive, anything else is relative. "." and ".." are collapsed on the
// Windows side and ".." stops at the drive's root. Returns ERROR_SUCCESS, or
// ERROR_PATH_NOT_FOUND for an empty path, ERROR_INVALID_NAME for a form that
// the machine has no place for (network paths, device paths).
DWORD full_path(std::u16string_view path, const WindowsPath& current, FullPath& out);

// True when `name` may name a file or folder on Windows: not empty, no
// control character, none of \ / : * ? " < > |.
bool is_valid_name(std::u16string_view name);

// Compares drive-and-names without regard to case.
bool same_path(const WindowsPath& a, const WindowsPath& b);

}  // namespace platform::files
