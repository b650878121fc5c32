#include "platform/machine/version.h"

#include "platform/registry/registry.h"

#include <vector>

namespace platform::machine {
namespace {

// The leading decimal numbers of "6.1", "4.10.2222" or "7601", in order.
std::vector<std::uint32_t> numbers_of(std::u16string_view text)
{
    std::vector<std::uint32_t> numbers;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] < u'0' || text[i] > u'9')
            break;
        std::uint32_t value = 0;
        while (i < text.size() && text[i] >= u'0' && text[i] <= u'9') {
            value = value * 10 + static_cast<std::uint32_t>(text[i] - u'0');
            ++i;
        }
        numbers.push_back(value);
        if (i < text.size() && text[i] == u'.')
            ++i;
        else
            break;
    }
    return numbers;
}

}  // namespace

WindowsVersion windows_version()
{
    using registry::read_machine_string;
    using registry::View;
    WindowsVersion version;
    constexpr std::u16string_view ntKey = u"Software\\Microsoft\\Windows NT\\CurrentVersion";
    if (auto current = read_machine_string(ntKey, u"CurrentVersion", View::native)) {
        auto numbers = numbers_of(*current);
        version.platformId = kPlatformWindowsNt;
        version.major = numbers.size() > 0 ? numbers[0] : 0;
        version.minor = numbers.size() > 1 ? numbers[1] : 0;
        auto build = read_machine_string(ntKey, u"CurrentBuildNumber", View::native);
        auto buildNumbers = build ? numbers_of(*build) : std::vector<std::uint32_t>();
        version.build = buildNumbers.empty() ? 0 : buildNumbers[0];
        version.csd = read_machine_string(ntKey, u"CSDVersion", View::native).value_or(u"");
        return version;
    }
    constexpr std::u16string_view windowsKey = u"Software\\Microsoft\\Windows\\CurrentVersion";
    if (auto number = read_machine_string(windowsKey, u"VersionNumber", View::native)) {
        auto numbers = numbers_of(*number);
        version.platformId = kPlatformWindows95;
        version.major = numbers.size() > 0 ? numbers[0] : 0;
        version.minor = numbers.size() > 1 ? numbers[1] : 0;
        version.build = numbers.size() > 2 ? numbers[2] : 0;
        version.csd = read_machine_string(windowsKey, u"SubVersionNumber", View::native).value_or(u"");
        return version;
    }
    return version;
}

}  // namespace platform::machine
