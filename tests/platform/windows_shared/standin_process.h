#pragma once
// The stand-in product program run as another process on the current
// machine (WINEPREFIX as it is now), for tests of the window search.
// Needs MR7_STANDIN_PRODUCT, the program's path, from the build.

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testsupport {

class StandinProcess {
public:
    // Starts the program with a window of the class (bytes as given).
    explicit StandinProcess(const std::string& className)
    {
        int input[2];
        int output[2];
        if (pipe2(input, O_CLOEXEC) != 0 || pipe2(output, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, input[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
        std::string program = MR7_STANDIN_PRODUCT;
        char* argv[] = {program.data(), const_cast<char*>(className.c_str()), nullptr};
        if (posix_spawn(&m_pid, program.c_str(), &actions, nullptr, argv, environ) != 0)
            m_pid = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(input[0]);
        close(output[1]);
        m_input = input[1];
        m_output = output[0];
    }
    ~StandinProcess()
    {
        if (m_pid > 0)
            kill_now();
        if (m_input >= 0)
            close(m_input);
        if (m_output >= 0)
            close(m_output);
    }
    StandinProcess(const StandinProcess&) = delete;
    StandinProcess& operator=(const StandinProcess&) = delete;

    // Waits (up to 20 s) for "ready": the window exists then.
    bool ready()
    {
        std::string seen;
        while (seen.find("ready\n") == std::string::npos) {
            pollfd p{m_output, POLLIN, 0};
            if (poll(&p, 1, 20000) <= 0)
                return false;
            char buffer[64];
            ssize_t n = read(m_output, buffer, sizeof buffer);
            if (n <= 0)
                return false;
            seen.append(buffer, static_cast<std::size_t>(n));
        }
        return true;
    }

    // Closes the program's input, so that it ends by itself; its exit status.
    int end()
    {
        close(m_input);
        m_input = -1;
        return wait_for_end();
    }

    // Kills it with SIGKILL: it has no chance to tidy anything.
    void kill_now()
    {
        ::kill(m_pid, SIGKILL);
        wait_for_end();
    }

private:
    int wait_for_end()
    {
        int status = 0;
        while (waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
        }
        m_pid = -1;
        return status;
    }

    pid_t m_pid = -1;
    int m_input = -1;
    int m_output = -1;
};

}  // namespace testsupport
