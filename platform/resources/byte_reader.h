#pragma once
// Bounds-checked little-endian reading of resource bytes. Every read either
// succeeds or leaves the reader where it was and reports false, so that
// truncated or malformed data is rejected rather than read past its end.

#include "platform/resources/dialog_template.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace platform::resources {

class ByteReader {
public:
    explicit ByteReader(std::span<const std::uint8_t> bytes, std::size_t offset = 0)
        : m_bytes(bytes), m_offset(offset) {}

    std::size_t offset() const { return m_offset; }
    std::size_t size() const { return m_bytes.size(); }
    std::size_t remaining() const { return m_offset <= m_bytes.size() ? m_bytes.size() - m_offset : 0; }

    bool read_u8(std::uint8_t& value);
    bool read_u16(std::uint16_t& value);
    bool read_i16(short& value);
    bool read_u32(std::uint32_t& value);
    bool read_bytes(std::size_t count, std::span<const std::uint8_t>& out);
    bool skip(std::size_t count);
    // Moves to the next multiple of four bytes from the start of the data.
    bool align4();
    // A NUL-terminated UTF-16 string; the terminator is consumed.
    bool read_string(std::u16string& value);
    // 0x0000 (empty name), 0xFFFF followed by a number, or a string.
    bool read_name_or_id(NameOrId& value);

private:
    std::span<const std::uint8_t> m_bytes;
    std::size_t m_offset;
};

constexpr std::size_t align4(std::size_t offset) { return (offset + 3) & ~std::size_t{3}; }

}  // namespace platform::resources
