// GetVersionExA, GetWindowsDirectoryA and the shell's special folders, on
// the facts of the machine's registry.

#include "platform/machine/win32_system.h"

#include "platform/faults/faults.h"
#include "platform/machine/system_facts.h"
#include "platform/machine/version.h"
#include "platform/text/codepage.h"
#include "platform/win32/last_error.h"

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

// Our item lists hold one item: a tag and the folder's path in UTF-16.
constexpr char kItemTag[4] = {'M', 'R', '7', 'F'};
constexpr std::size_t kMaxItemPathUnits = 30000;  // an item's size must fit its USHORT

// Bytes of a code page 932 text that fit `capacity` bytes, never half of a
// double-byte character.
std::size_t fitting_length(const std::string& bytes, std::size_t capacity)
{
    std::size_t n = 0;
    while (n < bytes.size()) {
        const std::size_t step = platform::text::is_lead_byte(static_cast<unsigned char>(bytes[n])) ? 2 : 1;
        if (n + step > capacity)
            break;
        n += step;
    }
    return n;
}

LPITEMIDLIST make_item_list(const std::u16string& path)
{
    const std::size_t itemSize = sizeof(USHORT) + sizeof kItemTag + path.size() * sizeof(char16_t);
    auto* bytes = static_cast<BYTE*>(std::malloc(itemSize + sizeof(USHORT)));
    if (!bytes)
        return nullptr;
    const USHORT cb = static_cast<USHORT>(itemSize);
    const USHORT end = 0;
    std::memcpy(bytes, &cb, sizeof cb);
    std::memcpy(bytes + sizeof cb, kItemTag, sizeof kItemTag);
    std::memcpy(bytes + sizeof cb + sizeof kItemTag, path.data(), path.size() * sizeof(char16_t));
    std::memcpy(bytes + itemSize, &end, sizeof end);
    return reinterpret_cast<LPITEMIDLIST>(bytes);
}

// The path an item list of ours holds; false for any other list.
bool path_of_item_list(LPCITEMIDLIST pidl, std::u16string& path)
{
    const auto* bytes = reinterpret_cast<const BYTE*>(pidl);
    USHORT cb = 0;
    std::memcpy(&cb, bytes, sizeof cb);
    const std::size_t header = sizeof cb + sizeof kItemTag;
    if (cb < header || (cb - header) % sizeof(char16_t) != 0 || std::memcmp(bytes + sizeof cb, kItemTag, sizeof kItemTag) != 0)
        return false;
    path.resize((cb - header) / sizeof(char16_t));
    std::memcpy(path.data(), bytes + header, cb - header);
    return true;
}

}  // namespace

BOOL GetVersionExA(LPOSVERSIONINFOA info)
{
    if (!info) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA)) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    const platform::machine::WindowsVersion version = platform::machine::windows_version();
    info->dwMajorVersion = version.major;
    info->dwMinorVersion = version.minor;
    info->dwPlatformId = version.platformId;
    // The 95 family keeps the version in the high word of the build number.
    info->dwBuildNumber = version.is_nt_family()
                              ? version.build
                              : ((version.major & 0xFF) << 24) | ((version.minor & 0xFF) << 16) | (version.build & 0xFFFF);
    const std::string csd = platform::text::utf16_to_cp932(version.csd);
    const std::size_t n = fitting_length(csd, sizeof info->szCSDVersion - 1);
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::memcpy(info->szCSDVersion, csd.data(), n);
    return TRUE;
}

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    if (platform::faults::should_fail("GetWindowsDirectoryA")) {
        SetLastError(ERROR_INVALID_FUNCTION);
        return 0;
    }
    bool lossy = false;
    const std::string path = platform::text::utf16_to_cp932(platform::machine::windows_directory(), &lossy);
    if (lossy) {
        // A directory the program could not name would be a wrong path.
        SetLastError(ERROR_INVALID_NAME);
        return 0;
    }
    if (size <= path.size())
        return static_cast<UINT>(path.size() + 1);
    if (!buffer) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return static_cast<UINT>(path.size());
}

HRESULT SHGetSpecialFolderLocation(HWND, int nFolder, LPITEMIDLIST* ppidl)
{
    if (!ppidl)
        return E_INVALIDARG;
    *ppidl = nullptr;
    if (platform::faults::should_fail("SHGetSpecialFolderLocation"))
        return E_FAIL;
    auto folder = platform::machine::special_folder(nFolder);
    if (!folder)
        return E_INVALIDARG;
    if (folder->size() > kMaxItemPathUnits)
        return E_FAIL;
    *ppidl = make_item_list(*folder);
    return *ppidl ? S_OK : E_OUTOFMEMORY;
}

BOOL SHGetPathFromIDListA(LPCITEMIDLIST pidl, LPSTR pszPath)
{
    if (pszPath)
        pszPath[0] = '\0';
    if (!pidl || !pszPath || platform::faults::should_fail("SHGetPathFromIDListA"))
        return FALSE;
    std::u16string path;
    if (!path_of_item_list(pidl, path))
        return FALSE;
    bool lossy = false;
    const std::string bytes = platform::text::utf16_to_cp932(path, &lossy);
    if (lossy || bytes.empty() || bytes.size() >= MAX_PATH)
        return FALSE;
    std::memcpy(pszPath, bytes.c_str(), bytes.size() + 1);
    return TRUE;
}

void CoTaskMemFree(LPVOID pv)
{
    std::free(pv);
}

void ILFree(LPITEMIDLIST pidl)
{
    std::free(pidl);
}
