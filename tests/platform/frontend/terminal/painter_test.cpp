#include "platform/frontend/terminal/painter.h"
#include "platform/frontend/terminal/text_layout.h"

#include <gtest/gtest.h>

#include <cmath>

namespace platform::frontend::terminal {
namespace {

HWND handle(std::uintptr_t n)
{
    return reinterpret_cast<HWND>(n);
}

int cells(int units, int perCell)
{
    return static_cast<int>(std::lround(static_cast<double>(units) / perCell));
}

// A rectangle given in dialog units, as the dialog manager lays it out in cells.
RECT dlu(int x, int y, int w, int h)
{
    LONG left = cells(x, 4);
    LONG top = cells(y, 8);
    return {left, top, left + cells(w, 4), top + cells(h, 8)};
}

ControlView control(int id, ControlKind kind, std::u16string text, RECT rect, DWORD style = 0)
{
    ControlView c;
    c.handle = handle(0x100 + static_cast<unsigned>(id & 0xFFF));
    c.id = id;
    c.kind = kind;
    c.text = std::move(text);
    c.rect = rect;
    c.style = style;
    c.visible = true;
    c.enabled = true;
    return c;
}

// The uninstaller's main dialog as the window manager would hold it, its
// client area at (26, 10) on a 100 x 40 screen.
WindowView main_dialog()
{
    WindowView w;
    w.handle = handle(1);
    w.kind = WindowKind::Dialog;
    w.caption = u"ミラベルLE ｱﾝｲﾝｽﾄｰﾗｰ";
    w.style = 0x90C800C0;
    w.clientRect = {26, 10, 26 + cells(191, 4), 10 + cells(169, 8)};
    w.rect = {25, 9, w.clientRect.right + 1, w.clientRect.bottom + 1};
    w.visible = w.enabled = w.active = true;
    ControlView cancel = control(2, ControlKind::PushButton, u"ｷｬﾝｾﾙ", dlu(135, 150, 50, 14));
    cancel.isDefault = cancel.focused = true;
    w.controls.push_back(cancel);
    w.controls.push_back(control(1, ControlKind::PushButton, u"実行", dlu(80, 150, 50, 14)));
    ControlView box = control(1001, ControlKind::CheckBox, u"ｽﾄｯｸﾌﾞｯｸ削除", dlu(65, 125, 57, 10));
    box.checkState = 1;
    w.controls.push_back(box);
    w.controls.push_back(control(1003, ControlKind::StaticText, u"「C:\\Program Files\\VKL\\ミラベルLE」",
                                 dlu(20, 10, 155, 8)));
    w.controls.push_back(control(-1, ControlKind::StaticText, u"  にインストールされている ミラベルLE を削除します。",
                                 dlu(20, 20, 150, 25)));
    w.controls.push_back(control(-1, ControlKind::StaticText,
                                 u"  削除する場合は実行を押してください。やめる場合はキャンセルを押してください。",
                                 dlu(20, 50, 155, 25)));
    w.controls.push_back(control(-1, ControlKind::StaticText,
                                 u"  注意：アンインストールを実行するとストックブックも削除されてしまいます。削除したくない場合は、下のチェックをはずして下さい。",
                                 dlu(20, 90, 155, 30)));
    w.controls.push_back(control(-1, ControlKind::GroupBox, u"", dlu(5, 0, 180, 80)));
    w.controls.push_back(control(-1, ControlKind::GroupBox, u"", dlu(5, 80, 180, 60)));
    w.systemMenu = {{0, 0xF010, u"移動(&M)"}, {0, 0xF060, u"閉じる(&C)\tAlt+F4"}, {0x800, 0, u""},
                    {0, 0x0010, u"ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (&A)..."}};
    return w;
}

class Painter : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(use_utf8_locale()); }

    Canvas paint(const ScreenView& screen, const PaintState& state = {}) const
    {
        Canvas canvas(100, 40);
        paint_screen(screen, state, canvas);
        return canvas;
    }

    static std::wstring rows(const Canvas& canvas)
    {
        std::wstring all;
        for (int y = 0; y < canvas.height(); ++y) {
            all += canvas.row_text(y) + L"\n";
        }
        return all;
    }

    // The column at which `text` starts in row y, or -1.
    static int find_in_row(const Canvas& canvas, int y, std::wstring_view text)
    {
        std::wstring row = canvas.row_text(y);
        std::size_t at = row.find(text);
        return at == std::wstring::npos ? -1 : text_width(std::wstring_view(row).substr(0, at));
    }
};

TEST_F(Painter, MainDialogAsThePersonSeesIt)
{
    ScreenView screen{{main_dialog()}};
    Canvas canvas = paint(screen);
    const std::wstring expected[] = {
        L"[-] ミラベルLE ｱﾝｲﾝｽﾄｰﾗｰ                       [x]",
        L"│ ┌───────────────────────────────────────────┐  │",
        L"│ │   「C:\\Program Files\\VKL\\ミラベルLE」     │  │",
        L"│ │                                           │  │",
        L"│ │     にインストールされている ミラベルLE   │  │",
        L"│ │   を削除します。                          │  │",
        L"│ │                                           │  │",
        L"│ │     削除する場合は実行を押してください。  │  │",
        L"│ │   やめる場合はキャンセルを押してくださ    │  │",
        L"│ │   い。                                    │  │",
        L"│ └───────────────────────────────────────────┘  │",
        L"│ ┌───────────────────────────────────────────┐  │",
        L"│ │     注意：アンインストールを実行するとス  │  │",
        L"│ │   トックブックも削除されてしまいます。削  │  │",
        L"│ │   除したくない場合は、下のチェックをはず  │  │",
        L"│ │   して下さい。                            │  │",
        L"│ │                                           │  │",
        L"│ │              [X] ｽﾄｯｸﾌﾞｯｸ削除             │  │",
        L"│ └───────────────────────────────────────────┘  │",
        L"│                                                │",
        L"│                      [ 実行 ]     [[ ｷｬﾝｾﾙ ]]  │",
        L"│                                                │",
        L"└────────────────────────────────────────────────┘",
    };
    for (int i = 0; i < static_cast<int>(std::size(expected)); ++i) {
        std::wstring row = canvas.row_text(9 + i);
        EXPECT_EQ(row.substr(25, expected[i].size()), expected[i]) << "row " << i << "\n" << rows(canvas);
    }
    // The focused default button is shown reversed, the other one not.
    int cancel = find_in_row(canvas, 29, L"[[ ｷｬﾝｾﾙ ]]");
    int execute = find_in_row(canvas, 29, L"[ 実行 ]");
    ASSERT_GE(cancel, 0);
    EXPECT_TRUE(canvas.at(cancel, 29).style.flags & kReverse);
    EXPECT_TRUE(canvas.at(cancel, 29).style.flags & kBold);
    EXPECT_FALSE(canvas.at(execute, 29).style.flags & kReverse);
    EXPECT_EQ(canvas.at(25, 9).style.paint, Paint::Title);
}

TEST_F(Painter, ModalBoxOverADimmedOwnerWithItsSign)
{
    WindowView owner = main_dialog();
    owner.enabled = owner.active = false;
    WindowView box;
    box.handle = handle(2);
    box.kind = WindowKind::MessageBox;
    box.caption = u"ﾐﾗﾍﾞﾙLE ｱﾝｲﾝｽﾄﾗｰ";
    box.style = 0x80C80000;
    box.owner = owner.handle;
    box.clientRect = {36, 17, 64, 23};
    box.visible = box.enabled = box.active = true;
    box.messageBox = MessageBoxView{u"ｱﾝｲﾝｽﾄｰﾙを実行します。よろしいですか？", box.caption, 0x24, owner.handle};
    box.controls.push_back(control(-1, ControlKind::StaticIcon, u"", {1, 1, 4, 2}));
    box.controls.push_back(control(-1, ControlKind::StaticText, u"ｱﾝｲﾝｽﾄｰﾙを実行します。よろしいですか？", {6, 1, 27, 3}));
    ControlView yes = control(6, ControlKind::PushButton, u"はい(&Y)", {1, 4, 14, 5});
    yes.isDefault = yes.focused = true;
    box.controls.push_back(yes);
    box.controls.push_back(control(7, ControlKind::PushButton, u"いいえ(&N)", {15, 4, 28, 5}));
    Canvas canvas = paint({{owner, box}});

    EXPECT_GE(find_in_row(canvas, 16, L"[-] ﾐﾗﾍﾞﾙLE ｱﾝｲﾝｽﾄﾗｰ"), 35) << rows(canvas);
    EXPECT_GE(find_in_row(canvas, 18, L"(?)"), 0) << rows(canvas);
    EXPECT_GE(find_in_row(canvas, 18, L"ｱﾝｲﾝｽﾄｰﾙを実行"), 0) << rows(canvas);
    EXPECT_GE(find_in_row(canvas, 21, L"[[ はい(Y) ]]"), 0) << rows(canvas);
    int yesAt = find_in_row(canvas, 21, L"はい(Y)");
    EXPECT_TRUE(canvas.at(yesAt + 5, 21).style.flags & kUnderline);  // the Y
    // The owner is dimmed and its title bar inactive; the box is not dimmed.
    EXPECT_EQ(canvas.at(25, 9).style.paint, Paint::TitleInactive);
    EXPECT_TRUE(canvas.at(30, 30).style.flags & kDim);
    EXPECT_FALSE(canvas.at(40, 18).style.flags & kDim);
    // The owner's focused button is not shown as focused while it waits.
    int cancel = find_in_row(canvas, 29, L"[[ ｷｬﾝｾﾙ ]]");
    ASSERT_GE(cancel, 0);
    EXPECT_FALSE(canvas.at(cancel, 29).style.flags & kReverse);
}

TEST_F(Painter, SystemMenuWithTheAppendedItem)
{
    WindowView dialog = main_dialog();
    dialog.systemMenuOpen = true;
    PaintState state;
    state.menuSelection = 3;
    Canvas canvas = paint({{dialog}}, state);
    EXPECT_EQ(find_in_row(canvas, 11, L"移動(M)"), 27) << rows(canvas);
    EXPECT_GE(find_in_row(canvas, 12, L"閉じる(C)"), 0);
    EXPECT_GE(find_in_row(canvas, 12, L"Alt+F4"), 0);
    EXPECT_GE(find_in_row(canvas, 13, L"├──"), 0);
    int about = find_in_row(canvas, 14, L"ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (A)...");
    ASSERT_EQ(about, 27);
    EXPECT_EQ(canvas.at(about, 14).style.paint, Paint::MenuSelected);
    EXPECT_EQ(canvas.at(27, 11).style.paint, Paint::Menu);

    EXPECT_EQ(menu_item_for_access_key(dialog, L'A'), 3);
    EXPECT_EQ(menu_item_for_access_key(dialog, L'c'), 1);
    EXPECT_EQ(next_menu_item(dialog, 1, 1), 3);  // the separator is skipped
    EXPECT_EQ(next_menu_item(dialog, 0, -1), 3);
    Hit hit = hit_test({{dialog}}, state, dialog.handle, 30, 14);
    EXPECT_EQ(hit.kind, Hit::Kind::MenuItem);
    EXPECT_EQ(hit.menuIndex, 3);
    EXPECT_EQ(hit_test({{dialog}}, state, dialog.handle, 30, 13).kind, Hit::Kind::Nothing);
    EXPECT_EQ(hit_test({{dialog}}, state, dialog.handle, 90, 30).kind, Hit::Kind::OutsideMenu);
}

TEST_F(Painter, WhatLiesUnderAClick)
{
    WindowView dialog = main_dialog();
    ScreenView screen{{dialog}};
    PaintState state;
    state.offsetX = 2;  // the terminal grew by four columns since the layout
    struct Case {
        int x, y;
        Hit::Kind kind;
        int id;
    } cases[] = {
        {25 + 2, 9, Hit::Kind::SystemMenuMarker, 0},
        {74 + 2, 9, Hit::Kind::CloseBox, 0},
        {62 + 2, 29, Hit::Kind::Control, 2},
        {50 + 2, 29, Hit::Kind::Control, 1},
        {45 + 2, 26, Hit::Kind::Control, 1001},
        // The label is drawn two cells past the box's 14-cell rectangle, to
        // the end of 削除: all of it takes the click, the cell after it not.
        {55 + 2, 26, Hit::Kind::Control, 1001},
        {57 + 2, 26, Hit::Kind::Control, 1001},
        {58 + 2, 26, Hit::Kind::Nothing, 0},
        // Group boxes and static texts take no clicks.
        {28 + 2, 12, Hit::Kind::Nothing, 0},
        {40 + 2, 15, Hit::Kind::Nothing, 0},
        {5, 5, Hit::Kind::Nothing, 0},
    };
    for (const Case& c : cases) {
        Hit hit = hit_test(screen, state, dialog.handle, c.x, c.y);
        EXPECT_EQ(hit.kind, c.kind) << c.x << "," << c.y;
        EXPECT_EQ(hit.controlId, c.id) << c.x << "," << c.y;
    }
    // Only the active window takes clicks.
    EXPECT_EQ(hit_test(screen, state, handle(99), 64, 29).kind, Hit::Kind::Nothing);
    EXPECT_EQ(control_for_access_key(dialog, L'x'), std::nullopt);
}

// The main dialog with its frame at (left, top) in the window manager's units.
WindowView main_dialog_at(int left, int top)
{
    WindowView w = main_dialog();
    const LONG dx = left - (w.rect.left);
    const LONG dy = top - (w.rect.top);
    w.rect = {w.rect.left + dx, w.rect.top + dy, w.rect.right + dx, w.rect.bottom + dy};
    w.clientRect = {w.clientRect.left + dx, w.clientRect.top + dy, w.clientRect.right + dx, w.clientRect.bottom + dy};
    return w;
}

// A confirmation box centred over `owner`, as the dialog manager places it.
WindowView box_over(const WindowView& owner)
{
    WindowView box;
    box.handle = handle(2);
    box.kind = WindowKind::MessageBox;
    box.style = 0x80C80000;
    box.owner = owner.handle;
    const LONG width = 30, height = 8;
    const LONG left = owner.rect.left + (owner.rect.right - owner.rect.left - width) / 2;
    const LONG top = owner.rect.top + (owner.rect.bottom - owner.rect.top - height) / 2;
    box.rect = {left, top, left + width, top + height};
    box.clientRect = {left + 1, top + 1, left + width - 1, top + height - 1};
    box.visible = box.enabled = box.active = true;
    return box;
}

TEST_F(Painter, WindowsStayOnTheTerminalAfterAResize)
{
    // Each case: the screen the windows were laid out on (the main dialog is
    // centred there, 50 x 23 cells with its frame), and the terminal now.
    struct Case {
        SIZE layout;
        int columns, rows;
    } cases[] = {
        {{40, 15}, 100, 32},   // started too small, then enlarged
        {{100, 32}, 60, 25},   // shrunk, still large enough
        {{60, 25}, 110, 36},   // enlarged
        {{100, 40}, 50, 23},   // shrunk to exactly the size needed
        {{50, 23}, 50, 23},
    };
    for (const Case& c : cases) {
        const WindowView dialog = main_dialog_at((c.layout.cx - 50) / 2, (c.layout.cy - 23) / 2);
        for (const ScreenView& screen : {ScreenView{{dialog}}, ScreenView{{dialog, box_over(dialog)}}}) {
            PaintState state;
            Area needed = needed_area(screen);
            ASSERT_TRUE(place_on_terminal(needed, c.layout, c.columns, c.rows, state))
                << c.layout.cx << "x" << c.layout.cy << " on " << c.columns << "x" << c.rows;
            // The main dialog is centred on the terminal whether or not the
            // box is open, and the box stays over it.
            EXPECT_EQ(dialog.rect.left + state.offsetX, (c.columns - 50) / 2) << c.columns << "x" << c.rows;
            EXPECT_EQ(dialog.rect.top + state.offsetY, (c.rows - 23) / 2) << c.columns << "x" << c.rows;
            Canvas canvas(c.columns, c.rows);
            paint_screen(screen, state, canvas);
            EXPECT_EQ(find_in_row(canvas, (c.rows - 23) / 2, L"[-] ミラベルLE"), (c.columns - 50) / 2)
                << rows(canvas);
        }
    }
}

TEST_F(Painter, TooSmallOnlyWhenTheTerminalCannotHoldTheWindows)
{
    // A dialog laid out in the top left corner of a large screen is pulled
    // onto a terminal that has the room for it.
    const WindowView corner = main_dialog_at(0, 0);
    Area needed = needed_area({{corner}});
    PaintState state;
    EXPECT_TRUE(place_on_terminal(needed, {120, 50}, 60, 24, state));
    EXPECT_GE(corner.rect.left + state.offsetX, 0);
    EXPECT_LE(corner.rect.right + state.offsetX, 60);
    EXPECT_EQ(corner.rect.top + state.offsetY, 0);
    EXPECT_FALSE(place_on_terminal(needed, {120, 50}, 49, 40, state));
    EXPECT_FALSE(place_on_terminal(needed, {120, 50}, 100, 22, state));
    // Nothing laid out yet: the terminal is the screen.
    EXPECT_TRUE(place_on_terminal(needed, {0, 0}, 80, 24, state));
    EXPECT_EQ(state.offsetX, 0);
    EXPECT_EQ(state.offsetY, 0);
}

TEST_F(Painter, CloseIsGreyedWhereTheWindowIgnoresIt)
{
    // A Yes/No box has no Cancel button: Close does nothing there.
    WindowView owner = main_dialog();
    owner.enabled = owner.active = false;
    WindowView box = box_over(owner);
    box.caption = u"ﾐﾗﾍﾞﾙLE ｱﾝｲﾝｽﾄﾗｰ";
    box.systemMenu = {{0, 0xF010, u"移動(&M)"}, {0, 0xF060, u"閉じる(&C)\tAlt+F4"}};
    for (bool closeEnabled : {true, false}) {
        box.closeEnabled = closeEnabled;
        box.systemMenuOpen = false;
        Canvas canvas = paint({{owner, box}});
        const int titleRow = box.rect.top;
        int closeBox = find_in_row(canvas, titleRow, L"[x]");
        ASSERT_GE(closeBox, static_cast<int>(box.rect.left)) << rows(canvas);
        EXPECT_EQ((canvas.at(closeBox, titleRow).style.flags & kDim) != 0, !closeEnabled) << rows(canvas);
        EXPECT_EQ(hit_test({{owner, box}}, {}, box.handle, closeBox + 1, titleRow).kind,
                  closeEnabled ? Hit::Kind::CloseBox : Hit::Kind::Nothing);

        box.systemMenuOpen = true;
        PaintState state;
        state.menuSelection = 0;
        canvas = paint({{owner, box}}, state);
        int close = find_in_row(canvas, titleRow + 3, L"閉じる(C)");
        ASSERT_GE(close, 0) << rows(canvas);
        EXPECT_EQ((canvas.at(close, titleRow + 3).style.flags & kDim) != 0, !closeEnabled) << rows(canvas);
        // Neither its access key, the arrow keys nor a click choose it.
        EXPECT_EQ(menu_item_for_access_key(box, L'c'), closeEnabled ? std::optional(1) : std::nullopt);
        EXPECT_EQ(next_menu_item(box, 0, 1), closeEnabled ? 1 : 0);
        EXPECT_EQ(hit_test({{owner, box}}, state, box.handle, close, titleRow + 3).kind,
                  closeEnabled ? Hit::Kind::MenuItem : Hit::Kind::Nothing);
        // Move stays available either way.
        EXPECT_EQ(menu_item_for_access_key(box, L'm'), 0);
    }
}

TEST_F(Painter, WideCharactersAreNeverCutInHalf)
{
    Canvas canvas(6, 1);
    Area all{0, 0, 6, 1};
    canvas.text(0, 0, L"ﾐﾗミラベ", {}, all);
    EXPECT_EQ(canvas.row_text(0), L"ﾐﾗミラ");
    canvas.text(0, 0, L"abcde漢", {}, all);
    EXPECT_EQ(canvas.row_text(0), L"abcde ");
    // Writing over half of a wide character blanks the other half.
    canvas.text(0, 0, L"漢字漢", {}, all);
    canvas.put(1, 0, L'x', {}, all);
    EXPECT_EQ(canvas.row_text(0), L" x字漢");
}

TEST_F(Painter, TooSmallTerminalIsSaidPlainly)
{
    Canvas canvas(40, 10);
    paint_too_small(canvas, 50, 23);
    // The rows read as one text: the message is wrapped, never cut off.
    std::wstring all;
    for (int y = 0; y < 10; ++y) {
        std::wstring row = canvas.row_text(y);
        row.erase(row.find_last_not_of(L' ') + 1);
        if (!row.empty()) {
            all += (all.empty() ? L"" : L" ") + row;
        }
    }
    EXPECT_EQ(all, L"The terminal is too small for this window. It needs 50 x 23 characters; "
                   L"it has 40 x 10. Enlarge the terminal to go on.");
    Area needed = needed_area({{main_dialog()}});
    EXPECT_EQ(needed.right - needed.left, 50);
    EXPECT_EQ(needed.bottom - needed.top, 23);
}

}  // namespace
}  // namespace platform::frontend::terminal

namespace platform::frontend::terminal {
namespace {

TEST_F(Painter, AMovedWindowKeepsItsTitleBarOnTheScreen)
{
    // The main dialog's frame starts at (25, 9); the screen is 100 x 40 cells.
    const WindowView dialog = main_dialog();
    const SIZE layout{100, 40};
    struct Case {
        POINT place, allowed;
    } cases[] = {
        {{10, 20}, {10, 20}},    // anywhere on the screen
        {{-50, 9}, {0, 9}},      // the marker [-] stays at the left edge
        {{200, 9}, {92, 9}},     // the marker and four cells of the caption stay at the right edge
        {{25, -5}, {25, 0}},     // the title bar cannot go above the screen
        {{25, 100}, {25, 38}},   // nor below the key line
        {{-3, 99}, {0, 38}},
    };
    for (const Case& c : cases) {
        POINT p = allowed_move(dialog, c.place, layout);
        EXPECT_EQ(p.x, c.allowed.x) << c.place.x << "," << c.place.y;
        EXPECT_EQ(p.y, c.allowed.y) << c.place.x << "," << c.place.y;
    }
    // The window manager's rect is the client area; the frame around it is one cell out.
    WindowView inner = dialog;
    inner.rect = inner.clientRect;
    POINT p = allowed_move(inner, {-50, -50}, layout);
    EXPECT_EQ(p.x, 1);
    EXPECT_EQ(p.y, 1);
    // A dialog larger than the screen (laid out on a small terminal) stands
    // off its edge already: it may move back, never further out.
    const WindowView wide = main_dialog_at(-5, -4);
    p = allowed_move(wide, {-6, -5}, {40, 15});
    EXPECT_EQ(p.x, -5);
    EXPECT_EQ(p.y, -4);
    p = allowed_move(wide, {-4, -3}, {40, 15});
    EXPECT_EQ(p.x, -4);
    EXPECT_EQ(p.y, -3);
}

TEST_F(Painter, AWindowMovedPartlyOffTheScreenIsCutAtItsEdgeAndTheOthersStay)
{
    const WindowView owner = main_dialog_at(25, 9);
    const WindowView box = moved_to(box_over(owner), {80, 30});  // the box, moved to the bottom right
    const ScreenView screen{{owner, box}};
    PaintState state;
    state.moving = true;
    ASSERT_TRUE(place_on_terminal(needed_area(screen, {100, 40}), {100, 40}, 100, 40, state));
    EXPECT_EQ(state.offsetX, 0);
    EXPECT_EQ(state.offsetY, 0);
    Canvas canvas = paint(screen, state);
    EXPECT_EQ(find_in_row(canvas, 9, L"[-] ミラベルLE"), 25) << rows(canvas);
    EXPECT_EQ(find_in_row(canvas, 30, L"[-] "), 80) << rows(canvas);
    EXPECT_EQ(canvas.row_text(39).find(L" Arrows: move  Enter: place it here  Esc: put it back "), 0u)
        << rows(canvas);
    // On a terminal larger than the screen, the part beyond it shows.
    ASSERT_TRUE(place_on_terminal(needed_area(screen, {100, 40}), {100, 40}, 140, 60, state));
    EXPECT_EQ(state.offsetX, 20);
    EXPECT_EQ(state.offsetY, 10);
}

TEST_F(Painter, ClicksAndTheMenuFollowAMovedWindow)
{
    const WindowView dialog = moved_to(main_dialog(), {5, 3});  // 20 left and 6 up of its place
    PaintState state;
    ASSERT_TRUE(place_on_terminal(needed_area({{dialog}}, {100, 40}), {100, 40}, 100, 40, state));
    EXPECT_EQ(hit_test({{dialog}}, state, dialog.handle, 5, 3).kind, Hit::Kind::SystemMenuMarker);
    Hit cancel = hit_test({{dialog}}, state, dialog.handle, 62 - 20, 29 - 6);
    EXPECT_EQ(cancel.kind, Hit::Kind::Control);
    EXPECT_EQ(cancel.controlId, 2);
    EXPECT_EQ(hit_test({{dialog}}, state, dialog.handle, 62, 29).kind, Hit::Kind::Nothing);

    // At the bottom right corner, the menu opens above the title bar and
    // within the screen, where it can be seen and chosen.
    WindowView corner = moved_to(main_dialog(), {92, 38});
    corner.systemMenuOpen = true;
    ASSERT_TRUE(place_on_terminal(needed_area({{corner}}, {100, 40}), {100, 40}, 100, 40, state));
    const Area menu = menu_area(corner, {100, 40});
    EXPECT_EQ(menu.bottom, 38);
    EXPECT_EQ(menu.right, 100);
    Canvas canvas = paint({{corner}}, state);
    EXPECT_EQ(find_in_row(canvas, menu.top + 1, L"移動(M)"), menu.left + 2) << rows(canvas);
    Hit move = hit_test({{corner}}, state, corner.handle, menu.left + 3, menu.top + 1);
    EXPECT_EQ(move.kind, Hit::Kind::MenuItem);
    EXPECT_EQ(move.menuIndex, 0);
}

}  // namespace
}  // namespace platform::frontend::terminal
