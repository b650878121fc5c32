// The About item of the main dialog's system menu and the About box.

#include "tests/app/shell_test_support.h"

#include <cstdlib>
#include <functional>

using namespace shelltest;

namespace {

TEST_F(ShellTest, SystemMenuEndsWithSeparatorAndAboutItem)
{
    m_screen.open_system_menu();
    m_screen.then([&](HWND) {
        const auto opened = m_screen.events(Event::Kind::SystemMenuOpened);
        ASSERT_EQ(opened.size(), 1u);
        const auto& menu = opened[0].menu;
        ASSERT_GE(menu.size(), 3u);
        // The system's own items first, then the separator and the About item.
        for (std::size_t i = 0; i + 2 < menu.size(); ++i)
            EXPECT_GE(menu[i].id, 0xF000u) << "item " << i;
        EXPECT_TRUE(menu[menu.size() - 2].flags & MF_SEPARATOR);
        EXPECT_EQ(menu[menu.size() - 2].id, 0u);
        EXPECT_EQ(menu.back().flags & (MF_SEPARATOR | MF_GRAYED | MF_DISABLED | MF_POPUP), 0u);
        EXPECT_EQ(menu.back().id, static_cast<UINT>(IDM_ABOUTBOX));
        EXPECT_EQ(cp932(menu.back().text), kAboutItem);
    });
    m_screen.choose_system_menu(SC_CLOSE);

    EXPECT_EQ(run_main_dialog(), IDCANCEL);
    EXPECT_EQ(m_screen.actions_left(), 0u);
}

// ---------------------------------------------------------- the About box

struct AboutCloseCase {
    const char* name;
    std::function<void(ScriptedFrontEnd&)> close;
};

void PrintTo(const AboutCloseCase& c, std::ostream* os) { *os << c.name; }

class AboutBox : public ShellTest, public ::testing::WithParamInterface<AboutCloseCase> {};

TEST_P(AboutBox, ShowsOverTheDialogAndLeavesItAsItWas)
{
    HWND hMain = NULL;
    m_screen.click(IDC_DELETE_STOCKBOOK);  // cleared: the About box must not change that
    m_screen.then([&](HWND active) { hMain = active; });
    m_screen.open_system_menu();
    m_screen.choose_system_menu(IDM_ABOUTBOX);
    m_screen.then([&](HWND hAbout) {
        ASSERT_NE(hAbout, hMain);
        EXPECT_EQ(window_text(hAbout), kAboutCaption);
        const WindowView& about = shown(hAbout);
        const WindowView& main = shown(hMain);
        EXPECT_EQ(about.owner, hMain);
        EXPECT_FALSE(::IsWindowEnabled(hMain)) << "the main dialog stays usable under the About box";
        EXPECT_EQ(::GetFocus(), ::GetDlgItem(hAbout, IDOK));
        ASSERT_EQ(about.controls.size(), 4u);
        EXPECT_EQ(about.controls[0].icon, app_icon());
        EXPECT_EQ(cp932(about.controls[1].text), "MR7Uninstall Version 1.0");
        EXPECT_EQ(cp932(about.controls[2].text), "Copyright (C) 2026 VKL");
        EXPECT_EQ(cp932(about.controls[3].text), "OK");
        // Centred over the main dialog.
        EXPECT_LE(std::abs((about.rect.left + about.rect.right) - (main.rect.left + main.rect.right)), 2);
        EXPECT_LE(std::abs((about.rect.top + about.rect.bottom) - (main.rect.top + main.rect.bottom)), 2);
    });
    GetParam().close(m_screen);
    m_screen.then([&](HWND active) {
        EXPECT_EQ(active, hMain);
        EXPECT_TRUE(::IsWindowEnabled(hMain));
        EXPECT_EQ(::SendMessageA(::GetDlgItem(hMain, IDC_DELETE_STOCKBOOK), BM_GETCHECK, 0, 0), BST_UNCHECKED);
        EXPECT_FALSE(window_text(::GetDlgItem(hMain, IDC_INSTALL_DIR)).empty());
    });
    m_screen.key(Key::Escape);

    EXPECT_EQ(run_main_dialog(), IDCANCEL);
    EXPECT_EQ(m_screen.actions_left(), 0u);
    expect_machine_unchanged();
}

const AboutCloseCase kAboutCloseCases[] = {
    {"OkButton", [](ScriptedFrontEnd& s) { s.click(IDOK); }},
    {"Enter", [](ScriptedFrontEnd& s) { s.key(Key::Enter); }},
    {"Escape", [](ScriptedFrontEnd& s) { s.key(Key::Escape); }},
    {"CloseBox", [](ScriptedFrontEnd& s) { s.close_box(); }},
};

INSTANTIATE_TEST_SUITE_P(SystemMenu, AboutBox, ::testing::ValuesIn(kAboutCloseCases),
                         [](const auto& info) { return std::string(info.param.name); });

// The system keeps the low four bits of a command id for itself, so every id
// from 0x0010 to 0x001F is the About item; the ids around it are not, and the
// system's own commands keep their usual meaning.
TEST_F(ShellTest, CommandIdsWithTheAboutBitsOpenTheBox)
{
    constexpr UINT kFirst = 0x0010, kLast = 0x001F;
    int aboutBoxesSeen = 0;
    m_screen.then([&](HWND hMain) {
        for (UINT nID : {0x0000u, 0x000Fu, 0x0020u, 0x0110u, static_cast<UINT>(SC_MOVE)}) {
            ::SendMessageA(hMain, WM_SYSCOMMAND, nID, 0);
            EXPECT_EQ(aboutBoxesSeen, 0) << "command " << nID;
        }
        EXPECT_TRUE(::IsWindowVisible(hMain));
        for (UINT nID = kFirst; nID <= kLast; ++nID)
            ::SendMessageA(hMain, WM_SYSCOMMAND, nID, 0);
    });
    for (UINT nID = kFirst; nID <= kLast; ++nID) {
        m_screen.then([&](HWND hAbout) {
            ++aboutBoxesSeen;
            EXPECT_EQ(window_text(hAbout), kAboutCaption);
        });
        m_screen.key(Key::Enter);
    }
    m_screen.key(Key::Escape);

    EXPECT_EQ(run_main_dialog(), IDCANCEL);
    EXPECT_EQ(aboutBoxesSeen, static_cast<int>(kLast - kFirst + 1));
    EXPECT_EQ(m_screen.actions_left(), 0u);
}

}  // namespace
