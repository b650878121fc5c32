#include "platform/frontend/terminal/text_layout.h"

#include <gtest/gtest.h>

namespace platform::frontend::terminal {
namespace {

class TextLayout : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(use_utf8_locale()); }

    static std::vector<std::wstring> wrapped(std::wstring_view text, int width)
    {
        std::vector<std::wstring> lines;
        for (const LineSpan& span : wrap_text(text, width)) {
            lines.emplace_back(text.substr(span.begin, span.end - span.begin));
        }
        return lines;
    }
};

TEST_F(TextLayout, ColumnsFollowWcwidthNotBytes)
{
    // Half-width katakana are one column, kana and kanji two; some symbols
    // that take two bytes in code page 932 still take one column.
    EXPECT_EQ(text_width(L"ｱﾝｲﾝｽﾄｰﾗｰ"), 9);
    EXPECT_EQ(text_width(L"ミラベルLE"), 10);
    EXPECT_EQ(text_width(L"削除"), 4);
    EXPECT_EQ(text_width(L"①―×○…→"), 6);
    EXPECT_EQ(text_width(L"「C:\\x」"), 8);
    EXPECT_EQ(std::wstring(fit_columns(L"ミラベルLE", 5)), L"ミラ");
}

TEST_F(TextLayout, TurnsUtf16IntoWideCharacters)
{
    EXPECT_EQ(to_wide(u"ﾐﾗﾍﾞﾙ"), L"ﾐﾗﾍﾞﾙ");
    EXPECT_EQ(to_wide(u"\U0001F600"), std::wstring(1, static_cast<wchar_t>(0x1F600)));
    EXPECT_EQ(to_wide(std::u16string(1, u'\xD800')), std::wstring(1, L'\xFFFD'));
}

TEST_F(TextLayout, AccessKeyMarkers)
{
    Label about = parse_label(L"ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (&A)...");
    EXPECT_EQ(about.text, L"ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (A)...");
    EXPECT_EQ(about.accessKey, L'a');
    EXPECT_EQ(about.text[about.accessIndex], L'A');

    Label ampersand = parse_label(L"A && B");
    EXPECT_EQ(ampersand.text, L"A & B");
    EXPECT_EQ(ampersand.accessIndex, -1);

    Label noPrefix = parse_label(L"R&D", true);
    EXPECT_EQ(noPrefix.text, L"R&D");
    EXPECT_EQ(noPrefix.accessKey, 0);
}

TEST_F(TextLayout, WrapsTheMainDialogTextsIntoTheirRectangles)
{
    // The widths are the static controls' widths in cells (155 and 150 dialog units).
    EXPECT_EQ(wrapped(L"  にインストールされている ミラベルLE を削除します。", 38),
              (std::vector<std::wstring>{L"  にインストールされている ミラベルLE", L"を削除します。"}));
    EXPECT_EQ(wrapped(L"  削除する場合は実行を押してください。やめる場合はキャンセルを押してください。", 39),
              (std::vector<std::wstring>{L"  削除する場合は実行を押してください。",
                                         L"やめる場合はキャンセルを押してくださ", L"い。"}));
    auto caution = wrapped(
        L"  注意：アンインストールを実行するとストックブックも削除されてしまいます。削除したくない場合は、下のチェックをはずして下さい。",
        39);
    ASSERT_EQ(caution.size(), 4u);
    for (const std::wstring& line : caution) {
        EXPECT_LE(text_width(line), 39);
    }
}

TEST_F(TextLayout, WrapRules)
{
    struct Case {
        const wchar_t* text;
        int width;
        std::vector<std::wstring> lines;
    } cases[] = {
        // A blank at the break is swallowed; leading blanks of the text stay.
        {L"  one two three", 9, {L"  one two", L"three"}},
        {L"one   two", 4, {L"one", L"two"}},
        // A word longer than the line is cut.
        {L"abcdefghij", 4, {L"abcd", L"efgh", L"ij"}},
        // Closing punctuation never starts a line: the character before it moves down.
        {L"あいう。えお", 6, {L"あい", L"う。え", L"お"}},
        {L"あい「うえ", 6, {L"あい", L"「うえ"}},
        // Explicit line breaks.
        {L"ab\ncd\r\nef", 10, {L"ab", L"cd", L"ef"}},
        {L"", 10, {L""}},
        // A wide character wider than the whole line still makes progress.
        {L"漢字", 1, {L"漢", L"字"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(wrapped(c.text, c.width), c.lines) << "text: " << testing::PrintToString(std::wstring(c.text));
    }
}

}  // namespace
}  // namespace platform::frontend::terminal
