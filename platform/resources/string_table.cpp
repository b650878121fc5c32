#include "platform/resources/string_table.h"

#include "platform/resources/byte_reader.h"

namespace platform::resources {

std::optional<StringBlock> parse_string_block(std::span<const std::uint8_t> bytes)
{
    ByteReader reader(bytes);
    StringBlock block;
    for (std::u16string& text : block) {
        WORD length = 0;
        if (!reader.read_u16(length)) return std::nullopt;
        std::span<const std::uint8_t> units;
        if (!reader.read_bytes(std::size_t{length} * 2, units)) return std::nullopt;
        text.resize(length);
        for (std::size_t i = 0; i < length; ++i)
            text[i] = static_cast<char16_t>(units[2 * i] | (units[2 * i + 1] << 8));
    }
    return block;
}

std::optional<std::u16string> find_string(const ResourceFile& file, UINT id, std::optional<WORD> language)
{
    if (id > 0xFFFF) return std::nullopt;
    const WORD blockId = static_cast<WORD>((id >> 4) + 1);
    const ResourceEntry* entry = file.find(resource_id(ResourceType::String), resource_id(blockId), language);
    if (!entry) return std::nullopt;
    std::optional<StringBlock> block = parse_string_block(entry->data);
    if (!block) return std::nullopt;
    std::u16string& text = (*block)[id & 15];
    if (text.empty()) return std::nullopt;
    return std::move(text);
}

}  // namespace platform::resources
