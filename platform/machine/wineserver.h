#pragma once
// Whether Wine's server runs for the machine folder. While it runs, Wine
// keeps the registry in its own memory and overwrites system.reg whenever it
// saves, so this program must change nothing on such a machine.

#include <filesystem>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace platform::machine {

struct WineServer {
    pid_t pid = 0;                       // 0 when the lock's owner is not visible here
    std::filesystem::path serverFolder;  // where the server works ("server-<dev>-<ino>")
};

// The server of the machine folder, if one runs. It is found by the write
// lock a running server holds on "lock" in its server folder, under each
// base folder Wine builds use, or by a process working in such a folder.
std::optional<WineServer> running_wineserver();
std::optional<WineServer> running_wineserver(const std::filesystem::path& prefix);

// "server-<dev>-<ino>" of the folder (links followed), or empty when the
// folder cannot be reached.
std::string server_folder_name(const std::filesystem::path& prefix);

// What the user is told when the machine is in use: the folder, the server,
// and how to end it.
std::string in_use_message(const std::filesystem::path& prefix, const WineServer& server);

namespace testing {
// Replaces the base folders searched for server folders (nothing: Wine's
// own again). Only tests call this; users have no way to change it.
void set_server_base_folders(std::optional<std::vector<std::filesystem::path>> bases);
}  // namespace testing

}  // namespace platform::machine
