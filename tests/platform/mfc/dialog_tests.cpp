// A dialog of the class-library kind, run modally and worked by the scripted
// front end through the real message flow.

#include "tests/platform/mfc/sample_dialog.h"

#include "platform/frontend/scripted/scripted_frontend.h"
#include "platform/text/codepage.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

using platform::frontend::Key;
using platform::frontend::scripted::Event;
using platform::frontend::scripted::ScriptedFrontEnd;

namespace {

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp("Sample App") {}
};

class DialogTest : public ::testing::Test {
protected:
    testsupport::TempMachine machine;
    CTestApp app;
    ScriptedFrontEnd screen;

    // Runs the dialog as the application's main window, as the program does.
    INT_PTR run(CSampleDlg& dlg)
    {
        app.m_pMainWnd = &dlg;
        const INT_PTR result = dlg.DoModal();
        EXPECT_EQ(app.m_pMainWnd, nullptr) << "the main window is forgotten once its window is destroyed";
        EXPECT_EQ(screen.actions_left(), 0u) << "every scripted action was used";
        return result;
    }

    const platform::frontend::ControlView& control(HWND dialog, int id)
    {
        for (const auto& w : screen.last_screen().windows)
            if (w.handle == dialog)
                for (const auto& c : w.controls)
                    if (c.id == id)
                        return c;
        ADD_FAILURE() << "no control " << id;
        static platform::frontend::ControlView none;
        return none;
    }
};

TEST_F(DialogTest, FirstDisplayFocusesTheFirstTabStopWhichIsTheDefaultAndEnterPressesIt)
{
    CSampleDlg dlg;
    screen.then([&](HWND active) {
        EXPECT_EQ(active, dlg.m_hWnd);
        EXPECT_TRUE(control(active, IDCANCEL).focused);
        EXPECT_TRUE(control(active, IDCANCEL).isDefault);
        EXPECT_EQ(control(active, IDC_TICK).checkState, BST_CHECKED) << "m_bTick TRUE ticks the box";
        EXPECT_EQ(control(active, IDC_FOLDER).text, u"[C:\\Apps]");
        CString text;
        dlg.m_wndFolder.GetWindowText(text);
        EXPECT_STREQ(text, "[C:\\Apps]");
    });
    screen.key(Key::Enter);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(dlg.m_nOK, 0);
    EXPECT_EQ(dlg.m_wndFolder.m_hWnd, nullptr) << "the control object lets go of its destroyed window";
    const auto shown = screen.events(Event::Kind::WindowShown);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, u"サンプル");
    EXPECT_EQ(shown[0].captionA, platform::text::utf16_to_cp932(u"サンプル"));
}

TEST_F(DialogTest, EscTheCloseBoxAndTheSystemMenuCloseAllEndWithCancel)
{
    struct Case {
        const char* name;
        void (*script)(ScriptedFrontEnd&);
    };
    const Case cases[] = {
        {"Esc", [](ScriptedFrontEnd& s) { s.key(Key::Escape); }},
        {"close box", [](ScriptedFrontEnd& s) { s.close_box(); }},
        {"system menu Close", [](ScriptedFrontEnd& s) {
             s.open_system_menu();
             s.choose_system_menu(SC_CLOSE);
         }},
    };
    for (const auto& c : cases) {
        CSampleDlg dlg;
        c.script(screen);
        EXPECT_EQ(run(dlg), IDCANCEL) << c.name;
        EXPECT_EQ(dlg.m_nOK, 0) << c.name;
    }
}

TEST_F(DialogTest, OkReadsTheCheckBoxThroughTheOverride)
{
    CSampleDlg dlg;
    screen.click(IDC_TICK);
    screen.click(IDOK);
    EXPECT_EQ(run(dlg), IDOK);
    EXPECT_EQ(dlg.m_nOK, 1);
    EXPECT_EQ(dlg.m_bTick, FALSE);
}

TEST_F(DialogTest, EnterPressesTheFocusedPushButtonAndSpaceTogglesTheCheckBox)
{
    CSampleDlg dlg;
    screen.key(Key::Tab);  // OK comes second in the tab order
    screen.then([&](HWND active) {
        EXPECT_TRUE(control(active, IDOK).focused);
        EXPECT_TRUE(control(active, IDOK).isDefault) << "a focused push button is the one Enter presses";
        EXPECT_FALSE(control(active, IDCANCEL).isDefault);
    });
    screen.key(Key::Tab);
    screen.key(Key::Space);  // clears the check box
    screen.then([&](HWND active) {
        EXPECT_EQ(control(active, IDC_TICK).checkState, BST_UNCHECKED);
        EXPECT_TRUE(control(active, IDCANCEL).isDefault) << "the default button is back once focus leaves push buttons";
    });
    screen.key(Key::ShiftTab);
    screen.key(Key::Enter);
    EXPECT_EQ(run(dlg), IDOK);
    EXPECT_EQ(dlg.m_bTick, FALSE);
}

TEST_F(DialogTest, TabWrapsAroundAndSkipsControlsWithoutTabStop)
{
    CSampleDlg dlg;
    for (int i = 0; i < 4; ++i)
        screen.key(Key::Tab);  // OK, check box, Hello, Cancel again
    screen.then([&](HWND active) { EXPECT_TRUE(control(active, IDCANCEL).focused); });
    screen.key(Key::ShiftTab);
    screen.then([&](HWND active) { EXPECT_TRUE(control(active, IDC_HELLO).focused); });
    screen.key(Key::Escape);
    EXPECT_EQ(run(dlg), IDCANCEL);
}

TEST_F(DialogTest, CommandEntriesOfTheMessageMapAreReached)
{
    CSampleDlg dlg;
    screen.click(IDC_HELLO);
    screen.click(IDC_HELLO);
    screen.key(Key::Escape);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(dlg.m_nHello, 2);
}

TEST_F(DialogTest, EndingDuringInitialisationNeverShowsTheDialog)
{
    CSampleDlg dlg;
    dlg.m_bEndDuringInit = TRUE;
    screen.answer_message_box(IDOK);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_TRUE(screen.events(Event::Kind::WindowShown).empty()) << "the dialog was never shown";
    const auto boxes = screen.events(Event::Kind::MessageBoxShown);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].textA, "not installed");
    EXPECT_EQ(boxes[0].captionA, "Sample App") << "the application title, not the dialog's caption";
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_NE(boxes[0].owner, nullptr) << "owned by the dialog being initialised";
    EXPECT_FALSE(IsWindow(boxes[0].owner)) << "and that dialog is gone";
}

TEST_F(DialogTest, SystemMenuEndsWithTheAppendedSeparatorAndItemWhichOpensANestedModalBox)
{
    CSampleDlg dlg;
    screen.open_system_menu();
    screen.choose_system_menu(IDM_ABOUT);
    screen.then([&](HWND active) {
        EXPECT_NE(active, dlg.m_hWnd) << "the About box waits";
        EXPECT_FALSE(IsWindowEnabled(dlg.m_hWnd)) << "its owner is disabled";
    });
    screen.key(Key::Enter);  // OK of the About box
    screen.then([&](HWND active) {
        EXPECT_EQ(active, dlg.m_hWnd);
        EXPECT_TRUE(IsWindowEnabled(dlg.m_hWnd)) << "the owner comes back";
        EXPECT_EQ(control(active, IDC_TICK).checkState, BST_CHECKED) << "and is unchanged";
    });
    screen.key(Key::Escape);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(dlg.m_nAbout, 1);
    EXPECT_TRUE(dlg.m_bOwnerDisabledInAbout == FALSE) << "still enabled before the About box is created";

    const auto menus = screen.events(Event::Kind::SystemMenuOpened);
    ASSERT_EQ(menus.size(), 1u);
    const auto& items = menus[0].menu;
    ASSERT_EQ(items.size(), 4u) << "a modal-frame dialog has Move and Close, then the appended two";
    EXPECT_EQ(items[0].id, static_cast<UINT>(SC_MOVE));
    EXPECT_EQ(items[1].id, static_cast<UINT>(SC_CLOSE));
    EXPECT_EQ(items[2].flags, static_cast<UINT>(MF_SEPARATOR));
    EXPECT_EQ(items[3].id, static_cast<UINT>(IDM_ABOUT));
    EXPECT_EQ(items[3].text, u"About...");
    const auto shown = screen.events(Event::Kind::WindowShown);
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].caption, u"ﾊﾞｰｼﾞｮﾝ情報");
}

TEST_F(DialogTest, AnyCommandOfTheAboutRangeOpensTheBoxThroughSysCommand)
{
    CSampleDlg dlg;
    screen.then([&](HWND active) { SendMessageA(active, WM_SYSCOMMAND, 0x001F, 0); });
    screen.key(Key::Escape);  // closes the About box
    screen.key(Key::Escape);
    // The About box's own loop consumed the first Esc: check was run inside the main loop's wait.
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(dlg.m_nAbout, 1);
}

TEST_F(DialogTest, MinimisedPaintingCentresTheIconWithRoundingTowardZero)
{
    struct Case {
        int client;
        int expected;
    };
    for (const Case c : {Case{36, 2}, Case{0, -15}, Case{33, 1}}) {
        ScriptedFrontEnd local;
        CSampleDlg dlg;
        local.minimize(c.client, c.client);
        local.then([&](HWND active) {
            EXPECT_TRUE(IsIconic(active));
            EXPECT_EQ(SendMessageA(active, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<LRESULT>(dlg.m_hIcon));
        });
        local.restore();
        local.key(Key::Escape);
        app.m_pMainWnd = &dlg;
        EXPECT_EQ(dlg.DoModal(), IDCANCEL);
        const auto icons = local.events(Event::Kind::IconDrawn);
        ASSERT_EQ(icons.size(), 1u) << "drawn once, while minimised";
        EXPECT_EQ(icons[0].x, c.expected);
        EXPECT_EQ(icons[0].y, c.expected);
        EXPECT_EQ(icons[0].icon, dlg.m_hIcon);
    }
}

TEST_F(DialogTest, DataExchangeBothWaysAndAnOutOfRangeMemberBecomesZero)
{
    CSampleDlg dlg;
    dlg.m_bTick = 5;
    screen.then([&](HWND active) {
        EXPECT_EQ(dlg.m_bTick, 0) << "the member itself is corrected";
        EXPECT_EQ(control(active, IDC_TICK).checkState, BST_UNCHECKED);
        SendMessageA(GetDlgItem(active, IDC_TICK), BM_SETCHECK, BST_CHECKED, 0);
        dlg.UpdateData(TRUE);
        EXPECT_EQ(dlg.m_bTick, 1);
        dlg.m_bTick = 2;
        dlg.UpdateData(FALSE);
        EXPECT_EQ(SendMessageA(GetDlgItem(active, IDC_TICK), BM_GETCHECK, 0, 0), BST_CHECKED)
            << "a two-state box shows 2 as ticked";
    });
    screen.key(Key::Escape);
    EXPECT_EQ(run(dlg), IDCANCEL);
}

TEST_F(DialogTest, AfxMessageBoxAddsTheExclamationIconOnlyWhenNoIconIsNamed)
{
    struct Case {
        UINT type;
        UINT shown;
        int answer;
    };
    const Case cases[] = {
        {MB_OK, MB_OK | MB_ICONEXCLAMATION, IDOK},
        {MB_OKCANCEL, MB_OKCANCEL | MB_ICONEXCLAMATION, IDCANCEL},
        {MB_YESNO, MB_YESNO | MB_ICONEXCLAMATION, IDNO},
        {MB_YESNOCANCEL, MB_YESNOCANCEL | MB_ICONEXCLAMATION, IDYES},
        {MB_YESNO | MB_ICONQUESTION, MB_YESNO | MB_ICONQUESTION, IDYES},
        {MB_ICONSTOP, MB_ICONSTOP, IDOK},
        {MB_ICONINFORMATION, MB_ICONINFORMATION, IDOK},
        {MB_RETRYCANCEL, MB_RETRYCANCEL, IDRETRY},
    };
    for (const auto& c : cases)
        screen.answer_message_box(c.answer);
    for (const auto& c : cases)
        EXPECT_EQ(AfxMessageBox("text", c.type), c.answer) << c.type;
    const auto boxes = screen.events(Event::Kind::MessageBoxShown);
    ASSERT_EQ(boxes.size(), std::size(cases));
    for (std::size_t i = 0; i < boxes.size(); ++i) {
        EXPECT_EQ(boxes[i].type, cases[i].shown) << cases[i].type;
        EXPECT_EQ(boxes[i].captionA, "Sample App");
        EXPECT_EQ(boxes[i].owner, nullptr) << "no main window, no owner";
    }
}

TEST_F(DialogTest, MessageBoxesAreModalOverTheirOwnerAndEscDependsOnTheButtons)
{
    CSampleDlg dlg;
    int okResult = 0, okCancelResult = 0, yesNoResult = 0;
    HWND hWndDialog = nullptr;
    screen.then([&](HWND active) {
        hWndDialog = active;
        okResult = AfxMessageBox("one", MB_OK);
        okCancelResult = AfxMessageBox("two", MB_OKCANCEL);
        yesNoResult = AfxMessageBox("three", MB_YESNO);
        EXPECT_TRUE(IsWindowEnabled(active));
    });
    screen.key(Key::Escape);  // lone OK: IDOK
    screen.key(Key::Escape);  // OK/Cancel: IDCANCEL
    screen.key(Key::Escape);  // Yes/No: nothing happens
    screen.close_box();       // nor here
    screen.then([](HWND active) { EXPECT_NE(GetDlgItem(active, IDNO), nullptr) << "the Yes/No box still waits"; });
    screen.answer_message_box(IDNO);
    screen.key(Key::Escape);  // the dialog itself
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(okResult, IDOK);
    EXPECT_EQ(okCancelResult, IDCANCEL);
    EXPECT_EQ(yesNoResult, IDNO);
    const auto boxes = screen.events(Event::Kind::MessageBoxShown);
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& box : boxes) {
        EXPECT_EQ(box.owner, hWndDialog) << "owned by the waiting dialog";
        EXPECT_FALSE(box.ownerEnabled) << "the owner is disabled while the box shows";
    }
}

TEST_F(DialogTest, FromHandleGivesNullForNullAndATemporaryObjectForAForeignWindow)
{
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = "Foreign@Class";
    ASSERT_NE(RegisterClassA(&wc), 0);
    HWND hWnd = CreateWindowExA(0, "Foreign@Class", "Foreign", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                                nullptr, nullptr);
    ASSERT_NE(hWnd, nullptr);
    EXPECT_EQ(FindWindowA("foreign@class", NULL), hWnd) << "class names compare without regard to case";
    CWnd* pWnd = CWnd::FromHandle(FindWindowA("Foreign@Class", NULL));
    ASSERT_NE(pWnd, nullptr);
    EXPECT_EQ(pWnd->GetSafeHwnd(), hWnd);
    EXPECT_EQ(CWnd::FromHandle(hWnd), pWnd);
    DestroyWindow(hWnd);
    EXPECT_EQ(CWnd::FromHandle(FindWindowA("Foreign@Class", NULL)), nullptr);
}

TEST_F(DialogTest, ADialogThatCannotBeCreatedReturnsMinusOne)
{
    CDialog missing(4242);  // no such template among the module's resources
    EXPECT_EQ(missing.DoModal(), -1);
    EXPECT_TRUE(screen.transcript().empty());
}

TEST(ScriptedFrontEndDeathTest, RunningOutOfActionsEndsTheProcessInsteadOfHanging)
{
    testsupport::TempMachine machine;
    EXPECT_DEATH(
        {
            ScriptedFrontEnd screen;
            CSampleDlg dlg;
            dlg.DoModal();
        },
        "no actions left");
}

TEST(WinAppTest, TheTitleFallsBackToTheProgramNameAndInitInstanceFalseGivesExitInstancesCode)
{
    testsupport::TempMachine machine;
    class CNoTitleApp : public CWinApp {
    public:
        BOOL InitInstance() override
        {
            Enable3dControlsStatic();
            m_bRan = TRUE;
            return FALSE;
        }
        int ExitInstance() override { return 7; }
        BOOL m_bRan = FALSE;
    } app;
    EXPECT_EQ(AfxGetApp(), &app);
    EXPECT_EQ(AfxWinMain(), 7);
    EXPECT_TRUE(app.m_bRan);
    // The test program has no resources, so no string 57344: the file name is the title.
    EXPECT_STREQ(app.m_pszAppName, "mfc_window_tests");
}

}  // namespace

TEST_F(DialogTest, ALongMessageGetsTheRowsItWrapsInto)
{
    std::string longText;
    for (int i = 0; i < 20; ++i)
        longText += "wrapping ";  // far wider than a message box may grow
    LONG shortHeight = 0, longHeight = 0;
    auto text_height = [](HWND box) {
        RECT rc{};
        GetClientRect(GetDlgItem(box, 0xFFFF), &rc);
        return rc.bottom - rc.top;
    };
    screen.then([&](HWND active) { shortHeight = text_height(active); });
    screen.answer_message_box(IDOK);
    screen.then([&](HWND active) { longHeight = text_height(active); });
    screen.answer_message_box(IDOK);
    MessageBoxA(nullptr, "short", "caption", MB_OK);
    MessageBoxA(nullptr, longText.c_str(), "caption", MB_OK);
    ASSERT_GT(shortHeight, 0);
    EXPECT_GE(longHeight, 3 * shortHeight) << "the wrapped rows must all fit, not be cut off";
}

TEST(MessageBoxOnANarrowScreen, WrapsSoonerToStayWithinTheScreen)
{
    // A screen as narrow as 80 terminal columns would be at these base units.
    struct NarrowScreen : ScriptedFrontEnd {
        SIZE screen_size() override { return {560, 768}; }
    };
    std::string longText;
    for (int i = 0; i < 12; ++i)
        longText += "wrapping ";  // 108 columns: wider than the screen
    LONG wideWidth = 0, narrowWidth = 0;
    auto width = [](HWND box) {
        RECT rc{};
        GetWindowRect(box, &rc);
        return rc.right - rc.left;
    };
    {
        ScriptedFrontEnd wide;
        wide.then([&](HWND active) { wideWidth = width(active); });
        wide.answer_message_box(IDOK);
        MessageBoxA(nullptr, longText.c_str(), "caption", MB_OK | MB_ICONEXCLAMATION);
    }
    {
        NarrowScreen narrow;
        narrow.then([&](HWND active) { narrowWidth = width(active); });
        narrow.answer_message_box(IDOK);
        MessageBoxA(nullptr, longText.c_str(), "caption", MB_OK | MB_ICONEXCLAMATION);
    }
    EXPECT_GT(wideWidth, 560) << "on a wide screen the box may grow past 80 columns";
    EXPECT_GT(narrowWidth, 0);
    EXPECT_LE(narrowWidth, 560);
}

TEST_F(DialogTest, TheFocusComesBackToItsControlWhenANestedBoxCloses)
{
    CSampleDlg dlg;
    HWND before = nullptr, after = nullptr;
    screen.key(Key::Tab);
    screen.then([&](HWND) {
        before = GetFocus();
        AfxMessageBox("nested", MB_OK);
        after = GetFocus();
    });
    screen.answer_message_box(IDOK);
    screen.key(Key::Escape);
    EXPECT_EQ(run(dlg), IDCANCEL);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(after, before) << "the owner's control keeps the focus it had before the box";
}

namespace {

// Records the WM_MOVE messages a window receives, in front of its own procedure.
struct MoveRecorder {
    static inline WNDPROC previous = nullptr;
    static inline std::vector<LPARAM> moves;

    static LRESULT proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
    {
        if (msg == WM_MOVE)
            moves.push_back(lParam);
        return CallWindowProcA(previous, hwnd, msg, wParam, lParam);
    }

    static void attach(HWND hwnd)
    {
        moves.clear();
        previous = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MoveRecorder::proc)));
    }
};

RECT window_rect(HWND hwnd)
{
    RECT r{};
    GetWindowRect(hwnd, &r);
    return r;
}

RECT offset(RECT r, LONG dx, LONG dy)
{
    return RECT{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

}  // namespace

// Found by the test macros through RECT's own (global) namespace.
static bool operator==(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

[[maybe_unused]] static std::ostream& operator<<(std::ostream& out, const RECT& r)
{
    return out << "(" << r.left << ", " << r.top << ")-(" << r.right << ", " << r.bottom << ")";
}

TEST_F(DialogTest, MoveFromTheSystemMenuMovesTheWindowWithItsControlsAndSendsWmMove)
{
    CSampleDlg dlg;
    RECT before{}, tickBefore{};
    screen.then([&](HWND active) {
        MoveRecorder::attach(active);
        before = window_rect(active);
        tickBefore = window_rect(GetDlgItem(active, IDC_TICK));
    });
    screen.open_system_menu();
    screen.choose_system_menu(SC_MOVE);
    screen.move_by(-30, 12);
    screen.move_by(1, 0);
    screen.then([&](HWND active) {
        EXPECT_EQ(window_rect(active), before) << "nothing moves before the place is chosen";
        EXPECT_TRUE(MoveRecorder::moves.empty());
    });
    screen.key(Key::Enter);
    screen.then([&](HWND active) {
        EXPECT_EQ(window_rect(active), offset(before, -29, 12));
        EXPECT_EQ(window_rect(GetDlgItem(active, IDC_TICK)), offset(tickBefore, -29, 12)) << "the controls go along";
        ASSERT_EQ(MoveRecorder::moves.size(), 1u);
        EXPECT_EQ(MoveRecorder::moves[0], MAKELPARAM(before.left - 29, before.top + 12))
            << "WM_MOVE gives the client area's new corner";
        // The picture the front end is shown has moved too; controls stay put in the client area.
        const auto& shown = screen.last_screen().windows.back();
        EXPECT_EQ(shown.rect, offset(before, -29, 12));
        EXPECT_EQ(shown.clientRect, offset(before, -29, 12));
        EXPECT_EQ(control(active, IDC_TICK).rect, offset(tickBefore, -before.left, -before.top));
        EXPECT_TRUE(IsWindowEnabled(active)) << "the dialog still takes input";
    });
    // A box opened now is centred over the dialog at its new place.
    screen.open_system_menu();
    screen.choose_system_menu(IDM_ABOUT);
    screen.then([&](HWND about) {
        const RECT owner = window_rect(dlg.m_hWnd);
        const RECT box = window_rect(about);
        EXPECT_EQ((box.left + box.right) / 2, (owner.left + owner.right) / 2);
        EXPECT_EQ((box.top + box.bottom) / 2, (owner.top + owner.bottom) / 2);
    });
    screen.key(Key::Enter);
    screen.click(IDC_HELLO);
    screen.key(Key::Escape);
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(dlg.m_nHello, 1) << "a click still reaches its control";
}

TEST_F(DialogTest, EscDuringAMovePutsTheWindowBackAndSendsNoWmMove)
{
    CSampleDlg dlg;
    RECT before{};
    screen.then([&](HWND active) {
        MoveRecorder::attach(active);
        before = window_rect(active);
    });
    screen.open_system_menu();
    screen.choose_system_menu(SC_MOVE);
    screen.move_by(7, 7);
    screen.key(Key::Escape);
    screen.then([&](HWND active) {
        EXPECT_EQ(window_rect(active), before);
        EXPECT_TRUE(MoveRecorder::moves.empty());
        EXPECT_FALSE(screen.last_screen().windows.back().systemMenuOpen) << "the menu closed with the choice";
    });
    screen.key(Key::Escape);  // the dialog's own Cancel: the move's Esc was not passed on
    EXPECT_EQ(run(dlg), IDCANCEL);
    EXPECT_EQ(dlg.m_nOK, 0);
}

TEST_F(DialogTest, ABoxCentredOverAnOwnerAtTheScreensEdgeStaysOnTheScreen)
{
    CSampleDlg dlg;
    const SIZE screenSize = platform::frontend::scripted::kScreenSize;
    screen.open_system_menu();
    screen.choose_system_menu(SC_MOVE);
    // From the centre to the bottom right corner, most of the dialog off the screen.
    screen.move_by(screenSize.cx / 2, screenSize.cy / 2);
    screen.key(Key::Enter);
    screen.then([&](HWND active) { EXPECT_GT(window_rect(active).right, screenSize.cx); });
    screen.open_system_menu();
    screen.choose_system_menu(IDM_ABOUT);
    screen.then([&](HWND about) {
        const RECT box = window_rect(about);
        EXPECT_EQ(box.right, screenSize.cx) << box;
        EXPECT_EQ(box.bottom, screenSize.cy) << box;
    });
    screen.key(Key::Enter);
    screen.key(Key::Escape);
    EXPECT_EQ(run(dlg), IDCANCEL);
}
