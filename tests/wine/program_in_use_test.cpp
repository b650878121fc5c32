// The program refusing a prefix that Wine's server is using: before any
// dialog, with a message on standard error and a failing exit code.
#include "platform/machine/wineserver.h"
#include "tests/support/temp_machine.h"
#include "tests/wine/standin_server.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sys/wait.h>

namespace {

namespace fs = std::filesystem;
using winetest::StandinServer;

constexpr int kExitMachineInUse = 3;

struct Outcome {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs the program without a terminal, as a user's script would, on the
// machine WINEPREFIX names now.
Outcome run_program(const std::string& environment = "")
{
    testsupport::TempDir files;
    const std::string command = environment + " '" + MR7_PROGRAM + "' < /dev/null > '" +
                                (files.path() / "out").string() + "' 2> '" + (files.path() / "err").string() + "'";
    const int status = std::system(command.c_str());
    Outcome outcome;
    if (WIFEXITED(status))
        outcome.exitCode = WEXITSTATUS(status);
    outcome.out = testsupport::read_file(files.path() / "out");
    outcome.err = testsupport::read_file(files.path() / "err");
    return outcome;
}

TEST(ProgramOnAPrefixInUse, RefusesBeforeAnyDialogAndChangesNothing)
{
    testsupport::TempMachine machine;
    machine.write_system_reg(testsupport::read_file(
        testsupport::wine_made_file("wine-8.0-win64-product-system.reg")));
    const fs::path c = machine.add_drive('c');
    fs::create_directories(c / "Program Files (x86)" / "ミラベルLE" / "StockBook");
    const std::string before = machine.read_system_reg();
    const std::string serverName = platform::machine::server_folder_name(machine.root());
    testsupport::TempDir tmpdir;
    std::ofstream(machine.root() / "wineserver") << "wine-Test01\n";

    struct Case {
        const char* how;
        fs::path serverFolder;
        StandinServer::Shows shows;
    } cases[] = {
        {"lock below Debian's TMPDIR folder", tmpdir.path() / "wine-Test01" / serverName, StandinServer::Shows::lock},
        {"a process working in the server folder", tmpdir.path() / "elsewhere" / serverName,
         StandinServer::Shows::workingFolder},
    };
    for (const Case& each : cases) {
        SCOPED_TRACE(each.how);
        StandinServer server(each.serverFolder, each.shows);
        ASSERT_TRUE(server.ready());
        Outcome outcome = run_program("TMPDIR='" + tmpdir.path().string() + "'");
        EXPECT_EQ(outcome.exitCode, kExitMachineInUse);
        EXPECT_EQ(outcome.out, "");
        EXPECT_NE(outcome.err.find("The Wine prefix " + machine.root().string() + " is in use"), std::string::npos)
            << outcome.err;
        EXPECT_NE(outcome.err.find("(process " + std::to_string(server.pid()) + ")"), std::string::npos)
            << outcome.err;
        EXPECT_NE(outcome.err.find("wineserver -k"), std::string::npos) << outcome.err;
        // Refused before the front end was looked for.
        EXPECT_EQ(outcome.err.find("terminal"), std::string::npos) << outcome.err;
        EXPECT_TRUE(machine.read_system_reg() == before);
        EXPECT_TRUE(fs::is_directory(c / "Program Files (x86)" / "ミラベルLE" / "StockBook"));
    }
    // With the server gone the program goes on to look for a terminal.
    Outcome outcome = run_program("TMPDIR='" + tmpdir.path().string() + "'");
    EXPECT_NE(outcome.exitCode, kExitMachineInUse);
    EXPECT_EQ(outcome.err.find("in use"), std::string::npos) << outcome.err;
}

}  // namespace
