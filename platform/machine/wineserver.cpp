#include "platform/machine/wineserver.h"

#include "platform/machine/machine_folder.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::machine {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kDeletedSuffix = " (deleted)";
constexpr std::size_t kMaxLinkLength = 4096;

std::optional<std::vector<fs::path>>& base_override()
{
    static std::optional<std::vector<fs::path>> bases;
    return bases;
}

// The name of the per-prefix folder that Debian's Wine keeps below $TMPDIR,
// as the prefix's "wineserver" file records it; empty when there is none or
// it is not a plain name.
std::string debian_base_name(const fs::path& prefix)
{
    std::ifstream file(prefix / "wineserver");
    std::string name;
    if (!file || !std::getline(file, name))
        return {};
    while (!name.empty() && (name.back() == '\r' || name.back() == ' ' || name.back() == '\t'))
        name.pop_back();
    if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos)
        return {};
    return name;
}

// Where Wine builds put their server folders: upstream's /tmp/.wine-<uid>,
// and Debian's /run/user/<uid>/wine or ${TMPDIR:-/tmp}/<name>.
std::vector<fs::path> base_folders(const fs::path& prefix)
{
    if (base_override())
        return *base_override();
    const std::string uid = std::to_string(::getuid());
    std::vector<fs::path> bases{fs::path("/tmp") / (".wine-" + uid), fs::path("/run/user") / uid / "wine"};
    if (std::string name = debian_base_name(prefix); !name.empty()) {
        const char* tmpdir = std::getenv("TMPDIR");
        bases.push_back(fs::path(tmpdir && *tmpdir ? tmpdir : "/tmp") / name);
    }
    return bases;
}

// The pid holding a write lock on byte 0 of the server's lock file, as a
// running server does; nothing when no one holds it. The file itself stays
// after the server ends, so only the lock tells.
std::optional<pid_t> lock_holder(const fs::path& lockFile)
{
    int fd = ::open(lockFile.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return std::nullopt;
    struct flock probe {};
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = 0;
    probe.l_len = 1;
    int result = ::fcntl(fd, F_GETLK, &probe);
    ::close(fd);
    if (result != 0 || probe.l_type == F_UNLCK)
        return std::nullopt;
    return probe.l_pid;
}

// A process of this user working in a folder of that name: the server works
// in its server folder, whatever base folder its build chose.
std::optional<WineServer> process_in_folder(const std::string& folderName)
{
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return std::nullopt;
    const pid_t self = ::getpid();
    std::optional<WineServer> found;
    while (dirent* d = ::readdir(proc)) {
        char* end = nullptr;
        long pid = std::strtol(d->d_name, &end, 10);
        if (*d->d_name == '\0' || *end != '\0' || pid <= 0 || pid == self)
            continue;
        const std::string link = std::string("/proc/") + d->d_name + "/cwd";
        char target[kMaxLinkLength];
        ssize_t length = ::readlink(link.c_str(), target, sizeof target);
        if (length <= 0 || static_cast<std::size_t>(length) >= sizeof target)
            continue;  // another user's process, or one that has ended
        std::string_view cwd(target, static_cast<std::size_t>(length));
        // A server whose folder was deleted still runs and still saves.
        if (cwd.size() > kDeletedSuffix.size() && cwd.substr(cwd.size() - kDeletedSuffix.size()) == kDeletedSuffix)
            cwd.remove_suffix(kDeletedSuffix.size());
        std::size_t slash = cwd.rfind('/');
        if (slash != std::string_view::npos && cwd.substr(slash + 1) == folderName) {
            found = WineServer{static_cast<pid_t>(pid), fs::path(std::string(cwd))};
            break;
        }
    }
    ::closedir(proc);
    return found;
}

// The text as one word of a POSIX shell command.
std::string shell_quoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string server_folder_name(const fs::path& prefix)
{
    struct stat st {};
    if (::stat(prefix.c_str(), &st) != 0)
        return {};
    char name[64];
    std::snprintf(name, sizeof name, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    return name;
}

std::optional<WineServer> running_wineserver(const fs::path& prefix)
{
    const std::string folderName = server_folder_name(prefix);
    if (folderName.empty())
        return std::nullopt;  // no folder, so no server can run for it
    for (const fs::path& base : base_folders(prefix)) {
        fs::path serverFolder = base / folderName;
        if (std::optional<pid_t> pid = lock_holder(serverFolder / "lock"))
            return WineServer{*pid, serverFolder};
    }
    return process_in_folder(folderName);
}

std::optional<WineServer> running_wineserver()
{
    return running_wineserver(folder());
}

std::string in_use_message(const fs::path& prefix, const WineServer& server)
{
    std::string text = "The Wine prefix " + prefix.string() + " is in use: a wineserver";
    if (server.pid > 0)
        text += " (process " + std::to_string(server.pid) + ")";
    text += " runs for it, and Wine would overwrite the registry when it saves.\n"
            "Nothing was changed. End the server and every Wine program of this prefix with\n"
            "    WINEPREFIX=" + shell_quoted(prefix.string()) + " wineserver -k\n"
            "then run this program again.\n";
    return text;
}

namespace testing {

void set_server_base_folders(std::optional<std::vector<fs::path>> bases)
{
    base_override() = std::move(bases);
}

}  // namespace testing

}  // namespace platform::machine
