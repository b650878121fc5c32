#include "platform/text/case.h"

#include <array>
#include <clocale>
#include <cwctype>
#include <locale.h>
#include <wctype.h>

namespace platform::text {
namespace {

struct CaseTables {
    std::array<char16_t, 0x10000> lower{};
    std::array<char16_t, 0x10000> upper{};

    CaseTables()
    {
        // The C.UTF-8 locale of glibc carries the Unicode simple case
        // mappings; it is used through a locale object of its own so that the
        // program's global locale does not matter.
        locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
        for (std::size_t unit = 0; unit < lower.size(); ++unit) {
            char16_t lo = static_cast<char16_t>(unit);
            char16_t up = static_cast<char16_t>(unit);
            bool isSurrogate = unit >= 0xD800 && unit <= 0xDFFF;
            if (!isSurrogate) {
                if (utf8 != static_cast<locale_t>(0)) {
                    wint_t l = towlower_l(static_cast<wint_t>(unit), utf8);
                    wint_t u = towupper_l(static_cast<wint_t>(unit), utf8);
                    if (l < 0x10000) lo = static_cast<char16_t>(l);
                    if (u < 0x10000) up = static_cast<char16_t>(u);
                } else if (unit < 0x80) {
                    if (unit >= 'A' && unit <= 'Z') lo = static_cast<char16_t>(unit + 32);
                    if (unit >= 'a' && unit <= 'z') up = static_cast<char16_t>(unit - 32);
                }
            }
            lower[unit] = lo;
            upper[unit] = up;
        }
        if (utf8 != static_cast<locale_t>(0))
            freelocale(utf8);
    }
};

const CaseTables& tables()
{
    static const CaseTables instance;
    return instance;
}

}  // namespace

char16_t to_lower(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= u'A' && unit <= u'Z') ? static_cast<char16_t>(unit + 32) : unit;
    return tables().lower[unit];
}

char16_t to_upper(char16_t unit)
{
    if (unit < 0x80)
        return (unit >= u'a' && unit <= u'z') ? static_cast<char16_t>(unit - 32) : unit;
    return tables().upper[unit];
}

std::u16string to_lower(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& unit : out)
        unit = to_lower(unit);
    return out;
}

std::u16string to_upper(std::u16string_view text)
{
    std::u16string out(text);
    for (auto& unit : out)
        unit = to_upper(unit);
    return out;
}

int compare_ignoring_case(std::u16string_view a, std::u16string_view b)
{
    std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        char16_t x = to_lower(a[i]);
        char16_t y = to_lower(b[i]);
        if (x != y)
            return x < y ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

bool equal_ignoring_case(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() && compare_ignoring_case(a, b) == 0;
}

}  // namespace platform::text
