// The Win32 file functions: code page 932 at the edge, platform::files inside.
#include "platform/files/win32_files.h"

#include "platform/faults/faults.h"
#include "platform/files/file_system.h"
#include "platform/text/codepage.h"
#include "platform/win32/last_error.h"

#include <cstring>
#include <memory>
#include <unordered_set>
#include <vector>

namespace {

using platform::files::FoundEntry;

// One listing begun by FindFirstFileA: its entries and how far it has got.
struct FindListing {
    std::vector<FoundEntry> entries;
    std::size_t next = 0;
};

std::unordered_set<FindListing*>& open_listings()
{
    static std::unordered_set<FindListing*> listings;
    return listings;
}

std::u16string wide(LPCSTR text)
{
    return platform::text::cp932_to_utf16(text ? text : "");
}

FILETIME to_filetime(std::uint64_t ticks)
{
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

void fill(const FoundEntry& entry, WIN32_FIND_DATAA& data)
{
    std::memset(&data, 0, sizeof data);
    data.dwFileAttributes = entry.attributes;
    data.ftCreationTime = to_filetime(entry.creationTime);
    data.ftLastAccessTime = to_filetime(entry.accessTime);
    data.ftLastWriteTime = to_filetime(entry.writeTime);
    data.nFileSizeHigh = static_cast<DWORD>(entry.size >> 32);
    data.nFileSizeLow = static_cast<DWORD>(entry.size & 0xFFFFFFFFu);
    std::string name = platform::text::utf16_to_cp932(entry.name);
    std::size_t length = std::min(name.size(), sizeof data.cFileName - 1);
    std::memcpy(data.cFileName, name.data(), length);
}

BOOL result(DWORD error)
{
    SetLastError(error);
    return error == ERROR_SUCCESS ? TRUE : FALSE;
}

}  // namespace

BOOL SetCurrentDirectoryA(LPCSTR lpPathName)
{
    return result(platform::files::set_current_directory(wide(lpPathName)));
}

DWORD GetCurrentDirectoryA(DWORD nBufferLength, LPSTR lpBuffer)
{
    std::string path = platform::text::utf16_to_cp932(platform::files::current_directory());
    DWORD needed = static_cast<DWORD>(path.size() + 1);
    if (!lpBuffer || nBufferLength < needed)
        return needed;
    std::memcpy(lpBuffer, path.c_str(), needed);
    return needed - 1;
}

HANDLE FindFirstFileA(LPCSTR lpFileName, LPWIN32_FIND_DATAA lpFindFileData)
{
    if (platform::faults::should_fail("FindFirstFileA")) {
        SetLastError(ERROR_ACCESS_DENIED);
        return INVALID_HANDLE_VALUE;
    }
    if (!lpFindFileData) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    auto listing = std::make_unique<FindListing>();
    if (DWORD error = platform::files::list(wide(lpFileName), listing->entries)) {
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    fill(listing->entries[0], *lpFindFileData);
    listing->next = 1;
    FindListing* handle = listing.release();
    open_listings().insert(handle);
    SetLastError(ERROR_SUCCESS);
    return handle;
}

BOOL FindNextFileA(HANDLE hFindFile, LPWIN32_FIND_DATAA lpFindFileData)
{
    auto* listing = static_cast<FindListing*>(hFindFile);
    if (!open_listings().count(listing))
        return result(ERROR_INVALID_HANDLE);
    if (!lpFindFileData)
        return result(ERROR_INVALID_PARAMETER);
    if (listing->next >= listing->entries.size())
        return result(ERROR_NO_MORE_FILES);
    fill(listing->entries[listing->next++], *lpFindFileData);
    return result(ERROR_SUCCESS);
}

BOOL FindClose(HANDLE hFindFile)
{
    auto* listing = static_cast<FindListing*>(hFindFile);
    if (!open_listings().erase(listing))
        return result(ERROR_INVALID_HANDLE);
    delete listing;
    return result(ERROR_SUCCESS);
}

BOOL DeleteFileA(LPCSTR lpFileName)
{
    return result(platform::files::delete_file(wide(lpFileName)));
}

BOOL RemoveDirectoryA(LPCSTR lpPathName)
{
    return result(platform::files::remove_directory(wide(lpPathName)));
}

DWORD GetFileAttributesA(LPCSTR lpFileName)
{
    DWORD attributes = 0;
    DWORD error = platform::files::get_attributes(wide(lpFileName), attributes);
    SetLastError(error);
    return error == ERROR_SUCCESS ? attributes : INVALID_FILE_ATTRIBUTES;
}
