#include "platform/text/mbstring.h"
#include "platform/mfc/string.h"

#include <gtest/gtest.h>

#include <string>

namespace {
std::string lowered(std::string text)
{
    _mbslwr(reinterpret_cast<unsigned char*>(text.data()));
    return text;
}
const unsigned char* u(const char* s)
{
    return reinterpret_cast<const unsigned char*>(s);
}
}  // namespace

TEST(MbsLwr, LowersSingleByteCapitalsAndDoubleByteCharactersAsAWhole)
{
    struct Case {
        const char* name;
        const char* in;
        const char* out;
    } cases[] = {
        {"ascii", "Program FILES", "program files"},
        {"full-width A", "\x82\x60", "\x82\x81"},           // Ａ -> ａ
        {"greek capital alpha", "\x83\x9F", "\x83\xBF"},    // Α -> α
        {"cyrillic capital a", "\x84\x40", "\x84\x70"},     // А -> а
        {"katakana i keeps its 43", "\x83\x43X", "\x83\x43x"},  // イ unchanged
        {"half-width katakana unchanged", "\xBD\xC4", "\xBD\xC4"},
        {"table keeps its 5C", "\x95\x5C" "A", "\x95\x5C" "a"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(lowered(c.in), c.out);
    }
}

TEST(MbsRChr, FindsOnlyABackslashThatIsACharacterOfItsOwn)
{
    const char* path = "C:\\\x95\x5C\\\x83\x5C";  // C:\表\ソ
    EXPECT_EQ(_mbsrchr(u(path), '\\'), u(path) + 5);
    const char* noSeparator = "\x95\x5C\x83\x5C";
    EXPECT_EQ(_mbsrchr(u(noSeparator), '\\'), nullptr);
}

TEST(MbsCmp, ComparesCharactersNotBytes)
{
    EXPECT_EQ(_mbscmp(u("book"), u("book")), 0);
    EXPECT_NE(_mbscmp(u("book"), u("Book")), 0);
    // Half-width katakana (one byte, A1-DF) come before every double-byte character.
    EXPECT_LT(_mbscmp(u("\xB1"), u("\x81\x40")), 0);
    EXPECT_LT(_mbscmp(u("ab"), u("abc")), 0);
}

TEST(CString, SplitsPathsAtTheirLastRealBackslash)
{
    CString path("C:\\Data\\\x95\x5C");  // C:\Data\表
    int p = path.ReverseFind('\\');
    EXPECT_EQ(p, 7);
    EXPECT_EQ(path.Right(path.GetLength() - p - 1), CString("\x95\x5C"));
    EXPECT_EQ(path.Left(p), CString("C:\\Data"));
    EXPECT_EQ(CString("\x95\x5C").ReverseFind('\\'), -1);
    CString empty;
    EXPECT_EQ(empty.ReverseFind('\\'), -1);
    EXPECT_EQ(empty.Right(empty.GetLength() - empty.ReverseFind('\\') - 1), CString(""));
}

TEST(CString, BuildsAndComparesText)
{
    CString s = CString("SoftWare\\") + "VKL";
    s += "\\";
    s += CString("MirabelLE");
    EXPECT_STREQ(static_cast<LPCTSTR>(s), "SoftWare\\VKL\\MirabelLE");
    EXPECT_EQ(s.GetLength(), 22);
    CString copy(s);
    copy.MakeLower();
    EXPECT_EQ(copy, "software\\vkl\\mirabelle");
    EXPECT_NE(copy, s);
    CString none(static_cast<LPCTSTR>(nullptr));
    EXPECT_TRUE(none.IsEmpty());
    s.Empty();
    EXPECT_TRUE(s.IsEmpty());
}

TEST(CStringArray, KeepsNamesInTheOrderAdded)
{
    CStringArray list;
    EXPECT_EQ(list.GetSize(), 0);
    list.Add("b");
    list.Add(CString("a"));
    ASSERT_EQ(list.GetSize(), 2);
    EXPECT_EQ(list.GetAt(0), "b");
    EXPECT_EQ(list.GetAt(1), "a");
    list.RemoveAll();
    EXPECT_EQ(list.GetSize(), 0);
}
