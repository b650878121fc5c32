#include "platform/resources/icon_group.h"

#include "platform/resources/byte_reader.h"

#include <algorithm>
#include <cstdlib>

namespace platform::resources {

namespace {

constexpr WORD kIconDirectoryType = 1;
constexpr DWORD kBitmapInfoHeaderSize = 40;
constexpr std::uint8_t kPngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};

int icon_dimension(BYTE stored) { return stored == 0 ? 256 : stored; }

std::uint32_t big_endian32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::uint32_t>(bytes[offset]) << 24 | static_cast<std::uint32_t>(bytes[offset + 1]) << 16 |
           static_cast<std::uint32_t>(bytes[offset + 2]) << 8 | bytes[offset + 3];
}

}  // namespace

std::optional<std::vector<IconGroupEntry>> parse_icon_group(std::span<const std::uint8_t> bytes)
{
    ByteReader reader(bytes);
    WORD reserved = 0, type = 0, count = 0;
    if (!reader.read_u16(reserved) || !reader.read_u16(type) || !reader.read_u16(count)) return std::nullopt;
    if (reserved != 0 || type != kIconDirectoryType) return std::nullopt;
    std::vector<IconGroupEntry> entries;
    for (WORD i = 0; i < count; ++i) {
        IconGroupEntry entry;
        BYTE width = 0, height = 0, reservedByte = 0;
        if (!reader.read_u8(width) || !reader.read_u8(height) || !reader.read_u8(entry.colorCount) ||
            !reader.read_u8(reservedByte) || !reader.read_u16(entry.planes) || !reader.read_u16(entry.bitCount) ||
            !reader.read_u32(entry.bytesInResource) || !reader.read_u16(entry.imageId))
            return std::nullopt;
        entry.width = icon_dimension(width);
        entry.height = icon_dimension(height);
        entries.push_back(entry);
    }
    return entries;
}

std::optional<IconImageInfo> describe_icon_image(std::span<const std::uint8_t> bytes)
{
    IconImageInfo info;
    if (bytes.size() >= 24 && std::equal(std::begin(kPngSignature), std::end(kPngSignature), bytes.begin())) {
        // The IHDR chunk comes first: width and height, then the bit depth.
        info.isPng = true;
        info.width = static_cast<int>(big_endian32(bytes, 16));
        info.height = static_cast<int>(big_endian32(bytes, 20));
        info.bitCount = 32;
        return info;
    }
    ByteReader reader(bytes);
    DWORD headerSize = 0, width = 0, doubledHeight = 0;
    WORD planes = 0, bitCount = 0;
    if (!reader.read_u32(headerSize) || !reader.read_u32(width) || !reader.read_u32(doubledHeight) ||
        !reader.read_u16(planes) || !reader.read_u16(bitCount))
        return std::nullopt;
    if (headerSize < kBitmapInfoHeaderSize || headerSize > bytes.size()) return std::nullopt;
    const auto signedWidth = static_cast<std::int32_t>(width);
    const auto signedHeight = static_cast<std::int32_t>(doubledHeight);
    if (signedWidth <= 0 || signedHeight <= 0) return std::nullopt;
    info.width = signedWidth;
    info.height = signedHeight / 2;
    info.bitCount = bitCount;
    return info;
}

std::optional<std::size_t> best_icon_entry(const std::vector<IconGroupEntry>& entries, int size)
{
    std::optional<std::size_t> best;
    auto distance = [size](const IconGroupEntry& e) { return std::abs(e.width - size) + std::abs(e.height - size); };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (!best) {
            best = i;
            continue;
        }
        const IconGroupEntry& candidate = entries[i];
        const IconGroupEntry& current = entries[*best];
        if (distance(candidate) < distance(current) ||
            (distance(candidate) == distance(current) && candidate.bitCount > current.bitCount))
            best = i;
    }
    return best;
}

}  // namespace platform::resources
