#pragma once
// The pieces of the registry file's text: escaped names and strings, value
// lines, key headers and times, read and written as Wine does it.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform::registry {

// One value of a key: its name, its type number and its bytes. String types
// hold UTF-16LE bytes, with their terminating NUL when they have one.
struct Value {
    std::u16string name;
    std::uint32_t type = 0;
    std::string data;
};

// Reads the registry file one line at a time: strips one CR before the LF and
// counts lines from 1.
class LineReader {
public:
    explicit LineReader(std::string_view text, std::size_t begin = 0, std::size_t end = std::string_view::npos,
                        unsigned firstLine = 1);
    // The next line without its end; false at the end of the text.
    bool next(std::string_view& line);
    unsigned line_number() const { return m_line; }
    // Offset just after the line last returned (after its LF).
    std::size_t position() const { return m_pos; }

private:
    std::string_view m_text;
    std::size_t m_pos;
    std::size_t m_end;
    unsigned m_line;
};

// The line with its leading blanks (spaces and tabs) removed.
std::string_view skip_blanks(std::string_view line);

// Reads an escaped text that ends at the unescaped delimiter. On success
// *used holds the number of bytes read, the closing delimiter included.
// Returns false with *error set when the text is malformed.
bool read_escaped(std::string_view text, char delimiter, std::u16string& out, std::size_t* used, std::string* error);

// Writes UTF-16 units escaped; delimiter '"' escapes quotes (names, strings,
// class), delimiter ']' escapes both brackets (key names).
void write_escaped(std::string& out, std::u16string_view units, char delimiter);

// A key header line "[path] seconds": the path unescaped (components joined
// by single backslashes) and the seconds when present.
bool parse_key_header(std::string_view line, std::u16string& path, bool* hasSeconds, std::uint64_t* seconds,
                      std::string* error);

// Parses a value line (and the continuation lines of a hex list, taken from
// reader). out may be null to check the line only.
bool parse_value(std::string_view line, LineReader& reader, Value* out, std::string* error);

// Appends the value's line(s), in the form Wine chooses from type and bytes.
void write_value(std::string& out, const Value& value);

// FILETIME (100 ns since 1601) and its two spellings in a section header.
std::uint64_t filetime_from_seconds(std::uint64_t seconds);
std::uint64_t seconds_from_filetime(std::uint64_t filetime);
std::uint64_t filetime_now();
void write_key_times(std::string& out, std::uint64_t filetime);  // " <seconds>\n#time=<hex>\n"
bool parse_time_option(std::string_view option, std::uint64_t* filetime);  // "#time=<hex>"

// A value's bytes as the little-endian UTF-16 units they hold (an odd last
// byte is dropped), and units back to bytes.
std::u16string units_of(std::string_view bytes);
std::string bytes_of(std::u16string_view units);

// Sort order of sibling keys and of values: UTF-16 units after lowering,
// a shorter prefix first.
int compare_names(std::u16string_view a, std::u16string_view b);

}  // namespace platform::registry
