// GetVersionExA on machines whose registry Wine made, edited to the values
// that winecfg writes for each Windows version.
#include <cstring>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32.h"
#include "tests/support/temp_machine.h"

namespace {

const std::string kFreshWin64 = testsupport::wine_made_file("wine-8.0-win64-fresh-system.reg").string();

// Sets (or, with nullopt, deletes) value lines of one key section of a
// system.reg text; a value that is not there yet is added after the
// section's #time line.
std::string edit_section(std::string text, const std::string& section,
                         const std::vector<std::pair<std::string, std::optional<std::string>>>& values)
{
    const std::string header = "\n[" + section + "] ";
    std::size_t start = text.find(header);
    if (start == std::string::npos)
        throw std::runtime_error("no section " + section);
    start += 1;
    std::size_t end = text.find("\n\n", start);
    std::string body = text.substr(start, end - start) + "\n";
    for (const auto& [name, value] : values) {
        const std::string prefix = "\n\"" + name + "\"=";
        std::size_t at = body.find(prefix);
        if (at != std::string::npos) {
            std::size_t lineEnd = body.find('\n', at + 1);
            body.erase(at, lineEnd - at);
        }
        if (value) {
            std::size_t afterTime = body.find('\n', body.find("\n#time=")) ;
            body.insert(afterTime, prefix + "\"" + *value + "\"");
        }
    }
    body.pop_back();
    return text.substr(0, start) + body + text.substr(end);
}

struct VersionCase {
    const char* name;
    // NT values (CurrentVersion, CurrentBuildNumber, CSDVersion), or 9x
    // values (VersionNumber, SubVersionNumber) when nt is false.
    bool nt;
    const char* version;
    const char* build;
    const char* csd;
    DWORD major;
    DWORD minor;
    DWORD buildNumber;
};

const VersionCase kVersions[] = {
    {"win7", true, nullptr, nullptr, nullptr, 6, 1, 7601},
    {"win10", true, "10.0", "18362", "", 10, 0, 18362},
    {"win81", true, "6.3", "9600", "", 6, 3, 9600},
    {"vista", true, "6.0", "6002", "Service Pack 2", 6, 0, 6002},
    {"winxp64", true, "5.2", "3790", "Service Pack 2", 5, 2, 3790},
    {"winxp", true, "5.1", "2600", "Service Pack 3", 5, 1, 2600},
    {"win2k", true, "5.0", "2195", "Service Pack 4", 5, 0, 2195},
    {"nt40", true, "4.0", "1381", "Service Pack 6a", 4, 0, 1381},
    // The 95 family keeps major and minor in the build number's high word.
    {"win95", false, "4.0.950", nullptr, "", 4, 0, 0x040003B6},
    {"win98", false, "4.10.2222", nullptr, " A ", 4, 10, 0x040A08AE},
    {"winme", false, "4.90.3000", nullptr, " ", 4, 90, 0x045A0BB8},
};

std::string machine_text(const VersionCase& c)
{
    std::string text = testsupport::read_file(kFreshWin64);
    const std::string nt = "Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion";
    const std::string nine = "Software\\\\Microsoft\\\\Windows\\\\CurrentVersion";
    if (!c.version)
        return text;
    if (c.nt) {
        for (const std::string& section : {nt, std::string("Software\\\\Wow6432Node\\\\Microsoft\\\\Windows NT\\\\CurrentVersion")}) {
            if (text.find("\n[" + section + "] ") == std::string::npos)
                continue;
            text = edit_section(text, section,
                                {{"CurrentVersion", c.version}, {"CurrentBuild", c.build}, {"CurrentBuildNumber", c.build},
                                 {"CSDVersion", c.csd}});
        }
        return text;
    }
    text = edit_section(text, nt,
                        {{"CurrentVersion", std::nullopt}, {"CurrentBuild", std::nullopt},
                         {"CurrentBuildNumber", std::nullopt}, {"CSDVersion", std::nullopt}, {"ProductName", std::nullopt}});
    return edit_section(text, nine, {{"VersionNumber", c.version}, {"SubVersionNumber", c.csd}});
}

TEST(GetVersionExA, EachWindowsVersionOfWine)
{
    ASSERT_FALSE(testsupport::read_file(kFreshWin64).empty());
    for (const VersionCase& c : kVersions) {
        SCOPED_TRACE(c.name);
        testsupport::TempMachine machine;
        machine.write_system_reg(machine_text(c));
        OSVERSIONINFOA info;
        std::memset(&info, 0xCC, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        ASSERT_TRUE(GetVersionExA(&info));
        EXPECT_EQ(info.dwOSVersionInfoSize, 148u);
        EXPECT_EQ(info.dwPlatformId, c.nt ? DWORD(VER_PLATFORM_WIN32_NT) : DWORD(VER_PLATFORM_WIN32_WINDOWS));
        EXPECT_EQ(info.dwMajorVersion, c.major);
        EXPECT_EQ(info.dwMinorVersion, c.minor);
        EXPECT_EQ(info.dwBuildNumber, c.buildNumber);
        EXPECT_STREQ(info.szCSDVersion, c.csd ? c.csd : "Service Pack 1");
        // The folders do not follow the version, as in Wine.
        char directory[MAX_PATH];
        EXPECT_EQ(GetWindowsDirectoryA(directory, MAX_PATH), 10u);
        EXPECT_STREQ(directory, "C:\\windows");
        LPITEMIDLIST pidl = nullptr;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_STARTMENU, &pidl), S_OK);
        char startMenu[MAX_PATH];
        EXPECT_TRUE(SHGetPathFromIDListA(pidl, startMenu));
        EXPECT_STREQ(startMenu, "C:\\ProgramData\\Microsoft\\Windows\\Start Menu");
        CoTaskMemFree(pidl);
    }
}

TEST(GetVersionExA, MachineWithoutVersionIsWindows7)
{
    for (bool withRegistry : {false, true}) {
        testsupport::TempMachine machine;
        if (withRegistry)
            machine.write_registry("[Software\\\\Other] 1\n\"A\"=\"b\"\n");
        OSVERSIONINFOA info{};
        info.dwOSVersionInfoSize = sizeof info;
        ASSERT_TRUE(GetVersionExA(&info));
        EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
        EXPECT_EQ(info.dwMajorVersion, 6u);
        EXPECT_EQ(info.dwMinorVersion, 1u);
        EXPECT_EQ(info.dwBuildNumber, 7601u);
    }
}

TEST(GetVersionExA, RecordOfAnotherSizeIsRefusedUntouched)
{
    testsupport::TempMachine machine;
    for (DWORD size : {0u, 147u, 149u, 156u}) {
        OSVERSIONINFOA info;
        std::memset(&info, 0xCC, sizeof info);
        info.dwOSVersionInfoSize = size;
        SetLastError(ERROR_SUCCESS);
        EXPECT_FALSE(GetVersionExA(&info)) << size;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(info.dwMajorVersion, 0xCCCCCCCCu);
        EXPECT_EQ(info.dwPlatformId, 0xCCCCCCCCu);
    }
}

TEST(GetVersionExA, LongServicePackTextIsCutWhole)
{
    // 126 letters and a double-byte character do not fit 127 bytes: the
    // character is left out whole.
    testsupport::TempMachine machine;
    std::string csd(126, 'x');
    machine.write_registry("[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1\n\"CurrentVersion\"=\"5.1\"\n"
                           "\"CSDVersion\"=\"" + csd + "\\x8868\"\n");
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(std::string(info.szCSDVersion), csd);
    EXPECT_EQ(info.dwBuildNumber, 0u);
}

}  // namespace
