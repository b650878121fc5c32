#include "platform/resources/resource_file.h"

#include "platform/resources/byte_reader.h"

namespace platform::resources {

namespace {

char16_t ascii_upper(char16_t c) { return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c; }

// The first entry of every .res file is an empty one (no type, no name,
// no data) that marks the file as 32-bit.
bool is_marker(const ResourceEntry& entry)
{
    return entry.data.empty() && entry.type.is_id() && *entry.type.id == 0 && entry.name.is_id() &&
           *entry.name.id == 0;
}

// A header: DataSize, HeaderSize, TYPE, NAME, then (DWORD-aligned)
// DataVersion, MemoryFlags, LanguageId, Version, Characteristics.
bool read_entry(std::span<const std::uint8_t> bytes, std::size_t offset, ResourceEntry& entry,
                std::size_t& next)
{
    ByteReader reader(bytes, offset);
    DWORD dataSize = 0, headerSize = 0;
    if (!reader.read_u32(dataSize) || !reader.read_u32(headerSize)) return false;
    if (headerSize < 28 || headerSize > reader.remaining() + 8) return false;
    const std::size_t headerEnd = offset + headerSize;
    ByteReader header(bytes.first(headerEnd), reader.offset());
    if (!header.read_name_or_id(entry.type) || !header.read_name_or_id(entry.name)) return false;
    if (!header.align4()) return false;
    if (!header.read_u32(entry.dataVersion) || !header.read_u16(entry.memoryFlags) ||
        !header.read_u16(entry.language) || !header.read_u32(entry.version) ||
        !header.read_u32(entry.characteristics))
        return false;
    if (dataSize > bytes.size() - headerEnd) return false;
    entry.data = bytes.subspan(headerEnd, dataSize);
    next = align4(headerEnd + dataSize);
    return true;
}

}  // namespace

NameOrId resource_id(WORD id) { return NameOrId{id, {}}; }

NameOrId resource_id(ResourceType type) { return resource_id(static_cast<WORD>(type)); }

NameOrId resource_name(std::u16string_view name) { return NameOrId{std::nullopt, std::u16string(name)}; }

bool same_name(const NameOrId& a, const NameOrId& b)
{
    if (a.is_id() || b.is_id()) return a.id == b.id;
    if (a.name.size() != b.name.size()) return false;
    for (std::size_t i = 0; i < a.name.size(); ++i) {
        if (ascii_upper(a.name[i]) != ascii_upper(b.name[i])) return false;
    }
    return true;
}

std::optional<ResourceFile> ResourceFile::parse(std::span<const std::uint8_t> bytes)
{
    ResourceFile file;
    std::size_t offset = 0;
    while (offset < bytes.size()) {
        ResourceEntry entry;
        std::size_t next = 0;
        if (!read_entry(bytes, offset, entry, next)) return std::nullopt;
        if (!is_marker(entry)) file.m_entries.push_back(std::move(entry));
        offset = next;
    }
    return file;
}

const ResourceEntry* ResourceFile::find(const NameOrId& type, const NameOrId& name,
                                        std::optional<WORD> language) const
{
    const ResourceEntry* neutral = nullptr;
    const ResourceEntry* first = nullptr;
    for (const ResourceEntry& entry : m_entries) {
        if (!same_name(entry.type, type) || !same_name(entry.name, name)) continue;
        if (language) {
            if (entry.language == *language) return &entry;
            continue;
        }
        if (entry.language == kLanguageJapanese) return &entry;
        if (!neutral && entry.language == kLanguageNeutral) neutral = &entry;
        if (!first) first = &entry;
    }
    return neutral ? neutral : first;
}

}  // namespace platform::resources
