#pragma once
// The version block (RT_VERSION): VS_VERSIONINFO with its fixed file
// information, the StringFileInfo tables and the VarFileInfo translations.

#include "platform/win32/types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace platform::resources {

struct FixedFileInfo {
    DWORD signature = 0;  // 0xFEEF04BD
    DWORD structureVersion = 0;
    DWORD fileVersionMS = 0, fileVersionLS = 0;
    DWORD productVersionMS = 0, productVersionLS = 0;
    DWORD fileFlagsMask = 0;
    DWORD fileFlags = 0;
    DWORD fileOS = 0;
    DWORD fileType = 0;
    DWORD fileSubtype = 0;
    DWORD fileDateMS = 0, fileDateLS = 0;
};

// One StringFileInfo block, such as "041104b0" (language, then code page, in hex).
struct VersionStringTable {
    std::u16string key;
    std::vector<std::pair<std::u16string, std::u16string>> values;  // in file order
};

struct VersionTranslation {
    WORD language = 0;
    WORD codePage = 0;
};

struct VersionInfo {
    std::optional<FixedFileInfo> fixed;
    std::vector<VersionStringTable> stringTables;
    std::vector<VersionTranslation> translations;

    // The value of key in the table named table; null when absent.
    const std::u16string* find_value(std::u16string_view table, std::u16string_view key) const;
};

inline constexpr DWORD kFixedFileInfoSignature = 0xFEEF04BD;

// Parses a VS_VERSIONINFO block; nullopt when its structure is broken.
std::optional<VersionInfo> parse_version_info(std::span<const std::uint8_t> bytes);

}  // namespace platform::resources
