// MessageBoxA: a small modal dialog with an icon, a text and a row of buttons,
// laid out in dialog units like any template and shown through the front end.

#include "platform/text/codepage.h"
#include "platform/windows/dialog_internal.h"
#include "platform/windows/window_table.h"

#include <algorithm>
#include <vector>

namespace {

struct ButtonSpec {
    int id;
    const char16_t* text;
};

std::vector<ButtonSpec> buttons_of(UINT type)
{
    // The button texts of a Japanese system.
    const ButtonSpec ok{IDOK, u"OK"}, cancel{IDCANCEL, u"キャンセル"}, yes{IDYES, u"はい(&Y)"}, no{IDNO, u"いいえ(&N)"},
        abort{IDABORT, u"中止(&A)"}, retry{IDRETRY, u"再試行(&R)"}, ignore{IDIGNORE, u"無視(&I)"};
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL: return {ok, cancel};
    case MB_ABORTRETRYIGNORE: return {abort, retry, ignore};
    case MB_YESNOCANCEL: return {yes, no, cancel};
    case MB_YESNO: return {yes, no};
    case MB_RETRYCANCEL: return {retry, cancel};
    default: return {ok};
    }
}

// The text of a box is at least this wide and at most this wide before it
// wraps, in dialog units; a line of text is this high.
constexpr int kMinTextWidth = 40;
constexpr int kMaxTextWidth = 280;
constexpr int kLineHeight = 8;

// The room right of the text, and the most a window's frame takes on both
// sides together, in dialog units.
constexpr int kTextRightMargin = 10;
constexpr int kFrameAllowance = 8;
constexpr int kDialogUnitsPerBaseUnit = 4;

// Windows keeps a message box within the screen, so on a narrow screen its
// text wraps sooner: the widest text that still lets the box fit, in dialog
// units of the font given.
int widest_text(const platform::frontend::FontRequest& font, int textLeft)
{
    int widest = kMaxTextWidth;
    if (auto* fe = platform::frontend::current()) {
        const platform::frontend::BaseUnits units = fe->base_units(font);
        const SIZE screen = fe->screen_size();
        if (units.x > 0 && screen.cx > 0) {
            const int screenWidth = static_cast<int>(screen.cx) * kDialogUnitsPerBaseUnit / units.x;
            widest = std::min(widest, screenWidth - textLeft - kTextRightMargin - kFrameAllowance);
        }
    }
    return std::max(widest, kMinTextWidth);
}

// Width of a text in dialog units: 4 per half-width column.
int text_width(std::u16string_view line)
{
    int columns = 0;
    for (char16_t c : line)
        columns += (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
    return columns * 4;
}

INT_PTR message_box_proc(HWND dialog, UINT msg, WPARAM wParam, LPARAM)
{
    using platform::windows::detail::find;
    auto* w = find(dialog);
    if (!w || !w->messageBox)
        return FALSE;
    const UINT type = w->messageBox->type;
    switch (msg) {
    case WM_INITDIALOG: {
        const auto buttons = buttons_of(type);
        const std::size_t index = std::min<std::size_t>((type & MB_DEFMASK) >> 8, buttons.size() - 1);
        SetFocus(GetDlgItem(dialog, buttons[index].id));
        return FALSE;
    }
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const auto buttons = buttons_of(type);
        const bool present = std::any_of(buttons.begin(), buttons.end(), [id](const ButtonSpec& b) { return b.id == id; });
        if (present)
            EndDialog(dialog, id);
        else if (id == IDCANCEL && platform::windows::detail::message_box_closes(type))
            EndDialog(dialog, IDOK);  // Esc and the close box close a lone OK box
        return TRUE;
    }
    default:
        return FALSE;
    }
}

}  // namespace

bool platform::windows::detail::message_box_closes(UINT type)
{
    const auto buttons = buttons_of(type);
    return std::any_of(buttons.begin(), buttons.end(), [](const ButtonSpec& b) { return b.id == IDCANCEL; }) ||
           (buttons.size() == 1 && buttons[0].id == IDOK);
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type)
{
    using namespace platform;
    frontend::MessageBoxView view;
    view.text = text::cp932_to_utf16(text ? text : "");
    view.caption = caption ? text::cp932_to_utf16(caption) : std::u16string(u"エラー");
    view.type = type;
    view.owner = owner;

    // Lay the box out: icon left, text right of it, buttons centred below.
    std::vector<std::u16string_view> lines;
    {
        std::u16string_view rest = view.text;
        while (true) {
            const auto at = rest.find(u'\n');
            lines.push_back(rest.substr(0, at));
            if (at == std::u16string_view::npos)
                break;
            rest.remove_prefix(at + 1);
        }
    }
    const bool hasIcon = (type & MB_ICONMASK) != 0;
    const int textLeft = hasIcon ? 40 : 10;
    const std::u16string faceName = u"ＭＳ Ｐゴシック";
    constexpr int kPointSize = 9;
    int textWidth = 0;
    for (auto line : lines)
        textWidth = std::max(textWidth, text_width(line));
    textWidth = std::clamp(textWidth, kMinTextWidth, widest_text({faceName, kPointSize}, textLeft));
    // A line wider than the box is wrapped by whoever draws the text: give it
    // the rows it needs, and one more, since wrapping at word and kana
    // boundaries leaves the ends of the rows short.
    int rows = 0;
    bool wraps = false;
    for (auto line : lines) {
        const int width = text_width(line);
        const int needed = std::max(1, (width + textWidth - 1) / textWidth);
        wraps = wraps || needed > 1;
        rows += needed;
    }
    if (wraps)
        ++rows;
    const int textHeight = rows * kLineHeight;
    const int contentHeight = std::max(textHeight, hasIcon ? 20 : 8);
    const auto buttons = buttons_of(type);
    const int buttonWidth = 50, buttonHeight = 14, gap = 6;
    const int rowWidth = static_cast<int>(buttons.size()) * buttonWidth + static_cast<int>(buttons.size() - 1) * gap;
    const int width = std::max(textLeft + textWidth + kTextRightMargin, rowWidth + 20);

    resources::DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = static_cast<short>(width);
    t.cy = static_cast<short>(10 + contentHeight + 10 + buttonHeight + 7);
    t.title = view.caption;
    t.pointSize = kPointSize;
    t.faceName = faceName;
    auto add = [&t](WORD atom, int id, std::u16string text, DWORD style, int x, int y, int cx, int cy) {
        t.items.push_back(resources::make_control(atom, static_cast<DWORD>(id), std::move(text), style,
                                                  static_cast<short>(x), static_cast<short>(y),
                                                  static_cast<short>(cx), static_cast<short>(cy)));
    };
    using resources::kButtonAtom;
    using resources::kStaticAtom;
    if (hasIcon)
        add(kStaticAtom, -1, u"", SS_ICON, 10, 10, 20, 20);
    add(kStaticAtom, 0xFFFF, view.text, SS_LEFT | SS_NOPREFIX, textLeft, 10, textWidth, textHeight);
    const std::size_t defaultIndex = std::min<std::size_t>((type & MB_DEFMASK) >> 8, buttons.size() - 1);
    int x = (width - rowWidth) / 2;
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        const DWORD style = WS_TABSTOP | (i == 0 ? WS_GROUP : 0) | (i == defaultIndex ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        add(kButtonAtom, buttons[i].id, buttons[i].text, style, x, 10 + contentHeight + 10, buttonWidth, buttonHeight);
        x += buttonWidth + gap;
    }
    t.extended = true;

    const INT_PTR result = windows::detail::modal_dialog(t, owner, message_box_proc, 0, frontend::WindowKind::MessageBox,
                                                         std::move(view), {});
    return result < 0 ? 0 : static_cast<int>(result);
}
