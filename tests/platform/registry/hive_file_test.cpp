// system.reg on disk: malformed files, safe replacement, other processes.

#include "platform/faults/faults.h"
#include "platform/win32.h"
#include "tests/platform/registry/registry_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using testsupport::TempMachine;

namespace {

const char* const kTree =
    "[Software\\\\VKL\\\\MirabelLE\\\\7.0] 1796989371\n"
    "#time=1dd8964c0ed81d0\n"
    "\"DIRECTORY\"=\"C:\\\\Product\"\n";

LONG set_value(const char* path, const char* name, const std::string& text)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    LONG result = RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (result != ERROR_SUCCESS)
        return result;
    result = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1));
    RegCloseKey(key);
    return result;
}

std::string read_value(const char* path, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "<no key>";
    char buffer[256];
    DWORD length = sizeof buffer;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &length);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(buffer) : "<no value>";
}

std::vector<std::string> stray_files(const TempMachine& machine)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(machine.root())) {
        std::string name = entry.path().filename().string();
        if (name != "system.reg" && name != "system.reg.mr7lock" && name != "dosdevices")
            names.push_back(name);
    }
    return names;
}

}  // namespace

TEST(HiveFile, AMalformedFileIsNamedWithItsLineAndNeverWritten)
{
    struct Case {
        const char* what;
        std::string text;
        const char* where;
    };
    const std::string header = "WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win32\n";
    const Case cases[] = {
        {"bad header line", "REGEDIT4\n\n[Software]\n", ":1: "},
        {"unterminated string", header + "\n[Software\\\\A] 1\n\"v\"=\"abc\n", ":7: "},
        {"truncated file", header + "\n[Software\\\\A] 1\n\"v\"=hex:01,\\\n", ":7: "},
    };
    for (const auto& c : cases) {
        TempMachine machine;
        machine.write_system_reg(c.text);
        testing::internal::CaptureStderr();
        HKEY key = nullptr;
        EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS) << c.what;
        EXPECT_NE(set_value("Software\\A", "x", "y"), ERROR_SUCCESS) << c.what;
        std::string message = testing::internal::GetCapturedStderr();
        EXPECT_NE(message.find(machine.system_reg().string() + c.where), std::string::npos) << c.what << message;
        EXPECT_EQ(std::count(message.begin(), message.end(), '\n'), 1) << c.what << ": reported once";
        EXPECT_EQ(machine.read_system_reg(), c.text) << c.what;
    }
}

TEST(HiveFile, AChangeKeepsEveryOtherByteAndTheFilesMode)
{
    TempMachine machine;
    std::string original = registrytest::wine_file("wine-8.0-win64-product-system.reg");
    machine.write_system_reg(original);
    chmod(machine.system_reg().c_str(), 0640);
    ASSERT_EQ(set_value("SoftWare\\VKL\\MirabelLE\\7.0", "Added", "new"), ERROR_SUCCESS);
    std::string text = machine.read_system_reg();
    auto [begin, end] = registrytest::section_range(original, "[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE\\\\7.0]");
    ASSERT_NE(begin, std::string::npos);
    std::size_t tail = original.size() - end;
    ASSERT_GT(text.size(), tail);
    EXPECT_TRUE(text.compare(0, begin, original, 0, begin) == 0);
    EXPECT_TRUE(text.compare(text.size() - tail, tail, original, end, tail) == 0);
    std::string section = text.substr(begin, text.size() - tail - begin);
    // The key's new time in both forms, then its values in order.
    std::size_t seconds = std::stoul(section.substr(section.find("] ") + 2));
    EXPECT_NEAR(static_cast<double>(seconds), static_cast<double>(time(nullptr)), 5.0);
    EXPECT_NE(section.find("\n#time=1"), std::string::npos);
    EXPECT_NE(section.find("\n\"Added\"=\"new\"\n\"DIRECTORY\"="), std::string::npos) << section;
    struct stat st {};
    stat(machine.system_reg().c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_TRUE(stray_files(machine).empty());
}

TEST(HiveFile, ASystemRegThatIsALinkStaysALinkAndItsTargetChanges)
{
    TempMachine machine;
    testsupport::TempDir elsewhere;
    const std::filesystem::path target = elsewhere.path() / "real.reg";
    machine.write_system_reg(std::string("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n"
                                         "#arch=win32\n\n") + kTree);
    std::filesystem::rename(machine.system_reg(), target);
    std::filesystem::create_symlink(target, machine.system_reg());
    ASSERT_EQ(set_value("Software\\VKL\\MirabelLE\\7.0", "Added", "new"), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_symlink(machine.system_reg()));
    EXPECT_NE(testsupport::read_file(target).find("\"Added\"=\"new\""), std::string::npos);
    EXPECT_EQ(read_value("Software\\VKL\\MirabelLE\\7.0", "Added"), "new");
    EXPECT_TRUE(stray_files(machine).empty());

    // A link that leads nowhere is not replaced by a file of its own.
    std::filesystem::remove(target);
    EXPECT_NE(set_value("Software\\VKL\\MirabelLE\\7.0", "Other", "x"), ERROR_SUCCESS);
    EXPECT_TRUE(std::filesystem::is_symlink(machine.system_reg()));
    EXPECT_FALSE(std::filesystem::exists(target));
}

TEST(HiveFile, ASystemRegThatIsNoRegularFileIsRefusedAtOnce)
{
    // A FIFO would block a reader until someone writes into it.
    TempMachine machine;
    ASSERT_EQ(mkfifo(machine.system_reg().c_str(), 0644), 0);
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_NE(set_value("Software\\A", "x", "y"), ERROR_SUCCESS);
    struct stat st {};
    ASSERT_EQ(lstat(machine.system_reg().c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "it is left as it is";
}

TEST(HiveFile, KeysAreNotCreatedDeeperThanWindowsLetsThemNest)
{
    TempMachine machine;
    machine.write_registry("[Software\\\\A] 1\n");
    std::string deep = "Software";
    for (int depth = 1; depth < 600; ++depth)
        deep += "\\a";
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, deep.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                              &disposition),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(read_value("Software\\A", "x"), "<no value>") << "the registry is still usable";
    EXPECT_EQ(set_value("Software\\A", "x", "y"), ERROR_SUCCESS);
}

TEST(HiveFile, ACrashBeforeTheRenameLeavesTheOldFile)
{
    TempMachine machine;
    machine.write_registry(kTree);
    std::string before = machine.read_system_reg();
    platform::faults::inject("rename", platform::faults::Mode::once);
    EXPECT_NE(set_value("Software\\VKL\\MirabelLE\\7.0", "Lost", "x"), ERROR_SUCCESS);
    EXPECT_EQ(machine.read_system_reg(), before);
    // What was not written is not pretended either; the leftover temporary
    // file is never taken for the registry.
    EXPECT_EQ(read_value("Software\\VKL\\MirabelLE\\7.0", "Lost"), "<no value>");
    EXPECT_EQ(stray_files(machine).size(), 1u);
    EXPECT_EQ(set_value("Software\\VKL\\MirabelLE\\7.0", "Kept", "y"), ERROR_SUCCESS);
    EXPECT_EQ(read_value("Software\\VKL\\MirabelLE\\7.0", "Kept"), "y");
    EXPECT_EQ(read_value("Software\\VKL\\MirabelLE\\7.0", "DIRECTORY"), "C:\\Product");
    platform::faults::clear();
}

TEST(HiveFile, AChangeMadeByAnotherProcessIsSeenAndKept)
{
    TempMachine machine;
    machine.write_registry(kTree);
    EXPECT_EQ(read_value("Software\\VKL\\MirabelLE\\7.0", "DIRECTORY"), "C:\\Product");
    machine.write_registry(std::string(kTree) + "[Software\\\\VKL\\\\Other] 1796989371\n\"From\"=\"outside\"\n");
    ASSERT_EQ(set_value("Software\\VKL\\MirabelLE\\7.0", "Mine", "inside"), ERROR_SUCCESS);
    EXPECT_EQ(read_value("Software\\VKL\\Other", "From"), "outside");
    EXPECT_NE(machine.read_system_reg().find("\"From\"=\"outside\""), std::string::npos);
}

// The name of value i of child c. Built piece by piece: g++ 12 warns
// wrongly (-Wrestrict) about "P" + std::to_string(...) when optimising.
static std::string shared_value_name(int c, int i)
{
    std::string name("P");
    name += std::to_string(c);
    name += '_';
    name += std::to_string(i);
    return name;
}

TEST(HiveFile, TwoProcessesChangingTheHiveLoseNothing)
{
    TempMachine machine;
    machine.write_registry(kTree);
    constexpr int kValuesEach = 40;
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            int failures = 0;
            for (int i = 0; i < kValuesEach; ++i) {
                std::string name = shared_value_name(c, i);
                failures += set_value("Software\\VKL\\Shared", name.c_str(), name) != ERROR_SUCCESS;
            }
            _exit(failures == 0 ? 0 : 1);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < kValuesEach; ++i) {
            std::string name = shared_value_name(c, i);
            EXPECT_EQ(read_value("Software\\VKL\\Shared", name.c_str()), name);
        }
}

TEST(HiveFile, SwitchingMachinesReadsTheOtherRegistry)
{
    auto first = std::make_unique<TempMachine>();
    first->write_registry(kTree);
    EXPECT_EQ(read_value("Software\\VKL\\MirabelLE\\7.0", "DIRECTORY"), "C:\\Product");
    first.reset();
    TempMachine second;
    EXPECT_EQ(read_value("Software\\VKL\\MirabelLE\\7.0", "DIRECTORY"), "<no key>");
}
