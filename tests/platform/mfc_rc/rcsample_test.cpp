// The sample dialog program run as a program runs: AfxWinMain, InitInstance,
// DoModal of a dialog whose template, icon and strings come from the linked
// resource script, worked by the scripted front end. Literals are code page 932.

#include "tests/platform/mfc_rc/rcsample_app.h"

#include "platform/frontend/scripted/scripted_frontend.h"
#include "platform/text/codepage.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using platform::frontend::Key;
using platform::frontend::WindowView;
using platform::frontend::scripted::Event;
using platform::frontend::scripted::ScriptedFrontEnd;

namespace {

constexpr const char* kAppTitle = "ｻﾝﾌﾟﾙ削除ﾂｰﾙ";  // string 57344
constexpr const char* kMainCaption = "サンプル 削除ﾂｰﾙ";
constexpr const char* kAboutCaption = "ﾊﾞｰｼﾞｮﾝ情報 ｻﾝﾌﾟﾙ";
constexpr const char* kAboutItem = "ﾊﾞｰｼﾞｮﾝ情報(&A)...";
constexpr const char* kConfirm = "削除しますか？";

std::string window_text(HWND hWnd)
{
    char buffer[256] = "";
    ::GetWindowTextA(hWnd, buffer, sizeof buffer);
    return buffer;
}

RECT window_rect(HWND hWnd)
{
    RECT rect{};
    ::GetWindowRect(hWnd, &rect);
    return rect;
}

bool same_class(const std::u16string& a, const std::u16string& b)
{
    auto upper = [](char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char16_t x, char16_t y) { return upper(x) == upper(y); });
}

class RcDialogTest : public ::testing::Test {
protected:
    testsupport::TempMachine machine;
    CRcSampleApp app;
    ScriptedFrontEnd screen;

    const WindowView& view_of(HWND hWnd)
    {
        for (const auto& w : screen.last_screen().windows)
            if (w.handle == hWnd)
                return w;
        ADD_FAILURE() << "window not on the screen";
        static WindowView none;
        return none;
    }

    HICON app_icon() const { return app.LoadIcon(IDR_MAINFRAME); }
};

TEST_F(RcDialogTest, TheMainDialogIsBuiltFromTheScriptAndEnterAsksBeforeItEndsWithOk)
{
    struct Expected {
        int id;
        std::u16string className;
        std::string text;
        DWORD style;
    };
    const Expected controls[] = {
        {IDOK, u"Button", "実行", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON},
        {IDCANCEL, u"Button", "ｷｬﾝｾﾙ", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON},
        {IDC_ERASE_DATA, u"Button", "データも削除(&D)", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX},
        {IDC_STATIC, u"Button", "インストール先", WS_CHILD | WS_VISIBLE | BS_GROUPBOX},
        {IDC_FOLDER, u"Static", "C:\\Program Files\\ｻﾝﾌﾟﾙ", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
        // Both kanji have a backslash as their second byte.
        {IDC_DETAILS, u"Static", "表示ソフト\\予定表", WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT},
        {IDC_STATIC, u"Static", "", WS_CHILD | WS_VISIBLE | SS_ICON},
    };
    HWND hDlg = nullptr;
    screen.then([&](HWND active) {
        ASSERT_NE(app.m_pDlg, nullptr);
        hDlg = active;
        EXPECT_EQ(active, app.m_pDlg->m_hWnd);
        EXPECT_EQ(window_text(active), kMainCaption);
        const WindowView& view = view_of(active);
        ASSERT_EQ(view.controls.size(), std::size(controls));
        for (std::size_t i = 0; i < std::size(controls); ++i) {
            const auto& expected = controls[i];
            const HWND hCtrl = view.controls[i].handle;
            EXPECT_EQ(GetDlgCtrlID(hCtrl), expected.id) << i;
            EXPECT_TRUE(same_class(view.controls[i].className, expected.className)) << i;
            EXPECT_EQ(window_text(hCtrl), expected.text) << i;
            EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(hCtrl, GWL_STYLE)), expected.style) << i;
        }
        EXPECT_NE(app_icon(), nullptr);
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(view.controls.back().handle, STM_GETICON, 0, 0)), app_icon())
            << "the ICON control shows the script's icon";
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(active, WM_GETICON, ICON_BIG, 0)), app_icon());

        EXPECT_EQ(GetFocus(), GetDlgItem(active, IDOK)) << "the first tab stop has the focus";
        EXPECT_EQ(SendMessageA(active, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        EXPECT_EQ(SendMessageA(GetDlgItem(active, IDC_ERASE_DATA), BM_GETCHECK, 0, 0), BST_UNCHECKED);

        // At (0, 0) in the script and without an owner: centred on the screen.
        const RECT rc = window_rect(active);
        EXPECT_EQ(rc.left, (GetSystemMetrics(SM_CXSCREEN) - (rc.right - rc.left)) / 2);
        EXPECT_EQ(rc.top, (GetSystemMetrics(SM_CYSCREEN) - (rc.bottom - rc.top)) / 2);
    });
    screen.click(IDC_ERASE_DATA);
    screen.then([&](HWND) {
        EXPECT_FALSE(app.m_pDlg->m_bEraseData) << "the member changes only through data exchange";
        app.m_pDlg->UpdateData(TRUE);
        EXPECT_TRUE(app.m_pDlg->m_bEraseData);
        EXPECT_EQ(GetFocus(), GetDlgItem(hDlg, IDC_ERASE_DATA));
    });
    screen.key(Key::Enter);  // the focus is on the check box: Enter presses the default button
    screen.answer_message_box(IDNO);
    screen.then([&](HWND active) {
        EXPECT_EQ(active, hDlg) << "No keeps the dialog up";
        EXPECT_TRUE(IsWindowVisible(active));
        EXPECT_TRUE(IsWindowEnabled(active));
    });
    screen.key(Key::Enter);
    screen.answer_message_box(IDYES);

    EXPECT_EQ(AfxWinMain(), 0);

    EXPECT_EQ(screen.actions_left(), 0u);
    EXPECT_STREQ(app.m_pszAppName, kAppTitle);
    EXPECT_EQ(app.m_nResponse, IDOK);
    EXPECT_TRUE(app.m_bEraseDataAtEnd) << "OnOK read the check box back";
    EXPECT_FALSE(app.m_bMainWndKeptAfterModal) << "m_pMainWnd is reset once the dialog's window is destroyed";
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    EXPECT_FALSE(IsWindow(hDlg));

    const auto shown = screen.events(Event::Kind::WindowShown);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].captionA, kMainCaption);
    const auto boxes = screen.events(Event::Kind::MessageBoxShown);
    ASSERT_EQ(boxes.size(), 2u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.textA, kConfirm);
        EXPECT_EQ(box.captionA, kAppTitle) << "the title from the string table, not the dialog's caption";
        EXPECT_EQ(box.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(box.owner, hDlg);
        EXPECT_FALSE(box.ownerEnabled);
    }
}

TEST_F(RcDialogTest, CancelEscAndTheCloseBoxEndWithoutReadingTheControlsBack)
{
    struct Case {
        const char* name;
        void (*end)(ScriptedFrontEnd&);
    };
    const Case cases[] = {
        {"Cancel button", [](ScriptedFrontEnd& s) { s.click(IDCANCEL); }},
        {"Esc", [](ScriptedFrontEnd& s) { s.key(Key::Escape); }},
        {"close box", [](ScriptedFrontEnd& s) { s.close_box(); }},
    };
    for (const auto& c : cases) {
        ScriptedFrontEnd local;
        app.m_bEraseDataAtStart = TRUE;
        local.then([&](HWND active) {
            EXPECT_EQ(SendMessageA(GetDlgItem(active, IDC_ERASE_DATA), BM_GETCHECK, 0, 0), BST_CHECKED)
                << c.name << ": the member went into the check box";
        });
        local.click(IDC_ERASE_DATA);
        c.end(local);
        EXPECT_EQ(AfxWinMain(), 0) << c.name;
        EXPECT_EQ(local.actions_left(), 0u) << c.name;
        EXPECT_EQ(app.m_nResponse, IDCANCEL) << c.name;
        EXPECT_TRUE(app.m_bEraseDataAtEnd) << c.name << ": the cleared box is not read back";
        EXPECT_TRUE(local.events(Event::Kind::MessageBoxShown).empty()) << c.name;
        EXPECT_EQ(app.m_pMainWnd, nullptr) << c.name;
    }
}

TEST_F(RcDialogTest, TheAboutBoxOpensFromTheSystemMenuModalAndCentredOverTheMainDialog)
{
    HWND hDlg = nullptr;
    screen.then([&](HWND active) { hDlg = active; });
    screen.open_system_menu();
    screen.choose_system_menu(IDM_ABOUTBOX);
    screen.then([&](HWND active) {
        ASSERT_NE(active, hDlg) << "the About box waits";
        EXPECT_EQ(window_text(active), kAboutCaption);
        EXPECT_FALSE(IsWindowEnabled(hDlg)) << "its owner is disabled";
        EXPECT_EQ(GetFocus(), GetDlgItem(active, IDOK));
        // The classic template keeps 16-bit ids: IDC_STATIC is 65535, the icon comes first.
        EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(GetDlgItem(active, 0xFFFF), STM_GETICON, 0, 0)), app_icon());
        const RECT owner = window_rect(hDlg);
        const RECT about = window_rect(active);
        EXPECT_EQ(about.left, owner.left + ((owner.right - owner.left) - (about.right - about.left)) / 2);
        EXPECT_EQ(about.top, owner.top + ((owner.bottom - owner.top) - (about.bottom - about.top)) / 2);
    });
    screen.key(Key::Enter);
    screen.then([&](HWND active) {
        EXPECT_EQ(active, hDlg);
        EXPECT_TRUE(IsWindowEnabled(hDlg)) << "the owner comes back";
    });
    screen.close_box();

    EXPECT_EQ(AfxWinMain(), 0);

    EXPECT_EQ(screen.actions_left(), 0u);
    EXPECT_EQ(app.m_nResponse, IDCANCEL);
    EXPECT_EQ(app.m_nAbout, 1);
    const auto menus = screen.events(Event::Kind::SystemMenuOpened);
    ASSERT_EQ(menus.size(), 1u);
    const auto& items = menus[0].menu;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].id, static_cast<UINT>(SC_MOVE));
    EXPECT_EQ(items[1].id, static_cast<UINT>(SC_CLOSE));
    EXPECT_EQ(items[2].flags, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(items[3].id, static_cast<UINT>(IDM_ABOUTBOX));
    EXPECT_EQ(platform::text::utf16_to_cp932(items[3].text), kAboutItem) << "the item text from the string table";
    const auto shown = screen.events(Event::Kind::WindowShown);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].captionA, kAboutCaption);
}

}  // namespace
