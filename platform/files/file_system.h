#pragma once
// The machine's drives as the Win32 and run-time file functions see them:
// Windows paths (UTF-16) resolved through the machine's drive links, the
// process-wide current directory, listing, deleting and removing folders.
// Every call returns ERROR_SUCCESS or the Win32 error Windows would give.
//
// Inside a drive no symbolic link is ever followed: a link is an entry of
// its own (a file to every call), it can be deleted, and a path through it
// leads nowhere. Only the drive links themselves are followed. Nothing is
// deleted or removed through a drive whose folder holds the machine folder
// (Wine's Z:, which is the whole host): such a drive is for reading only.

#include "platform/win32/types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::files {

// The current directory as a full Windows path ("C:\" or "C:\a\b"). At start
// it is the host's working directory seen through the machine's drives when
// it lies in one of them, else C:\.
std::u16string current_directory();

// Makes the folder the current directory; it is held open from then on, so
// relative names go to that very folder.
DWORD set_current_directory(std::u16string_view path);

// Deletes a file or a link (never a folder, never a read-only file).
DWORD delete_file(std::u16string_view path);

// Removes an empty folder (never a link, never the current directory).
DWORD remove_directory(std::u16string_view path);

DWORD get_attributes(std::u16string_view path, DWORD& attributes);

struct FoundEntry {
    std::u16string name;  // '?' where Windows has no character for the host's
    DWORD attributes = 0;
    std::uint64_t size = 0;
    std::uint64_t creationTime = 0;  // FILETIME ticks
    std::uint64_t accessTime = 0;
    std::uint64_t writeTime = 0;
};

// The entries of a folder that match the pattern's last name ("*", "?"; "*.*"
// is everything): "." and ".." first (not in a drive's root), then the rest
// ordered by their upper-cased names. ERROR_FILE_NOT_FOUND when nothing matches.
DWORD list(std::u16string_view pattern, std::vector<FoundEntry>& out);

}  // namespace platform::files
