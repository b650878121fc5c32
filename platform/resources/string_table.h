#pragma once
// String tables: strings are stored in blocks of sixteen; string n lives in
// block (n >> 4) + 1 at position n & 15, each a length-prefixed UTF-16 text.

#include "platform/resources/resource_file.h"

#include <array>
#include <optional>
#include <span>
#include <string>

namespace platform::resources {

using StringBlock = std::array<std::u16string, 16>;

// The sixteen strings of a block (absent ones empty); nullopt when an entry
// runs past the end of the data.
std::optional<StringBlock> parse_string_block(std::span<const std::uint8_t> bytes);

// String id of a file; nullopt when its block or the string is missing, or
// the string is empty (an empty entry is how a block marks a gap).
std::optional<std::u16string> find_string(const ResourceFile& file, UINT id,
                                          std::optional<WORD> language = std::nullopt);

}  // namespace platform::resources
