#include "platform/resources/byte_reader.h"

namespace platform::resources {

bool ByteReader::read_u8(std::uint8_t& value)
{
    if (remaining() < 1) return false;
    value = m_bytes[m_offset++];
    return true;
}

bool ByteReader::read_u16(std::uint16_t& value)
{
    if (remaining() < 2) return false;
    value = static_cast<std::uint16_t>(m_bytes[m_offset] | (m_bytes[m_offset + 1] << 8));
    m_offset += 2;
    return true;
}

bool ByteReader::read_i16(short& value)
{
    std::uint16_t raw = 0;
    if (!read_u16(raw)) return false;
    value = static_cast<short>(raw);
    return true;
}

bool ByteReader::read_u32(std::uint32_t& value)
{
    if (remaining() < 4) return false;
    value = static_cast<std::uint32_t>(m_bytes[m_offset]) |
            static_cast<std::uint32_t>(m_bytes[m_offset + 1]) << 8 |
            static_cast<std::uint32_t>(m_bytes[m_offset + 2]) << 16 |
            static_cast<std::uint32_t>(m_bytes[m_offset + 3]) << 24;
    m_offset += 4;
    return true;
}

bool ByteReader::read_bytes(std::size_t count, std::span<const std::uint8_t>& out)
{
    if (remaining() < count) return false;
    out = m_bytes.subspan(m_offset, count);
    m_offset += count;
    return true;
}

bool ByteReader::skip(std::size_t count)
{
    if (remaining() < count) return false;
    m_offset += count;
    return true;
}

bool ByteReader::align4()
{
    std::size_t aligned = platform::resources::align4(m_offset);
    if (aligned > m_bytes.size()) return false;
    m_offset = aligned;
    return true;
}

bool ByteReader::read_string(std::u16string& value)
{
    std::size_t start = m_offset;
    std::u16string text;
    for (;;) {
        std::uint16_t unit = 0;
        if (!read_u16(unit)) {
            m_offset = start;
            return false;
        }
        if (unit == 0) break;
        text.push_back(static_cast<char16_t>(unit));
    }
    value = std::move(text);
    return true;
}

bool ByteReader::read_name_or_id(NameOrId& value)
{
    std::size_t start = m_offset;
    std::uint16_t first = 0;
    if (!read_u16(first)) return false;
    if (first == 0xFFFF) {
        std::uint16_t id = 0;
        if (!read_u16(id)) {
            m_offset = start;
            return false;
        }
        value = NameOrId{id, {}};
        return true;
    }
    m_offset = start;
    std::u16string name;
    if (!read_string(name)) return false;
    value = NameOrId{std::nullopt, std::move(name)};
    return true;
}

}  // namespace platform::resources
