// FindWindowA across processes: the windows of another program on the same
// machine are found while it lives, never after it ended, however it ended,
// and never from another machine.
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>

#include "platform/machine/machine_folder.h"
#include "platform/win32.h"
#include "platform/windows/shared_window_list.h"
#include "tests/platform/windows_shared/standin_process.h"
#include "tests/support/temp_machine.h"

namespace {

const char* const kClass = "MRLE_Explorer@vkl";

LRESULT plain_proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

TEST(SharedWindows, WindowOfAnotherProgramWhileItRuns)
{
    testsupport::TempMachine machine;
    EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr);
    {
        testsupport::StandinProcess program(kClass);
        ASSERT_TRUE(program.ready());
        HWND found = FindWindowA(kClass, nullptr);
        EXPECT_NE(found, nullptr);
        // Class names compare without regard to case, as on Windows; the
        // title given at creation is known too.
        EXPECT_EQ(FindWindowA("mrle_explorer@VKL", nullptr), found);
        EXPECT_EQ(FindWindowA(kClass, kClass), found);
        EXPECT_EQ(FindWindowA(kClass, "another title"), nullptr);
        EXPECT_EQ(FindWindowA("MRLE_MainWindow_Tov@vkl", nullptr), nullptr);
        // It is not one of this process's windows.
        EXPECT_FALSE(IsWindow(found));
        EXPECT_EQ(program.end(), 0);
    }
    EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr);
    // A program that ended in order leaves nothing behind.
    EXPECT_FALSE(std::filesystem::exists(platform::windows::shared::list_folder()));
}

TEST(SharedWindows, KilledProgramIsNotFound)
{
    testsupport::TempMachine machine;
    testsupport::StandinProcess program(kClass);
    ASSERT_TRUE(program.ready());
    ASSERT_NE(FindWindowA(kClass, nullptr), nullptr);
    program.kill_now();
    // Its list stays where it was written, but nobody holds its lock.
    EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr);
    // The first search cleans the dead program's list away.
    EXPECT_FALSE(std::filesystem::exists(platform::windows::shared::list_folder()));
}

TEST(SharedWindows, OwnWindowAndTwoPrograms)
{
    testsupport::TempMachine machine;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = plain_proc;
    windowClass.lpszClassName = "MRLE_MainWindow_Tov@vkl";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND own = CreateWindowExA(0, "MRLE_MainWindow_Tov@vkl", "main", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(FindWindowA("MRLE_MainWindow_Tov@vkl", nullptr), own);

    testsupport::StandinProcess first(kClass);
    testsupport::StandinProcess second("MRLE_MainWindow_Tov@vkl");
    ASSERT_TRUE(first.ready());
    ASSERT_TRUE(second.ready());
    // This process's own window comes first.
    EXPECT_EQ(FindWindowA("MRLE_MainWindow_Tov@vkl", nullptr), own);
    HWND explorer = FindWindowA(kClass, nullptr);
    EXPECT_NE(explorer, nullptr);
    DestroyWindow(own);
    HWND other = FindWindowA("MRLE_MainWindow_Tov@vkl", nullptr);
    EXPECT_NE(other, nullptr);
    EXPECT_NE(other, own);
    EXPECT_NE(other, explorer);
    first.kill_now();
    EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr);
    EXPECT_EQ(FindWindowA("MRLE_MainWindow_Tov@vkl", nullptr), other);
}

TEST(SharedWindows, AnotherMachineDoesNotSeeIt)
{
    testsupport::TempMachine theirs;
    testsupport::StandinProcess program(kClass);
    ASSERT_TRUE(program.ready());
    ASSERT_NE(FindWindowA(kClass, nullptr), nullptr);
    {
        testsupport::TempMachine mine;
        EXPECT_EQ(FindWindowA(kClass, nullptr), nullptr);
    }
    // The same machine reached through a link is the same machine.
    testsupport::TempDir elsewhere;
    std::filesystem::create_directory_symlink(theirs.root(), elsewhere.path() / "link");
    setenv("WINEPREFIX", (elsewhere.path() / "link").c_str(), 1);
    platform::machine::reopen();
    EXPECT_NE(FindWindowA(kClass, nullptr), nullptr);
    setenv("WINEPREFIX", theirs.root().c_str(), 1);
    platform::machine::reopen();
}

TEST(SharedWindows, WindowsFollowTheMachine)
{
    // A window made on one machine moves with the process to the machine
    // chosen afresh; the first machine no longer lists it.
    testsupport::TempMachine first;
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = plain_proc;
    windowClass.lpszClassName = "Mover";
    ASSERT_TRUE(RegisterClassA(&windowClass));
    HWND own = CreateWindowExA(0, "Mover", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(own, nullptr);
    ASSERT_TRUE(std::filesystem::exists(platform::windows::shared::list_folder()));
    const auto firstFolder = platform::windows::shared::list_folder();
    {
        testsupport::TempMachine second;
        HWND other = CreateWindowExA(0, "Mover", "", WS_OVERLAPPEDWINDOW, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        ASSERT_NE(other, nullptr);
        EXPECT_FALSE(std::filesystem::exists(firstFolder));
        DestroyWindow(other);
    }
    DestroyWindow(own);
}

}  // namespace
