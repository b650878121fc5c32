#pragma once
// system.reg on disk: reading it, telling whether it changed since, locking
// it against the other processes of this platform, and replacing it safely.

#include "platform/registry/hive.h"

#include <ctime>
#include <filesystem>
#include <memory>
#include <sys/types.h>

namespace platform::registry {

// What identifies one version of the file: a rename or a rewrite changes it.
struct FileStamp {
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec mtime{};
    bool operator==(const FileStamp& other) const;
};

FileStamp stamp_of(const std::filesystem::path& file);

enum class LoadResult { loaded, missing, unreadable, malformed };

// Reads and parses the file. A malformed file is reported on standard error
// as "<path>:<line>: <what>" and gives no hive.
LoadResult load_hive_file(const std::filesystem::path& file, std::unique_ptr<Hive>& hive, FileStamp& stamp);

// True when the file (or, while it does not exist, its folder) may be written.
bool is_writable(const std::filesystem::path& file);

// An exclusive lock on "<file>.mr7lock", held while the object lives.
class FileLock {
public:
    explicit FileLock(const std::filesystem::path& file);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    bool is_held() const { return m_fd >= 0; }

private:
    int m_fd = -1;
};

// Writes the hive to a temporary file beside the target, flushes it to disk
// and renames it over the target, keeping the target's mode. The old file
// stays whole when anything fails. Fault "rename" stops just before the
// rename, as a crash there would (the temporary file is left behind). A file
// that is a symbolic link is written where the link leads; the link stays.
bool save_hive_file(Hive& hive, const std::filesystem::path& file, FileStamp& stamp);

}  // namespace platform::registry
