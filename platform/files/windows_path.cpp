#include "platform/files/windows_path.h"

#include "platform/text/case.h"

namespace platform::files {
namespace {

constexpr char16_t kBackslash = u'\\';
constexpr char16_t kSlash = u'/';
constexpr char16_t kColon = u':';

bool is_separator(char16_t c)
{
    return c == kBackslash || c == kSlash;
}

bool is_drive_letter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

char16_t upper_drive(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Appends the names of `rest` to `names`, collapsing "." and "..".
void append_names(std::u16string_view rest, std::vector<std::u16string>& names)
{
    std::size_t pos = 0;
    while (pos <= rest.size()) {
        std::size_t end = pos;
        while (end < rest.size() && !is_separator(rest[end]))
            ++end;
        std::u16string_view name = rest.substr(pos, end - pos);
        if (name.empty() || name == u".") {
            // Doubled separators and "." name the same folder.
        } else if (name == u"..") {
            if (!names.empty())
                names.pop_back();  // ".." at a drive's root stays at the root
        } else {
            names.emplace_back(name);
        }
        pos = end + 1;
    }
}

}  // namespace

std::u16string WindowsPath::text() const
{
    std::u16string out;
    out += drive;
    out += kColon;
    if (components.empty())
        out += kBackslash;
    for (const std::u16string& name : components) {
        out += kBackslash;
        out += name;
    }
    return out;
}

DWORD full_path(std::u16string_view path, const WindowsPath& current, FullPath& out)
{
    if (path.empty())
        return ERROR_PATH_NOT_FOUND;
    out = FullPath{};
    out.endsWithSeparator = is_separator(path.back());

    if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1]))
        return ERROR_INVALID_NAME;  // network and device paths lead off the machine

    std::u16string_view rest = path;
    if (path.size() >= 2 && path[1] == kColon && is_drive_letter(path[0])) {
        out.path.drive = upper_drive(path[0]);
        rest = path.substr(2);
        bool fromRoot = !rest.empty() && is_separator(rest[0]);
        if (!fromRoot && out.path.drive == current.drive)
            out.path.components = current.components;
    } else if (is_separator(path[0])) {
        out.path.drive = current.drive;
    } else {
        out.path = current;
    }
    append_names(rest, out.path.components);
    return ERROR_SUCCESS;
}

bool is_valid_name(std::u16string_view name)
{
    if (name.empty())
        return false;
    for (char16_t c : name) {
        if (c < 0x20)
            return false;
        switch (c) {
        case u'\\': case u'/': case u':': case u'*': case u'?':
        case u'"': case u'<': case u'>': case u'|':
            return false;
        default:
            break;
        }
    }
    return true;
}

bool same_path(const WindowsPath& a, const WindowsPath& b)
{
    if (a.drive != b.drive || a.components.size() != b.components.size())
        return false;
    for (std::size_t i = 0; i < a.components.size(); ++i) {
        if (!text::equal_ignoring_case(a.components[i], b.components[i]))
            return false;
    }
    return true;
}

}  // namespace platform::files
