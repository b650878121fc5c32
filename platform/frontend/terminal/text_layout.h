#pragma once
// Text as the terminal lays it out: UTF-16 window texts turned into wide
// characters, measured in terminal columns (wcwidth, so that half-width
// katakana take one column and kana and kanji two), access-key markers
// taken out, and static text wrapped into the lines of its rectangle.

#include <string>
#include <string_view>
#include <vector>

namespace platform::frontend::terminal {

// UTF-16 to wide characters (UTF-32); a lone surrogate becomes U+FFFD.
std::wstring to_wide(std::u16string_view text);

// Columns one character takes: 0 for a combining or control character,
// 2 for a wide one, 1 otherwise. Needs a UTF-8 locale (see use_utf8_locale).
int column_width(wchar_t ch);

// Columns a whole text takes.
int text_width(std::wstring_view text);

// Switches the process to a UTF-8 locale for character classification:
// the user's own when it is UTF-8, else C.UTF-8. False when none exists.
bool use_utf8_locale();

// A label with its access-key marker taken out: "&A" shows A underlined,
// "&&" shows one '&'. accessIndex is the index in `text` of the underlined
// character, or -1.
struct Label {
    std::wstring text;
    int accessIndex = -1;
    wchar_t accessKey = 0;  // the underlined character, lowered; 0 when none
};
Label parse_label(std::wstring_view text, bool noPrefix = false);

// One line of wrapped text: [begin, end) in the text.
struct LineSpan {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// Breaks text into lines of at most `width` columns, the way a dialog's
// static text wraps: at a blank between words (the blank is not carried
// to the next line), between any two wide characters, never before closing
// punctuation such as "。" or "」" nor after an opening bracket; a word
// longer than the line is cut. A line break in the text starts a new line.
std::vector<LineSpan> wrap_text(std::wstring_view text, int width);

// The first characters of text that fit into `width` columns.
std::wstring_view fit_columns(std::wstring_view text, int width);

}  // namespace platform::frontend::terminal
