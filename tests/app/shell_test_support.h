// What the tests of the application shell share: a machine with or without
// the product, the framework started as the program starts it, and a look at
// the scripted screen. Compiled like the program's code: literals are code
// page 932.
#pragma once

#include "app/UninstallApp.h"
#include "app/UninstallDlg.h"
#include "platform/frontend/scripted/scripted_frontend.h"
#include "platform/text/codepage.h"
#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace shelltest {

using platform::frontend::Key;
using platform::frontend::WindowView;
using platform::frontend::scripted::Event;
using platform::frontend::scripted::ScriptedFrontEnd;

inline constexpr const char* kAppTitle = "ﾐﾗﾍﾞﾙLE ｱﾝｲﾝｽﾄﾗｰ";
inline constexpr const char* kMainCaption = "ミラベルLE ｱﾝｲﾝｽﾄｰﾗｰ";
inline constexpr const char* kAboutCaption = "ﾊﾞｰｼﾞｮﾝ情報 MR7Uninstall";
inline constexpr const char* kAboutItem = "ﾊﾞｰｼﾞｮﾝ情報(ZAVOVivazerid) (&A)...";
inline constexpr const char* kNotInstalled = "ミラベルLEインストールされていません。";

// The product's keys as its installer leaves them, with the install folder
// D:\Apps\Tool (a value in Wine's escaped form goes in place of %DIR%).
inline std::string product_registry(std::string_view escapedDirectory = "D:\\\\Apps\\\\Tool")
{
    std::string text = R"([Software\\VKL\\MirabelLE] 1700000000
"StockBookPath"="D:\\Apps\\Tool\\StockBook"
[Software\\VKL\\MirabelLE\\7.0] 1700000000
"DIRECTORY"="%DIR%"
[Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\MirabelLE] 1700000000
"DisplayName"="MirabelLE"
)";
    text.replace(text.find("%DIR%"), 5, escapedDirectory);
    return text;
}

// A window's text in code page 932.
inline std::string window_text(HWND hWnd)
{
    char buffer[1024] = "";
    ::GetWindowTextA(hWnd, buffer, sizeof buffer);
    return buffer;
}

inline std::string cp932(const std::u16string& text)
{
    return platform::text::utf16_to_cp932(text);
}

// A machine with the product installed on drive D, the framework started as
// the program starts it, and a scripted screen.
class ShellTest : public ::testing::Test {
protected:
    // The machine's registry for this test; nullopt: no system.reg at all.
    virtual std::optional<std::string> machine_registry() const { return product_registry(); }

    void SetUp() override
    {
        if (const auto registry = machine_registry())
            m_machine.write_registry(*registry);
        const auto drive = m_machine.add_drive('d');
        std::filesystem::create_directories(drive / "Apps/Tool/StockBook");
        m_hadRegistry = std::filesystem::exists(m_machine.system_reg());
        m_registryBefore = m_machine.read_system_reg();
        ASSERT_TRUE(AfxWinInit());
    }

    // Runs the main dialog as InitInstance does and returns how it ended.
    INT_PTR run_main_dialog()
    {
        CUninstallDlg dlg;
        theApp.m_pMainWnd = &dlg;
        const INT_PTR result = dlg.DoModal();
        EXPECT_EQ(theApp.m_pMainWnd, nullptr) << "the framework forgets a destroyed main window";
        theApp.m_pMainWnd = NULL;
        return result;
    }

    // Nothing of the machine was changed: the registry file byte for byte,
    // the product's folders still there.
    void expect_machine_unchanged() const
    {
        EXPECT_EQ(std::filesystem::exists(m_machine.system_reg()), m_hadRegistry);
        EXPECT_TRUE(m_machine.read_system_reg() == m_registryBefore) << "system.reg was changed";
        EXPECT_TRUE(std::filesystem::is_directory(m_machine.drive('d') / "Apps/Tool/StockBook"));
    }

    // The window as last shown; fails the test when it is not on the screen.
    const WindowView& shown(HWND hWnd) const
    {
        for (const WindowView& w : m_screen.last_screen().windows)
            if (w.handle == hWnd)
                return w;
        ADD_FAILURE() << "window not on the screen";
        static const WindowView none;
        return none;
    }

    HICON app_icon() const { return ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCE(IDR_MAINFRAME)); }

    testsupport::TempMachine m_machine;
    ScriptedFrontEnd m_screen;
    std::string m_registryBefore;
    bool m_hadRegistry = false;
};

}  // namespace shelltest
