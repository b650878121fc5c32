// The window manager's Win32 functions as the system relies on them: texts in
// code page 932, buttons, dialogs, the system menu, painting, window classes,
// finding windows and handles that outlive their windows.

#include "platform/win32.h"
#include "platform/frontend/scripted/scripted_frontend.h"
#include "platform/text/codepage.h"
#include "platform/windows/window_manager.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using platform::frontend::Key;
using platform::frontend::scripted::Event;
using platform::frontend::scripted::ScriptedFrontEnd;
using platform::resources::DialogItem;
using platform::resources::DialogTemplate;

namespace {

constexpr const char* kClass = "Mr7TestWindow";

struct Message {
    HWND hWnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// What the test window class and the test dialogs were sent, in order.
std::vector<Message> g_messages;
HICON g_paintIcon = nullptr;

LRESULT CALLBACK test_window_proc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_messages.push_back({hWnd, message, wParam, lParam});
    switch (message) {
    case WM_CREATE: {
        const auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        return cs->lpCreateParams == reinterpret_cast<LPVOID>(-1) ? -1 : 0;
    }
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC hdc = BeginPaint(hWnd, &ps);
        DrawIcon(hdc, 3, 4, g_paintIcon);
        EndPaint(hWnd, &ps);
        return 0;
    }
    default:
        return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

int count(UINT message, HWND hWnd = nullptr)
{
    int n = 0;
    for (const auto& m : g_messages)
        if (m.message == message && (!hWnd || m.hWnd == hWnd))
            ++n;
    return n;
}

// Controls of the templates built here.
const auto item = platform::resources::make_control;

constexpr WORD kButton = platform::resources::kButtonAtom;

// A modal-frame dialog: OK (default), Cancel, a check box, at (10, 10).
DialogTemplate dialog_template()
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME;
    t.x = 10;
    t.y = 10;
    t.cx = 160;
    t.cy = 80;
    t.title = u"ﾃｽﾄ";
    t.items = {
        item(kButton, IDOK, u"OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 50, 60, 50, 14),
        item(kButton, IDCANCEL, u"ｷｬﾝｾﾙ", BS_PUSHBUTTON | WS_TABSTOP, 105, 60, 50, 14),
        item(kButton, 1001, u"ﾁｪｯｸ", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 5, 60, 10),
    };
    return t;
}

// The dialog procedure: records, and runs the test's code on WM_INITDIALOG.
void (*g_onInit)(HWND) = nullptr;

INT_PTR CALLBACK test_dialog_proc(HWND hDlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    g_messages.push_back({hDlg, message, wParam, lParam});
    if (message == WM_INITDIALOG && g_onInit)
        g_onInit(hDlg);
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        EndDialog(hDlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

class Win32WindowsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_messages.clear();
        g_onInit = nullptr;
        g_paintIcon = reinterpret_cast<HICON>(0x1234);
        WNDCLASSA wc{};
        wc.lpfnWndProc = test_window_proc;
        wc.lpszClassName = kClass;
        ASSERT_NE(RegisterClassA(&wc), 0);
    }

    HWND create_top_level(LPCSTR caption, DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE, LPVOID param = nullptr)
    {
        return CreateWindowExA(0, kClass, caption, style, 10, 20, 300, 200, nullptr, nullptr, nullptr, param);
    }

    HWND create_button(HWND parent, int id, DWORD type, LPCSTR text = "ﾎﾞﾀﾝ")
    {
        return CreateWindowExA(0, "button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | type, 5, 5, 80, 20, parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }

    testsupport::TempMachine machine;
    ScriptedFrontEnd screen;
};

TEST_F(Win32WindowsTest, TextsGoInAndOutInCodePage932AndASmallBufferNeverCutsACharacterInTwo)
{
    HWND hWnd = create_top_level("");
    ASSERT_NE(hWnd, nullptr);
    // a, half-width ｱ (one byte), 漢 (two bytes), ソ and 表 (second byte 0x5C), b: nine bytes.
    const std::string text = "aｱ漢ソ表b";
    ASSERT_EQ(text.size(), 9u);
    EXPECT_EQ(SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())), TRUE);
    EXPECT_EQ(SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0), 9);
    EXPECT_EQ(GetWindowTextLengthA(hWnd), 9);

    struct Case {
        int size;            // buffer size given, with room for the terminator
        const char* copied;  // what comes back
    };
    const Case cases[] = {
        {64, "aｱ漢ソ表b"}, {10, "aｱ漢ソ表b"}, {9, "aｱ漢ソ表"}, {8, "aｱ漢ソ"}, {7, "aｱ漢ソ"},
        {6, "aｱ漢"},      {5, "aｱ漢"},      {4, "aｱ"},      {2, "a"},     {1, ""},
    };
    for (const auto& c : cases) {
        char buffer[80];
        std::memset(buffer, 'X', sizeof buffer);
        const LRESULT copied = SendMessageA(hWnd, WM_GETTEXT, c.size, reinterpret_cast<LPARAM>(buffer));
        EXPECT_STREQ(buffer, c.copied) << "buffer of " << c.size;
        EXPECT_EQ(copied, static_cast<LRESULT>(std::strlen(c.copied))) << "buffer of " << c.size;
        EXPECT_EQ(buffer[c.size], 'X') << "nothing written past a buffer of " << c.size;
        std::memset(buffer, 'X', sizeof buffer);
        EXPECT_EQ(GetWindowTextA(hWnd, buffer, c.size), copied) << "buffer of " << c.size;
        EXPECT_STREQ(buffer, c.copied) << "GetWindowTextA, buffer of " << c.size;
    }
    char untouched[4] = "XYZ";
    EXPECT_EQ(SendMessageA(hWnd, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(untouched)), 0);
    EXPECT_STREQ(untouched, "XYZ") << "a buffer of no size is left alone";

    EXPECT_TRUE(SetWindowTextA(hWnd, "ﾐﾗﾍﾞﾙ ｱﾝｲﾝｽﾄﾗｰ"));
    char buffer[64];
    GetWindowTextA(hWnd, buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "ﾐﾗﾍﾞﾙ ｱﾝｲﾝｽﾄﾗｰ");
    DestroyWindow(hWnd);
}

TEST_F(Win32WindowsTest, ButtonsKeepTheirCheckAndAClickReportsToTheParent)
{
    HWND hWnd = create_top_level("parent");
    HWND hPush = create_button(hWnd, 10, BS_PUSHBUTTON);
    HWND hCheck = create_button(hWnd, 11, BS_AUTOCHECKBOX);
    HWND hPlain = create_button(hWnd, 12, BS_CHECKBOX);
    HWND hThree = create_button(hWnd, 13, BS_AUTO3STATE);
    ASSERT_TRUE(hPush && hCheck && hPlain && hThree);
    EXPECT_EQ(GetDlgItem(hWnd, 11), hCheck);
    EXPECT_EQ(GetDlgCtrlID(hCheck), 11);
    EXPECT_EQ(GetParent(hCheck), hWnd);
    EXPECT_EQ(GetDlgItem(hWnd, 99), nullptr);

    struct SetCase {
        HWND button;
        WPARAM set;
        LRESULT got;
    };
    const SetCase sets[] = {
        {hCheck, BST_CHECKED, BST_CHECKED},
        {hCheck, BST_UNCHECKED, BST_UNCHECKED},
        {hCheck, BST_INDETERMINATE, BST_CHECKED},  // a two-state box has no third state
        {hThree, BST_INDETERMINATE, BST_INDETERMINATE},
        {hPush, BST_CHECKED, BST_UNCHECKED},       // a push button has no check
    };
    for (const auto& s : sets) {
        SendMessageA(s.button, BM_SETCHECK, s.set, 0);
        EXPECT_EQ(SendMessageA(s.button, BM_GETCHECK, 0, 0), s.got) << GetDlgCtrlID(s.button) << " set " << s.set;
    }

    struct ClickCase {
        HWND button;
        LRESULT checkAfter;
    };
    SendMessageA(hCheck, BM_SETCHECK, BST_UNCHECKED, 0);
    const ClickCase clicks[] = {
        {hPush, BST_UNCHECKED},
        {hCheck, BST_CHECKED},
        {hCheck, BST_UNCHECKED},
        {hPlain, BST_UNCHECKED},  // the owner ticks a plain check box itself
        {hThree, BST_UNCHECKED},  // indeterminate wraps round to unchecked
    };
    for (const auto& c : clicks) {
        g_messages.clear();
        SendMessageA(c.button, BM_CLICK, 0, 0);
        ASSERT_EQ(count(WM_COMMAND, hWnd), 1) << GetDlgCtrlID(c.button);
        const Message& m = g_messages.back();
        EXPECT_EQ(m.wParam, MAKEWPARAM(GetDlgCtrlID(c.button), BN_CLICKED));
        EXPECT_EQ(reinterpret_cast<HWND>(m.lParam), c.button);
        EXPECT_EQ(SendMessageA(c.button, BM_GETCHECK, 0, 0), c.checkAfter) << GetDlgCtrlID(c.button);
    }

    // Disabling: the previous state comes back, WM_ENABLE only on a change, the focus leaves.
    SetFocus(hPush);
    g_messages.clear();
    EXPECT_FALSE(EnableWindow(hPush, FALSE)) << "was enabled";
    EXPECT_TRUE(EnableWindow(hPush, FALSE)) << "was disabled";
    EXPECT_FALSE(IsWindowEnabled(hPush));
    EXPECT_EQ(GetFocus(), nullptr) << "a disabled window cannot keep the focus";
    SendMessageA(hPush, BM_CLICK, 0, 0);
    EXPECT_EQ(count(WM_COMMAND, hWnd), 0) << "a disabled button does not click";
    EXPECT_TRUE(EnableWindow(hPush, TRUE));
    EXPECT_TRUE(IsWindowEnabled(hPush));
    DestroyWindow(hWnd);
}

TEST_F(Win32WindowsTest, DialogsDefaultButtonSystemMenuAndClientArea)
{
    HWND hDlg = nullptr;
    screen.then([&](HWND active) {
        hDlg = active;
        EXPECT_EQ(SendMessageA(active, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
        EXPECT_EQ(GetFocus(), GetDlgItem(active, IDOK));

        // The template's size in dialog units is the client area.
        RECT client{};
        ASSERT_TRUE(GetClientRect(active, &client));
        const auto base = platform::frontend::scripted::kBaseUnits;
        EXPECT_EQ(client.right, (160 * base.x + 2) / 4);
        EXPECT_EQ(client.bottom, (80 * base.y + 4) / 8);
        ASSERT_TRUE(GetClientRect(GetDlgItem(active, IDOK), &client));
        EXPECT_EQ(client.right, (50 * base.x + 2) / 4);
        EXPECT_EQ(client.left, 0);

        // A modal-frame dialog's system menu: Move and Close.
        HMENU hMenu = GetSystemMenu(active, FALSE);
        ASSERT_NE(hMenu, nullptr);
        EXPECT_EQ(GetSystemMenu(active, FALSE), hMenu) << "the same copy each time";
        ASSERT_EQ(GetMenuItemCount(hMenu), 2);
        EXPECT_EQ(GetMenuItemID(hMenu, 0), static_cast<UINT>(SC_MOVE));
        EXPECT_EQ(GetMenuItemID(hMenu, 1), static_cast<UINT>(SC_CLOSE));
        EXPECT_TRUE(AppendMenuA(hMenu, MF_SEPARATOR, 0, nullptr));
        EXPECT_TRUE(AppendMenuA(hMenu, MF_STRING, 0x0010, "ﾊﾞｰｼﾞｮﾝ情報(&A)..."));
        ASSERT_EQ(GetMenuItemCount(hMenu), 4);
        EXPECT_EQ(GetMenuState(hMenu, 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
        EXPECT_EQ(GetMenuItemID(hMenu, 3), 0x0010u);
        char text[64] = "";
        EXPECT_EQ(GetMenuStringA(hMenu, 0x0010, text, sizeof text, MF_BYCOMMAND), 18);
        EXPECT_STREQ(text, "ﾊﾞｰｼﾞｮﾝ情報(&A)...");
        EXPECT_EQ(GetSystemMenu(GetDlgItem(active, IDOK), FALSE), nullptr) << "controls have no system menu";
    });
    screen.open_system_menu();
    screen.choose_system_menu(0x0010);
    screen.then([&](HWND active) {
        EXPECT_EQ(active, hDlg) << "an unhandled command of the menu leaves the dialog up";
        EXPECT_EQ(count(WM_SYSCOMMAND, active), 1);
        // Reverting drops the appended items.
        EXPECT_EQ(GetSystemMenu(active, TRUE), nullptr);
        EXPECT_EQ(GetMenuItemCount(GetSystemMenu(active, FALSE)), 2);
    });
    screen.key(Key::Enter);

    EXPECT_EQ(platform::windows::dialog_box(dialog_template(), nullptr, test_dialog_proc, 0), IDOK);
    EXPECT_EQ(screen.actions_left(), 0u);
    const auto menus = screen.events(Event::Kind::SystemMenuOpened);
    ASSERT_EQ(menus.size(), 1u);
    ASSERT_EQ(menus[0].menu.size(), 4u);
    EXPECT_EQ(platform::text::utf16_to_cp932(menus[0].menu[3].text), "ﾊﾞｰｼﾞｮﾝ情報(&A)...");
}

TEST_F(Win32WindowsTest, EndDialogDuringInitialisationNeverShowsTheDialogAndGivesTheOwnerBack)
{
    HWND hOwner = create_top_level("owner");
    g_messages.clear();
    g_onInit = [](HWND hDlg) { EndDialog(hDlg, 42); };
    EXPECT_EQ(platform::windows::dialog_box(dialog_template(), hOwner, test_dialog_proc, 7), 42);
    EXPECT_EQ(count(WM_INITDIALOG), 1);
    const auto first = std::find_if(g_messages.begin(), g_messages.end(), [&](const Message& m) { return m.hWnd != hOwner; });
    ASSERT_NE(first, g_messages.end());
    EXPECT_EQ(first->message, WM_INITDIALOG) << "the dialog procedure saw nothing before";
    EXPECT_EQ(first->lParam, 7);
    EXPECT_EQ(count(WM_ENABLE, hOwner), 2) << "the owner was disabled, then enabled";
    EXPECT_EQ(count(WM_SHOWWINDOW), 0);
    EXPECT_TRUE(screen.transcript().empty()) << "no modal loop waited, nothing was shown";
    EXPECT_TRUE(IsWindowEnabled(hOwner));
    EXPECT_EQ(platform::windows::innermost_modal_dialog(), nullptr);
    DestroyWindow(hOwner);
}

TEST_F(Win32WindowsTest, MinimisedWindowsPaintTheirIconThroughBeginPaint)
{
    EXPECT_EQ(GetSystemMetrics(SM_CXICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CYICON), 32);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), platform::frontend::scripted::kScreenSize.cx);

    HWND hWnd = create_top_level("paint");
    RECT client{};
    ASSERT_TRUE(GetClientRect(hWnd, &client));
    EXPECT_EQ(client.right - client.left, 300);
    EXPECT_EQ(client.bottom - client.top, 200);

    EXPECT_TRUE(UpdateWindow(hWnd));
    EXPECT_EQ(count(WM_PAINT), 1);
    EXPECT_TRUE(UpdateWindow(hWnd));
    EXPECT_EQ(count(WM_PAINT), 1) << "BeginPaint validated the window";
    EXPECT_EQ(count(WM_ERASEBKGND), 1);

    EXPECT_FALSE(IsIconic(hWnd));
    EXPECT_TRUE(ShowWindow(hWnd, SW_MINIMIZE)) << "it was visible";
    EXPECT_TRUE(IsIconic(hWnd));
    UpdateWindow(hWnd);
    EXPECT_EQ(count(WM_PAINT), 2) << "minimising repaints";
    EXPECT_EQ(count(WM_ICONERASEBKGND), 1) << "a minimised window erases as an icon";
    ShowWindow(hWnd, SW_RESTORE);
    EXPECT_FALSE(IsIconic(hWnd));
    ASSERT_TRUE(GetClientRect(hWnd, &client));
    EXPECT_EQ(client.right - client.left, 300) << "the size comes back";

    const auto icons = screen.events(Event::Kind::IconDrawn);
    ASSERT_EQ(icons.size(), 2u);
    EXPECT_EQ(icons[0].window, hWnd);
    EXPECT_EQ(icons[0].x, 3);
    EXPECT_EQ(icons[0].y, 4);
    EXPECT_EQ(icons[0].icon, g_paintIcon);

    // A context is good only between BeginPaint and EndPaint; no icon, no drawing.
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hWnd, &ps);
    ASSERT_NE(hdc, nullptr);
    EXPECT_FALSE(DrawIcon(hdc, 0, 0, nullptr));
    EndPaint(hWnd, &ps);
    EXPECT_FALSE(DrawIcon(hdc, 0, 0, g_paintIcon));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(screen.events(Event::Kind::IconDrawn).size(), 2u);
    DestroyWindow(hWnd);
}

TEST_F(Win32WindowsTest, ClassesWindowsAndFindWindowFromCreationToDestruction)
{
    WNDCLASSA again{};
    again.lpfnWndProc = DefWindowProcA;
    again.lpszClassName = "MR7TESTWINDOW";
    EXPECT_EQ(RegisterClassA(&again), 0) << "class names ignore case";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_ALREADY_EXISTS));

    EXPECT_EQ(CreateWindowExA(0, "NoSuchClass", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_EQ(create_top_level("refused", WS_OVERLAPPEDWINDOW, reinterpret_cast<LPVOID>(-1)), nullptr)
        << "WM_CREATE returning -1 fails the creation";
    EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr) << "and leaves no window behind";

    g_messages.clear();
    HWND hWnd = create_top_level("ｳｨﾝﾄﾞｳ");
    ASSERT_NE(hWnd, nullptr);
    ASSERT_GE(g_messages.size(), 2u);
    EXPECT_EQ(g_messages[0].message, WM_NCCREATE);
    EXPECT_EQ(g_messages[1].message, WM_CREATE);
    HWND hChild = create_button(hWnd, 5, BS_PUSHBUTTON);

    struct FindCase {
        const char* className;
        const char* caption;
        HWND found;
    };
    const FindCase finds[] = {
        {"mr7testwindow", nullptr, hWnd},
        {"MR7TESTWINDOW", "ｳｨﾝﾄﾞｳ", hWnd},
        {nullptr, "ｳｨﾝﾄﾞｳ", hWnd},
        {kClass, "other", nullptr},
        {"Button", nullptr, nullptr},  // controls are not top-level windows
    };
    for (const auto& f : finds)
        EXPECT_EQ(FindWindowA(f.className, f.caption), f.found) << (f.className ? f.className : "(any)");

    g_messages.clear();
    EXPECT_TRUE(DestroyWindow(hWnd));
    ASSERT_EQ(count(WM_DESTROY, hWnd), 1);
    EXPECT_EQ(count(WM_NCDESTROY, hWnd), 1);
    EXPECT_EQ(g_messages.back().message, WM_NCDESTROY) << "the last message a window gets";
    EXPECT_FALSE(IsWindow(hWnd));
    EXPECT_FALSE(IsWindow(hChild)) << "children go with their parent";
    EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr);

    // Every call on a handle whose window is gone fails, and says why.
    char buffer[16] = "untouched";
    RECT rc{1, 2, 3, 4};
    struct StaleCase {
        const char* call;
        bool (*failed)(HWND, char*, RECT*);
    };
    const StaleCase stale[] = {
        {"DestroyWindow", [](HWND h, char*, RECT*) { return !DestroyWindow(h); }},
        {"SendMessageA", [](HWND h, char*, RECT*) { return SendMessageA(h, WM_GETTEXTLENGTH, 0, 0) == 0; }},
        {"SetWindowTextA", [](HWND h, char*, RECT*) { return !SetWindowTextA(h, "x"); }},
        {"GetWindowTextA", [](HWND h, char* b, RECT*) { return GetWindowTextA(h, b, 16) == 0; }},
        {"GetClientRect", [](HWND h, char*, RECT* r) { return !GetClientRect(h, r); }},
        {"ShowWindow", [](HWND h, char*, RECT*) { return !ShowWindow(h, SW_SHOW); }},
        {"EnableWindow", [](HWND h, char*, RECT*) { return !EnableWindow(h, TRUE) && !IsWindowEnabled(h); }},
        {"GetDlgCtrlID", [](HWND h, char*, RECT*) { return GetDlgCtrlID(h) == 0; }},
        {"GetDlgItem", [](HWND h, char*, RECT*) { return GetDlgItem(h, 5) == nullptr; }},
        {"GetParent", [](HWND h, char*, RECT*) { return GetParent(h) == nullptr; }},
        {"GetSystemMenu", [](HWND h, char*, RECT*) { return GetSystemMenu(h, FALSE) == nullptr; }},
    };
    for (HWND gone : {hWnd, hChild}) {
        for (const auto& s : stale) {
            SetLastError(ERROR_SUCCESS);
            EXPECT_TRUE(s.failed(gone, buffer, &rc)) << s.call;
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_WINDOW_HANDLE)) << s.call;
        }
    }
    EXPECT_STREQ(buffer, "untouched");
    EXPECT_EQ(rc.right, 3);
}

}  // namespace
