#pragma once
// A stand-in for Wine's server, as another process: it holds the server's
// write lock on "lock" in a server folder, or it only works in that folder.
// Either is how a running server shows from outside.

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

namespace winetest {

class StandinServer {
public:
    enum class Shows { lock, workingFolder };

    StandinServer(const std::filesystem::path& serverFolder, Shows shows)
    {
        std::filesystem::create_directories(serverFolder);
        const std::string lockFile = (serverFolder / "lock").string();
        const std::string folder = serverFolder.string();
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(ready[0]);
            bool ok = false;
            if (shows == Shows::lock) {
                int fd = ::open(lockFile.c_str(), O_RDWR | O_CREAT, 0600);
                struct flock lock {};
                lock.l_type = F_WRLCK;
                lock.l_whence = SEEK_SET;
                lock.l_start = 0;
                lock.l_len = 1;
                ok = fd >= 0 && ::fcntl(fd, F_SETLK, &lock) == 0;
            } else {
                ok = ::chdir(folder.c_str()) == 0;
            }
            char byte = ok ? 'y' : 'n';
            if (::write(ready[1], &byte, 1) != 1 || !ok)
                ::_exit(1);
            while (true)
                ::pause();
        }
        ::close(ready[1]);
        char byte = 'n';
        m_ready = m_pid > 0 && ::read(ready[0], &byte, 1) == 1 && byte == 'y';
        ::close(ready[0]);
    }
    ~StandinServer() { end(); }
    StandinServer(const StandinServer&) = delete;
    StandinServer& operator=(const StandinServer&) = delete;

    bool ready() const { return m_ready; }
    pid_t pid() const { return m_pid; }

    // Ends the process at once, as SIGKILL ends a server: the lock goes with it.
    void end()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
        }
    }

private:
    pid_t m_pid = -1;
    bool m_ready = false;
};

}  // namespace winetest
