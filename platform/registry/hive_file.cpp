#include "platform/registry/hive_file.h"

#include "platform/faults/faults.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform::registry {
namespace {

constexpr mode_t kAnyWriteBit = S_IWUSR | S_IWGRP | S_IWOTH;

bool write_all(int fd, std::string_view data)
{
    while (!data.empty()) {
        ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

mode_t default_file_mode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// The stamp of a file whose status was read.
FileStamp stamp_from(const struct stat& st)
{
    FileStamp stamp;
    stamp.exists = true;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.mtime = st.st_mtim;
    return stamp;
}

}  // namespace

bool FileStamp::operator==(const FileStamp& other) const
{
    if (exists != other.exists)
        return false;
    if (!exists)
        return true;
    return device == other.device && inode == other.inode && size == other.size &&
           mtime.tv_sec == other.mtime.tv_sec && mtime.tv_nsec == other.mtime.tv_nsec;
}

FileStamp stamp_of(const std::filesystem::path& file)
{
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0)
        return FileStamp{};
    return stamp_from(st);
}

LoadResult load_hive_file(const std::filesystem::path& file, std::unique_ptr<Hive>& hive, FileStamp& stamp)
{
    hive.reset();
    // O_NONBLOCK: a system.reg that is a FIFO or a device must not hold the
    // program up; only a regular file is read (it ignores the flag).
    int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        stamp = stamp_of(file);
        if (errno == ENOENT) {
            hive = std::make_unique<Hive>();
            return LoadResult::missing;
        }
        return LoadResult::unreadable;
    }
    struct stat st {};
    std::string text;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok) {
        text.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (ok) {
            if (done == text.size())
                text.resize(text.size() + 65536);
            ssize_t n = ::read(fd, text.data() + done, text.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                ok = false;
            else if (n == 0)
                break;
            else
                done += static_cast<std::size_t>(n);
        }
        text.resize(done);
    }
    ::close(fd);
    if (!ok)
        return LoadResult::unreadable;
    stamp = stamp_from(st);

    LoadError error;
    hive = Hive::parse(std::move(text), &error);
    if (!hive) {
        std::fprintf(stderr, "%s:%u: %s; the registry is not used and the file is left as it is\n",
                     file.c_str(), error.line, error.message.c_str());
        return LoadResult::malformed;
    }
    return LoadResult::loaded;
}

namespace {

std::filesystem::path written_file(const std::filesystem::path& file)
{
    // A file that is a symbolic link is changed where it leads, so that the
    // link stays a link, as Wine keeps it; a link that leads nowhere is
    // given back as it is, and writing through it then fails.
    std::error_code error;
    if (!std::filesystem::is_symlink(file, error))
        return file;
    std::filesystem::path target = std::filesystem::canonical(file, error);
    return error ? file : target;
}

}  // namespace

bool is_writable(const std::filesystem::path& linkOrFile)
{
    // The write bits count even for a user whom the system would let write
    // anyway, so that a file made read-only is respected as on Windows.
    const std::filesystem::path file = written_file(linkOrFile);
    struct stat st {};
    std::filesystem::path folder = file.parent_path();
    struct stat folderSt {};
    if (::stat(folder.c_str(), &folderSt) != 0 || !S_ISDIR(folderSt.st_mode) ||
        (folderSt.st_mode & kAnyWriteBit) == 0 || ::access(folder.c_str(), W_OK) != 0)
        return false;
    if (::stat(file.c_str(), &st) != 0)
        return errno == ENOENT;
    return S_ISREG(st.st_mode) && (st.st_mode & kAnyWriteBit) != 0 && ::access(file.c_str(), W_OK) == 0;
}

FileLock::FileLock(const std::filesystem::path& file)
{
    std::string lockName = file.string() + ".mr7lock";
    m_fd = ::open(lockName.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (m_fd < 0)
        return;
    while (::flock(m_fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            ::close(m_fd);
            m_fd = -1;
            return;
        }
    }
}

FileLock::~FileLock()
{
    if (m_fd >= 0) {
        ::flock(m_fd, LOCK_UN);
        ::close(m_fd);
    }
}

bool save_hive_file(Hive& hive, const std::filesystem::path& linkOrFile, FileStamp& stamp)
{
    const std::filesystem::path file = written_file(linkOrFile);
    if (std::filesystem::is_symlink(file))
        return false;  // a link that leads nowhere: nothing to write into
    struct stat old {};
    bool hadFile = ::stat(file.c_str(), &old) == 0;
    std::string pattern = file.string() + ".mr7tmp-XXXXXX";
    int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fchmod(fd, hadFile ? (old.st_mode & 07777) : default_file_mode()) == 0;
    if (ok && hadFile && ::geteuid() == 0)
        (void)!::fchown(fd, old.st_uid, old.st_gid);
    ok = ok && hive.write([fd](std::string_view piece) { return write_all(fd, piece); });
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    if (ok && faults::should_fail("rename"))
        return false;
    if (!ok || ::rename(pattern.c_str(), file.c_str()) != 0) {
        ::unlink(pattern.c_str());
        return false;
    }
    // The folder is not flushed: after a power loss the rename may be lost,
    // which leaves the old file whole, never a mix of both.
    stamp = stamp_of(file);
    return true;
}

}  // namespace platform::registry
