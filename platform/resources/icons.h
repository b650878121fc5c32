#pragma once
// Icons: shared handles for the module's icon groups and the system's
// standard icons, and what a handle shows, for the window framework and the
// front ends that draw it.

#include "platform/resources/dialog_template.h"
#include "platform/win32/types.h"

#include <cstdint>
#include <optional>
#include <span>

namespace platform::resources {

inline constexpr int kLargeIconSize = 32;  // SM_CXICON and SM_CYICON
inline constexpr int kSmallIconSize = 16;  // SM_CXSMICON and SM_CYSMICON

// The system's standard icons (IDI_APPLICATION to IDI_SHIELD).
inline constexpr WORD kFirstStandardIcon = 32512;
inline constexpr WORD kLastStandardIcon = 32518;

struct IconInfo {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    std::size_t byteSize = 0;              // size of the image resource
    std::span<const std::uint8_t> image;   // the RT_ICON bytes; empty for a standard icon
    bool isPng = false;
    NameOrId group;                        // the icon group it came from
    WORD standardId = 0;                   // IDI_* for a standard icon, else 0
};

// A shared handle for the image of the module's icon group that best fits a
// size x size square; the same handle each time. NULL when the group or its
// image is missing or malformed. Shared icons are never destroyed.
HICON load_module_icon(const NameOrId& group, int size = kLargeIconSize);

// A shared handle for a standard icon (IDI_*); NULL for another id.
HICON load_standard_icon(WORD id);

// What an icon handle shows; nullopt for a handle that is not an icon.
std::optional<IconInfo> describe_icon(HICON icon);

}  // namespace platform::resources
