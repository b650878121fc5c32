// The program's start-up as a person meets it: the main dialog with the
// install folder in brackets, or the not-installed message and no dialog.

#include "tests/app/shell_test_support.h"

using namespace shelltest;

namespace {

// ------------------------------------------------------------ installed

struct FolderCase {
    const char* name;
    const char* escapedValue;  // DIRECTORY as system.reg holds it
    const char* shown;         // the install folder control's text
};

void PrintTo(const FolderCase& c, std::ostream* os) { *os << c.name; }

class FolderShown : public ShellTest, public ::testing::WithParamInterface<FolderCase> {
protected:
    std::optional<std::string> machine_registry() const override
    {
        return product_registry(GetParam().escapedValue);
    }
};

TEST_P(FolderShown, InBracketsWithCancelFocusedAndEnterEndsWithoutChange)
{
    HWND hDlg = NULL;
    m_screen.then([&](HWND active) {
        hDlg = active;
        EXPECT_TRUE(::IsWindowVisible(active));
        EXPECT_EQ(window_text(active), kMainCaption);
        EXPECT_EQ(window_text(::GetDlgItem(active, IDC_INSTALL_DIR)), GetParam().shown);
        EXPECT_EQ(::SendMessageA(::GetDlgItem(active, IDC_DELETE_STOCKBOOK), BM_GETCHECK, 0, 0), BST_CHECKED);
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(active, IDCANCEL));
        // The application icon in the caption, the taskbar and while dragged.
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(active, WM_GETICON, ICON_BIG, 0)), app_icon());
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(active, WM_GETICON, ICON_SMALL, 0)), app_icon());
        EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageA(active, WM_QUERYDRAGICON, 0, 0)), app_icon());
        EXPECT_NE(app_icon(), nullptr);
    });
    m_screen.key(Key::Enter);

    EXPECT_EQ(AfxWinMain(), 0);

    EXPECT_EQ(m_screen.actions_left(), 0u);
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    const auto shownWindows = m_screen.events(Event::Kind::WindowShown);
    ASSERT_EQ(shownWindows.size(), 1u);
    EXPECT_EQ(shownWindows[0].captionA, kMainCaption);
    EXPECT_TRUE(m_screen.events(Event::Kind::MessageBoxShown).empty());
    expect_machine_unchanged();
}

const FolderCase kFolderCases[] = {
    {"Plain", "D:\\\\Apps\\\\Tool", "「D:\\Apps\\Tool」"},
    {"TrailingBackslashKept", "C:\\\\Program Files\\\\MirabelLE\\\\", "「C:\\Program Files\\MirabelLE\\」"},
    // 表 and ソ end in the byte 0x5C in code page 932.
    {"DoubleByteNames", "C:\\\\\\x8868\\x793a\\\\\\x30bd\\x30d5\\x30c8", "「C:\\表示\\ソフト」"},
    {"FolderThatDoesNotExist", "E:\\\\Nowhere", "「E:\\Nowhere」"},
};

INSTANTIATE_TEST_SUITE_P(Startup, FolderShown, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

// -------------------------------------------------------- not installed

struct NotInstalledCase {
    const char* name;
    const char* registry;  // null: the machine has no system.reg
};

void PrintTo(const NotInstalledCase& c, std::ostream* os) { *os << c.name; }

class NotInstalled : public ShellTest, public ::testing::WithParamInterface<NotInstalledCase> {
protected:
    std::optional<std::string> machine_registry() const override
    {
        if (!GetParam().registry)
            return std::nullopt;
        return std::string(GetParam().registry);
    }
};

TEST_P(NotInstalled, SaysSoAndEndsWithoutShowingTheDialog)
{
    m_screen.then([&](HWND active) {
        // The box is owned by the main dialog, which is not on view yet.
        const WindowView& box = shown(active);
        ASSERT_TRUE(box.messageBox);
        const HWND hDlg = box.messageBox->owner;
        ASSERT_NE(hDlg, nullptr);
        EXPECT_EQ(window_text(hDlg), kMainCaption);
        EXPECT_FALSE(::IsWindowVisible(hDlg));
    });
    m_screen.answer_message_box(IDOK);

    EXPECT_EQ(AfxWinMain(), 0);

    EXPECT_EQ(m_screen.actions_left(), 0u);
    const auto boxes = m_screen.events(Event::Kind::MessageBoxShown);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].textA, kNotInstalled);
    EXPECT_EQ(boxes[0].captionA, kAppTitle);  // the application's title, not the dialog's caption
    EXPECT_EQ(boxes[0].type, static_cast<UINT>(MB_ICONSTOP));  // OK only, the stop icon
    EXPECT_TRUE(m_screen.events(Event::Kind::WindowShown).empty()) << "the main dialog was shown";
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    expect_machine_unchanged();
}

const NotInstalledCase kNotInstalledCases[] = {
    {"NoRegistryAtAll", nullptr},
    {"NoProductKey", R"([Software\\VKL\\Other\\7.0] 1700000000
"DIRECTORY"="D:\\Apps\\Other"
)"},
    {"NoVersionKey", R"([Software\\VKL\\MirabelLE] 1700000000
"StockBookPath"="D:\\Apps\\Tool\\StockBook"
[Software\\VKL\\MirabelLE\\6.0] 1700000000
"DIRECTORY"="D:\\Apps\\Tool"
)"},
    {"NoDirectoryValue", R"([Software\\VKL\\MirabelLE\\7.0] 1700000000
"Directory2"="D:\\Apps\\Tool"
)"},
    {"EmptyDirectory", R"([Software\\VKL\\MirabelLE\\7.0] 1700000000
"DIRECTORY"=""
)"},
    {"ExpandableString", R"([Software\\VKL\\MirabelLE\\7.0] 1700000000
"DIRECTORY"=str(2):"D:\\Apps\\Tool"
)"},
    {"NumberValue", R"([Software\\VKL\\MirabelLE\\7.0] 1700000000
"DIRECTORY"=dword:00000001
)"},
};

INSTANTIATE_TEST_SUITE_P(Startup, NotInstalled, ::testing::ValuesIn(kNotInstalledCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------- no dialog can be made

TEST(StartupWithoutAScreen, EndsQuietlyWhenTheDialogCannotBeCreated)
{
    // No front end at all: the main dialog's window is never created, so
    // InitInstance's main-window pointer names an object that is gone by the
    // time the framework shuts down; the framework must not call on it.
    testsupport::TempMachine machine;
    machine.write_registry(product_registry());
    const std::string before = machine.read_system_reg();
    ASSERT_TRUE(AfxWinInit());
    EXPECT_EQ(AfxWinMain(), 0);
    EXPECT_EQ(theApp.m_pMainWnd, nullptr);
    EXPECT_TRUE(machine.read_system_reg() == before);
}

}  // namespace
