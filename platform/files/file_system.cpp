#include "platform/files/file_system.h"

#include "platform/files/errors.h"
#include "platform/files/host_folder.h"
#include "platform/files/windows_path.h"
#include "platform/machine/machine_folder.h"
#include "platform/text/case.h"
#include "platform/text/codepage.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>

namespace platform::files {
namespace {

namespace fs = std::filesystem;

constexpr DWORD kAttributeReadOnly = 0x00000001;
constexpr DWORD kAttributeDirectory = 0x00000010;
constexpr DWORD kAttributeArchive = 0x00000020;
constexpr DWORD kAttributeReparsePoint = 0x00000400;
constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;
constexpr std::uint64_t kTicksPerSecond = 10'000'000;
constexpr std::uint64_t kSecondsFrom1601To1970 = 11'644'473'600;

using Chain = std::vector<std::shared_ptr<Folder>>;

// The current directory: its path, and the folders from the drive's root
// down to it, held open (empty when the path could not be opened).
struct CurrentDirectory {
    unsigned generation = 0;
    WindowsPath path;
    Chain levels;
};

std::u16string drive_link_name(char16_t drive)
{
    return std::u16string{static_cast<char16_t>(drive - u'A' + u'a'), u':'};
}

// The host name of the drive's link in dosdevices (c:, C:, ...), if any.
bool find_drive_link(char16_t drive, std::string& hostName)
{
    DIR* dir = ::opendir(machine::dosdevices_path().c_str());
    if (!dir)
        return false;
    std::u16string wanted = drive_link_name(drive);
    bool found = false;
    while (dirent* d = ::readdir(dir)) {
        if (text::equal_ignoring_case(text::utf8_to_utf16(d->d_name), wanted)) {
            hostName = d->d_name;
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

DWORD open_drive(char16_t drive, std::shared_ptr<Folder>& out)
{
    std::string link;
    if (!find_drive_link(drive, link))
        return ERROR_PATH_NOT_FOUND;
    // The drive link is followed: that is what makes it a drive.
    fs::path where = machine::dosdevices_path() / link;
    int fd = ::open(where.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return ERROR_PATH_NOT_FOUND;
    out = std::make_shared<Folder>(UniqueFd(fd));
    return ERROR_SUCCESS;
}

// Opens the folders of `target` from its drive's root down to `depth` names.
// Folders the current directory already holds are taken from it.
DWORD walk(const CurrentDirectory& cwd, const WindowsPath& target, std::size_t depth, Chain& chain)
{
    chain.clear();
    if (!cwd.levels.empty() && cwd.path.drive == target.drive) {
        std::size_t shared = 1;
        while (shared < cwd.levels.size() && shared - 1 < depth &&
               text::equal_ignoring_case(cwd.path.components[shared - 1], target.components[shared - 1]))
            ++shared;
        chain.assign(cwd.levels.begin(), cwd.levels.begin() + static_cast<std::ptrdiff_t>(shared));
    } else {
        std::shared_ptr<Folder> root;
        if (DWORD error = open_drive(target.drive, root))
            return error;
        chain.push_back(std::move(root));
    }
    while (chain.size() - 1 < depth) {
        std::unique_ptr<Folder> next;
        DWORD error = chain.back()->open_folder(target.components[chain.size() - 1], next);
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_DIRECTORY)
            return ERROR_PATH_NOT_FOUND;
        if (error)
            return error;
        chain.push_back(std::move(next));
    }
    return ERROR_SUCCESS;
}

// The host's working directory as a path on one of the machine's drives
// (the drive whose folder holds it most closely), if it lies in one.
bool host_directory_on_drive(WindowsPath& out)
{
    std::error_code ec;
    fs::path here = fs::canonical(fs::current_path(ec), ec);
    if (ec)
        return false;
    fs::path bestRoot;
    bool found = false;
    for (char16_t drive = u'A'; drive <= u'Z'; ++drive) {
        std::string link;
        if (!find_drive_link(drive, link))
            continue;
        fs::path root = fs::canonical(machine::dosdevices_path() / link, ec);
        if (ec)
            continue;
        fs::path relative = here.lexically_relative(root);
        if (relative.empty() || *relative.begin() == "..")
            continue;
        if (found && root.native().size() <= bestRoot.native().size())
            continue;
        WindowsPath candidate{drive, {}};
        bool addressable = true;
        for (const fs::path& part : relative) {
            if (part == ".")
                continue;
            HostEntry entry = describe(part.native(), EntryKind::folder);
            addressable = addressable && entry.addressable;
            candidate.components.push_back(entry.windowsName);
        }
        if (!addressable)
            continue;
        out = candidate;
        bestRoot = root;
        found = true;
    }
    return found;
}

void start(CurrentDirectory& cwd)
{
    cwd.generation = machine::generation();
    cwd.levels.clear();
    cwd.path = WindowsPath{u'C', {}};
    WindowsPath onDrive;
    Chain chain;
    if (host_directory_on_drive(onDrive) && walk(cwd, onDrive, onDrive.components.size(), chain) == ERROR_SUCCESS) {
        cwd.path = onDrive;
        cwd.levels = std::move(chain);
        return;
    }
    if (walk(cwd, cwd.path, 0, chain) == ERROR_SUCCESS)
        cwd.levels = std::move(chain);
}

CurrentDirectory& current()
{
    static CurrentDirectory cwd;
    if (cwd.generation != machine::generation())
        start(cwd);
    return cwd;
}

DWORD resolve(std::u16string_view path, FullPath& full)
{
    return full_path(path, current().path, full);
}

// The folder that holds the last name of `full`, opened.
DWORD open_parent(const FullPath& full, Chain& chain)
{
    return walk(current(), full.path, full.path.components.size() - 1, chain);
}

struct FolderIdentity {
    dev_t device = 0;
    ino_t inode = 0;
};

// The machine folder and every folder above it, up to the host's root.
std::vector<FolderIdentity> machine_folder_and_above()
{
    std::vector<FolderIdentity> found;
    std::error_code ec;
    fs::path at = fs::canonical(machine::folder(), ec);
    if (ec)
        at = "/";  // no machine folder to find: the host's root still counts
    while (true) {
        struct stat st {};
        if (::stat(at.c_str(), &st) == 0)
            found.push_back({st.st_dev, st.st_ino});
        if (at == at.root_path() || at.empty())
            break;
        at = at.parent_path();
    }
    return found;
}

// True when the drive's folder holds the machine folder: the whole host, as
// Wine's Z: is, or a drive mapped to a folder above the prefix (the home
// folder of ~/.wine). Nothing is ever deleted through such a drive, since a
// path through it reaches the machine's own files and the rest of the host.
bool holds_machine_folder(Folder& driveRoot)
{
    static unsigned seenGeneration = 0;
    static std::vector<FolderIdentity> above;
    if (seenGeneration != machine::generation() || above.empty()) {
        above = machine_folder_and_above();
        seenGeneration = machine::generation();
    }
    dev_t device = 0;
    ino_t inode = 0;
    if (!driveRoot.identity(device, inode))
        return true;  // a drive that cannot be told apart is not trusted
    for (const FolderIdentity& folder : above) {
        if (folder.device == device && folder.inode == inode)
            return true;
    }
    return false;
}

std::uint64_t file_time(const timespec& t)
{
    if (t.tv_sec < 0)
        return 0;
    return (static_cast<std::uint64_t>(t.tv_sec) + kSecondsFrom1601To1970) * kTicksPerSecond +
           static_cast<std::uint64_t>(t.tv_nsec) / 100;
}

DWORD attributes_of(const struct stat& st)
{
    if (S_ISLNK(st.st_mode))
        return kAttributeReparsePoint;
    if (S_ISDIR(st.st_mode))
        return kAttributeDirectory;
    DWORD attributes = kAttributeArchive;
    if ((st.st_mode & kAnyWriteBit) == 0)
        attributes |= kAttributeReadOnly;
    return attributes;
}

// listedAsLink: the listing took the entry for a link, as it takes a mount
// point, whatever the entry's own mode says.
FoundEntry found_entry(std::u16string name, const struct stat& st, bool listedAsLink = false)
{
    FoundEntry entry;
    entry.name = std::move(name);
    entry.attributes = listedAsLink ? kAttributeReparsePoint : attributes_of(st);
    entry.size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    entry.creationTime = file_time(st.st_mtim);  // the host keeps no birth time we could rely on
    entry.accessTime = file_time(st.st_atim);
    entry.writeTime = file_time(st.st_mtim);
    return entry;
}

// Windows' wildcard match, without regard to case: '*' any run, '?' one
// character.
bool matches(std::u16string_view pattern, std::u16string_view name)
{
    std::size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || text::to_lower(pattern[p]) == text::to_lower(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

// Opens the folder an entry is to be removed from. Refused on a drive that
// holds the machine folder, through which nothing is ever deleted.
DWORD open_parent_for_removal(const FullPath& full, Chain& chain)
{
    if (DWORD error = open_parent(full, chain))
        return error;
    if (holds_machine_folder(*chain.front()))
        return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

}  // namespace

std::u16string current_directory()
{
    return current().path.text();
}

DWORD set_current_directory(std::u16string_view path)
{
    FullPath full;
    if (DWORD error = resolve(path, full))
        return error;
    Chain chain;
    if (full.path.is_root()) {
        if (DWORD error = walk(current(), full.path, 0, chain))
            return error;
    } else {
        if (DWORD error = open_parent(full, chain))
            return error;
        // Going up to a folder the current directory already holds keeps that
        // folder, and what was listed there: a removal climbing back out of
        // each subfolder would otherwise list its parent again every time.
        const CurrentDirectory& cwd = current();
        const std::size_t depth = chain.size();
        if (depth < cwd.levels.size() && chain.back() == cwd.levels[depth - 1] &&
            text::equal_ignoring_case(cwd.path.components[depth - 1], full.path.components.back())) {
            chain.push_back(cwd.levels[depth]);
        } else {
            std::unique_ptr<Folder> folder;
            if (DWORD error = chain.back()->open_folder(full.path.components.back(), folder))
                return error;
            chain.push_back(std::move(folder));
        }
    }
    if (!chain.back()->can_enter())
        return ERROR_ACCESS_DENIED;
    CurrentDirectory& cwd = current();
    cwd.path = std::move(full.path);
    cwd.levels = std::move(chain);
    return ERROR_SUCCESS;
}

DWORD delete_file(std::u16string_view path)
{
    FullPath full;
    if (DWORD error = resolve(path, full))
        return error;
    if (full.path.is_root())
        return ERROR_ACCESS_DENIED;
    if (full.endsWithSeparator)
        return ERROR_INVALID_NAME;
    Chain chain;
    if (DWORD error = open_parent_for_removal(full, chain))
        return error;
    Folder& parent = *chain.back();
    for (int attempt = 0; attempt < 2; ++attempt) {
        HostEntry entry;
        if (DWORD error = parent.find(full.path.components.back(), Wanted::nonFolder, entry))
            return error;
        // A folder that has just been listed (as a removal lists each folder
        // before deleting its files) already told each file's mode; other
        // files are looked at now. unlinkat never removes a folder, so an
        // entry that became one meanwhile is caught by its refusal.
        struct stat st {};
        st.st_mode = entry.listedMode;
        if (st.st_mode != 0 || ::fstatat(parent.fd(), entry.hostName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISDIR(st.st_mode)) {
                parent.invalidate();  // it became a folder since it was listed
                continue;
            }
            if (S_ISREG(st.st_mode) && (st.st_mode & kAnyWriteBit) == 0)
                return ERROR_ACCESS_DENIED;  // read-only, as Windows refuses it
            if (::unlinkat(parent.fd(), entry.hostName.c_str(), 0) == 0) {
                parent.forget(entry.hostName);
                return ERROR_SUCCESS;
            }
        }
        int hostErrno = errno;
        if (hostErrno == EISDIR) {
            parent.invalidate();  // it became a folder since it was listed
            continue;
        }
        if (hostErrno != ENOENT)
            return win32_error_from_errno(hostErrno);
        parent.invalidate();
    }
    return ERROR_FILE_NOT_FOUND;
}

DWORD remove_directory(std::u16string_view path)
{
    FullPath full;
    if (DWORD error = resolve(path, full))
        return error;
    if (full.path.is_root())
        return ERROR_ACCESS_DENIED;
    Chain chain;
    if (DWORD error = open_parent_for_removal(full, chain))
        return error;
    Folder& parent = *chain.back();
    const CurrentDirectory& cwd = current();
    for (int attempt = 0; attempt < 2; ++attempt) {
        HostEntry entry;
        if (DWORD error = parent.find(full.path.components.back(), Wanted::folder, entry))
            return error;
        struct stat st {}, here {};
        if (::fstatat(parent.fd(), entry.hostName.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (!S_ISDIR(st.st_mode)) {
                parent.invalidate();
                continue;
            }
            // Windows keeps the current directory open and refuses to remove it.
            if (!cwd.levels.empty() && ::fstat(cwd.levels.back()->fd(), &here) == 0 &&
                here.st_dev == st.st_dev && here.st_ino == st.st_ino)
                return ERROR_SHARING_VIOLATION;
            if (::unlinkat(parent.fd(), entry.hostName.c_str(), AT_REMOVEDIR) == 0) {
                parent.forget(entry.hostName);
                return ERROR_SUCCESS;
            }
        }
        int hostErrno = errno;
        if (hostErrno != ENOENT)
            return win32_error_from_errno(hostErrno);
        parent.invalidate();
    }
    return ERROR_FILE_NOT_FOUND;
}

DWORD get_attributes(std::u16string_view path, DWORD& attributes)
{
    FullPath full;
    if (DWORD error = resolve(path, full))
        return error;
    Chain chain;
    if (full.path.is_root()) {
        if (DWORD error = walk(current(), full.path, 0, chain))
            return error;
        attributes = kAttributeDirectory;
        return ERROR_SUCCESS;
    }
    if (DWORD error = open_parent(full, chain))
        return error;
    Folder& parent = *chain.back();
    HostEntry entry;
    if (DWORD error = parent.find(full.path.components.back(), full.endsWithSeparator ? Wanted::folder : Wanted::any, entry))
        return error == ERROR_DIRECTORY ? ERROR_FILE_NOT_FOUND : error;
    struct stat st {};
    if (::fstatat(parent.fd(), entry.hostName.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        parent.invalidate();
        return win32_error_from_errno(errno);
    }
    attributes = attributes_of(st);
    return ERROR_SUCCESS;
}

DWORD list(std::u16string_view pattern, std::vector<FoundEntry>& out)
{
    out.clear();
    FullPath full;
    if (DWORD error = resolve(pattern, full))
        return error;
    if (full.endsWithSeparator || full.path.is_root())
        return ERROR_FILE_NOT_FOUND;  // a folder's path names no entries
    // "*.*" is everything, names without a dot included.
    const std::u16string& given = full.path.components.back();
    const std::u16string mask = given == u"*.*" ? std::u16string(1, u'*') : given;
    Chain chain;
    if (DWORD error = open_parent(full, chain))
        return error;
    Folder& folder = *chain.back();
    std::vector<EntryStatus> entries;
    if (DWORD error = folder.list(entries))
        return error;

    if (chain.size() > 1) {
        struct stat self {}, parent {};
        ::fstat(folder.fd(), &self);
        ::fstat(chain[chain.size() - 2]->fd(), &parent);
        if (matches(mask, u"."))
            out.push_back(found_entry(u".", self));
        if (matches(mask, u".."))
            out.push_back(found_entry(u"..", parent));
    }
    std::size_t dots = out.size();
    for (EntryStatus& item : entries) {
        if (matches(mask, item.entry.windowsName))
            out.push_back(found_entry(std::move(item.entry.windowsName), item.status,
                                      item.entry.kind == EntryKind::link));
    }
    // Ordered as Windows' own file system lists them, so that what comes
    // before what is predictable.
    std::vector<std::pair<std::u16string, std::size_t>> keys;
    keys.reserve(out.size() - dots);
    for (std::size_t i = dots; i < out.size(); ++i)
        keys.emplace_back(text::to_upper(out[i].name), i);
    std::sort(keys.begin(), keys.end());
    std::vector<FoundEntry> sorted(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(dots));
    sorted.reserve(out.size());
    for (auto& key : keys)
        sorted.push_back(std::move(out[key.second]));
    out = std::move(sorted);
    return out.empty() ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS;
}

}  // namespace platform::files
