// Telling whether Wine's server runs for a prefix, with stand-ins for the
// server in other processes, and the registry refusing to write meanwhile.
#include "platform/machine/machine_folder.h"
#include "platform/machine/wineserver.h"
#include "platform/win32.h"
#include "tests/support/temp_machine.h"
#include "tests/wine/standin_server.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <regex>
#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;
using platform::machine::running_wineserver;
using platform::machine::server_folder_name;
using winetest::StandinServer;

const std::string kProductFile = testsupport::wine_made_file("wine-8.0-win64-product-system.reg").string();

class WineServer : public ::testing::Test {
protected:
    testsupport::TempMachine machine;
    testsupport::TempDir bases;

    void SetUp() override
    {
        platform::machine::testing::set_server_base_folders(
            std::vector<fs::path>{bases.path() / "first", bases.path() / "second"});
    }
    void TearDown() override { platform::machine::testing::set_server_base_folders(std::nullopt); }

    std::string name() const { return server_folder_name(machine.root()); }
};

TEST_F(WineServer, TheServerFolderIsNamedByTheFoldersDeviceAndInodeInHex)
{
    const std::string folder = name();
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(folder, parts, std::regex("server-([1-9a-f][0-9a-f]*|0)-([1-9a-f][0-9a-f]*)")))
        << folder;
    struct stat st {};
    ASSERT_EQ(::stat(machine.root().c_str(), &st), 0);
    EXPECT_EQ(std::stoull(parts[1], nullptr, 16), static_cast<unsigned long long>(st.st_dev));
    EXPECT_EQ(std::stoull(parts[2], nullptr, 16), static_cast<unsigned long long>(st.st_ino));
    // A prefix named through a link is the folder the link leads to.
    testsupport::TempDir links;
    fs::create_directory_symlink(machine.root(), links.path() / "prefix");
    EXPECT_EQ(server_folder_name(links.path() / "prefix"), folder);
    EXPECT_EQ(server_folder_name(links.path() / "absent"), "");
    EXPECT_FALSE(running_wineserver(links.path() / "absent"));
}

TEST_F(WineServer, AServerHoldingItsLockUnderAnyBaseFolder)
{
    for (const char* base : {"first", "second"}) {
        SCOPED_TRACE(base);
        const fs::path serverFolder = bases.path() / base / name();
        StandinServer server(serverFolder, StandinServer::Shows::lock);
        ASSERT_TRUE(server.ready());
        auto found = running_wineserver();
        ASSERT_TRUE(found);
        EXPECT_EQ(found->pid, server.pid());
        EXPECT_EQ(found->serverFolder, serverFolder);
        // The lock file stays when the server ends; only the lock told.
        server.end();
        EXPECT_TRUE(fs::exists(serverFolder / "lock"));
        EXPECT_FALSE(running_wineserver());
    }
}

TEST_F(WineServer, ServersOfOtherPrefixesAndOtherPlacesAreNotThisOnes)
{
    testsupport::TempMachine other;
    const std::string othersName = server_folder_name(other.root());
    ASSERT_NE(othersName, name());
    StandinServer othersServer(bases.path() / "first" / othersName, StandinServer::Shows::lock);
    StandinServer othersWorker(bases.path() / "elsewhere" / othersName, StandinServer::Shows::workingFolder);
    // This prefix's name, but in a folder no Wine build uses, held by nobody working there.
    StandinServer stray(bases.path() / "unused" / name(), StandinServer::Shows::lock);
    ASSERT_TRUE(othersServer.ready() && othersWorker.ready() && stray.ready());
    EXPECT_FALSE(running_wineserver(machine.root()));
    EXPECT_TRUE(running_wineserver(other.root()));
}

TEST_F(WineServer, DebiansFolderBelowTmpdirNamedInThePrefix)
{
    platform::machine::testing::set_server_base_folders(std::nullopt);  // Wine's own places
    testsupport::TempDir tmpdir;
    const char* saved = std::getenv("TMPDIR");
    const std::string savedTmpdir = saved ? saved : "";
    ::setenv("TMPDIR", tmpdir.path().c_str(), 1);
    struct Case {
        const char* recorded;  // the prefix's "wineserver" file
        const char* where;     // the base folder below TMPDIR the server uses
        bool seen;
    } cases[] = {
        {"wine-AbC123\n", "wine-AbC123", true},
        {"wine-XyZ789", "wine-XyZ789", true},
        {"wine-AbC123\n", "wine-Other1", false},
        {"a/b\n", "a/b", false},  // not a plain name: never followed
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.recorded);
        std::ofstream(machine.root() / "wineserver") << c.recorded;
        StandinServer server(tmpdir.path() / c.where / name(), StandinServer::Shows::lock);
        ASSERT_TRUE(server.ready());
        EXPECT_EQ(running_wineserver().has_value(), c.seen);
    }
    if (saved)
        ::setenv("TMPDIR", savedTmpdir.c_str(), 1);
    else
        ::unsetenv("TMPDIR");
}

TEST_F(WineServer, AProcessWorkingInTheServerFolderWhereverItIs)
{
    const fs::path serverFolder = bases.path() / "some other build" / name();
    StandinServer server(serverFolder, StandinServer::Shows::workingFolder);
    ASSERT_TRUE(server.ready());
    auto found = running_wineserver();
    ASSERT_TRUE(found);
    EXPECT_EQ(found->pid, server.pid());
    EXPECT_EQ(found->serverFolder, serverFolder);
    // A server whose folder was deleted under it still runs, and still saves.
    fs::remove_all(serverFolder);
    EXPECT_TRUE(running_wineserver());
    server.end();
    EXPECT_FALSE(running_wineserver());
}

TEST_F(WineServer, TheMessageNamesThePrefixAndHowToEndTheServer)
{
    platform::machine::WineServer server{4321, "/tmp/.wine-1000/server-fe00-a721b0"};
    const std::string text = platform::machine::in_use_message("/home/me/My 'games'", server);
    EXPECT_NE(text.find("/home/me/My 'games' is in use"), std::string::npos) << text;
    EXPECT_NE(text.find("(process 4321)"), std::string::npos) << text;
    EXPECT_NE(text.find("WINEPREFIX='/home/me/My '\\''games'\\''' wineserver -k"), std::string::npos) << text;
    EXPECT_NE(text.find("Nothing was changed"), std::string::npos) << text;
    const std::string unknownPid = platform::machine::in_use_message("/p", {0, "/x"});
    EXPECT_EQ(unknownPid.find("process"), std::string::npos) << unknownPid;
}

// While the server runs, Wine would overwrite whatever was written: every
// change is refused and the file keeps every byte; once it has ended, the
// same change goes through.
TEST_F(WineServer, TheRegistryWritesNothingWhileTheServerRuns)
{
    const std::string original = testsupport::read_file(kProductFile);
    ASSERT_FALSE(original.empty());
    machine.write_system_reg(original);
    HKEY uninstall = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                            KEY_ALL_ACCESS, &uninstall),
              ERROR_SUCCESS);
    for (auto shows : {StandinServer::Shows::lock, StandinServer::Shows::workingFolder}) {
        StandinServer server(bases.path() / "second" / name(), shows);
        ASSERT_TRUE(server.ready());
        EXPECT_EQ(RegDeleteKeyA(uninstall, "MirabelLE"), ERROR_SHARING_VIOLATION);
        const BYTE data[] = "x";
        EXPECT_EQ(RegSetValueExA(uninstall, "New", 0, REG_SZ, data, sizeof data), ERROR_SHARING_VIOLATION);
        HKEY created = nullptr;
        EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\VKL\\Another", 0, nullptr, 0, KEY_ALL_ACCESS,
                                  nullptr, &created, nullptr),
                  ERROR_SHARING_VIOLATION);
        EXPECT_TRUE(machine.read_system_reg() == original);
        // Nothing was kept in memory either.
        HKEY entry = nullptr;
        EXPECT_EQ(RegOpenKeyExA(uninstall, "MirabelLE", 0, KEY_READ, &entry), ERROR_SUCCESS);
        RegCloseKey(entry);
        EXPECT_EQ(RegQueryValueExA(uninstall, "New", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\VKL\\Another", 0, KEY_READ, &entry),
                  ERROR_FILE_NOT_FOUND);
    }
    EXPECT_EQ(RegDeleteKeyA(uninstall, "MirabelLE"), ERROR_SUCCESS);
    EXPECT_FALSE(machine.read_system_reg() == original);
    RegCloseKey(uninstall);
}

}  // namespace
