#pragma once

// Runs the built programs as a user would, from a shell command line, and
// gives back the exit code and both output streams. Every test that starts
// mireva-cli or the viewer goes through RunProgram, so that each reads its
// output the same way and none can wait forever for a program that hangs.

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

struct TCliRun {
    int ExitCode = -1;  // -1: killed, or could not be started
    std::string Out;
    std::string Err;
};

// Runs command through /bin/sh in folder (the test's own). A program still
// running after limit is killed with its whole process group, and the run
// counts as failed.
inline TCliRun RunProgram(const std::string& folder, const std::string& command,
                          std::chrono::seconds limit = std::chrono::seconds(120))
{
    TCliRun run;
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return run;
    if (::pipe2(err, O_CLOEXEC) != 0) {
        ::close(out[0]);
        ::close(out[1]);
        return run;
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::setpgid(0, 0);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        if (::chdir(folder.c_str()) == 0)
            ::execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(out[1]);
    ::close(err[1]);
    if (child < 0) {
        ::close(out[0]);
        ::close(err[0]);
        return run;
    }
    const auto deadline = std::chrono::steady_clock::now() + limit;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.Out, &run.Err};
    bool killed = false;
    int open = 2;
    while (open > 0) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            ::kill(-child, SIGKILL);
            killed = true;
            break;
        }
        if (::poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0)
                continue;
            char buffer[4096];
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (const pollfd& fd : fds)
        if (fd.fd >= 0)
            ::close(fd.fd);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    run.ExitCode = !killed && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    EXPECT_FALSE(killed) << "still running after " << limit.count() << " s: " << command;
    return run;
}

// Runs mireva-cli in folder (ending in '/') with its data folder at
// folder + "home" and the arguments (already quoted for the shell).
inline TCliRun RunCli(const std::string& folder, const std::string& arguments)
{
    return RunProgram(folder, "'" MIREVA_BIN_DIR "/mireva-cli' --home '" + folder + "home' " + arguments);
}
