// Uninstalling from a prefix laid out as Wine makes it: its system.reg as
// Wine wrote it (the product added through the 32-bit view), c: and z:
// drive links, the user's folders linked to a stand-in home folder. The real
// main dialog is worked by the scripted front end. Literals here are code
// page 932, as in the system; host names are UTF-8.
#include "app/UninstallApp.h"
#include "app/UninstallDlg.h"
#include "platform/frontend/scripted/scripted_frontend.h"
#include "platform/machine/wineserver.h"
#include "platform/text/codepage.h"
#include "tests/platform/registry/registry_test_support.h"
#include "tests/support/temp_machine.h"
#include "tests/wine/standin_server.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;
using platform::frontend::scripted::Event;
using platform::frontend::scripted::ScriptedFrontEnd;

const char kComplete[] = "完全に削除しました。";
const char kRemoved[] = "削除に成功しました。";

const char kVersionSection[] = "[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE\\\\7.0]";
const char kProductSection[] = "[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE]";

std::string utf8(std::u16string_view text)
{
    return platform::text::utf16_to_utf8(text);
}

using registrytest::reg_string;

// The text with the value line `name` of one section replaced.
std::string with_value(const std::string& text, const std::string& section, const std::string& name,
                       std::u16string_view value)
{
    auto [begin, end] = registrytest::section_range(text, section);
    const std::size_t line = text.find("\n\"" + name + "\"=", begin);
    if (begin == std::string::npos || line == std::string::npos || line >= end)
        throw std::runtime_error("no value " + name + " in " + section);
    const std::size_t lineEnd = text.find('\n', line + 1);
    return text.substr(0, line + 1) + "\"" + name + "\"=" + reg_string(value) + text.substr(lineEnd);
}

// Each section's header (without its time) and the lines below it.
std::map<std::string, std::string> sections_of(const std::string& text)
{
    std::map<std::string, std::string> sections;
    std::size_t at = 0;
    while ((at = text.find("\n[", at)) != std::string::npos) {
        ++at;
        const std::size_t headerEnd = text.find("] ", at);
        const std::size_t lineEnd = text.find('\n', at);
        std::size_t end = text.find("\n\n", at);
        end = end == std::string::npos ? text.size() : end;
        sections[text.substr(at, headerEnd + 1 - at)] = text.substr(lineEnd, end - lineEnd);
        at = end;
    }
    return sections;
}

// Every entry below a folder, links as themselves, never followed.
std::set<std::string> tree_of(const fs::path& folder)
{
    std::set<std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        entries.insert(entry.path().lexically_relative(folder).string());
    return entries;
}

class WinePrefix : public ::testing::Test {
protected:
    testsupport::TempMachine machine;
    testsupport::TempDir home;     // stands in for the user's own home folder
    testsupport::TempDir outside;  // somewhere else on the host
    fs::path c;
    std::string original;

    const std::u16string kInstallDir = u"C:\\Program Files (x86)\\ミラベルLE";
    const std::u16string kGroup = u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\プログラム\\ミラベルLE";

    fs::path host(std::u16string_view windowsPath) const
    {
        std::string path = utf8(windowsPath.substr(3));
        for (char& ch : path) {
            if (ch == '\\')
                ch = '/';
        }
        return c / path;
    }
    static void file(const fs::path& path, const char* content = "data")
    {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << content;
    }

    void SetUp() override
    {
        ASSERT_TRUE(AfxWinInit());
        original = registrytest::wine_file("wine-8.0-win64-product-system.reg");
        ASSERT_FALSE(original.empty());
        machine.write_system_reg(original);
        // The drive links Wine makes, devices among them.
        c = machine.root() / "drive_c";
        fs::create_directories(c);
        fs::create_directories(machine.root() / "dosdevices");
        fs::create_directory_symlink("../drive_c", machine.root() / "dosdevices" / "c:");
        fs::create_directory_symlink("/", machine.root() / "dosdevices" / "z:");
        fs::create_symlink("/dev/ttyS0", machine.root() / "dosdevices" / "com1");
        fs::create_symlink("/dev/sr0", machine.root() / "dosdevices" / "d::");

        file(home.path() / "precious.txt");
        file(home.path() / "Book" / "own.stk");
        fs::create_directories(c / "users" / "me");
        for (const char* linked : {"Desktop", "Documents", "Downloads"})
            fs::create_directory_symlink(home.path(), c / "users" / "me" / linked);
        file(c / "windows" / "system32" / "kernel32.dll");
        file(c / "Program Files (x86)" / "Other" / "keep.txt");
        file(outside.path() / "Product" / "tool.exe");

        // The product as its installer left it, with links to the home folder.
        file(host(kInstallDir + u"\\ZAVOVIVAZERID.EXE"));
        file(host(kInstallDir + u"\\StockBook\\表.stk"));
        file(host(kInstallDir + u"\\Bin\\ソ.dll"));
        fs::create_directory_symlink(home.path(), host(kInstallDir + u"\\Bin\\Home"));
        fs::create_symlink(home.path() / "precious.txt", host(kInstallDir + u"\\notes.txt"));
        file(host(kGroup + u"\\ミラベルLE.lnk"));
        file(host(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\プログラム\\Other\\keep.lnk"));
    }

    // Execute, Yes, and OK on the report; `meanwhile` runs while the
    // confirmation waits. Returns the report's text.
    std::string execute(std::function<void()> meanwhile = {})
    {
        ScriptedFrontEnd screen;
        CUninstallDlg dlg;
        theApp.m_pMainWnd = &dlg;
        screen.click(IDOK);
        if (meanwhile)
            screen.then([&](HWND) { meanwhile(); });
        screen.answer_message_box(IDYES);
        screen.answer_message_box(IDOK);
        EXPECT_EQ(dlg.DoModal(), IDOK);
        const auto boxes = screen.events(Event::Kind::MessageBoxShown);
        return boxes.size() == 2 ? boxes[1].textA : std::string("<no report>");
    }

    void expect_home_and_neighbours_kept() const
    {
        EXPECT_TRUE(fs::exists(home.path() / "precious.txt"));
        EXPECT_TRUE(fs::exists(home.path() / "Book" / "own.stk"));
        EXPECT_TRUE(fs::is_symlink(c / "users" / "me" / "Documents"));
        EXPECT_TRUE(fs::exists(c / "windows" / "system32" / "kernel32.dll"));
        EXPECT_TRUE(fs::exists(c / "Program Files (x86)" / "Other" / "keep.txt"));
        EXPECT_TRUE(fs::exists(outside.path() / "Product" / "tool.exe"));
        EXPECT_TRUE(fs::exists(host(u"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\プログラム\\Other\\keep.lnk")));
    }
};

// The whole product goes, from below Software\Wow6432Node where its 32-bit
// installer put it; every other section of the file keeps every byte, and
// the links in its folder go without what they lead to.
TEST_F(WinePrefix, UninstallRemovesExactlyTheProductFromAWineMadeRegistry)
{
    EXPECT_EQ(execute(), kComplete);

    const auto before = sections_of(original);
    const auto after = sections_of(machine.read_system_reg());
    std::set<std::string> removed, added;
    for (const auto& [header, body] : before) {
        auto it = after.find(header);
        if (it == after.end())
            removed.insert(header);
        else
            EXPECT_EQ(it->second, body) << header;
    }
    for (const auto& [header, body] : after) {
        if (!before.count(header))
            added.insert(header);
    }
    EXPECT_EQ(removed, (std::set<std::string>{
                           "[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\MirabelLE]",
                           kProductSection,
                           kVersionSection,
                           "[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE\\\\7.0\\\\Recent]",
                           "[Software\\\\Wow6432Node\\\\VKL\\\\MirabelLE\\\\7.0\\\\Settings]",
                       }));
    // The 32-bit Uninstall key lost its only subkey: it is now an empty key
    // and gets a section of its own, as Wine writes one.
    EXPECT_EQ(added, (std::set<std::string>{"[Software\\\\Wow6432Node\\\\Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall]"}));
    EXPECT_EQ(machine.read_system_reg().rfind("WINE REGISTRY Version 2\n;; All keys relative to REGISTRY\\\\Machine\n\n#arch=win64\n", 0), 0u);

    EXPECT_FALSE(fs::exists(fs::symlink_status(host(kInstallDir))));
    EXPECT_FALSE(fs::exists(host(kGroup)));
    expect_home_and_neighbours_kept();
}

// A stock book kept in the user's Documents, which the prefix links to the
// real home folder: that path leads through a link, so it is not removed.
TEST_F(WinePrefix, AStockBookBehindTheUsersFolderLinkStays)
{
    machine.write_system_reg(with_value(original, kProductSection, "StockBookPath", u"C:\\users\\me\\Documents\\Book"));
    execute();
    EXPECT_FALSE(fs::exists(host(kInstallDir)));
    expect_home_and_neighbours_kept();
}

// Stored paths that name a drive's root, or reach one or a whole parent with
// dots, or lead through the drive that is the whole host: nothing is removed
// through them.
TEST_F(WinePrefix, PathsNamingADriveRootOrTheWholeHostRemoveNothing)
{
    std::u16string outsideProduct = u"Z:" + platform::text::utf8_to_utf16(outside.path().string()) + u"\\Product";
    for (char16_t& ch : outsideProduct) {
        if (ch == u'/')
            ch = u'\\';
    }
    const std::u16string cases[] = {
        u"C:\\", u"C:", u"Z:\\", u"Z:", u"C:\\.", u"C:\\Program Files (x86)\\..", u"Z:\\tmp\\..", outsideProduct,
        // A forward slash is a separator too: each of these ends in the
        // drive's root or in the whole of Program Files (x86).
        u"C:\\Program Files (x86)\\../", u"C:\\Program Files (x86)\\./", u"C:\\x\\/",
        u"C:\\Program Files (x86)\\ミラベルLE/..", u"C:\\Program Files (x86)\\ミラベルLE/../..",
    };
    const fs::path group = host(kGroup);
    for (const std::u16string& stored : cases) {
        SCOPED_TRACE(utf8(stored));
        std::string text = with_value(original, kVersionSection, "DIRECTORY", stored);
        machine.write_system_reg(with_value(text, kProductSection, "StockBookPath", stored));
        fs::create_directories(group);
        const std::set<std::string> cBefore = tree_of(c);
        const std::set<std::string> outsideBefore = tree_of(outside.path());
        execute();
        // Only the product's group went, as it should.
        std::set<std::string> cAfter = tree_of(c);
        std::set<std::string> expected;
        for (const std::string& entry : cBefore) {
            if (entry.rfind(group.lexically_relative(c).string(), 0) != 0)
                expected.insert(entry);
        }
        EXPECT_EQ(cAfter, expected);
        EXPECT_EQ(tree_of(outside.path()), outsideBefore);
        expect_home_and_neighbours_kept();
    }
}

// A server that starts while the user confirms: the registry is then left
// exactly as it was, and the report says that not everything went.
TEST_F(WinePrefix, AServerStartingDuringTheRunLeavesTheRegistryAsItWas)
{
    std::unique_ptr<winetest::StandinServer> server;
    testsupport::TempDir serverPlace;
    const std::string report = execute([&] {
        server = std::make_unique<winetest::StandinServer>(
            serverPlace.path() / platform::machine::server_folder_name(machine.root()),
            winetest::StandinServer::Shows::workingFolder);
        ASSERT_TRUE(server->ready());
    });
    EXPECT_EQ(report, kRemoved);
    EXPECT_TRUE(machine.read_system_reg() == original);
}

// The drives are the dosdevices links as Wine makes them: c: and z:, the
// latter the whole host, readable but never changed; device links are no
// drives.
TEST_F(WinePrefix, EveryDriveLinkOfWinesLayoutIsADrive)
{
    std::string throughZ = "Z:" + outside.path().string() + "/Product/tool.exe";
    EXPECT_NE(GetFileAttributesA(throughZ.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetFileAttributesA("C:\\windows\\system32\\kernel32.dll"), DWORD(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(_chdir("Z:\\"), 0);
    EXPECT_EQ(_chdir("c:\\WINDOWS"), 0);
    EXPECT_EQ(_chdir("D:\\"), -1);
    // A removal through Z: is refused, although it reaches a writable file.
    EXPECT_FALSE(DeleteFileA(throughZ.c_str()));
    EXPECT_EQ(GetLastError(), DWORD(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(fs::exists(outside.path() / "Product" / "tool.exe"));
    // So is one through a drive mapped to the folder that holds the prefix,
    // as a drive of the home folder holds ~/.wine; a drive elsewhere is the
    // user's own and may be changed.
    fs::create_directory_symlink(machine.root().parent_path(), machine.root() / "dosdevices" / "h:");
    fs::create_directory_symlink(outside.path(), machine.root() / "dosdevices" / "e:");
    const std::string ownRegistry = "H:\\" + machine.root().filename().string() + "\\system.reg";
    EXPECT_NE(GetFileAttributesA(ownRegistry.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(DeleteFileA(ownRegistry.c_str()));
    EXPECT_TRUE(fs::exists(machine.system_reg()));
    EXPECT_TRUE(DeleteFileA("E:\\Product\\tool.exe"));
    EXPECT_TRUE(RemoveDirectoryA("E:\\Product"));
    EXPECT_FALSE(fs::exists(outside.path() / "Product"));
}

// The machine's own facts on the file Wine made, and on copies edited as a
// user or winecfg would edit them.
TEST_F(WinePrefix, TheMachinesFactsFromWinesOwnValues)
{
    struct Case {
        const char* what;
        std::function<std::string(std::string)> edit;
        const char* windowsDirectory;
        const char* startMenu;
    } cases[] = {
        {"as Wine made it", [](std::string t) { return t; }, "C:\\windows",
         "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
        {"Shell Folders' value gone: User Shell Folders with %ProgramData%",
         [](std::string t) {
             const std::string line = "\"Common Start Menu\"=\"C:\\\\ProgramData\\\\Microsoft\\\\Windows\\\\Start Menu\"\n";
             std::size_t at;
             while ((at = t.find(line)) != std::string::npos)
                 t.erase(at, line.size());
             return with_value(t, "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion\\\\ProfileList]",
                               "ProgramData", u"D:\\Shared");
         },
         "C:\\windows", "D:\\Shared\\Microsoft\\Windows\\Start Menu"},
        {"SystemRoot moved", [](std::string t) {
             return with_value(t, "[Software\\\\Microsoft\\\\Windows NT\\\\CurrentVersion]", "SystemRoot", u"D:\\WINDOWS");
         },
         "D:\\WINDOWS", "C:\\ProgramData\\Microsoft\\Windows\\Start Menu"},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.what);
        machine.write_system_reg(each.edit(original));
        OSVERSIONINFOA info;
        std::memset(&info, 0, sizeof info);
        info.dwOSVersionInfoSize = sizeof info;
        ASSERT_TRUE(GetVersionExA(&info));
        EXPECT_EQ(info.dwPlatformId, DWORD(VER_PLATFORM_WIN32_NT));
        EXPECT_EQ(info.dwMajorVersion, 6u);
        EXPECT_EQ(info.dwMinorVersion, 1u);
        EXPECT_EQ(info.dwBuildNumber, 7601u);
        EXPECT_STREQ(info.szCSDVersion, "Service Pack 1");
        char buffer[MAX_PATH];
        ASSERT_NE(GetWindowsDirectoryA(buffer, MAX_PATH), 0u);
        EXPECT_STREQ(buffer, each.windowsDirectory);
        LPITEMIDLIST pidl = nullptr;
        ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_COMMON_STARTMENU, &pidl), S_OK);
        EXPECT_TRUE(SHGetPathFromIDListA(pidl, buffer));
        CoTaskMemFree(pidl);
        EXPECT_STREQ(buffer, each.startMenu);
    }
}

}  // namespace
