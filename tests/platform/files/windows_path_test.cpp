#include "platform/files/windows_path.h"

#include <gtest/gtest.h>

namespace {

using platform::files::FullPath;
using platform::files::WindowsPath;

struct PathCase {
    const char* what;
    std::u16string_view given;
    std::u16string_view expected;  // empty: refused
};

TEST(FullPath, IsBuiltAsWindowsBuildsIt)
{
    const WindowsPath current{u'C', {u"Work", u"Sub"}};
    const PathCase cases[] = {
        {"a full path stays as it is", u"D:\\Apps\\Tool", u"D:\\Apps\\Tool"},
        {"a lower-case drive letter is upper-cased", u"d:\\Apps", u"D:\\Apps"},
        {"forward slashes separate too", u"C:/a/b", u"C:\\a\\b"},
        {"a relative path goes below the current directory", u"x\\y", u"C:\\Work\\Sub\\x\\y"},
        {"a rooted path stays on the current drive", u"\\x", u"C:\\x"},
        {"C:x is relative to the current directory on its drive", u"C:x", u"C:\\Work\\Sub\\x"},
        {"D:x is relative to D:'s root on another drive", u"D:x", u"D:\\x"},
        {"dot and doubled separators name the same folder", u".\\x\\\\.\\y", u"C:\\Work\\Sub\\x\\y"},
        {"dot-dot steps up", u"..\\x", u"C:\\Work\\x"},
        {"dot-dot stops at the drive's root", u"..\\..\\..\\..\\x", u"C:\\x"},
        {"dot-dot after a full path stops at its root", u"C:\\..\\..", u"C:\\"},
        {"a trailing separator is dropped", u"C:\\a\\", u"C:\\a"},
        {"an empty path is refused", u"", u""},
        {"a network path is refused", u"\\\\server\\share", u""},
    };
    for (const PathCase& c : cases) {
        FullPath full;
        DWORD error = platform::files::full_path(c.given, current, full);
        if (c.expected.empty()) {
            EXPECT_NE(error, static_cast<DWORD>(ERROR_SUCCESS)) << c.what;
        } else {
            EXPECT_EQ(error, static_cast<DWORD>(ERROR_SUCCESS)) << c.what;
            EXPECT_EQ(full.path.text(), c.expected) << c.what;
        }
    }
}

TEST(FullPath, NamesWindowsCannotHoldAreInvalid)
{
    EXPECT_TRUE(platform::files::is_valid_name(u"Program Files"));
    EXPECT_TRUE(platform::files::is_valid_name(u"\u8868"));  // 表
    for (std::u16string_view bad : {u"", u"a*b", u"a?b", u"a:b", u"a|b", u"a\"b", u"a<b", u"a\\b", u"a\x01"})
        EXPECT_FALSE(platform::files::is_valid_name(bad));
}

}  // namespace
