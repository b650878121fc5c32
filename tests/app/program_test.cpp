// The program mr7uninstall run as a whole, as a process of its own.

#include "tests/support/temp_machine.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/wait.h>

namespace {

const char kProductRegistry[] = R"([Software\\VKL\\MirabelLE] 1700000000
"StockBookPath"="D:\\Apps\\Tool\\StockBook"
[Software\\VKL\\MirabelLE\\7.0] 1700000000
"DIRECTORY"="D:\\Apps\\Tool"
)";

// Without a terminal there is nobody to show the dialog to: the program says
// so on standard error and ends with a failure, touching nothing.
TEST(Program, WithoutATerminalExplainsAndChangesNothing)
{
    testsupport::TempMachine machine;  // WINEPREFIX names it for the child too
    machine.write_registry(kProductRegistry);
    const auto folder = machine.add_drive('d') / "Apps/Tool/StockBook";
    std::filesystem::create_directories(folder);
    const std::string registryBefore = machine.read_system_reg();
    testsupport::TempDir out;
    const auto stdoutFile = out.path() / "stdout";
    const auto stderrFile = out.path() / "stderr";

    const std::string command = std::string("'") + MR7_PROGRAM + "' < /dev/null > '" + stdoutFile.string() +
                                "' 2> '" + stderrFile.string() + "'";
    const int status = std::system(command.c_str());

    ASSERT_TRUE(WIFEXITED(status)) << "the program did not end by itself";
    EXPECT_NE(WEXITSTATUS(status), 0);
    EXPECT_EQ(testsupport::read_file(stdoutFile), "");
    const std::string message = testsupport::read_file(stderrFile);
    EXPECT_NE(message.find("terminal"), std::string::npos) << message;
    EXPECT_TRUE(machine.read_system_reg() == registryBefore);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

}  // namespace
