#include "platform/files/host_folder.h"

#include "platform/files/errors.h"
#include "platform/files/windows_path.h"
#include "platform/text/case.h"
#include "platform/text/codepage.h"

#include <cerrno>
#include <chrono>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::files {
namespace {

constexpr char16_t kUnrepresentable = u'?';

// Folders are held with O_PATH: that is enough for every *at() call, works on
// folders that may be entered but not listed, and never reads anything.
constexpr int kFolderOpenFlags = O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

EntryKind kind_of(mode_t mode)
{
    if (S_ISLNK(mode))
        return EntryKind::link;
    if (S_ISDIR(mode))
        return EntryKind::folder;
    return EntryKind::file;
}

bool fits(const HostEntry& entry, Wanted wanted)
{
    switch (wanted) {
    case Wanted::folder: return entry.kind == EntryKind::folder;
    case Wanted::nonFolder: return entry.kind != EntryKind::folder;
    case Wanted::any: return true;
    }
    return false;
}

}  // namespace

UniqueFd::~UniqueFd()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = other.release();
    }
    return *this;
}

int UniqueFd::release()
{
    int fd = m_fd;
    m_fd = -1;
    return fd;
}

UniqueFd open_for_reading(int folderFd)
{
    return UniqueFd(::openat(folderFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
}

HostEntry describe(std::string_view hostName, EntryKind kind)
{
    HostEntry entry;
    entry.hostName = std::string(hostName);
    entry.kind = kind;
    std::u16string wide = text::utf8_to_utf16(hostName);
    bool lossy = false;
    std::string narrow = text::utf16_to_cp932(wide, &lossy);
    std::u16string shown = text::cp932_to_utf16(narrow);
    // A name is reachable by its Windows name only when that name leads back
    // to exactly these host bytes and is a name Windows could hold.
    entry.addressable = !lossy && shown == wide && text::utf16_to_utf8(wide) == hostName && is_valid_name(wide);
    if (!entry.addressable) {
        for (char16_t& c : shown) {
            if (!is_valid_name(std::u16string_view(&c, 1)))
                c = kUnrepresentable;
        }
    }
    entry.windowsName = std::move(shown);
    return entry;
}

Folder::Folder(UniqueFd fd) : m_fd(std::move(fd)) {}

bool Folder::identity(dev_t& device, ino_t& inode)
{
    if (!m_identityKnown) {
        struct stat st {};
        if (::fstat(fd(), &st) != 0)
            return false;
        m_device = st.st_dev;
        m_inode = st.st_ino;
        m_identityKnown = true;
    }
    device = m_device;
    inode = m_inode;
    return true;
}

namespace {

// Hands each entry of the folder but "." and ".." to `each` (its name and its
// d_type), in the order the host lists them.
template <typename Each>
DWORD for_each_entry(int folderFd, Each each)
{
    UniqueFd readable = open_for_reading(folderFd);
    if (!readable.valid())
        return win32_error_from_errno(errno);
    DIR* dir = ::fdopendir(readable.get());
    if (!dir)
        return win32_error_from_errno(errno);
    readable.release();
    while (dirent* d = ::readdir(dir)) {
        std::string_view name = d->d_name;
        if (name != "." && name != "..")
            each(d->d_name, d->d_type);
    }
    ::closedir(dir);
    return ERROR_SUCCESS;
}

constexpr std::uint64_t kUnknownMount = 0;

// The id of the mount the entry `name` of the folder lies on, or of the
// folder itself for an empty name; kUnknownMount when the host cannot tell.
std::uint64_t mount_id(int folderFd, const char* name)
{
    struct statx status {};
    const int flags = name[0] == '\0' ? AT_EMPTY_PATH : AT_SYMLINK_NOFOLLOW;
    if (::statx(folderFd, name, flags, STATX_MNT_ID, &status) != 0 || (status.stx_mask & STATX_MNT_ID) == 0)
        return kUnknownMount;
    return status.stx_mnt_id;
}

}  // namespace

DWORD Folder::refresh()
{
    m_byLoweredName.clear();
    m_listed = false;
    DWORD error = for_each_entry(fd(), [this](const char* name, unsigned char type) {
        EntryKind kind = EntryKind::file;
        if (type == DT_DIR) {
            kind = EntryKind::folder;
        } else if (type == DT_LNK) {
            kind = EntryKind::link;
        } else if (type == DT_UNKNOWN) {
            struct stat st {};
            if (::fstatat(fd(), name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                return;
            kind = kind_of(st.st_mode);
        }
        HostEntry entry = describe(name, kind);
        if (entry.addressable)
            m_byLoweredName[text::to_lower(entry.windowsName)].push_back(std::move(entry));
    });
    if (error)
        return error;
    m_listed = true;
    return ERROR_SUCCESS;
}

DWORD Folder::list(std::vector<EntryStatus>& out)
{
    out.clear();
    m_byLoweredName.clear();
    m_listed = false;
    dev_t device = 0;
    ino_t inode = 0;
    const bool deviceKnown = identity(device, inode);
    const std::uint64_t ownMount = mount_id(fd(), "");
    DWORD error = for_each_entry(fd(), [&](const char* name, unsigned char) {
        EntryStatus item;
        if (::fstatat(fd(), name, &item.status, AT_SYMLINK_NOFOLLOW) != 0)
            return;
        EntryKind kind = kind_of(item.status.st_mode);
        // A folder where something else is mounted (another file system, or
        // a bind mount of any folder of the host) leads elsewhere, as a link
        // does, and is listed as one: a removal never goes into it.
        if (kind == EntryKind::folder) {
            const bool otherDevice = deviceKnown && item.status.st_dev != device;
            const std::uint64_t entryMount = ownMount != kUnknownMount ? mount_id(fd(), name) : kUnknownMount;
            if (otherDevice || (entryMount != kUnknownMount && entryMount != ownMount))
                kind = EntryKind::link;
        }
        item.entry = describe(name, kind);
        item.entry.listedMode = item.status.st_mode;
        if (item.entry.addressable)
            m_byLoweredName[text::to_lower(item.entry.windowsName)].push_back(item.entry);
        out.push_back(std::move(item));
    });
    if (error)
        return error;
    m_listed = true;
    m_listedAt = std::chrono::steady_clock::now();
    return ERROR_SUCCESS;
}

const HostEntry* Folder::lookup(std::u16string_view lowered, Wanted wanted, bool* anyOfName) const
{
    auto it = m_byLoweredName.find(std::u16string(lowered));
    *anyOfName = it != m_byLoweredName.end() && !it->second.empty();
    if (!*anyOfName)
        return nullptr;
    for (const HostEntry& entry : it->second) {
        if (fits(entry, wanted))
            return &entry;
    }
    return nullptr;
}

DWORD Folder::find(std::u16string_view name, Wanted wanted, HostEntry& out)
{
    if (!is_valid_name(name))
        return ERROR_FILE_NOT_FOUND;
    std::u16string lowered = text::to_lower(name);
    bool anyOfName = false;
    const HostEntry* found = nullptr;
    if (m_listed)
        found = lookup(lowered, wanted, &anyOfName);
    if (!found) {
        // Not known, or known only as another kind: the folder may have
        // changed since it was listed, so look once more.
        if (DWORD error = refresh())
            return error;
        found = lookup(lowered, wanted, &anyOfName);
    }
    if (!found) {
        if (!anyOfName)
            return ERROR_FILE_NOT_FOUND;
        return wanted == Wanted::folder ? ERROR_DIRECTORY : ERROR_ACCESS_DENIED;
    }
    out = *found;
    // A mode seen by a listing is only as good as that listing is fresh.
    if (std::chrono::steady_clock::now() - m_listedAt > kListedModeLifetime)
        out.listedMode = 0;
    return ERROR_SUCCESS;
}

DWORD Folder::open_folder(std::u16string_view name, std::unique_ptr<Folder>& out)
{
    for (int attempt = 0; attempt < 2; ++attempt) {
        HostEntry entry;
        if (DWORD error = find(name, Wanted::folder, entry))
            return error;
        // O_NOFOLLOW with O_DIRECTORY: whatever the name is now, it is opened
        // only if it is a real folder, so one swapped for a link since it was
        // listed is not entered.
        int fd = ::openat(this->fd(), entry.hostName.c_str(), kFolderOpenFlags);
        if (fd >= 0) {
            out = std::make_unique<Folder>(UniqueFd(fd));
            return ERROR_SUCCESS;
        }
        int hostErrno = errno;
        if (hostErrno != ENOENT && hostErrno != ENOTDIR && hostErrno != ELOOP)
            return win32_error_from_errno(hostErrno);
        invalidate();
    }
    return ERROR_DIRECTORY;
}

bool Folder::can_enter() const
{
    // Looking up "." from the folder needs the right to search it.
    return ::faccessat(fd(), ".", X_OK, 0) == 0;
}

void Folder::forget(const std::string& hostName)
{
    if (!m_listed)
        return;
    HostEntry entry = describe(hostName, EntryKind::file);
    auto it = m_byLoweredName.find(text::to_lower(entry.windowsName));
    if (it == m_byLoweredName.end())
        return;
    std::vector<HostEntry>& entries = it->second;
    for (auto e = entries.begin(); e != entries.end(); ++e) {
        if (e->hostName == hostName) {
            entries.erase(e);
            break;
        }
    }
    if (entries.empty())
        m_byLoweredName.erase(it);
}

void Folder::invalidate()
{
    m_listed = false;
    m_byLoweredName.clear();
}

}  // namespace platform::files
