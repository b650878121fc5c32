// The Reg* functions on a machine's system.reg: handles, access, values,
// enumeration, deletion on both families, the 32-bit view.

#include "platform/faults/faults.h"
#include "platform/machine/machine_folder.h"
#include "platform/machine/version.h"
#include "platform/registry/registry.h"
#include "platform/win32.h"
#include "tests/platform/registry/registry_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sys/stat.h>

using testsupport::TempMachine;

namespace {

const char* const kNtVersion =
    "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion] 1796989371\n"
    "\"CSDVersion\"=\"Service Pack 6a\"\n\"CurrentBuildNumber\"=\"1381\"\n\"CurrentVersion\"=\"4.0\"\n";
const char* const k95Version =
    "[Software\\\\Microsoft\\\\Windows\\\\CurrentVersion] 1796989371\n\"VersionNumber\"=\"4.10.2222\"\n"
    "\"SubVersionNumber\"=\" A \"\n";
const char* const kTree =
    "[Software\\\\VKL\\\\MirabelLE\\\\7.0] 1796989371\n"
    "\"DIRECTORY\"=\"C:\\\\Program Files\\\\\\x30df\\x30e9\\x30d9\\x30ebLE\"\n"
    "\"Expand\"=str(2):\"%SystemRoot%\"\n"
    "\"Multi\"=str(7):\"a\\0b\\0\"\n"
    "\"Number\"=dword:00000064\n"
    "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\Recent] 1796989371\n"
    "\"File1\"=\"x\"\n"
    "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\Settings] 1796989371\n"
    "\"Zoom\"=dword:00000064\n";

HKEY open_key(const char* path, REGSAM sam = KEY_READ)
{
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, sam, &key), ERROR_SUCCESS) << path;
    return key;
}

std::vector<std::string> subkeys(HKEY key)
{
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        LONG result = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        EXPECT_EQ(result, ERROR_SUCCESS) << "entry " << i;
        if (result != ERROR_SUCCESS)
            break;
        names.emplace_back(name, length);
    }
    return names;
}

std::string query(HKEY key, const char* name, DWORD* type = nullptr, LONG* result = nullptr)
{
    char buffer[1024];
    DWORD length = sizeof buffer;
    DWORD t = 0;
    LONG r = RegQueryValueExA(key, name, nullptr, &t, reinterpret_cast<BYTE*>(buffer), &length);
    if (type)
        *type = t;
    if (result)
        *result = r;
    return r == ERROR_SUCCESS ? std::string(buffer, length) : std::string();
}

LONG set_string(HKEY key, const char* name, const std::string& text)
{
    return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                          static_cast<DWORD>(text.size() + 1));
}

}  // namespace

TEST(RegFunctions, HandlesAreRealAndCloseOnce)
{
    TempMachine machine;
    machine.write_registry(kTree);
    HKEY key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    ASSERT_NE(key, nullptr);
    HKEY second = open_key("software\\vkl\\mirabelle\\7.0");
    EXPECT_NE(key, second);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    DWORD type = 0;
    LONG result = 0;
    query(key, "DIRECTORY", &type, &result);
    EXPECT_EQ(result, ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(second), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);

    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SoftWare\\VKL\\Nothing", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);  // a failed open leaves no handle behind
}

TEST(RegFunctions, AnInjectedCloseFailureKeepsTheHandle)
{
    TempMachine machine;
    machine.write_registry(kTree);
    HKEY key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    platform::faults::inject("RegCloseKey", platform::faults::Mode::once);
    EXPECT_NE(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(query(key, "Number"), std::string("\x64\0\0\0", 4));  // still usable
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    platform::faults::clear();
}

TEST(RegFunctions, StringValuesComeOutInCodePage932WithTheirLength)
{
    TempMachine machine;
    machine.write_registry(kTree);
    HKEY key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    DWORD type = 0;
    // ミラベルLE is 10 bytes in code page 932.
    std::string expected = "C:\\Program Files\\\x83\x7e\x83\x89\x83\x78\x83\x8b" "LE";
    EXPECT_EQ(query(key, "directory", &type), expected + '\0');
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(query(key, "Expand", &type), std::string("%SystemRoot%") + '\0');
    EXPECT_EQ(type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(query(key, "Multi", &type), std::string("a\0b\0\0", 5));
    EXPECT_EQ(type, static_cast<DWORD>(REG_MULTI_SZ));

    // The size alone, then a buffer one byte too small.
    DWORD length = 0;
    EXPECT_EQ(RegQueryValueExA(key, "DIRECTORY", nullptr, nullptr, nullptr, &length), ERROR_SUCCESS);
    EXPECT_EQ(length, expected.size() + 1);
    char small[64];
    std::memset(small, '#', sizeof small);
    length = static_cast<DWORD>(expected.size());
    EXPECT_EQ(RegQueryValueExA(key, "DIRECTORY", nullptr, nullptr, reinterpret_cast<BYTE*>(small), &length),
              ERROR_MORE_DATA);
    EXPECT_EQ(length, expected.size() + 1);
    EXPECT_EQ(small[0], '#');

    LONG result = 0;
    query(key, "Absent", nullptr, &result);
    EXPECT_EQ(result, ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
}

TEST(RegFunctions, ALongTextFitsTheBufferOnlyWithItsNul)
{
    TempMachine machine;
    machine.write_registry(kTree);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SoftWare\\VKL\\MirabelLE\\7.0", 0, KEY_ALL_ACCESS, &key),
              ERROR_SUCCESS);
    ASSERT_EQ(set_string(key, "Fits", std::string(1023, 'a')), ERROR_SUCCESS);
    ASSERT_EQ(set_string(key, "TooLong", std::string(1024, 'b')), ERROR_SUCCESS);
    LONG result = 0;
    EXPECT_EQ(query(key, "Fits", nullptr, &result).size(), 1024u);
    EXPECT_EQ(result, ERROR_SUCCESS);
    query(key, "TooLong", nullptr, &result);
    EXPECT_EQ(result, ERROR_MORE_DATA);
    RegCloseKey(key);
}

TEST(RegFunctions, SubkeysAreListedInOrderAndLongNamesNeedTheirRoom)
{
    TempMachine machine;
    std::string name255(255, 'n');
    std::string name256(256, 'o');
    machine.write_registry(std::string(kTree) + "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\" + name255 + "] 1\n" +
                           "[Software\\\\VKL\\\\MirabelLE\\\\7.0\\\\" + name256 + "] 1\n");
    HKEY key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    char name[256];
    std::vector<std::string> names;
    std::vector<LONG> results;
    for (DWORD i = 0; i < 5; ++i) {
        DWORD length = sizeof name;
        LONG result = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        results.push_back(result);
        names.push_back(result == ERROR_SUCCESS ? std::string(name, length) : "");
    }
    EXPECT_EQ(names[0], name255);
    EXPECT_EQ(results[1], ERROR_MORE_DATA);
    EXPECT_EQ(names[2], "Recent");
    EXPECT_EQ(names[3], "Settings");
    EXPECT_EQ(results[4], ERROR_NO_MORE_ITEMS);
    RegCloseKey(key);
}

TEST(RegFunctions, KeyNamesIgnoreCaseAndKeepTheirFirstSpelling)
{
    TempMachine machine;
    machine.write_registry(kTree);
    HKEY created = nullptr;
    DWORD disposition = 0;
    // Greek capital and small omega name the same key.
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\VKL\\\x83\xb6Key", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(created);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\vkl\\\x83\xd6KEY", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &created, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(created);
    HKEY vkl = open_key("software\\vkl");
    EXPECT_EQ(subkeys(vkl), (std::vector<std::string>{"MirabelLE", "\x83\xb6Key"}));
    RegCloseKey(vkl);
    EXPECT_NE(machine.read_system_reg().find("[Software\\\\VKL\\\\\\x3a9Key]"), std::string::npos);
}

TEST(RegFunctions, DeletingAKeyWithSubkeysDependsOnTheFamily)
{
    struct Case {
        const char* family;
        const char* versionSection;
        LONG parentResult;
    };
    const Case cases[] = {{"NT family", kNtVersion, ERROR_ACCESS_DENIED}, {"95 family", k95Version, ERROR_SUCCESS}};
    for (const auto& c : cases) {
        TempMachine machine;
        machine.write_registry(std::string(kTree) + c.versionSection);
        // The system opens the parent for reading only and deletes through it.
        HKEY parent = open_key("SoftWare\\VKL\\MirabelLE");
        EXPECT_EQ(RegDeleteKeyA(parent, "7.0"), c.parentResult) << c.family;
        EXPECT_EQ(RegDeleteKeyA(parent, "Nothing"), ERROR_FILE_NOT_FOUND) << c.family;
        HKEY check = nullptr;
        bool gone = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\VKL\\MirabelLE\\7.0\\Recent", 0, KEY_READ,
                                  &check) == ERROR_FILE_NOT_FOUND;
        EXPECT_EQ(gone, c.parentResult == ERROR_SUCCESS) << c.family;
        if (check)
            RegCloseKey(check);
        RegCloseKey(parent);
    }
}

TEST(RegFunctions, LeavesFirstThenTheParentOnTheNtFamily)
{
    TempMachine machine;
    machine.write_registry(std::string(kTree) + kNtVersion);
    HKEY key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    EXPECT_EQ(RegDeleteKeyA(key, "Recent"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key, "Settings"), ERROR_SUCCESS);
    EXPECT_EQ(subkeys(key).size(), 0u);
    RegCloseKey(key);
    HKEY parent = open_key("SoftWare\\VKL\\MirabelLE");
    EXPECT_EQ(RegDeleteKeyA(parent, "7.0"), ERROR_SUCCESS);
    RegCloseKey(parent);
    std::string text = machine.read_system_reg();
    EXPECT_NE(text.find("\n[Software\\\\VKL\\\\MirabelLE] "), std::string::npos);  // now an empty leaf
    EXPECT_EQ(text.find("7.0"), std::string::npos);
}

TEST(RegFunctions, AReadOnlyKeyCanBeReadButNotWritten)
{
    TempMachine machine;
    machine.write_registry(kTree);
    platform::registry::set_read_only(u"SoftWare\\VKL\\MirabelLE\\7.0");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SoftWare\\VKL\\MirabelLE\\7.0", 0, KEY_ALL_ACCESS, &key),
              ERROR_ACCESS_DENIED);
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SoftWare\\VKL\\MirabelLE\\7.0", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_ACCESS_DENIED);
    key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    EXPECT_FALSE(query(key, "DIRECTORY").empty());
    EXPECT_EQ(set_string(key, "X", "y"), ERROR_ACCESS_DENIED);  // a KEY_READ handle cannot set values
    RegCloseKey(key);
    HKEY parent = open_key("SoftWare\\VKL\\MirabelLE");
    EXPECT_EQ(RegDeleteKeyA(parent, "7.0"), ERROR_ACCESS_DENIED);
    RegCloseKey(parent);
}

TEST(RegFunctions, AFileWithoutWriteBitsGivesReadAccessOnly)
{
    TempMachine machine;
    machine.write_registry(kTree);
    std::string before = machine.read_system_reg();
    chmod(machine.system_reg().c_str(), 0444);
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SoftWare\\VKL\\MirabelLE\\7.0", 0, KEY_WRITE, &key),
              ERROR_ACCESS_DENIED);
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SoftWare\\VKL\\New", 0, nullptr, 0, KEY_READ, nullptr, &key,
                              &disposition),
              ERROR_ACCESS_DENIED);
    key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    EXPECT_EQ(RegDeleteKeyA(key, "Recent"), ERROR_ACCESS_DENIED);
    RegCloseKey(key);
    EXPECT_EQ(machine.read_system_reg(), before);
}

TEST(RegFunctions, AMissingFileIsAnEmptyRegistryAndTheFirstChangeMakesIt)
{
    TempMachine machine;
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\VKL\\P", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(set_string(key, "", ""), ERROR_SUCCESS);
    RegCloseKey(key);
    std::string text = machine.read_system_reg();
    const std::string header = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win32\n\n"
                               "[Software\\\\VKL\\\\P] ";
    EXPECT_EQ(text.substr(0, header.size()), header);
    EXPECT_EQ(text.substr(text.size() - 6), "\n@=\"\"\n");
    EXPECT_NE(text.find("\n#time="), std::string::npos);
}

TEST(RegFunctions, AMachineWithoutAFolderCannotBeWritten)
{
    TempMachine machine;
    setenv("WINEPREFIX", (machine.root() / "absent").c_str(), 1);
    platform::machine::reopen();
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_ACCESS_DENIED);
    EXPECT_FALSE(std::filesystem::exists(machine.root() / "absent"));
}

TEST(RegFunctions, TheThirtyTwoBitViewOfAWin64Prefix)
{
    TempMachine machine;
    std::string original = registrytest::wine_file("wine-8.0-win64-product-system.reg");
    machine.write_system_reg(original);
    HKEY key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    EXPECT_EQ(query(key, "DIRECTORY"),
              std::string("C:\\Program Files (x86)\\\x83\x7e\x83\x89\x83\x78\x83\x8b" "LE") + '\0');
    EXPECT_EQ(subkeys(key), (std::vector<std::string>{"Recent", "Settings"}));
    RegCloseKey(key);
    HKEY uninstall = open_key("SoftWare\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    EXPECT_EQ(subkeys(uninstall), (std::vector<std::string>{"MirabelLE"}));
    RegCloseKey(uninstall);
    // A key that the prefix links from the 32-bit tree into the 64-bit one.
    HKEY fonts = open_key("Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts");
    HKEY native = open_key("Software\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", KEY_READ | KEY_WOW64_64KEY);
    char name[256];
    DWORD length = sizeof name;
    ASSERT_EQ(RegEnumValueA(native, 0, name, &length, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_FALSE(query(fonts, name).empty()) << name;
    EXPECT_EQ(query(fonts, name), query(native, name));
    RegCloseKey(fonts);
    RegCloseKey(native);
    // Software\Classes is shared.
    HKEY classes = open_key("Software\\Classes\\.chm");
    RegCloseKey(classes);
    EXPECT_EQ(machine.read_system_reg(), original);
}

TEST(RegFunctions, DeletingTheProductChangesOnlyItsSections)
{
    TempMachine machine;
    std::string original = registrytest::wine_file("wine-8.0-win64-product-system.reg");
    machine.write_system_reg(original);
    HKEY key = open_key("SoftWare\\VKL\\MirabelLE\\7.0");
    EXPECT_EQ(RegDeleteKeyA(key, "Recent"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(key, "Settings"), ERROR_SUCCESS);
    RegCloseKey(key);
    key = open_key("SoftWare\\VKL\\MirabelLE");
    EXPECT_EQ(RegDeleteKeyA(key, "7.0"), ERROR_SUCCESS);
    RegCloseKey(key);
    key = open_key("SoftWare\\VKL");
    EXPECT_EQ(RegDeleteKeyA(key, "MirabelLE"), ERROR_SUCCESS);
    RegCloseKey(key);
    key = open_key("SoftWare\\Microsoft\\Windows\\CurrentVersion\\Uninstall");
    EXPECT_EQ(RegDeleteKeyA(key, "MirabelLE"), ERROR_SUCCESS);
    RegCloseKey(key);

    std::string expected = original;
    for (const char* header : {"[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE\\\\7.0\\\\Settings]",
                               "[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE\\\\7.0\\\\Recent]",
                               "[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE\\\\7.0]",
                               "[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE]",
                               "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\MirabelLE]"})
        expected = registrytest::without_section(expected, header);
    // The 32-bit Uninstall key had no other subkey: Wine writes it as an
    // empty key, with the time of the deletion.
    std::string text = machine.read_system_reg();
    const std::string emptyUninstall = "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall] ";
    auto [begin, end] = registrytest::section_range(text, emptyUninstall.substr(0, emptyUninstall.size() - 1));
    ASSERT_NE(begin, std::string::npos);
    std::string section = text.substr(begin, end - begin);
    EXPECT_EQ(std::count(section.begin(), section.end(), '\n'), 2);
    EXPECT_EQ(text.substr(0, begin) + text.substr(end + 1), expected);
}

TEST(RegFunctions, TheVersionComesFromTheMachinesRegistry)
{
    struct Case {
        const char* what;
        std::string sections;
        std::uint32_t platformId, major, minor, build;
        std::u16string csd;
    };
    const Case cases[] = {
        {"NT 4.0", kNtVersion, 2, 4, 0, 1381, u"Service Pack 6a"},
        {"Windows 98", k95Version, 1, 4, 10, 2222, u" A "},
        {"nothing said: Windows 7", "", 2, 6, 1, 7601, u"Service Pack 1"},
    };
    for (const auto& c : cases) {
        TempMachine machine;
        machine.write_registry(c.sections);
        auto v = platform::machine::windows_version();
        EXPECT_EQ(v.platformId, c.platformId) << c.what;
        EXPECT_EQ(v.major, c.major) << c.what;
        EXPECT_EQ(v.minor, c.minor) << c.what;
        EXPECT_EQ(v.build, c.build) << c.what;
        EXPECT_EQ(v.csd, c.csd) << c.what;
    }
    TempMachine fresh;
    fresh.write_system_reg(registrytest::wine_file("wine-8.0-win64-fresh-system.reg"));
    auto v = platform::machine::windows_version();
    EXPECT_TRUE(v.is_nt_family());
    EXPECT_EQ(v.major, 6u);
    EXPECT_EQ(v.build, 7601u);
}
