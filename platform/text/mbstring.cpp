#include "platform/text/mbstring.h"

#include "platform/text/case.h"
#include "platform/text/codepage.h"

#include <cstring>
#include <string>

namespace {

constexpr int kJapaneseCodePage = 932;

using platform::text::is_lead_byte;

bool is_double_at(const unsigned char* p)
{
    return is_lead_byte(p[0]) && p[1] != 0;
}

// Maps one double-byte character through a case table; the result is used
// only when it is again one double-byte character of code page 932.
template <typename Map>
void map_double(unsigned char* p, Map map)
{
    std::string one(reinterpret_cast<const char*>(p), 2);
    std::u16string wide = platform::text::cp932_to_utf16(one);
    if (wide.size() != 1)
        return;
    char16_t mapped = map(wide[0]);
    if (mapped == wide[0])
        return;
    bool lossy = false;
    std::string back = platform::text::utf16_to_cp932(std::u16string(1, mapped), &lossy);
    if (lossy || back.size() != 2)
        return;
    p[0] = static_cast<unsigned char>(back[0]);
    p[1] = static_cast<unsigned char>(back[1]);
}

template <typename Map>
unsigned char* map_string(unsigned char* string, bool lower, Map map)
{
    if (!string)
        return string;
    for (unsigned char* p = string; *p;) {
        if (is_double_at(p)) {
            map_double(p, map);
            p += 2;
            continue;
        }
        if (lower && *p >= 'A' && *p <= 'Z')
            *p = static_cast<unsigned char>(*p + ('a' - 'A'));
        else if (!lower && *p >= 'a' && *p <= 'z')
            *p = static_cast<unsigned char>(*p - ('a' - 'A'));
        ++p;
    }
    return string;
}

unsigned int char_at(const unsigned char* p, std::size_t* width)
{
    if (is_double_at(p)) {
        *width = 2;
        return static_cast<unsigned int>(p[0] << 8 | p[1]);
    }
    *width = 1;
    return p[0];
}

}  // namespace

int _setmbcp(int codepage)
{
    if (codepage == kJapaneseCodePage || codepage == _MB_CP_ANSI || codepage == _MB_CP_OEM)
        return 0;
    return -1;
}

int _getmbcp()
{
    return kJapaneseCodePage;
}

int _ismbblead(unsigned int c)
{
    return is_lead_byte(static_cast<unsigned char>(c & 0xFF)) ? 1 : 0;
}

int _mbscmp(const unsigned char* string1, const unsigned char* string2)
{
    const unsigned char* a = string1;
    const unsigned char* b = string2;
    for (;;) {
        std::size_t wa = 0;
        std::size_t wb = 0;
        unsigned int ca = char_at(a, &wa);
        unsigned int cb = char_at(b, &wb);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
        a += wa;
        b += wb;
    }
}

unsigned char* _mbslwr(unsigned char* string)
{
    return map_string(string, true, [](char16_t u) { return platform::text::to_lower(u); });
}

unsigned char* _mbsupr(unsigned char* string)
{
    return map_string(string, false, [](char16_t u) { return platform::text::to_upper(u); });
}

unsigned char* _mbsrchr(const unsigned char* string, unsigned int c)
{
    const unsigned char* found = nullptr;
    const unsigned char* p = string;
    for (;;) {
        std::size_t width = 0;
        unsigned int ch = char_at(p, &width);
        if (ch == c)
            found = p;
        if (ch == 0)
            break;
        p += width;
    }
    return const_cast<unsigned char*>(found);
}

unsigned char* _mbschr(const unsigned char* string, unsigned int c)
{
    for (const unsigned char* p = string;;) {
        std::size_t width = 0;
        unsigned int ch = char_at(p, &width);
        if (ch == c)
            return const_cast<unsigned char*>(p);
        if (ch == 0)
            return nullptr;
        p += width;
    }
}

std::size_t _mbslen(const unsigned char* string)
{
    std::size_t count = 0;
    for (const unsigned char* p = string; *p;) {
        p += is_double_at(p) ? 2 : 1;
        ++count;
    }
    return count;
}
