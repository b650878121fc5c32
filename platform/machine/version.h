#pragma once
// The Windows version of the machine, as its own registry describes it.

#include <cstdint>
#include <string>

namespace platform::machine {

constexpr std::uint32_t kPlatformWindows95 = 1;  // VER_PLATFORM_WIN32_WINDOWS
constexpr std::uint32_t kPlatformWindowsNt = 2;  // VER_PLATFORM_WIN32_NT

struct WindowsVersion {
    std::uint32_t platformId = kPlatformWindowsNt;
    std::uint32_t major = 6;
    std::uint32_t minor = 1;
    std::uint32_t build = 7601;  // the plain build number, also on the 95 family
    std::u16string csd = u"Service Pack 1";  // service pack text, may be empty

    bool is_nt_family() const { return platformId == kPlatformWindowsNt; }
};

// NT family when the key Software\Microsoft\Windows NT\CurrentVersion has
// "CurrentVersion"; else the 95 family when the key
// Software\Microsoft\Windows\CurrentVersion has "VersionNumber"
// ("4.10.2222"); else Windows 7 SP1, as
// Wine assumes. Read from the native tree, where the system keeps it.
WindowsVersion windows_version();

}  // namespace platform::machine
