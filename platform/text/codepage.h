#pragma once
// Conversions between the system's code page 932 (Shift_JIS as Windows has
// it), the UTF-16 the platform works in, and the UTF-8 of host file names.

#include <string>
#include <string_view>

namespace platform::text {

// True for the first byte of a double-byte character of code page 932.
bool is_lead_byte(unsigned char byte);

// A byte that can follow a lead byte (0x40-0x7E, 0x80-0xFC; 0x5C included).
bool is_trail_byte(unsigned char byte);

// Code page 932 to UTF-16. A byte sequence that names no character becomes
// U+30FB, as Windows converts it; a lead byte at the very end becomes U+30FB too.
std::u16string cp932_to_utf16(std::string_view text);

// UTF-16 to code page 932. What code page 932 cannot express becomes '?',
// and *lossy (when given) is set to true.
std::string utf16_to_cp932(std::u16string_view text, bool* lossy = nullptr);

// UTF-16 to UTF-8; a lone surrogate becomes U+FFFD.
std::string utf16_to_utf8(std::u16string_view text);

// UTF-8 to UTF-16; an invalid byte becomes U+FFFD.
std::u16string utf8_to_utf16(std::string_view text);

// Convenience pair for host names: code page 932 <-> UTF-8.
std::string cp932_to_utf8(std::string_view text);
std::string utf8_to_cp932(std::string_view text, bool* lossy = nullptr);

}  // namespace platform::text
