// The main dialog while it waits: every way of leaving it without Execute,
// and its icon when minimised.

#include "tests/app/shell_test_support.h"

#include <functional>

using namespace shelltest;

namespace {

// ----------------------------------------------------- leaving it unchanged

struct CancelCase {
    const char* name;
    std::function<void(ScriptedFrontEnd&)> act;
};

void PrintTo(const CancelCase& c, std::ostream* os) { *os << c.name; }

class LeftWithoutChange : public ShellTest, public ::testing::WithParamInterface<CancelCase> {};

TEST_P(LeftWithoutChange, EndsWithCancelAndChangesNothing)
{
    // The user clears the box first: leaving still removes nothing.
    m_screen.click(IDC_DELETE_STOCKBOOK);
    GetParam().act(m_screen);

    EXPECT_EQ(run_main_dialog(), IDCANCEL);

    EXPECT_EQ(m_screen.actions_left(), 0u);
    EXPECT_TRUE(m_screen.events(Event::Kind::MessageBoxShown).empty());
    expect_machine_unchanged();
}

const CancelCase kCancelCases[] = {
    {"EnterPressesCancel", [](ScriptedFrontEnd& s) { s.key(Key::Enter); }},
    {"Escape", [](ScriptedFrontEnd& s) { s.key(Key::Escape); }},
    {"CancelButton", [](ScriptedFrontEnd& s) { s.click(IDCANCEL); }},
    {"CloseBox", [](ScriptedFrontEnd& s) { s.close_box(); }},
    {"SystemMenuClose",
     [](ScriptedFrontEnd& s) {
         s.open_system_menu();
         s.choose_system_menu(SC_CLOSE);
     }},
};

INSTANTIATE_TEST_SUITE_P(MainDialog, LeftWithoutChange, ::testing::ValuesIn(kCancelCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The first tab stop is Cancel, so Tab from it reaches Execute, then the box;
// Space on the box ticks and clears it as a person expects.
TEST_F(ShellTest, TabOrderAndCheckBoxByKeyboard)
{
    m_screen.key(Key::Tab);
    m_screen.then([&](HWND hDlg) { EXPECT_EQ(::GetFocus(), ::GetDlgItem(hDlg, IDOK)); });
    m_screen.key(Key::Tab);
    m_screen.then([&](HWND hDlg) { EXPECT_EQ(::GetFocus(), ::GetDlgItem(hDlg, IDC_DELETE_STOCKBOOK)); });
    m_screen.key(Key::Space);
    m_screen.then([&](HWND hDlg) {
        EXPECT_EQ(::SendMessageA(::GetDlgItem(hDlg, IDC_DELETE_STOCKBOOK), BM_GETCHECK, 0, 0), BST_UNCHECKED);
    });
    m_screen.key(Key::Tab);
    m_screen.then([&](HWND hDlg) { EXPECT_EQ(::GetFocus(), ::GetDlgItem(hDlg, IDCANCEL)); });
    m_screen.key(Key::Enter);

    EXPECT_EQ(run_main_dialog(), IDCANCEL);
    EXPECT_EQ(m_screen.actions_left(), 0u);
    expect_machine_unchanged();
}

// -------------------------------------------------------------- minimised

struct MinimisedCase {
    const char* name;
    int clientWidth, clientHeight;
    int x, y;  // where the icon lands
};

void PrintTo(const MinimisedCase& c, std::ostream* os) { *os << c.name; }

class MinimisedPainting : public ShellTest, public ::testing::WithParamInterface<MinimisedCase> {};

TEST_P(MinimisedPainting, DrawsTheIconCentredInTheClientArea)
{
    const MinimisedCase& c = GetParam();
    std::size_t drawnWhileMinimised = 0;
    m_screen.minimize(c.clientWidth, c.clientHeight);
    m_screen.then([&](HWND hDlg) {
        EXPECT_TRUE(::IsIconic(hDlg));
        const auto drawn = m_screen.events(Event::Kind::IconDrawn);
        drawnWhileMinimised = drawn.size();
        ASSERT_FALSE(drawn.empty()) << "no icon painted";
        EXPECT_EQ(drawn.back().window, hDlg);
        EXPECT_EQ(drawn.back().x, c.x);
        EXPECT_EQ(drawn.back().y, c.y);
        EXPECT_EQ(drawn.back().icon, app_icon());
    });
    m_screen.restore();
    m_screen.then([&](HWND hDlg) {
        EXPECT_FALSE(::IsIconic(hDlg));
        // Restored, the dialog paints as any dialog: no icon of its own.
        EXPECT_EQ(m_screen.events(Event::Kind::IconDrawn).size(), drawnWhileMinimised);
    });
    m_screen.key(Key::Escape);

    EXPECT_EQ(run_main_dialog(), IDCANCEL);
    EXPECT_EQ(m_screen.actions_left(), 0u);
}

// The centre is rounded toward zero, also where the client area is smaller
// than the icon: (0 - 32 + 1) / 2 is -15, not -16.
const MinimisedCase kMinimisedCases[] = {
    {"Square36", 36, 36, 2, 2},
    {"Empty", 0, 0, -15, -15},
    {"Odd33", 33, 33, 1, 1},
    {"WideAndLow", 100, 20, 34, -5},
};

INSTANTIATE_TEST_SUITE_P(MainDialog, MinimisedPainting, ::testing::ValuesIn(kMinimisedCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
