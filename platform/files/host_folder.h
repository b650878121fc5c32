#pragma once
// A folder of the host, held open, whose entries are found by their Windows
// names: without regard to case, through code page 932. The entries it has
// listed are kept, so that finding one name after another costs no new
// listing; what this process changes is recorded, and a name that is not
// found (or is found but gone) is looked up again in a fresh listing, so that
// changes made from outside are seen too.

#include "platform/win32/types.h"

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/types.h>
#include <unordered_map>
#include <vector>

namespace platform::files {

// An owned file descriptor.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : m_fd(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : m_fd(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    int release();

private:
    int m_fd = -1;
};

// What an entry is. A symbolic link is always a link, never a folder: no
// call looks through a link that lies inside a drive.
enum class EntryKind { folder, file, link };

// What a call needs the name to be.
enum class Wanted { folder, nonFolder, any };

struct HostEntry {
    std::string hostName;       // the host's bytes (UTF-8)
    std::u16string windowsName; // as listed; '?' where Windows has no character
    bool addressable = true;    // false when windowsName lost something
    EntryKind kind = EntryKind::file;
    // The host's mode as the last full listing saw it; 0 when not known.
    mode_t listedMode = 0;
};

struct EntryStatus {
    HostEntry entry;
    struct stat status {};
};

// How long the modes seen by a full listing are trusted for deleting the
// files it listed (a removal deletes right after listing).
constexpr std::chrono::milliseconds kListedModeLifetime{1000};

class Folder {
public:
    explicit Folder(UniqueFd fd);
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;

    int fd() const { return m_fd.get(); }

    // Lists every entry now (without "." and ".."), with each one's status;
    // entries that vanish while being listed are left out.
    DWORD list(std::vector<EntryStatus>& out);

    // Finds the entry of that Windows name and of the wanted kind. Returns
    // ERROR_SUCCESS, ERROR_FILE_NOT_FOUND when no entry has the name, or
    // ERROR_DIRECTORY / ERROR_ACCESS_DENIED when entries of the name exist
    // but none of the wanted kind (a folder was wanted / a folder was found).
    DWORD find(std::u16string_view name, Wanted wanted, HostEntry& out);

    // Opens the subfolder of that Windows name, only if it is a real folder
    // at the moment it is opened (never a link).
    DWORD open_folder(std::u16string_view name, std::unique_ptr<Folder>& out);

    // True when the process may enter the folder (search it), as changing
    // into it needs; held with O_PATH, it may lack that right.
    bool can_enter() const;

    // Records that this process removed the entry.
    void forget(const std::string& hostName);

    // Drops what was listed, so that the next lookup lists afresh.
    void invalidate();

    // The folder's device and inode, read once: a held descriptor keeps
    // naming the same folder. False when the host cannot tell them.
    bool identity(dev_t& device, ino_t& inode);

private:
    DWORD refresh();
    const HostEntry* lookup(std::u16string_view lowered, Wanted wanted, bool* anyOfName) const;

    UniqueFd m_fd;
    bool m_identityKnown = false;
    dev_t m_device = 0;
    ino_t m_inode = 0;
    bool m_listed = false;
    std::chrono::steady_clock::time_point m_listedAt{};
    std::unordered_map<std::u16string, std::vector<HostEntry>> m_byLoweredName;
};

// Opens a host folder held by the descriptor for listing (O_PATH descriptors
// cannot be read).
UniqueFd open_for_reading(int folderFd);

// Describes a host name as Windows sees it.
HostEntry describe(std::string_view hostName, EntryKind kind);

}  // namespace platform::files
