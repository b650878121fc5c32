#include "platform/text/codepage.h"

#include <array>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <memory>

namespace platform::text {
namespace {

constexpr char16_t kUndefinedCharacter = u'\u30FB';  // what Windows gives for an unmapped byte pair
constexpr char16_t kNoCharacter = 0xFFFF;
constexpr std::uint16_t kNotMapped = 0;
constexpr char kReplacement = '?';

// glibc's "CP932" is Windows' code page 932: 0x5C stays the backslash and the
// NEC and IBM extensions are included ("SHIFT_JIS" would give the yen sign).
constexpr const char* kCodePageName = "CP932";

class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter()
    {
        if (ok())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool ok() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts one complete input; false when iconv refuses any of it.
    bool convert(const char* in, std::size_t inLen, char* out, std::size_t outCap, std::size_t* outLen)
    {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in);
        char* dst = out;
        std::size_t left = inLen;
        std::size_t room = outCap;
        if (iconv(m_cd, &src, &left, &dst, &room) == static_cast<std::size_t>(-1) || left != 0)
            return false;
        if (iconv(m_cd, nullptr, nullptr, &dst, &room) == static_cast<std::size_t>(-1))
            return false;
        *outLen = outCap - room;
        return true;
    }

private:
    iconv_t m_cd;
};

// Both directions of code page 932 as tables, built once from iconv, so that
// converting a name costs a table lookup per character.
struct Tables {
    std::array<char16_t, 256> single{};           // single bytes
    std::array<char16_t, 0x10000> dual{};         // lead << 8 | trail
    std::array<std::uint16_t, 0x10000> reverse{}; // UTF-16 unit -> code (<= 0xFF single)

    Tables()
    {
        single.fill(kNoCharacter);
        dual.fill(kNoCharacter);
        reverse.fill(kNotMapped);
        Converter decode("UTF-16LE", kCodePageName);
        Converter encode(kCodePageName, "UTF-16LE");
        char out[8];
        std::size_t outLen = 0;
        for (unsigned b = 0; b < 256; ++b) {
            if (is_lead_byte(static_cast<unsigned char>(b)))
                continue;
            char in[1] = {static_cast<char>(b)};
            if (decode.ok() && decode.convert(in, 1, out, sizeof out, &outLen) && outLen == 2)
                single[b] = static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
        }
        for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
            if (!is_lead_byte(static_cast<unsigned char>(lead)))
                continue;
            for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
                if (!is_trail_byte(static_cast<unsigned char>(trail)))
                    continue;
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                if (decode.ok() && decode.convert(in, 2, out, sizeof out, &outLen) && outLen == 2)
                    dual[lead << 8 | trail] = static_cast<char16_t>(static_cast<unsigned char>(out[0]) | static_cast<unsigned char>(out[1]) << 8);
            }
        }
        for (unsigned unit = 1; unit < 0x10000; ++unit) {
            if (unit >= 0xD800 && unit <= 0xDFFF)
                continue;
            char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
            if (!encode.ok() || !encode.convert(in, 2, out, sizeof out, &outLen))
                continue;
            if (outLen == 1)
                reverse[unit] = static_cast<unsigned char>(out[0]);
            else if (outLen == 2)
                reverse[unit] = static_cast<std::uint16_t>(static_cast<unsigned char>(out[0]) << 8 | static_cast<unsigned char>(out[1]));
        }
    }
};

const Tables& tables()
{
    static const std::unique_ptr<Tables> instance = std::make_unique<Tables>();
    return *instance;
}

void append_utf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | cp >> 6);
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | cp >> 12);
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | cp >> 18);
        out += static_cast<char>(0x80 | (cp >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (cp >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

bool is_lead_byte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool is_trail_byte(unsigned char byte)
{
    return byte >= 0x40 && byte <= 0xFC && byte != 0x7F;
}

std::u16string cp932_to_utf16(std::string_view text)
{
    const Tables& t = tables();
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        if (b < 0x80) {
            out += static_cast<char16_t>(b);
            continue;
        }
        if (is_lead_byte(b)) {
            if (i + 1 < text.size() && is_trail_byte(static_cast<unsigned char>(text[i + 1]))) {
                char16_t unit = t.dual[b << 8 | static_cast<unsigned char>(text[i + 1])];
                out += unit == kNoCharacter ? kUndefinedCharacter : unit;
                ++i;
            } else {
                out += kUndefinedCharacter;
            }
            continue;
        }
        char16_t unit = t.single[b];
        out += unit == kNoCharacter ? kUndefinedCharacter : unit;
    }
    return out;
}

std::string utf16_to_cp932(std::u16string_view text, bool* lossy)
{
    const Tables& t = tables();
    std::string out;
    out.reserve(text.size() * 2);
    bool lost = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t unit = text[i];
        if (unit == 0) {
            out += '\0';
            continue;
        }
        if (unit < 0x80) {
            out += static_cast<char>(unit);
            continue;
        }
        std::uint16_t code = (unit >= 0xD800 && unit <= 0xDFFF) ? kNotMapped : t.reverse[unit];
        if (code == kNotMapped) {
            out += kReplacement;
            lost = true;
            // A surrogate pair is one character and gets one '?'.
            if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF)
                ++i;
        } else if (code <= 0xFF) {
            out += static_cast<char>(code);
        } else {
            out += static_cast<char>(code >> 8);
            out += static_cast<char>(code & 0xFF);
        }
    }
    if (lossy)
        *lossy = lost;
    return out;
}

std::string utf16_to_utf8(std::u16string_view text)
{
    std::string out;
    out.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            char32_t cp = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            append_utf8(out, cp);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            append_utf8(out, 0xFFFD);
        } else {
            append_utf8(out, unit);
        }
    }
    return out;
}

std::u16string utf8_to_utf16(std::string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    std::size_t i = 0;
    while (i < text.size()) {
        unsigned char b = static_cast<unsigned char>(text[i]);
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (b < 0x80) {
            cp = b;
        } else if (b >= 0xC2 && b <= 0xF4) {
            std::size_t need = b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
            char32_t value = b & (need == 2 ? 0x1F : need == 3 ? 0x0F : 0x07);
            bool good = i + need <= text.size();
            for (std::size_t k = 1; good && k < need; ++k) {
                unsigned char c = static_cast<unsigned char>(text[i + k]);
                if ((c & 0xC0) != 0x80)
                    good = false;
                else
                    value = value << 6 | (c & 0x3F);
            }
            bool shortest = (need == 2) || (need == 3 && value >= 0x800) || (need == 4 && value >= 0x10000);
            if (good && shortest && value <= 0x10FFFF && !(value >= 0xD800 && value <= 0xDFFF)) {
                cp = value;
                len = need;
            }
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out += static_cast<char16_t>(0xD800 + (cp >> 10));
            out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += len;
    }
    return out;
}

std::string cp932_to_utf8(std::string_view text)
{
    return utf16_to_utf8(cp932_to_utf16(text));
}

std::string utf8_to_cp932(std::string_view text, bool* lossy)
{
    return utf16_to_cp932(utf8_to_utf16(text), lossy);
}

}  // namespace platform::text
