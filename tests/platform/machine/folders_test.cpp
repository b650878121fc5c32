// The Windows directory and the shell's special folders, each from the
// registry value that names it, or from the next place when that is missing.
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "platform/faults/faults.h"
#include "platform/win32.h"
#include "tests/support/temp_machine.h"

namespace {

const char* const kNtKey = "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n";
const char* const kWindowsKey = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n";
const char* const kShellFolders = "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell Folders] 1\n";
const char* const kUserShellFolders =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\User Shell Folders] 1\n";
const char* const kProfileList = "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\ProfileList] 1\n";
const char* const kEnvironment = "[System\\\\CurrentControlSet\\\\Control\\\\Session Manager\\\\Environment] 1\n";

std::string windows_directory()
{
    char buffer[MAX_PATH];
    UINT n = GetWindowsDirectoryA(buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return "<failed>";
    EXPECT_EQ(n, std::strlen(buffer));
    return buffer;
}

std::string special_folder(int csidl)
{
    LPITEMIDLIST pidl = nullptr;
    HRESULT hr = SHGetSpecialFolderLocation(nullptr, csidl, &pidl);
    if (hr != S_OK) {
        EXPECT_EQ(pidl, nullptr);
        return "<failed>";
    }
    char buffer[MAX_PATH];
    std::memset(buffer, 'x', sizeof buffer);
    BOOL ok = SHGetPathFromIDListA(pidl, buffer);
    ILFree(pidl);
    return ok ? std::string(buffer) : std::string("<no path>");
}

class Folders : public ::testing::Test {
protected:
    void SetUp() override { platform::faults::clear(); }
    void TearDown() override { platform::faults::clear(); }
};

TEST_F(Folders, WindowsDirectoryFromEachPlace)
{
    struct Case {
        const char* name;
        std::string registry;
        const char* expected;
    } cases[] = {
        {"NT key", std::string(kNtKey) + "\"SystemRoot\"=\"D:\\\\WINNT\"\n" + kWindowsKey + "\"SystemRoot\"=\"E:\\\\X\"\n",
         "D:\\WINNT"},
        {"95 key", std::string(kNtKey) + "\"CurrentVersion\"=\"4.0\"\n" + kWindowsKey + "\"SystemRoot\"=\"C:\\\\WINDOWS\"\n",
         "C:\\WINDOWS"},
        {"empty value skipped", std::string(kNtKey) + "\"SystemRoot\"=\"\"\n" + kWindowsKey + "\"SystemRoot\"=\"C:\\\\W\"\n",
         "C:\\W"},
        {"trailing backslash dropped", std::string(kNtKey) + "\"SystemRoot\"=\"C:\\\\windows\\\\\"\n", "C:\\windows"},
        {"nowhere", std::string(kWindowsKey) + "\"ProgramFilesDir\"=\"C:\\\\Program Files\"\n", "C:\\windows"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempMachine machine;
        machine.write_registry(c.registry);
        EXPECT_EQ(windows_directory(), c.expected);
    }
    testsupport::TempMachine empty;
    EXPECT_EQ(windows_directory(), "C:\\windows");
}

TEST_F(Folders, WindowsDirectoryBufferSizes)
{
    testsupport::TempMachine machine;
    machine.write_registry(std::string(kNtKey) + "\"SystemRoot\"=\"C:\\\\windows\"\n");
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    // Too small, also by the terminator alone: the size needed, nothing written.
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 10), 11u);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(GetWindowsDirectoryA(nullptr, 0), 11u);
    EXPECT_EQ(GetWindowsDirectoryA(buffer, 11), 10u);
    EXPECT_STREQ(buffer, "C:\\windows");

    platform::faults::inject("GetWindowsDirectoryA", platform::faults::Mode::once);
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 0u);
    EXPECT_EQ(buffer[0], 'x');
    EXPECT_EQ(GetWindowsDirectoryA(buffer, sizeof buffer), 10u);
}

TEST_F(Folders, CommonStartMenuFromEachPlace)
{
    const std::string userValue = "\"Common Start Menu\"=str(2):";
    struct Case {
        const char* name;
        std::string registry;
        const char* expected;
    } cases[] = {
        {"Shell Folders", std::string(kShellFolders) + "\"Common Start Menu\"=\"D:\\\\Menu\"\n" + kUserShellFolders +
                              userValue + "\"E:\\\\Other\"\n",
         "D:\\Menu"},
        {"%ProgramData% of ProfileList", std::string(kProfileList) + "\"ProgramData\"=str(2):\"%SystemDrive%\\\\PD\"\n" +
                                             kUserShellFolders + userValue +
                                             "\"%ProgramData%\\\\Microsoft\\\\Windows\\\\Start Menu\"\n",
         "C:\\PD\\Microsoft\\Windows\\Start Menu"},
        {"%ProgramData% by default", std::string(kUserShellFolders) + userValue + "\"%programdata%\\\\Start Menu\"\n",
         "C:\\ProgramData\\Start Menu"},
        {"%ALLUSERSPROFILE% of Environment", std::string(kEnvironment) + "\"ALLUSERSPROFILE\"=\"D:\\\\All Users\"\n" +
                                                 kUserShellFolders + userValue + "\"%ALLUSERSPROFILE%\\\\Start Menu\"\n",
         "D:\\All Users\\Start Menu"},
        {"%SystemRoot% and %windir%", std::string(kNtKey) + "\"SystemRoot\"=\"C:\\\\WINNT\"\n" + kUserShellFolders +
                                          userValue + "\"%SystemRoot%\\\\Profiles\\\\%windir%\"\n",
         "C:\\WINNT\\Profiles\\C:\\WINNT"},
        {"%PUBLIC% of ProfileList", std::string(kProfileList) + "\"Public\"=\"C:\\\\users\\\\Public\"\n" +
                                        kUserShellFolders + userValue + "\"%PUBLIC%\\\\Menu\"\n",
         "C:\\users\\Public\\Menu"},
        {"a variable of the Environment key", std::string(kEnvironment) + "\"MENUROOT\"=str(2):\"%SystemRoot%\\\\M\"\n" +
                                                  kUserShellFolders + userValue + "\"%MenuRoot%\"\n",
         "C:\\windows\\M"},
        {"unknown variable", std::string(kUserShellFolders) + userValue + "\"%NOWHERE%\\\\Menu\"\n",
         "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
        {"variables in a loop", std::string(kEnvironment) + "\"A\"=str(2):\"%B%\"\n\"B\"=str(2):\"%A%\"\n" +
                                    kUserShellFolders + userValue + "\"%A%\"\n",
         "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
        {"lone percent sign", std::string(kUserShellFolders) + userValue + "\"C:\\\\50%\\\\Menu\"\n",
         "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
        {"nowhere", std::string(kProfileList) + "\"ProgramData\"=\"D:\\\\PD\"\n",
         "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TempMachine machine;
        machine.write_registry(c.registry);
        EXPECT_EQ(special_folder(CSIDL_COMMON_STARTMENU), c.expected);
    }
}

TEST_F(Folders, SixtyFourBitPrefixPrefersTheProgramsOwnView)
{
    testsupport::TempMachine machine;
    machine.write_registry(std::string(kShellFolders) + "\"Common Start Menu\"=\"C:\\\\Native\"\n" +
                               "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Explorer\\\\Shell "
                               "Folders] 1\n\"Common Start Menu\"=\"C:\\\\Wow\"\n" +
                               "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1\n"
                               "\"ProgramFilesDir\"=\"C:\\\\Program Files (x86)\"\n",
                           "win64");
    EXPECT_EQ(special_folder(CSIDL_COMMON_STARTMENU), "C:\\Wow");
    EXPECT_EQ(special_folder(CSIDL_PROGRAM_FILES), "C:\\Program Files (x86)");
    // What the 32-bit view lacks comes from the native tree.
    EXPECT_EQ(special_folder(CSIDL_COMMON_PROGRAMS), "C:\\Wow\\Programs");
}

TEST_F(Folders, OtherFoldersAndUnknownOnes)
{
    testsupport::TempMachine machine;
    machine.write_registry(std::string(kNtKey) + "\"SystemRoot\"=\"C:\\\\WINNT\"\n");
    EXPECT_EQ(special_folder(CSIDL_WINDOWS), "C:\\WINNT");
    EXPECT_EQ(special_folder(CSIDL_SYSTEM), "C:\\WINNT\\system32");
    EXPECT_EQ(special_folder(CSIDL_COMMON_PROGRAMS), "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs");
    EXPECT_EQ(special_folder(CSIDL_COMMON_APPDATA), "C:\\ProgramData");
    EXPECT_EQ(special_folder(CSIDL_COMMON_DESKTOPDIRECTORY), "C:\\users\\Public\\Desktop");
    EXPECT_EQ(special_folder(CSIDL_PROGRAM_FILES), "C:\\Program Files");
    // Per-user folders and unknown numbers are not known here.
    LPITEMIDLIST pidl = reinterpret_cast<LPITEMIDLIST>(&machine);
    EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_STARTMENU, &pidl), E_INVALIDARG);
    EXPECT_EQ(pidl, nullptr);
    EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, 0x7777, &pidl), E_INVALIDARG);
    EXPECT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_STARTMENU, nullptr), E_INVALIDARG);
}

TEST_F(Folders, ShellFunctionsFailing)
{
    testsupport::TempMachine machine;
    platform::faults::inject("SHGetSpecialFolderLocation", platform::faults::Mode::once);
    LPITEMIDLIST pidl = reinterpret_cast<LPITEMIDLIST>(&machine);
    EXPECT_TRUE(FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_STARTMENU, &pidl)));
    EXPECT_EQ(pidl, nullptr);

    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_STARTMENU, &pidl), S_OK);
    platform::faults::inject("SHGetPathFromIDListA", platform::faults::Mode::once);
    char buffer[MAX_PATH] = "left over";
    EXPECT_FALSE(SHGetPathFromIDListA(pidl, buffer));
    EXPECT_STREQ(buffer, "");
    EXPECT_TRUE(SHGetPathFromIDListA(pidl, buffer));
    CoTaskMemFree(pidl);

    std::strcpy(buffer, "left over");
    EXPECT_FALSE(SHGetPathFromIDListA(nullptr, buffer));
    EXPECT_STREQ(buffer, "");
    // The empty list (the desktop) names no folder of ours.
    const USHORT emptyList = 0;
    EXPECT_FALSE(SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(&emptyList), buffer));
    CoTaskMemFree(nullptr);
    ILFree(nullptr);
}

TEST_F(Folders, PathsInCodePage932AndTooLong)
{
    testsupport::TempMachine machine;
    // ﾒﾆｭｰ (half-width) and 表 (second byte 0x5C) come out in code page 932.
    machine.write_registry(std::string(kShellFolders) + "\"Common Start Menu\"=\"C:\\\\\\xff92\\xff86\\xff6d\\xff70\\\\\\x8868\"\n" +
                           "\"Common Programs\"=\"C:\\\\" + std::string(260, 'p') + "\"\n");
    EXPECT_EQ(special_folder(CSIDL_COMMON_STARTMENU), "C:\\\xD2\xC6\xAD\xB0\\\x95\x5C");
    EXPECT_EQ(special_folder(CSIDL_COMMON_PROGRAMS), "<no path>");
}

}  // namespace
