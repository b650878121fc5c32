#include "platform/frontend/terminal/text_layout.h"

#include <clocale>
#include <cstring>
#include <cwchar>
#include <cwctype>

namespace platform::frontend::terminal {

namespace {

constexpr wchar_t kReplacement = 0xFFFD;

// Characters a line may not begin with (closing punctuation, small kana,
// prolonged sound marks), full-width and half-width.
constexpr std::wstring_view kNoLineStart =
    L"、。，．・：；？！ー」』）］｝〉》】〕”’ヽヾゝゞ々ぁぃぅぇぉっゃゅょゎ"
    L"ァィゥェォッャュョヮヵヶ｡｣､･ｰﾞﾟｧｨｩｪｫｯｬｭｮ)]},.:;?!%";

// Characters a line may not end with (opening brackets).
constexpr std::wstring_view kNoLineEnd = L"「『（［｛〈《【〔“‘｢([{";

bool is_blank(wchar_t ch)
{
    return ch == L' ' || ch == L'\t' || ch == 0x3000;
}

bool can_break_before(std::wstring_view text, std::size_t i)
{
    wchar_t prev = text[i - 1];
    wchar_t cur = text[i];
    if (is_blank(cur) || kNoLineStart.find(cur) != std::wstring_view::npos ||
        kNoLineEnd.find(prev) != std::wstring_view::npos) {
        return false;
    }
    if (is_blank(prev)) {
        return true;
    }
    return column_width(prev) == 2 || column_width(cur) == 2;
}

std::size_t trim_blanks_back(std::wstring_view text, std::size_t begin, std::size_t end)
{
    while (end > begin && is_blank(text[end - 1])) {
        --end;
    }
    return end;
}

}  // namespace

std::wstring to_wide(std::u16string_view text)
{
    std::wstring out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t unit = text[i];
        if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            unit = 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            unit = kReplacement;
        }
        out.push_back(static_cast<wchar_t>(unit));
    }
    return out;
}

int column_width(wchar_t ch)
{
    int width = ::wcwidth(ch);
    if (width < 0) {
        return 1;  // a control character, painted as a replacement of one column
    }
    return width;
}

int text_width(std::wstring_view text)
{
    int width = 0;
    for (wchar_t ch : text) {
        width += column_width(ch);
    }
    return width;
}

bool use_utf8_locale()
{
    auto is_utf8 = [](const char* name) {
        return name != nullptr &&
               (std::strstr(name, "UTF-8") != nullptr || std::strstr(name, "utf8") != nullptr ||
                std::strstr(name, "utf-8") != nullptr || std::strstr(name, "UTF8") != nullptr);
    };
    const char* chosen = std::setlocale(LC_ALL, "");
    if (is_utf8(chosen)) {
        return true;
    }
    // Only the character classes matter here; messages and numbers keep C.
    chosen = std::setlocale(LC_ALL, "C.UTF-8");
    return is_utf8(chosen);
}

Label parse_label(std::wstring_view text, bool noPrefix)
{
    Label label;
    label.text.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!noPrefix && text[i] == L'&' && i + 1 < text.size()) {
            ++i;
            if (text[i] != L'&' && label.accessIndex < 0) {
                label.accessIndex = static_cast<int>(label.text.size());
                label.accessKey = static_cast<wchar_t>(std::towlower(text[i]));
            }
        }
        label.text.push_back(text[i]);
    }
    return label;
}

std::vector<LineSpan> wrap_text(std::wstring_view text, int width)
{
    std::vector<LineSpan> lines;
    if (width < 1) {
        width = 1;
    }
    const std::size_t n = text.size();
    std::size_t lineStart = 0;
    std::size_t lastBreak = std::wstring_view::npos;
    int lineWidth = 0;
    std::size_t i = 0;
    auto start_line = [&](std::size_t at) {
        lineStart = at;
        lineWidth = 0;
        lastBreak = std::wstring_view::npos;
    };
    while (i < n) {
        wchar_t ch = text[i];
        if (ch == L'\r' || ch == L'\n') {
            lines.push_back({lineStart, i});
            i += (ch == L'\r' && i + 1 < n && text[i + 1] == L'\n') ? 2 : 1;
            start_line(i);
            continue;
        }
        if (i > lineStart && can_break_before(text, i)) {
            lastBreak = i;
        }
        int w = column_width(ch);
        if (lineWidth + w > width && i > lineStart) {
            if (is_blank(ch)) {
                // Blanks at the end of a line are swallowed by the break.
                lines.push_back({lineStart, trim_blanks_back(text, lineStart, i)});
                while (i < n && is_blank(text[i])) {
                    ++i;
                }
                start_line(i);
                continue;
            }
            std::size_t end = i;
            if (lastBreak != std::wstring_view::npos &&
                trim_blanks_back(text, lineStart, lastBreak) > lineStart) {
                end = lastBreak;
            }
            lines.push_back({lineStart, trim_blanks_back(text, lineStart, end)});
            start_line(end);
            for (std::size_t k = end; k < i; ++k) {
                lineWidth += column_width(text[k]);
            }
            continue;
        }
        lineWidth += w;
        ++i;
    }
    if (lineStart < n || lines.empty()) {
        lines.push_back({lineStart, n});
    }
    return lines;
}

std::wstring_view fit_columns(std::wstring_view text, int width)
{
    int used = 0;
    std::size_t i = 0;
    for (; i < text.size(); ++i) {
        int w = column_width(text[i]);
        if (used + w > width) {
            break;
        }
        used += w;
    }
    return text.substr(0, i);
}

}  // namespace platform::frontend::terminal
