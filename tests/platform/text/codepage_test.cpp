#include "platform/text/case.h"
#include "platform/text/codepage.h"

#include <gtest/gtest.h>

using namespace platform::text;

TEST(CodePage932, BackslashStaysBackslashAndTrailBytes5CAreNoSeparators)
{
    // 表 is 95 5C and ソ is 83 5C: the 5C belongs to the character.
    EXPECT_EQ(cp932_to_utf16("C:\\\x95\x5C\\\x83\x5C"), u"C:\\表\\ソ");
    EXPECT_EQ(utf16_to_cp932(u"C:\\表\\ソ"), "C:\\\x95\x5C\\\x83\x5C");
}

TEST(CodePage932, HalfWidthKatakanaAreSingleBytes)
{
    EXPECT_EQ(cp932_to_utf16("\xBD\xC4\xAF\xB8"), u"ｽﾄｯｸ");
    EXPECT_EQ(utf16_to_cp932(u"ｽﾄｯｸﾌﾞｯｸ削除"), "\xBD\xC4\xAF\xB8\xCC\xDE\xAF\xB8\x8D\xED\x8F\x9C");
}

TEST(CodePage932, WhatCannotBeExpressedBecomesAQuestionMark)
{
    bool lossy = false;
    EXPECT_EQ(utf16_to_cp932(u"a\u00E9b", &lossy), "a?b");
    EXPECT_TRUE(lossy);
    EXPECT_EQ(utf16_to_cp932(u"x\U0001F600y", &lossy), "x?y");
    EXPECT_TRUE(lossy);
    utf16_to_cp932(u"ミラベルLE", &lossy);
    EXPECT_FALSE(lossy);
}

TEST(CodePage932, UndefinedBytesAndLoneLeadBytesDecodeToTheMiddleDot)
{
    EXPECT_EQ(cp932_to_utf16("a\x81"), u"a\u30FB");
    EXPECT_EQ(cp932_to_utf16("\xA0"), u"\u30FB");
}

TEST(Utf8, RoundTripsThroughUtf16IncludingSurrogates)
{
    std::string text = "ミラベルLE \xF0\x9F\x98\x80 é";
    EXPECT_EQ(utf16_to_utf8(utf8_to_utf16(text)), text);
    EXPECT_EQ(utf8_to_utf16("\xF0\x9F\x98\x80"), u"\xD83D\xDE00");
    EXPECT_EQ(utf8_to_utf16("a\xFF" "b"), u"a\uFFFDb");
    EXPECT_EQ(cp932_to_utf8("\x83\x7E\x83\x89\x83\x78\x83\x8B"), "ミラベル");
}

TEST(LetterCase, MapsLettersBeyondAscii)
{
    struct Case {
        const char* name;
        char16_t upper;
        char16_t lower;
    } cases[] = {
        {"ascii", u'A', u'a'},
        {"full-width", u'Ａ', u'ａ'},
        {"greek", u'Ω', u'ω'},
        {"cyrillic", u'Я', u'я'},
        {"latin-1", u'É', u'é'},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(to_lower(c.upper), c.lower);
        EXPECT_EQ(to_upper(c.lower), c.upper);
    }
    EXPECT_EQ(to_lower(u'イ'), u'イ');
    EXPECT_EQ(to_lower(u'_'), u'_');
}

TEST(LetterCase, ComparesNamesWithoutRegardToCase)
{
    EXPECT_TRUE(equal_ignoring_case(u"SoftWare", u"SOFTWARE"));
    EXPECT_TRUE(equal_ignoring_case(u"Ｃａｆé", u"ｃＡＦÉ"));
    EXPECT_FALSE(equal_ignoring_case(u"Windows", u"Windows NT"));
    EXPECT_LT(compare_ignoring_case(u"Windows", u"Windows NT"), 0);
    // Lowering puts '_' before the letters, as Wine sorts.
    EXPECT_LT(compare_ignoring_case(u"_x", u"A"), 0);
}
