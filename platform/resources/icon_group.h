#pragma once
// Icon groups (RT_GROUP_ICON): a directory of the images of one icon, each
// image a separate RT_ICON resource named by number.

#include "platform/win32/types.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace platform::resources {

struct IconGroupEntry {
    int width = 0;   // pixels; a stored 0 means 256
    int height = 0;
    BYTE colorCount = 0;
    WORD planes = 0;
    WORD bitCount = 0;
    DWORD bytesInResource = 0;
    WORD imageId = 0;  // the RT_ICON resource holding the image
};

// The entries of a group directory (reserved 0, type 1, count, then
// fourteen bytes an entry); nullopt when it is not an icon directory.
std::optional<std::vector<IconGroupEntry>> parse_icon_group(std::span<const std::uint8_t> bytes);

struct IconImageInfo {
    int width = 0;
    int height = 0;
    int bitCount = 0;
    bool isPng = false;
};

// What an RT_ICON image is: a device-independent bitmap whose header gives
// twice the height (colour and mask stacked), or a PNG.
std::optional<IconImageInfo> describe_icon_image(std::span<const std::uint8_t> bytes);

// Index of the entry that best fits a square of size pixels: the exact size
// with the most colours, else the nearest size. nullopt for an empty group.
std::optional<std::size_t> best_icon_entry(const std::vector<IconGroupEntry>& entries, int size);

}  // namespace platform::resources
