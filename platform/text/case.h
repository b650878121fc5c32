#pragma once
// Letter case as Windows maps it (LCMAP_LOWERCASE / LCMAP_UPPERCASE): simple,
// one code unit to one code unit, for every letter of the BMP.

#include <string>
#include <string_view>

namespace platform::text {

char16_t to_lower(char16_t unit);
char16_t to_upper(char16_t unit);

std::u16string to_lower(std::u16string_view text);
std::u16string to_upper(std::u16string_view text);

// Compares two names without regard to case: <0, 0 or >0, after lowering.
int compare_ignoring_case(std::u16string_view a, std::u16string_view b);

bool equal_ignoring_case(std::u16string_view a, std::u16string_view b);

}  // namespace platform::text
