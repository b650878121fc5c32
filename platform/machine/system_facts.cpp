#include "platform/machine/system_facts.h"

#include "platform/machine/win32_system.h"
#include "platform/registry/registry.h"
#include "platform/text/case.h"

namespace platform::machine {
namespace {

constexpr std::u16string_view kNtCurrentVersion = u"Software\\Microsoft\\Windows NT\\CurrentVersion";
constexpr std::u16string_view kCurrentVersion = u"Software\\Microsoft\\Windows\\CurrentVersion";
constexpr std::u16string_view kShellFolders = u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr std::u16string_view kUserShellFolders =
    u"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
constexpr std::u16string_view kProfileList = u"Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
constexpr std::u16string_view kEnvironment = u"System\\CurrentControlSet\\Control\\Session Manager\\Environment";

constexpr std::u16string_view kDefaultWindowsDirectory = u"C:\\windows";
constexpr std::u16string_view kDefaultProgramData = u"C:\\ProgramData";
constexpr std::u16string_view kDefaultPublic = u"C:\\users\\Public";
constexpr std::u16string_view kDefaultCommonStartMenu = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu";
constexpr std::u16string_view kDefaultProgramFiles = u"C:\\Program Files";

// Variables may name variables; a loop of them stops here.
constexpr int kMaxExpansionDepth = 8;

// A path without trailing backslashes, except the one of a drive's root.
std::u16string without_trailing_backslash(std::u16string path)
{
    while (path.size() > 3 && path.back() == u'\\')
        path.pop_back();
    return path;
}

// A non-empty string value: this 32-bit program's own view first, then the
// native tree (in a 64-bit prefix the system's folders live only there).
std::optional<std::u16string> read_value(std::u16string_view key, std::u16string_view name)
{
    using registry::View;
    for (View view : {View::wow32, View::native}) {
        auto value = registry::read_machine_string(key, name, view);
        if (value && !value->empty())
            return value;
    }
    return std::nullopt;
}

std::optional<std::u16string> expand(std::u16string_view text, int depth);

// A value that may hold %VARIABLES% (REG_EXPAND_SZ), expanded.
std::optional<std::u16string> read_expanded(std::u16string_view key, std::u16string_view name, int depth)
{
    auto value = read_value(key, name);
    if (!value)
        return std::nullopt;
    return expand(*value, depth + 1);
}

std::u16string program_data(int depth)
{
    if (auto value = read_expanded(kProfileList, u"ProgramData", depth))
        return without_trailing_backslash(*value);
    if (auto value = read_expanded(kEnvironment, u"ProgramData", depth))
        return without_trailing_backslash(*value);
    return std::u16string(kDefaultProgramData);
}

std::optional<std::u16string> variable(std::u16string_view name, int depth)
{
    using text::equal_ignoring_case;
    if (equal_ignoring_case(name, u"SystemRoot") || equal_ignoring_case(name, u"windir"))
        return windows_directory();
    if (equal_ignoring_case(name, u"SystemDrive"))
        return windows_directory().substr(0, 2);
    if (equal_ignoring_case(name, u"ProgramData"))
        return program_data(depth);
    if (equal_ignoring_case(name, u"ALLUSERSPROFILE")) {
        if (auto value = read_expanded(kEnvironment, u"ALLUSERSPROFILE", depth))
            return without_trailing_backslash(*value);
        return program_data(depth);
    }
    if (equal_ignoring_case(name, u"PUBLIC")) {
        if (auto value = read_expanded(kProfileList, u"Public", depth))
            return without_trailing_backslash(*value);
        if (auto value = read_expanded(kEnvironment, u"PUBLIC", depth))
            return without_trailing_backslash(*value);
        return std::u16string(kDefaultPublic);
    }
    return read_expanded(kEnvironment, name, depth);
}

std::optional<std::u16string> expand(std::u16string_view text, int depth)
{
    if (depth > kMaxExpansionDepth)
        return std::nullopt;
    std::u16string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text[i] != u'%') {
            out += text[i++];
            continue;
        }
        const std::size_t end = text.find(u'%', i + 1);
        if (end == std::u16string_view::npos || end == i + 1)
            return std::nullopt;
        auto value = variable(text.substr(i + 1, end - i - 1), depth);
        if (!value)
            return std::nullopt;
        out += *value;
        i = end + 1;
    }
    return out;
}

// A folder of the Explorer's lists: the plain path, else the one with
// variables, else the given default.
std::u16string shell_folder(std::u16string_view name, std::u16string fallback)
{
    if (auto value = read_value(kShellFolders, name))
        return without_trailing_backslash(*value);
    if (auto value = read_expanded(kUserShellFolders, name, 0))
        return without_trailing_backslash(*value);
    return fallback;
}

}  // namespace

std::u16string windows_directory()
{
    if (auto value = read_value(kNtCurrentVersion, u"SystemRoot"))
        return without_trailing_backslash(*value);
    if (auto value = read_value(kCurrentVersion, u"SystemRoot"))
        return without_trailing_backslash(*value);
    return std::u16string(kDefaultWindowsDirectory);
}

std::u16string common_start_menu()
{
    return shell_folder(u"Common Start Menu", std::u16string(kDefaultCommonStartMenu));
}

std::optional<std::u16string> expand_machine_variables(std::u16string_view text)
{
    return expand(text, 0);
}

std::optional<std::u16string> special_folder(int csidl)
{
    switch (csidl) {
    case CSIDL_COMMON_STARTMENU:
        return common_start_menu();
    case CSIDL_COMMON_PROGRAMS:
        return shell_folder(u"Common Programs", common_start_menu() + u"\\Programs");
    case CSIDL_COMMON_DESKTOPDIRECTORY:
        return shell_folder(u"Common Desktop", *variable(u"PUBLIC", 0) + u"\\Desktop");
    case CSIDL_COMMON_APPDATA:
        return shell_folder(u"Common AppData", program_data(0));
    case CSIDL_WINDOWS:
        return windows_directory();
    case CSIDL_SYSTEM:
        return windows_directory() + u"\\system32";
    case CSIDL_PROGRAM_FILES:
        if (auto value = read_expanded(kCurrentVersion, u"ProgramFilesDir", 0))
            return without_trailing_backslash(*value);
        return std::u16string(kDefaultProgramFiles);
    default:
        return std::nullopt;
    }
}

}  // namespace platform::machine
