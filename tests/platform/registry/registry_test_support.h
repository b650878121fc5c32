#pragma once
// Small helpers shared by the registry tests.

#include "platform/registry/hive_text.h"
#include "tests/support/temp_machine.h"

#include <string>
#include <vector>

namespace registrytest {

// A file Wine wrote, from the test data.
inline std::string wine_file(const char* name)
{
    return testsupport::read_file(testsupport::wine_made_file(name));
}

inline const std::vector<const char*>& wine_files()
{
    static const std::vector<const char*> names = {"wine-8.0-constructs-system.reg",
                                                    "wine-8.0-win64-fresh-system.reg",
                                                    "wine-8.0-win64-product-system.reg"};
    return names;
}

// The byte range of the section whose header line starts with header
// ("[Software\\\\X]"), from its "[" to the end of its last line.
inline std::pair<std::size_t, std::size_t> section_range(const std::string& text, const std::string& header)
{
    std::size_t begin = text.find("\n" + header + " ");
    if (begin == std::string::npos)
        return {std::string::npos, std::string::npos};
    ++begin;
    std::size_t end = text.find("\n\n[", begin);
    end = end == std::string::npos ? text.size() : end + 1;
    return {begin, end};
}

// text without the given section and the blank line before it.
inline std::string without_section(const std::string& text, const std::string& header)
{
    auto [begin, end] = section_range(text, header);
    if (begin == std::string::npos)
        return text;
    // Take the blank line before the section along with it.
    return text.substr(0, begin - 1) + text.substr(end);
}

// A string as Wine writes it into system.reg, quotes included.
inline std::string reg_string(std::u16string_view text)
{
    std::string out = "\"";
    platform::registry::write_escaped(out, text, '"');
    return out + "\"";
}

}  // namespace registrytest
