#include "platform/windows/shared_window_list.h"

#include "platform/machine/machine_folder.h"
#include "platform/text/codepage.h"

#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace platform::windows::shared {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kListHeader = "mr7-window-list 1";

// Handles that stand for other processes' windows: a bit that this process's
// own handles never reach, the owner's process id and its own handle value.
constexpr std::uintptr_t kForeignHandleBit = std::uintptr_t(1) << 62;
static_assert(sizeof(std::uintptr_t) == 8, "foreign handles need 64-bit handle values");

struct PublishedWindow {
    std::uintptr_t handle = 0;
    std::u16string className;
    std::u16string title;
};

char16_t ascii_upper(char16_t c)
{
    return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c;
}

bool same_class_name(std::u16string_view a, std::u16string_view b)
{
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](char16_t x, char16_t y) { return ascii_upper(x) == ascii_upper(y); });
}

// Names and titles go into the list as UTF-8 with tabs, line ends and
// percent signs escaped, so that one window is one line.
std::string escape(std::u16string_view text)
{
    std::string out;
    for (unsigned char c : platform::text::utf16_to_utf8(text)) {
        if (c < 0x20 || c == '%' || c == 0x7F) {
            char buffer[4];
            std::snprintf(buffer, sizeof buffer, "%%%02X", c);
            out += buffer;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

std::u16string unescape(std::string_view text)
{
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        unsigned value = 0;
        if (text[i] == '%' && i + 2 < text.size() &&
            std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr == text.data() + i + 3) {
            bytes += static_cast<char>(value);
            i += 2;
        } else {
            bytes += text[i];
        }
    }
    return platform::text::utf8_to_utf16(bytes);
}

// /tmp/.mr7-windows-<uid>, made private to the user; empty when it cannot be
// made or is not safely ours (then windows are not shared).
fs::path user_folder()
{
    const uid_t uid = getuid();
    fs::path folder = "/tmp/.mr7-windows-" + std::to_string(uid);
    if (mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    struct stat st {};
    if (lstat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != uid || (st.st_mode & 0077) != 0)
        return {};
    return folder;
}

// The machine's own folder below the user's: by device and inode of the
// machine folder, so that every path that reaches it (links included) names
// the same machine; by a hash of the path while the folder does not exist.
// Made by the process that publishes, removed when it is left empty.
fs::path machine_list_folder(bool create)
{
    fs::path base = user_folder();
    if (base.empty())
        return {};
    const fs::path& machine = platform::machine::folder();
    char name[64];
    struct stat st {};
    if (stat(machine.c_str(), &st) == 0) {
        std::snprintf(name, sizeof name, "%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                      static_cast<unsigned long long>(st.st_ino));
    } else {
        std::uint64_t hash = 1469598103934665603ull;  // FNV-1a
        for (unsigned char c : machine.string())
            hash = (hash ^ c) * 1099511628211ull;
        std::snprintf(name, sizeof name, "path-%016llx", static_cast<unsigned long long>(hash));
    }
    fs::path folder = base / name;
    if (create && mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST)
        return {};
    return folder;
}

// The machine folder with every link resolved. A list names the machine it
// was written for, so that a folder whose inode a removed machine folder had
// never shows that machine's windows.
std::string canonical_machine()
{
    std::error_code ec;
    fs::path path = fs::weakly_canonical(platform::machine::folder(), ec);
    return ec ? platform::machine::folder().string() : path.string();
}

fs::path lock_path(const fs::path& folder, pid_t pid)
{
    return folder / (std::to_string(pid) + ".lock");
}

fs::path list_path(const fs::path& folder, pid_t pid)
{
    return folder / (std::to_string(pid) + ".list");
}

bool same_file(int fd, const fs::path& path)
{
    struct stat opened {};
    struct stat named {};
    return fstat(fd, &opened) == 0 && stat(path.c_str(), &named) == 0 && opened.st_dev == named.st_dev &&
           opened.st_ino == named.st_ino;
}

// Locks the whole file for writing, without waiting.
bool lock_file(int fd)
{
    struct flock lock {};
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    return fcntl(fd, F_SETLK, &lock) == 0;
}

// Is the process that owns this lock file alive? A lock nobody holds is
// taken over and the dead process's entry removed.
bool owner_alive(const fs::path& folder, pid_t pid)
{
    const fs::path lock = lock_path(folder, pid);
    int fd = open(lock.c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        return false;
    if (!lock_file(fd)) {
        close(fd);
        return errno == EAGAIN || errno == EACCES;
    }
    if (same_file(fd, lock)) {
        unlink(list_path(folder, pid).c_str());
        unlink(lock.c_str());
    }
    close(fd);
    rmdir(folder.c_str());  // only when no other process is listed
    return false;
}

// The processes listed in a machine's folder, other than this one, in order.
std::vector<pid_t> listed_processes(const fs::path& folder)
{
    std::vector<pid_t> processes;
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (!name.ends_with(".lock"))
            continue;
        const std::string digits = name.substr(0, name.size() - 5);
        long pid = 0;
        if (digits.empty() || std::from_chars(digits.data(), digits.data() + digits.size(), pid).ptr !=
                                  digits.data() + digits.size())
            continue;
        if (pid != getpid() && pid > 0 && pid < (1L << 30))
            processes.push_back(static_cast<pid_t>(pid));
    }
    std::sort(processes.begin(), processes.end());
    return processes;
}

// This process's entry in the machine's folder: the lock held while the
// process lives and the list of its windows.
class Publication {
public:
    ~Publication() { close_entry(); }

    void add(HWND handle, std::u16string_view className, std::u16string_view title)
    {
        follow_machine();
        m_windows.push_back({reinterpret_cast<std::uintptr_t>(handle), std::u16string(className), std::u16string(title)});
        write_list();
    }

    void remove(HWND handle)
    {
        const auto value = reinterpret_cast<std::uintptr_t>(handle);
        if (std::erase_if(m_windows, [value](const PublishedWindow& w) { return w.handle == value; }) == 0)
            return;
        // A process without windows is not listed at all.
        if (m_windows.empty()) {
            close_entry();
            return;
        }
        follow_machine();
        write_list();
    }

private:
    // A machine chosen afresh (WINEPREFIX changed) gets this process's windows;
    // the one before no longer lists them.
    void follow_machine()
    {
        if (m_generation == platform::machine::generation() && m_lockFd >= 0)
            return;
        close_entry();
        m_generation = platform::machine::generation();
        m_folder = machine_list_folder(false);
        m_machine = canonical_machine();
        if (!m_folder.empty())
            open_entry();
    }

    void open_entry()
    {
        // Entries of processes that ended without tidying go first.
        for (pid_t pid : listed_processes(m_folder))
            owner_alive(m_folder, pid);
        const fs::path lock = lock_path(m_folder, getpid());
        for (int attempt = 0; attempt < 8; ++attempt) {
            // Another process may remove the folder when it finds it empty.
            if (mkdir(m_folder.c_str(), 0700) != 0 && errno != EEXIST)
                return;
            int fd = open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
            if (fd < 0)
                return;
            // A process that cleans up a dead process's entry of the same id
            // may unlink the file between our open and our lock: then the
            // lock is on a file nobody sees, and we try again.
            if (lock_file(fd) && same_file(fd, lock)) {
                m_lockFd = fd;
                return;
            }
            close(fd);
            usleep(1000);
        }
    }

    void close_entry()
    {
        if (m_lockFd < 0)
            return;
        // The list goes before the lock, so that nobody reads a list of a
        // process whose lock has just been given up by the living owner.
        unlink(list_path(m_folder, getpid()).c_str());
        unlink(lock_path(m_folder, getpid()).c_str());
        close(m_lockFd);
        m_lockFd = -1;
        rmdir(m_folder.c_str());  // only when no other process is listed
    }

    // Writes the whole list to a temporary file and renames it into place,
    // so that a reader sees the old list or the new one, never a mix.
    void write_list()
    {
        if (m_lockFd < 0)
            return;
        const fs::path target = list_path(m_folder, getpid());
        const fs::path temporary = target.string() + ".new";
        {
            std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
            out << kListHeader << '\n' << m_machine << '\n';
            for (const PublishedWindow& w : m_windows)
                out << std::hex << w.handle << '\t' << escape(w.className) << '\t' << escape(w.title) << '\n';
            if (!out)
                return;
        }
        std::rename(temporary.c_str(), target.c_str());
    }

    unsigned m_generation = 0;
    fs::path m_folder;
    std::string m_machine;
    int m_lockFd = -1;
    std::vector<PublishedWindow> m_windows;
};

Publication& publication()
{
    static Publication p;
    return p;
}

std::vector<PublishedWindow> read_list(const fs::path& path, const std::string& machine)
{
    std::vector<PublishedWindow> windows;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    if (!std::getline(in, line) || line != kListHeader || !std::getline(in, line) || line != machine)
        return windows;
    while (std::getline(in, line)) {
        const std::size_t firstTab = line.find('\t');
        const std::size_t secondTab = firstTab == std::string::npos ? firstTab : line.find('\t', firstTab + 1);
        if (secondTab == std::string::npos)
            continue;
        PublishedWindow w;
        if (std::from_chars(line.data(), line.data() + firstTab, w.handle, 16).ptr != line.data() + firstTab)
            continue;
        w.className = unescape(std::string_view(line).substr(firstTab + 1, secondTab - firstTab - 1));
        w.title = unescape(std::string_view(line).substr(secondTab + 1));
        windows.push_back(std::move(w));
    }
    return windows;
}

}  // namespace

void publish(HWND handle, std::u16string_view className, std::u16string_view title)
{
    publication().add(handle, className, title);
}

void withdraw(HWND handle)
{
    publication().remove(handle);
}

fs::path list_folder()
{
    return machine_list_folder(false);
}

HWND find_in_other_processes(std::u16string_view className, const std::u16string* title)
{
    const fs::path folder = machine_list_folder(false);
    if (folder.empty())
        return nullptr;
    const std::string machine = canonical_machine();
    for (pid_t pid : listed_processes(folder)) {
        if (!owner_alive(folder, pid))
            continue;
        for (const PublishedWindow& w : read_list(list_path(folder, pid), machine)) {
            if (!className.empty() && !same_class_name(w.className, className))
                continue;
            if (title && w.title != *title)
                continue;
            const std::uintptr_t value =
                kForeignHandleBit | (static_cast<std::uintptr_t>(pid) << 32) | (w.handle & 0xFFFFFFFFu);
            return reinterpret_cast<HWND>(value);
        }
    }
    return nullptr;
}

}  // namespace platform::windows::shared
