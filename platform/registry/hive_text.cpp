#include "platform/registry/hive_text.h"

#include "platform/text/case.h"

#include <chrono>
#include <cstdio>

namespace platform::registry {
namespace {

constexpr std::uint64_t kFiletimeOfUnixEpoch = 116444736000000000ULL;
constexpr std::uint64_t kFiletimeUnitsPerSecond = 10000000ULL;
// Wine wraps hex lists once a line holds more than this many characters.
constexpr std::size_t kHexLineLimit = 76;

constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;
constexpr std::uint32_t kRegMultiSz = 7;

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool is_blank(char c)
{
    return c == ' ' || c == '\t';
}

bool only_blanks(std::string_view rest)
{
    for (char c : rest)
        if (!is_blank(c))
            return false;
    return true;
}

// Decodes one UTF-8 sequence starting at text[i]; a broken one gives U+FFFD.
void append_utf8(std::string_view text, std::size_t& i, std::u16string& out)
{
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    unsigned char lead = byte(i);
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || i + static_cast<std::size_t>(extra) >= text.size()) {
        out.push_back(u'\uFFFD');
        ++i;
        return;
    }
    std::uint32_t cp = lead & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) {
        unsigned char b = byte(i + static_cast<std::size_t>(k));
        if ((b & 0xC0) != 0x80) {
            out.push_back(u'\uFFFD');
            ++i;
            return;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    i += static_cast<std::size_t>(extra) + 1;
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
        out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
        out.push_back(static_cast<char16_t>(cp));
    }
}

void append_hex(std::string& out, unsigned value, int minDigits)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%0*x", minDigits, value);
    out += buffer;
}

// Appends "NN,NN,..." wrapped as Wine wraps it; count is the line's length so far.
void write_hex_bytes(std::string& out, std::string_view bytes, std::size_t count)
{
    static const char digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        auto b = static_cast<unsigned char>(bytes[i]);
        out += digits[b >> 4];
        out += digits[b & 15];
        count += 2;
        if (i + 1 < bytes.size()) {
            out += ',';
            ++count;
            if (count > kHexLineLimit) {
                out += "\\\n  ";
                count = 2;
            }
        }
    }
}

// Reads the hex list after "hex:" / "hex(N):", following "\" continuations.
bool read_hex_list(std::string_view rest, LineReader& reader, std::string* out, std::string* error)
{
    bool expectByte = true;  // at the start, or after a comma
    bool first = true;
    while (true) {
        std::size_t i = 0;
        while (i < rest.size()) {
            char c = rest[i];
            if (is_blank(c)) {
                if (first) {
                    *error = "blank before the first byte of a hex list";
                    return false;
                }
                ++i;
                continue;
            }
            first = false;
            if (c == '\\' && only_blanks(rest.substr(i + 1))) {
                std::string_view next;
                if (!reader.next(next)) {
                    *error = "file ends inside a continued hex list";
                    return false;
                }
                rest = skip_blanks(next);
                i = 0;
                continue;
            }
            if (c == ',') {
                if (expectByte) {
                    *error = "bad hex list: empty byte";
                    return false;
                }
                expectByte = true;
                ++i;
                continue;
            }
            int d1 = hex_digit(c);
            if (d1 < 0 || !expectByte) {
                *error = "bad hex list";
                return false;
            }
            unsigned value = static_cast<unsigned>(d1);
            ++i;
            if (i < rest.size() && hex_digit(rest[i]) >= 0) {
                value = value * 16 + static_cast<unsigned>(hex_digit(rest[i]));
                ++i;
                if (i < rest.size() && hex_digit(rest[i]) >= 0) {
                    *error = "bad hex list: byte above ff";
                    return false;
                }
            }
            if (out)
                out->push_back(static_cast<char>(value));
            expectByte = false;
        }
        return true;
    }
}

bool parse_type_number(std::string_view digits, std::uint32_t* type)
{
    if (digits.empty() || digits.size() > 8)
        return false;
    std::uint32_t value = 0;
    for (char c : digits) {
        int d = hex_digit(c);
        if (d < 0)
            return false;
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    *type = value;
    return true;
}

bool starts_with_nocase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char a = text[i];
        if (a >= 'A' && a <= 'Z')
            a = static_cast<char>(a + 32);
        if (a != prefix[i])
            return false;
    }
    return true;
}

// True when the data can be written as a quoted string: whole UTF-16 units
// ending in a NUL.
bool is_terminated_text(std::string_view data)
{
    return data.size() >= 2 && data.size() % 2 == 0 && data[data.size() - 1] == 0 && data[data.size() - 2] == 0;
}

}  // namespace

// Little-endian UTF-16 in a value's bytes, and back.
std::u16string units_of(std::string_view bytes)
{
    std::u16string units(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    return units;
}

std::string bytes_of(std::u16string_view units)
{
    std::string bytes(units.size() * 2, '\0');
    for (std::size_t i = 0; i < units.size(); ++i) {
        bytes[2 * i] = static_cast<char>(units[i] & 0xFF);
        bytes[2 * i + 1] = static_cast<char>(units[i] >> 8);
    }
    return bytes;
}

LineReader::LineReader(std::string_view text, std::size_t begin, std::size_t end, unsigned firstLine)
    : m_text(text), m_pos(begin), m_end(end == std::string_view::npos ? text.size() : end), m_line(firstLine - 1)
{
}

bool LineReader::next(std::string_view& line)
{
    if (m_pos >= m_end)
        return false;
    std::size_t stop = m_text.find('\n', m_pos);
    if (stop == std::string_view::npos || stop >= m_end)
        stop = m_end;
    line = m_text.substr(m_pos, stop - m_pos);
    if (!line.empty() && line.back() == '\r')
        line.remove_suffix(1);
    m_pos = stop < m_end ? stop + 1 : stop;
    ++m_line;
    return true;
}

std::string_view skip_blanks(std::string_view line)
{
    std::size_t i = 0;
    while (i < line.size() && is_blank(line[i]))
        ++i;
    return line.substr(i);
}

bool read_escaped(std::string_view text, char delimiter, std::u16string& out, std::size_t* used, std::string* error)
{
    std::size_t i = 0;
    while (i < text.size()) {
        // Plain characters are the bulk of every file: copy a run at once.
        std::size_t run = i;
        while (run < text.size() && text[run] != delimiter && text[run] != '\\' &&
               static_cast<unsigned char>(text[run]) < 0x80)
            ++run;
        if (run > i) {
            std::size_t old = out.size();
            out.resize(old + (run - i));
            for (std::size_t k = i; k < run; ++k)
                out[old + (k - i)] = static_cast<char16_t>(text[k]);
            i = run;
            continue;
        }
        char c = text[i];
        if (c == delimiter) {
            *used = i + 1;
            return true;
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            append_utf8(text, i, out);
            continue;
        }
        if (c != '\\') {
            out.push_back(static_cast<char16_t>(c));
            ++i;
            continue;
        }
        ++i;
        if (i >= text.size()) {
            *error = "bad escape: backslash at the end of the line";
            return false;
        }
        c = text[i];
        switch (c) {
        case 'a': out.push_back(u'\a'); ++i; continue;
        case 'b': out.push_back(u'\b'); ++i; continue;
        case 'e': out.push_back(u'\x1b'); ++i; continue;
        case 'f': out.push_back(u'\f'); ++i; continue;
        case 'n': out.push_back(u'\n'); ++i; continue;
        case 'r': out.push_back(u'\r'); ++i; continue;
        case 't': out.push_back(u'\t'); ++i; continue;
        case 'v': out.push_back(u'\v'); ++i; continue;
        default: break;
        }
        if (c == 'x') {
            ++i;
            unsigned value = 0;
            int digits = 0;
            while (digits < 4 && i < text.size() && hex_digit(text[i]) >= 0) {
                value = value * 16 + static_cast<unsigned>(hex_digit(text[i]));
                ++i;
                ++digits;
            }
            out.push_back(digits ? static_cast<char16_t>(value) : u'x');
            continue;
        }
        if (c >= '0' && c <= '7') {
            unsigned value = 0;
            int digits = 0;
            while (digits < 3 && i < text.size() && text[i] >= '0' && text[i] <= '7') {
                value = value * 8 + static_cast<unsigned>(text[i] - '0');
                ++i;
                ++digits;
            }
            out.push_back(static_cast<char16_t>(value));
            continue;
        }
        if (static_cast<unsigned char>(c) >= 0x80) {
            append_utf8(text, i, out);
            continue;
        }
        out.push_back(static_cast<char16_t>(c));
        ++i;
    }
    *error = "unterminated string";
    return false;
}

void write_escaped(std::string& out, std::u16string_view units, char delimiter)
{
    for (std::size_t i = 0; i < units.size(); ++i) {
        char16_t c = units[i];
        char16_t next = i + 1 < units.size() ? units[i + 1] : u'\0';
        bool nextIsOctal = i + 1 < units.size() && next >= u'0' && next <= u'7';
        bool nextIsHex = i + 1 < units.size() && next < 0x80 && hex_digit(static_cast<char>(next)) >= 0;
        if (c == u'\\') {
            out += "\\\\";
        } else if ((delimiter == '"' && c == u'"') || (delimiter == ']' && (c == u'[' || c == u']'))) {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            switch (c) {
            case 0x07: out += "\\a"; break;
            case 0x08: out += "\\b"; break;
            case 0x09: out += "\\t"; break;
            case 0x0A: out += "\\n"; break;
            case 0x0B: out += "\\v"; break;
            case 0x0C: out += "\\f"; break;
            case 0x0D: out += "\\r"; break;
            case 0x1B: out += "\\e"; break;
            default: {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, nextIsOctal ? "\\%03o" : "\\%o", static_cast<unsigned>(c));
                out += buffer;
            }
            }
        } else if (c < 0x80) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            append_hex(out, c, nextIsHex ? 4 : 1);
        }
    }
}

bool parse_key_header(std::string_view line, std::u16string& path, bool* hasSeconds, std::uint64_t* seconds,
                      std::string* error)
{
    line = skip_blanks(line);
    if (line.empty() || line[0] != '[') {
        *error = "key line does not start with [";
        return false;
    }
    std::size_t used = 0;
    std::string inner;
    if (!read_escaped(line.substr(1), ']', path, &used, &inner)) {
        *error = inner == "unterminated string" ? "key line without ]" : inner;
        return false;
    }
    std::string_view rest = skip_blanks(line.substr(1 + used));
    *hasSeconds = false;
    *seconds = 0;
    std::size_t i = 0;
    while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') {
        *seconds = *seconds * 10 + static_cast<std::uint64_t>(rest[i] - '0');
        *hasSeconds = true;
        ++i;
    }
    if (!only_blanks(rest.substr(i))) {
        *error = "unexpected text after the key name";
        return false;
    }
    return true;
}

bool parse_value(std::string_view line, LineReader& reader, Value* out, std::string* error)
{
    line = skip_blanks(line);
    // Checking a line only keeps nothing: reuse buffers instead of allocating.
    thread_local std::u16string scratchName;
    thread_local std::u16string scratchUnits;
    std::u16string localName;
    std::u16string& name = out ? localName : scratchName;
    name.clear();
    std::size_t pos = 0;
    if (!line.empty() && line[0] == '@') {
        pos = 1;
    } else if (!line.empty() && line[0] == '"') {
        std::size_t used = 0;
        if (!read_escaped(line.substr(1), '"', name, &used, error))
            return false;
        pos = 1 + used;
    } else {
        *error = "unrecognized line";
        return false;
    }
    while (pos < line.size() && is_blank(line[pos]))
        ++pos;
    if (pos >= line.size() || line[pos] != '=') {
        *error = "value without =";
        return false;
    }
    ++pos;
    while (pos < line.size() && is_blank(line[pos]))
        ++pos;
    std::string_view data = line.substr(pos);

    std::uint32_t type = kRegSz;
    std::string bytes;
    std::string* sink = out ? &bytes : nullptr;
    auto read_string = [&](std::string_view quoted) {
        std::u16string localUnits;
        std::u16string& units = sink ? localUnits : scratchUnits;
        units.clear();
        std::size_t used = 0;
        if (!read_escaped(quoted, '"', units, &used, error))
            return false;
        if (!only_blanks(quoted.substr(used))) {
            *error = "unexpected text after a string";
            return false;
        }
        units.push_back(u'\0');
        if (sink)
            *sink = bytes_of(units);
        return true;
    };

    if (!data.empty() && data[0] == '"') {
        if (!read_string(data.substr(1)))
            return false;
    } else if (starts_with_nocase(data, "str:\"")) {
        if (!read_string(data.substr(5)))
            return false;
    } else if (starts_with_nocase(data, "str(")) {
        std::size_t close = data.find("):\"");
        if (close == std::string_view::npos || !parse_type_number(data.substr(4, close - 4), &type)) {
            *error = "bad str() type";
            return false;
        }
        if (!read_string(data.substr(close + 3)))
            return false;
    } else if (starts_with_nocase(data, "dword:")) {
        type = kRegDword;
        std::string_view digits = data.substr(6);
        std::size_t n = 0;
        std::uint32_t value = 0;
        while (n < digits.size() && hex_digit(digits[n]) >= 0) {
            value = value * 16 + static_cast<std::uint32_t>(hex_digit(digits[n]));
            ++n;
        }
        if (n == 0 || n > 8 || !only_blanks(digits.substr(n))) {
            *error = "bad dword";
            return false;
        }
        for (int k = 0; k < 4; ++k)
            bytes.push_back(static_cast<char>((value >> (8 * k)) & 0xFF));
    } else if (starts_with_nocase(data, "hex:")) {
        type = kRegBinary;
        if (!read_hex_list(data.substr(4), reader, sink, error))
            return false;
    } else if (starts_with_nocase(data, "hex(")) {
        std::size_t close = data.find("):");
        if (close == std::string_view::npos || !parse_type_number(data.substr(4, close - 4), &type)) {
            *error = "bad hex() type";
            return false;
        }
        if (!read_hex_list(data.substr(close + 2), reader, sink, error))
            return false;
    } else {
        *error = "unrecognized value data";
        return false;
    }
    if (out) {
        out->name = std::move(name);
        out->type = type;
        out->data = std::move(bytes);
    }
    return true;
}

void write_value(std::string& out, const Value& value)
{
    std::size_t start = out.size();
    if (value.name.empty()) {
        out += '@';
    } else {
        out += '"';
        write_escaped(out, value.name, '"');
        out += '"';
    }
    out += '=';
    bool isString = value.type == kRegSz || value.type == kRegExpandSz || value.type == kRegMultiSz;
    if (isString && is_terminated_text(value.data)) {
        if (value.type != kRegSz) {
            out += "str(";
            append_hex(out, value.type, 1);
            out += "):";
        }
        std::u16string units = units_of(value.data);
        units.pop_back();
        out += '"';
        write_escaped(out, units, '"');
        out += "\"\n";
        return;
    }
    if (value.type == kRegDword && value.data.size() == 4) {
        std::uint32_t v = 0;
        for (int k = 3; k >= 0; --k)
            v = (v << 8) | static_cast<unsigned char>(value.data[static_cast<std::size_t>(k)]);
        out += "dword:";
        append_hex(out, v, 8);
        out += '\n';
        return;
    }
    if (value.type == kRegBinary) {
        out += "hex:";
    } else {
        out += "hex(";
        append_hex(out, value.type, 1);
        out += "):";
    }
    write_hex_bytes(out, value.data, out.size() - start);
    out += '\n';
}

std::uint64_t filetime_from_seconds(std::uint64_t seconds)
{
    return seconds * kFiletimeUnitsPerSecond + kFiletimeOfUnixEpoch;
}

std::uint64_t seconds_from_filetime(std::uint64_t filetime)
{
    return filetime < kFiletimeOfUnixEpoch ? 0 : (filetime - kFiletimeOfUnixEpoch) / kFiletimeUnitsPerSecond;
}

std::uint64_t filetime_now()
{
    auto since = std::chrono::system_clock::now().time_since_epoch();
    auto units = std::chrono::duration_cast<std::chrono::nanoseconds>(since).count() / 100;
    return static_cast<std::uint64_t>(units) + kFiletimeOfUnixEpoch;
}

void write_key_times(std::string& out, std::uint64_t filetime)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, " %llu\n#time=%x%08x\n",
                  static_cast<unsigned long long>(seconds_from_filetime(filetime)),
                  static_cast<unsigned>(filetime >> 32), static_cast<unsigned>(filetime & 0xFFFFFFFFu));
    out += buffer;
}

bool parse_time_option(std::string_view option, std::uint64_t* filetime)
{
    option = skip_blanks(option);
    if (option.substr(0, 6) != "#time=")
        return false;
    std::string_view digits = option.substr(6);
    std::uint64_t value = 0;
    std::size_t n = 0;
    while (n < digits.size() && n < 16 && hex_digit(digits[n]) >= 0) {
        value = value * 16 + static_cast<std::uint64_t>(hex_digit(digits[n]));
        ++n;
    }
    if (n == 0)
        return false;
    *filetime = value;
    return true;
}

int compare_names(std::u16string_view a, std::u16string_view b)
{
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = text::to_lower(a[i]);
        char16_t y = text::to_lower(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

}  // namespace platform::registry
